#include "shading/shadow_transmission.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <span>

#include "module/colored_shadow_ray.h"
#include "module/host_services.h"
#include "module/thread_slots.h"
#include "sdk/global_memory.h"
#include "shading/models/shadow_map.h"

namespace orvik {
namespace {

std::atomic<const unsigned char*> gBlockData{nullptr};
std::atomic<std::size_t> gBlockSize{0};

template <class T>
bool readAt(const SharedLightBlock& b, std::size_t offset, T& out) {
  if (offset > b.size || b.size - offset < sizeof(T)) return false;
  std::memcpy(&out, b.data + offset, sizeof(T));
  return true;
}

}  // namespace

void setSharedLightBlock(SharedLightBlock block) {
  gBlockData.store(block.data, std::memory_order_relaxed);
  gBlockSize.store(block.data ? block.size : 0, std::memory_order_relaxed);
}

SharedLightBlock sharedLightBlock() {
  return {gBlockData.load(std::memory_order_relaxed), gBlockSize.load(std::memory_order_relaxed)};
}

void refreshSharedLightBlock() {
  // The block lives in the host's render memory, where the pixel filter finds or
  // creates it and a sibling light publishes its shadow data: the same place, so
  // that a frame's lights never swap the filter's block for another (or for none).
  SharedLightBlock block;
  HostGlobalFunc global = hostServices().global;
  const auto* memory =
      global ? static_cast<const HostGlobalMemory*>(global(HOST_GLOBAL_RENDER_MEMORY_NAME, HOST_GFUSE_TRANSIENT))
             : nullptr;
  if (memory && memory->find && memory->size) {
    block.data = static_cast<const unsigned char*>(memory->find(kSharedLightBlockName));
    block.size = block.data ? memory->size(kSharedLightBlockName) : 0;
  }
  setSharedLightBlock(block);
}

double sharedDepthMapVisibility(const SharedLightBlock& b, HostItemId light, Vec3 p) {
  if (!b.data || b.size < kSharedLightHeaderSize || !light) return -1.0;
  std::uint32_t first = 0;
  if (!readAt(b, 0, first) || first == 0) return -1.0;
  const auto lightKey = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(light));
  for (std::size_t entry = first; entry <= b.size && b.size - entry >= kSharedLightEntrySize;
       entry += kSharedLightEntrySize) {
    std::uint32_t item = 0, valid = 0;
    readAt(b, entry + kSharedEntryItem, item);
    if (item == 0) break;
    readAt(b, entry + kSharedEntryValid, valid);
    if (item != lightKey || valid == 0) continue;

    std::array<double, kShadowProjectionDoubles> record{};
    std::int32_t width = 0, height = 0;
    std::uint32_t depthsAt = 0, count = 0;
    readAt(b, entry + kSharedEntryProjection, record);
    readAt(b, entry + kSharedEntryWidth, width);
    readAt(b, entry + kSharedEntryHeight, height);
    readAt(b, entry + kSharedEntryDepths, depthsAt);
    readAt(b, kSharedPatternCount, count);
    if (width <= 0 || height <= 0) return -1.0;
    const std::size_t depthBytes = std::size_t(width) * std::size_t(height) * sizeof(float);
    if (depthsAt > b.size || b.size - depthsAt < depthBytes || depthsAt % alignof(float) != 0) return -1.0;
    count = std::min<std::uint32_t>(count, kMaxShadowPatternOffsets);
    std::array<std::int32_t, kMaxShadowPatternOffsets> dx{}, dy{};
    std::memcpy(dx.data(), b.data + kSharedPatternX, count * sizeof(std::int32_t));
    std::memcpy(dy.data(), b.data + kSharedPatternY, count * sizeof(std::int32_t));
    const auto* depths = reinterpret_cast<const float*>(b.data + depthsAt);
    const ShadowMapPoint q = projectToShadowMap(record, p);
    return shadowMapVisibility(std::span<const float>(depths, std::size_t(width) * std::size_t(height)), width,
                               height, q, std::span<const std::int32_t>(dx.data(), count),
                               std::span<const std::int32_t>(dy.data(), count));
  }
  return -1.0;
}

Vec3 shadowTransmission(const LightRecord& light, const ShadowQuery& q, Vec3 lit, Vec3 toLight) {
  Vec3 tau{1.0, 1.0, 1.0};
  HostShaderAccess* sa = q.access;
  if (sa && sa->illuminate) {
    ThreadRecord& thread = q.thread ? *q.thread : threadRecord();
    const int savedMode = thread.rayMode;
    thread.rayMode = kRayModeShadowQuery;
    const double position[3] = {q.position.x, q.position.y, q.position.z};
    double direction[3] = {0.0, 0.0, 0.0};
    double shadowed[3] = {0.0, 0.0, 0.0};
    sa->illuminate(sa->rayData, light.id, position, direction, shadowed);
    thread.rayMode = savedMode;
    const Vec3 shadowedColour{shadowed[0], shadowed[1], shadowed[2]};

    if (q.goodShadows && light.shadowType == 2) {
      const double litLength = length(lit);
      if (litLength > 0.0 && length(shadowedColour) / litLength > kUnshadowedRatio) {
        tau = {1.0, 1.0, 1.0};
      } else {
        const Vec3 from = q.position + q.geometricNormal * (q.rayLength * kShadowRayOffset);
        const Vec3 to = light.type == static_cast<int>(LightType::Distant) ? q.position + toLight * kDistantShadowReach
                                                                           : light.position;
        const double f[3] = {from.x, from.y, from.z}, t[3] = {to.x, to.y, to.z};
        double transmission[3] = {1.0, 1.0, 1.0};
        if (coloredShadowRay(sa, f, t, q.time, transmission) > 0) {
          tau = {std::clamp(transmission[0], 0.0, 1.0), std::clamp(transmission[1], 0.0, 1.0),
                 std::clamp(transmission[2], 0.0, 1.0)};
        }
      }
    } else {
      // Ratio of the shadowed to the unshadowed light per channel; channels without a
      // valid ratio take the mean of the valid ones.
      double ratio[3];
      bool valid[3];
      double validSum = 0.0;
      int validCount = 0;
      for (int c = 0; c < 3; ++c) {
        valid[c] = false;
        if (std::fabs(lit[c]) > kMinimumLitForRatio) {
          ratio[c] = shadowedColour[c] / lit[c];
          valid[c] = ratio[c] >= kRatioLow && ratio[c] <= kRatioHigh;
        }
        if (valid[c]) {
          validSum += ratio[c];
          ++validCount;
        }
      }
      const double fallback = validCount ? validSum / validCount : kNoValidRatio;
      tau = {std::clamp(valid[0] ? ratio[0] : fallback, 0.0, 1.0), std::clamp(valid[1] ? ratio[1] : fallback, 0.0, 1.0),
             std::clamp(valid[2] ? ratio[2] : fallback, 0.0, 1.0)};
    }
  }
  if (light.type == static_cast<int>(LightType::Spot) && q.pixelFilterPresent) {
    const double seen = sharedDepthMapVisibility(sharedLightBlock(), light.id, q.position);
    if (seen >= 0.0) tau *= seen;
  }
  return tau;
}

}  // namespace orvik
