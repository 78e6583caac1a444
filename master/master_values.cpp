#include "master/master_values.h"

#include <algorithm>

#include "master/master_instance.h"
#include "panels/button_control.h"
#include "panels/color_control.h"
#include "panels/numeric_control.h"
#include "panels/string_control.h"

namespace orvik {

namespace {

constexpr double kSmallestMinimumDistance = 1e-10;

const MasterInstance* live() {
    const MasterInstance* m = currentMaster();
    return masterAlive(m) ? m : nullptr;
}

double num(const NumericControl* c, double neutral) { return c ? c->value.get() : neutral; }
bool on(const ButtonControl* c) { return IsButtonOn(c); }

void fraction(const ColorControl* c, double out[3]) {
    if (!c) return;
    out[0] = c->red.get() / 255.0;
    out[1] = c->green.get() / 255.0;
    out[2] = c->blue.get() / 255.0;
}

}  // namespace

bool masterPresent() { return live() != nullptr; }

MasterSurfaceBoosts masterSurfaceBoosts() {
    MasterSurfaceBoosts b;
    const MasterInstance* m = live();
    if (!m) return b;
    b.diffuse = num(m->diffuse, 1.0);
    b.specular = num(m->specular, 1.0);
    b.gloss = num(m->gloss, 1.0);
    b.ambient = num(m->ambient, 1.0);
    b.radiosity = num(m->radiosity, 1.0);
    b.reflection = num(m->reflection, 1.0);
    b.transparency = num(m->transparency, 1.0);
    b.luminous = num(m->luminous, 1.0);
    b.shadows = num(m->shadows, 1.0);
    b.exclusion = num(m->exclusion, 1.0);
    b.bump = num(m->bump, 1.0);
    return b;
}

MasterLighting masterLighting() {
    MasterLighting l;
    const MasterInstance* m = live();
    if (!m) return l;
    l.present = true;
    l.lightBoost = num(m->lightBoost, l.lightBoost);
    l.lightMin = num(m->lightMin, l.lightMin);
    fraction(m->ambTop, l.ambientTop);
    fraction(m->ambMid, l.ambientMid);
    fraction(m->ambBot, l.ambientBottom);
    l.radiosityContrast = num(m->radConst, l.radiosityContrast);
    l.goodShadows = on(m->goodShadows);
    l.areaFilter = on(m->areaFilter);
    l.areaShadeQuality = num(m->areaShadeQ, l.areaShadeQuality);
    l.areaShadowQuality = num(m->areaShadowQ, l.areaShadowQuality);
    l.reflectionQuality = num(m->reflectionQ, l.reflectionQuality);
    l.autoFree = on(m->autoFree);
    return l;
}

double masterMinimumDistance(double hostValue) {
    const MasterInstance* m = live();
    if (!m || !m->lightMin) return hostValue;
    return std::max(m->lightMin->value.get(), kSmallestMinimumDistance);
}

bool masterImageSettings(ImageSettings& s) {
    const MasterInstance* m = live();
    if (!m) return false;
    s.whiteGamma = num(m->wGamma, s.whiteGamma);
    s.redGamma = num(m->rGamma, s.redGamma);
    s.greenGamma = num(m->gGamma, s.greenGamma);
    s.blueGamma = num(m->bGamma, s.blueGamma);
    s.whiteBright = num(m->wBright, s.whiteBright);
    s.redBright = num(m->rBright, s.redBright);
    s.greenBright = num(m->gBright, s.greenBright);
    s.blueBright = num(m->bBright, s.blueBright);
    s.desaturation = num(m->desat, s.desaturation);
    s.clipDistance = num(m->satClip, s.clipDistance);
    s.falloffDistance = num(m->satFalloff, s.falloffDistance);
    s.gamutClip = on(m->doClip);
    s.clipStart = num(m->clipX0, s.clipStart);
    s.clipRate = num(m->clipExp, s.clipRate);
    s.hueKeep = num(m->clipHue, s.hueKeep);
    s.grain = on(m->grain);
    s.grainAnimated = on(m->grainAnimated);
    s.grainRelative = on(m->grainRelative);
    s.grainClip = on(m->grainClip);
    s.grainScale = num(m->grainScale, s.grainScale);
    s.redConst = num(m->rConst, s.redConst);
    s.redProp = num(m->rProp, s.redProp);
    s.greenConst = num(m->gConst, s.greenConst);
    s.greenProp = num(m->gProp, s.greenProp);
    s.blueConst = num(m->bConst, s.blueConst);
    s.blueProp = num(m->bProp, s.blueProp);
    s.whiteConst = num(m->wConst, s.whiteConst);
    s.whiteProp = num(m->wProp, s.whiteProp);
    s.grainClipLevel = num(m->grainClipLevel, s.grainClipLevel);
    s.grainClipSoft = num(m->grainClipSoft, s.grainClipSoft);
    return true;
}

void masterProcessPixel(double x, double y, double frame, double frameWidth, double color[3]) {
    ImageSettings s;
    processPixel(masterImageSettings(s) ? &s : nullptr, x, y, frame, frameWidth, color);
}

double masterDistanceDesaturation(double saturation, double distance, double surfaceFactor) {
    const MasterInstance* m = live();
    if (!m) return distanceDesaturation(nullptr, saturation, distance, surfaceFactor);
    ImageSettings s;
    s.desaturation = num(m->desat, 0.0);
    s.clipDistance = num(m->satClip, 0.0);
    s.falloffDistance = num(m->satFalloff, 0.5);
    return distanceDesaturation(&s, saturation, distance, surfaceFactor);
}

const GroupSource* masterGroups() {
    const MasterInstance* m = live();
    return m ? &m->groups : nullptr;
}

std::uint32_t masterLightGroupMask(const void* light) { return lightGroupMask(masterGroups(), light); }

void masterApplyGroupFactors(std::uint32_t mask, const void* object, double& intensity, double& shadowOpacity) {
    if (mask == 0) return;
    if (const MasterInstance* m = live()) m->groups.applyFactors(mask, object, intensity, shadowOpacity);
}

bool masterGroupNotes(const char* notes[kLightGroupCount]) {
    const MasterInstance* m = live();
    if (!m) return false;
    for (int i = 0; i < kLightGroupCount; ++i) notes[i] = m->lightNotes[i] ? m->lightNotes[i]->text : "";
    return true;
}

void masterNoteSourceLight() {
    // Every camera sample reports: write only the first time, so that render threads
    // do not pass the master's cache line between them on every sample.
    if (MasterInstance* m = currentMaster(); masterAlive(m) && !m->sourceLightSeen.load(std::memory_order_relaxed))
        m->sourceLightSeen.store(1, std::memory_order_relaxed);
}

bool masterSourceLightSeen() {
    const MasterInstance* m = live();
    return m && m->sourceLightSeen.load(std::memory_order_relaxed) != 0;
}

bool masterPreviewRenderActive() {
    const MasterInstance* m = live();
    return m && m->previewRenderActive.load(std::memory_order_relaxed) != 0;
}

}  // namespace orvik
