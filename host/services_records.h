// The service records the global-service function hands out; each one's
// functions answer for HostEnvironment::active(). Internal to services*.cpp.
#pragma once

#include "host/services.h"

namespace orvik::host::records {

// Items and the scene.
extern const HostItemInfo3 kItemInfo;
extern const HostObjectInfo4 kObjectInfo;
extern const HostLightInfo2 kLightInfo;
extern const HostLightInfo3 kLightInfo3;
extern const HostCameraInfo2 kCameraInfo;
extern const HostBoneInfo2 kBoneInfo;
extern const HostSceneObjects3 kSceneObjects;
// Two records, one per backdrop type, so that nothing is written while
// render threads read them.
extern const HostBackdropInfo2 kSolidBackdrop;
extern const HostBackdropInfo2 kGradientBackdrop;

// Surfaces.
extern const HostSurfaceFuncs2 kSurfaceFuncs;
extern const HostSurfaceEditorFuncs kSurfaceEditor;

// Images.
extern const HostImageList3 kImageList;

// The item id handed to the module for a scene item, and back.
inline HostItemId toHost(ItemId id) {
  return reinterpret_cast<HostItemId>(static_cast<std::uintptr_t>(id));
}
inline ItemId fromHost(HostItemId id) {
  const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(id);
  return v > 0xFFFFFFFFu ? kNoItem : static_cast<ItemId>(v);
}

// The active environment's scene, or an empty scene when none is active.
const Scene& activeScene();

}  // namespace orvik::host::records
