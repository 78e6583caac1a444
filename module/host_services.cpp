#include "module/host_services.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "module/random_tables.h"

namespace orvik {
namespace {

HostServices g_services;

// Taken when the host reports a product version too old to be believed.
constexpr int kMinimumBelievedMajor = 5;
constexpr int kMinimumBelievedBuild = 400;
constexpr int kFallbackMajor = 6;
constexpr int kFallbackMinor = 5;
constexpr int kFallbackBuild = 508;

// Highest versions tried for each service.
constexpr int kColorPickerVersion = 1;
constexpr int kMessagesVersion = 3;
constexpr int kDirectoryVersion = 2;
constexpr int kSurfacesVersion = 2;
constexpr int kLightInfoVersion = 2;
constexpr int kCameraInfoVersion = 2;
constexpr int kImageListVersion = 3;
constexpr int kBoneInfoVersion = 2;
constexpr int kItemInfoVersion = 3;
constexpr int kSceneObjectsVersion = 3;
constexpr int kObjectInfoVersion = 4;
constexpr int kBackdropInfoVersion = 2;

template <typename T>
const T *acquireAs(HostGlobalFunc global, const char *name, int highest, int *version) {
  return static_cast<const T *>(acquireService(global, name, highest, version));
}

}  // namespace

const HostServices &hostServices() { return g_services; }

void resetHostServices() { g_services = HostServices{}; }

void *acquireService(HostGlobalFunc global, const char *name, int highestVersion, int *version) {
  if (version) *version = 0;
  if (!global || !name) return nullptr;
  for (int v = highestVersion; v >= 2; --v) {
    const std::string versioned = std::string(name) + " " + std::to_string(v);
    if (void *service = global(versioned.c_str(), HOST_GFUSE_ACQUIRE)) {
      if (version) *version = v;
      return service;
    }
  }
  if (void *service = global(name, HOST_GFUSE_ACQUIRE)) {
    if (version) *version = 1;
    return service;
  }
  return nullptr;
}

void readHostFacts(HostGlobalFunc global) {
  if (!global) return;
  const auto systemId =
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(global(HOST_SYSTEM_ID_NAME, HOST_GFUSE_TRANSIENT)));
  g_services.systemId = systemId;
  switch (systemId & HOST_SYSTEM_KIND_MASK) {
    case HOST_SYSTEM_MODELER: g_services.kind = HostKind::Modeler; break;
    case HOST_SYSTEM_RENDER_NODE: g_services.kind = HostKind::RenderNode; break;
    default: g_services.kind = HostKind::Layout; break;
  }
  g_services.inModeler = g_services.kind == HostKind::Modeler;
  g_services.inRenderNode = g_services.kind == HostKind::RenderNode;

  const auto product = static_cast<uint32_t>(
      reinterpret_cast<uintptr_t>(global(HOST_PRODUCT_INFO_NAME, HOST_GFUSE_TRANSIENT)));
  int major = static_cast<int>(HOST_PRODUCT_MAJOR(product));
  int minor = static_cast<int>(HOST_PRODUCT_MINOR(product));
  int build = static_cast<int>(HOST_PRODUCT_BUILD(product));
  if (major < kMinimumBelievedMajor || build < kMinimumBelievedBuild) {
    major = kFallbackMajor;
    minor = kFallbackMinor;
    build = kFallbackBuild;
  }
  g_services.versionMajor = major;
  g_services.versionMinor = minor;
  g_services.versionBuild = build;
}

int acquireServices(HostGlobalFunc global, int /*activationVersion*/) {
  if (!global) return HOST_AFUNC_BADGLOBAL;
  if (g_services.acquired()) return HOST_AFUNC_OK;

  readHostFacts(global);
  HostServices &s = g_services;
  int unused = 0;
  s.fileRequest = reinterpret_cast<HostFileRequestFunc>(
      acquireService(global, HOST_FILE_REQUEST_NAME, 1, &unused));
  s.colorPicker = reinterpret_cast<HostColorPickFunc>(
      acquireService(global, HOST_COLOR_PICKER_NAME, kColorPickerVersion, &unused));
  s.messages = acquireAs<HostMessageFuncs1>(global, HOST_INFO_MESSAGES_NAME, kMessagesVersion,
                                            &s.messagesVersion);
  s.directory = reinterpret_cast<HostDirectoryFunc>(
      acquireService(global, HOST_DIRECTORY_INFO_NAME, kDirectoryVersion, &s.directoryVersion));
  s.surfaces = acquireAs<HostSurfaceFuncs1>(global, HOST_SURFACE_FUNCTIONS_NAME, kSurfacesVersion,
                                            &s.surfacesVersion);
  s.lightInfo3 = acquireAs<HostLightInfo3>(global, HOST_LIGHT_INFO_3_NAME, 1, &unused);
  s.lightInfo = acquireAs<HostLightInfo1>(global, HOST_LIGHT_INFO_NAME, kLightInfoVersion,
                                          &s.lightInfoVersion);
  s.cameraInfo = acquireAs<HostCameraInfo1>(global, HOST_CAMERA_INFO_NAME, kCameraInfoVersion,
                                            &s.cameraInfoVersion);
  s.imageList = acquireAs<HostImageList1>(global, HOST_IMAGE_LIST_NAME, kImageListVersion,
                                          &s.imageListVersion);
  s.boneInfo = acquireAs<HostBoneInfo1>(global, HOST_BONE_INFO_NAME, kBoneInfoVersion,
                                        &s.boneInfoVersion);
  s.itemInfo = acquireAs<HostItemInfo1>(global, HOST_ITEM_INFO_NAME, kItemInfoVersion,
                                        &s.itemInfoVersion);
  s.sceneObjects = acquireAs<HostSceneObjects1>(global, HOST_SCENE_OBJECTS_NAME,
                                                kSceneObjectsVersion, &s.sceneObjectsVersion);
  s.objectInfo = acquireAs<HostObjectInfo1>(global, HOST_OBJECT_INFO_NAME, kObjectInfoVersion,
                                            &s.objectInfoVersion);
  s.backdropInfo = acquireAs<HostBackdropInfo1>(global, HOST_BACKDROP_INFO_NAME,
                                                kBackdropInfoVersion, &s.backdropInfoVersion);

  // The inverse random table is prepared with the services.
  buildRandomTables();

  // Modeler runs with whatever it found.
  if (s.inModeler) {
    s.global = global;
    return HOST_AFUNC_OK;
  }

  // The first missing required service, in this order, names the failure.
  const struct {
    const void *service;
    int code;
  } required[] = {
      {s.itemInfo, HOST_AFUNC_NO_ITEM_INFO},     {s.objectInfo, HOST_AFUNC_NO_OBJECT_INFO},
      {s.boneInfo, HOST_AFUNC_NO_BONE_INFO},     {s.lightInfo, HOST_AFUNC_NO_LIGHT_INFO},
      {s.cameraInfo, HOST_AFUNC_NO_CAMERA_INFO}, {s.imageList, HOST_AFUNC_NO_IMAGE_LIST},
      {s.messages, HOST_AFUNC_NO_MESSAGES},
      {reinterpret_cast<const void *>(s.directory), HOST_AFUNC_NO_DIRECTORY},
      {s.surfaces, HOST_AFUNC_NO_SURFACE_FUNCS},
  };
  for (const auto &r : required) {
    if (!r.service) {
      s.global = nullptr;  // try again at the next activation
      return r.code;
    }
  }
  // A missing backdrop service has no code of its own: the activation goes
  // on, but the table is acquired again next time.
  s.global = s.backdropInfo ? global : nullptr;
  return HOST_AFUNC_OK;
}

void showError(const char *line1, const char *line2) {
  if (g_services.messages && g_services.messages->error) g_services.messages->error(line1, line2);
}

void showInfo(const char *line1, const char *line2) {
  if (g_services.messages && g_services.messages->info) g_services.messages->info(line1, line2);
}

}  // namespace orvik
