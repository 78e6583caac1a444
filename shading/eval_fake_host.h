// Test double of the host for the evaluation tests: a global-service function
// with just the services the shading reads (surface options, exclusion,
// images, backdrop), every other service an empty record, and an access
// record with counting ray functions.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "module/host_services.h"
#include "sdk/orvik_sdk.h"

namespace orvik::evaltest {

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
