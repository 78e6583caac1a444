// Test helpers: a scene with a render camera, preview windows that want
// given frames, a render memory and a pixel access over four floats.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "preview/pixel_filter.h"
#include "preview/preview_store.h"
#include "sdk/orvik_sdk.h"

namespace orvik::testing {

inline HostItemId testCamera() { return reinterpret_cast<HostItemId>(std::uintptr_t{0x1000}); }

struct TestScene {
  HostSceneInfo info{};
  TestScene(int width, int height, int minSamples = 1, int maxSamples = 1) {
    info.frameWidth = width;
    info.frameHeight = height;
    info.minSamplesPerPixel = minSamples;
    info.maxSamplesPerPixel = maxSamples;
    info.limitedRegion[0] = 0;
    info.limitedRegion[1] = 0;
    info.limitedRegion[2] = width - 1;
    info.limitedRegion[3] = height - 1;
    info.renderCamera = [](double) { return testCamera(); };
  }
};

// Windows wanting (camera, frame); the list is module-wide, as the real one.
struct TestWindow {
  HostItemId camera = nullptr;
  double frame = 0.0;
  bool followsRender = false;
};
inline std::vector<TestWindow>& testWindows() {
  static std::vector<TestWindow> windows;
  return windows;
}
inline int& renderingMarks() {
  static int marks = 0;
  return marks;
}
inline void installTestWindows() {
  PreviewWindowHooks h;
  h.first = []() {
    return testWindows().empty() ? nullptr : reinterpret_cast<PreviewWindow*>(&testWindows()[0]);
  };
  h.next = [](PreviewWindow* w) -> PreviewWindow* {
    auto* t = reinterpret_cast<TestWindow*>(w) + 1;
    return t == testWindows().data() + testWindows().size() ? nullptr : reinterpret_cast<PreviewWindow*>(t);
  };
  h.cameraCount = [](PreviewWindow* w) { return reinterpret_cast<TestWindow*>(w)->camera ? 1 : 0; };
  h.camera = [](PreviewWindow* w) { return reinterpret_cast<TestWindow*>(w)->camera; };
  h.frame = [](PreviewWindow* w) { return reinterpret_cast<TestWindow*>(w)->frame; };
  h.followsRender = [](PreviewWindow* w) { return reinterpret_cast<TestWindow*>(w)->followsRender; };
  h.takeRenderedFrame = [](PreviewWindow* w, int frame, HostItemId camera) {
    reinterpret_cast<TestWindow*>(w)->frame = frame;
    reinterpret_cast<TestWindow*>(w)->camera = camera;
  };
  h.markRendering = [](bool on) { renderingMarks() += on ? 1 : -1; };
  setPreviewWindowHooks(h);
}

// Named blocks of the render memory.
struct TestRenderMemory {
  static std::map<std::string, std::vector<unsigned char>>& blocks() {
    static std::map<std::string, std::vector<unsigned char>> b;
    return b;
  }
  HostGlobalMemory service{
      [](const char* name) -> void* {
        auto it = blocks().find(name);
        return it == blocks().end() ? nullptr : it->second.data();
      },
      [](const char* name, size_t size) -> void* {
        auto& b = blocks()[name];
        if (b.empty()) b.assign(size, 0xAB);  // not zeroed: the filter must clear the first word
        return b.data();
      },
      [](const char* name) -> size_t {
        auto it = blocks().find(name);
        return it == blocks().end() ? 0 : it->second.size();
      }};
};

// Warnings shown, as "line1|line2".
inline std::vector<std::string>& shownWarnings() {
  static std::vector<std::string> w;
  return w;
}
inline void recordWarning(const char* a, const char* b) { shownWarnings().push_back(std::string(a) + "|" + b); }

// One pixel of the host's frame buffers as the filter reads and writes it.
struct TestPixel {
  float rgba[4] = {0, 0, 0, 1};
  float written[4] = {-1, -1, -1, -1};
  HostFilterAccess access{};
  TestPixel(double sx, double sy, float r, float g, float b, float a = 1.0f) {
    rgba[0] = r, rgba[1] = g, rgba[2] = b, rgba[3] = a;
    access.sx = sx;
    access.sy = sy;
    access.filterData = this;
    access.getVal = [](void* d, int type, int num, float* out) {
      auto* p = static_cast<TestPixel*>(d);
      for (int i = 0; i < num; ++i) out[i] = type + i < 4 ? p->rgba[type + i] : 0.0f;
    };
    access.setRGBA = [](void* d, const float rgba[4]) { std::memcpy(static_cast<TestPixel*>(d)->written, rgba, 16); };
  }
};

inline FilterHost testFilterHost(const TestScene& scene, TestRenderMemory* memory = nullptr) {
  FilterHost host;
  host.scene = &scene.info;
  host.renderMemory = memory ? &memory->service : nullptr;
  host.warn = recordWarning;
  return host;
}

}  // namespace orvik::testing
