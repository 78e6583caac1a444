// The host's ray tracing and shading: camera rays, the ray functions the
// module calls through the access record (rayTrace, rayCast, rayShade,
// illuminate), the calls of each surface's shaders and the host's own
// plain shading for surfaces without them.
#pragma once

#include "host/ray_counts.h"
#include "host/raytrace_scene.h"
#include "host/render_plugins.h"
#include "host/sampling.h"
#include "sdk/shader.h"

namespace orvik::host {

// Number of cosine-weighted rays of one radiosity gather.
constexpr int kRadiosityRays = 16;
// Most surfaces a shadow ray passes through before it counts as blocked.
constexpr int kMaxShadowSurfaces = 16;

// Everything a camera ray gives the frame buffers.
struct PrimarySample {
  Color color;
  double alpha = 0.0;
  double depth = 0.0;  // distance to the first surface, 0 for the backdrop
  double luminous = 0.0, diffuse = 0.0, specular = 0.0, mirror = 0.0, transparency = 0.0;
};

HostItemId toHostId(ItemId id);
ItemId fromHostId(HostItemId id);

class Raytracer {
 public:
  // State of one render thread; the access records built on the thread
  // carry it as their rayData, so the ray functions find their way back.
  // Each render thread writes its own record on every sample: a cache line of its own
  // keeps the threads from passing lines between them.
  struct alignas(64) Thread {
    const Raytracer* tracer = nullptr;
    int depth = 0;              // bounces of the ray being shaded
    int sx = 0, sy = 0;         // pixel being rendered
    SampleRandom random{1};
    double footprintPerUnit = 0.0;  // pixel size at distance 1
    // The sample being shaded, for the shadow rays it asks for.
    struct ShadingPoint {
      const PlacedObject* object = nullptr;
      Vec3 faceNormal;    // facing the ray
      Vec3 position;
      Vec3 shadowOrigin;  // where its shadow rays start (see shadowOriginOf)
    } shading;
    bool gathering = false;     // inside a radiosity gather
    // Antialiasing pass of the camera ray and the number of passes: the
    // strata of area and linear lights are spread over the passes.
    int pass = 0, passes = 1;
    RayCounts rays;  // rays this thread sent
  };

  Raytracer(const RaytraceScene& scene, const RenderPlugins* plugins, ItemId camera);

  Thread makeThread() const;
  // The ray functions as the access records carry them; their rayData is
  // a Thread.
  static void rayFunctions(HostIlluminateFunc& illuminate, HostRayTraceFunc& rayTrace,
                           HostRayCastFunc& rayCast, HostRayShadeFunc& rayShade);

  PrimarySample tracePrimary(Thread& th, const Vec3& origin, const Vec3& direction) const;
  // rayTrace: shades what the ray hits; returns its distance, or -1 with
  // the backdrop colour when nothing is hit or the bounce limit is reached.
  double trace(Thread& th, const Vec3& origin, const Vec3& direction, Color& color) const;
  // rayCast: distance to the first surface or -1.
  double cast(Thread& th, const Vec3& origin, const Vec3& direction) const;
  // rayShade: fills `sa` with the first surface's sample after its shaders
  // ran; returns the distance or -1 (then `sa` is untouched).
  double shadeFirst(Thread& th, const Vec3& origin, const Vec3& direction, HostShaderAccess& sa) const;
  // illuminate: light of `light` reaching `position`, with shadows.
  // `direction` receives the unit vector towards the light. For the
  // radiosity and caustics pseudo-items `direction` carries the normal in.
  bool illuminate(Thread& th, HostItemId light, const Vec3& position, Vec3& direction, Color& color) const;

  const RaytraceScene& scene() const { return scene_; }
  int maxDepth() const { return maxDepth_; }
  // Ambient light: the scene's ambient colour times its intensity.
  Color ambient() const { return ambient_; }

  // Backdrop seen along a direction (pixel for the background image).
  Color backdrop(const Thread& th, const Vec3& direction, bool camera) const;
  // What a surface reflects where its reflection rays find nothing: its
  // reflection image as a spherical environment (reflection options 2 and
  // 3), else the backdrop.
  Color environment(const Thread& th, const Surface* surface, const Vec3& direction) const;

 private:
  struct Hit {
    RayHit ray;
    const PlacedObject* object = nullptr;
    const Surface* surface = nullptr;
    size_t surfaceIndex = 0;
    Vec3 position;
    Vec3 faceNormal;  // unit, facing the incoming ray
    bool backFacing = false;
  };

  Thread::ShadingPoint shadingPointOf(const Hit& hit) const;
  bool findHit(const Vec3& origin, const Vec3& direction, bool camera, double tNear, Hit& hit) const;
  // findHit for a ray that needs only the distance: fills hit.ray and
  // hit.object; hit.ray carries its geometric normal only `withNormal`.
  bool findDistance(const Vec3& origin, const Vec3& direction, bool camera, double tNear, Hit& hit,
                    bool withNormal = true) const;
  void fillAccess(Thread& th, const Hit& hit, const Vec3& origin, const Vec3& direction, int bounces,
                  ItemId source, HostShaderAccess& sa) const;
  // Runs the surface's shaders on `sa`; false when the surface has none.
  bool runShaders(const Hit& hit, HostShaderAccess& sa) const;
  Color shadeHit(Thread& th, const Hit& hit, const Vec3& origin, const Vec3& direction, int bounces,
                 ItemId source, HostShaderAccess* out) const;
  Color plainShade(Thread& th, const HostShaderAccess& sa, const Hit& hit, const Vec3& direction) const;
  Color lightAt(Thread& th, const PlacedLight& light, const Vec3& position, Vec3& direction) const;
  Color shadowTransmission(Thread& th, const Vec3& from, const Vec3& direction, double distance) const;
  Color gatherIndirect(Thread& th, const Vec3& position, const Vec3& normal) const;
  Color directDiffuse(Thread& th, const Hit& hit) const;

  const RaytraceScene& scene_;
  const RenderPlugins* plugins_;
  ItemId camera_;
  int maxDepth_;
  Color ambient_;
};

}  // namespace orvik::host
