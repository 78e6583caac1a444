// Triangle meshes of the host's built-in primitives, centred on the origin
// in object space, with outward unit normals and texture coordinates.
#pragma once

#include "host/embree_scene.h"

namespace orvik::host {

// Sphere of the given radius; `segments` around the Y axis (at least 3),
// `rings` from pole to pole (at least 2).
TriangleMesh tessellateSphere(double radius, int segments = 48, int rings = 24);

// Axis-aligned box with the given full extents along X, Y and Z. Each face
// has its own four vertices so that the edges stay sharp.
TriangleMesh tessellateBox(double sizeX, double sizeY, double sizeZ);

// Plane in the XZ plane facing +Y, sizeX by sizeZ, split into
// `divisions` x `divisions` quads (at least 1).
TriangleMesh tessellatePlane(double sizeX, double sizeZ, int divisions = 1);

// Torus around the Y axis: ring radius `majorRadius`, tube radius
// `minorRadius`; `segments` around the ring, `sides` around the tube.
TriangleMesh tessellateTorus(double majorRadius, double minorRadius, int segments = 64,
                             int sides = 24);

}  // namespace orvik::host
