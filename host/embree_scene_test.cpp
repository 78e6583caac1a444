#include "host/embree_scene.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <thread>

#include "host/raytrace_primitives.h"

namespace orvik::host {
namespace {

TriangleMesh unitQuadAtZ(float z) {
  TriangleMesh m;
  m.positions = {{-1, -1, z}, {1, -1, z}, {1, 1, z}, {-1, 1, z}};
  m.normals = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
  m.triangles = {{0, 1, 2}, {0, 2, 3}};
  return m;
}

TEST(EmbreeScene, ClosestHitReportsDistanceIdsAndBarycentrics) {
  EmbreeScene scene;
  const uint32_t far = scene.addTriangleMesh(unitQuadAtZ(5.0f));
  const uint32_t near = scene.addTriangleMesh(unitQuadAtZ(2.0f));
  scene.commit();
  EXPECT_EQ(far, 0u);
  EXPECT_EQ(near, 1u);

  const RayHit hit = scene.intersect({0.5, -0.25, 0}, {0, 0, 1}, 0.0, 1e30);
  ASSERT_TRUE(hit.hit);
  EXPECT_NEAR(hit.distance, 2.0, 1e-5);
  EXPECT_EQ(hit.geometryId, near);
  // (0.5, -0.25) lies in triangle 0 (below the diagonal x = y).
  EXPECT_EQ(hit.primitiveId, 0u);
  // The face normal follows the winding, whichever side the ray comes from.
  EXPECT_GT(hit.geometricNormal[2], 0.0);
  EXPECT_GT(scene.intersect({0.5, -0.25, 9}, {0, 0, -1}, 0.0, 1e30).geometricNormal[2], 0.0);
  // Barycentrics reproduce the hit point from the triangle's vertices.
  const auto v = scene.triangleVertices(hit.geometryId, hit.primitiveId);
  const double w0 = 1.0 - hit.u - hit.v;
  EXPECT_NEAR(w0 * v[0][0] + hit.u * v[1][0] + hit.v * v[2][0], 0.5, 1e-5);
  EXPECT_NEAR(w0 * v[0][1] + hit.u * v[1][1] + hit.v * v[2][1], -0.25, 1e-5);

  // The ray interval is honoured: starting past the near quad finds the far one.
  const RayHit second = scene.intersect({0.5, -0.25, 0}, {0, 0, 1}, 3.0, 1e30);
  ASSERT_TRUE(second.hit);
  EXPECT_EQ(second.geometryId, far);
  EXPECT_FALSE(scene.intersect({0.5, -0.25, 0}, {0, 0, 1}, 0.0, 1.5).hit);
  EXPECT_FALSE(scene.intersect({0.5, -0.25, 0}, {0, 0, -1}, 0.0, 1e30).hit);
}

TEST(EmbreeScene, OcclusionRespectsTheSegment) {
  EmbreeScene scene;
  scene.addTriangleMesh(unitQuadAtZ(2.0f));
  scene.commit();
  EXPECT_TRUE(scene.occluded({0, 0, 0}, {0, 0, 1}, 0.0, 10.0));
  EXPECT_FALSE(scene.occluded({0, 0, 0}, {0, 0, 1}, 0.0, 1.9));  // light before the wall
  EXPECT_FALSE(scene.occluded({3, 0, 0}, {0, 0, 1}, 0.0, 10.0));  // beside it
}

TEST(EmbreeScene, NothingIsFoundBeforeCommitAndBadMeshesAreRefused) {
  EmbreeScene scene;
  scene.addTriangleMesh(unitQuadAtZ(2.0f));
  EXPECT_FALSE(scene.intersect({0, 0, 0}, {0, 0, 1}, 0, 1e30).hit);

  TriangleMesh bad = unitQuadAtZ(1.0f);
  bad.triangles.push_back({0, 1, 7});
  try {
    scene.addTriangleMesh(bad);
    FAIL() << "a triangle past the vertex list was accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("triangle 2"), std::string::npos) << e.what();
  }
  TriangleMesh fewNormals = unitQuadAtZ(1.0f);
  fewNormals.normals.pop_back();
  EXPECT_THROW(scene.addTriangleMesh(fewNormals), std::invalid_argument);
}

TEST(EmbreeScene, SmoothNormalsAndTextureCoordinatesInterpolate) {
  EmbreeScene scene;
  const uint32_t id = scene.addTriangleMesh(tessellateSphere(1.0, 64, 32));
  scene.commit();
  // On a finely tessellated sphere the smooth normal at a hit is close to
  // the direction from the centre.
  for (const auto& dir : {std::array<double, 3>{1, 0.2, 0.1}, {-0.3, 1, 0.5}, {0.1, -0.4, -1}}) {
    const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
    const std::array<double, 3> d{dir[0] / len, dir[1] / len, dir[2] / len};
    const RayHit hit = scene.intersect({0, 0, 0}, d, 0.0, 1e30);
    ASSERT_TRUE(hit.hit);
    EXPECT_EQ(hit.geometryId, id);
    const auto n = scene.shadingNormal(hit);
    EXPECT_GT(n[0] * d[0] + n[1] * d[1] + n[2] * d[2], 0.999);
  }
  const RayHit top = scene.intersect({0.01, 5, 0.01}, {0, -1, 0}, 0.0, 1e30);
  ASSERT_TRUE(top.hit);
  EXPECT_GT(scene.textureCoordinates(top)[1], 0.95);  // v runs to 1 at the north pole
}

TEST(EmbreeScene, ConcurrentQueriesAgree) {
  EmbreeScene scene;
  scene.addTriangleMesh(tessellateTorus(2.0, 0.5));
  scene.commit();
  auto sweep = [&scene](double* sum) {
    enableFastFloatMode();
    for (int i = 0; i < 2000; ++i) {
      const double a = i * 0.0031415;
      const RayHit hit = scene.intersect({0, 0.1, 0}, {std::cos(a), 0, std::sin(a)}, 0, 1e30);
      *sum += hit.hit ? hit.distance : 0.0;
    }
  };
  double s1 = 0, s2 = 0, reference = 0;
  sweep(&reference);
  std::thread a(sweep, &s1), b(sweep, &s2);
  a.join();
  b.join();
  EXPECT_EQ(s1, reference);
  EXPECT_EQ(s2, reference);
}

TEST(EmbreeScene, FastFloatModeFlushesDenormals) {
  std::thread([] {
    enableFastFloatMode();
    EXPECT_EQ(_mm_getcsr() & 0x8040u, 0x8040u);  // FTZ and DAZ bits
  }).join();
}

}  // namespace
}  // namespace orvik::host
