// The settings of a surface: every control of the surface panel as data, in
// creation order (which is also the order of the saved records).
#pragma once

#include <cstddef>
#include <span>

namespace orvik {

// What kind of control a setting is.
enum class SettingKind {
  Percent,  // numeric control shown in percent (a value of 1.0 shows as 100)
  Number,   // numeric control shown as a plain number
  Check,    // check button: on when its value is non-zero
  Colour,   // three integers 0..255
  Choice,   // selection index among labelled items
  Button,   // push button (no value)
  String,   // one-line text
  Image,    // host image handle
  Swatch,   // the art-mode preview swatch (a picture, no value)
};

// A check button that is on at creation holds this value.
inline constexpr int kCheckOnValue = 3;

// Pages of the main tab row `TAB`, in their order.
enum class SurfacePage {
  Boosts,
  EdgeEffects,
  EdgeColor,
  Processing,
  PhotoMap,
  SkinTools,
  Scattering,
  Specular,
  Reflection,
  Transparency,
  ArtMode,
  Lighting,
  Extra,
  None,  // always shown, on no page
};
inline constexpr int kSurfacePageCount = 13;

// Title of a page of the main tab row and the key of its cut/paste group.
struct SurfacePageInfo {
  const char* title;
  const char* cutPasteKey;  // null for the Specular page (its sub-pages have groups)
};
const SurfacePageInfo& surfacePageInfo(SurfacePage page);

// The sub-pages of the Specular page (`SPECTAB`), one per specular layer.
inline constexpr int kSpecularLayerCount = 3;
extern const char* const kSpecularPageTitles[kSpecularLayerCount];
extern const char* const kSpecularCutPasteKeys[kSpecularLayerCount];

// Number of light groups and their boost controls `LGBOOST0`..`LGBOOST11`.
inline constexpr int kLightGroupBoostCount = 12;
inline constexpr int kLightGroupsPerPage = 4;

// One setting of the surface panel.
struct SurfaceSetting {
  const char* key;
  const char* label;  // null when the control is shown beside the one before
  SettingKind kind;
  SurfacePage page;
  int subPage;  // specular layer 0..2 on the Specular page, else -1

  // Numeric controls (and the value of check buttons and choices).
  double defaultValue;
  bool clampLow;
  double minimum;
  bool clampHigh;
  double maximum;
  double sliderLow;
  double sliderHigh;
  double dragStep;  // value change per pixel of drag

  // Colour controls.
  int defaultRed, defaultGreen, defaultBlue;

  // Text of a check button beside its caption (null for none).
  const char* buttonText;

  // Choice controls.
  const char* const* choices;
  int choiceCount;

  // Position on the panel; -1 when the toolkit places the control.
  int x, y;

  bool isNumeric() const { return kind == SettingKind::Percent || kind == SettingKind::Number; }
  // Whether the control holds a saved value (buttons and the swatch do not).
  bool holdsValue() const { return kind != SettingKind::Button && kind != SettingKind::Swatch; }
  // The display mode of a numeric control: 3 percent, 0 plain number.
  int displayMode() const { return kind == SettingKind::Percent ? 3 : 0; }
};

// Number of settings (controls that the surface panel builds from the table).
inline constexpr int kSurfaceSettingCount = 156;

// Every setting of the surface panel in creation order, ending with the
// twelve light-group boosts.
std::span<const SurfaceSetting> surfaceSettings();

// The setting with the given key (exact comparison), or null.
const SurfaceSetting* findSurfaceSetting(const char* key);

// Index of a setting in surfaceSettings(), or -1.
int surfaceSettingIndex(const char* key);

// The edge-effects channel rows: mode choice, amount ("with") and edge value.
struct EdgeChannelRow {
  const char* label;
  const char* modeKey;
  const char* amountKey;
  const char* edgeKey;
};
inline constexpr int kEdgeChannelCount = 7;
extern const EdgeChannelRow kEdgeChannelRows[kEdgeChannelCount];
inline constexpr int kEdgeModeCount = 4;
extern const char* const kEdgeModeLabels[kEdgeModeCount];

// Key of light-group boost `index` (0..11): "LGBOOST%ld".
void lightGroupBoostKey(int index, char* out, std::size_t outSize);

// Label of light-group boost `index` (0..11): "%5s %ld" with the master's
// group note text and the group's number counted from 1, or "%ld" when
// `noteText` is null (no master). Cut to fit `out`.
void lightGroupBoostLabel(int index, const char* noteText, char* out, std::size_t outSize);

// Title of light-group page `page` (0..2): "%ld--%ld" with its first and last group.
void lightGroupPageTitle(int page, char* out, std::size_t outSize);

}  // namespace orvik
