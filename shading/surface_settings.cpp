#include "shading/surface_settings.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace orvik {

namespace {

// Limits of a numeric control without a clamp of its own (the toolkit's
// initial limits).
constexpr double kInitialMinimum = 0.0;
constexpr double kInitialMaximum = 100.0;
// Drag steps: percent controls move half a percent per pixel; angles in
// degrees half a degree.
constexpr double kPercentDragStep = 0.005;
constexpr double kDegreeDragStep = 0.5;

const SurfacePageInfo kPages[kSurfacePageCount + 1] = {
    {"Boosts", "BOOSTCP"},       {"Edge Effects", "EDGECP"}, {"Edge Color", "FRESCP"},
    {"Processing", "RCP"},       {"PhotoMap", "PMCP"},       {"Skin Tools", "SKINCP"},
    {"Scattering", "GLASSCP"},   {"Specular", nullptr},      {"Reflection", "REFLECTCP"},
    {"Transparency", "REFRACTCP"}, {"Art Mode", "BOOSTART"}, {"Lighting", "LIGHTINGCP"},
    {"Extra", "EXTRACP"},        {"", nullptr},
};

const char* const kAxisLabels[] = {"X", "Y", "Z"};
const char* const kAnisoTypeLabels[] = {"Linear", "Cylindrical", "Radial"};

// Builder of one table row.
struct Row {
  SurfaceSetting s;

  Row(const char* key, const char* label, SettingKind kind, double value) : s{} {
    s.key = key;
    s.label = label;
    s.kind = kind;
    s.page = SurfacePage::None;
    s.subPage = -1;
    s.defaultValue = value;
    s.minimum = kInitialMinimum;
    s.maximum = kInitialMaximum;
    s.sliderLow = 0.0;
    s.sliderHigh = 1.0;
    s.dragStep = kPercentDragStep;
    s.x = -1;
    s.y = -1;
  }
  Row& lo(double v) { s.clampLow = true; s.minimum = v; return *this; }
  Row& hi(double v) { s.clampHigh = true; s.maximum = v; return *this; }
  Row& span(double a, double b) { s.sliderLow = a; s.sliderHigh = b; return *this; }
  Row& step(double v) { s.dragStep = v; return *this; }
  Row& at(int x, int y) { s.x = x; s.y = y; return *this; }
  Row& rgb(int r, int g, int b) { s.defaultRed = r; s.defaultGreen = g; s.defaultBlue = b; return *this; }
  Row& items(const char* const* c, int n) { s.choices = c; s.choiceCount = n; return *this; }
  Row& text(const char* t) { s.buttonText = t; return *this; }
};

Row pct(const char* key, const char* label, double value) { return Row(key, label, SettingKind::Percent, value); }
Row num(const char* key, const char* label, double value) { return Row(key, label, SettingKind::Number, value); }
Row check(const char* key, const char* label, bool on) {
  return Row(key, label, SettingKind::Check, on ? kCheckOnValue : 0);
}
Row colour(const char* key, const char* label, int r, int g, int b) {
  return Row(key, label, SettingKind::Colour, 0).rgb(r, g, b);
}
Row button(const char* key, const char* label) { return Row(key, label, SettingKind::Button, 0); }
// An edge value: percent, clamped and dragged over -1..1.
Row edge(const char* key, double value) { return pct(key, "Edge", value).lo(-1.0).hi(1.0).span(-1.0, 1.0); }
// An angle in degrees.
Row degrees(const char* key, const char* label) {
  return num(key, label, 0.0).span(-180.0, 180.0).step(kDegreeDragStep);
}

// Per-layer keys of the specular pages.
struct LayerKeys {
  const char *strength, *color, *sarb, *gloss, *glossSharp, *aniso, *anisoAngle, *retro, *bump;
};
const LayerKeys kLayerKeys[kSpecularLayerCount] = {
    {"STRENGTH1", "COLOR1", "SARB1", "GLOSS1", "GLOSSSHARP1", "ANISO1", "ANISOA1", "SPECRETRO1", "SPECBUMP1"},
    {"STRENGTH2", "COLOR2", "SARB2", "GLOSS2", "GLOSSSHARP2", "ANISO2", "ANISOA2", "SPECRETRO2", "SPECBUMP2"},
    {"STRENGTH3", "COLOR3", "SARB3", "GLOSS3", "GLOSSSHARP3", "ANISO3", "ANISOA3", "SPECRETRO3", "SPECBUMP3"},
};

// Storage of the numbered keys and labels of the light-group boosts.
char gBoostKeys[kLightGroupBoostCount][16];

std::vector<SurfaceSetting> buildTable() {
  std::vector<SurfaceSetting> t;
  SurfacePage page = SurfacePage::None;
  int subPage = -1;
  auto add = [&](const Row& r) {
    SurfaceSetting s = r.s;
    s.page = page;
    s.subPage = subPage;
    t.push_back(s);
  };

  page = SurfacePage::Boosts;
  add(pct("LUMINOUS", "Luminous", 1.0));
  add(pct("DIFFUSE", "Diffuse", 1.0));
  add(pct("SPECULAR", "Specular", 1.0));
  add(pct("GLOSS", "Gloss", 1.0).lo(0.0));
  add(pct("AMBIENT", "Ambient", 1.0));
  add(pct("RADIOSITY", "Global Illum", 1.0));
  add(pct("REFLECTION", "Reflection", 1.0));
  add(pct("TRANSPARENCY", "Transparency", 1.0));
  add(pct("EXCLUSION", "Respect Light Exclusion", 1.0));
  add(pct("SHADOWS", "Shadow Opacity", 1.0).lo(0.0).hi(100.0));
  add(pct("BUMP", "Bump Mapping", 1.0));
  add(button("RESETBOOST", "Reset").at(113, 128));
  add(check("GLOBOOST", "Include Master Surface Boosts", true).at(400, 180));

  page = SurfacePage::EdgeEffects;
  for (int i = 0; i < kEdgeChannelCount; ++i) {
    const EdgeChannelRow& row = kEdgeChannelRows[i];
    add(Row(row.modeKey, row.label, SettingKind::Choice, 0).items(kEdgeModeLabels, kEdgeModeCount).at(131, 7 + 22 * i));
    add(pct(row.amountKey, "with", 0.0));
    add(edge(row.edgeKey, 0.5));
  }
  add(pct("EBUMP", "Edge Bump Boost", 1.0));
  add(edge("ESBUMP", 0.5));
  add(pct("EFBUMP", "Use Bump for Edges", 0.0).lo(0.0).hi(100.0));
  add(button("RESETEDGE", "Reset").at(156, 189));

  page = SurfacePage::EdgeColor;
  add(degrees("EHUE", "Hue Shift (degrees)"));
  add(edge("ESHUE", 0.5));
  add(pct("Esat", "Saturation Boost", 1.0).lo(0.0));
  add(edge("ESSAT", 0.5));
  add(pct("EVAL", "Bright Boost", 1.0).lo(0.0));
  add(edge("ESVAL", 0.5));
  add(pct("ECOL1", "Color 1 Tint", 0.0).lo(0.0).hi(100.0));
  add(colour("ECOL1C", nullptr, 200, 75, 30).at(271, 98));
  add(edge("EC1VAL", 0.1));
  add(pct("ECOL2", "Color 2 Tint", 0.0).lo(0.0).hi(100.0));
  add(colour("ECOL2C", nullptr, 110, 20, 200).at(271, 120));
  add(edge("EC2VAL", 0.3));
  add(pct("CFBUMP", "Use Bump for Edges", 0.0).lo(0.0).hi(100.0));

  page = SurfacePage::Processing;
  add(degrees("HUE", "Hue Shift (deg)"));
  add(num("HUEVARY", "+ Random", 0.0).lo(0.0).span(0.0, 180.0).step(kDegreeDragStep));
  add(pct("SAT", "Saturation Boost", 1.0).lo(0.0));
  add(pct("SATVARY", "+ Random", 0.0).lo(0.0));
  add(pct("VAL", "Bright Boost", 1.0));
  add(pct("VALVARY", "+ Random", 0.0).lo(0.0));
  add(check("HSVSECONDARY", "Apply to Secondary Rays", false).at(396, 89));
  add(pct("USEDSAT", "Follow Master Desaturation", 1.0).lo(0.0).hi(100.0));

  page = SurfacePage::PhotoMap;
  add(pct("PMAP", "PhotoMap Surface Processing", 0.0).lo(0.0).hi(1.0));
  add(pct("PMCOMP", "Original Map Luminosity", 0.0));
  add(pct("PMW", "White Point", 0.65).lo(0.0).hi(1.0));
  add(pct("PMWW", "+ Range", 0.35).lo(0.0).hi(1.0));
  add(pct("PMB", "Brightness", 0.65).lo(0.0));
  add(pct("PMBW", "+ Range", 0.3).lo(0.0));
  add(pct("MPBIAS", "Bias Tint", 0.0).lo(0.0));
  add(colour("MPCOLOR", nullptr, 167, 124, 105).at(365, 106));

  page = SurfacePage::SkinTools;
  add(pct("DIFFUSEBUMP", "Diffuse Channel Bump Boost", 1.0).lo(0.0).hi(1.0));
  add(pct("ROUGHDIFFUSE", "Rough Surface Oren/Nayar Diffusion", 0.0).lo(0.0));
  add(pct("SKINBSSRDF", "Multilayer Subsurface Scattering", 0.0).lo(0.0).hi(1.0));
  add(pct("BLOODVIS", "Epidermis Visibility", 0.0).hi(2.0));
  add(pct("BLOODLAYER", "Epidermis Scattering", 0.25).lo(0.0).hi(1.0));
  add(colour("BLOODCOLOR", "Blood Color", 150, 40, 20).at(303, 141));
  add(pct("BLBUMP", "Follow Bump Mapping", 0.0).lo(0.0).hi(100.0));

  page = SurfacePage::Scattering;
  add(pct("THICKTRANS", "Transparency Absorbtion", 0.0).lo(0.0));
  add(check("LWTHICKTRANS", "* LW Boost", false).at(338, 10));
  add(pct("THICKLIGHT", "Translucent Lighting", 0.0).lo(0.0));
  add(check("LWTHICKLIGHT", "* LW Boost", false).at(338, 32));
  add(pct("THICKSURF", "Tint With Surface Color", 1.0).lo(0.0).hi(100.0));
  add(colour("THICKCOLOR", nullptr, 150, 75, 20).at(349, 64));
  add(pct("THICKCOMP", "Complementary Color", 0.0).lo(0.0).hi(100.0));
  add(pct("SSS_BASE", "Subsurface Scattering", 0.8).lo(0.0).hi(1.0));
  add(pct("SSS_NL", "Nonlinear Scattering", 0.5).lo(0.0));
  add(pct("THICK_SREF", "Surface Refraction", 0.0).lo(0.0).hi(100.0));
  add(num("THICKFALLOFF", "Falloff Distance", 0.5).lo(1e-08).at(285, 174));
  add(pct("THICK_CONT", "Internal Contrast", 0.5).lo(0.0));

  page = SurfacePage::Specular;
  for (int layer = 0; layer < kSpecularLayerCount; ++layer) {
    const LayerKeys& k = kLayerKeys[layer];
    subPage = layer;
    add(pct(k.strength, "Specularity Boost", layer == 0 ? 1.0 : 0.0));
    add(colour(k.color, "Specular Color", 255, 255, 255).at(298, 32));
    add(pct(k.sarb, "Surface Color Tint", 0.0).lo(0.0).hi(1.0));
    add(pct(k.gloss, "Gloss Boost", 1.0).lo(0.0));
    add(pct(k.glossSharp, "Gloss Bias", 0.5).lo(0.0).hi(1.0));
    add(pct(k.aniso, "Anisotropy", 0.0).lo(0.0));
    add(degrees(k.anisoAngle, "Anisotropy Angle"));
    add(pct(k.retro, "Retro Reflection", 0.0));
    add(pct(k.bump, "Respect Bump Map", 1.0));
  }
  subPage = -1;

  page = SurfacePage::Reflection;
  add(pct("REFBG", "Backdrop/Map Strength", 1.0).lo(0.0));
  add(pct("REFCOLORSTR", "Surface Color Tint", 0.0).lo(0.0).hi(1.0));
  add(colour("REFCOLOR", nullptr, 255, 255, 255).at(365, 32));
  add(pct("REFNONLINEAR", "Nonlinear Ray Reflections", 0.0).lo(0.0).hi(1.0));
  add(pct("REFBUMP", "Respect Bump Map", 1.0));
  add(pct("REFGLOSS", "Soft Reflection Spread", 0.0).lo(0.0).hi(100.0));
  add(pct("REFGLOSSQ", "Soft Reflection Quality", 0.2).lo(0.0));
  add(pct("VIEWANISO", "View Anisotropy", 0.5).lo(0.0));
  add(pct("REFANISO", "Anisotropy", 0.0).lo(0.0).hi(100.0));
  add(degrees("REFANANGLE", "Anisotropy Angle"));

  page = SurfacePage::Transparency;
  add(pct("REFRACTBUMP", "Respect Bump Map", 1.0));
  add(check("ZEROBACK", "Zero Attributes of Backsided Polys", false).at(308, 94));
  add(check("DOBACKINDEX", "Set Refraction Index of Backsided Polys", false).at(308, 116));
  add(num("BACKINDEX", nullptr, 1.0).span(1.0, 2.0).at(332, 116));

  page = SurfacePage::ArtMode;
  add(check("DO_ART", "Shade with Lightless Art Mode", false).at(305, 6));
  add(Row("ART_IMNAME", "Study Sphere Image", SettingKind::Image, 0).at(205, 28));
  add(pct("ART_ROTATE", "Rotate Map", 0.0));
  add(pct("ART_SQUEEZE", "Squeeze Map", 0.0).lo(0.0).hi(1.0));
  add(Row("FPREV", nullptr, SettingKind::Swatch, 0).at(310, 62));

  page = SurfacePage::Lighting;
  add(colour("AMBIENTTINT", "Tint Ambient", 255, 255, 255).at(360, 6));
  add(check("ACTIVATEDARKEN", "Luminous Shadow Darkening", false).text("Use").at(280, 38));
  add(colour("DARKENCOLOR", "Color", 0, 0, 0).at(360, 38));
  add(check("GLOLIGHTBOOST", "Include Master Light Group Boosts", true).at(377, 187));

  page = SurfacePage::Extra;
  add(Row("COMMENT", "User Comment", SettingKind::String, 0).at(200, 7));
  add(Row("ANISOAXIS", nullptr, SettingKind::Choice, 0).items(kAxisLabels, 3).at(288, 42));
  add(Row("ANISOTYPE", nullptr, SettingKind::Choice, 0).items(kAnisoTypeLabels, 3).at(376, 42));
  add(pct("RIM", "Rim Lighting", 0.0).lo(0.0).hi(100.0));
  add(pct("TERMSHARP", "Terminator Sharpness", 0.0).lo(-1.0).hi(100.0));

  // Always shown, on no page.
  page = SurfacePage::None;
  add(button("OPENMASTER", "Open Master").at(323, 215));
  add(check("PIN", "Pin", false).at(273, 215));
  add(button("NEXTSHADER", "Next Surface").at(178, 215));

  // The light-group boosts belong to the Lighting page, below its own tab row.
  page = SurfacePage::Lighting;
  for (int i = 0; i < kLightGroupBoostCount; ++i) {
    lightGroupBoostKey(i, gBoostKeys[i], sizeof gBoostKeys[i]);
    add(pct(gBoostKeys[i], nullptr, 1.0));
  }
  return t;
}

const std::vector<SurfaceSetting>& table() {
  static const std::vector<SurfaceSetting> t = buildTable();
  return t;
}

}  // namespace

const char* const kSpecularPageTitles[kSpecularLayerCount] = {"Primary", "Secondary", "Tertiary"};
const char* const kSpecularCutPasteKeys[kSpecularLayerCount] = {"SPEC1CP", "SPEC2CP", "SPEC3CP"};

const EdgeChannelRow kEdgeChannelRows[kEdgeChannelCount] = {
    {"Lumin", "ELUMR", "ELUMV", "ELUMS"},   {"Diffuse", "EDIFR", "EDIFV", "EDIFS"},
    {"Spec", "ESPER", "ESPEV", "ESPES"},    {"Gloss", "EGLSR", "EGLSV", "EGLSS"},
    {"Reflect", "EREFR", "EREFV", "EREFS"}, {"Transp", "ETRAR", "ETRAV", "ETRAS"},
    {"Trnsluc", "ETNSR", "ETNSV", "ETNSS"},
};
const char* const kEdgeModeLabels[kEdgeModeCount] = {"No Edge", "Multiply", "Add", "Replace"};

const SurfacePageInfo& surfacePageInfo(SurfacePage page) {
  int i = static_cast<int>(page);
  if (i < 0 || i > kSurfacePageCount) i = kSurfacePageCount;
  return kPages[i];
}

std::span<const SurfaceSetting> surfaceSettings() { return table(); }

int surfaceSettingIndex(const char* key) {
  if (!key) return -1;
  const auto& t = table();
  for (std::size_t i = 0; i < t.size(); ++i)
    if (std::strcmp(t[i].key, key) == 0) return static_cast<int>(i);
  return -1;
}

const SurfaceSetting* findSurfaceSetting(const char* key) {
  int i = surfaceSettingIndex(key);
  return i < 0 ? nullptr : &table()[static_cast<std::size_t>(i)];
}

void lightGroupBoostKey(int index, char* out, std::size_t outSize) {
  if (!out || outSize == 0) return;
  std::snprintf(out, outSize, "LGBOOST%ld", static_cast<long>(index));
}

void lightGroupBoostLabel(int index, const char* noteText, char* out, std::size_t outSize) {
  if (!out || outSize == 0) return;
  long group = static_cast<long>(index) + 1;
  if (noteText)
    std::snprintf(out, outSize, "%5s %ld", noteText, group);
  else
    std::snprintf(out, outSize, "%ld", group);
}

void lightGroupPageTitle(int page, char* out, std::size_t outSize) {
  if (!out || outSize == 0) return;
  long first = static_cast<long>(page) * kLightGroupsPerPage + 1;
  std::snprintf(out, outSize, "%ld--%ld", first, first + kLightGroupsPerPage - 1);
}

}  // namespace orvik
