#include "host/raytrace.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "host/shade_bump.h"
#include "host/shade_lights.h"

namespace orvik::host {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Rays start this far (relative to the coordinates' size) from the surface
// they leave, so that they do not find it again.
constexpr double kRelativeOffset = 1e-5;
// The glossiness-to-exponent law of the host's highlights: 2^(10 g + 2).
constexpr double kMinimumRoughness = 1e-8;

Vec3 fromArray(const double v[3]) { return {v[0], v[1], v[2]}; }
void toArray(const Vec3& v, double out[3]) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}
bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
double offsetFor(const Vec3& p) {
  return kRelativeOffset * std::max({1.0, std::abs(p.x), std::abs(p.y), std::abs(p.z)});
}
Color mul(const Color& a, const Color& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
Vec3 reflect(const Vec3& d, const Vec3& n) { return d - n * (2.0 * dot(d, n)); }
// Refraction of unit d at unit n (facing against d) with index ratio eta;
// false on total internal reflection.
bool refract(const Vec3& d, const Vec3& n, double eta, Vec3& out) {
  const double cosI = -dot(d, n);
  const double k = 1.0 - eta * eta * (1.0 - cosI * cosI);
  if (k < 0.0) return false;
  out = normalize(d * eta + n * (eta * cosI - std::sqrt(k)));
  return true;
}
Color tintBy(const Color& color, double amount) {
  const double a = std::clamp(amount, 0.0, 1.0);
  return Color{1.0 - a, 1.0 - a, 1.0 - a} + color * a;
}

// The ray functions handed to the module. They never let an exception
// unwind into the module's frames.
Raytracer::Thread* threadOf(void* rayData) { return static_cast<Raytracer::Thread*>(rayData); }

int illuminateEntry(void* rayData, HostItemId light, const double position[3], double direction[3],
                    double color[3]) {
  try {
    Raytracer::Thread* th = threadOf(rayData);
    if (!th || !position || !direction || !color) return 0;
    Vec3 dir = fromArray(direction);
    Color c;
    const bool any = th->tracer->illuminate(*th, light, fromArray(position), dir, c);
    toArray(dir, direction);
    toArray(c, color);
    return any ? 1 : 0;
  } catch (...) {
    if (color) color[0] = color[1] = color[2] = 0.0;
    return 0;
  }
}

double rayTraceEntry(void* rayData, const double position[3], const double direction[3], double color[3]) {
  try {
    Raytracer::Thread* th = threadOf(rayData);
    if (!th || !position || !direction) return -1.0;
    Color c;
    const double t = th->tracer->trace(*th, fromArray(position), fromArray(direction), c);
    if (color) toArray(c, color);
    return t;
  } catch (...) {
    if (color) color[0] = color[1] = color[2] = 0.0;
    return -1.0;
  }
}

double rayCastEntry(void* rayData, const double position[3], const double direction[3]) {
  try {
    Raytracer::Thread* th = threadOf(rayData);
    if (!th || !position || !direction) return -1.0;
    return th->tracer->cast(*th, fromArray(position), fromArray(direction));
  } catch (...) {
    return -1.0;
  }
}

double rayShadeEntry(void* rayData, const double position[3], const double direction[3],
                     HostShaderAccess* hit) {
  try {
    Raytracer::Thread* th = threadOf(rayData);
    if (!th || !position || !direction || !hit) return -1.0;
    return th->tracer->shadeFirst(*th, fromArray(position), fromArray(direction), *hit);
  } catch (...) {
    return -1.0;
  }
}

}  // namespace

HostItemId toHostId(ItemId id) {
  return reinterpret_cast<HostItemId>(static_cast<uintptr_t>(id));
}
ItemId fromHostId(HostItemId id) {
  return static_cast<ItemId>(reinterpret_cast<uintptr_t>(id));
}

Raytracer::Raytracer(const RaytraceScene& scene, const RenderPlugins* plugins, ItemId camera)
    : scene_(scene),
      plugins_(plugins),
      camera_(camera),
      maxDepth_(std::clamp(scene.scene().render.rayRecursionLimit, 0, 64)),
      ambient_(scene.scene().ambientColor * scene.scene().ambientIntensity) {}

void Raytracer::rayFunctions(HostIlluminateFunc& illuminate, HostRayTraceFunc& rayTrace,
                             HostRayCastFunc& rayCast, HostRayShadeFunc& rayShade) {
  illuminate = &illuminateEntry;
  rayTrace = &rayTraceEntry;
  rayCast = &rayCastEntry;
  rayShade = &rayShadeEntry;
}

Raytracer::Thread Raytracer::makeThread() const {
  Thread th;
  th.tracer = this;
  return th;
}

Color Raytracer::backdrop(const Thread& th, const Vec3& direction, bool camera) const {
  const Scene& s = scene_.scene();
  if (camera) {
    if (const ImageBuffer* image = scene_.image(s.backdrop.image)) {
      const int w = std::max(s.render.width, 1), h = std::max(s.render.height, 1);
      const int x = std::clamp(th.sx * image->width / w, 0, image->width - 1);
      const int y = std::clamp(th.sy * image->height / h, 0, image->height - 1);
      const float* p = image->at(x, y);
      return {p[0], p[1], p[2]};
    }
  }
  return s.backdrop.colorAlong(direction);
}

Color Raytracer::environment(const Thread& th, const Surface* surface, const Vec3& direction) const {
  if (surface && (surface->reflectionOptions & 2)) {
    if (const ImageBuffer* image = scene_.image(surface->reflectionImage)) {
      // Longitude from +Z towards +X, turned by the seam angle; latitude up.
      const Vec3 d = normalize(direction);
      const double seam = degreesToRadians(surface->reflectionSeamAngle);
      double u = (std::atan2(d.x, d.z) - seam) / (2.0 * kPi) + 0.5;
      u -= std::floor(u);
      const double v = 0.5 - std::asin(std::clamp(d.y, -1.0, 1.0)) / kPi;
      const int x = std::clamp(static_cast<int>(u * image->width), 0, image->width - 1);
      const int y = std::clamp(static_cast<int>(v * image->height), 0, image->height - 1);
      const float* p = image->at(x, y);
      return {p[0], p[1], p[2]};
    }
  }
  return backdrop(th, direction, false);
}

Raytracer::Thread::ShadingPoint Raytracer::shadingPointOf(const Hit& hit) const {
  Thread::ShadingPoint point;
  point.object = hit.object;
  point.faceNormal = hit.faceNormal;
  point.position = hit.position;
  // Against the shadow terminator of smooth normals on coarse meshes: move
  // the shadow rays' start out to the curved surface the corner normals
  // describe, by pushing the point out of each corner's tangent plane it
  // lies below and blending by the barycentric weights.
  const auto corners = scene_.rays().triangleVertices(hit.ray.geometryId, hit.ray.primitiveId);
  const auto normals = scene_.cornerNormalsAt(hit.ray);
  const double weights[3] = {1.0 - hit.ray.u - hit.ray.v, hit.ray.u, hit.ray.v};
  Vec3 offset;
  for (int k = 0; k < 3; ++k) {
    const Vec3 n = hit.backFacing ? -normals[k] : normals[k];
    const Vec3 corner{corners[k][0], corners[k][1], corners[k][2]};
    const double below = std::min(0.0, dot(hit.position - corner, n));
    offset += n * (-below * weights[k]);
  }
  point.shadowOrigin = hit.position + offset;
  return point;
}

bool Raytracer::findHit(const Vec3& origin, const Vec3& direction, bool camera, double tNear, Hit& hit) const {
  if (!findDistance(origin, direction, camera, tNear, hit)) return false;
  const RayHit& r = hit.ray;
  const PlacedObject& object = *hit.object;
  hit.surfaceIndex = object.triangleSurface.at(r.primitiveId);
  hit.surface = hit.surfaceIndex < object.object->surfaces.size() ? &object.object->surfaces[hit.surfaceIndex] : nullptr;
  const Vec3 d = normalize(direction);
  hit.position = origin + d * r.distance;
  const Vec3 face = scene_.faceNormal(r);
  hit.backFacing = dot(face, d) > 0.0;
  hit.faceNormal = hit.backFacing ? -face : face;
  return true;
}

bool Raytracer::findDistance(const Vec3& origin, const Vec3& direction, bool camera, double tNear, Hit& hit,
                             bool withNormal) const {
  if (!finite(origin) || !finite(direction) || dot(direction, direction) <= 0.0) return false;
  const Vec3 d = normalize(direction);
  const std::array<double, 3> o{origin.x, origin.y, origin.z}, dd{d.x, d.y, d.z};
  double nearT = tNear;
  // Objects hidden from this kind of ray are stepped over.
  for (int guard = 0; guard < 64; ++guard) {
    const RayHit r = scene_.rays().intersect(o, dd, nearT, kInfinity, withNormal);
    if (!r.hit) return false;
    const PlacedObject& object = scene_.objectOfGeometry(r.geometryId);
    if (camera ? object.object->unseenByCamera : object.object->unseenByRays) {
      nearT = r.distance * (1.0 + 1e-6) + 1e-6;
      continue;
    }
    hit.ray = r;
    hit.object = &object;
    return true;
  }
  return false;
}

void Raytracer::fillAccess(Thread& th, const Hit& hit, const Vec3& origin, const Vec3& direction,
                           int bounces, ItemId source, HostShaderAccess& sa) const {
  static const Surface kDefaultSurface;
  const Surface& surface = hit.surface ? *hit.surface : kDefaultSurface;
  const PlacedObject& object = *hit.object;
  std::memset(&sa, 0, sizeof sa);
  sa.sx = th.sx;
  sa.sy = th.sy;
  const Vec3 objectPos = object.toObject.point(hit.position);
  toArray(objectPos, sa.oPos);
  toArray(hit.position, sa.wPos);
  toArray(hit.faceNormal, sa.gNorm);
  sa.footprint = hit.ray.distance * th.footprintPerUnit;
  toArray(origin, sa.raySource);
  sa.rayLength = hit.ray.distance;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      sa.oXfrm[3 * i + j] = object.toObject.m[i][j];
      sa.wXfrm[3 * i + j] = object.toWorld.m[i][j];
    }
  sa.objID = toHostId(object.id);
  sa.polNum = static_cast<int>(hit.ray.primitiveId);

  // Smooth normal, turned to the side the ray came from, then bumped.
  Vec3 smooth = scene_.smoothNormal(hit.ray);
  if (hit.backFacing) smooth = -smooth;
  const BumpResult bump = applyBump(surface, scene_.image(surface.bumpTexture.image), objectPos,
                                    object.toWorld, smooth);
  toArray(bump.normal, sa.wNorm);
  toArray(smooth, sa.wNorm0);
  sa.bumpHeight = bump.height;
  sa.cosine = -dot(normalize(direction), bump.normal);

  toArray(surface.color, sa.color);
  sa.luminous = surface.luminosity;
  sa.diffuse = surface.diffuse;
  sa.specular = surface.specular;
  sa.mirror = surface.reflection;
  sa.transparency = surface.transparency;
  sa.eta = surface.refractionIndex;
  sa.roughness = std::exp2(-(10.0 * surface.glossiness + 2.0));
  sa.translucency = surface.translucency;
  sa.colorHL = surface.colorHighlights;
  sa.colorFL = surface.colorFilter;
  sa.addTransparency = 0.0;
  sa.difSharpness = surface.diffuseSharpness;
  sa.flags = 0;
  sa.bounces = bounces;
  sa.sourceID = toHostId(source);

  const auto corners = scene_.rays().triangleVertices(hit.ray.geometryId, hit.ray.primitiveId);
  const uint32_t base = hit.ray.primitiveId * 3u;
  const double weights[3] = {1.0 - hit.ray.u - hit.ray.v, hit.ray.u, hit.ray.v};
  for (int k = 0; k < 4; ++k) {
    const int c = std::min(k, 2);  // a triangle repeats its last corner
    for (int a = 0; a < 3; ++a) sa.vertsWPos[k][a] = static_cast<float>(corners[c][a]);
    sa.verts[k] = reinterpret_cast<HostPointId>(static_cast<uintptr_t>(base + c + 1));
    sa.vertWeights[k] = k < 3 ? static_cast<float>(weights[k]) : 0.0f;
  }
  sa.polygon = reinterpret_cast<HostPolygonId>(static_cast<uintptr_t>(hit.ray.primitiveId + 1));
  sa.replacement_percentage = 0.0;

  sa.rayData = &th;
  sa.illuminate = &illuminateEntry;
  sa.rayTrace = &rayTraceEntry;
  sa.rayCast = &rayCastEntry;
  sa.rayShade = &rayShadeEntry;
}

bool Raytracer::runShaders(const Hit& hit, HostShaderAccess& sa) const {
  if (!plugins_) return false;
  const size_t objectIndex = itemIndexOf(hit.object->id);
  const auto* shaders = plugins_->shadersOf(objectIndex, hit.surfaceIndex);
  if (!shaders) return false;
  for (const ShaderBinding& s : *shaders)
    if (s.handler && s.handler->evaluate) s.handler->evaluate(s.instance, &sa);
  return true;
}

Color Raytracer::shadeHit(Thread& th, const Hit& hit, const Vec3& origin, const Vec3& direction,
                          int bounces, ItemId source, HostShaderAccess* out) const {
  HostShaderAccess local;
  HostShaderAccess& sa = out ? *out : local;
  fillAccess(th, hit, origin, direction, bounces, source, sa);

  const Thread::ShadingPoint saved = th.shading;
  th.shading = shadingPointOf(hit);

  runShaders(hit, sa);
  // Newer hosts take the shader's answer from the replacement pair; older
  // ones only from the channels the shader changed.
  double replace = 0.0;
  if (!plugins_ || plugins_->hostVersion >= 7) {
    replace = sa.replacement_percentage;
    if (!std::isfinite(replace)) replace = 0.0;
    replace = std::clamp(replace, 0.0, 1.0);
  }
  Color result;
  const Color replacement{sa.replacement_color[0], sa.replacement_color[1], sa.replacement_color[2]};
  if (replace >= 1.0) {
    result = replacement;
  } else {
    // The shaders may have trashed the per-sample context through nested
    // rays: restore it before the host's own shading.
    th.shading = shadingPointOf(hit);
    result = plainShade(th, sa, hit, normalize(direction)) * (1.0 - replace) + replacement * replace;
  }

  // Dissolve lets the rest of the scene show through.
  const double dissolve = std::clamp(hit.object->dissolve, 0.0, 1.0);
  if (dissolve > 0.0) {
    Hit behind;
    const bool camera = source != kNoItem && bounces == 0;
    const Vec3 d = normalize(direction);
    Color beyond = backdrop(th, d, camera);
    if (findHit(hit.position, d, camera, offsetFor(hit.position), behind))
      beyond = shadeHit(th, behind, origin, direction, bounces, source, nullptr);
    result = result * (1.0 - dissolve) + beyond * dissolve;
  }

  th.shading = saved;
  return result;
}

PrimarySample Raytracer::tracePrimary(Thread& th, const Vec3& origin, const Vec3& direction) const {
  PrimarySample out;
  Hit hit;
  th.depth = 0;
  ++th.rays.camera;
  if (!findHit(origin, direction, true, 0.0, hit)) {
    out.color = backdrop(th, normalize(direction), true);
    return out;
  }
  HostShaderAccess sa;
  out.color = shadeHit(th, hit, origin, direction, 0, camera_, &sa);
  out.alpha = 1.0;
  out.depth = hit.ray.distance;
  out.luminous = sa.luminous;
  out.diffuse = sa.diffuse;
  out.specular = sa.specular;
  out.mirror = sa.mirror;
  out.transparency = sa.transparency;
  return out;
}

double Raytracer::trace(Thread& th, const Vec3& origin, const Vec3& direction, Color& color) const {
  const Vec3 d = normalize(direction);
  if (th.depth >= maxDepth_) {
    color = backdrop(th, d, false);
    return -1.0;
  }
  ++th.rays.traced;
  Hit hit;
  if (!findHit(origin, d, false, offsetFor(origin), hit)) {
    color = backdrop(th, d, false);
    return -1.0;
  }
  ++th.depth;
  color = shadeHit(th, hit, origin, d, th.depth, kNoItem, nullptr);
  --th.depth;
  return hit.ray.distance;
}

double Raytracer::cast(Thread& th, const Vec3& origin, const Vec3& direction) const {
  ++th.rays.cast;
  // A ray that leaves the sample being shaded towards the outside (a shadow
  // ray of the module's own) starts on the curved surface, as the host's
  // shadow rays do; the distance stays measured from the given origin.
  Vec3 start = origin;
  if (th.shading.object && dot(direction, th.shading.faceNormal) > 0.0 &&
      length(origin - th.shading.position) <= 10.0 * offsetFor(origin))
    start = origin + (th.shading.shadowOrigin - th.shading.position);
  Hit hit;
  if (!findDistance(start, direction, false, offsetFor(start), hit, false)) return -1.0;
  return hit.ray.distance + dot(start - origin, normalize(direction));
}

double Raytracer::shadeFirst(Thread& th, const Vec3& origin, const Vec3& direction,
                             HostShaderAccess& sa) const {
  ++th.rays.shade;
  Hit hit;
  const Vec3 d = normalize(direction);
  if (!findHit(origin, d, false, offsetFor(origin), hit)) return -1.0;
  HostShaderAccess local;
  fillAccess(th, hit, origin, d, th.depth + 1, kNoItem, local);
  const Thread::ShadingPoint saved = th.shading;
  th.shading = shadingPointOf(hit);
  ++th.depth;
  runShaders(hit, local);
  --th.depth;
  th.shading = saved;
  sa = local;
  return hit.ray.distance;
}

bool Raytracer::illuminate(Thread& th, HostItemId lightId, const Vec3& position, Vec3& direction,
                           Color& color) const {
  color = Color{};
  const uintptr_t raw = reinterpret_cast<uintptr_t>(lightId);
  if (raw == HOST_ILLUMINATE_RADIOSITY) {
    color = gatherIndirect(th, position, normalize(direction));
    return dot(color, color) > 0.0;
  }
  if (raw == HOST_ILLUMINATE_CAUSTICS) return false;  // no caustics are computed
  const ItemId id = fromHostId(lightId);
  if (id == kNoItem || itemTypeOf(id) != ItemType::Light) return false;
  const size_t index = itemIndexOf(id);
  if (index >= scene_.lights().size()) return false;
  color = lightAt(th, scene_.lights()[index], position, direction);
  return dot(color, color) > 0.0;
}

Color Raytracer::shadowTransmission(Thread& th, const Vec3& from, const Vec3& direction,
                                    double distance) const {
  ++th.rays.shadow;
  Color transmission{1.0, 1.0, 1.0};
  const RenderOptions& options = scene_.scene().render;
  const PlacedObject* receiver = th.shading.object;
  if (receiver && !(receiver->object->shadowOptions & kShadowReceive)) return transmission;

  // Leave the surface on the side facing the light: against the shadow
  // terminator of smooth normals on coarse meshes.
  const double eps = offsetFor(from);
  Vec3 start = from;
  if (receiver) {
    if (from == th.shading.position) start = th.shading.shadowOrigin;
    const double side = dot(th.shading.faceNormal, direction) >= 0.0 ? 1.0 : -1.0;
    start = start + th.shading.faceNormal * (side * eps * 10.0);
  }
  const std::array<double, 3> d{direction.x, direction.y, direction.z};
  const double limit = std::isfinite(distance) ? distance * (1.0 - 1e-6) : kInfinity;
  // Plain opaque casters answer with one any-hit query.
  if (scene_.opaqueCasters().occluded({start.x, start.y, start.z}, d, eps, limit)) return Color{};
  if (scene_.allCastersOpaque()) return transmission;

  // Then walk through the others, surface by surface.
  double remaining = limit;
  for (int crossed = 0; crossed < kMaxShadowSurfaces; ++crossed) {
    const RayHit r = scene_.rays().intersect({start.x, start.y, start.z}, d, eps, remaining);
    if (!r.hit) return transmission;
    const PlacedObject& caster = scene_.objectOfGeometry(r.geometryId);
    const int options_ = caster.object->shadowOptions;
    const bool casts = !caster.opaqueCaster && (options_ & kShadowCast) &&
                       (&caster != receiver || (options_ & kShadowSelf));
    if (casts) {
      const size_t si = caster.triangleSurface.at(r.primitiveId);
      const Surface* surface = si < caster.object->surfaces.size() ? &caster.object->surfaces[si] : nullptr;
      Color a;  // share of light the surface lets through, per channel
      if (surface && options.rayTraceTransparency) {
        const double t = std::clamp(surface->transparency, 0.0, 1.0);
        a = tintBy(surface->color, surface->colorFilter) * t;
      }
      const double dissolve = std::clamp(caster.dissolve, 0.0, 1.0);
      for (int c = 0; c < 3; ++c) {
        double& tc = c == 0 ? transmission.x : c == 1 ? transmission.y : transmission.z;
        const double ac = std::clamp(c == 0 ? a.x : c == 1 ? a.y : a.z, 0.0, 1.0);
        tc *= (1.0 - dissolve) * ac + dissolve;
      }
      if (dot(transmission, transmission) <= 1e-8) return Color{};
    }
    start = start + direction * r.distance;
    if (std::isfinite(remaining)) remaining -= r.distance;
    if (remaining <= eps) return transmission;
  }
  return Color{};  // too many surfaces: taken as blocked
}

Color Raytracer::lightAt(Thread& th, const PlacedLight& light, const Vec3& position, Vec3& direction) const {
  const RenderOptions& options = scene_.scene().render;
  const bool shadows = options.rayTraceShadows && light.light->shadowType != ShadowType::Off;
  const Vec3 centre = light.type == LightType::Distant ? position - light.forward : light.position;
  direction = normalize(centre - position);

  // Area and linear lights are sampled over a grid of strata. A camera
  // ray's sample takes its share of the strata (all of them over the
  // antialiasing passes); deeper rays take one random point.
  const int count = lightSampleCount(light);
  const int columns = light.type == LightType::Area ? static_cast<int>(std::lround(std::sqrt(count))) : count;
  int first = 0, step = 1;
  if (count > 1) {
    if (th.depth > 0 || th.gathering) {
      first = static_cast<int>(th.random.next() * count);
      step = count;
    } else if (th.passes > 1) {
      step = th.passes;
      first = th.pass % std::min(th.passes, count);
    }
  }
  Color sum;
  int used = 0;
  for (int i = first; i < count; i += step, ++used) {
    double s = 0.5, t = 0.5;
    if (count > 1) {
      s = ((i % columns) + th.random.next()) / columns;
      t = light.type == LightType::Area ? ((i / columns) + th.random.next()) / columns : 0.5;
    }
    LightSample ls;
    if (!sampleLight(light, position, s, t, ls)) continue;
    Color c = ls.color;
    if (shadows) c = mul(c, shadowTransmission(th, position, ls.direction, ls.distance));
    sum += c;
  }
  return used > 0 ? sum / used : sum;
}

Color Raytracer::directDiffuse(Thread& th, const Hit& hit) const {
  // The cheap one-bounce estimate a gather ray sees: plain diffuse light
  // with shadows, plus luminosity; no shaders, no further rays.
  const Surface* surface = hit.surface;
  if (!surface) return Color{};
  Vec3 n = scene_.smoothNormal(hit.ray);
  if (hit.backFacing) n = -n;
  const Thread::ShadingPoint saved = th.shading;
  th.shading = shadingPointOf(hit);
  Color light;
  for (const PlacedLight& l : scene_.lights()) {
    if (l.light->noDiffuse) continue;
    Vec3 dir;
    const Color c = lightAt(th, l, hit.position, dir);
    light += c * std::max(0.0, dot(n, dir));
  }
  th.shading = saved;
  return mul(surface->color, light * surface->diffuse + ambient_ * surface->diffuse) +
         surface->color * surface->luminosity;
}

Color Raytracer::gatherIndirect(Thread& th, const Vec3& position, const Vec3& normal) const {
  // The radiosity item reports the ambient light plus what a gather finds,
  // so that (radiosity - ambient) is the indirect light alone: zero when
  // radiosity is off.
  if (!scene_.scene().render.radiosity || th.gathering || th.depth > 0) return ambient_;
  th.gathering = true;
  Color sum;
  const Vec3 start = position + normal * offsetFor(position);
  for (int i = 0; i < kRadiosityRays; ++i) {
    const double u1 = (i + th.random.next()) / kRadiosityRays;  // stratified in elevation
    const Dir3 d = cosineHemisphere({normal.x, normal.y, normal.z}, u1, th.random.next());
    const Vec3 dir{d[0], d[1], d[2]};
    Hit hit;
    if (findHit(start, dir, false, offsetFor(start), hit))
      sum += directDiffuse(th, hit);
    else
      sum += backdrop(th, dir, false);
  }
  th.gathering = false;
  return ambient_ + sum / kRadiosityRays;
}

Color Raytracer::plainShade(Thread& th, const HostShaderAccess& sa, const Hit& hit, const Vec3& direction) const {
  const RenderOptions& options = scene_.scene().render;
  const Vec3 p = fromArray(sa.wPos);
  const Vec3 n = normalize(fromArray(sa.wNorm));
  const Vec3 view = -direction;
  const Color color = fromArray(sa.color);
  const double transparency = std::clamp(std::max(sa.transparency, sa.addTransparency), 0.0, 1.0);
  const double mirror = std::clamp(sa.mirror, 0.0, 1.0);
  // Reflection and transparency take their share from the surface's own light.
  const double own = (1.0 - mirror) * (1.0 - transparency);
  const double exponent = std::clamp(1.0 / std::max(sa.roughness, kMinimumRoughness), 1.0, 1e6);
  const Color highlightTint = tintBy(color, sa.colorHL);

  Color diffuseLight = ambient_;
  Color specularLight;
  Color translucentLight;
  for (const PlacedLight& light : scene_.lights()) {
    Vec3 l;
    const Color c = lightAt(th, light, p, l);
    if (dot(c, c) <= 0.0) continue;
    const double cosine = dot(n, l);
    if (cosine > 0.0) {
      if (!light.light->noDiffuse) diffuseLight += c * cosine;
      if (!light.light->noSpecular && sa.specular > 0.0) {
        const Vec3 h = normalize(l + view);
        const double nh = std::max(0.0, dot(n, h));
        specularLight += c * std::pow(nh, exponent);
      }
    } else if (sa.translucency > 0.0 && !light.light->noDiffuse) {
      translucentLight += c * -cosine;
    }
  }
  if (options.radiosity && !th.gathering) {
    const Color indirect = gatherIndirect(th, p, n) - ambient_;
    diffuseLight += indirect;
  }
  Color result = mul(color, diffuseLight * sa.diffuse + translucentLight * sa.translucency) * own +
                 color * (sa.luminous * own) + mul(highlightTint, specularLight * sa.specular);

  const Vec3 face = hit.faceNormal;
  const double eps = offsetFor(p);
  if (mirror > 0.0) {
    const Vec3 r = normalize(reflect(direction, n));
    Color reflected;
    const bool traced = options.rayTraceReflection && (hit.surface ? hit.surface->reflectionOptions & 1 : 1);
    if (!traced || trace(th, p + face * eps, r, reflected) < 0.0)
      reflected = environment(th, hit.surface, r);
    result += mul(highlightTint, reflected) * mirror;
  }
  if (transparency > 0.0) {
    Color behind;
    const Vec3 start = p - face * eps;
    Vec3 d = direction;
    if (options.rayTraceRefraction) {
      // Entering from the front divides by the index, leaving multiplies.
      const double eta = std::max(sa.eta, 1e-3);
      const double ratio = hit.backFacing ? eta : 1.0 / eta;
      if (!refract(direction, n, ratio, d)) {
        trace(th, p + face * eps, reflect(direction, n), behind);
        d = Vec3{};
      }
    }
    if (dot(d, d) > 0.0) {
      if (options.rayTraceRefraction || options.rayTraceTransparency)
        trace(th, start, d, behind);
      else
        behind = backdrop(th, d, false);
    }
    result += mul(tintBy(color, sa.colorFL), behind) * (transparency * (1.0 - mirror));
  }
  return result;
}

}  // namespace orvik::host
