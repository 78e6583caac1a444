#include "shading/models/light_sample.h"

#include "shading/models/area_light_sampling.h"
#include "shading/models/light_falloff.h"
#include "shading/models/spot_light.h"

namespace orvik {

LightSample sampleLight(const LightGeometry& light, Vec3 p, double u, double v) {
    LightSample s;
    s.colour = light.colour;
    s.shadowColour = light.shadowColour;
    if (light.type == LightType::Distant) {
        s.direction = -light.forward;
        return s;
    }

    const Vec3 toLight = light.origin + light.edgeU * u + light.edgeV * v - p;
    const double len = length(toLight);
    s.distance = len < kMinLightDistance ? kMinLightDistance : len;
    s.direction = len < kMinLightDistance ? normalize(toLight) : toLight / len;

    double k = 1.0;
    if (light.flags & kLightLimitedRange) k *= rangeFactor(s.distance, light.range);
    k *= falloffFactor(light.falloff, s.distance, light.range, light.minimumDistance);
    const double forwardDotL = dot(light.forward, s.direction);
    if (light.type == LightType::Area) k *= areaEmitterFactor(forwardDotL);
    if (light.type == LightType::Linear) k *= linearEmitterFactor(forwardDotL);
    s.colour *= k;
    s.shadowColour *= k;
    if (light.type != LightType::Spot) return s;

    const ProjectionImageView* image = light.projection;
    if (image && image->pixel && projectionImageUsable(image->width, image->height)) {
        const auto pixel = spotProjectionPixel(s.direction, light.forward, light.right, light.up, light.cosOuter,
                                               image->width, image->height);
        if (!pixel) {
            s.colour = s.shadowColour = Vec3{};
            return s;
        }
        s.colour *= image->pixel(image->context, pixel->column, pixel->row);
        return s;
    }
    const double cone = spotConeFactor(-forwardDotL, light.cosInner, light.cosOuter);
    s.colour *= cone;
    s.shadowColour *= cone;
    return s;
}

LightParameter lightFootPoint(const LightGeometry& light, Vec3 p) {
    LightParameter f;
    if (light.type == LightType::Linear || light.type == LightType::Area) {
        f.u = edgeParameter(p, light.origin, light.edgeU, light.edgeULengthSquared);
    }
    if (light.type == LightType::Area) {
        f.v = edgeParameter(p, light.origin, light.edgeV, light.edgeVLengthSquared);
    }
    return f;
}

}  // namespace orvik
