// Stored preview frames: for one camera and frame, the grid of captured
// pixel records, the colour the host finally rendered for each cell, and
// the lights as they were when the frame was captured. A preview window
// re-shades a stored frame later without a render.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "preview/channel_set.h"
#include "sdk/shader.h"
#include "sdk/scene_info.h"
#include "shading/light_list.h"

namespace orvik {

// A cell not rendered yet holds this colour (a negative blue marks it).
inline constexpr float kUnrenderedCell[3] = {0.9999f, 0.0f, -1.0f};
// Largest colour grid of one store, in bytes; the grid steps coarsen until it fits.
inline constexpr std::size_t kMaxColourGridBytes = 9438209;  // 0x900401
inline constexpr std::size_t kColourCellBytes = 3 * sizeof(float);
// Hosts older than this build sample a single pass at a coarser step.
inline constexpr int kFineStepHostBuild = 547;
// Per-light value of a light the evaluation did not compute.
inline constexpr float kNotComputedLightValue = -99.0f;
// Rounding of a pixel position to its pixel.
inline constexpr double kPixelRounding = 0.00001;

// The 25 kinds a stored frame captures, in slot order.
inline constexpr int kStoredKindCount = 25;
inline constexpr int kStoredKinds[kStoredKindCount] = {
    kKindSurfaceId,        kKindColour,           kKindWorldPosition,     kKindDiffuse,
    kKindSpecular,         kKindRoughness,        kKindLuminous,          kKindNormal,
    kKindMirror,           kKindTransparency,     kKindObjectId,          kKindNormalBeforeBump,
    kKindAddTransparency,  kKindDiffuseSharpness, kKindFillLight,         kKindTranslucency,
    kKindRefractionColour, kKindReflectionColour, kKindShadowBytes,       kKindRadiosityCache,
    kKindThickness,        kKindLightTranslucency, kKindReflectionHitFraction, kKindSamplingWeight,
    kKindAnisotropyAngle};

// The values of one captured cell, decoded from its record. The two per-light
// arrays point into the record and live as long as the store's capture.
struct StoredPixel {
  std::uintptr_t surfaceId = 0;
  double colour[3] = {};
  double position[3] = {};
  float diffuse = 0, specular = 0, roughness = 0, luminous = 0;
  double normal[3] = {};
  float mirror = 0, transparency = 0;
  HostItemId objectId = nullptr;
  double normalBeforeBump[3] = {};
  float addTransparency = 0, diffuseSharpness = 0, fillLight = 0, translucency = 0;
  float refractionColour[3] = {};
  float reflectionColour[3] = {};
  const std::uint8_t* shadowBytes = nullptr;  // 3 per light, lightCount lights
  float radiosityCache[3] = {};
  float thickness = 0;
  const std::uint8_t* lightTranslucency = nullptr;  // one float per light, unaligned-safe bytes
  float reflectionHitFraction = 0;
  float samplingWeight = 0;
  float anisotropyAngle = 0;
  int lightCount = 0;

  float lightTranslucencyAt(int light) const;
};

// Everything one capture writes, gathered by the evaluation.
struct CaptureInputs {
  const HostShaderAccess* access = nullptr;
  std::uintptr_t surfaceId = 0;
  const std::uint8_t* shadowBytes = nullptr;  // 3 per light
  int shadowLightCount = 0;
  const float* radiosityCache = nullptr;     // 3
  const float* refractionColour = nullptr;   // 3, or null: none
  const float* reflectionColour = nullptr;   // 3, or null: none
  float thickness = 0.0f;
  const float* lightTranslucency = nullptr;  // one per light, or null: none computed
  int lightTranslucencyCount = 0;
  float reflectionHitFraction = 0.0f;
  float samplingWeight = 1.0f;
  float anisotropyAngle = 0.0f;
};

struct PreviewStore {
  HostItemId camera = nullptr;
  int frame = 0;
  double cameraPosition[3] = {0.0, 0.0, 0.0};
  PreviewGrid grid;
  int frameWidth = 0;
  std::unique_ptr<LightList> lights;
  std::unique_ptr<ChannelSet> channels;
  std::unique_ptr<std::atomic<float>[]> colours;  // width x height x 3, row-major
  PreviewStore* next = nullptr;
  PreviewStore* previous = nullptr;
  std::atomic<std::uint32_t> marker{0};

  int width() const { return grid.width; }
  int height() const { return grid.height; }
  bool alive() const;
  // The cell's colour; false when it is outside the grid or has no colours.
  bool cellColour(int cx, int cy, float rgb[3]) const;
  // Rendered: its colour holds the host's final colour.
  bool cellRendered(int cx, int cy) const;
  // The captured record of a cell; false when nothing was captured there.
  bool storedPixel(int cx, int cy, StoredPixel& out) const;
};

// The capture grid of a rendered region: steps coarsen until the colour grid
// fits kMaxColourGridBytes. Without a scene it is 1 x 1 with steps 2 x 1.
PreviewGrid previewGrid(const HostSceneInfo* scene, int hostBuild);
PreviewGrid previewGridFor(int x0, int y0, int x1, int y1, int baseStep);
// The base step for the scene's sampling.
int previewBaseStep(int minSamples, int maxSamples, int hostBuild);

// The cell of a frame pixel when that pixel represents it (every pixel with a
// step of 1, else the pixel whose position mod step is 1); false otherwise.
bool representedCell(const PreviewGrid& g, int x, int y, int& cx, int& cy);
// The cell holding a frame pixel, inside the grid; false outside.
bool cellOfPixel(const PreviewGrid& g, int x, int y, int& cx, int& cy);

// The store list (the registry holds its head), newest first.
PreviewStore* findStore(HostItemId camera, int frame);
// A new store with its 25 channels, linked at the head; null when out of memory.
PreviewStore* createStore(HostItemId camera, int frame);
void freeStore(PreviewStore* store);
void freeAllStores();
int storeCount();

// What preparing a store for a frame needs of the scene.
struct StoreFrame {
  const HostSceneInfo* scene = nullptr;
  int hostBuild = 0;
  bool layout = true;
  double time = 0.0;
  const double* cameraPosition = nullptr;
  // Builds the store's light list for the time (null: the list stays empty).
  void (*buildLights)(LightList& list, double time) = nullptr;
  // A two-line warning (null: none shown).
  void (*warn)(const char* line1, const char* line2) = nullptr;
};
inline constexpr const char* kColourMemoryWarning1 = "Orvik's preview can't allocate enough memory! You may";
inline constexpr const char* kColourMemoryWarning2 = "have too many or too high resolution stored frames";
// Sets the grid and the colour cells for the frame (all unrendered), then the
// light list and the channel set. False when the colour cells could not be
// allocated (the frame then keeps no colours).
bool prepareStore(PreviewStore& store, int frame, const StoreFrame& how);

// Writes one captured sample into the cell its pixel represents (when the set
// is active); the last sample before the cell's colour is written wins.
bool captureIntoSet(ChannelSet& set, const CaptureInputs& in);

// Writes the host's final colour of a pixel into its cell, once: later passes
// leave a rendered cell alone. sx, sy are the filter's pixel position.
void storeFinalColour(PreviewStore& store, double sx, double sy, const float rgb[3]);

// Bytes the stores hold (records, colours, lights, headers).
std::size_t storedMemoryBytes();

}  // namespace orvik
