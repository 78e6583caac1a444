// Module-wide anchors through which the instances, stores and windows meet
// without including each other's insides.
#pragma once

#include <atomic>
#include <cstdint>

namespace orvik {

// Live records carry this mark; it is cleared when they are destroyed so
// that stale anchors and list entries are recognised.
inline constexpr uint32_t kAliveMark = 0x12344321;

struct SurfaceInstance;
struct MasterInstance;
struct PixelFilterInstance;
struct PreviewStore;
struct PreviewWindow;
struct PixelInfoWindow;

// The lists are singly linked through the records' own link fields, newest
// first; the registry holds their heads. The owners of each type link and
// unlink their records (on the host's main thread); panel and render threads
// read the anchors, hence atomics.
struct Registry {
  std::atomic<MasterInstance *> activeMaster{nullptr};
  std::atomic<PixelFilterInstance *> activePixelFilter{nullptr};
  std::atomic<SurfaceInstance *> surfaces{nullptr};
  std::atomic<PreviewStore *> previewStores{nullptr};
  std::atomic<PreviewWindow *> previewWindows{nullptr};
  std::atomic<PixelInfoWindow *> pixelInfoWindows{nullptr};
  std::atomic<SurfaceInstance *> lastEditedSurface{nullptr};
};

Registry &registry();

}  // namespace orvik
