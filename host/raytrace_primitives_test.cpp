#include "host/raytrace_primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "host/sampling.h"

namespace orvik::host {
namespace {

using V = std::array<double, 3>;

V sub(const Vec3f& a, const Vec3f& b) { return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]}; }
V crossV(const V& a, const V& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Every triangle's winding (v1 - v0) x (v2 - v0) must agree with the vertex
// normals, or the back-face test and the hit normals turn inside out.
void expectWindingFollowsNormals(const TriangleMesh& m, const char* what) {
  ASSERT_EQ(m.normals.size(), m.positions.size()) << what;
  ASSERT_EQ(m.uvs.size(), m.positions.size()) << what;
  int bad = 0;
  for (const auto& t : m.triangles) {
    const V face = crossV(sub(m.positions[t[1]], m.positions[t[0]]),
                          sub(m.positions[t[2]], m.positions[t[0]]));
    const double area2 = std::sqrt(face[0] * face[0] + face[1] * face[1] + face[2] * face[2]);
    EXPECT_GT(area2, 0.0) << what << ": degenerate triangle";
    V n{0, 0, 0};
    for (uint32_t i : t)
      for (int k = 0; k < 3; ++k) n[k] += m.normals[i][k];
    if (face[0] * n[0] + face[1] * n[1] + face[2] * n[2] <= 0.0) ++bad;
    for (uint32_t i : t) {
      const auto& nn = m.normals[i];
      EXPECT_NEAR(nn[0] * nn[0] + nn[1] * nn[1] + nn[2] * nn[2], 1.0, 1e-5) << what;
    }
  }
  EXPECT_EQ(bad, 0) << what << ": triangles wound against their normals";
}

TEST(Primitives, WindingAgreesWithOutwardNormals) {
  expectWindingFollowsNormals(tessellateSphere(1.5, 12, 7), "sphere");
  expectWindingFollowsNormals(tessellateBox(1, 2, 3), "box");
  expectWindingFollowsNormals(tessellatePlane(4, 2, 3), "plane");
  expectWindingFollowsNormals(tessellateTorus(2, 0.5, 9, 5), "torus");
}

// Rays from a point inside a closed primitive must all hit it: a gap in the
// tessellation lets light leak through.
void expectClosed(const TriangleMesh& m, const V& inside,
                  const std::function<double(const V&)>& expectedDistance, const char* what) {
  EmbreeScene scene;
  scene.addTriangleMesh(m);
  scene.commit();
  SampleRandom random(7);
  for (int i = 0; i < 4000; ++i) {
    const double z = 2.0 * random.next() - 1.0, phi = 6.283185307179586 * random.next();
    const double r = std::sqrt(1.0 - z * z);
    const V d{r * std::cos(phi), r * std::sin(phi), z};
    const RayHit hit = scene.intersect(inside, d, 0.0, 1e30);
    ASSERT_TRUE(hit.hit) << what << ": ray " << i << " escaped";
    if (expectedDistance) {
      EXPECT_NEAR(hit.distance, expectedDistance(d), 0.02) << what;
    }
  }
}

TEST(Primitives, ClosedShapesHaveNoGaps) {
  expectClosed(tessellateSphere(2.0), {0, 0, 0}, [](const V&) { return 2.0; }, "sphere");
  expectClosed(tessellateBox(2, 4, 6), {0, 0, 0},
               [](const V& d) {
                 return std::min({1.0 / std::abs(d[0]), 2.0 / std::abs(d[1]), 3.0 / std::abs(d[2])});
               },
               "box");
  // Inside the tube of the torus, on its ring.
  expectClosed(tessellateTorus(2.0, 0.5), {2.0, 0, 0}, nullptr, "torus");
}

TEST(Primitives, SizesAndFacingMatchTheirParameters) {
  const TriangleMesh plane = tessellatePlane(4, 2);
  for (const auto& p : plane.positions) {
    EXPECT_FLOAT_EQ(std::abs(p[0]), 2.0f);
    EXPECT_FLOAT_EQ(p[1], 0.0f);
    EXPECT_FLOAT_EQ(std::abs(p[2]), 1.0f);
  }
  EXPECT_FLOAT_EQ(plane.normals[0][1], 1.0f);  // faces +Y
  // Degenerate parameters are raised to the smallest usable mesh.
  EXPECT_FALSE(tessellateSphere(1.0, 0, 0).triangles.empty());
  EXPECT_FALSE(tessellateTorus(1.0, 0.2, 1, 1).triangles.empty());
}

}  // namespace
}  // namespace orvik::host
