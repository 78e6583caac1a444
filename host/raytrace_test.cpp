#include "host/raytrace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "host/render_test_scenes.h"
#include "host/shade_lights.h"

namespace orvik::host {
namespace {

using namespace orvik::host::testing;

double brightness(const Color& c) { return c.x + c.y + c.z; }

// Colour the camera-less tracer sees looking straight down at (x, z).
Color lookDown(const Raytracer& tracer, double x, double z, double height = 3.0) {
  Raytracer::Thread th = tracer.makeThread();
  return tracer.tracePrimary(th, {x, height, z}, {0, -1, 0}).color;
}

TEST(RaytraceLighting, ALitPointIsBrighterThanAShadowedOne) {
  Scene scene = floorScene();
  addPrimitive(scene, "Blocker", PrimitiveKind::Box, {0, 1, 0}, matte({1, 1, 1}), {0.6, 0.1, 0.6});
  addPointLight(scene, {0, 2, 0});
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, nullptr, kNoItem);
  // Under the box (seen from just above the floor, below the box).
  const double shadowed = brightness(lookDown(tracer, 0.0, 0.0, 0.5));
  const double lit = brightness(lookDown(tracer, 1.2, 0.0, 0.5));
  EXPECT_GT(lit, 0.05);
  EXPECT_LT(shadowed, 1e-6);

  // With ray-traced shadows off, the same point is lit.
  scene.render.rayTraceShadows = false;
  RaytraceScene unshadowed(scene, 0.0);
  Raytracer tracer2(unshadowed, nullptr, kNoItem);
  EXPECT_GT(brightness(lookDown(tracer2, 0.0, 0.0, 0.5)), 0.05);
}

TEST(RaytraceLighting, TransparentCastersLetTheirShareOfLightThrough) {
  Scene scene = floorScene();
  Surface glass = matte({1, 1, 1});
  glass.transparency = 0.5;
  addPrimitive(scene, "Pane", PrimitiveKind::Box, {0, 1, 0}, glass, {0.6, 0.1, 0.6});
  addPointLight(scene, {0, 2, 0});
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, nullptr, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  Vec3 dir;
  Color through, open;
  tracer.illuminate(th, toHostId(world.lights()[0].id), {0, 0, 0}, dir, through);
  tracer.illuminate(th, toHostId(world.lights()[0].id), {1.5, 0, 0}, dir, open);
  // Two faces of the box at 0.5 each: a quarter, against an unblocked light
  // further away (distance 2 against 2.5 without falloff: same colour).
  EXPECT_NEAR(through.x / open.x, 0.25, 1e-9);
  // A filter colour tints what passes.
  scene.objects[1].surfaces[0].color = {1, 0, 0};
  scene.objects[1].surfaces[0].colorFilter = 1.0;
  RaytraceScene tinted(scene, 0.0);
  Raytracer tracer2(tinted, nullptr, kNoItem);
  Raytracer::Thread th2 = tracer2.makeThread();
  tracer2.illuminate(th2, toHostId(tinted.lights()[0].id), {0, 0, 0}, dir, through);
  EXPECT_GT(through.x, 0.2);
  EXPECT_EQ(through.y, 0.0);
}

TEST(RaytraceLighting, IntensityFollowsTheChosenFalloffLaw) {
  struct Case {
    Falloff falloff;
    double (*law)(double d, double range);
  };
  const Case cases[] = {
      {Falloff::Off, [](double, double) { return 1.0; }},
      {Falloff::Linear, [](double d, double r) { return d < r ? 1.0 - d / r : 0.0; }},
      {Falloff::InverseDistance, [](double d, double r) { return r / d; }},
      {Falloff::InverseDistanceSquared, [](double d, double r) { return r * r / (d * d); }},
  };
  for (const Case& c : cases) {
    Scene scene = floorScene();
    addPointLight(scene, {0, 1, 0}, 2.0, c.falloff, 3.0);
    RaytraceScene world(scene, 0.0);
    Raytracer tracer(world, nullptr, kNoItem);
    Raytracer::Thread th = tracer.makeThread();
    for (double d : {0.5, 1.0, 2.0, 2.9, 4.0}) {
      Vec3 dir;
      Color color;
      // Points straight below the light (the floor is only in the way past d = 1).
      tracer.illuminate(th, toHostId(world.lights()[0].id), {0, 1 - d, 0}, dir, color);
      if (d > 1.0) continue;  // below the floor: shadowed
      EXPECT_NEAR(color.x, 2.0 * c.law(d, 3.0), 1e-9) << int(c.falloff) << " at " << d;
      EXPECT_NEAR(dir.y, 1.0, 1e-12);
    }
    // The law itself, past the floor.
    for (double d : {2.0, 2.9, 4.0})
      EXPECT_NEAR(falloffFactor(scene.lights[0], d), c.law(d, 3.0), 1e-12) << int(c.falloff);
  }
}

TEST(RaytraceLighting, SpotConeAndAreaLightsShapeTheLight) {
  Light spot;
  spot.coneAngle = 30.0;
  spot.edgeAngle = 10.0;
  EXPECT_EQ(spotFactor(spot, std::cos(degreesToRadians(31.0))), 0.0);
  EXPECT_EQ(spotFactor(spot, std::cos(degreesToRadians(19.0))), 1.0);
  const double mid = spotFactor(spot, std::cos(degreesToRadians(25.0)));
  EXPECT_GT(mid, 0.2);
  EXPECT_LT(mid, 0.8);

  // An area light facing down lights a point below it more than one off to
  // the side at the same distance, and its shadow has a soft edge.
  Scene scene = floorScene();
  Light area;
  area.type = LightType::Area;
  area.width = area.height = 1.0;
  area.quality = 4;
  area.motion.setKey(placeAt({0, 2, 0}, {0, 90, 0}));
  scene.addLight(area);
  addPrimitive(scene, "Blocker", PrimitiveKind::Box, {0, 1, 0}, matte({1, 1, 1}), {1, 0.1, 1});
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, nullptr, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  Vec3 dir;
  Color umbra, penumbra, open;
  const HostItemId id = toHostId(world.lights()[0].id);
  tracer.illuminate(th, id, {0, 0, 0}, dir, umbra);
  tracer.illuminate(th, id, {1.0, 0, 0}, dir, penumbra);
  tracer.illuminate(th, id, {1.8, 0, 0}, dir, open);
  EXPECT_EQ(brightness(umbra), 0.0);
  EXPECT_GT(brightness(penumbra), 0.0);
  EXPECT_GT(brightness(open), brightness(penumbra));
}

TEST(RaytraceReflection, AMirrorShowsTheObjectInFrontOfIt) {
  Scene scene = floorScene();
  scene.objects[0].surfaces[0].reflection = 1.0;
  scene.objects[0].surfaces[0].reflectionOptions = 1;  // ray traced
  scene.objects[0].surfaces[0].color = {1, 1, 1};
  Surface red = matte({1, 0, 0});
  red.luminosity = 1.0;
  red.diffuse = 0.0;
  addPrimitive(scene, "Ball", PrimitiveKind::Sphere, {0, 1, 0}, red, {1, 1, 1}, 0.4);
  scene.backdrop.color = {0, 0, 0.2};
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, nullptr, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  // From (0, 1, -3) towards the floor at z = -1.5: the bounce meets the ball.
  const Color seen = tracer.tracePrimary(th, {0, 1, -3}, normalize(Vec3{0, -1, 1.5})).color;
  EXPECT_GT(seen.x, 0.9);
  EXPECT_LT(seen.y, 0.05);
  // A bounce that misses the ball shows the backdrop.
  const Color beside = tracer.tracePrimary(th, {2, 1, -3}, normalize(Vec3{0, -1, 1.5})).color;
  EXPECT_LT(beside.x, 0.05);
  EXPECT_NEAR(beside.z, 0.2, 1e-6);

  // Without ray-traced reflection the mirror shows the backdrop only.
  scene.render.rayTraceReflection = false;
  RaytraceScene flat(scene, 0.0);
  Raytracer tracer2(flat, nullptr, kNoItem);
  Raytracer::Thread th2 = tracer2.makeThread();
  EXPECT_LT(tracer2.tracePrimary(th2, {0, 1, -3}, normalize(Vec3{0, -1, 1.5})).color.x, 0.05);
}

TEST(RaytraceRefraction, GlassBendsTheViewAndBounceLimitsHold) {
  Scene scene = floorScene();
  scene.backdrop.color = {0, 0, 0};
  // A luminous stripe on the floor off to the side; a glass ball above the
  // centre. Looking down through the ball's edge, refraction bends the view.
  Surface glass = matte({1, 1, 1});
  glass.diffuse = 0.0;
  glass.transparency = 1.0;
  glass.refractionIndex = 1.5;
  addPrimitive(scene, "Glass", PrimitiveKind::Sphere, {0, 1, 0}, glass, {1, 1, 1}, 0.5);
  scene.objects[0].surfaces[0].luminosity = 1.0;
  scene.objects[0].surfaces[0].diffuse = 0.0;
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, nullptr, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  // Straight through the centre: the floor (luminous grey).
  EXPECT_NEAR(tracer.tracePrimary(th, {0, 3, 0}, {0, -1, 0}).color.x, 0.8, 1e-6);
  // With no bounces allowed the glass shows only the backdrop behind it.
  scene.render.rayRecursionLimit = 0;
  RaytraceScene limited(scene, 0.0);
  Raytracer tracer0(limited, nullptr, kNoItem);
  Raytracer::Thread th0 = tracer0.makeThread();
  EXPECT_NEAR(tracer0.tracePrimary(th0, {0, 3, 0}, {0, -1, 0}).color.x, 0.0, 1e-9);
  // rayTrace itself reports a miss at the limit.
  Color c;
  EXPECT_LT(tracer0.trace(th0, {0, 3, 0}, {0, -1, 0}, c), 0.0);
}

TEST(RaytraceRadiosity, GatherIsZeroWhenOffAndAddsBounceLightWhenOn) {
  Scene scene = floorScene();
  scene.ambientIntensity = 0.1;
  scene.ambientColor = {1, 1, 1};
  // A bright luminous ceiling above the floor.
  Surface ceiling = matte({1, 1, 1});
  ceiling.luminosity = 1.0;
  Object o;
  o.name = "Ceiling";
  o.primitive.kind = PrimitiveKind::Plane;
  o.primitive.size = {40, 1, 40};
  o.surfaces.push_back(ceiling);
  o.motion.setKey(placeAt({0, 1, 0}, {0, 180, 0}));  // turned to face down
  scene.addObject(o);
  auto gather = [&](bool on) {
    scene.render.radiosity = on;
    RaytraceScene world(scene, 0.0);
    Raytracer tracer(world, nullptr, kNoItem);
    Raytracer::Thread th = tracer.makeThread();
    Vec3 normal{0, 1, 0};
    Color c;
    tracer.illuminate(th, reinterpret_cast<HostItemId>(HOST_ILLUMINATE_RADIOSITY), {0, 0, 0}, normal, c);
    Vec3 n2{0, 1, 0};
    Color caustics{9, 9, 9};
    tracer.illuminate(th, reinterpret_cast<HostItemId>(HOST_ILLUMINATE_CAUSTICS), {0, 0, 0}, n2, caustics);
    EXPECT_EQ(brightness(caustics), 0.0);
    return c;
  };
  // Off: exactly the ambient light, so radiosity minus ambient adds nothing.
  const Color off = gather(false);
  EXPECT_EQ(off.x, 0.1);
  // On: the ceiling fills nearly the whole hemisphere; it sends its
  // luminosity 1 plus the ambient light it reflects (0.1).
  const Color on = gather(true);
  EXPECT_GT(on.x, 0.1 + 0.9);
  EXPECT_LT(on.x, 0.1 + 1.1 + 1e-9);
}

}  // namespace
}  // namespace orvik::host

namespace orvik::host {
namespace {

using namespace orvik::host::testing;

TEST(RaytracePlainShading, HighlightsNarrowWithGlossiness) {
  // Highlight seen near the mirror direction against one seen 60 degrees off.
  auto highlight = [](double glossiness, const Vec3& eye) {
    Scene scene = floorScene();
    Surface& s = scene.objects[0].surfaces[0];
    s.diffuse = 0.0;
    s.specular = 1.0;
    s.glossiness = glossiness;
    addPointLight(scene, {0, 2, 0});
    RaytraceScene world(scene, 0.0);
    Raytracer tracer(world, nullptr, kNoItem);
    Raytracer::Thread th = tracer.makeThread();
    return tracer.tracePrimary(th, eye, normalize(Vec3{0, 0, 0} - eye)).color.x;
  };
  const Vec3 nearMirror{0.05, 2, 0}, off{2, 1.1547, 0};
  for (double g : {0.2, 0.5}) EXPECT_GT(highlight(g, nearMirror), 5.0 * highlight(g, off)) << g;
  EXPECT_LT(highlight(0.5, off) / highlight(0.5, nearMirror), highlight(0.2, off) / highlight(0.2, nearMirror));
}

TEST(RaytracePlainShading, AReflectionImageWrapsTheWorldWhereRaysFindNothing) {
  const std::string file = ::testing::TempDir() + "orvik_reflection_image.exr";
  ImageBuffer sky(1, 2);  // top row red, bottom row blue
  sky.at(0, 0)[0] = 1.0f;
  sky.at(0, 1)[2] = 1.0f;
  std::string error;
  ASSERT_TRUE(writeImage(file, sky, error)) << error;
  Scene scene = floorScene();
  scene.images.push_back({"sky", file});
  Surface& s = scene.objects[0].surfaces[0];
  s.diffuse = 0.0;
  s.reflection = 1.0;
  s.color = {1, 1, 1};
  s.reflectionImage = 0;
  for (int options : {2, 3}) {
    s.reflectionOptions = options;
    RaytraceScene world(scene, 0.0);
    ASSERT_TRUE(world.imageErrors().empty()) << world.imageErrors().front();
    Raytracer tracer(world, nullptr, kNoItem);
    Raytracer::Thread th = tracer.makeThread();
    // Looking straight down the reflection goes straight up: the top row.
    const Color c = tracer.tracePrimary(th, {0, 2, 0}, {0, -1, 0}).color;
    EXPECT_NEAR(c.x, 1.0, 1e-6) << options;
    EXPECT_NEAR(c.z, 0.0, 1e-6) << options;
  }
  // Without the image option the backdrop shows.
  s.reflectionOptions = 1;
  scene.backdrop.color = {0, 0.5, 0};
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, nullptr, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  EXPECT_NEAR(tracer.tracePrimary(th, {0, 2, 0}, {0, -1, 0}).color.y, 0.5, 1e-6);
  std::remove(file.c_str());
}

}  // namespace
}  // namespace orvik::host

namespace orvik::host {
namespace {

TEST(RaytraceScene, SmoothingFollowsTheSurface) {
  Mesh mesh;  // two triangles folded 90 degrees along the Z axis
  mesh.positions = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
  mesh.triangles = {Triangle{{0, 1, 2}, 0}, Triangle{{0, 3, 1}, 0}};
  Surface s;
  s.smoothingAngle = 89.5;
  auto normals = cornerNormals(mesh, {s});
  // Across a 90 degree fold with an 89.5 degree limit: no smoothing.
  EXPECT_FLOAT_EQ(normals[0][0][1], normals[0][2][1]);
  s.smoothingAngle = 91.0;
  normals = cornerNormals(mesh, {s});
  EXPECT_NEAR(normals[0][0][0], normals[1][0][0], 1e-6);  // the shared corner agrees
  EXPECT_NEAR(normals[0][0][1], normals[1][0][1], 1e-6);
  // Given normals are ignored where the surface is not smoothed.
  mesh.normals = {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
  s.smoothing = false;
  normals = cornerNormals(mesh, {s});
  EXPECT_FLOAT_EQ(std::abs(normals[0][0][1]), 1.0f);
  s.smoothing = true;
  normals = cornerNormals(mesh, {s});
  EXPECT_FLOAT_EQ(normals[0][0][0], 1.0f);
}

}  // namespace
}  // namespace orvik::host

namespace orvik::host {
namespace {

using namespace orvik::host::testing;

TEST(RaytraceLighting, ShadowOptionsOfObjectsAreHonoured) {
  auto lightUnderBlocker = [](int floorOptions, int blockerOptions, double dissolve = 0.0) {
    Scene scene = floorScene();
    scene.objects[0].shadowOptions = floorOptions;
    addPrimitive(scene, "Blocker", PrimitiveKind::Box, {0, 1, 0}, matte({1, 1, 1}), {0.6, 0.1, 0.6});
    scene.objects[1].shadowOptions = blockerOptions;
    scene.objects[1].dissolve = dissolve;
    addPointLight(scene, {0, 2, 0});
    RaytraceScene world(scene, 0.0);
    Raytracer tracer(world, nullptr, kNoItem);
    return brightness(lookDown(tracer, 0.0, 0.0, 0.5));
  };
  const int all = kShadowSelf | kShadowCast | kShadowReceive;
  EXPECT_EQ(lightUnderBlocker(all, all), 0.0);
  EXPECT_GT(lightUnderBlocker(all & ~kShadowReceive, all), 0.05);  // floor receives none
  EXPECT_GT(lightUnderBlocker(all, all & ~kShadowCast), 0.05);     // blocker casts none
  // A half-dissolved blocker lets half the light through each face: a quarter.
  EXPECT_NEAR(lightUnderBlocker(all, all, 0.5) / lightUnderBlocker(all, all & ~kShadowCast), 0.25, 1e-9);
}

}  // namespace
}  // namespace orvik::host

namespace orvik::host {
namespace {

using namespace orvik::host::testing;

TEST(RaytraceLighting, CoarseSmoothMeshesDoNotShadowTheirOwnLitSide) {
  // A very coarse smooth sphere lit obliquely: every point whose smooth
  // normal faces the light must be lit, although its flat facet turns away
  // from the light and its neighbours stand in the way.
  Scene scene;
  scene.ambientIntensity = 0.0;
  Object ball;
  ball.name = "Ball";
  ball.primitive.kind = PrimitiveKind::Sphere;
  ball.primitive.radius = 1.0;
  ball.primitive.segments = 6;
  ball.primitive.rings = 4;
  ball.surfaces.push_back(matte({1, 1, 1}));
  scene.addObject(ball);
  Light sun;
  sun.type = LightType::Distant;
  sun.motion.setKey(placeAt({0, 0, 0}, {-75, 20, 0}));  // oblique to the facets
  scene.addLight(sun);
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, nullptr, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  const Vec3 toLight = -world.lights()[0].forward;
  int checked = 0, dark = 0;
  SampleRandom random(3);
  for (int i = 0; i < 4000; ++i) {
    const double z = 2.0 * random.next() - 1.0, phi = 6.283185307179586 * random.next();
    const double r = std::sqrt(1.0 - z * z);
    const Vec3 d{r * std::cos(phi), r * std::sin(phi), z};
    // Look at the sphere from outside along -d.
    Raytracer::Thread probe = th;
    const Vec3 eye = d * 3.0;
    Vec3 normal, face;
    {
      const RayHit h = world.rays().intersect({eye.x, eye.y, eye.z}, {-d.x, -d.y, -d.z}, 0.0, 1e30);
      if (!h.hit) continue;
      normal = world.smoothNormal(h);
      face = world.faceNormal(h);
    }
    if (dot(normal, toLight) < 0.02) continue;
    // Only the hard cases: the flat facet itself turns away from the light.
    if (dot(face, toLight) >= 0.0) continue;
    ++checked;
    if (brightness(tracer.tracePrimary(probe, eye, -d).color) <= 0.0) ++dark;
  }
  EXPECT_GT(checked, 20);
  EXPECT_EQ(dark, 0);
}

}  // namespace
}  // namespace orvik::host
