#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

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

// Room for n reflection directions (1 .. kMaxReflectionRays): on the stack for the
// usual few, on the heap beyond, so that a sample never clears room for 512.
class ReflectionDirections {
 public:
    explicit ReflectionDirections(int n) : n_(std::clamp(n, 1, kMaxReflectionRays)) {
        if (n_ > kInline) heap_.resize(std::size_t(n_));
    }
    std::span<Vec3> all() { return {n_ > kInline ? heap_.data() : inline_.data(), std::size_t(n_)}; }
    Vec3& operator[](int i) { return all()[std::size_t(i)]; }

 private:
    static constexpr int kInline = 16;
    int n_;
    std::array<Vec3, kInline> inline_;
    std::vector<Vec3> heap_;
};

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
