#include "module/colored_shadow_ray.h"

#include <algorithm>
#include <cmath>

#include "module/host_services.h"
#include "module/thread_slots.h"

namespace orvik {
namespace {

constexpr double kMinimumLength = 1e-18;
constexpr double kStartOffset = 0.0001;
constexpr double kReachFraction = 0.9998;
constexpr double kMinimumHitDistance = 1e-12;
constexpr double kStepBeyondHit = 1.00001;
constexpr double kOpaqueEnough = 0.0001;
constexpr double kRemainingEnough = 1e-10;

// Restores the record and the thread's ray mode on every way out.
struct RecordGuard {
  HostShaderAccess *sa;
  HostShaderAccess saved;
  ThreadRecord &thread;
  int savedRayMode;
  ~RecordGuard() {
    *sa = saved;
    thread.rayMode = savedRayMode;
  }
};

}  // namespace

int coloredShadowRay(HostShaderAccess *sa, const double from[3], const double to[3], double time,
                     double transmission[3]) {
  transmission[0] = transmission[1] = transmission[2] = 1.0;
  if (!sa || !sa->rayShade) return 0;
  double d[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
  const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  if (!(length >= kMinimumLength)) return 0;

  ThreadRecord &thread = threadRecord();
  RecordGuard guard{sa, *sa, thread, thread.rayMode};
  const HostItemId startObject = guard.saved.objID;
  const HostRayShadeFunc rayShade = guard.saved.rayShade;
  void *rayData = guard.saved.rayData;
  const HostObjectInfo1 *objects = hostServices().objectInfo;

  double start[3], dir[3];
  for (int i = 0; i < 3; ++i) {
    start[i] = from[i] + kStartOffset * d[i];
    dir[i] = d[i] / length;
  }
  double remaining = length * kReachFraction;

  // Shades the next surface along the ray. The fill-light value is cleared
  // first, so that a surface that does not record one reads 0 instead of
  // the value some earlier sample left behind.
  auto shadeNext = [&]() {
    thread.rayMode = kRayModeColoredShadow;
    thread.frontLight = 0.0;
    return rayShade(rayData, start, dir, sa);
  };

  int count = 0;
  double t = shadeNext();
  while (t < remaining && t >= kMinimumHitDistance) {
    ++count;
    const double q = thread.frontLight;
    const HostItemId hit = sa->objID;
    const unsigned options = (objects && objects->shadowOpts && hit) ? objects->shadowOpts(hit) : 0u;
    const bool casts = (options & HOST_OSHADOW_CAST) != 0;
    const bool selfShadows = (options & HOST_OSHADOW_SELF) != 0;
    if (casts && (hit != startObject || selfShadows)) {
      const double dissolve = (objects && objects->dissolve) ? objects->dissolve(hit, time) : 0.0;
      for (int c = 0; c < 3; ++c) {
        const double a = std::clamp((sa->color[c] * q + (1.0 - q)) * sa->transparency, 0.0, 1.0);
        transmission[c] *= (1.0 - dissolve) * a + dissolve;
      }
    }
    const double step = t * kStepBeyondHit;
    for (int i = 0; i < 3; ++i) start[i] += step * dir[i];
    remaining -= step;
    const double tau2 = transmission[0] * transmission[0] + transmission[1] * transmission[1] +
                        transmission[2] * transmission[2];
    if (tau2 <= kOpaqueEnough || remaining < kRemainingEnough || count >= kMaxShadowSurfaces) break;
    t = shadeNext();
  }
  return count;
}

}  // namespace orvik
