#pragma once

#include <optional>

#include "shading/models/vec3.h"

namespace orvik {

// Spot cone with a soft edge; c = -(forward . L), the cosine between the spot axis and the
// direction from the light to the point. 0 outside the cone, 1 inside its inner cone and
// a smoothstep (3 - 2t) t^2 across the edge.
double spotConeFactor(double c, double cosInner, double cosOuter);

// A projection image is usable when it is at least 1 x 1 and at most 9000 pixels wide.
bool projectionImageUsable(int width, int height);

struct PixelIndex {
    int column = 0;
    int row = 0;
};

// Pixel of a spot's projection image seen along L (unit vector from the point toward the
// light), with the light's right and up axes. None when the point lies outside the
// projected square or behind the light: it then receives no light.
std::optional<PixelIndex> spotProjectionPixel(Vec3 l, Vec3 forward, Vec3 right, Vec3 up, double cosOuter,
                                              int width, int height);

}  // namespace orvik
