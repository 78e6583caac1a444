#include "host/render_frame.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "host/embree_scene.h"
#include "host/progress.h"
#include "host/raytrace.h"
#include "host/sampling.h"

namespace orvik::host {

// Render threads that live for the whole session, so that each thread
// keeps the per-thread slot the module gave it on its first call.
class Renderer::WorkerPool {
 public:
  explicit WorkerPool(int count) {
    for (int i = 0; i < count; ++i) threads_.emplace_back([this, i] { loop(i); });
  }
  ~WorkerPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
  }
  int size() const { return static_cast<int>(threads_.size()); }

  // Runs job(worker) on every worker and waits for all of them. The first
  // exception a worker met is thrown again here.
  void run(const std::function<void(int)>& job) {
    std::unique_lock<std::mutex> lock(mutex_);
    job_ = &job;
    pending_ = size();
    failure_ = nullptr;
    ++generation_;
    wake_.notify_all();
    done_.wait(lock, [this] { return pending_ == 0; });
    job_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  void loop(int index) {
    enableFastFloatMode();
    uint64_t seen = 0;
    for (;;) {
      const std::function<void(int)>* job = nullptr;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) return;
        seen = generation_;
        job = job_;
      }
      std::exception_ptr failure;
      try {
        (*job)(index);
      } catch (...) {
        failure = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failure && !failure_) failure_ = failure;
        if (--pending_ == 0) done_.notify_all();
      }
    }
  }

  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  const std::function<void(int)>* job_ = nullptr;
  int pending_ = 0;
  std::exception_ptr failure_;
  uint64_t generation_ = 0;
  bool stopping_ = false;
};

namespace {

// What the pixel filter's access points at: one pixel's buffers.
struct FilterPixel {
  const double* sums;  // kFrameBufferCount running sums
  double passes;       // passes accumulated so far
  float* output;       // RGBA written back
};

void filterGetVal(void* data, int type, int num, float* out) {
  const auto* px = static_cast<const FilterPixel*>(data);
  if (!px || !out) return;
  for (int i = 0; i < num; ++i) {
    const int b = type + i;
    out[i] = (b >= 0 && b < kFrameBufferCount) ? static_cast<float>(px->sums[b] / px->passes) : 0.0f;
  }
}

void filterSetVal(void* data, int type, int num, const float* in) {
  auto* px = static_cast<FilterPixel*>(data);
  if (!px || !in) return;
  for (int i = 0; i < num; ++i) {
    const int b = type + i;
    if (b >= HOST_BUF_RED && b <= HOST_BUF_ALPHA) px->output[b] = in[i];  // others are read-only
  }
}

void filterSetRGBA(void* data, const float rgba[4]) { filterSetVal(data, HOST_BUF_RED, 4, rgba); }

struct CameraRays {
  Vec3 position, right, up, forward;
  double tanHalfHeight = 1.0, tanHalfWidth = 1.0;
  int width = 1, height = 1;

  Vec3 direction(double px, double py) const {
    const double x = (2.0 * px / width - 1.0) * tanHalfWidth;
    const double y = (1.0 - 2.0 * py / height) * tanHalfHeight;
    return normalize(forward + right * x + up * y);
  }
};

CameraRays makeCamera(const Scene& scene, ItemId id, double time) {
  CameraRays c;
  c.width = std::max(scene.render.width, 1);
  c.height = std::max(scene.render.height, 1);
  double zoom = 3.2;
  double aspect = scene.render.pixelAspect > 0.0 ? scene.render.pixelAspect : 1.0;
  if (const orvik::host::Camera* cam = scene.camera(id)) {
    zoom = cam->zoomFactor > 1e-6 ? cam->zoomFactor : 3.2;
    c.position = scene.worldPosition(id, time);
    c.right = scene.rightVector(id, time);
    c.up = scene.upVector(id, time);
    c.forward = scene.forwardVector(id, time);
  } else {
    // No camera: looking along +Z from a few units back.
    c.position = {0.0, 0.0, -5.0};
    c.right = {1.0, 0.0, 0.0};
    c.up = {0.0, 1.0, 0.0};
    c.forward = {0.0, 0.0, 1.0};
  }
  // The zoom factor is the focal length over half the frame height.
  c.tanHalfHeight = 1.0 / zoom;
  c.tanHalfWidth = c.tanHalfHeight * c.width * aspect / c.height;
  return c;
}

}  // namespace

Renderer::Renderer(Scene& scene, RenderPlugins* plugins, RenderSettings settings)
    : scene_(scene), plugins_(plugins), settings_(settings) {
  threadCount_ = settings.threads > 0 ? settings.threads
                                      : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

Renderer::~Renderer() {
  if (active_) end();
}

void Renderer::forEachInstance(const std::function<void(const HostRenderFuncs&, HostInstance)>& visit) const {
  if (!plugins_) return;
  // Each shader instance once, in the order of objects and surfaces.
  std::vector<HostInstance> seen;
  for (const auto& object : plugins_->surfaceShaders)
    for (const auto& surface : object)
      for (const ShaderBinding& s : surface) {
        if (!s.handler || std::find(seen.begin(), seen.end(), s.instance) != seen.end()) continue;
        seen.push_back(s.instance);
        visit(s.handler->rend, s.instance);
      }
  if (plugins_->pixelFilter) visit(plugins_->pixelFilter->rend, plugins_->pixelFilterInstance);
}

bool Renderer::begin(std::string& error) {
  if (active_) return true;
  std::string failure;
  std::vector<std::pair<const HostRenderFuncs*, HostInstance>> started;
  forEachInstance([&](const HostRenderFuncs& rend, HostInstance inst) {
    if (!failure.empty()) return;
    if (rend.init) {
      const char* message = rend.init(inst, HOST_RENDER_MODE_FULL);
      if (message) {
        failure = message;
        return;
      }
    }
    started.push_back({&rend, inst});
  });
  if (!failure.empty()) {
    // Undo the ones already started, newest first.
    for (auto it = started.rbegin(); it != started.rend(); ++it)
      if (it->first->cleanup) it->first->cleanup(it->second);
    error = "render could not start: " + failure;
    return false;
  }
  pool_ = std::make_unique<WorkerPool>(threadCount_);
  images_ = SceneImages::load(scene_);
  active_ = true;
  return true;
}

void Renderer::end() {
  if (!active_) return;
  pool_.reset();
  images_.reset();
  forEachInstance([](const HostRenderFuncs& rend, HostInstance inst) {
    if (rend.cleanup) rend.cleanup(inst);
  });
  active_ = false;
}

bool Renderer::renderFrame(int frame, ImageBuffer& image, std::string& error) {
  if (!active_ && !begin(error)) return false;
  const double time = scene_.frameTime(frame);

  // The host's order at a new frame: services move to the frame, the
  // master hears of the time change, then the shaders and last the pixel
  // filter prepare for it.
  if (plugins_) {
    if (plugins_->onNewTime) plugins_->onNewTime(frame, time);
    if (plugins_->master && plugins_->master->event) {
      HostMasterAccess access{};
      access.eventCode = HOST_EVENT_TIME;
      access.eventData = &time;
      access.data = plugins_;
      access.evaluate = [](void* data, const char* command) -> int {
        auto* p = static_cast<RenderPlugins*>(data);
        return p && p->command && command ? p->command(command) : 0;
      };
      plugins_->master->event(plugins_->masterInstance, &access);
    }
    std::string failure;
    forEachInstance([&](const HostRenderFuncs& rend, HostInstance inst) {
      if (!failure.empty() || !rend.newTime) return;
      if (const char* message = rend.newTime(inst, frame, time)) failure = message;
    });
    if (!failure.empty()) {
      error = "frame " + std::to_string(frame) + ": " + failure;
      return false;
    }
  }

  std::unique_ptr<RaytraceScene> world;
  try {
    world = std::make_unique<RaytraceScene>(scene_, time, images_);
  } catch (const std::exception& e) {
    error = "frame " + std::to_string(frame) + ": " + e.what();
    return false;
  }
  const ItemId cameraId = scene_.renderCamera();
  const CameraRays camera = makeCamera(scene_, cameraId, time);
  const Raytracer tracer(*world, plugins_, cameraId);

  const int width = camera.width, height = camera.height;
  int x0 = 0, y0 = 0, x1 = width - 1, y1 = height - 1;
  if (scene_.render.region.enabled) {
    x0 = std::clamp(scene_.render.region.x0, 0, width - 1);
    y0 = std::clamp(scene_.render.region.y0, 0, height - 1);
    x1 = std::clamp(scene_.render.region.x1, x0, width - 1);
    y1 = std::clamp(scene_.render.region.y1, y0, height - 1);
  }
  const int regionWidth = x1 - x0 + 1, regionHeight = y1 - y0 + 1;
  const size_t pixels = static_cast<size_t>(regionWidth) * regionHeight;
  const int passes = std::max({scene_.render.aaMinSamples, scene_.render.aaMaxSamples, 1});
  const std::vector<Sample2> pattern =
      jitteredPattern(passes, hashCombine(settings_.seed, static_cast<uint32_t>(frame)));

  std::vector<double> sums(pixels * kFrameBufferCount, 0.0);
  std::vector<float> output(pixels * 4, 0.0f);
  std::vector<Raytracer::Thread> threads;
  for (int i = 0; i < threadCount_; ++i) {
    threads.push_back(tracer.makeThread());
    threads.back().footprintPerUnit = 2.0 * camera.tanHalfHeight / height;
  }

  ProgressBar progress("Frame " + std::to_string(frame), static_cast<uint64_t>(passes) * pixels,
                       settings_.progress ? stderr : nullptr);
  const HostPixelFilterHandler* filter = plugins_ ? plugins_->pixelFilter : nullptr;
  const HostInstance filterInstance = plugins_ ? plugins_->pixelFilterInstance : nullptr;

  try {
    for (int pass = 0; pass < passes; ++pass) {
      // Shade every pixel of the pass; rows are handed out one at a time.
      std::atomic<int> nextRow{0};
      pool_->run([&](int worker) {
        Raytracer::Thread& th = threads[static_cast<size_t>(worker)];
        for (int row; (row = nextRow.fetch_add(1, std::memory_order_relaxed)) < regionHeight;) {
          const int y = y0 + row;
          for (int x = x0; x <= x1; ++x) {
            const uint32_t seed = pixelSeed(x, y, frame, settings_.seed);
            th.random = SampleRandom(hashCombine(seed, static_cast<uint32_t>(pass)));
            th.sx = x;
            th.sy = y;
            th.pass = pass;
            th.passes = passes;
            // A per-pixel shift of the pattern keeps neighbouring pixels from
            // sharing sample positions; one pass samples the centre.
            double ox = pattern[static_cast<size_t>(pass)][0], oy = pattern[static_cast<size_t>(pass)][1];
            if (passes > 1) {
              SampleRandom shift(seed);
              ox = std::fmod(ox + shift.next(), 1.0);
              oy = std::fmod(oy + shift.next(), 1.0);
            }
            const PrimarySample s = tracer.tracePrimary(th, camera.position, camera.direction(x + ox, y + oy));
            double* px = &sums[(static_cast<size_t>(row) * regionWidth + (x - x0)) * kFrameBufferCount];
            const double values[kFrameBufferCount] = {s.color.x, s.color.y, s.color.z, s.alpha,
                                                      s.depth, s.luminous, s.diffuse, s.specular,
                                                      s.mirror, s.transparency};
            for (int b = 0; b < kFrameBufferCount; ++b) px[b] += values[b];
          }
          progress.advance(static_cast<uint64_t>(regionWidth));
        }
      });

      // The pixel filter sees every pixel once per pass. Its first pixel
      // runs alone: that is where the filter counts the pass.
      auto filterPixel = [&](Raytracer::Thread& th, size_t index) {
        const int x = x0 + static_cast<int>(index % regionWidth), y = y0 + static_cast<int>(index / regionWidth);
        float* out = &output[index * 4];
        const double* px = &sums[index * kFrameBufferCount];
        for (int c = 0; c < 4; ++c) out[c] = static_cast<float>(px[c] / (pass + 1));
        if (filter && filter->evaluate) {
          FilterPixel data{px, static_cast<double>(pass + 1), out};
          HostFilterAccess access{};
          access.sx = x + 0.5;
          access.sy = y + 0.5;
          access.filterData = &data;
          access.getVal = &filterGetVal;
          access.setVal = &filterSetVal;
          access.setRGBA = &filterSetRGBA;
          th.sx = x;
          th.sy = y;
          th.random = SampleRandom(hashCombine(pixelSeed(x, y, frame, settings_.seed), 0x9000u + pass));
          access.rayData = &th;
          Raytracer::rayFunctions(access.illuminate, access.rayTrace, access.rayCast, access.rayShade);
          filter->evaluate(filterInstance, &access);
        }
        if (onPixelFiltered) onPixelFiltered(x, y, pass);
      };
      pool_->run([&](int worker) {
        if (worker == 0) filterPixel(threads[0], 0);
      });
      std::atomic<size_t> next{1};
      pool_->run([&](int worker) {
        Raytracer::Thread& th = threads[static_cast<size_t>(worker)];
        for (size_t i; (i = next.fetch_add(256, std::memory_order_relaxed)) < pixels;)
          for (size_t k = i; k < std::min(i + 256, pixels); ++k) filterPixel(th, k);
      });
    }
  } catch (const std::exception& e) {
    progress.finish();
    error = "frame " + std::to_string(frame) + ": render failed: " + e.what();
    return false;
  }
  progress.finish();
  frameRays_ = RayCounts{};
  for (const Raytracer::Thread& th : threads) frameRays_ += th.rays;

  image = ImageBuffer(width, height);
  for (int row = 0; row < regionHeight; ++row)
    for (int col = 0; col < regionWidth; ++col)
      std::copy_n(&output[(static_cast<size_t>(row) * regionWidth + col) * 4], 4, image.at(x0 + col, y0 + row));
  return true;
}

}  // namespace orvik::host
