#include "shading/models/shadow_map.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
constexpr double kMinDepth = 1e-9;

Vec3 row(std::span<const double, kShadowProjectionDoubles> r, int first) { return {r[first], r[first + 1], r[first + 2]}; }
}  // namespace

ShadowMapPoint projectToShadowMap(std::span<const double, kShadowProjectionDoubles> r, Vec3 p) {
    double z = dot(row(r, 17), p) + r[4];
    if (std::fabs(z) < kMinDepth) z = kMinDepth;
    return {(dot(row(r, 20), p) + r[0]) / z + r[1], (dot(row(r, 23), p) + r[2]) / z + r[3], z};
}

double shadowMapVisibility(std::span<const float> depths, int width, int height, ShadowMapPoint q,
                           std::span<const std::int32_t> dx, std::span<const std::int32_t> dy) {
    const std::size_t count = std::min({dx.size(), dy.size(), std::size_t(kMaxShadowPatternOffsets)});
    if (count == 0) return 1.0;
    const bool mapUsable = width > 0 && height > 0 && depths.size() >= std::size_t(width) * std::size_t(height);
    const double cx = std::floor(q.x + 0.5), cy = std::floor(q.y + 0.5);
    const float z = static_cast<float>(q.z);
    std::size_t visible = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double px = cx + dx[i], py = cy + dy[i];
        if (!mapUsable || !(px >= 0.0 && px < width && py >= 0.0 && py < height)) {
            ++visible;
            continue;
        }
        const std::size_t index = std::size_t(py) * std::size_t(width) + std::size_t(px);
        if (depths[index] > z) ++visible;
    }
    return double(visible) / double(count);
}

}  // namespace orvik
