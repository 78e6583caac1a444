#include "shading/light_driver.h"

#include <gtest/gtest.h>

#include "shading/models/area_light_sampling.h"
#include "shading/models/light_sample.h"
#include "shading/models/oren_nayar.h"

namespace orvik {
namespace {

// A sample on a rough, glossy floor at the origin, seen from above and to the side; no
// host, no master, stored (unshadowed) bytes.
struct Floor {
  SpecularLayer layers[1];
  LightDriverContext ctx;

  Floor() {
    SpecularLayerSettings settings;
    settings.gloss = 0.8;
    settings.anisotropy = 0.6;
    layers[0] = prepareSpecularLayer(settings);
    ctx.model.orenNayar = prepareOrenNayar(0.5);
    ctx.model.terminatorSharpness = 0.3;
    ctx.model.layers = layers;
    ctx.point.normal0 = ctx.point.normal = {0.0, 1.0, 0.0};
    ctx.point.colour = {0.7, 0.6, 0.5};
    ctx.point.roughness = 0.05;
    ctx.view = normalize(Vec3{0.4, 1.0, -0.3});
    ctx.weights.diffuse = 0.9;
    ctx.weights.specular = 0.7;
    ctx.weights.shadowDensity = 1.0;
    ctx.weights.anisotropyAngle = 0.3;
    ctx.hostDiffuse = 0.9;
    ctx.hostSpecular = 0.0;  // no mirror point: the seed grid comes from the foot point alone
  }
};

LightRecord pointAt(Vec3 p, unsigned flags) {
  LightRecord r;
  r.type = static_cast<int>(LightType::Point);
  r.position = r.origin = p;
  r.colour = {1.0, 0.9, 0.8};
  r.range = 1e6;
  r.flags = flags;
  return r;
}

Vec3 drivenAlone(const LightRecord& light) {
  Floor f;
  const std::uint8_t bytes[3] = {255, 255, 255};
  LightSums sums;
  drivePointLightStored(light, f.ctx, bytes, sums);
  return sums.direct;
}

// One sample prepares its response once and shares it between lights; a light that
// switches diffuse or specular off must not get, or leave behind, the other weights.
TEST(LightDrivers, LightsWithTheirOwnFlagsShadeAsIfAlone) {
  const LightRecord plain = pointAt({1.0, 2.0, 0.5}, 0);
  const LightRecord noSpecular = pointAt({-1.0, 1.5, 0.2}, kLightNoSpecular);
  const LightRecord noDiffuse = pointAt({0.3, 1.0, -1.0}, kLightNoDiffuse);
  Floor f;
  const std::uint8_t bytes[3] = {255, 255, 255};
  Vec3 together;
  for (const LightRecord* light : {&plain, &noSpecular, &noDiffuse, &plain}) {
    LightSums sums;
    drivePointLightStored(*light, f.ctx, bytes, sums);
    together += sums.direct;
  }
  const Vec3 alone = drivenAlone(plain) * 2.0 + drivenAlone(noSpecular) + drivenAlone(noDiffuse);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(together[c], alone[c], 1e-12) << c;
  // The flags do change the light: otherwise the case above proves nothing.
  EXPECT_NE(drivenAlone(noSpecular), drivenAlone(pointAt({-1.0, 1.5, 0.2}, 0)));
  EXPECT_NE(drivenAlone(noDiffuse), drivenAlone(pointAt({0.3, 1.0, -1.0}, 0)));
}

// A linear light's points do not depend on v, so the driver evaluates each u once and
// reuses it for the other rows and split corners. The sums must be those of evaluating
// every grid point and split point afresh.
TEST(LightDrivers, LinearLightReusesOnlyValuesOfTheSameU) {
  Floor f;
  LightRecord tube = pointAt({0.0, 0.6, 0.0}, 0);
  tube.type = static_cast<int>(LightType::Linear);
  tube.forward = {1.0, 0.0, 0.0};
  tube.u = {3.0, 0.0, 0.0};  // long and low over the floor: strong variation along it
  tube.uLengthSquared = 9.0;
  tube.origin = tube.position - tube.u * 0.5 + Vec3{0.7, 0.0, 0.0};
  tube.quality = tube.rawQuality = 8;

  std::uint8_t bytes[3] = {255, 255, 255};
  LightSums sums;
  driveAreaLight(tube, f.ctx, true, bytes, sums);

  const LightGeometry g = tube.geometry();
  const LightParameter foot = lightFootPoint(g, f.ctx.position);
  int evaluations = 0;
  const AreaLightSums fresh = integrateAreaLight(
      seedGridCoordinates(foot.u, 0.0), seedGridCoordinates(foot.v, 0.0), tube.rawQuality,
      areaRefineThreshold(false, 0.4),
      [&](double u, double v) {
        ++evaluations;
        const LightSample s = sampleLight(g, f.ctx.position, u, v);
        const SurfaceResponse r = surfaceResponse(f.ctx.model, f.ctx.point, f.ctx.view, s.direction,
                                                  f.ctx.weights.diffuse, f.ctx.weights.specular, 1.0,
                                                  f.ctx.weights.anisotropyAngle);
        return LightSampleValue{s.colour * r.rgb, s.shadowColour * r.rgb};
      },
      [](double, double, double, double, Vec3) {});
  ASSERT_GT(evaluations, 16) << "the light should be refined for this case to test the split corners";
  EXPECT_NEAR(sums.direct.x, fresh.lit.x, 1e-12 * (1.0 + fresh.lit.x));
  EXPECT_NEAR(sums.direct.y, fresh.lit.y, 1e-12 * (1.0 + fresh.lit.y));
  EXPECT_NEAR(sums.direct.z, fresh.lit.z, 1e-12 * (1.0 + fresh.lit.z));
  EXPECT_GT(sum(sums.direct), 0.0);
}

}  // namespace
}  // namespace orvik
