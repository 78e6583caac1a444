#include "shading/models/colour_tag.h"

#include <bit>
#include <cstdint>

namespace orvik {

namespace {
constexpr std::uint32_t kTagMask = 0xFu;

unsigned tagOf(float v) { return std::bit_cast<std::uint32_t>(v) & kTagMask; }
}  // namespace

float tagComponent(double v, unsigned tag) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(static_cast<float>(v));
    return std::bit_cast<float>((bits & ~kTagMask) | (tag & kTagMask));
}

bool carriesModuleTags(float r, float g, float b) {
    return tagOf(r) == kTagRed && tagOf(g) == kTagGreen && tagOf(b) == kTagBlue;
}

}  // namespace orvik
