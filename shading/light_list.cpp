#include "shading/light_list.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "master/master_values.h"
#include "module/host_services.h"
#include "sdk/item_info.h"
#include "sdk/light_info.h"
#include "shading/models/spot_light.h"
#include "shading/shadow_transmission.h"
#include "shading/surface_lifecycle.h"

namespace orvik {
namespace {

constexpr double kDegreesToRadians = std::numbers::pi / 180.0;

Vec3 itemVector(const HostItemInfo1* items, HostItemId id, int param, double time) {
  double v[3] = {0.0, 0.0, 0.0};
  if (items->param) items->param(id, param, time, v);
  return {v[0], v[1], v[2]};
}

Vec3 toVec(const double v[3]) { return {v[0], v[1], v[2]}; }

Vec3 projectionPixel(const void* context, int column, int row) {
  const HostImageList1* images = hostServices().imageList;
  unsigned char rgb[3] = {0, 0, 0};
  if (images && images->rgb) images->rgb(static_cast<HostImageId>(const_cast<void*>(context)), column, row, rgb);
  return Vec3{double(rgb[0]), double(rgb[1]), double(rgb[2])} / 255.0;
}

// The projection image of a spot light, when the host's image list can read it and it
// has a usable size.
void readProjection(LightRecord& r, HostImageId image) {
  r.projectionImage = nullptr;
  r.projection = {};
  const HostImageList1* images = hostServices().imageList;
  if (!image || !images || !images->size) return;
  int w = 0, h = 0;
  images->size(image, &w, &h);
  if (!projectionImageUsable(w, h)) {
    images->size(image, &w, &h);  // asked once more: a loading image may report late
    if (!projectionImageUsable(w, h)) return;
  }
  r.projectionImage = image;
  r.projection = ProjectionImageView{w, h, image, projectionPixel};
}

Vec3 edgeOrAxis(Vec3 edge, Vec3 axis) {
  return lengthSquared(edge) < kMinimumEdgeLengthSquared ? axis * kDegenerateEdgeScale : edge;
}

LightList makeDefaultList() {
  LightList list;
  LightRecord& r = list.records[0];
  r.type = static_cast<int>(LightType::Distant);
  r.forward = kDefaultLightDirection;
  r.colour = {1.0, 1.0, 1.0};
  list.lightCount = 1;
  list.captureCount = 0;
  return list;
}

LightList gRenderList;
std::atomic<const LightList*> gCurrentList{nullptr};

}  // namespace

LightGeometry LightRecord::geometry() const {
  LightGeometry g;
  g.type = static_cast<LightType>(type);
  g.origin = origin;
  g.edgeU = u;
  g.edgeV = v;
  g.edgeULengthSquared = uLengthSquared;
  g.edgeVLengthSquared = vLengthSquared;
  g.forward = forward;
  g.right = right;
  g.up = up;
  g.colour = colour;
  g.shadowColour = shadowColour;
  g.range = range;
  g.minimumDistance = minimumDistance;
  g.falloff = falloff;
  g.flags = flags;
  g.cosInner = cosInner;
  g.cosOuter = cosOuter;
  g.projection = projectionImage ? &projection : nullptr;
  return g;
}

bool readLightRecord(HostItemId light, double time, LightRecord& r) {
  const HostServices& hs = hostServices();
  const HostItemInfo1* items = hs.itemInfo;
  const HostLightInfo1* info = hs.lightInfo;
  const HostLightInfo3* info3 = hs.lightInfo3;
  if (!light || !items || !info) return false;
  r = LightRecord{};
  r.id = light;
  r.type = info->type ? info->type(light) : 1;
  if (r.type < 0 || r.type > 4) r.type = 1;

  // World axes made orthonormal; the reported (scaled) ones span linear and area lights.
  r.position = itemVector(items, light, HOST_IP_W_POSITION, time);
  const Vec3 reportedRight = itemVector(items, light, HOST_IP_W_RIGHT, time);
  const Vec3 reportedUp = itemVector(items, light, HOST_IP_W_UP, time);
  const Vec3 reportedForward = itemVector(items, light, HOST_IP_W_FORWARD, time);
  // A collapsed axis (an area light scaled flat) is rebuilt from the other two.
  r.forward = normalize(reportedForward);
  const Vec3 upSide = reportedUp - r.forward * dot(reportedUp, r.forward);
  const Vec3 rightSide = reportedRight - r.forward * dot(reportedRight, r.forward);
  r.right = lengthSquared(rightSide) > 0.0 ? normalize(rightSide) : normalize(cross(upSide, r.forward));
  r.up = normalize(cross(r.forward, r.right));
  if (dot(r.up, upSide) < 0.0) r.up = -r.up;  // keep the host's handedness

  r.origin = r.position;
  if (r.type == static_cast<int>(LightType::Linear)) {
    r.u = edgeOrAxis(reportedForward, r.forward);
    r.origin = r.position - r.u * 0.5;
  } else if (r.type == static_cast<int>(LightType::Area)) {
    r.u = edgeOrAxis(reportedRight, r.right);
    r.v = edgeOrAxis(reportedUp, r.up);
    r.origin = r.position - (r.u + r.v) * 0.5;
  }
  r.uLengthSquared = lengthSquared(r.u);
  r.vLengthSquared = lengthSquared(r.v);

  double c[3] = {1.0, 1.0, 1.0};
  if (info->color) info->color(light, time, c);
  const double intensity = info->intensity ? info->intensity(light, time) : 1.0;
  r.colour = toVec(c) * intensity;
  r.shadowType = info->shadowType ? info->shadowType(light) : 0;
  r.flags = info->flags ? info->flags(light) : 0u;
  r.range = std::max(info->range ? info->range(light, time) : 1.0, kMinimumRange);

  double cone = 0.0, edge = 0.0;
  if (info3) {
    if (info3->coneAngles) info3->coneAngles(light, time, &cone, &edge);
    r.rawQuality = info3->quality ? info3->quality(light) : kOlderInterfaceRawQuality;
    r.falloff = info3->falloff ? info3->falloff(light) : 0;
    double sc[3] = {0.0, 0.0, 0.0};
    if (info3->shadowColor) info3->shadowColor(light, time, sc);
    const double level = info3->shadowLevel ? info3->shadowLevel(light, time) : 0.0;
    r.shadowColour = toVec(sc) * level;
    if (r.type == static_cast<int>(LightType::Spot) && info3->projImage) readProjection(r, info3->projImage(light));
  } else {
    if (info->coneAngles) info->coneAngles(light, &cone, &edge);
    cone *= kDegreesToRadians;
    edge *= kDegreesToRadians;
    r.rawQuality = kOlderInterfaceRawQuality;
  }
  r.quality = info3 ? std::max(r.rawQuality, 1) : kOlderInterfaceQuality;
  r.edgeAngle = std::max(edge, kMinimumSpotEdge);
  r.coneAngle = std::max(cone, r.edgeAngle + kMinimumConeOverEdge);
  r.cosInner = std::cos(r.coneAngle - r.edgeAngle);
  r.cosOuter = std::cos(r.coneAngle);

  if (r.isAreaKind()) {
    r.colour *= 2.0;
    r.shadowColour *= 2.0;
  }
  r.minimumDistance = masterMinimumDistance(kHostMinimumDistance);
  return true;
}

void computeGroupMasks(LightList& list) {
  for (int i = 0; i < list.lightCount; ++i)
    list.records[i].groupMask = list.records[i].id ? masterLightGroupMask(list.records[i].id) : 0u;
}

namespace {
void completeList(LightList& list, double time) {
  const HostLightInfo1* info = hostServices().lightInfo;
  double a[3] = {0.0, 0.0, 0.0};
  if (info && info->ambient) info->ambient(time, a);
  list.ambient = toVec(a);
  computeGroupMasks(list);
}
}  // namespace

int buildLightList(LightList& list, double time) {
  list.lightCount = 0;
  list.captureCount = 0;
  const HostItemInfo1* items = hostServices().itemInfo;
  if (items && items->first && items->next) {
    for (HostItemId id = items->first(HOST_ITEM_LIGHT, nullptr); id && list.lightCount < kMaxLights;
         id = items->next(id)) {
      if (readLightRecord(id, time, list.records[list.lightCount])) ++list.lightCount;
    }
  }
  list.captureCount = list.lightCount;
  completeList(list, time);
  return list.lightCount;
}

int appendLightList(LightList& list, double time) {
  int appended = 0;
  const HostItemInfo1* items = hostServices().itemInfo;
  if (items && items->first && items->next) {
    for (HostItemId id = items->first(HOST_ITEM_LIGHT, nullptr); id && list.lightCount < kMaxAppendedLightCount;
         id = items->next(id)) {
      const bool listed = std::any_of(list.records, list.records + list.lightCount,
                                      [id](const LightRecord& r) { return r.id == id; });
      if (listed) continue;
      if (readLightRecord(id, time, list.records[list.lightCount])) {
        ++list.lightCount;
        ++appended;
      }
    }
  }
  computeGroupMasks(list);
  return appended;
}

int refreshLightList(LightList& list, double time, HostItemId item) {
  int refreshed = 0;
  for (int i = 0; i < list.lightCount; ++i) {
    LightRecord& r = list.records[i];
    if (!r.id || (item && r.id != item)) continue;
    LightRecord fresh;
    if (readLightRecord(r.id, time, fresh)) {
      r = fresh;
      ++refreshed;
    }
  }
  completeList(list, time);
  return refreshed;
}

const LightList& defaultLightList() {
  static const LightList list = makeDefaultList();
  return list;
}

LightList& renderLightList() { return gRenderList; }

const LightList* currentLightList() {
  const LightList* list = gCurrentList.load(std::memory_order_acquire);
  return list ? list : &defaultLightList();
}

void setCurrentLightList(const LightList* list) { gCurrentList.store(list, std::memory_order_release); }

void gatherRenderLights(int, double time) {
  buildLightList(gRenderList, time);
  refreshSharedLightBlock();
  setCurrentLightList(&gRenderList);
}

void installLightGathering() {
  SurfaceHooks hooks = surfaceHooks();
  hooks.gatherLights = gatherRenderLights;
  setSurfaceHooks(hooks);
}

}  // namespace orvik
