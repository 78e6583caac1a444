#include "shading/surface_ghosting.h"

#include <cmath>
#include <cstring>

#include "panels/image_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"
#include "shading/surface_instance.h"

namespace orvik {

namespace {

// Tolerances of the rules: a boost this close to 1 (or a hue this close to 0)
// changes nothing, so its edge value has no effect.
constexpr double kNeutralBoostTolerance = 0.0005;
constexpr double kTintOff = 0.0005;
constexpr double kPhotoMapOff = 0.004;
constexpr double kBiasTintOff = 0.001;
constexpr double kEpidermisOff = 0.0005;

class Rules {
 public:
  explicit Rules(SurfaceInstance* inst) : inst_(inst) {}

  double value(const char* key) const { return inst_->number(key); }
  // A numeric setting is non-zero when its value is not 0 or it is animated.
  bool nonZero(const char* key) const {
    const NumericControl* n = As<NumericControl>(inst_->control(key));
    return n && (n->value.get() != 0.0 || n->animateMode.get() != kAnimateFixed);
  }
  bool zero(const char* key) const { return !nonZero(key); }
  bool near(const char* key, double centre) const {
    return std::fabs(value(key) - centre) <= kNeutralBoostTolerance;
  }

  void ghost(const char* key, bool ghosted) const {
    Control* c = inst_->control(key);
    if (!c) return;
    const int g = ghosted ? 1 : 0;
    if (c->ghosted.get() == g) return;
    c->ghosted = g;
    RefreshControl(c, kRefreshAll);
  }

 private:
  SurfaceInstance* inst_;
};

struct LayerKeys {
  const char *strength, *gloss, *glossSharp, *sarb, *aniso, *bump, *retro, *angle, *colour;
};
const LayerKeys kLayers[kSpecularLayerCount] = {
    {"STRENGTH1", "GLOSS1", "GLOSSSHARP1", "SARB1", "ANISO1", "SPECBUMP1", "SPECRETRO1", "ANISOA1", "COLOR1"},
    {"STRENGTH2", "GLOSS2", "GLOSSSHARP2", "SARB2", "ANISO2", "SPECBUMP2", "SPECRETRO2", "ANISOA2", "COLOR2"},
    {"STRENGTH3", "GLOSS3", "GLOSSSHARP3", "SARB3", "ANISO3", "SPECBUMP3", "SPECRETRO3", "ANISOA3", "COLOR3"},
};

}  // namespace

bool affectsSurfaceGhosting(const Control* c) {
  if (!c) return false;
  if (c->kind == kKindNumeric || c->kind == kKindChoice) return true;
  const char* key = c->key.c_str();
  return std::strcmp(key, "DO_ART") == 0 || std::strcmp(key, "ACTIVATEDARKEN") == 0 ||
         std::strcmp(key, "ART_IMNAME") == 0;
}

void applySurfaceGhosting(SurfaceInstance* inst) {
  if (!inst) return;
  const Rules r(inst);

  r.ghost("DARKENCOLOR", !inst->isOn("ACTIVATEDARKEN"));

  for (const LayerKeys& k : kLayers) {
    const bool off = r.zero(k.strength);
    for (const char* key : {k.gloss, k.glossSharp, k.sarb, k.aniso, k.bump, k.retro}) r.ghost(key, off);
    r.ghost(k.angle, off || r.zero(k.aniso));
    r.ghost(k.colour, off || r.value(k.sarb) >= 1.0);
  }

  for (const EdgeChannelRow& row : kEdgeChannelRows) {
    const bool noEdge = inst->choice(row.modeKey) == 0;
    r.ghost(row.amountKey, noEdge);
    r.ghost(row.edgeKey, noEdge);
  }
  r.ghost("ESBUMP", r.near("EBUMP", 1.0));
  r.ghost("ESHUE", r.near("EHUE", 0.0));
  r.ghost("ESSAT", r.near("Esat", 1.0));
  r.ghost("ESVAL", r.near("EVAL", 1.0));
  const bool tint1Off = r.value("ECOL1") <= kTintOff;
  r.ghost("EC1VAL", tint1Off);
  r.ghost("ECOL1C", tint1Off);
  const bool tint2Off = r.value("ECOL2") <= kTintOff;
  r.ghost("EC2VAL", tint2Off);
  r.ghost("ECOL2C", tint2Off);

  const bool noAbsorption = r.value("THICKTRANS") <= 0.0;
  const bool noTranslucency = r.value("THICKLIGHT") <= 0.0;
  r.ghost("LWTHICKTRANS", noAbsorption);
  r.ghost("LWTHICKLIGHT", noTranslucency);
  const bool noThickness = noAbsorption && noTranslucency;
  for (const char* key : {"THICKSURF", "THICKCOMP", "THICKFALLOFF", "THICK_CONT"}) r.ghost(key, noThickness);
  r.ghost("THICKCOLOR", noThickness || r.value("THICKSURF") >= 1.0);
  for (const char* key : {"SSS_NL", "SSS_BASE", "THICK_SREF"}) r.ghost(key, noTranslucency);

  const bool noSkin = r.value("SKINBSSRDF") <= 0.0;
  r.ghost("BLOODVIS", noSkin);
  const bool noEpidermis = noSkin || std::fabs(r.value("BLOODVIS")) <= kEpidermisOff;
  for (const char* key : {"BLOODLAYER", "BLOODCOLOR", "BLBUMP"}) r.ghost(key, noEpidermis);

  const bool noPhotoMap = r.value("PMAP") <= kPhotoMapOff;
  for (const char* key : {"PMCOMP", "PMW", "PMWW", "PMB", "PMBW", "MPBIAS"}) r.ghost(key, noPhotoMap);
  r.ghost("MPCOLOR", noPhotoMap || r.value("MPBIAS") < kBiasTintOff);

  r.ghost("REFCOLOR", r.value("REFCOLORSTR") >= 1.0);
  const bool noSoftReflection = r.value("REFGLOSS") <= 0.0;
  for (const char* key : {"REFGLOSSQ", "VIEWANISO", "REFANISO"}) r.ghost(key, noSoftReflection);
  r.ghost("REFANANGLE", noSoftReflection || r.zero("REFANISO"));

  // An image the host has dropped counts as none.
  ImageControl* art = As<ImageControl>(inst->control("ART_IMNAME"));
  if (art && art->image.get()) {
    const ToolkitHost& host = GetToolkitHost();
    if (host.imageKnown && !host.imageKnown(art->image.get())) {
      art->image = nullptr;
      RefreshControl(art, kRefreshAll);
    }
  }
  const bool artOff = !inst->isOn("DO_ART");
  r.ghost("ART_IMNAME", artOff);
  const bool noArtImage = artOff || !art || !art->image.get();
  for (const char* key : {"ART_ROTATE", "ART_SQUEEZE", "FPREV"}) r.ghost(key, noArtImage);
}

}  // namespace orvik
