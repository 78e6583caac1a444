// The module's own coloured shadow ray: light transmission through the
// transparent, coloured surfaces between a point and a light.
#pragma once

#include "sdk/shader.h"

namespace orvik {

inline constexpr int kMaxShadowSurfaces = 16;

// Casts from `from` towards `to` at `time` with the host's ray shading and
// multiplies the transmission of every shadow-casting surface crossed into
// `transmission` (each channel 0..1, starting from 1). Returns the number of
// surfaces counted. The access record is restored before returning; the
// calling thread's rayMode is 9 while the host shades along the path.
int coloredShadowRay(HostShaderAccess *sa, const double from[3], const double to[3], double time,
                     double transmission[3]);

}  // namespace orvik
