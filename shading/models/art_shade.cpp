#include "shading/models/art_shade.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "shading/models/bump_normal.h"
#include "shading/models/face_viewer.h"

namespace orvik {

namespace {
constexpr int kMinArtSize = 4;
constexpr int kMaxArtSize = 4100;
constexpr double kMaxFirstRed = 1000.0;
constexpr double kMinRightLength = 1e-6;
constexpr double kDiscScale = 0.999;    // keeps the disc off the image border
constexpr double kPixelSpan = 1.0001;   // keeps the right/lower neighbour inside
}  // namespace

bool artImageUsable(int width, int height) {
    return width >= kMinArtSize && height >= kMinArtSize && width <= kMaxArtSize && height <= kMaxArtSize;
}

bool artImagePlausible(double firstRed) { return firstRed >= 0.0 && firstRed <= kMaxFirstRed; }

ArtLookup artLookup(Vec3 normal0, Vec3 normal, double bumpScale, Vec3 v, const ArtSettings& s, int width,
                    int height) {
    Vec3 right{-v.z, 0.0, v.x};
    const double rightLength = length(right);
    right = rightLength < kMinRightLength ? kFallbackDirection : right / rightLength;

    const Vec3 n = faceViewer(v, blendBumpNormal(normal0, normal, bumpScale)).normal;
    const double x = dot(n, right);
    const double y = n.y;

    const double a = s.rotate * 2.0 * std::numbers::pi;
    const double k = (1.0 - s.squeeze) * kDiscScale;
    const double u = (x * std::cos(a) - y * std::sin(a)) * k;
    const double w = -(y * std::cos(a) + x * std::sin(a)) * k;

    // With a vertical view the right vector falls back to the up axis and (u, w) may leave
    // the unit disc; the position is held inside the image.
    const double maxColumn = std::max(width - 1, 0);
    const double maxRow = std::max(height - 1, 0);
    const double column = std::clamp((u + 1.0) * 0.5 * (width - kPixelSpan), 0.0, maxColumn);
    const double row = std::clamp((w + 1.0) * 0.5 * (height - kPixelSpan), 0.0, maxRow);

    ArtLookup out;
    out.x0 = static_cast<int>(column);
    out.y0 = static_cast<int>(row);
    out.x1 = std::min(out.x0 + 1, static_cast<int>(maxColumn));
    out.y1 = std::min(out.y0 + 1, static_cast<int>(maxRow));
    const double fx = column - out.x0;
    const double fy = row - out.y0;
    out.weights[0] = (1.0 - fx) * (1.0 - fy);
    out.weights[1] = fx * (1.0 - fy);
    out.weights[2] = (1.0 - fx) * fy;
    out.weights[3] = fx * fy;
    return out;
}

}  // namespace orvik
