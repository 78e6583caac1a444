#pragma once

#include <cstdint>
#include <string_view>

#include "shading/models/vec3.h"

namespace orvik {

// Hash of an object's name that keys its random colour variation; the same name always
// gives the same variation. At most the first 255 characters count; an empty name hashes
// to 0x12345678.
std::uint32_t objectNameHash(std::string_view name);

// The random hue, saturation and value offsets of an object: three draws of the
// per-pixel generator started from the name hash, each in [0, 1).
struct ColourVariation {
    double hue = 0.5;
    double saturation = 0.5;
    double value = 0.5;
};
ColourVariation colourVariation(std::uint32_t nameHash);

// The surface settings of the colour part of the edge stage.
struct EdgeColourSettings {
    double hueShift = 0.0;  // degrees
    double hueSharpness = 0.5;
    double saturation = 1.0;
    double saturationSharpness = 0.5;
    double value = 1.0;
    double valueSharpness = 0.5;
    double hueVary = 0.0;  // random variation per object
    double saturationVary = 0.0;
    double valueVary = 0.0;
    double tint1 = 0.0;  // strength of edge tint 1
    Vec3 tint1Colour{200 / 255.0, 75 / 255.0, 30 / 255.0};
    double tint1Sharpness = 0.1;
    double tint2 = 0.0;
    Vec3 tint2Colour{110 / 255.0, 20 / 255.0, 200 / 255.0};
    double tint2Sharpness = 0.3;
};

// Whether the settings vary the colour per object (and so need the object's name hash).
bool edgeColourVaries(const EdgeColourSettings& settings);

// The colour after the edge stage's hue, saturation and value shifts, the object's
// random variation and the two edge tints (colour 2 first), at edge factor e. The HSV
// round trip is skipped when the settings leave hue, saturation and value alone.
Vec3 edgeColour(Vec3 colour, double e, const EdgeColourSettings& settings, std::uint32_t nameHash);

}  // namespace orvik
