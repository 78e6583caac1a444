#pragma once

#include <cstdint>
#include <span>

#include "shading/models/vec3.h"

namespace orvik {

// The surface settings that spread soft reflections.
struct GlossySpread {
    double spread = 0.0;               // soft reflection spread; 0.001 or less is a sharp mirror
    double viewAnisotropy = 0.5;       // stretch across the plane of view and normal
    double surfaceAnisotropy = 0.0;    // stretch along the surface direction
    double surfaceAngleDegrees = 0.0;  // angle of that direction
};

// Soft reflection ray set: out.size() unit directions around the mirror direction of v
// about nr, stretched by view and surface anisotropy and stratified: the first coordinate
// on an even grid offset by the seed and pass offset, the second on a golden-ratio sequence
// started from the seed. Directions below the unbumped surface n0 are mirrored back above it.
// angle is the sample's anisotropy reference angle (radians).
void glossyRays(const GlossySpread& settings, Vec3 v, Vec3 n0, Vec3 nr, double angle, std::uint32_t seed,
                double offset, std::span<Vec3> out);

// The most soft reflection rays a sample takes.
inline constexpr int kMaxReflectionRays = 512;

// n = trunc(q * 125 + 1) within [1, 512].
int reflectionRayCount(double q);

// Rays traced for soft reflections: one for a sharp mirror, else by the spread, quality,
// ray weight, mirror value, ray depth and the pixel filter's reflection factor (1 without).
int tracedReflectionRayCount(double spread, double quality, double rayWeight, double mirror, int bounces,
                             double reflectionFactor);

// Environment rays at render time: q = (spread + 0.2) quality / (bounces^2 + 1) * factor.
int environmentRayCount(double spread, double quality, int bounces, double reflectionFactor);

// Environment rays when a stored frame is re-shaded: q = (spread + 0.2) quality * 0.2.
int recomposedEnvironmentRayCount(double spread, double quality);

}  // namespace orvik
