// The per-surface instance: its panel with one control per setting, and the
// runtime block that render-time code reads (prepared values, render mode,
// frame and time, list links, surface identity, alive mark).
#pragma once

#include <cstdint>
#include <vector>

#include "panels/control.h"
#include "shading/surface_preparation.h"
#include "shading/surface_settings.h"

namespace orvik {

struct Panel;

// Panel-level values of every surface panel.
inline constexpr const char* kSurfacePanelTitle = "Orvik Lighting and Shading System from Morvane";
inline constexpr const char* kSurfaceBlockName = "Orvik";
inline constexpr double kSurfaceSettingsVersion = 1.5;
inline constexpr int kSurfacePanelKind = 3;

// Alive mark of a live instance, and the surface identity destroy leaves behind.
inline constexpr uint32_t kSurfaceAliveMark = 0x12344321u;
inline constexpr uintptr_t kDestroyedSurfaceId = 0xFFFFAAAAu;

// Bits of the host scene's render options.
inline constexpr int kRenderOptionRayTraceReflection = 2;
inline constexpr int kRenderOptionRayTraceRefraction = 4;

// Render modes passed to init.
inline constexpr int kRenderModePreview = 0;
inline constexpr int kRenderModeFull = 1;

// The prepared values, stored so that render threads may read them while the
// panel's thread re-prepares after an edit (each field is a relaxed atomic;
// a reader may see a mix of two consecutive preparations, never a torn double).
class SharedPreparation {
 public:
  void store(const PreparedSurface& p);
  int specularLayerCount() const { return count_.get(); }
  // Copy of prepared layer i (0 .. specularLayerCount() - 1).
  SpecularLayer specularLayer(int i) const;
  double orenNayarA() const { return orenNayar_[0].get(); }
  double orenNayarB() const { return orenNayar_[1].get(); }
  double orenNayarC() const { return orenNayar_[2].get(); }
  double orenNayarD() const { return orenNayar_[3].get(); }
  OrenNayarCoefficients orenNayar() const {
    return {orenNayarA(), orenNayarB(), orenNayarC(), orenNayarD()};
  }

 private:
  static constexpr int kLayerDoubles = 16;
  SharedValue<int> count_{0};
  SharedValue<double> layers_[kSpecularLayerCount][kLayerDoubles];
  SharedValue<double> orenNayar_[4] = {1.0, 0.0, 0.0, 0.0};
};

struct SurfaceRuntime {
  SharedValue<int> renderMode{kRenderModePreview};
  SharedValue<int> frame{0};
  SharedValue<double> time{0.0};
  SharedPreparation prepared;
  SharedValue<int> previewLightsTaken{0};
  SharedValue<int> renderOptions{0};
  // Links of the module-wide list; changed on the host's thread, walked by
  // panel and preview threads too.
  SharedValue<struct SurfaceInstance*> previousInstance{nullptr};
  SharedValue<struct SurfaceInstance*> nextInstance{nullptr};
  SharedValue<uintptr_t> surfaceId{0};
  SharedValue<int> inScene{0};
  // The host's compositing and scene services, set at new time (never while
  // a render reads them).
  const void* compositing = nullptr;
  const void* sceneInfo = nullptr;
  SharedValue<uint32_t> aliveMark{0};
  // The panel window was hidden by init for a full render.
  SharedValue<int> panelHiddenForRender{0};
};

// A new serial number for each instance made.
std::uint64_t nextSurfaceSerial();

struct SurfaceInstance {
  // First member: the settings callbacks reach the panel of any instance
  // through the instance's first pointer.
  Panel* panel = nullptr;
  // One control per setting, indexed as surfaceSettings().
  Control* controls[kSurfaceSettingCount] = {};
  // The panel's other controls.
  Control* pageTabs = nullptr;          // TAB
  Control* specularTabs = nullptr;      // SPECTAB
  Control* lightGroupTabs = nullptr;    // LGTAB
  Control* lightGroupCaption = nullptr; // LGT
  Control* anisotropyCaption = nullptr; // AD
  Control* logo = nullptr;              // LOGO
  Control* lightGroupBoosts[kLightGroupBoostCount] = {};
  // Pixels of the art-mode swatch (the bitmap control shows them).
  std::vector<uint32_t> swatchPixels;
  SurfaceRuntime runtime;
  // Never the same for two instances of a run, even at the same address.
  const std::uint64_t serial = nextSurfaceSerial();

  bool alive() const { return runtime.aliveMark.get() == kSurfaceAliveMark; }

  // The control of a setting (by table index or key); null when absent.
  Control* control(int settingIndex) const;
  Control* control(const char* key) const;

  // Current values of settings, by key or (faster, for render-time code
  // that looks the index up once) by table index. A missing or mismatched
  // control reads as 0 (null text for strings).
  double number(int settingIndex) const;  // numeric value
  bool isOn(int settingIndex) const;      // check button non-zero
  int choice(int settingIndex) const;     // selection index
  void colour(int settingIndex, int rgb[3]) const;
  const char* text(int settingIndex) const;
  double number(const char* key) const { return number(surfaceSettingIndex(key)); }
  bool isOn(const char* key) const { return isOn(surfaceSettingIndex(key)); }
  int choice(const char* key) const { return choice(surfaceSettingIndex(key)); }
  void colour(const char* key, int rgb[3]) const { colour(surfaceSettingIndex(key), rgb); }
  const char* text(const char* key) const { return text(surfaceSettingIndex(key)); }
};

// The settings the preparation reads, taken from the instance's controls.
SurfacePreparationInput preparationInput(const SurfaceInstance& inst);

// Runs the preparation step on the instance's current control values and
// stores the result in its runtime block; clears an art image the host no
// longer knows.
void prepareSurfaceInstance(SurfaceInstance* inst);

// Builds an instance with its panel and every control at its default, not
// yet listed anywhere. Null when memory runs out (nothing is left behind).
SurfaceInstance* buildSurfaceInstance();
// Frees the panel with all its controls, and the instance.
void freeSurfaceInstance(SurfaceInstance* inst);

// Copies every saved setting from `from` to `to` (never the runtime block).
// Returns null, or "Copy Failed" when the control chains do not line up.
const char* copySurfaceSettings(SurfaceInstance* to, const SurfaceInstance* from);

// Rebuilds the labels of the twelve light-group boosts of one instance from
// the master's group note texts (null: no master, plain numbers).
void relabelInstanceLightGroupBoosts(SurfaceInstance* inst, const char* const* texts);

}  // namespace orvik
