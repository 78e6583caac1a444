#pragma once

#include <array>

#include "shading/models/vec3.h"

namespace orvik {

// Position (in pixels) of direction d on a latitude-longitude reflection image of
// width x height, with the image's seam turned by seamAngle (radians) about the up axis.
struct MapPosition {
    double x = 0.0;
    double y = 0.0;
};
MapPosition sphericalMapPosition(Vec3 d, double seamAngle, int width, int height);

// Blur radius in pixels of the five-tap filter for the host's blurring amount.
double sphericalBlurRadius(int width, int height, double blurring);

struct MapTap {
    int column = 0;
    int row = 0;
    double weight = 0.0;  // the five weights add up to 1
};

// The five taps around p: the centre with weight 2/6 and four offsets of (2r, r) turned by
// quarter turns with weight 1/6 each. jitter holds ten values in (0, 1), two per tap,
// that dither each tap by up to half a pixel. Columns wrap around the image, rows stop at
// its edges, so every tap lies inside it. An empty image gives five taps of weight 0.
std::array<MapTap, 5> sphericalMapTaps(MapPosition p, double radius, const std::array<double, 10>& jitter, int width,
                                       int height);

}  // namespace orvik
