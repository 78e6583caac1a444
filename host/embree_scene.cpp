#include "host/embree_scene.h"

#include <embree3/rtcore.h>
#include <pmmintrin.h>
#include <xmmintrin.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#if defined(__SANITIZE_THREAD__)
// The ray tracing library builds its acceleration structures on its own
// worker threads, synchronised inside the (uninstrumented) library and its
// task scheduler; the thread sanitizer cannot see that synchronisation and
// reports the library's memory handed between them. Our own code is checked.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
  return "race:libembree3.so\nrace:libtbb.so\n";
}
#endif

namespace orvik::host {

void enableFastFloatMode() {
  _MM_SET_FLUSH_ZERO_MODE(_MM_FLUSH_ZERO_ON);
  _MM_SET_DENORMALS_ZERO_MODE(_MM_DENORMALS_ZERO_ON);
}

struct EmbreeScene::Impl {
  RTCDevice device = nullptr;
  RTCScene scene = nullptr;

  ~Impl() {
    if (scene) rtcReleaseScene(scene);
    if (device) rtcReleaseDevice(device);
  }
};

namespace {

float toFloatDistance(double t) {
  if (!(t < static_cast<double>(std::numeric_limits<float>::max())))
    return std::numeric_limits<float>::infinity();
  return static_cast<float>(t);
}

void fillRay(RTCRay& ray, const std::array<double, 3>& o, const std::array<double, 3>& d,
             double tNear, double tFar) {
  ray.org_x = static_cast<float>(o[0]);
  ray.org_y = static_cast<float>(o[1]);
  ray.org_z = static_cast<float>(o[2]);
  ray.dir_x = static_cast<float>(d[0]);
  ray.dir_y = static_cast<float>(d[1]);
  ray.dir_z = static_cast<float>(d[2]);
  ray.tnear = static_cast<float>(std::max(tNear, 0.0));
  ray.tfar = toFloatDistance(tFar);
  ray.time = 0.0f;
  ray.mask = 0xFFFFFFFFu;
  ray.id = 0;
  ray.flags = 0;
}

std::array<double, 3> normalised(std::array<double, 3> v) {
  double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (len <= 0.0 || !std::isfinite(len)) return {0.0, 1.0, 0.0};
  return {v[0] / len, v[1] / len, v[2] / len};
}

}  // namespace

EmbreeScene::EmbreeScene() : impl_(std::make_unique<Impl>()) {
  impl_->device = rtcNewDevice(nullptr);
  if (!impl_->device) throw std::runtime_error("ray tracing device could not be created");
  impl_->scene = rtcNewScene(impl_->device);
  rtcSetSceneFlags(impl_->scene, RTC_SCENE_FLAG_ROBUST);
  rtcSetSceneBuildQuality(impl_->scene, RTC_BUILD_QUALITY_HIGH);
}

EmbreeScene::~EmbreeScene() = default;

uint32_t EmbreeScene::addTriangleMesh(const TriangleMesh& mesh) {
  const size_t vertexCount = mesh.positions.size();
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    for (uint32_t index : mesh.triangles[i]) {
      if (index >= vertexCount)
        throw std::invalid_argument("triangle " + std::to_string(i) + " uses vertex " +
                                    std::to_string(index) + " of a mesh with " +
                                    std::to_string(vertexCount) + " vertices");
    }
  }
  if (!mesh.normals.empty() && mesh.normals.size() != vertexCount)
    throw std::invalid_argument("mesh has " + std::to_string(mesh.normals.size()) +
                                " normals for " + std::to_string(vertexCount) + " vertices");
  if (!mesh.uvs.empty() && mesh.uvs.size() != vertexCount)
    throw std::invalid_argument("mesh has " + std::to_string(mesh.uvs.size()) +
                                " texture coordinates for " + std::to_string(vertexCount) +
                                " vertices");

  RTCGeometry geometry = rtcNewGeometry(impl_->device, RTC_GEOMETRY_TYPE_TRIANGLE);
  // The library may read 16 bytes from the last vertex: one spare entry.
  auto* vertices = static_cast<float*>(rtcSetNewGeometryBuffer(
      geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, 3 * sizeof(float), vertexCount + 1));
  auto* indices = static_cast<uint32_t*>(
      rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                              3 * sizeof(uint32_t), mesh.triangles.size()));
  if (!vertices || !indices) {
    rtcReleaseGeometry(geometry);
    throw std::runtime_error("out of memory for a mesh of " + std::to_string(vertexCount) +
                             " vertices");
  }
  for (size_t i = 0; i < vertexCount; ++i)
    for (int k = 0; k < 3; ++k) vertices[3 * i + k] = mesh.positions[i][k];
  for (int k = 0; k < 3; ++k) vertices[3 * vertexCount + k] = 0.0f;
  for (size_t i = 0; i < mesh.triangles.size(); ++i)
    for (int k = 0; k < 3; ++k) indices[3 * i + k] = mesh.triangles[i][k];
  rtcCommitGeometry(geometry);
  const uint32_t id = rtcAttachGeometry(impl_->scene, geometry);
  rtcReleaseGeometry(geometry);
  if (id != meshes_.size()) throw std::logic_error("geometry ids out of step");
  meshes_.push_back(mesh);
  committed_ = false;
  return id;
}

void EmbreeScene::commit() {
  rtcCommitScene(impl_->scene);
  committed_ = true;
}

RayHit EmbreeScene::intersect(const std::array<double, 3>& origin,
                              const std::array<double, 3>& direction, double tNear,
                              double tFar, bool withNormal) const {
  RayHit result;
  if (!committed_ || !(tFar > tNear)) return result;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRayHit rh;
  fillRay(rh.ray, origin, direction, tNear, tFar);
  rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
  rh.hit.primID = RTC_INVALID_GEOMETRY_ID;
  rh.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
  rtcIntersect1(impl_->scene, &context, &rh);
  if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID) return result;
  result.hit = true;
  result.distance = rh.ray.tfar;
  result.geometryId = rh.hit.geomID;
  result.primitiveId = rh.hit.primID;
  result.u = rh.hit.u;
  result.v = rh.hit.v;
  if (!withNormal) return result;
  // The face normal by the winding rule (v1 - v0) x (v2 - v0), the same rule
  // a polygon normal from its vertex list follows.
  const auto v = triangleVertices(result.geometryId, result.primitiveId);
  const std::array<double, 3> e1{v[1][0] - v[0][0], v[1][1] - v[0][1], v[1][2] - v[0][2]};
  const std::array<double, 3> e2{v[2][0] - v[0][0], v[2][1] - v[0][1], v[2][2] - v[0][2]};
  result.geometricNormal = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
  return result;
}

bool EmbreeScene::occluded(const std::array<double, 3>& origin,
                           const std::array<double, 3>& direction, double tNear,
                           double tFar) const {
  if (!committed_ || !(tFar > tNear)) return false;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRay ray;
  fillRay(ray, origin, direction, tNear, tFar);
  rtcOccluded1(impl_->scene, &context, &ray);
  // A blocked ray comes back with tfar set to minus infinity.
  return ray.tfar < 0.0f;
}

std::array<double, 3> EmbreeScene::shadingNormal(const RayHit& hit) const {
  const TriangleMesh& m = meshes_.at(hit.geometryId);
  if (m.normals.empty()) return normalised(hit.geometricNormal);
  const auto& tri = m.triangles.at(hit.primitiveId);
  const double w0 = 1.0 - hit.u - hit.v;
  std::array<double, 3> n{};
  for (int k = 0; k < 3; ++k)
    n[k] = w0 * m.normals[tri[0]][k] + hit.u * m.normals[tri[1]][k] +
           hit.v * m.normals[tri[2]][k];
  return normalised(n);
}

std::array<double, 2> EmbreeScene::textureCoordinates(const RayHit& hit) const {
  const TriangleMesh& m = meshes_.at(hit.geometryId);
  if (m.uvs.empty()) return {0.0, 0.0};
  const auto& tri = m.triangles.at(hit.primitiveId);
  const double w0 = 1.0 - hit.u - hit.v;
  std::array<double, 2> uv{};
  for (int k = 0; k < 2; ++k)
    uv[k] = w0 * m.uvs[tri[0]][k] + hit.u * m.uvs[tri[1]][k] + hit.v * m.uvs[tri[2]][k];
  return uv;
}

std::array<std::array<double, 3>, 3> EmbreeScene::triangleVertices(uint32_t geometryId,
                                                                   uint32_t primitiveId) const {
  const TriangleMesh& m = meshes_.at(geometryId);
  const auto& tri = m.triangles.at(primitiveId);
  std::array<std::array<double, 3>, 3> out{};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) out[i][k] = m.positions[tri[i]][k];
  return out;
}

}  // namespace orvik::host
