// The per-light drivers: each takes one light of the LightList and adds its
// diffuse and specular light at a sample into the sample's sums, with the
// light's exclusion, group boosts, shadow density and shadows.
#pragma once

#include <cstdint>

#include "shading/light_list.h"
#include "shading/models/pixel_random.h"
#include "shading/models/surface_response.h"
#include "shading/shadow_transmission.h"

namespace orvik {

// The eleven channel weights of a sample, in the order the drivers read them.
struct SampleWeights {
  double diffuse = 0.0;
  double specular = 0.0;
  double transparency = 0.0;
  double mirror = 0.0;
  double luminous = 0.0;
  double shadowDensity = 0.0;
  double globalIllum = 0.0;
  double ambient = 0.0;
  double exclusion = 0.0;
  double bumpScale = 1.0;
  double anisotropyAngle = 0.0;
};

inline constexpr int kLightGroups = 12;
inline constexpr double kMinimumLightFactor = 1e-5;
inline constexpr double kFullExclusion = 0.999999;
inline constexpr double kMinimumLitSquared = 1e-6;
inline constexpr double kMinimumAreaLight = 0.001;
inline constexpr double kDarkenWeightThird = 0.333333333;
// Pixel filter's area factor when there is none.
inline constexpr double kDefaultAreaFactor = 0.57735;

// What the drivers know of one sample.
struct LightDriverContext {
  SurfaceModel model;
  SurfacePoint point;
  Vec3 position;       // wPos
  Vec3 view;           // unit, toward the ray source
  SampleWeights weights;
  double hostSpecular = 0.0;  // the sample's specular channel
  double hostDiffuse = 0.0;
  bool darken = false;        // luminous shadow darkening: only the sums are gathered

  HostItemId object = nullptr;
  bool masterGroupBoosts = false;    // GLOLIGHTBOOST with a master
  double groupBoost[kLightGroups] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};

  // Shadows at render time.
  ShadowQuery shadow;
  bool receivesShadows = true;       // the object receives shadows
  bool sceneTracesShadows = false;   // the host's ray-traced shadows are on
  bool masterPresent = false;
  bool areaFilter = false;           // AREAFILTER: coloured shadow rays for area lights
  double areaShadeQuality = 0.4;     // AREASHADEQ
  double areaShadowQuality = 0.4;    // AREASHADOWEQ
  double areaFactor = kDefaultAreaFactor;
  PixelRandom random;                // per-pixel generator for the shadow points

  // The light-independent part of the surface's response, prepared with the sample's full
  // weights by the first light that asks for it and reused by every later light, whatever
  // terms it switches off. Whoever changes model, point, view or weights afterwards calls
  // forgetPrepared().
  PreparedResponse prepared;
  bool preparedValid = false;
  void forgetPrepared() { preparedValid = false; }
};

struct LightSums {
  Vec3 direct;              // lightSum
  double lightWeight = 0.0; // total light (darkening)
  double darkening = 0.0;   // lit light (darkening)
};

// Light factor and shadow density of a light at the sample: exclusion, the master's
// group factors and the surface's group boosts. False when the light is removed
// (an excluded light with exclusion >= 0.999999 when skipFullExclusion).
bool lightFactor(const LightRecord& light, const LightDriverContext& ctx, bool skipFullExclusion, double& f,
                 double& density);

// Distant, point and spot lights with their own shadow query; writes bytes.
void drivePointLightTraced(const LightRecord& light, LightDriverContext& ctx, std::uint8_t bytes[3], LightSums& sums);
// The same lights with stored shadow bytes (re-composition, samples without tracing).
void drivePointLightStored(const LightRecord& light, LightDriverContext& ctx, const std::uint8_t bytes[3],
                           LightSums& sums);
// Linear and area lights: adaptive integration; with storedShadows the bytes are read,
// else soft shadows are traced (when wanted) and the bytes written.
void driveAreaLight(const LightRecord& light, LightDriverContext& ctx, bool storedShadows, std::uint8_t bytes[3],
                    LightSums& sums);

}  // namespace orvik
