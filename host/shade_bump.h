// Bump textures of the host's surfaces: the perturbed normal and the bump
// height at a sample.
#pragma once

#include "host/image_io.h"
#include "host/scene.h"

namespace orvik::host {

// Smooth gradient noise in [-1, 1] (deterministic, no state).
double gradientNoise(const Vec3& p);

struct BumpResult {
  Vec3 normal;          // world-space unit normal after bump
  double height = 0.0;  // bump height at the sample
};

// Bumps the world normal `n` at object-space position `objectPos`.
// `toWorld` turns object-space directions into world space; `image` is the
// loaded bump image or null. A surface without a bump texture returns `n`.
BumpResult applyBump(const Surface& surface, const ImageBuffer* image, const Vec3& objectPos,
                     const Affine& toWorld, const Vec3& n);

}  // namespace orvik::host
