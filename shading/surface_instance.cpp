#include "shading/surface_instance.h"

#include <cstring>
#include <new>

#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/image_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "panels/toolkit_host.h"
#include "shading/surface_panel.h"

namespace orvik {

namespace {

// Keys of the per-layer settings the preparation reads.
struct LayerKeys {
  const char *strength, *colour, *tint, *gloss, *glossBias, *aniso, *angle, *retro, *bump;
};
const LayerKeys kLayerKeys[kSpecularLayerCount] = {
    {"STRENGTH1", "COLOR1", "SARB1", "GLOSS1", "GLOSSSHARP1", "ANISO1", "ANISOA1", "SPECRETRO1", "SPECBUMP1"},
    {"STRENGTH2", "COLOR2", "SARB2", "GLOSS2", "GLOSSSHARP2", "ANISO2", "ANISOA2", "SPECRETRO2", "SPECBUMP2"},
    {"STRENGTH3", "COLOR3", "SARB3", "GLOSS3", "GLOSSSHARP3", "ANISO3", "ANISOA3", "SPECRETRO3", "SPECBUMP3"},
};

}  // namespace

void SharedPreparation::store(const PreparedSurface& p) {
  for (int i = 0; i < kSpecularLayerCount; ++i) {
    double raw[kLayerDoubles];
    std::memcpy(raw, &p.specularLayers[i], sizeof raw);
    for (int k = 0; k < kLayerDoubles; ++k) layers_[i][k] = raw[k];
  }
  orenNayar_[0] = p.orenNayar.a;
  orenNayar_[1] = p.orenNayar.b;
  orenNayar_[2] = p.orenNayar.c;
  orenNayar_[3] = p.orenNayar.d;
  count_ = p.specularLayerCount;
}

SpecularLayer SharedPreparation::specularLayer(int i) const {
  SpecularLayer layer;
  if (i < 0 || i >= kSpecularLayerCount) return layer;
  double raw[kLayerDoubles];
  for (int k = 0; k < kLayerDoubles; ++k) raw[k] = layers_[i][k].get();
  std::memcpy(&layer, raw, sizeof raw);
  return layer;
}

std::uint64_t nextSurfaceSerial() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

Control* SurfaceInstance::control(int settingIndex) const {
  if (settingIndex < 0 || settingIndex >= kSurfaceSettingCount) return nullptr;
  return controls[settingIndex];
}

Control* SurfaceInstance::control(const char* key) const { return control(surfaceSettingIndex(key)); }

double SurfaceInstance::number(int key) const {
  const NumericControl* n = As<NumericControl>(control(key));
  return n ? n->value.get() : 0.0;
}

bool SurfaceInstance::isOn(int key) const { return IsButtonOn(As<ButtonControl>(control(key))); }

int SurfaceInstance::choice(int key) const {
  const ChoiceControl* c = As<ChoiceControl>(control(key));
  return c ? c->selection.get() : 0;
}

void SurfaceInstance::colour(int key, int rgb[3]) const {
  const ColorControl* c = As<ColorControl>(control(key));
  rgb[0] = c ? c->red.get() : 0;
  rgb[1] = c ? c->green.get() : 0;
  rgb[2] = c ? c->blue.get() : 0;
}

const char* SurfaceInstance::text(int key) const {
  const StringControl* s = As<StringControl>(control(key));
  return s ? s->text : nullptr;
}

SurfacePreparationInput preparationInput(const SurfaceInstance& inst) {
  SurfacePreparationInput in;
  for (int i = 0; i < kSpecularLayerCount; ++i) {
    const LayerKeys& k = kLayerKeys[i];
    SpecularLayerSettings& layer = in.layers[i];
    layer.strength = inst.number(k.strength);
    inst.colour(k.colour, layer.colour);
    layer.surfaceColourTint = inst.number(k.tint);
    layer.gloss = inst.number(k.gloss);
    layer.glossBias = inst.number(k.glossBias);
    layer.anisotropy = inst.number(k.aniso);
    layer.anisotropyAngleDegrees = inst.number(k.angle);
    layer.retro = inst.number(k.retro);
    layer.bumpRespect = inst.number(k.bump);
  }
  in.roughDiffuse = inst.number("ROUGHDIFFUSE");
  return in;
}

void prepareSurfaceInstance(SurfaceInstance* inst) {
  if (!inst) return;
  inst->runtime.prepared.store(prepareSurface(preparationInput(*inst)));
  // An art image the host no longer knows is dropped.
  if (ImageControl* art = As<ImageControl>(inst->control("ART_IMNAME"))) {
    ImageHandle image = art->image.get();
    const ToolkitHost& host = GetToolkitHost();
    if (image && host.imageKnown && !host.imageKnown(image)) {
      art->image = nullptr;
      RefreshControl(art, kRefreshAll);
    }
  }
}

SurfaceInstance* buildSurfaceInstance() {
  SurfaceInstance* inst = new (std::nothrow) SurfaceInstance;
  if (!inst) return nullptr;
  if (!buildSurfacePanel(inst)) {
    delete inst;
    return nullptr;
  }
  return inst;
}

void freeSurfaceInstance(SurfaceInstance* inst) {
  if (!inst) return;
  if (inst->panel) DestroyPanel(inst->panel);
  inst->panel = nullptr;
  delete inst;
}

const char* copySurfaceSettings(SurfaceInstance* to, const SurfaceInstance* from) {
  if (!to || !from || !to->panel || !from->panel) return "Copy Failed";
  return CopyPanelSettings(from->panel, to->panel) != 0 ? "Copy Failed" : nullptr;
}

void relabelInstanceLightGroupBoosts(SurfaceInstance* inst, const char* const* texts) {
  if (!inst) return;
  for (int i = 0; i < kLightGroupBoostCount; ++i) {
    NumericControl* n = As<NumericControl>(inst->lightGroupBoosts[i]);
    if (!n) continue;
    char label[NumericControl::kMaxLabel + 1];
    lightGroupBoostLabel(i, texts ? (texts[i] ? texts[i] : "") : nullptr, label, sizeof label);
    std::memcpy(n->label, label, sizeof label);
    if (n->caption)
      SetControlTextFormatted(n->caption, n->caption->ghosted.get(), "%s", label);
    else
      RefreshControl(n, kRefreshAll);
  }
}

}  // namespace orvik
