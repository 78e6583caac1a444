#include "shading/models/edge_colour.h"

#include <algorithm>
#include <cmath>

#include "shading/models/edge_weight.h"
#include "shading/models/hsv.h"
#include "shading/models/pixel_random.h"

namespace orvik {

namespace {
constexpr std::uint32_t kNameHashStart = 0x12345678u;
constexpr std::uint32_t kNameCharFactor = 0x12d689u;
constexpr std::uint32_t kNameOffset = 0x7783a7f5u;
constexpr std::uint32_t kNameHashFactor = 0x6d622eadu;
constexpr std::size_t kMaxNameLength = 255;
constexpr double kNeutralTolerance = 0.005;
constexpr double kHueVaryScale = 1.5;
}  // namespace

std::uint32_t objectNameHash(std::string_view name) {
    std::uint32_t hash = kNameHashStart;
    const std::size_t count = std::min(name.size(), kMaxNameLength);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t ch = static_cast<unsigned char>(name[i]);
        hash = ch * kNameCharFactor + kNameOffset + hash * kNameHashFactor;
    }
    return hash;
}

ColourVariation colourVariation(std::uint32_t nameHash) {
    PixelRandom random{nameHash};
    ColourVariation v;
    v.hue = random.next();
    v.saturation = random.next();
    v.value = random.next();
    return v;
}

bool edgeColourVaries(const EdgeColourSettings& s) {
    return std::fabs(s.hueVary) > kNeutralTolerance || std::fabs(s.saturationVary) > kNeutralTolerance ||
           std::fabs(s.valueVary) > kNeutralTolerance;
}

Vec3 edgeColour(Vec3 colour, double e, const EdgeColourSettings& s, std::uint32_t nameHash) {
    const double e2 = 1.0 - e * e;
    const bool varies = edgeColourVaries(s);
    const bool neutral = std::fabs(s.hueShift) <= kNeutralTolerance && std::fabs(s.saturation - 1.0) <= kNeutralTolerance &&
                         std::fabs(s.value - 1.0) <= kNeutralTolerance;
    if (varies || !neutral) {
        Hsv hsv = rgbToHsv(colour);
        hsv.h += edgeWeight(e2, s.hueSharpness) * s.hueShift;
        double w = edgeWeight(e2, s.saturationSharpness);
        hsv.s *= (1.0 - w) + w * s.saturation;
        w = edgeWeight(e2, s.valueSharpness);
        hsv.v *= (1.0 - w) + w * s.value;
        if (varies) {
            const ColourVariation r = colourVariation(nameHash);
            hsv.h += (r.hue - 0.5) * s.hueVary * kHueVaryScale;
            hsv.s = std::clamp(hsv.s * (2.0 * (r.saturation - 0.5) * s.saturationVary + 1.0), 0.0, 1.0);
            hsv.v *= 2.0 * (r.value - 0.5) * s.valueVary + 1.0;
        }
        colour = hsvToRgb(hsv);
    }
    if (std::fabs(s.tint2) > kNeutralTolerance) {
        const double w = edgeWeight(e2, s.tint2Sharpness) * s.tint2;
        colour = colour * (1.0 - w) + s.tint2Colour * w;
    }
    if (std::fabs(s.tint1) > kNeutralTolerance) {
        const double w = edgeWeight(e2, s.tint1Sharpness) * s.tint1;
        colour = colour * (1.0 - w) + s.tint1Colour * w;
    }
    return colour;
}

}  // namespace orvik
