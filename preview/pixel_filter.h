// The module's pixel filter: once per frame it chooses the preview store to
// capture and the sampling factors of the frame; once per pixel and
// antialiasing pass it stores the pixel's final colour in that store and
// hands the host the colour after the master's image processing.
//
// At most one instance is active; render threads read it through the
// registry while the host's main thread creates and destroys it between
// renders.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "module/registry.h"
#include "sdk/orvik_sdk.h"

namespace orvik {

struct LightList;
struct PreviewStore;
struct PreviewWindow;

inline constexpr int kFrameAfterCreate = 22222;
inline constexpr int kFrameAfterInit = -55555;
inline constexpr std::size_t kSharedLightBlockBytes = 1032;
inline constexpr const char* kFilterSharedBlockName = "QWIL_LIGHT_1.5";
inline constexpr unsigned kPixelFilterFlagWord = 0x20000023u;
// Frame width of the reference frame of the relative grain scale.
inline constexpr double kGrainReferenceWidth = 640.0;

inline constexpr const char* kFilterDescription = "Orvik Lighting and Shading System";
inline constexpr const char* kImageContextError = "Orvik can't be applied to images.";
inline constexpr const char* kSecondFilterFormat =
    "No need to add Orvik pixel panels. If you're loading a scene, it's probably an internal LW \"Master Event\" "
    "error, please inform Morvane: %s";
inline constexpr const char* kFilterMemoryError = "Preview Memory Allocation error. Need more RAM!";
inline constexpr const char* kFieldWarning1 = "The Orvik preview can't capture all of the information it needs when you have field";
inline constexpr const char* kFieldWarning2 =
    "rendering active.  You probably want to turn off field rendering for Orvik previewing.";
inline constexpr const char* kAdaptiveWarning1 =
    "The Orvik preview doesn't get the full information it needs when you render with Adaptive Antialiasing";
inline constexpr const char* kAdaptiveWarning2 =
    "AND motion blur or DOF. You probably want to turn Adaptive off to use the Orvik preview.";

struct PixelFilterInstance {
  std::atomic<int> passCount{0};
  int maxSamples = 1;
  int lastFrame = kFrameAfterCreate;
  int frameWidth = 0;
  std::atomic<double> passPhase{0.5};
  std::atomic<double> reflectionFactor{1.0};
  std::atomic<double> areaFactor{1.0};
  int warned = 0;
  void* serverData = nullptr;
  void* context = nullptr;
  void* sharedLightBlock = nullptr;
  std::size_t sharedLightBlockSize = 0;
  std::atomic<PreviewStore*> currentStore{nullptr};
  // The first pixel of the rendered region: a pass starts there.
  int regionX0 = 0, regionY0 = 0;
  std::atomic<std::uint32_t> aliveMark{0};

  bool alive() const { return aliveMark.load(std::memory_order_relaxed) == kAliveMark; }
};

// What the filter asks of the preview windows; the windows' owner fills it.
// Every slot may be empty: then no window wants any frame.
struct PreviewWindowHooks {
  PreviewWindow* (*first)() = nullptr;
  PreviewWindow* (*next)(PreviewWindow* w) = nullptr;
  int (*cameraCount)(PreviewWindow* w) = nullptr;
  HostItemId (*camera)(PreviewWindow* w) = nullptr;  // the first of its list
  double (*frame)(PreviewWindow* w) = nullptr;
  // Frame mode "Last F9": the window follows every rendered frame.
  bool (*followsRender)(PreviewWindow* w) = nullptr;
  void (*takeRenderedFrame)(PreviewWindow* w, int frame, HostItemId camera) = nullptr;
  // Marks (or unmarks) the master panel and every preview and pixel-
  // information window as rendering; marking frees windows whose panel is gone.
  void (*markRendering)(bool rendering) = nullptr;
};
void setPreviewWindowHooks(const PreviewWindowHooks& hooks);
const PreviewWindowHooks& previewWindowHooks();

// The first preview window showing that frame of that camera, or null.
PreviewWindow* windowWantsFrame(HostItemId camera, int frame);

// The host as the filter sees it. filterHostFromServices() fills it from the
// module's host services; tests build their own.
struct FilterHost {
  const HostSceneInfo* scene = nullptr;
  const HostGlobalMemory* renderMemory = nullptr;
  const HostItemInfo1* itemInfo = nullptr;  // camera positions
  bool layout = true;
  bool renderNode = false;
  int hostBuild = 0;
  void (*warn)(const char* line1, const char* line2) = nullptr;
  // Builds a store's light list (null: the list stays empty).
  void (*buildLights)(LightList& list, double time) = nullptr;
};
FilterHost filterHostFromServices();

// Create: fails (null, message in *error) for the image context and while
// another filter is active. The instance becomes the active one.
PixelFilterInstance* createPixelFilter(void* serverData, void* context, const char** error);
void destroyPixelFilter(PixelFilterInstance* f);
void pixelFilterInit(PixelFilterInstance* f, const FilterHost& host);
void pixelFilterCleanup(PixelFilterInstance* f);
void pixelFilterNewTime(PixelFilterInstance* f, int frame, double time, const FilterHost& host);
void pixelFilterEvaluate(PixelFilterInstance* f, const HostFilterAccess* access);

// The active filter, or null.
PixelFilterInstance* activePixelFilter();

// Text of the second-filter refusal with the last master event (bounded).
const char* secondFilterMessage();

}  // namespace orvik
