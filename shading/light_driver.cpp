#include "shading/light_driver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "master/group_factors.h"
#include "master/master_values.h"
#include "module/colored_shadow_ray.h"
#include "module/host_services.h"
#include "sdk/object_info.h"
#include "shading/models/area_light_sampling.h"
#include "shading/models/light_points.h"

namespace orvik {
namespace {

constexpr double kByteScale = 255.0;
constexpr double kMinimumShadowOffset = 1e-9;
constexpr double kShadowOffsetScale = 1e-7;

bool hostExcludes(HostItemId object, HostItemId light) {
  const HostObjectInfo2* objects = hostServices().objectInfo2();
  return object && light && objects && objects->excludeLight && objects->excludeLight(object, light) != 0;
}

void writeBytes(std::uint8_t bytes[3], Vec3 tau) {
  for (int c = 0; c < 3; ++c)
    bytes[c] = static_cast<std::uint8_t>(std::clamp(tau[c], 0.0, 1.0) * kByteScale);
}

Vec3 readBytes(const std::uint8_t bytes[3]) {
  return Vec3{double(bytes[0]), double(bytes[1]), double(bytes[2])} / kByteScale;
}

// Per channel share of the lit light: 1 - (1 - tau) * density.
Vec3 litShare(Vec3 tau, double density) {
  return {1.0 - (1.0 - tau.x) * density, 1.0 - (1.0 - tau.y) * density, 1.0 - (1.0 - tau.z) * density};
}

LightTerms termsOf(const LightRecord& light) {
  return {(light.flags & kLightNoDiffuse) == 0, (light.flags & kLightNoSpecular) == 0};
}

// The sample's prepared response, made once and shared by all its lights.
const PreparedResponse& preparedFor(LightDriverContext& ctx) {
  if (!ctx.preparedValid) {
    ctx.prepared = prepareResponse(ctx.model, ctx.point, ctx.view, ctx.weights.diffuse, ctx.weights.specular,
                                   ctx.weights.bumpScale, ctx.weights.anisotropyAngle);
    ctx.preparedValid = true;
  }
  return ctx.prepared;
}

SurfaceResponse respond(const LightRecord& light, LightDriverContext& ctx, Vec3 l) {
  return respondToLight(preparedFor(ctx), l, termsOf(light));
}

// The direct light of a point-like light once its transmission is known.
void addPointLight(const LightDriverContext& ctx, const LightSample& s, const SurfaceResponse& r, Vec3 tau, double f,
                   double density, LightSums& sums) {
  const Vec3 sigma = litShare(tau, density);
  const Vec3 one{1.0, 1.0, 1.0};
  sums.direct += (sigma * s.colour * f + (one - sigma) * s.shadowColour * f) * r.rgb;
  (void)ctx;
}

// Luminous shadow darkening: total and lit light along the unbumped normal.
void addDarkening(const LightDriverContext& ctx, const LightSample& s, Vec3 tau, double f, double density,
                  LightSums& sums) {
  const double cn = dot(s.direction, ctx.point.normal0);
  sums.lightWeight += f * sum(s.colour) * cn;
  sums.darkening += sum(litShare(tau, density) * s.colour) * f * cn;
}

}  // namespace

bool lightFactor(const LightRecord& light, const LightDriverContext& ctx, bool skipFullExclusion, double& f,
                 double& density) {
  f = 1.0;
  density = ctx.weights.shadowDensity;
  const double exclusion = ctx.weights.exclusion;
  if (exclusion != 0.0 && hostExcludes(ctx.object, light.id)) {
    if (skipFullExclusion && exclusion >= kFullExclusion) return false;
    f = 1.0 - exclusion;
  }
  if (ctx.masterGroupBoosts) masterApplyGroupFactors(light.groupMask, ctx.object, f, density);
  static_assert(kLightGroups == kLightGroupCount, "the surface boosts one factor per light group");
  forEachLightGroup(light.groupMask, [&](int k) { f *= ctx.groupBoost[k]; });
  return true;
}

void drivePointLightTraced(const LightRecord& light, LightDriverContext& ctx, std::uint8_t bytes[3], LightSums& sums) {
  bytes[0] = bytes[1] = bytes[2] = 255;
  const LightGeometry g = light.geometry();
  const LightSample s = sampleLight(g, ctx.position, 0.5, 0.5);
  if (lengthSquared(s.colour) + lengthSquared(s.shadowColour) < kMinimumLitSquared) return;
  double f = 1.0, density = 0.0;
  lightFactor(light, ctx, false, f, density);
  if (std::fabs(f) < kMinimumLightFactor) return;
  density = std::clamp(density, 0.0, 1.0);

  if (!ctx.darken) {
    const SurfaceResponse r = respond(light, ctx, s.direction);
    if (!r.lit) return;
    const Vec3 tau = shadowTransmission(light, ctx.shadow, s.colour, s.direction);
    writeBytes(bytes, tau);
    addPointLight(ctx, s, r, tau, f, density, sums);
    return;
  }
  const double cn = dot(s.direction, ctx.point.normal0);
  if (cn > 0.0 && s.colour.x >= 0.0) {
    const Vec3 tau = shadowTransmission(light, ctx.shadow, s.colour, s.direction);
    writeBytes(bytes, tau);
    addDarkening(ctx, s, tau, f, density, sums);
  }
}

void drivePointLightStored(const LightRecord& light, LightDriverContext& ctx, const std::uint8_t bytes[3],
                           LightSums& sums) {
  const LightGeometry g = light.geometry();
  const LightSample s = sampleLight(g, ctx.position, 0.5, 0.5);
  if (lengthSquared(s.colour) + lengthSquared(s.shadowColour) < kMinimumLitSquared) return;
  double f = 1.0, density = 0.0;
  if (!lightFactor(light, ctx, true, f, density)) return;
  if (std::fabs(f) < kMinimumLightFactor) return;
  const double channels = ctx.hostDiffuse + ctx.hostSpecular;
  if (channels * channels * lengthSquared(s.colour * f) < kMinimumLitSquared) return;
  density = std::clamp(density, 0.0, 1.0);
  const Vec3 tau = readBytes(bytes);

  if (!ctx.darken) {
    const SurfaceResponse r = respond(light, ctx, s.direction);
    if (r.lit) addPointLight(ctx, s, r, tau, f, density, sums);
    return;
  }
  const double cn = dot(s.direction, ctx.point.normal0);
  if (cn > 0.0 && s.colour.x >= 0.0) addDarkening(ctx, s, tau, f, density, sums);
}

namespace {

// The last few light-point values of a light whose points depend on u alone, by u.
class ValuesAlongU {
 public:
  const LightSampleValue* find(double u) const {
    for (int i = 0; i < count_; ++i)
      if (u_[i] == u) return &values_[i];
    return nullptr;
  }
  void remember(double u, const LightSampleValue& value) {
    u_[next_] = u;
    values_[next_] = value;
    next_ = (next_ + 1) % kSize;
    count_ = std::min(count_ + 1, kSize);
  }

 private:
  static constexpr int kSize = 4;  // a grid row
  double u_[kSize];  // the first count_ entries of both are set
  UnclearedArray<LightSampleValue, kSize> values_;
  int count_ = 0, next_ = 0;
};

struct Leaf {
  double ua, ub, va, vb;
  double weight;  // its lit contribution
};

// Where the mirror ray of the sample meets the light: parameters on the light's edges.
LightParameter mirrorParameter(const LightGeometry& g, const LightDriverContext& ctx) {
  const Vec3 n = ctx.point.normal;
  const Vec3 r = n * (2.0 * dot(ctx.view, n)) - ctx.view;
  Vec3 planeNormal = g.forward;
  if (g.type == LightType::Linear) {
    // The plane that holds the light's line and faces the sample.
    const Vec3 axis = normalize(g.edgeU);
    const Vec3 d = ctx.position - g.origin;
    planeNormal = normalize(d - axis * dot(d, axis));
  }
  const Vec3 m = mirrorPlanePoint(ctx.position, r, g.origin, planeNormal);
  LightParameter p;
  p.u = edgeParameter(m, g.origin, g.edgeU, g.edgeULengthSquared);
  p.v = g.type == LightType::Area ? edgeParameter(m, g.origin, g.edgeV, g.edgeVLengthSquared) : 0.5;
  return p;
}

// Soft-shadow transmission of a linear or area light: rays toward points drawn inside
// the leaves of the integration, each leaf chosen in proportion to its lit share.
Vec3 tracedAreaTransmission(const LightRecord& light, const LightGeometry& g, LightDriverContext& ctx,
                            const std::vector<Leaf>& leaves, double f, Vec3 litSum) {
  const int wanted = areaShadowRayCount(light.quality, ctx.areaFactor, ctx.masterPresent, ctx.areaShadowQuality);
  const int toCast = areaShadowRaysToCast(wanted, f, sum(litSum));
  if (toCast <= 0 || leaves.empty()) return {1.0, 1.0, 1.0};
  HostShaderAccess* sa = ctx.shadow.access;
  const bool coloured = ctx.areaFilter;
  if (!sa || (coloured ? !sa->rayShade : !sa->rayCast)) return {1.0, 1.0, 1.0};

  double total = 0.0;
  for (const Leaf& leaf : leaves) total += std::max(leaf.weight, 0.0);
  const int first = areaShadowFirstBatch(toCast);
  const int planned = std::max(first, toCast);

  Vec3 seen;
  int cast = 0, visibleCount = 0;
  std::size_t leafIndex = 0;
  double below = 0.0;  // contribution of the leaves before leafIndex
  for (int i = 0; i < planned; ++i) {
    if (i == first && (visibleCount == 0 || visibleCount == cast)) break;
    // Stratified choice of the leaf, uniform point inside it.
    double target = (i + ctx.random.next()) / planned * total;
    if (total <= 0.0) target = 0.0;
    if (target < below) {
      leafIndex = 0;
      below = 0.0;
    }
    while (leafIndex + 1 < leaves.size() && below + std::max(leaves[leafIndex].weight, 0.0) <= target) {
      below += std::max(leaves[leafIndex].weight, 0.0);
      ++leafIndex;
    }
    const Leaf& leaf = leaves[leafIndex];
    const double u = leaf.ua + (leaf.ub - leaf.ua) * ctx.random.next();
    const double v = leaf.va + (leaf.vb - leaf.va) * ctx.random.next();
    const Vec3 q = g.origin + g.edgeU * u + g.edgeV * v;
    const Vec3 d = q - ctx.position;
    const double dist = length(d);
    ++cast;
    if (!(dist > 0.0)) {
      ++visibleCount;
      seen += Vec3{1.0, 1.0, 1.0};
      continue;
    }
    const Vec3 dir = d / dist;
    const double offset = std::min(std::max(dist * kShadowOffsetScale, kMinimumShadowOffset), dist * 0.5);
    const Vec3 start = ctx.position + dir * offset;
    if (coloured) {
      const double from[3] = {start.x, start.y, start.z}, to[3] = {q.x, q.y, q.z};
      double t[3] = {1.0, 1.0, 1.0};
      coloredShadowRay(sa, from, to, ctx.shadow.time, t);
      const Vec3 tv{t[0], t[1], t[2]};
      seen += tv;
      if (sum(tv) >= 3.0 - 1e-9) ++visibleCount;
    } else {
      const double from[3] = {start.x, start.y, start.z}, dirv[3] = {dir.x, dir.y, dir.z};
      const double hit = sa->rayCast(sa->rayData, from, dirv);
      const bool visible = hit < 0.0 || hit >= dist - offset;
      if (visible) {
        ++visibleCount;
        seen += Vec3{1.0, 1.0, 1.0};
      }
    }
  }
  return cast > 0 ? seen / double(cast) : Vec3{1.0, 1.0, 1.0};
}

}  // namespace

void driveAreaLight(const LightRecord& light, LightDriverContext& ctx, bool storedShadows, std::uint8_t bytes[3],
                    LightSums& sums) {
  if (!storedShadows) bytes[0] = bytes[1] = bytes[2] = 255;
  double f = 1.0, density = 0.0;
  if (!lightFactor(light, ctx, true, f, density)) return;
  density = std::clamp(density, 0.0, 1.0);

  const LightGeometry g = light.geometry();
  const LightParameter foot = lightFootPoint(g, ctx.position);
  const LightSample footSample = sampleLight(g, ctx.position, foot.u, foot.v);
  if ((lengthSquared(footSample.colour) + lengthSquared(footSample.shadowColour)) * f < kMinimumAreaLight) return;

  LightParameter mirror{0.0, 0.0};
  if (ctx.hostSpecular > 0.0) mirror = mirrorParameter(g, ctx);
  const auto us = seedGridCoordinates(foot.u, mirror.u);
  const auto vs = seedGridCoordinates(foot.v, mirror.v);

  const bool traceShadows =
      !storedShadows && ctx.receivesShadows && light.shadowType == 1 && ctx.sceneTracesShadows;
  const PreparedResponse& prepared = preparedFor(ctx);
  const LightTerms terms = termsOf(light);
  // A light without a v edge (a linear light) has the same point for every v: each u is
  // evaluated once and its value reused for the other rows of the grid and the other
  // corner of a split.
  ValuesAlongU linearValues;
  ValuesAlongU* alongU = lengthSquared(g.edgeV) == 0.0 ? &linearValues : nullptr;
  // Reached through a pointer: a thread-local named inside the leaf callback would be
  // looked up again for every leaf.
  thread_local std::vector<Leaf> threadLeaves;
  std::vector<Leaf>* const leaves = &threadLeaves;
  leaves->clear();
  const double threshold = areaRefineThreshold(ctx.masterPresent, ctx.areaShadeQuality);
  // The seed grid, a row at a time; a linear light shades its first row only.
  static_assert(kLightPointRow == 4, "a row of the seed grid at a time");
  UnclearedArray<LightSampleValue, 16> grid;
  for (int j = 0; j < (alongU ? 1 : 4); ++j) {
    const double v[4] = {vs[j], vs[j], vs[j], vs[j]};
    shadeLightPoints(g, ctx.position, prepared, terms, us.data(), v, &grid[4 * j]);
  }
  if (alongU) {
    for (int i = 0; i < 4; ++i) alongU->remember(us[i], grid[i]);
  }
  const AreaLightSums s = integrateAreaLightGrid(
      us, vs, grid.items, alongU ? 0 : 4, light.rawQuality, threshold,
      [&](double u, double v) {
        const LightSampleValue* known = alongU ? alongU->find(u) : nullptr;
        if (known) return *known;
        const LightSample ls = sampleLight(g, ctx.position, u, v);
        const SurfaceResponse r = respondToLight(prepared, ls.direction, terms);
        const LightSampleValue value{ls.colour * r.rgb, ls.shadowColour * r.rgb};
        if (alongU) alongU->remember(u, value);
        return value;
      },
      [&](double ua, double ub, double va, double vb, Vec3 contribution) {
        if (traceShadows) leaves->push_back({ua, ub, va, vb, sum(contribution)});
      },
      !(g.shadowColour == Vec3{}));

  Vec3 tau{1.0, 1.0, 1.0};
  if (storedShadows) {
    tau = readBytes(bytes);
  } else {
    if (traceShadows) tau = tracedAreaTransmission(light, g, ctx, *leaves, f, s.lit);
    writeBytes(bytes, tau);
  }
  const Vec3 sigma = litShare(tau, density);
  const Vec3 one{1.0, 1.0, 1.0};
  sums.direct += (sigma * s.lit + (one - sigma) * s.shadow) * f;
  const double total = f * sum(s.lit);
  sums.lightWeight += total;
  sums.darkening += total * sum(sigma) * kDarkenWeightThird;
}

}  // namespace orvik
