// Building the surface panel: every setting of the table as a control, in
// creation order, with the page tabs, cut/paste groups, captions and logo.
#pragma once

namespace orvik {

struct SurfaceInstance;
struct Control;

// Keys of the panel's controls that are no settings.
inline constexpr const char* kPageTabsKey = "TAB";
inline constexpr const char* kSpecularTabsKey = "SPECTAB";
inline constexpr const char* kLightGroupTabsKey = "LGTAB";
inline constexpr const char* kLightGroupCaptionKey = "LGT";
inline constexpr const char* kAnisotropyCaptionKey = "AD";
inline constexpr const char* kLogoKey = "LOGO";
inline constexpr const char* kLightGroupCaption = "Light Group Boosts";
inline constexpr const char* kAnisotropyCaption = "Anisotropy Direction";

// Logo size in pixels.
inline constexpr int kLogoWidth = 84;
inline constexpr int kLogoHeight = 195;
// Art-mode swatch size in pixels.
inline constexpr int kSwatchSize = 100;

// Creates the panel of `inst` with all its controls at their defaults and
// fills the instance's control handles. On failure (memory) everything built
// so far is freed, inst->panel is null and false is returned.
bool buildSurfacePanel(SurfaceInstance* inst);

// Puts every setting of the panel back to its default value (used by
// building; buttons, captions and pages keep their state).
void resetSurfaceControl(Control* c, int settingIndex);

}  // namespace orvik
