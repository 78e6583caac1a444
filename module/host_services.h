// The module-wide table of host services, acquired once at activation, and
// the host facts derived at the same time (host module kind, host version).
#pragma once

#include <cstdint>

#include "sdk/orvik_sdk.h"

namespace orvik {

enum class HostKind { Layout, Modeler, RenderNode };

// Host major version from which the replacement-colour output, the image
// editor command and the object commands are used.
inline constexpr int kHostMajorWithReplacementOutput = 7;

// Versioned services are kept as a pointer to their version-1 record (every
// version starts with the same fields) plus the version found; the typed
// accessors give the newer records only when the host published them.
struct HostServices {
  HostGlobalFunc global = nullptr;  // non-null: the table is acquired

  HostKind kind = HostKind::Layout;
  bool inModeler = false;
  bool inRenderNode = false;
  uint32_t systemId = 0;

  // Host product version (after the fallback to 6.5 build 508).
  int versionMajor = 0;
  int versionMinor = 0;
  int versionBuild = 0;

  HostFileRequestFunc fileRequest = nullptr;  // optional
  HostColorPickFunc colorPicker = nullptr;    // optional
  const HostMessageFuncs1 *messages = nullptr;
  int messagesVersion = 0;
  HostDirectoryFunc directory = nullptr;
  int directoryVersion = 0;
  const HostSurfaceFuncs1 *surfaces = nullptr;
  int surfacesVersion = 0;
  const HostLightInfo3 *lightInfo3 = nullptr;  // optional, the newer light interface
  const HostLightInfo1 *lightInfo = nullptr;
  int lightInfoVersion = 0;
  const HostCameraInfo1 *cameraInfo = nullptr;
  int cameraInfoVersion = 0;
  const HostImageList1 *imageList = nullptr;
  int imageListVersion = 0;
  const HostBoneInfo1 *boneInfo = nullptr;
  int boneInfoVersion = 0;
  const HostItemInfo1 *itemInfo = nullptr;
  int itemInfoVersion = 0;
  const HostSceneObjects1 *sceneObjects = nullptr;  // optional
  int sceneObjectsVersion = 0;
  const HostObjectInfo1 *objectInfo = nullptr;
  int objectInfoVersion = 0;
  const HostBackdropInfo1 *backdropInfo = nullptr;
  int backdropInfoVersion = 0;

  bool acquired() const { return global != nullptr; }
  bool replacementOutput() const { return versionMajor >= kHostMajorWithReplacementOutput; }

  const HostMessageFuncs2 *messages2() const {
    return messagesVersion >= 2 ? reinterpret_cast<const HostMessageFuncs2 *>(messages) : nullptr;
  }
  const HostMessageFuncs3 *messages3() const {
    return messagesVersion >= 3 ? reinterpret_cast<const HostMessageFuncs3 *>(messages) : nullptr;
  }
  const HostSurfaceFuncs2 *surfaces2() const {
    return surfacesVersion >= 2 ? reinterpret_cast<const HostSurfaceFuncs2 *>(surfaces) : nullptr;
  }
  const HostLightInfo2 *lightInfo2() const {
    return lightInfoVersion >= 2 ? reinterpret_cast<const HostLightInfo2 *>(lightInfo) : nullptr;
  }
  const HostCameraInfo2 *cameraInfo2() const {
    return cameraInfoVersion >= 2 ? reinterpret_cast<const HostCameraInfo2 *>(cameraInfo) : nullptr;
  }
  const HostImageList2 *imageList2() const {
    return imageListVersion >= 2 ? reinterpret_cast<const HostImageList2 *>(imageList) : nullptr;
  }
  const HostImageList3 *imageList3() const {
    return imageListVersion >= 3 ? reinterpret_cast<const HostImageList3 *>(imageList) : nullptr;
  }
  const HostBoneInfo2 *boneInfo2() const {
    return boneInfoVersion >= 2 ? reinterpret_cast<const HostBoneInfo2 *>(boneInfo) : nullptr;
  }
  const HostItemInfo2 *itemInfo2() const {
    return itemInfoVersion >= 2 ? reinterpret_cast<const HostItemInfo2 *>(itemInfo) : nullptr;
  }
  const HostItemInfo3 *itemInfo3() const {
    return itemInfoVersion >= 3 ? reinterpret_cast<const HostItemInfo3 *>(itemInfo) : nullptr;
  }
  const HostObjectInfo2 *objectInfo2() const {
    return objectInfoVersion >= 2 ? reinterpret_cast<const HostObjectInfo2 *>(objectInfo) : nullptr;
  }
  const HostObjectInfo3 *objectInfo3() const {
    return objectInfoVersion >= 3 ? reinterpret_cast<const HostObjectInfo3 *>(objectInfo) : nullptr;
  }
  const HostObjectInfo4 *objectInfo4() const {
    return objectInfoVersion >= 4 ? reinterpret_cast<const HostObjectInfo4 *>(objectInfo) : nullptr;
  }
  const HostBackdropInfo2 *backdropInfo2() const {
    return backdropInfoVersion >= 2 ? reinterpret_cast<const HostBackdropInfo2 *>(backdropInfo)
                                    : nullptr;
  }
};

// The module's table. Written on the host's main thread at activation only.
const HostServices &hostServices();

// Acquires the table through `global` (see host_services.cpp for the order
// and the failure codes). Returns HOST_AFUNC_OK, HOST_AFUNC_BADGLOBAL for a
// null function, or the HOST_AFUNC_NO_* code of the first missing service.
// Returns at once when the table is already acquired.
int acquireServices(HostGlobalFunc global, int activationVersion);

// Tries "<name> <v>" for v = highestVersion down to 2, then the plain name
// (version 1), each with the acquire flag. Returns the first found and its
// version in *version; null and version 0 when none answers.
void *acquireService(HostGlobalFunc global, const char *name, int highestVersion, int *version);

// Reads the host kind and version into the table (done first by every
// acquisition, also when the table is already acquired).
void readHostFacts(HostGlobalFunc global);

// Forgets the table so that the next activation acquires it again.
void resetHostServices();

// Shows a two-line error through the host's message service, when present.
void showError(const char *line1, const char *line2);
// Same for an information message.
void showInfo(const char *line1, const char *line2);

}  // namespace orvik
