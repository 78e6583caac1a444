#include "host/render_command.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "host/image_io.h"
#include "host/import.h"
#include "host/render_frame.h"

namespace orvik::host {

namespace {

// A render session backed by the host's own session: environment, module
// and the scene's instances.
class ModuleRenderSession : public RenderSession {
 public:
  HostSession host;
};

bool parseInt(const std::string& text, long long lo, long long hi, long long& out) {
  const char* first = text.data();
  const char* last = first + text.size();
  const auto result = std::from_chars(first, last, out);
  return result.ec == std::errc() && result.ptr == last && out >= lo && out <= hi;
}

}  // namespace

std::string renderUsage() {
  return "usage: orvik render SCENE [-o OUT.png|OUT.exr] [--frame N | --frames A-B]\n"
         "                    [--threads N] [--size WxH] [--seed N] [--plain] [--quiet]\n"
         "                    [--stats]\n"
         "\n"
         "Renders SCENE (the host's .orvs scene, a .lws scene file, or any mesh file\n"
         "the importer reads) and writes 8-bit PNG or float EXR images.\n"
         "\n"
         "  -o, --output PATH  image to write (.png or .exr); default: the scene's\n"
         "                     name with .png in the current folder. With several\n"
         "                     frames the frame number goes before the extension.\n"
         "  --frame N          render frame N (default: the scene's first frame)\n"
         "  --frames A-B       render frames A to B\n"
         "  --threads N        render threads (default: one per core)\n"
         "  --size WxH         frame size in pixels instead of the scene's\n"
         "  --seed N           seed of the sample patterns (same seed, same image)\n"
         "  --plain            host shading only: do not load the module\n"
         "  --quiet            no progress bar and no timing lines\n"
         "  --stats            after each frame, the rays it sent by kind\n"
         "  -h, --help         this text\n";
}

std::string parseRenderArguments(int argc, char** argv, RenderCommandOptions& o) {
  bool frameGiven = false;
  const std::vector<std::string> args(argv, argv + std::max(argc, 0));
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string arg = args[i];
    auto value = [&](std::string& out) -> std::string {
      if (i + 1 >= args.size()) return arg + " needs a value";
      out = args[++i];
      return "";
    };
    std::string v;
    if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "-o" || arg == "--output") {
      if (auto e = value(o.outputPath); !e.empty()) return e;
    } else if (arg == "--frame") {
      if (auto e = value(v); !e.empty()) return e;
      long long n;
      if (!parseInt(v, -1000000, 1000000, n)) return "--frame: \"" + v + "\" is not a frame number";
      o.firstFrame = o.lastFrame = static_cast<int>(n);
      frameGiven = true;
    } else if (arg == "--frames") {
      if (auto e = value(v); !e.empty()) return e;
      // A-B; A may be negative, so split at the first '-' after the first character.
      const auto dash = v.find('-', 1);
      long long a, b;
      if (dash == std::string::npos || !parseInt(v.substr(0, dash), -1000000, 1000000, a) ||
          !parseInt(v.substr(dash + 1), -1000000, 1000000, b))
        return "--frames: \"" + v + "\" is not a range like 1-10";
      if (b < a) return "--frames: the range " + v + " ends before it starts";
      o.firstFrame = static_cast<int>(a);
      o.lastFrame = static_cast<int>(b);
      o.framesGiven = true;
    } else if (arg == "--threads") {
      if (auto e = value(v); !e.empty()) return e;
      long long n;
      if (!parseInt(v, 1, 1024, n)) return "--threads: \"" + v + "\" is not a thread count from 1 to 1024";
      o.threads = static_cast<int>(n);
    } else if (arg == "--size") {
      if (auto e = value(v); !e.empty()) return e;
      const auto x = v.find_first_of("xX");
      long long w, h;
      if (x == std::string::npos || !parseInt(v.substr(0, x), 1, 16384, w) ||
          !parseInt(v.substr(x + 1), 1, 16384, h))
        return "--size: \"" + v + "\" is not a size like 640x480 (1 to 16384 each)";
      o.width = static_cast<int>(w);
      o.height = static_cast<int>(h);
    } else if (arg == "--seed") {
      if (auto e = value(v); !e.empty()) return e;
      long long n;
      if (!parseInt(v, 0, 0xFFFFFFFFLL, n)) return "--seed: \"" + v + "\" is not a number from 0 to 4294967295";
      o.seed = static_cast<uint32_t>(n);
    } else if (arg == "--plain") {
      o.plain = true;
    } else if (arg == "--stats") {
      o.stats = true;
    } else if (arg == "--quiet") {
      o.quiet = true;
      o.host.quiet = true;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      std::string error;
      if (!parseHostOption(args, i, o.host, error)) return error.empty() ? "unknown option " + arg : error;
    } else if (o.scenePath.empty()) {
      o.scenePath = arg;
    } else {
      return "only one scene can be rendered at a time (\"" + o.scenePath + "\" and \"" + arg + "\")";
    }
  }
  if (frameGiven && o.framesGiven) return "--frame and --frames cannot be used together";
  o.framesGiven = o.framesGiven || frameGiven;
  if (!o.help && o.scenePath.empty()) return "no scene given";
  return "";
}

std::string frameOutputPath(const std::string& output, int frame, bool severalFrames) {
  if (!severalFrames) return output;
  const std::filesystem::path p(output);
  char number[32];
  std::snprintf(number, sizeof number, "_%04d", frame);
  return (p.parent_path() / (p.stem().string() + number + p.extension().string())).string();
}

std::unique_ptr<RenderSession> openModuleRenderSession(Scene& scene, const HostOptions& options,
                                                       std::string& error) {
  auto session = std::make_unique<ModuleRenderSession>();
  error = session->host.start(options);
  if (!error.empty()) return nullptr;
  error = session->host.useScene(std::move(scene));
  if (!error.empty()) return nullptr;
  if (session->host.created.failures > 0) {
    error = std::to_string(session->host.created.failures) + " of the module's instances could not be created";
    return nullptr;
  }
  session->plugins = session->host.plugins->renderPlugins();
  session->scene = &session->host.scene;
  return session;
}

int runRenderCommand(int argc, char** argv, const RenderSessionFactory& factory) {
  RenderCommandOptions options;
  const std::string problem = parseRenderArguments(argc, argv, options);
  if (options.help) {
    std::cout << renderUsage();
    return 0;
  }
  if (!problem.empty()) {
    std::cerr << "orvik render: " << problem << "\n" << renderUsage();
    return 2;
  }

  SceneReadResult loaded = importSceneFile(options.scenePath);
  if (!loaded.ok) {
    std::cerr << "orvik render: " << loaded.error << "\n";
    return 1;
  }
  Scene& scene = loaded.scene;
  if (options.width > 0) {
    scene.render.width = options.width;
    scene.render.height = options.height;
    scene.render.region.enabled = false;
  }
  if (!options.framesGiven) options.firstFrame = options.lastFrame = scene.render.firstFrame;
  if (options.outputPath.empty())
    options.outputPath = std::filesystem::path(options.scenePath).stem().string() + ".png";
  const bool several = options.lastFrame > options.firstFrame;

  // A bad output path is reported before any work.
  for (int frame = options.firstFrame; frame <= options.lastFrame; ++frame) {
    std::string error;
    if (!checkWritable(frameOutputPath(options.outputPath, frame, several), error)) {
      std::cerr << "orvik render: " << error << "\n";
      return 1;
    }
    if (!several) break;
  }

  std::unique_ptr<RenderSession> session;
  if (!options.plain) {
    std::string error;
    session = factory ? factory(scene, error) : openModuleRenderSession(scene, options.host, error);
    if (!session) {
      std::cerr << "orvik render: " << (error.empty() ? "the module could not be set up" : error)
                << " (--plain renders with the host's shading only)\n";
      return 1;
    }
  }

  RenderSettings settings;
  settings.threads = options.threads;
  settings.seed = options.seed;
  settings.progress = !options.quiet;
  Scene& rendered = session && session->scene ? *session->scene : scene;
  Renderer renderer(rendered, session ? &session->plugins : nullptr, settings);
  std::string error;
  if (!renderer.begin(error)) {
    std::cerr << "orvik render: " << error << "\n";
    return 1;
  }
  for (int frame = options.firstFrame; frame <= options.lastFrame; ++frame) {
    const auto start = std::chrono::steady_clock::now();
    ImageBuffer image;
    if (!renderer.renderFrame(frame, image, error)) {
      std::cerr << "orvik render: " << error << "\n";
      renderer.end();
      return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string path = frameOutputPath(options.outputPath, frame, several);
    if (!writeImage(path, image, error)) {
      std::cerr << "orvik render: " << error << "\n";
      renderer.end();
      return 1;
    }
    if (!options.quiet) {
      std::printf("frame %d: %dx%d, %d thread%s, %.2f s -> %s\n", frame, image.width, image.height,
                  renderer.threadCount(), renderer.threadCount() == 1 ? "" : "s", seconds, path.c_str());
      std::fflush(stdout);
    }
    if (options.stats) {
      const RayCounts& r = renderer.frameRays();
      std::printf("frame %d rays: %llu in all; %llu camera, %llu host shadow, %llu cast, %llu traced, %llu shaded\n",
                  frame, (unsigned long long)r.total(), (unsigned long long)r.camera, (unsigned long long)r.shadow,
                  (unsigned long long)r.cast, (unsigned long long)r.traced, (unsigned long long)r.shade);
      std::fflush(stdout);
    }
  }
  renderer.end();
  return 0;
}

}  // namespace orvik::host
