// Triangle-mesh ray queries for the reference host. Every call into the ray
// tracing library lives in embree_scene.cpp, so that moving to another
// version of the library touches one file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvik::host {

using Vec3f = std::array<float, 3>;

// One triangle mesh in world space. `normals` is empty or holds one normal
// per vertex; `uvs` is empty or holds one (u, v) pair per vertex.
struct TriangleMesh {
  std::vector<Vec3f> positions;
  std::vector<Vec3f> normals;
  std::vector<std::array<float, 2>> uvs;
  std::vector<std::array<uint32_t, 3>> triangles;
};

// Result of a ray query. `geometryId` is the id addTriangleMesh returned,
// `primitiveId` the triangle index inside that mesh, (u, v) the barycentric
// coordinates of the hit relative to vertices 1 and 2 of the triangle.
struct RayHit {
  bool hit = false;
  double distance = 0.0;
  uint32_t geometryId = 0;
  uint32_t primitiveId = 0;
  double u = 0.0, v = 0.0;
  // Face normal (v1 - v0) x (v2 - v0) of the hit triangle, unnormalised;
  // it does not depend on the side the ray came from.
  std::array<double, 3> geometricNormal{0.0, 1.0, 0.0};
};

// Sets flush-to-zero and denormals-are-zero on the calling thread. The ray
// traversal is several times slower on denormal inputs; every thread that
// traces calls this once.
void enableFastFloatMode();

class EmbreeScene {
 public:
  EmbreeScene();
  ~EmbreeScene();
  EmbreeScene(const EmbreeScene&) = delete;
  EmbreeScene& operator=(const EmbreeScene&) = delete;

  // Adds a mesh (copied) and returns its geometry id, counted from 0 in the
  // order of the calls. A mesh whose indices point past its vertices is
  // rejected with an exception naming the bad triangle.
  uint32_t addTriangleMesh(const TriangleMesh& mesh);

  // Builds the acceleration structure. Queries before commit() find nothing.
  void commit();
  bool committed() const { return committed_; }

  // Closest hit along origin + t * direction with tNear <= t <= tFar.
  // Without `withNormal` the hit's geometricNormal is left at its default:
  // queries that want only the distance skip reading the triangle.
  // Thread-safe after commit().
  RayHit intersect(const std::array<double, 3>& origin, const std::array<double, 3>& direction,
                   double tNear, double tFar, bool withNormal = true) const;

  // True when anything lies between tNear and tFar along the ray.
  bool occluded(const std::array<double, 3>& origin, const std::array<double, 3>& direction,
                double tNear, double tFar) const;

  // Smooth normal at a hit (barycentric blend of the vertex normals),
  // normalised; the geometric normal when the mesh has no vertex normals.
  std::array<double, 3> shadingNormal(const RayHit& hit) const;
  // Texture coordinates at a hit, (0, 0) when the mesh has none.
  std::array<double, 2> textureCoordinates(const RayHit& hit) const;
  // World positions of the three vertices of the hit triangle.
  std::array<std::array<double, 3>, 3> triangleVertices(uint32_t geometryId,
                                                        uint32_t primitiveId) const;

  size_t meshCount() const { return meshes_.size(); }
  const TriangleMesh& mesh(uint32_t geometryId) const { return meshes_.at(geometryId); }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::vector<TriangleMesh> meshes_;
  bool committed_ = false;
};

}  // namespace orvik::host
