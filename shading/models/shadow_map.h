#pragma once

#include <cstdint>
#include <span>

#include "shading/models/vec3.h"

namespace orvik {

// Depth-map shadows published by a sibling light: a projection record of 26 doubles per
// light ([0] x offset, [1] x centre, [2] y offset, [3] y centre, [4] depth offset,
// [17..19] depth row, [20..22] x row, [23..25] y row) and a map of single-precision depths.
inline constexpr int kShadowProjectionDoubles = 26;
inline constexpr int kMaxShadowPatternOffsets = 128;

struct ShadowMapPoint {
    double x = 0.0;  // pixel column
    double y = 0.0;  // pixel row
    double z = 0.0;  // depth
};

// Projects a world point into the depth map; depths closer to 0 than 1e-9 become 1e-9.
ShadowMapPoint projectToShadowMap(std::span<const double, kShadowProjectionDoubles> record, Vec3 p);

// Fraction of the filter pattern's offsets (dx[i], dy[i]) whose pixel around q lies outside
// the map or holds a depth beyond q (compared in single precision): the share of the
// pattern that sees the light. The pattern holds at most 128 offsets; without offsets the
// point counts as lit. depths holds width x height values, row by row.
double shadowMapVisibility(std::span<const float> depths, int width, int height, ShadowMapPoint q,
                           std::span<const std::int32_t> dx, std::span<const std::int32_t> dy);

}  // namespace orvik
