#pragma once

#include "shading/models/light_falloff.h"
#include "shading/models/vec3.h"

namespace orvik {

enum class LightType { Distant = 0, Point = 1, Spot = 2, Linear = 3, Area = 4 };

// Light flags as the host reports them.
inline constexpr unsigned kLightLimitedRange = 0x1u;
inline constexpr unsigned kLightNoDiffuse = 0x2u;
inline constexpr unsigned kLightNoSpecular = 0x4u;

// A light point nearer than this counts as this far away.
inline constexpr double kMinLightDistance = 1e-13;

// Read access to a spot light's projection image; pixel() returns linear RGB.
struct ProjectionImageView {
    int width = 0;
    int height = 0;
    const void* context = nullptr;
    Vec3 (*pixel)(const void* context, int column, int row) = nullptr;
};

// The geometry and emission of one light as sampling needs them. Points of a linear or
// area light are origin + u * edgeU + v * edgeV; other lights have zero edges.
struct LightGeometry {
    LightType type = LightType::Point;
    Vec3 origin;
    Vec3 edgeU, edgeV;
    double edgeULengthSquared = 0.0, edgeVLengthSquared = 0.0;
    Vec3 forward{0.0, 0.0, 1.0}, right{1.0, 0.0, 0.0}, up{0.0, 1.0, 0.0};
    Vec3 colour, shadowColour;
    double range = 1.0;                // at least 1e-6
    double minimumDistance = 1e-14;
    int falloff = 0;                   // LightFalloff kinds
    unsigned flags = 0;
    double cosInner = 1.0, cosOuter = 1.0;  // spot cone
    // A usable projection image, or null (an unusable one is dropped by the caller).
    const ProjectionImageView* projection = nullptr;
};

struct LightSample {
    Vec3 direction;     // unit vector from the point toward the light
    Vec3 colour;        // light arriving unshadowed
    Vec3 shadowColour;  // light arriving in full shadow
    double distance = 1.0;
};

// The light arriving at p from the light point (u, v): range limit, falloff, emitter
// shape, spot cone or projection image.
LightSample sampleLight(const LightGeometry& light, Vec3 p, double u, double v);

struct LightParameter {
    double u = 0.5;
    double v = 0.5;
};

// The point of the light nearest p: the projection onto each edge within [0, 1] for a
// linear (v = 0.5) or area light, the middle (0.5, 0.5) for any other.
LightParameter lightFootPoint(const LightGeometry& light, Vec3 p);

}  // namespace orvik
