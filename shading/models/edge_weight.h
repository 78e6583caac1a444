#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Edge factor of a view: e = 1 - c^2 with c the cosine between the view v and the edge
// normal (the unbumped normal mixed with the bumped one by bumpShare); 0 facing the
// viewer, 1 at the silhouette.
double edgeFactor(Vec3 normal0, Vec3 normal, double bumpShare, Vec3 v);

// Weight of an edge effect of sharpness s at edge factor e. A positive s grows the effect
// toward the silhouette, a negative one toward the centre of view; |s| <= 0.0001 is off (0).
double edgeWeight(double e, double sharpness);

// How an edge effect changes a channel; the values are those of the mode choice.
enum class EdgeMode { None = 0, Multiply = 1, Add = 2, Replace = 3 };

// The channel value a after an edge effect of weight w with the given value.
double applyEdgeMode(EdgeMode mode, double a, double w, double value);

// Bump scale of a sample: the edge bump boost blended in by the edge factor, times the
// bump boost (and the master's, which the caller multiplies into bump).
double edgeBumpScale(double e, double edgeBumpSharpness, double edgeBumpBoost, double bump);

}  // namespace orvik
