// Test double of the host for the evaluation tests: a global-service function
// with just the services the shading reads (surface options, exclusion,
// images, backdrop), every other service an empty record, and an access
// record with counting ray functions.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "module/host_services.h"
#include "sdk/orvik_sdk.h"

namespace orvik::evaltest {

// A scene light as the fake host reports it.
struct FakeLight {
  int type = HOST_LIGHT_POINT;
  double position[3] = {0, 0, 0};
  double right[3] = {1, 0, 0}, up[3] = {0, 1, 0}, forward[3] = {0, 0, 1};  // scaled axes
  double colour[3] = {1, 1, 1};
  double intensity = 1.0;
  double cone = 0.5, edge = 0.1;  // radians
  int quality = 4;
  int shadowType = HOST_SHADOW_RAYTRACE;
  double shadowColour[3] = {0, 0, 0};
  double shadowLevel = 1.0;
  int falloff = HOST_FALLOFF_NONE;
  unsigned flags = 0;
  double range = 10.0;
};

struct FakeEvalHost {
  static FakeEvalHost*& current() {
    static FakeEvalHost* host = nullptr;
    return host;
  }
  explicit FakeEvalHost(int major = 7) : product(HOST_PRODUCT_MAKE(major, 5, 600)) {
    current() = this;
    resetHostServices();
    acquireServices(&global, 4);
  }
  ~FakeEvalHost() {
    resetHostServices();
    current() = nullptr;
  }
  FakeEvalHost(const FakeEvalHost&) = delete;
  FakeEvalHost& operator=(const FakeEvalHost&) = delete;

  std::uint32_t product;
  int reflectionOptions = 1;
  bool excludeAll = false;
  int imageWidth = 8, imageHeight = 8;
  float imageColour[3] = {0.25f, 0.5f, 0.75f};
  double backdropColour[3] = {0.0, 0.0, 0.0};
  std::vector<FakeLight> lights;
  double ambient[3] = {0.1, 0.2, 0.3};

  static HostItemId idOf(std::size_t index) { return reinterpret_cast<HostItemId>(std::uintptr_t{index + 1} << 4); }
  static FakeLight& lightOf(HostItemId id) {
    return current()->lights[(reinterpret_cast<std::uintptr_t>(id) >> 4) - 1];
  }

 private:
  static void* global(const char* name, int) {
    FakeEvalHost* h = current();
    if (!h || !name) return nullptr;
    const std::string n = name;
    if (n == HOST_PRODUCT_INFO_NAME) return reinterpret_cast<void*>(std::uintptr_t{h->product});
    if (n == HOST_SYSTEM_ID_NAME) return reinterpret_cast<void*>(std::uintptr_t{HOST_SYSTEM_LAYOUT});
    if (n == HOST_SURFACE_FUNCTIONS_NAME " 2") return &surfaces();
    if (n == HOST_OBJECT_INFO_NAME " 4") return &objects();
    if (n == HOST_IMAGE_LIST_NAME " 3") return &images();
    if (n == HOST_BACKDROP_INFO_NAME " 2") return &backdrop();
    if (n == HOST_ITEM_INFO_NAME " 3") return &items();
    if (n == HOST_LIGHT_INFO_NAME " 2") return &lightInfo2();
    if (n == HOST_LIGHT_INFO_3_NAME) return &lightInfo3();
    // Anything else: a record of null functions, at the plain name only.
    if (n.find_first_of("0123456789") == std::string::npos || n == "LW Scene Info 2") return empty();
    return nullptr;
  }
  static void* empty() {
    alignas(16) static unsigned char blob[4096] = {};
    return blob;
  }
  static HostSurfaceFuncs2& surfaces() {
    static HostSurfaceFuncs2 s = [] {
      HostSurfaceFuncs2 f{};
      f.getInt = [](HostSurfaceId, const char* channel) {
        return std::strcmp(channel, HOST_SURF_REFLECTION_OPTIONS) == 0 ? current()->reflectionOptions : 0;
      };
      f.getFlt = [](HostSurfaceId, const char*) { return 0.0; };
      f.getImg = [](HostSurfaceId, const char*) { return static_cast<HostImageId>(nullptr); };
      return f;
    }();
    return s;
  }
  static HostObjectInfo4& objects() {
    static HostObjectInfo4 o = [] {
      HostObjectInfo4 f{};
      f.shadowOpts = [](HostItemId) { return unsigned(HOST_OSHADOW_RECEIVE | HOST_OSHADOW_CAST); };
      f.excludeLight = [](HostItemId, HostItemId) { return current()->excludeAll ? 1 : 0; };
      return f;
    }();
    return o;
  }
  static HostImageList3& images() {
    static HostImageList3 i = [] {
      HostImageList3 f{};
      f.size = [](HostImageId, int* w, int* h) {
        *w = current()->imageWidth;
        *h = current()->imageHeight;
      };
      f.rgb = [](HostImageId, int, int, unsigned char rgb[3]) {
        for (int c = 0; c < 3; ++c) rgb[c] = static_cast<unsigned char>(current()->imageColour[c] * 255.0f);
      };
      f.rgbFloat = [](HostImageId, int, int, float rgb[3]) {
        for (int c = 0; c < 3; ++c) rgb[c] = current()->imageColour[c];
      };
      return f;
    }();
    return i;
  }
  static HostItemInfo3& items() {
    static HostItemInfo3 i = [] {
      HostItemInfo3 f{};
      f.first = [](int type, HostItemId) {
        return type == HOST_ITEM_LIGHT && !current()->lights.empty() ? idOf(0) : nullptr;
      };
      f.next = [](HostItemId id) {
        const std::size_t index = (reinterpret_cast<std::uintptr_t>(id) >> 4);  // one past id's index
        return index < current()->lights.size() ? idOf(index) : nullptr;
      };
      f.param = [](HostItemId id, int param, double, double v[3]) {
        const FakeLight& l = lightOf(id);
        const double* from = param == HOST_IP_W_POSITION ? l.position
                             : param == HOST_IP_W_RIGHT  ? l.right
                             : param == HOST_IP_W_UP     ? l.up
                                                         : l.forward;
        for (int c = 0; c < 3; ++c) v[c] = from[c];
      };
      return f;
    }();
    return i;
  }
  static HostLightInfo2& lightInfo2() {
    static HostLightInfo2 i = [] {
      HostLightInfo2 f{};
      f.ambient = [](double, double c[3]) {
        for (int k = 0; k < 3; ++k) c[k] = current()->ambient[k];
      };
      f.type = [](HostItemId id) { return lightOf(id).type; };
      f.color = [](HostItemId id, double, double c[3]) {
        for (int k = 0; k < 3; ++k) c[k] = lightOf(id).colour[k];
      };
      f.intensity = [](HostItemId id, double) { return lightOf(id).intensity; };
      f.shadowType = [](HostItemId id) { return lightOf(id).shadowType; };
      f.flags = [](HostItemId id) { return lightOf(id).flags; };
      f.range = [](HostItemId id, double) { return lightOf(id).range; };
      return f;
    }();
    return i;
  }
  static HostLightInfo3& lightInfo3() {
    static HostLightInfo3 i = [] {
      HostLightInfo3 f{};
      const HostLightInfo2& older = lightInfo2();
      f.ambient = older.ambient, f.type = older.type, f.color = older.color, f.intensity = older.intensity;
      f.shadowType = older.shadowType, f.flags = older.flags, f.range = older.range;
      f.coneAngles = [](HostItemId id, double, double* cone, double* edge) {
        *cone = lightOf(id).cone;
        *edge = lightOf(id).edge;
      };
      f.quality = [](HostItemId id) { return lightOf(id).quality; };
      f.falloff = [](HostItemId id) { return lightOf(id).falloff; };
      f.projImage = [](HostItemId) { return static_cast<HostImageId>(nullptr); };
      f.shadowColor = [](HostItemId id, double, double c[3]) {
        for (int k = 0; k < 3; ++k) c[k] = lightOf(id).shadowColour[k];
      };
      f.shadowLevel = [](HostItemId id, double) { return lightOf(id).shadowLevel; };
      return f;
    }();
    return i;
  }
  static HostBackdropInfo2& backdrop() {
    static HostBackdropInfo2 b = [] {
      HostBackdropInfo2 f{};
      f.backdrop = [](double, const double*, double c[3]) {
        for (int i = 0; i < 3; ++i) c[i] = current()->backdropColour[i];
      };
      return f;
    }();
    return b;
  }
};

}  // namespace orvik::evaltest
