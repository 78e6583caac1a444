// How many rays a render sent, by kind (orvik render --stats).
#pragma once

#include <cstdint>

namespace orvik::host {

// Rays one render thread sent, by kind.
struct RayCounts {
  uint64_t camera = 0;  // primary rays
  uint64_t traced = 0;  // rayTrace: reflection, refraction and other shaded rays
  uint64_t cast = 0;    // rayCast: distance-only rays (the module's shadow and thickness rays)
  uint64_t shade = 0;   // rayShade
  uint64_t shadow = 0;  // the host's own shadow rays (illuminate and plain shading)
  uint64_t total() const { return camera + traced + cast + shade + shadow; }
  RayCounts& operator+=(const RayCounts& o) {
    camera += o.camera, traced += o.traced, cast += o.cast, shade += o.shade, shadow += o.shadow;
    return *this;
  }
};

}  // namespace orvik::host
