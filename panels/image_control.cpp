#include "panels/image_control.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

// Set by Cancel in the missing-file question, for the rest of the module's life.
std::atomic<bool> g_skipAllMissingImages{false};

constexpr size_t kMaxImagePath = 1023;

void ResetImage(Control* c) {
  if (ImageControl* i = AsImage(c)) i->image = nullptr;
}

void CopyImage(const Control* source, Control* destination) {
  const ImageControl* s = As<ImageControl>(source);
  ImageControl* d = AsImage(destination);
  if (s == nullptr || d == nullptr) return;
  d->image = s->image.get();
}

bool FileExists(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

bool IsRelativePath(const char* path) {
  return path[0] != '/' && path[0] != '\\' && !(path[0] != '\0' && path[1] == ':');
}

ImageHandle FindImageByName(const char* name) {
  const ToolkitHost& host = GetToolkitHost();
  if (host.findImage != nullptr) return host.findImage(name);
  if (host.firstImage == nullptr || host.nextImage == nullptr || host.imageName == nullptr) return nullptr;
  for (ImageHandle im = host.firstImage(); im != nullptr; im = host.nextImage(im)) {
    const char* n = host.imageName(im);
    if (n != nullptr && std::strcmp(n, name) == 0) return im;
  }
  return nullptr;
}

// The stored file name as given, or (relative names are saved relative to
// the host's content directory) under the content directory.
std::string ResolveImagePath(const char* fileName) {
  std::string path = fileName;
  const char* content = GetToolkitHost().contentDirectory != nullptr ? GetToolkitHost().contentDirectory()
                                                                     : nullptr;
  if (!FileExists(path.c_str()) && IsRelativePath(fileName) && content != nullptr && content[0] != '\0') {
    std::string joined = std::string(content) + "/" + fileName;
    if (FileExists(joined.c_str())) path = joined;
  }
  return path;
}

}  // namespace

bool SkipAllMissingImages() { return g_skipAllMissingImages.load(std::memory_order_relaxed); }
void ResetSkipAllMissingImages() { g_skipAllMissingImages.store(false, std::memory_order_relaxed); }

ImageHandle FindOrLoadImage(const char* name, const char* fileName, bool ask) {
  const ToolkitHost& host = GetToolkitHost();
  const bool hasName = name != nullptr && name[0] != '\0';
  const bool hasFile = fileName != nullptr && fileName[0] != '\0';
  if (hasName) {
    if (ImageHandle im = FindImageByName(name)) return im;
  }
  if (!hasFile) return nullptr;

  const std::string path = ResolveImagePath(fileName);
  if (host.loadImage != nullptr) {
    if (ImageHandle im = host.loadImage(path.c_str())) return im;
  }
  if (!ask) return nullptr;

  char line[kMaxImagePath + 64];
  if (FileExists(path.c_str())) {
    FormatText(line, sizeof line, "I found the image file %s, but was unable to load it.", fileName);
    HostError(line, "Probably you just need to install the appropriate image loader plugin.");
    return nullptr;
  }

  FormatText(line, sizeof line, "I can't find the image file %s.", fileName);
  if (SkipAllMissingImages() || host.yesNoCancel == nullptr) return nullptr;
  const int answer =
      host.yesNoCancel("Find Image File", line, "Do you want to find it now? Cancel will skip this for all images.");
  if (answer == kAnswerCancel) {
    g_skipAllMissingImages.store(true, std::memory_order_relaxed);
    return nullptr;
  }
  if (answer != kAnswerYes || host.fileRequest == nullptr) return nullptr;

  char requestName[kMaxImagePath + 1];
  char requestPath[kMaxImagePath + 1];
  char chosen[kMaxImagePath + 1] = {};
  CopyText(requestName, "<*.*");
  const char* content = host.contentDirectory != nullptr ? host.contentDirectory() : nullptr;
  CopyText(requestPath, content != nullptr ? content : "");
  if (!host.fileRequest("Load image from file", requestName, sizeof requestName, requestPath,
                        sizeof requestPath, chosen, sizeof chosen) ||
      chosen[0] == '\0' || host.loadImage == nullptr) {
    return nullptr;
  }
  return host.loadImage(chosen);
}

const char* ImageButtonText(const ImageControl* c) {
  const ToolkitHost& host = GetToolkitHost();
  ImageHandle im = c != nullptr ? c->image.get() : nullptr;
  if (im == nullptr || host.imageName == nullptr) return "(none)";
  const char* name = host.imageName(im);
  return name != nullptr && name[0] != '\0' ? name : "(none)";
}

void SetImageChoice(ImageControl* c, ImageHandle image) {
  if (c == nullptr) return;
  c->image = image;
  if (c->imageButton != nullptr) CopyText(c->imageButton->caption, ImageButtonText(c));
  RefreshControl(c, kRefreshAll);
  NotifyValueChanged(c);
}

ImageControl* AddImageControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  ImageControl* c = new (std::nothrow) ImageControl;
  ButtonControl* button = new (std::nothrow) ButtonControl;
  if (c == nullptr || button == nullptr) {
    delete c;
    delete button;
    return nullptr;
  }
  InitControlRecord(c, kKindImage, key);
  c->owner = PanelOf(anchor);
  ResetImage(c);
  c->ops.reset = ResetImage;
  c->ops.copyValue = CopyImage;
  c->x = x;
  c->y = y;
  CopyText(c->label, c->key.c_str());
  char subKey[ControlKey::kMaxChars + 1];
  FormatText(subKey, sizeof subKey, "%s_button", c->key.c_str());
  InitControlRecord(button, kKindButton, subKey);
  button->persistent = 0;
  CopyText(button->caption, "(none)");
  button->width = 120;
  AttachSubControl(c, button);
  c->imageButton = button;
  AppendToChain(anchor, c);
  return c;
}

}  // namespace orvik
