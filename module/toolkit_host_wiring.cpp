#include "module/toolkit_host_wiring.h"

#include <cstring>
#include <string>

#include "module/host_services.h"
#include "module/scene_queries.h"
#include "panels/bounded_text.h"
#include "panels/toolkit_host.h"

namespace orvik {
namespace {

HostItemId asItem(ItemHandle item) { return static_cast<HostItemId>(item); }
HostImageId asImage(ImageHandle image) { return static_cast<HostImageId>(image); }

const HostItemInfo1 *items() { return hostServices().itemInfo; }
const HostImageList1 *images() { return hostServices().imageList; }

// The scene service is fetched when needed, as the host may replace it
// between frames.
const HostSceneInfo *sceneInfo() {
  const HostGlobalFunc global = hostServices().global;
  if (global == nullptr) return nullptr;
  return static_cast<const HostSceneInfo *>(global(HOST_SCENE_INFO_NAME, HOST_GFUSE_TRANSIENT));
}

const char *itemNameOf(ItemHandle item) {
  const HostItemInfo1 *info = items();
  if (info == nullptr || item == nullptr) return "";
  const char *name = info->name(asItem(item));
  return name != nullptr ? name : "";
}

int itemTypeOf(ItemHandle item) {
  const HostItemInfo1 *info = items();
  return info != nullptr && item != nullptr ? info->type(asItem(item)) : -1;
}

ItemHandle itemParentOf(ItemHandle item) {
  const HostItemInfo1 *info = items();
  return info != nullptr && item != nullptr ? info->parent(asItem(item)) : nullptr;
}

ItemHandle firstItemOf(int type, ItemHandle owner) {
  const HostItemInfo1 *info = items();
  return info != nullptr ? info->first(type, asItem(owner)) : nullptr;
}

ItemHandle nextItemOf(ItemHandle item) {
  const HostItemInfo1 *info = items();
  return info != nullptr && item != nullptr ? info->next(asItem(item)) : nullptr;
}

int lightTypeOf(ItemHandle light) {
  const HostLightInfo1 *info = hostServices().lightInfo;
  return info != nullptr && light != nullptr ? info->type(asItem(light)) : -1;
}

int describeItemFor(ItemHandle item, char *baseName, size_t capacity, int *clone, int *count) {
  const ItemReference ref = describeItem(asItem(item));
  CopyText(baseName, capacity, ref.baseName.c_str());
  *clone = static_cast<int>(ref.index);
  *count = static_cast<int>(ref.count);
  return ref.type;
}

ItemHandle findItemFor(const char *baseName, int type, ItemHandle owner, int clone, int count) {
  return findItem(baseName, type, asItem(owner), clone, count);
}

void itemParam(ItemHandle item, int param, double time, double out[3]) {
  out[0] = out[1] = out[2] = 0.0;
  const HostItemInfo1 *info = items();
  if (info != nullptr && item != nullptr) info->param(asItem(item), param, time, out);
}

void worldPositionOf(ItemHandle item, double time, double out[3]) {
  itemParam(item, HOST_IP_W_POSITION, time, out);
}

void scalingOf(ItemHandle item, double time, double out[3]) {
  itemParam(item, HOST_IP_SCALING, time, out);
}

double framesPerSecondOf() {
  const HostSceneInfo *scene = sceneInfo();
  return scene != nullptr ? scene->framesPerSecond : 0.0;
}

int firstFrameOf() {
  const HostSceneInfo *scene = sceneInfo();
  return scene != nullptr ? scene->frameStart : 0;
}

int lastFrameOf() {
  const HostSceneInfo *scene = sceneInfo();
  return scene != nullptr ? scene->frameEnd : 0;
}

ImageHandle firstImageOf() { return images() != nullptr ? images()->first() : nullptr; }

ImageHandle nextImageOf(ImageHandle image) {
  return images() != nullptr && image != nullptr ? images()->next(asImage(image)) : nullptr;
}

const char *imageNameOf(ImageHandle image) {
  if (images() == nullptr || image == nullptr) return "";
  const char *name = images()->name(asImage(image));
  return name != nullptr ? name : "";
}

ImageHandle findImageNamed(const char *name) {
  if (images() == nullptr || name == nullptr || name[0] == '\0') return nullptr;
  for (HostImageId i = images()->first(); i != nullptr; i = images()->next(i)) {
    const char *n = images()->name(i);
    if (n != nullptr && std::strcmp(n, name) == 0) return i;
  }
  return nullptr;
}

ImageHandle loadImageFile(const char *path) {
  return images() != nullptr && path != nullptr && path[0] != '\0' ? images()->load(path) : nullptr;
}

const char *imageFileNameOf(ImageHandle image, int frame) {
  if (images() == nullptr || image == nullptr) return "";
  const char *name = images()->filename(asImage(image), frame);
  return name != nullptr ? name : "";
}

int imageKnownNow(ImageHandle image) {
  if (images() == nullptr || image == nullptr) return 0;
  for (HostImageId i = images()->first(); i != nullptr; i = images()->next(i)) {
    if (i == asImage(image)) return 1;
  }
  return 0;
}

void infoMessage(const char *line1, const char *line2) { showInfo(line1, line2); }
void errorMessage(const char *line1, const char *line2) { showError(line1, line2); }

// The host answers questions with its own codes; the toolkit has its own.
int askYesNoCancel(const char *title, const char *line1, const char *line2) {
  const HostMessageFuncs2 *m = hostServices().messages2();
  if (m == nullptr || m->yesNoCancel == nullptr) return kAnswerCancel;
  switch (m->yesNoCancel(title, line1, line2)) {
    case HOST_ANSWER_YES: return kAnswerYes;
    case HOST_ANSWER_NO: return kAnswerNo;
    default: return kAnswerCancel;
  }
}

int askOkCancel(const char *title, const char *line1, const char *line2) {
  const HostMessageFuncs2 *m = hostServices().messages2();
  if (m == nullptr || m->okCancel == nullptr) return kAnswerOkCancelled;
  return m->okCancel(title, line1, line2) == HOST_ANSWER_OK ? kAnswerOk : kAnswerOkCancelled;
}

int clampSize(size_t n) { return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n); }

int requestFile(const char *title, char *name, size_t nameCapacity, char *path,
                size_t pathCapacity, char *result, size_t resultCapacity) {
  const HostFileRequestFunc request = hostServices().fileRequest;
  if (request == nullptr) return 0;
  return request(title, name, clampSize(nameCapacity), path, clampSize(pathCapacity), result,
                 clampSize(resultCapacity)) > 0
             ? 1
             : 0;
}

int pickColour(const char *title, double rgb[3]) {
  const HostColorPickFunc pick = hostServices().colorPicker;
  return pick != nullptr ? pick(title, rgb) : 0;
}

const char *contentDirectoryOf() {
  const HostDirectoryFunc directory = hostServices().directory;
  const char *dir = directory != nullptr ? directory(HOST_DIR_CONTENT) : nullptr;
  return dir != nullptr ? dir : "";
}

}  // namespace

void installToolkitHost() {
  ToolkitHost host;
  host.itemName = itemNameOf;
  host.itemType = itemTypeOf;
  host.itemParent = itemParentOf;
  host.boneOwner = [](ItemHandle bone) -> ItemHandle { return boneOwner(asItem(bone)); };
  host.firstItem = firstItemOf;
  host.nextItem = nextItemOf;
  host.lightType = lightTypeOf;
  host.describeItem = describeItemFor;
  host.findItem = findItemFor;
  host.worldPosition = worldPositionOf;
  host.scaling = scalingOf;
  host.framesPerSecond = framesPerSecondOf;
  host.firstFrame = firstFrameOf;
  host.lastFrame = lastFrameOf;
  host.firstImage = firstImageOf;
  host.nextImage = nextImageOf;
  host.findImage = findImageNamed;
  host.loadImage = loadImageFile;
  host.imageName = imageNameOf;
  host.imageFileName = imageFileNameOf;
  host.imageKnown = imageKnownNow;
  host.info = infoMessage;
  host.error = errorMessage;
  host.yesNoCancel = askYesNoCancel;
  host.okCancel = askOkCancel;
  host.fileRequest = requestFile;
  host.colorPicker = pickColour;
  host.contentDirectory = contentDirectoryOf;
  SetToolkitHost(host);
}

}  // namespace orvik
