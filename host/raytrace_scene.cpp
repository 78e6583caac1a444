#include "host/raytrace_scene.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "host/raytrace_primitives.h"
#include "host/shade_lights.h"

namespace orvik::host {

namespace {

Vec3 toVec(const Vec3f& v) { return {v[0], v[1], v[2]}; }
Vec3f toFloat(const Vec3& v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

// The object's geometry in object space: its primitive or its mesh.
Mesh objectMesh(const Object& object) {
  if (object.primitive.kind == PrimitiveKind::None) return object.mesh;
  const Primitive& p = object.primitive;
  TriangleMesh t;
  switch (p.kind) {
    case PrimitiveKind::Sphere: t = tessellateSphere(p.radius, p.segments, p.rings); break;
    case PrimitiveKind::Box: t = tessellateBox(p.size.x, p.size.y, p.size.z); break;
    case PrimitiveKind::Plane:
      t = tessellatePlane(p.size.x, p.size.z, std::max(1, p.segments / 4));
      break;
    case PrimitiveKind::Torus:
      t = tessellateTorus(p.radius, p.minorRadius, p.segments, p.rings);
      break;
    case PrimitiveKind::None: break;
  }
  Mesh m;
  for (const auto& q : t.positions) m.positions.push_back(toVec(q));
  for (const auto& n : t.normals) m.normals.push_back(toVec(n));
  for (const auto& uv : t.uvs) m.uvs.push_back({uv[0], uv[1]});
  for (const auto& tri : t.triangles) {
    Triangle tr;
    for (int k = 0; k < 3; ++k) tr.v[k] = tri[k];
    m.triangles.push_back(tr);
  }
  return m;
}

Vec3 faceNormalOf(const Mesh& m, const Triangle& t) {
  const Vec3& a = m.positions[t.v[0]];
  return cross(m.positions[t.v[1]] - a, m.positions[t.v[2]] - a);
}

}  // namespace

std::vector<std::array<Vec3f, 3>> cornerNormals(const Mesh& mesh, const std::vector<Surface>& surfaces) {
  std::vector<std::array<Vec3f, 3>> out(mesh.triangles.size());
  auto smoothed = [&surfaces](const Triangle& t) {
    return t.surface < surfaces.size() && surfaces[t.surface].smoothing;
  };
  if (!mesh.normals.empty() && mesh.normals.size() == mesh.positions.size()) {
    // Given normals serve smoothed surfaces; the others stay faceted.
    for (size_t i = 0; i < mesh.triangles.size(); ++i) {
      const Triangle& t = mesh.triangles[i];
      const Vec3 face = normalize(faceNormalOf(mesh, t));
      for (int k = 0; k < 3; ++k) out[i][k] = toFloat(smoothed(t) ? normalize(mesh.normals[t.v[k]]) : face);
    }
    return out;
  }
  // Triangles around each vertex.
  std::vector<std::vector<uint32_t>> around(mesh.positions.size());
  std::vector<Vec3> faces(mesh.triangles.size());
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    faces[i] = faceNormalOf(mesh, mesh.triangles[i]);  // length = twice the area
    for (uint32_t v : mesh.triangles[i].v) around[v].push_back(static_cast<uint32_t>(i));
  }
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    const Triangle& t = mesh.triangles[i];
    const Surface* surface = t.surface < surfaces.size() ? &surfaces[t.surface] : nullptr;
    const Vec3 own = normalize(faces[i]);
    if (!surface || !surface->smoothing) {
      out[i] = {toFloat(own), toFloat(own), toFloat(own)};
      continue;
    }
    const double cosLimit = std::cos(degreesToRadians(std::clamp(surface->smoothingAngle, 0.0, 180.0)));
    for (int k = 0; k < 3; ++k) {
      Vec3 sum;
      for (uint32_t j : around[t.v[k]]) {
        if (mesh.triangles[j].surface != t.surface) continue;
        if (j != i && dot(normalize(faces[j]), own) < cosLimit) continue;
        sum += faces[j];
      }
      out[i][k] = toFloat(length(sum) > 0.0 ? normalize(sum) : own);
    }
  }
  return out;
}

std::shared_ptr<const SceneImages> SceneImages::load(const Scene& scene) {
  auto set = std::make_shared<SceneImages>();
  set->images.resize(scene.images.size());
  for (size_t i = 0; i < scene.images.size(); ++i) {
    auto image = std::make_unique<ImageBuffer>();
    std::string error;
    if (readImage(scene.images[i].fileName, *image, error))
      set->images[i] = std::move(image);
    else
      set->errors.push_back("image \"" + scene.images[i].name + "\": " + error);
  }
  return set;
}

RaytraceScene::RaytraceScene(const Scene& scene, double time, std::shared_ptr<const SceneImages> images)
    : scene_(scene), time_(time), images_(images ? std::move(images) : SceneImages::load(scene)) {
  for (size_t index = 0; index < scene.objects.size(); ++index) {
    const Object& object = scene.objects[index];
    const ItemId id = makeItemId(ItemType::Object, index);
    Mesh mesh = objectMesh(object);
    if (mesh.empty()) continue;
    for (size_t i = 0; i < mesh.triangles.size(); ++i)
      for (uint32_t v : mesh.triangles[i].v)
        if (v >= mesh.positions.size())
          throw std::runtime_error("object \"" + object.name + "\": triangle " + std::to_string(i) +
                                   " uses vertex " + std::to_string(v) + " of " +
                                   std::to_string(mesh.positions.size()));
    PlacedObject placed;
    placed.id = id;
    placed.object = &object;
    placed.toWorld = scene.worldTransform(id, time);
    placed.toObject = placed.toWorld.inverse();
    placed.dissolve = object.dissolve.at(time);
    placed.cornerNormals = cornerNormals(mesh, object.surfaces);
    TriangleMesh world;
    world.positions.reserve(mesh.positions.size());
    for (const Vec3& p : mesh.positions) world.positions.push_back(toFloat(placed.toWorld.point(p)));
    world.triangles.reserve(mesh.triangles.size());
    placed.triangleSurface.reserve(mesh.triangles.size());
    for (const Triangle& t : mesh.triangles) {
      world.triangles.push_back({t.v[0], t.v[1], t.v[2]});
      placed.triangleSurface.push_back(t.surface);
    }
    // Transparency only matters to shadows when transparency is traced.
    bool opaque = placed.dissolve <= 0.0 && (object.shadowOptions & kShadowCast) &&
                  (object.shadowOptions & kShadowSelf);
    if (scene.render.rayTraceTransparency)
      for (const Surface& s : object.surfaces) opaque = opaque && s.transparency <= 0.0;
    placed.opaqueCaster = opaque;
    if (opaque) opaqueCasters_.addTriangleMesh(world);
    allCastersOpaque_ = allCastersOpaque_ && (opaque || !(object.shadowOptions & kShadowCast));
    placed.geometryId = rays_.addTriangleMesh(world);
    geometryToObject_.resize(placed.geometryId + 1);
    geometryToObject_[placed.geometryId] = objects_.size();
    objects_.push_back(std::move(placed));
  }
  rays_.commit();
  opaqueCasters_.commit();

  for (size_t index = 0; index < scene.lights.size(); ++index) {
    const Light& light = scene.lights[index];
    PlacedLight placed;
    placed.id = makeItemId(ItemType::Light, index);
    placed.light = &light;
    placed.type = light.type;
    placed.position = scene.worldPosition(placed.id, time);
    placed.right = scene.rightVector(placed.id, time);
    placed.up = scene.upVector(placed.id, time);
    placed.forward = scene.forwardVector(placed.id, time);
    placed.color = light.color * light.intensity.at(time);
    if (light.type == LightType::Linear) {
      placed.u = placed.forward * std::max(light.length, 1e-8);
      placed.origin = placed.position - placed.u * 0.5;
    } else if (light.type == LightType::Area) {
      placed.u = placed.right * std::max(light.width, 1e-8);
      placed.v = placed.up * std::max(light.height, 1e-8);
      placed.origin = placed.position - (placed.u + placed.v) * 0.5;
    } else {
      placed.origin = placed.position;
    }
    if (light.type == LightType::Spot) spotCosines(light, placed.cosOuter, placed.cosInner);
    lights_.push_back(placed);
  }
}

Vec3 RaytraceScene::smoothNormal(const RayHit& hit) const {
  const PlacedObject& placed = objectOfGeometry(hit.geometryId);
  const auto& c = placed.cornerNormals.at(hit.primitiveId);
  const double w0 = 1.0 - hit.u - hit.v;
  const Vec3 n = toVec(c[0]) * w0 + toVec(c[1]) * hit.u + toVec(c[2]) * hit.v;
  // Normals go through the inverse transpose of the object's transform.
  const auto& m = placed.toObject.m;
  return normalize({m[0][0] * n.x + m[1][0] * n.y + m[2][0] * n.z,
                    m[0][1] * n.x + m[1][1] * n.y + m[2][1] * n.z,
                    m[0][2] * n.x + m[1][2] * n.y + m[2][2] * n.z});
}

std::array<Vec3, 3> RaytraceScene::cornerNormalsAt(const RayHit& hit) const {
  const PlacedObject& placed = objectOfGeometry(hit.geometryId);
  const auto& c = placed.cornerNormals.at(hit.primitiveId);
  const auto& m = placed.toObject.m;
  std::array<Vec3, 3> out;
  for (int k = 0; k < 3; ++k) {
    const Vec3 n = toVec(c[k]);
    out[k] = normalize({m[0][0] * n.x + m[1][0] * n.y + m[2][0] * n.z,
                        m[0][1] * n.x + m[1][1] * n.y + m[2][1] * n.z,
                        m[0][2] * n.x + m[1][2] * n.y + m[2][2] * n.z});
  }
  return out;
}

Vec3 RaytraceScene::faceNormal(const RayHit& hit) const {
  return normalize({hit.geometricNormal[0], hit.geometricNormal[1], hit.geometricNormal[2]});
}

const ImageBuffer* RaytraceScene::image(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= images_->images.size()) return nullptr;
  return images_->images[static_cast<size_t>(index)].get();
}

}  // namespace orvik::host
