#include "shading/evaluate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "master/master_values.h"
#include "module/host_services.h"
#include "module/thread_slots.h"
#include "sdk/compositing_info.h"
#include "sdk/image_list.h"
#include "sdk/scene_info.h"
#include "shading/eval_stages.h"
#include "shading/light_list.h"
#include "shading/models/anisotropy_angle.h"
#include "shading/models/bias.h"
#include "shading/models/bump_normal.h"
#include "shading/models/colour_tag.h"
#include "shading/models/edge_weight.h"
#include "shading/models/face_viewer.h"
#include "shading/models/glossy_rays.h"
#include "shading/models/pixel_random.h"
#include "shading/models/reflect_refract.h"
#include "shading/shade_sample.h"
#include "shading/surface_instance.h"

namespace orvik {
namespace {

constexpr float kNoThicknessFloat = -99.0f;
// The sampling weight a render hands the shading (re-shading a stored sample hands 0.5).
constexpr float kRenderSamplingWeight = 1.0f;

bool nearlyEqual(double a, double b) {
  return std::fabs(a - b) <= kRayStartTolerance * std::max(std::fabs(a), std::fabs(b));
}

void normaliseInPlace(double v[3]) { store(v, normalize(vecOf(v))); }

// Traces one of the module's own rays through the host with the thread's bookkeeping.
double traceOwn(HostShaderAccess* sa, ThreadRecord& t, Vec3 start, Vec3 dir, double colour[3]) {
  store(t.rayStart, start);
  t.rayMode = kRayModeOwnRay;
  const double from[3] = {start.x, start.y, start.z}, d[3] = {dir.x, dir.y, dir.z};
  colour[0] = colour[1] = colour[2] = 0.0;
  return sa->rayTrace(sa->rayData, from, d, colour);
}

// The compositing background pixel behind the sample, when the scene has one.
bool backgroundPixel(const SurfaceInstance& inst, const HostShaderAccess* sa, double rgb[3]) {
  const auto* comp = static_cast<const HostCompositingInfo*>(inst.runtime.compositing);
  const auto* scene = static_cast<const HostSceneInfo*>(inst.runtime.sceneInfo);
  const HostImageList1* images = hostServices().imageList;
  if (!comp || !comp->bg || !scene || !images || !images->size || !images->rgb) return false;
  int w = 0, h = 0;
  images->size(comp->bg, &w, &h);
  if (w < 1 || h < 1 || scene->frameWidth < 1 || scene->frameHeight < 1) return false;
  const int x = std::clamp(int(double(sa->sx) * w / scene->frameWidth), 0, w - 1);
  const int y = std::clamp(int(double(sa->sy) * h / scene->frameHeight), 0, h - 1);
  unsigned char c[3] = {0, 0, 0};
  images->rgb(comp->bg, x, y, c);
  rgb[0] = c[0] / 255.0, rgb[1] = c[1] / 255.0, rgb[2] = c[2] / 255.0;
  return true;
}

Rotation3 rotationOf(const double m[9]) {
  Rotation3 r;
  for (int i = 0; i < 3; ++i) r.rows[i] = {m[3 * i], m[3 * i + 1], m[3 * i + 2]};
  return r;
}

void lightPath(SurfaceInstance* inst, const EvalSettings& s, HostShaderAccess* sa, ThreadRecord& t) {
  (void)inst;
  t.frontLight = sa->colorFL;
  if ((s.zeroBack || s.backIndexOn) && sampleBackFacing(sa)) {
    if (s.backIndexOn) sa->eta = s.backIndex;
    if (s.zeroBack) {
      sa->mirror = sa->translucency = sa->luminous = sa->specular = sa->diffuse = 0.0;
      sa->transparency = 1.0;
      t.lightPass = 2;
      return;
    }
  }
  edgeStage(s, sampleView(sa), sa);
}

void writeResult(HostShaderAccess* sa, const double colour[3]) {
  const float r = tagComponent(colour[0], kTagRed);
  const float g = tagComponent(colour[1], kTagGreen);
  const float b = tagComponent(colour[2], kTagBlue);
  if (hostServices().replacementOutput()) {
    sa->replacement_percentage = 1.0;
    sa->replacement_color[0] = r, sa->replacement_color[1] = g, sa->replacement_color[2] = b;
    return;
  }
  sa->color[0] = r, sa->color[1] = g, sa->color[2] = b;
  sa->luminous = 1.0;
  sa->diffuse = sa->specular = sa->mirror = sa->transparency = sa->translucency = 0.0;
}

void fullPath(SurfaceInstance* inst, const EvalSettings& s, HostShaderAccess* sa, ThreadRecord& t, int kind) {
  const LightList* lights = currentLightList();
  // Only the entries of the list's lights are read: fill those (the whole array
  // when the default list stands in).
  const std::size_t used = lights ? std::size_t(std::clamp(lights->lightCount, 0, kMaxLights)) : kMaxLights;
  std::array<float, kMaxLights> translucency;
  std::fill_n(translucency.begin(), used, kNoThicknessFloat);

  if (t.rayMode == 0 || t.rayMode == 1 || t.mediumIndex < kMinimumMediumIndex) t.mediumIndex = 1.0;
  normaliseInPlace(sa->wNorm);
  normaliseInPlace(sa->gNorm);
  const bool hasObject = sampleHasObject(sa);
  if (!hasObject) {
    // Samples without an object are lit by the default light alone; the frame's list
    // stays in place for every other sample.
    store(sa->wNorm0, vecOf(sa->wNorm));
    t.mediumIndex = 1.0;
    inst->runtime.previewLightsTaken = 1;
    lights = &defaultLightList();
  } else {
    normaliseInPlace(sa->wNorm0);
    store(sa->wNorm, faceViewer(vecOf(sa->wNorm0), vecOf(sa->wNorm)).normal);
    if (kind == kKindSourceItem) t.mediumIndex = t.rayWeight = 1.0;
  }

  // View, anisotropy angle and the grazing bump scale.
  const Vec3 v = sampleView(sa);
  const Vec3 n0 = vecOf(sa->wNorm0), n = vecOf(sa->wNorm);
  const float angle = float(anisotropyAngle(static_cast<AnisotropyType>(std::clamp(s.anisotropyType, 0, 2)),
                                            std::clamp(s.anisotropyAxis, 0, 2), vecOf(sa->oPos),
                                            rotationOf(sa->wXfrm), n));
  const double c = std::max(dot(v, n0), 1e-9);
  const bool masterBoost = s.globalBoost && masterPresent();
  const double bump = edgeBumpScale(1.0 - c * c, s.edgeBumpSharpness, s.edgeBump,
                                    s.bump * (masterBoost ? masterSurfaceBoosts().bump : 1.0));

  // Back faces.
  float radiosity[3] = {0.0f, 0.0f, 0.0f};
  if (((s.backIndexOn && sa->transparency > 0.0) || s.zeroBack) && sampleBackFacing(sa)) {
    if (s.zeroBack) {
      sa->mirror = 0.0;
      radiosity[0] = kZeroedBackFace;
    }
    if (s.backIndexOn) sa->eta = s.backIndex;
  }
  const bool zeroedBack = radiosity[0] < kZeroedBackFaceBelow;
  const Vec3 p = vecOf(sa->wPos);
  const Vec3 gn = vecOf(sa->gNorm);
  const double eps = kRayOffsetScale * (std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z));
  const int renderOptions = inst->runtime.renderOptions.get();
  const Vec3 nt = faceViewer(v, blendBumpNormal(n0, n, s.refractionBump * bump)).normal;

  // Refraction.
  float refraction[3] = {0.0f, 0.0f, 0.0f};
  const double transmitted = sa->transparency + sa->addTransparency;
  if (sa->rayTrace &&
      (transmitted * t.rayWeight > kMinimumRefractionWeight || s.edgeChannels.transparency.mode != EdgeMode::None) &&
      (sa->sourceID || masterSourceLightSeen())) {
    const double ratio = (renderOptions & kRenderOptionRayTraceRefraction) ? sa->eta / t.mediumIndex : 1.0;
    const Refraction r = refract(v, nt, ratio);
    const double savedWeight = t.rayWeight, savedMedium = t.mediumIndex;
    const int savedMode = t.rayMode;
    t.rayWeight *= transmitted;
    double colour[3];
    if (!r.totalInternal) {
      t.mediumIndex = sa->eta;
      const double hit = traceOwn(sa, t, p - gn * eps, r.direction, colour);
      if (hit < 0.0 && std::fabs(ratio - 1.0) <= kUnitRatioTolerance) backgroundPixel(*inst, sa, colour);
    } else {
      traceOwn(sa, t, p + gn * eps, r.direction, colour);
    }
    t.rayWeight = savedWeight, t.mediumIndex = savedMedium, t.rayMode = savedMode;
    for (int i = 0; i < 3; ++i) refraction[i] = float(colour[i]);
  }

  // Thickness through the body and per-light translucency.
  float thickness = kNoThicknessFloat;
  if (sa->rayCast && (s.thickLight > 0.0 || s.thickTrans > 0.0) && !zeroedBack) {
    if (s.thickTrans > 0.0) {
      const Refraction r = refract(v, nt, 1.0);
      if (!r.totalInternal) {
        const int savedMode = t.rayMode;
        const double savedMedium = t.mediumIndex;
        t.rayMode = kRayModeThickness;
        t.mediumIndex = sa->eta;
        const Vec3 start = p - gn * eps;  // just inside, so the cast does not find its own surface
        const double from[3] = {start.x, start.y, start.z}, d[3] = {r.direction.x, r.direction.y, r.direction.z};
        const double hit = sa->rayCast(sa->rayData, from, d);
        t.rayMode = savedMode;
        t.mediumIndex = savedMedium;
        thickness = hit < 0.0 ? kNoThicknessFloat : float(hit);
      }
    }
    if (s.thickLight > 0.0) {
      for (int i = 0; i < lights->lightCount; ++i)
        translucency[i] = float(lightThicknessAt(sa, lights->records[i], p, sa->eta, s.absorption.falloffDistance));
    }
  }

  // Reflection rays.
  float reflection[3] = {0.0f, 0.0f, 0.0f};
  float hitFraction = 0.0f;
  const PixelFilterSampling pf = pixelFilterSampling();
  if ((renderOptions & kRenderOptionRayTraceReflection) && sa->rayTrace &&
      (environmentSource(*inst).reflectionOptions & 1) &&
      ((sa->mirror > kMinimumMirror && t.rayWeight * sa->mirror > kMinimumWeightedMirror) ||
       (kind == kKindSourceItem && s.edgeChannels.reflection.mode != EdgeMode::None))) {
    const Vec3 nr = faceViewer(v, blendBumpNormal(n0, n, s.reflectionBump * bump)).normal;
    const Vec3 start = p + gn * eps;
    const bool sharp = s.glossy.spread <= kSharpReflectionSpread;
    const int count = sharp ? 1
                            : tracedReflectionRayCount(s.glossy.spread, s.reflectionQuality, t.rayWeight, sa->mirror,
                                                       sa->bounces, pf.present ? pf.reflectionFactor : 1.0);
    ReflectionDirections dirs(count);
    if (sharp) {
      dirs[0] = reflect(v, nr);
    } else {
      glossyRays(s.glossy, v, n0, nr, angle, pixelSeed(std::uint32_t(sa->sx), std::uint32_t(sa->sy)),
                 pf.present ? pf.passPhase : 0.5, dirs.all());
    }
    const double savedWeight = t.rayWeight;
    const int savedMode = t.rayMode;
    const HostBackdropInfo1* backdrop = hostServices().backdropInfo;
    Vec3 sum;
    int hits = 0;
    for (int i = 0; i < count; ++i) {
      t.rayWeight = savedWeight * sa->mirror / count;
      double colour[3];
      const double length = traceOwn(sa, t, start, dirs[i], colour);
      if (length > 0.0) {
        ++hits;
      } else if (backdrop && backdrop->backdrop) {
        const double d[3] = {dirs[i].x, dirs[i].y, dirs[i].z};
        double bg[3] = {0, 0, 0};
        backdrop->backdrop(0.0, d, bg);
        colour[0] -= bg[0], colour[1] -= bg[1], colour[2] -= bg[2];
      }
      sum += vecOf(colour);
    }
    t.rayWeight = savedWeight;
    t.rayMode = savedMode;
    sum = sum / double(count);
    reflection[0] = float(sum.x), reflection[1] = float(sum.y), reflection[2] = float(sum.z);
    hitFraction = float(double(hits) / count);
  }

  // Capture test, then the shading with every component.
  const EvaluateHooks& hooks = evaluateHooks();
  const bool capture = inst->runtime.renderMode.get() == kRenderModeFull && hasObject && sa->bounces <= 0 &&
                       hooks.captureWanted && hooks.captureSample && hooks.captureWanted(inst, sa);
  double remembered[9] = {sa->color[0], sa->color[1],  sa->color[2],  sa->luminous,  sa->diffuse,
                          sa->specular, sa->mirror,    sa->transparency, sa->roughness};
  std::array<std::uint8_t, 3 * kMaxLights> shadowBytes;
  std::fill_n(shadowBytes.begin(), 3 * used, std::uint8_t{255});
  double colour[3];
  ShadeSampleWith(s, inst, lights, sa, kRenderComponents, nullptr, shadowBytes.data(), radiosity, reflection,
                  hitFraction, refraction, kRenderSamplingWeight, angle, thickness, translucency.data(), colour);
  if (capture) {
    sa->color[0] = remembered[0], sa->color[1] = remembered[1], sa->color[2] = remembered[2];
    sa->luminous = remembered[3], sa->diffuse = remembered[4], sa->specular = remembered[5];
    sa->mirror = remembered[6], sa->transparency = remembered[7], sa->roughness = remembered[8];
    SampleInputs in;
    in.shadowBytes = shadowBytes.data();
    in.radiosityCache = radiosity;
    in.reflectionColour = reflection;
    in.reflectionHitFraction = hitFraction;
    in.refractionColour = refraction;
    in.samplingWeight = kRenderSamplingWeight;
    in.anisotropyAngle = angle;
    in.thickness = thickness;
    in.lightTranslucency = translucency.data();
    in.lightTranslucencyCount = int(used);
    in.colour = colour;
    hooks.captureSample(inst, sa, lights, in);
  }
  writeResult(sa, colour);
}

const bool kEvaluationInstalled = (installEvaluation(), true);

}  // namespace

void surfaceEvaluateEntry(HostInstance inst, HostShaderAccess* sa) {
  evaluate(static_cast<SurfaceInstance*>(inst), sa);
}

void installEvaluation() { installLightGathering(); }

bool isLightPathKind(int kind) {
  switch (kind) {
    case 0: case 1: case 4: case 6: case 7: case 9: case 11:
      return true;
    default:
      return false;
  }
}

int classifySample(const HostShaderAccess* sa, ThreadRecord& t) {
  if (sa->sourceID) return kKindSourceItem;
  if (sa->bounces == 0 && !sampleHasObject(sa)) return kKindNoObjectCamera;
  if (t.rayMode == kRayModeOwnRay) {
    if (nearlyEqual(sa->raySource[0], t.rayStart[0]) && nearlyEqual(sa->raySource[1], t.rayStart[1]) &&
        nearlyEqual(sa->raySource[2], t.rayStart[2]))
      return kKindOwnRay;
    t.rayMode = 1;
    return kKindForeignRay;
  }
  return t.rayMode;
}

void evaluate(SurfaceInstance* inst, HostShaderAccess* sa) {
  if (!inst || !sa || !inst->alive()) return;
  ThreadRecord& t = threadRecord();
  const int savedMode = t.rayMode;
  const int savedDepth = t.depth;
  ++t.depth;
  const int kind = classifySample(sa, t);
  if (kind == kKindSourceItem) masterNoteSourceLight();
  sa->flags = kind;
  EvalSettings s;
  readEvalSettingsCached(*inst, s);
  t.lightPass = s.thickLight <= 0.0 ? 2 : 1;
  if (isLightPathKind(kind)) {
    lightPath(inst, s, sa, t);
    t.depth = savedDepth;
    return;
  }
  fullPath(inst, s, sa, t, kind);
  t.rayMode = savedMode;
  t.depth = savedDepth;
}

}  // namespace orvik
