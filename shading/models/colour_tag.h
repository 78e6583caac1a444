#pragma once

namespace orvik {

// Colours shaded by the module carry a fixed pattern in the four lowest mantissa bits of
// each single-precision component, so that later stages can recognise them.
inline constexpr unsigned kTagRed = 0x3u;    // 0011
inline constexpr unsigned kTagGreen = 0x6u;  // 0110
inline constexpr unsigned kTagBlue = 0xDu;   // 1101

// v rounded to single precision with its four lowest mantissa bits set to tag.
float tagComponent(double v, unsigned tag);

// Whether all three components carry their tags.
bool carriesModuleTags(float r, float g, float b);

}  // namespace orvik
