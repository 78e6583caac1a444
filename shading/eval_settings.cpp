#include "shading/eval_settings.h"

#include "panels/image_control.h"
#include "panels/numeric_control.h"
#include "shading/surface_instance.h"
#include "shading/surface_settings.h"

namespace orvik {
namespace {

// Table indices of the settings, looked up once.
struct Keys {
  int luminous, diffuse, specular, gloss, ambient, radiosity, reflection, transparency, exclusion, shadows, bump,
      globoost;
  int ebump, esbump, efbump, ehue, eshue, esat, essat, eval, esval, ecol1, ecol1c, ec1val, ecol2, ecol2c, ec2val;
  int rows[7][3];
  int hue, huevary, sat, satvary, val, valvary, hsvsecondary, usedsat;
  int pmap, pmcomp, pmw, pmww, pmb, pmbw, mpbias, mpcolor;
  int diffusebump, roughdiffuse, skinbssrdf, termsharp, rim, anisotype, anisoaxis;
  int bloodvis, bloodlayer, bloodcolor, blbump;
  int thicktrans, lwthicktrans, thicklight, lwthicklight, thicksurf, thickcolor, thickcomp, sssbase, sssnl,
      thicksref, thickfalloff, thickcont;
  int refbg, refcolorstr, refcolor, refnonlinear, refbump, refgloss, refglossq, viewaniso, refaniso, refanangle,
      refractbump, zeroback, dobackindex, backindex;
  int doart, artimname, artrotate, artsqueeze;
  int ambienttint, activatedarken, darkencolor, glolightboost;

  Keys() {
    auto k = [](const char* key) { return surfaceSettingIndex(key); };
    luminous = k("LUMINOUS"), diffuse = k("DIFFUSE"), specular = k("SPECULAR"), gloss = k("GLOSS");
    ambient = k("AMBIENT"), radiosity = k("RADIOSITY"), reflection = k("REFLECTION");
    transparency = k("TRANSPARENCY"), exclusion = k("EXCLUSION"), shadows = k("SHADOWS"), bump = k("BUMP");
    globoost = k("GLOBOOST");
    ebump = k("EBUMP"), esbump = k("ESBUMP"), efbump = k("EFBUMP"), ehue = k("EHUE"), eshue = k("ESHUE");
    esat = k("Esat"), essat = k("ESSAT"), eval = k("EVAL"), esval = k("ESVAL");
    ecol1 = k("ECOL1"), ecol1c = k("ECOL1C"), ec1val = k("EC1VAL");
    ecol2 = k("ECOL2"), ecol2c = k("ECOL2C"), ec2val = k("EC2VAL");
    static const char* const kRowKeys[7][3] = {{"ELUMR", "ELUMV", "ELUMS"}, {"EDIFR", "EDIFV", "EDIFS"},
                                               {"ESPER", "ESPEV", "ESPES"}, {"EGLSR", "EGLSV", "EGLSS"},
                                               {"EREFR", "EREFV", "EREFS"}, {"ETRAR", "ETRAV", "ETRAS"},
                                               {"ETNSR", "ETNSV", "ETNSS"}};
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 3; ++c) rows[r][c] = k(kRowKeys[r][c]);
    hue = k("HUE"), huevary = k("HUEVARY"), sat = k("SAT"), satvary = k("SATVARY"), val = k("VAL");
    valvary = k("VALVARY"), hsvsecondary = k("HSVSECONDARY"), usedsat = k("USEDSAT");
    pmap = k("PMAP"), pmcomp = k("PMCOMP"), pmw = k("PMW"), pmww = k("PMWW"), pmb = k("PMB"), pmbw = k("PMBW");
    mpbias = k("MPBIAS"), mpcolor = k("MPCOLOR");
    diffusebump = k("DIFFUSEBUMP"), roughdiffuse = k("ROUGHDIFFUSE"), skinbssrdf = k("SKINBSSRDF");
    termsharp = k("TERMSHARP"), rim = k("RIM"), anisotype = k("ANISOTYPE"), anisoaxis = k("ANISOAXIS");
    bloodvis = k("BLOODVIS"), bloodlayer = k("BLOODLAYER"), bloodcolor = k("BLOODCOLOR"), blbump = k("BLBUMP");
    thicktrans = k("THICKTRANS"), lwthicktrans = k("LWTHICKTRANS"), thicklight = k("THICKLIGHT");
    lwthicklight = k("LWTHICKLIGHT"), thicksurf = k("THICKSURF"), thickcolor = k("THICKCOLOR");
    thickcomp = k("THICKCOMP"), sssbase = k("SSS_BASE"), sssnl = k("SSS_NL"), thicksref = k("THICK_SREF");
    thickfalloff = k("THICKFALLOFF"), thickcont = k("THICK_CONT");
    refbg = k("REFBG"), refcolorstr = k("REFCOLORSTR"), refcolor = k("REFCOLOR"), refnonlinear = k("REFNONLINEAR");
    refbump = k("REFBUMP"), refgloss = k("REFGLOSS"), refglossq = k("REFGLOSSQ"), viewaniso = k("VIEWANISO");
    refaniso = k("REFANISO"), refanangle = k("REFANANGLE"), refractbump = k("REFRACTBUMP");
    zeroback = k("ZEROBACK"), dobackindex = k("DOBACKINDEX"), backindex = k("BACKINDEX");
    doart = k("DO_ART"), artimname = k("ART_IMNAME"), artrotate = k("ART_ROTATE"), artsqueeze = k("ART_SQUEEZE");
    ambienttint = k("AMBIENTTINT"), activatedarken = k("ACTIVATEDARKEN"), darkencolor = k("DARKENCOLOR");
    glolightboost = k("GLOLIGHTBOOST");
  }
};

const Keys& keys() {
  static const Keys k;
  return k;
}

Vec3 colourOf(const SurfaceInstance& inst, int index) {
  int rgb[3];
  inst.colour(index, rgb);
  return Vec3{double(rgb[0]), double(rgb[1]), double(rgb[2])} / 255.0;
}

EdgeRow rowOf(const SurfaceInstance& inst, const int (&row)[3]) {
  return {edgeModeFromChoice(inst.choice(row[0])), inst.number(row[1]), inst.number(row[2])};
}

}  // namespace

void readEvalSettings(const SurfaceInstance& inst, EvalSettings& s) {
  const Keys& k = keys();
  auto n = [&](int i) { return inst.number(i); };
  auto on = [&](int i) { return inst.isOn(i); };
  s.luminousBoost = n(k.luminous), s.diffuseBoost = n(k.diffuse), s.specularBoost = n(k.specular);
  s.glossBoost = n(k.gloss), s.ambient = n(k.ambient), s.radiosity = n(k.radiosity);
  s.reflectionBoost = n(k.reflection), s.transparencyBoost = n(k.transparency), s.exclusion = n(k.exclusion);
  s.shadows = n(k.shadows), s.bump = n(k.bump), s.globalBoost = on(k.globoost);

  s.edgeBump = n(k.ebump), s.edgeBumpSharpness = n(k.esbump), s.edgeUseBump = n(k.efbump);
  EdgeChannelSettings& e = s.edgeChannels;
  e.luminous = rowOf(inst, k.rows[0]), e.diffuse = rowOf(inst, k.rows[1]), e.specular = rowOf(inst, k.rows[2]);
  e.gloss = rowOf(inst, k.rows[3]), e.reflection = rowOf(inst, k.rows[4]);
  e.transparency = rowOf(inst, k.rows[5]), e.translucency = rowOf(inst, k.rows[6]);
  EdgeColourSettings& c = s.edgeColour;
  c.hueShift = n(k.ehue), c.hueSharpness = n(k.eshue), c.saturation = n(k.esat), c.saturationSharpness = n(k.essat);
  c.value = n(k.eval), c.valueSharpness = n(k.esval);
  c.hueVary = n(k.huevary), c.saturationVary = n(k.satvary), c.valueVary = n(k.valvary);
  c.tint1 = n(k.ecol1), c.tint1Colour = colourOf(inst, k.ecol1c), c.tint1Sharpness = n(k.ec1val);
  c.tint2 = n(k.ecol2), c.tint2Colour = colourOf(inst, k.ecol2c), c.tint2Sharpness = n(k.ec2val);

  s.hue = n(k.hue), s.saturation = n(k.sat), s.value = n(k.val);
  s.hsvSecondary = on(k.hsvsecondary), s.followMasterDesaturation = on(k.usedsat);

  PhotoMapSettings& p = s.photoMap;
  p.strength = n(k.pmap), p.white = n(k.pmw), p.whiteRange = n(k.pmww), p.brightness = n(k.pmb);
  p.brightnessRange = n(k.pmbw), p.biasTint = n(k.mpbias), p.biasColour = colourOf(inst, k.mpcolor);
  s.photoMapOriginal = n(k.pmcomp);

  s.diffuseBump = n(k.diffusebump), s.roughDiffuse = n(k.roughdiffuse), s.skinScattering = n(k.skinbssrdf);
  s.terminatorSharpness = n(k.termsharp), s.rim = n(k.rim);
  s.anisotropyType = inst.choice(k.anisotype), s.anisotropyAxis = inst.choice(k.anisoaxis);

  s.skin.scattering = s.skinScattering, s.skin.visibility = n(k.bloodvis), s.skin.layer = n(k.bloodlayer);
  s.skin.bloodColour = colourOf(inst, k.bloodcolor), s.skin.followBump = n(k.blbump);

  s.thickTrans = n(k.thicktrans), s.lwThickTrans = on(k.lwthicktrans), s.thickLight = n(k.thicklight);
  s.lwThickLight = on(k.lwthicklight), s.surfaceRefraction = n(k.thicksref);
  s.absorption.surfaceShare = n(k.thicksurf), s.absorption.colour = colourOf(inst, k.thickcolor);
  s.absorption.complementary = n(k.thickcomp), s.absorption.falloffDistance = n(k.thickfalloff);
  s.absorption.contrast = n(k.thickcont);
  s.scattering.baseScattering = n(k.sssbase), s.scattering.nonlinear = n(k.sssnl);
  s.scattering.falloffDistance = n(k.thickfalloff);

  s.reflectionBackground = n(k.refbg), s.reflectionColourStrength = n(k.refcolorstr);
  s.reflectionColour = colourOf(inst, k.refcolor), s.reflectionNonlinear = n(k.refnonlinear);
  s.reflectionBump = n(k.refbump), s.reflectionQuality = n(k.refglossq);
  s.glossy.spread = n(k.refgloss), s.glossy.viewAnisotropy = n(k.viewaniso), s.glossy.surfaceAnisotropy = n(k.refaniso);
  s.glossy.surfaceAngleDegrees = n(k.refanangle);
  s.refractionBump = n(k.refractbump), s.zeroBack = on(k.zeroback), s.backIndexOn = on(k.dobackindex);
  s.backIndex = n(k.backindex);

  s.artMode = on(k.doart);
  const ImageControl* art = As<ImageControl>(inst.control(k.artimname));
  s.artImage = art ? static_cast<HostImageId>(art->image.get()) : nullptr;
  s.art.rotate = n(k.artrotate), s.art.squeeze = n(k.artsqueeze);

  s.ambientTint = colourOf(inst, k.ambienttint), s.darken = on(k.activatedarken);
  s.darkenColour = colourOf(inst, k.darkencolor), s.lightGroupBoosts = on(k.glolightboost);
  // The group boosts are controls of their own, outside the settings table.
  for (int i = 0; i < kLightGroupBoostCount; ++i) {
    const NumericControl* boost = As<NumericControl>(inst.lightGroupBoosts[i]);
    s.groupBoost[i] = boost ? boost->value.get() : 1.0;
  }
}

void readEvalSettingsCached(const SurfaceInstance& inst, EvalSettings& out) {
  struct Entry {
    const SurfaceInstance* inst = nullptr;
    std::uint64_t serial = 0;
    std::uint64_t changes = 0;
    EvalSettings settings;
  };
  constexpr int kEntries = 8;  // the surfaces a thread meets along one camera ray and its bounces
  thread_local Entry entries[kEntries];
  thread_local int next = 0;
  // Read before the values: a change made while they are read moves the count on,
  // and the next sample reads them again.
  const std::uint64_t changes = gSharedValueChanges.load(std::memory_order_acquire);
  for (const Entry& e : entries) {
    if (e.inst == &inst && e.serial == inst.serial && e.changes == changes) {
      out = e.settings;
      return;
    }
  }
  Entry& e = entries[next];
  next = (next + 1) % kEntries;
  readEvalSettings(inst, e.settings);
  e.inst = &inst;
  e.serial = inst.serial;
  e.changes = changes;
  out = e.settings;
}

void dropArtImage(const SurfaceInstance& inst) {
  ImageControl* art = As<ImageControl>(inst.control(keys().artimname));
  if (art) art->image = nullptr;
}

}  // namespace orvik
