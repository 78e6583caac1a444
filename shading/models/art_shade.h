#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// The art-mode settings of a surface.
struct ArtSettings {
    double rotate = 0.0;   // turns of the study image
    double squeeze = 0.0;  // 0 .. 1: shrinks the used disc toward the centre
};

// A study-sphere image is used only when it is 4 .. 4100 pixels in each direction.
bool artImageUsable(int width, int height);

// A study image whose first pixel has red outside 0 .. 1000 is not an image of colours.
bool artImagePlausible(double firstRed);

// Where a sample reads the study image: four pixels and their bilinear weights, in the
// order (x0, y0), (x1, y0), (x0, y1), (x1, y1). Every index lies inside the image.
struct ArtLookup {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    double weights[4] = {1.0, 0.0, 0.0, 0.0};
};

// The study sphere seen as the viewer sees the sample: the shading normal (the unbumped
// normal with the bump scaled by bumpScale, turned toward the viewer) is projected on the
// view's horizontal right vector and on the world up axis, rotated and squeezed, and
// mapped onto an image of width x height (which must be usable).
ArtLookup artLookup(Vec3 normal0, Vec3 normal, double bumpScale, Vec3 v, const ArtSettings& settings, int width,
                    int height);

}  // namespace orvik
