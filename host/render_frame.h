// The render loop: per frame the instance callbacks in the host's order,
// antialiasing passes of jittered camera rays on N render threads, the
// pixel filter per pixel and pass, and the finished image.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/image_io.h"
#include "host/ray_counts.h"
#include "host/render_plugins.h"
#include "host/scene.h"

namespace orvik::host {

struct SceneImages;

struct RenderSettings {
  int threads = 0;         // render threads; 0 = one per core
  uint32_t seed = 0;       // the same seed renders the same image
  bool progress = true;    // progress bar on stderr when it is a terminal
};

// Frame buffers the pixel filter reads, in the host's buffer numbering.
constexpr int kFrameBufferCount = HOST_BUF_COUNT;

class Renderer {
 public:
  // `plugins` may be null: every surface then gets the host's plain shading.
  Renderer(Scene& scene, RenderPlugins* plugins, RenderSettings settings = {});
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Starts a render session: init of every shader and the pixel filter.
  // Returns false with `error` set when an instance refuses.
  bool begin(std::string& error);
  // Renders one frame into `image`. False with `error` on failure.
  bool renderFrame(int frame, ImageBuffer& image, std::string& error);
  // Ends the session: cleanup of every instance begin() initialised.
  void end();

  int threadCount() const { return threadCount_; }
  // Rays of the last frame rendered, by kind.
  const RayCounts& frameRays() const { return frameRays_; }

  // Called after each pixel filter evaluate, for tests: frame pixel and pass.
  std::function<void(int x, int y, int pass)> onPixelFiltered;

 private:
  class WorkerPool;
  struct FrameState;

  void forEachInstance(const std::function<void(const HostRenderFuncs&, HostInstance)>& visit) const;

  Scene& scene_;
  RenderPlugins* plugins_;
  RenderSettings settings_;
  int threadCount_;
  bool active_ = false;
  RayCounts frameRays_;
  std::unique_ptr<WorkerPool> pool_;
  std::shared_ptr<const SceneImages> images_;  // loaded once per session
};

}  // namespace orvik::host
