#include "shading/shade_sample.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <span>

#include "master/master_values.h"
#include "module/host_services.h"
#include "module/thread_slots.h"
#include "sdk/backdrop_info.h"
#include "sdk/image_list.h"
#include "sdk/item_info.h"
#include "sdk/object_info.h"
#include "sdk/surface_functions.h"
#include "shading/eval_stages.h"
#include "shading/light_driver.h"
#include "shading/models/ambient_light.h"
#include "shading/models/art_shade.h"
#include "shading/models/back_facing.h"
#include "shading/models/bias.h"
#include "shading/models/bump_normal.h"
#include "shading/models/face_viewer.h"
#include "shading/models/glossy_rays.h"
#include "shading/models/hsv.h"
#include "shading/models/light_thickness.h"
#include "shading/models/pixel_random.h"
#include "shading/models/shadow_darkening.h"
#include "shading/models/spherical_map.h"
#include "shading/models/translucent_scattering.h"
#include "shading/surface_instance.h"

namespace orvik {
namespace {

constexpr double kMinimumViewCosine = 1e-9;
constexpr double kMinimumTransparency = 1e-8;
constexpr double kMinimumTransparencyWeight = 1e-6;
constexpr double kMinimumAmbient = 1e-7;
constexpr double kMinimumTranslucentStrength = 1e-5;
constexpr double kMinimumTranslucentLight = 0.0001;
constexpr double kMinimumLightWeight = 0.0001;
constexpr double kMinimumColour = 1e-10;
constexpr double kSkinVisibility = 0.001;
constexpr double kFullHit = 0.99999;
constexpr int kHostVersionWithoutExclusion = 6;
constexpr const char* kReflectionSeamAngle = "ReflectionSeamAngle";
constexpr const char* kReflectionBlurring = "ReflectionBlurring";

EvaluateHooks gHooks;

// The environment blur's jitter and the re-composition's reflection seeds: shared by
// every thread, advanced atomically.
SharedJitter gEnvironmentJitter{SharedJitter::kInitialState};
SharedJitter gRecomposeJitter{SharedJitter::kRecomposeState};

// The name hash of the last object whose colour variation this thread computed.
struct NameHashCache {
  HostItemId object = nullptr;
  std::uint32_t hash = 0;
  bool valid = false;
};
thread_local NameHashCache tNameHash;

std::uint32_t objectHash(HostItemId object) {
  if (tNameHash.valid && tNameHash.object == object) return tNameHash.hash;
  const HostItemInfo1* items = hostServices().itemInfo;
  const char* name = (object && items && items->name) ? items->name(object) : nullptr;
  tNameHash = {object, objectNameHash(name ? name : ""), true};
  return tNameHash.hash;
}

Vec3 imagePixel(HostImageId image, int x, int y) {
  const HostServices& hs = hostServices();
  if (const HostImageList3* l3 = hs.imageList3(); l3 && l3->rgbFloat) {
    float rgb[3] = {0, 0, 0};
    l3->rgbFloat(image, x, y, rgb);
    return {rgb[0], rgb[1], rgb[2]};
  }
  unsigned char rgb[3] = {0, 0, 0};
  if (hs.imageList && hs.imageList->rgb) hs.imageList->rgb(image, x, y, rgb);
  return Vec3{double(rgb[0]), double(rgb[1]), double(rgb[2])} / 255.0;
}

bool imageSize(HostImageId image, int& w, int& h) {
  w = h = 0;
  const HostImageList1* l = hostServices().imageList;
  if (!image || !l || !l->size) return false;
  l->size(image, &w, &h);
  return true;
}

// Art mode: the study-sphere colour, or false when the image is dropped.
bool artColour(const SurfaceInstance& inst, const EvalSettings& s, const HostShaderAccess* sa, Vec3 v,
               double bumpScale, Vec3& out) {
  int w = 0, h = 0;
  if (!imageSize(s.artImage, w, h) || !artImageUsable(w, h) || !artImagePlausible(imagePixel(s.artImage, 0, 0).x)) {
    dropArtImage(inst);
    return false;
  }
  const ArtLookup a = artLookup(vecOf(sa->wNorm0), vecOf(sa->wNorm), bumpScale, v, s.art, w, h);
  out = imagePixel(s.artImage, a.x0, a.y0) * a.weights[0] + imagePixel(s.artImage, a.x1, a.y0) * a.weights[1] +
        imagePixel(s.artImage, a.x0, a.y1) * a.weights[2] + imagePixel(s.artImage, a.x1, a.y1) * a.weights[3];
  return true;
}

Vec3 hsvProcess(Vec3 rgb, const EvalSettings& s, const HostShaderAccess* sa) {
  rgb = {std::max(rgb.x, kMinimumColour), std::max(rgb.y, kMinimumColour), std::max(rgb.z, kMinimumColour)};
  Hsv hsv = rgbToHsv(rgb);
  hsv.h += s.hue;
  hsv.s *= s.saturation;
  const double distance = length(vecOf(sa->raySource) - vecOf(sa->wPos));
  hsv.s = masterDistanceDesaturation(hsv.s, distance, s.followMasterDesaturation ? 1.0 : 0.0);
  hsv.v *= s.value;
  return hsvToRgb(hsv);
}

double masterBoostOr1(bool apply, double value) { return apply ? value : 1.0; }

}  // namespace

void setEvaluateHooks(const EvaluateHooks& hooks) { gHooks = hooks; }
const EvaluateHooks& evaluateHooks() { return gHooks; }

PixelFilterSampling pixelFilterSampling() {
  PixelFilterSampling p;
  if (gHooks.pixelFilterSampling && !gHooks.pixelFilterSampling(p)) p = PixelFilterSampling{};
  return p;
}

bool sampleHasObject(const HostShaderAccess* sa) {
  return sa->objID != nullptr && reinterpret_cast<std::uintptr_t>(sa->objID) != HOST_NO_OBJECT_ID;
}

Vec3 sampleView(const HostShaderAccess* sa) { return normalize(vecOf(sa->raySource) - vecOf(sa->wPos)); }

bool sampleBackFacing(const HostShaderAccess* sa) {
  if (!sampleHasObject(sa)) return false;
  Vec3 corners[4];
  for (int i = 0; i < 4; ++i) corners[i] = {sa->vertsWPos[i][0], sa->vertsWPos[i][1], sa->vertsWPos[i][2]};
  return isBackFacing(corners, vecOf(sa->gNorm));
}

double edgeStage(const EvalSettings& s, Vec3 v, HostShaderAccess* sa) {
  const double e = edgeFactor(vecOf(sa->wNorm0), vecOf(sa->wNorm), s.edgeUseBump, v);
  HostChannels c{sa->luminous, sa->diffuse, sa->specular, sa->roughness, sa->mirror, sa->transparency, sa->translucency};
  ChannelBoosts b{s.luminousBoost, s.diffuseBoost, s.specularBoost, s.glossBoost, s.reflectionBoost,
                  s.transparencyBoost};
  if (s.globalBoost && masterPresent()) {
    const MasterSurfaceBoosts m = masterSurfaceBoosts();
    b.luminous *= m.luminous, b.diffuse *= m.diffuse, b.specular *= m.specular, b.gloss *= m.gloss;
    b.reflection *= m.reflection, b.transparency *= m.transparency;
  }
  applyEdgeChannels(c, e, s.edgeChannels, b);
  sa->luminous = c.luminous, sa->diffuse = c.diffuse, sa->specular = c.specular, sa->roughness = c.roughness;
  sa->mirror = c.mirror, sa->transparency = c.transparency, sa->translucency = c.translucency;
  const std::uint32_t hash = edgeColourVaries(s.edgeColour) ? objectHash(sa->objID) : 0u;
  store(sa->color, edgeColour(vecOf(sa->color), e, s.edgeColour, hash));
  return e;
}

SurfaceModel surfaceModelOf(const SurfaceInstance& inst, const EvalSettings& s, SpecularLayer (&layers)[3]) {
  SurfaceModel m;
  m.diffuseBump = s.diffuseBump;
  m.rim = s.rim;
  m.terminatorSharpness = s.terminatorSharpness;
  m.skinScattering = s.skinScattering;
  m.hostTranslucencyOff = s.lwThickTrans;
  m.orenNayar = inst.runtime.prepared.orenNayar();
  const int count = std::clamp(inst.runtime.prepared.specularLayerCount(), 0, 3);
  for (int i = 0; i < count; ++i) layers[i] = inst.runtime.prepared.specularLayer(i);
  m.layers = std::span<const SpecularLayer>(layers, std::size_t(count));
  return m;
}

double lightThicknessAt(HostShaderAccess* sa, const LightRecord& light, Vec3 p, double eta, double falloffDistance) {
  if (!sa->rayCast) return kNoThickness;
  const LightGeometry g = light.geometry();
  const LightParameter foot = lightFootPoint(g, p);
  const LightSample s = sampleLight(g, p, foot.u, foot.v);
  if (lengthSquared(s.colour) < 1e-10) return kNoThickness;
  const Vec3 centre = light.origin + (light.u + light.v) * 0.5;
  const ThicknessCast cast =
      thicknessCastStart(p, s.direction, light.type == static_cast<int>(LightType::Distant), centre, falloffDistance);
  ThreadRecord& t = threadRecord();
  const int savedMode = t.rayMode;
  const double savedMedium = t.mediumIndex;
  t.rayMode = kRayModeThickness;
  t.mediumIndex = eta;
  const double from[3] = {cast.start.x, cast.start.y, cast.start.z};
  const double dir[3] = {-s.direction.x, -s.direction.y, -s.direction.z};
  const double hit = sa->rayCast(sa->rayData, from, dir);
  t.rayMode = savedMode;
  t.mediumIndex = savedMedium;
  return thicknessFromCast(cast.distance, hit);
}

EnvironmentSource environmentSource(const SurfaceInstance& inst) {
  EnvironmentSource e;
  e.surface = reinterpret_cast<HostSurfaceId>(inst.runtime.surfaceId.get());
  e.time = inst.runtime.time.get();
  const HostSurfaceFuncs1* surfaces = hostServices().surfaces;
  if (e.surface && surfaces && surfaces->getInt) e.reflectionOptions = surfaces->getInt(e.surface, HOST_SURF_REFLECTION_OPTIONS);
  return e;
}

void environmentColour(const EnvironmentSource& src, const double d[3], double rgb[3]) {
  rgb[0] = rgb[1] = rgb[2] = 0.0;
  const HostServices& hs = hostServices();
  if (src.reflectionOptions < 2) {
    if (hs.backdropInfo && hs.backdropInfo->backdrop) hs.backdropInfo->backdrop(src.time, d, rgb);
    return;
  }
  const HostSurfaceFuncs1* surfaces = hs.surfaces;
  if (!surfaces || !surfaces->getImg || !src.surface) return;
  const HostImageId image = surfaces->getImg(src.surface, HOST_SURF_REFLECTION_IMAGE);
  int w = 0, h = 0;
  if (!imageSize(image, w, h) || w < 1 || h < 1) return;
  const double seam = surfaces->getFlt ? surfaces->getFlt(src.surface, kReflectionSeamAngle) : 0.0;
  const double blur = surfaces->getFlt ? surfaces->getFlt(src.surface, kReflectionBlurring) : 0.0;
  const MapPosition p = sphericalMapPosition(vecOf(d), seam, w, h);
  std::array<double, 10> jitter;
  for (double& j : jitter) j = gEnvironmentJitter.next();
  Vec3 sum;
  for (const MapTap& tap : sphericalMapTaps(p, sphericalBlurRadius(w, h, blur), jitter, w, h))
    sum += imagePixel(image, tap.column, tap.row) * tap.weight;
  store(rgb, sum);
}

void ShadeSample(SurfaceInstance* inst, const LightList* lights, HostShaderAccess* sa, std::uint32_t mask,
                 const int* enable, std::uint8_t* shadowBytes, float radiosityCache[3], const float reflectionColour[3],
                 float reflectionHitFraction, const float refractionColour[3], float samplingWeight,
                 float anisotropyAngle, float thickness, const float* lightTranslucency, double out[3]) {
  out[0] = out[1] = out[2] = 0.0;
  if (!inst || !sa) return;
  EvalSettings s;
  readEvalSettingsCached(*inst, s);
  ShadeSampleWith(s, inst, lights, sa, mask, enable, shadowBytes, radiosityCache, reflectionColour,
                  reflectionHitFraction, refractionColour, samplingWeight, anisotropyAngle, thickness,
                  lightTranslucency, out);
}

void ShadeSampleWith(const EvalSettings& s, SurfaceInstance* inst, const LightList* lights, HostShaderAccess* sa,
                     std::uint32_t mask, const int* enable, std::uint8_t* shadowBytes, float radiosityCache[3],
                     const float reflectionColour[3], float reflectionHitFraction, const float refractionColour[3],
                     float /*samplingWeight*/, float anisotropyAngle, float thickness,
                     const float* lightTranslucency, double out[3]) {
  out[0] = out[1] = out[2] = 0.0;
  if (!inst || !sa) return;
  if (!lights) lights = &defaultLightList();
  const bool master = masterPresent();
  const MasterLighting ml = masterLighting();
  const bool boostWithMaster = s.globalBoost && master;
  const HostServices& hs = hostServices();
  ThreadRecord& thread = threadRecord();
  const Vec3 refraction = refractionColour ? Vec3{refractionColour[0], refractionColour[1], refractionColour[2]} : Vec3{};
  const Vec3 reflection = reflectionColour ? Vec3{reflectionColour[0], reflectionColour[1], reflectionColour[2]} : Vec3{};

  // 1-3: view, PhotoMap, edge effects.
  const Vec3 v = sampleView(sa);
  Vec3 photoOriginal;
  if (s.photoMap.strength > 0.0) {
    photoOriginal = vecOf(sa->color);
    store(sa->color, photoMap(photoOriginal, s.photoMap));
  }
  const double e = edgeStage(s, v, sa);
  if (mask & kComponentStopAfterEdges) return;

  // 4: epidermis.
  if (std::fabs(s.skin.visibility) > kSkinVisibility && !s.darken)
    store(sa->color, skinColour(vecOf(sa->color), vecOf(sa->wNorm0), vecOf(sa->wNorm), v, s.skin));

  // 5: weights.
  const MasterSurfaceBoosts mb = masterSurfaceBoosts();
  SampleWeights w;
  w.bumpScale = edgeBumpScale(e, s.edgeBumpSharpness, s.edgeBump, s.bump * masterBoostOr1(boostWithMaster, mb.bump));
  w.globalIllum = s.radiosity * masterBoostOr1(boostWithMaster, mb.radiosity);
  w.shadowDensity = s.shadows * masterBoostOr1(boostWithMaster, mb.shadows);
  w.ambient = s.ambient * masterBoostOr1(boostWithMaster, mb.ambient);
  w.exclusion = s.exclusion * masterBoostOr1(boostWithMaster, mb.exclusion);
  w.anisotropyAngle = anisotropyAngle;

  // 6: zeroed back face.
  if (radiosityCache && radiosityCache[0] < kZeroedBackFaceBelow) {
    if (s.zeroBack) {
      if (mask & kComponentTransparency) store(out, refraction * sa->transparency);
      return;
    }
    radiosityCache[0] = radiosityCache[1] = radiosityCache[2] = 0.0f;
  }

  // 7: art mode.
  if (s.artMode && s.artImage) {
    Vec3 art;
    if (artColour(*inst, s, sa, v, w.bumpScale, art)) {
      if (mask & kComponentLuminous) store(out, art);
      if (shadowBytes) std::fill(shadowBytes, shadowBytes + 3 * lights->captureCount, std::uint8_t{255});
      return;
    }
  }

  const Vec3 colour = vecOf(sa->color);
  Vec3 result;
  // 8: the sample's own terms.
  if (!s.darken) {
    if (hs.versionMajor == kHostVersionWithoutExclusion) w.exclusion = 0.0;
    w.ambient *= sa->diffuse;
    w.luminous = sa->luminous;
    w.diffuse = sa->diffuse;
    w.globalIllum *= sa->diffuse;
    w.mirror = sa->mirror;
    w.specular = sa->specular;
    const double t = std::max(sa->transparency, sa->addTransparency);
    if (t <= kMinimumTransparency) {
      w.transparency = 0.0;
    } else {
      w.transparency = t;
      const double g = 1.0 - (sa->transparency / t) * std::clamp(sa->transparency, 0.0, 1.0);
      w.ambient *= g, w.diffuse *= g, w.globalIllum *= g, w.luminous *= g;
    }
    if (!(mask & kComponentDiffuse)) w.diffuse = 0.0;
    if (!(mask & kComponentSpecular)) w.specular = 0.0;
    if (!(mask & kComponentAmbient)) w.ambient = 0.0;
    if (!(mask & kComponentLuminous)) w.luminous = 0.0;
    if (!(mask & kComponentGlobalIllum)) w.globalIllum = 0.0;
    if (!(mask & kComponentReflection)) w.mirror = kWeightOff;
    if (!(mask & kComponentTransparency)) w.transparency = kWeightOff;
    if (!(mask & kComponentShadowDensity)) w.shadowDensity = 0.0;

    Vec3 cache = radiosityCache ? Vec3{radiosityCache[0], radiosityCache[1], radiosityCache[2]} : Vec3{};
    if ((mask & kComponentGatherNow) && sa->illuminate) {
      const int savedMode = thread.rayMode;
      double caustics[3] = {0, 0, 0}, radiosity[3] = {0, 0, 0};
      double normal[3] = {sa->wNorm[0], sa->wNorm[1], sa->wNorm[2]};
      thread.rayMode = kRayModeCaustics;
      sa->illuminate(sa->rayData, reinterpret_cast<HostItemId>(HOST_ILLUMINATE_CAUSTICS), sa->wPos, normal, caustics);
      thread.rayMode = kRayModeRadiosity;
      store(normal, vecOf(sa->wNorm));
      sa->illuminate(sa->rayData, reinterpret_cast<HostItemId>(HOST_ILLUMINATE_RADIOSITY), sa->wPos, normal, radiosity);
      thread.rayMode = savedMode;
      cache = vecOf(caustics) + vecOf(radiosity) - lights->ambient;
      if (radiosityCache) {
        radiosityCache[0] = float(cache.x), radiosityCache[1] = float(cache.y), radiosityCache[2] = float(cache.z);
      }
    }
    const double largest = std::max({cache.x, cache.y, cache.z});
    const double k = master ? globalIlluminationScale(w.globalIllum, largest, ml.radiosityContrast) : w.globalIllum;
    result = cache * colour * k;
    if (mask & kComponentLuminous) result += photoOriginal * s.photoMapOriginal;

    const double a = w.ambient / 255.0;
    if (std::fabs(a) > kMinimumAmbient) {
      Vec3 term = s.ambientTint * colour * lights->ambient * w.ambient;
      if (master) {
        const double y = blendBumpNormal(vecOf(sa->wNorm0), vecOf(sa->wNorm), w.bumpScale).y;
        term *= ambientGradient(y, vecOf(ml.ambientTop) * 255.0, vecOf(ml.ambientMid) * 255.0,
                                vecOf(ml.ambientBottom) * 255.0);
      }
      result += term;
    }
    result += colour * w.luminous;

    // Translucent lighting: the lights seen through the body along d.
    if (mask & kComponentTranslucent) {
      const double k2 = s.thickLight * (s.lwThickLight ? sa->translucency : 1.0);
      if (k2 > kMinimumTranslucentStrength) {
        const Vec3 nb = blendBumpNormal(vecOf(sa->wNorm0), vecOf(sa->wNorm), w.bumpScale);
        const Vec3 d = translucencyDirection(nb, v, s.surfaceRefraction);
        LightDriverContext lc;
        lc.object = sa->objID;
        lc.weights = w;
        lc.masterGroupBoosts = s.lightGroupBoosts && master;
        std::copy(std::begin(s.groupBoost), std::end(s.groupBoost), lc.groupBoost);
        for (int i = 0; i < lights->lightCount; ++i) {
          if (enable && !enable[i]) continue;
          const LightRecord& light = lights->records[i];
          const LightGeometry g = light.geometry();
          const LightParameter foot = lightFootPoint(g, vecOf(sa->wPos));
          const LightSample ls = sampleLight(g, vecOf(sa->wPos), foot.u, foot.v);
          double f = 1.0, density = 0.0;
          lightFactor(light, lc, false, f, density);
          f *= master ? ml.lightBoost : 1.0;
          const Vec3 lit = ls.colour * f;
          if (lengthSquared(lit) < kMinimumTranslucentLight) continue;
          const double c = -dot(ls.direction, d);
          const double depth = lightTranslucency ? std::max(double(lightTranslucency[i]), 0.0) : 0.0;
          result += translucentContribution(c, depth, k2, colour, s.absorption, s.scattering) * lit;
        }
      }
    }
  } else {
    result = colour;
    w.diffuse = 1.0;
    w.specular = w.transparency = w.globalIllum = w.luminous = w.ambient = 0.0;
    w.mirror = (mask & kComponentReflection) ? sa->mirror : kWeightOff;
    if (!(mask & kComponentShadowDensity)) w.shadowDensity = 0.0;
  }

  // 9-10: lights.
  if (!inst->alive()) {
    store(out, result);
    return;
  }
  SpecularLayer layers[3];
  LightDriverContext ctx;
  ctx.model = surfaceModelOf(*inst, s, layers);
  ctx.point = {vecOf(sa->wNorm0), vecOf(sa->wNorm), colour, sa->translucency, sa->difSharpness, sa->roughness};
  ctx.position = vecOf(sa->wPos);
  ctx.view = v;
  ctx.weights = w;
  ctx.hostSpecular = sa->specular;
  ctx.hostDiffuse = sa->diffuse;
  ctx.darken = s.darken;
  ctx.object = sampleHasObject(sa) ? sa->objID : nullptr;
  ctx.masterGroupBoosts = s.lightGroupBoosts && master;
  std::copy(std::begin(s.groupBoost), std::end(s.groupBoost), ctx.groupBoost);
  const PixelFilterSampling pf = pixelFilterSampling();
  ctx.shadow = ShadowQuery{sa, ctx.position, vecOf(sa->gNorm), sa->rayLength, inst->runtime.time.get(), ml.goodShadows,
                           pf.present, &thread};
  const HostObjectInfo1* objects = hs.objectInfo;
  ctx.receivesShadows =
      !(ctx.object && objects && objects->shadowOpts) || (objects->shadowOpts(ctx.object) & HOST_OSHADOW_RECEIVE);
  ctx.sceneTracesShadows = (inst->runtime.renderOptions.get() & HOST_ROPT_SHADOWTRACE) != 0;
  ctx.masterPresent = master;
  ctx.areaFilter = master && ml.areaFilter;
  ctx.areaShadeQuality = ml.areaShadeQuality;
  ctx.areaShadowQuality = ml.areaShadowQuality;
  ctx.areaFactor = pf.present ? pf.areaFactor : kDefaultAreaFactor;
  ctx.random = PixelRandom::forPixel(std::uint32_t(sa->sx), std::uint32_t(sa->sy), pf.present, pf.passCount);

  LightSums sums;
  const bool gather = (mask & kComponentGatherNow) != 0;
  const bool traced = gather && ctx.object && sa->rayTrace;
  for (int i = 0; i < lights->lightCount; ++i) {
    const LightRecord& light = lights->records[i];
    std::uint8_t scratch[3] = {255, 255, 255};
    const bool ownSlot = shadowBytes && i < lights->captureCount && !(gather && !traced);
    std::uint8_t* bytes = ownSlot ? shadowBytes + 3 * i : scratch;
    if (!traced) {
      if (!gather && !inst->alive()) {
        store(out, result);
        return;
      }
      if (enable && !enable[i]) continue;
      if (!gather && !light.id) continue;
      if (light.isAreaKind()) {
        driveAreaLight(light, ctx, true, bytes, sums);
      } else {
        drivePointLightStored(light, ctx, bytes, sums);
      }
    } else if (light.isAreaKind()) {
      driveAreaLight(light, ctx, false, bytes, sums);
    } else {
      drivePointLightTraced(light, ctx, bytes, sums);
    }
  }

  // 11-13: light sum, darkening, colour processing, transparency.
  bool skipToReflection = false;
  if (!s.darken) {
    result += sums.direct * (master ? ml.lightBoost : 1.0);
  } else if (!shadowDarkening(result, sums.darkening, sums.lightWeight, s.darkenColour)) {
    skipToReflection = true;
  }
  if (!skipToReflection) {
    if (!s.hsvSecondary) result = hsvProcess(result, s, sa);
    if (w.transparency > kMinimumTransparencyWeight) {
      const double strength =
          s.lwThickTrans ? std::clamp(s.thickTrans * sa->translucency, 0.0, 1.0) : s.thickTrans;
      const Vec3 tint = transmissionTint(thickness, colour, sa->colorFL, strength, s.absorption);
      result += refraction * tint * w.transparency;
    }
  }

  // 14: reflection.
  if (inst->alive() && w.mirror > 0.0) {
    const Vec3 tint = colour * s.reflectionColourStrength + s.reflectionColour * (1.0 - s.reflectionColourStrength);
    const Vec3 nr =
        faceViewer(v, blendBumpNormal(vecOf(sa->wNorm0), vecOf(sa->wNorm), w.bumpScale * s.reflectionBump)).normal;
    const EnvironmentSource env = environmentSource(*inst);
    double h = env.reflectionOptions == 0 ? 0.0 : reflectionHitFraction;
    result = result * (1.0 - h * s.reflectionNonlinear) + reflection * tint * w.mirror;
    if (h < kFullHit) {
      int n;
      std::uint32_t seed;
      double offset;
      if (gather) {
        n = environmentRayCount(s.glossy.spread, s.reflectionQuality, sa->bounces,
                                pf.present ? pf.reflectionFactor : 1.0);
        seed = pixelSeed(std::uint32_t(sa->sx), std::uint32_t(sa->sy));
        offset = pf.present ? pf.passPhase : 0.5;
      } else {
        n = recomposedEnvironmentRayCount(s.glossy.spread, s.reflectionQuality);
        seed = gRecomposeJitter.nextSeed();
        offset = gRecomposeJitter.next();
      }
      ReflectionDirections dirs(n);
      const std::span<Vec3> rays = dirs.all();
      glossyRays(s.glossy, v, vecOf(sa->wNorm0), nr, anisotropyAngle, seed, offset, rays);
      const Vec3 weight = tint * ((1.0 - h) * s.reflectionBackground * w.mirror / n);
      for (const Vec3& d : rays) {
        double dv[3] = {d.x, d.y, d.z}, env3[3];
        environmentColour(env, dv, env3);
        result += vecOf(env3) * weight;
      }
    }
  }

  // 15: colour processing of the whole result.
  if (s.hsvSecondary && !s.darken) result = hsvProcess(result, s, sa);
  store(out, result);
}

}  // namespace orvik
