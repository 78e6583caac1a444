#include "host/demo.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <cstring>

#include "host/cli.h"
#include "host/cli_session.h"
#include "host/image_io.h"
#include "host/render_frame.h"

// Generated at configure time from scenes/demo.orvs.
#include "demo_scene_text.inc"

namespace orvik::host {

namespace {

const char* const kDemoHelp =
    "Usage: orvik demo [--out DIR] [--threads N] [--size WxH] [--no-render] [--no-variants]\n"
    "                  [host options]\n"
    "\n"
    "Loads the module, activates its servers, reads the built-in demo scene (a row of\n"
    "objects on a floor in front of a mirror, one per look of the module, Orvik on\n"
    "every surface, one light of each of the five types, a camera, a master with a\n"
    "key and a fill light group), creates a shader instance for every surface that\n"
    "carries the shader, applies the master and the pixel filter, prints what it\n"
    "did, then renders, each in a fresh session:\n"
    "\n"
    "  DIR/demo.png           the looks\n"
    "  DIR/demo-graded.png    the same, fill light group boosted x3, gamut roll-off\n"
    "                         and film grain on\n"
    "  DIR/demo-defaults.png  every Orvik setting at its default (plain Orvik shading)\n"
    "  DIR/demo-plain.png     no Orvik: the host's own shading\n"
    "\n"
    "and prints the render time of each and how the looks compare with the host's\n"
    "own shading. DIR defaults to out.\n"
    "\n"
    "  --out DIR       folder for the images and demo.orvs (the scene as saved after the run)\n"
    "  --threads N     render threads (default: one per core)\n"
    "  --size WxH      frame size instead of the scene's 640x480\n"
    "  --no-render     stop after creating the instances\n"
    "  --no-variants   render demo.png only\n"
    "\n";

// The grading of the graded variant, as records of the master's settings:
// light group 2 (the fill) at 300 %, gamut roll-off and film grain on, with
// a coarser, stronger grain than the defaults so that it shows at 640x480.
const char* const kGradeRecords[] = {
    " BEGIN NUM LGB1", " VALUE 3", " END",
    " BEGIN BUTTON DOCLIP", "  CHECKED YES", "  HIGHLIGHTED YES", " END",
    " BEGIN NUM CLIPX0", " VALUE 0.6", " END",
    " BEGIN BUTTON GRAIN", "  CHECKED YES", "  HIGHLIGHTED YES", " END",
    " BEGIN NUM GRAINSCALE", " VALUE 1.2", " END",
    " BEGIN NUM W_CONST", " VALUE 0.012", " END",
    " BEGIN NUM W_PROP", " VALUE 0.02", " END",
};

constexpr const char* kOrvikServer = "Orvik";
constexpr const char* kBlockEnd = "END MORVANE_PLUGIN";

const char* lightTypeName(LightType t) {
  static const char* names[] = {"distant", "point", "spot", "linear", "area"};
  return names[static_cast<int>(t)];
}

}  // namespace

const std::string& demoSceneText() {
  static const std::string text = kDemoSceneText;
  return text;
}

namespace {

std::string executableDir() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

}  // namespace

SceneReadResult demoScene() {
  SceneReadResult read = parseSceneText(demoSceneText(), "demo.orvs");
  // The compiled-in text has no folder of its own to find its images in.
  if (read.ok) {
    const std::string exeDir = executableDir();
    for (Image& image : read.scene.images) image.fileName = findDemoImage(image.fileName, exeDir);
  }
  return read;
}

const char* demoVariantStem(DemoVariant variant) {
  switch (variant) {
    case DemoVariant::Graded: return "demo-graded";
    case DemoVariant::Defaults: return "demo-defaults";
    case DemoVariant::Plain: return "demo-plain";
    case DemoVariant::Looks: break;
  }
  return "demo";
}

bool applyDemoVariant(Scene& scene, DemoVariant variant, std::string& error) {
  if (variant == DemoVariant::Looks) return true;
  if (variant == DemoVariant::Plain) {
    const auto isOrvik = [](const auto& item) { return item.server == kOrvikServer; };
    for (Object& object : scene.objects)
      for (Surface& surface : object.surfaces) std::erase_if(surface.shaders, isOrvik);
    std::erase_if(scene.plugins, isOrvik);
    return true;
  }
  if (variant == DemoVariant::Defaults) {
    // An empty block creates the instance with its defaults.
    for (Object& object : scene.objects)
      for (Surface& surface : object.surfaces)
        for (ShaderRef& shader : surface.shaders)
          if (shader.server == kOrvikServer) shader.settings.clear();
    for (PluginBlock& block : scene.plugins)
      if (block.server == kOrvikServer) block.settings.clear();
    return true;
  }
  for (PluginBlock& block : scene.plugins) {
    if (block.serverClass != "MasterHandler" || block.server != kOrvikServer) continue;
    std::string grade;
    for (const char* line : kGradeRecords) grade.append(line).append("\n");
    std::string& text = block.settings;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
      text = "BEGIN MORVANE_PLUGIN Orvik\nVERSION 1.5\n" + grade + "END MORVANE_PLUGIN Orvik";
      return true;
    }
    // Before the block's end line, the last line that starts with it.
    std::size_t at = std::string::npos;
    for (std::size_t lineStart = 0; lineStart < text.size();) {
      const std::size_t first = text.find_first_not_of(" \t", lineStart);
      if (first != std::string::npos && text.compare(first, std::strlen(kBlockEnd), kBlockEnd) == 0) at = lineStart;
      const std::size_t eol = text.find('\n', lineStart);
      if (eol == std::string::npos) break;
      lineStart = eol + 1;
    }
    if (at == std::string::npos) {
      error = "the master's settings block has no end line";
      return false;
    }
    text.insert(at, grade);
    return true;
  }
  error = "the scene has no Orvik master to grade";
  return false;
}

std::string findDemoImage(const std::string& fileName, const std::string& executableDir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path name(fileName);
  if (name.is_absolute() || fs::exists(name, ec)) return fileName;
  if (fs::exists(fs::path("scenes") / name, ec)) return (fs::path("scenes") / name).string();
  if (!executableDir.empty()) {
    // build-folder/host/orvik: the source tree is a few folders up.
    fs::path dir(executableDir);
    for (int up = 0; up < 4 && !dir.empty(); ++up) {
      const fs::path candidate = dir / "scenes" / name;
      if (fs::exists(candidate, ec)) return candidate.string();
      if (dir == dir.parent_path()) break;
      dir = dir.parent_path();
    }
  }
  return fileName;
}

namespace {

// The built-in scene as a variant, its frame sized.
bool loadDemoVariant(DemoVariant variant, int width, int height, Scene& scene, std::string& error) {
  SceneReadResult read = demoScene();
  if (!read.ok) {
    error = "the built-in scene is broken: " + read.error;
    return false;
  }
  if (width > 0) {
    read.scene.render.width = width;
    read.scene.render.height = height;
  }
  if (!applyDemoVariant(read.scene, variant, error)) return false;
  scene = std::move(read.scene);
  return true;
}

const char* demoVariantTitle(DemoVariant variant) {
  switch (variant) {
    case DemoVariant::Graded: return "the graded variant";
    case DemoVariant::Defaults: return "Orvik defaults";
    case DemoVariant::Plain: return "the host's own shading";
    case DemoVariant::Looks: break;
  }
  return "the looks";
}

struct RenderOutcome {
  double seconds = 0.0;
  int threads = 0;
  int width = 0, height = 0;
};

// Renders the session's scene at its first frame into `png`.
bool renderSessionScene(HostSession& session, int threads, const std::string& png, RenderOutcome& outcome,
                        std::string& error) {
  if (!checkWritable(png, error)) return false;
  RenderPlugins plugins = session.plugins->renderPlugins();
  RenderSettings settings;
  settings.threads = threads;
  Renderer renderer(session.scene, &plugins, settings);
  ImageBuffer image;
  const auto r0 = std::chrono::steady_clock::now();
  if (!renderer.begin(error) || !renderer.renderFrame(session.scene.render.firstFrame, image, error)) {
    renderer.end();
    session.env.clearRenderMemory();
    error = "render failed: " + error;
    return false;
  }
  renderer.end();
  session.env.clearRenderMemory();  // render memory lives for one render session
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - r0).count();
  outcome.threads = renderer.threadCount();
  outcome.width = image.width;
  outcome.height = image.height;
  return writeImage(png, image, error);
}

// A variant in a session of its own (the module keeps one master per scene,
// so the sessions follow each other).
bool renderVariant(DemoVariant variant, const HostOptions& options, int threads, int width, int height,
                   const std::string& outDir, RenderOutcome& outcome, std::string& error) {
  Scene scene;
  if (!loadDemoVariant(variant, width, height, scene, error)) return false;
  HostSession session;
  error = session.start(options);
  if (error.empty()) error = session.useScene(std::move(scene));
  if (!error.empty()) return false;
  if (session.created.failures) {
    error = std::to_string(session.created.failures) + " instance(s) could not be created";
    return false;
  }
  const std::string png = (std::filesystem::path(outDir) / (std::string(demoVariantStem(variant)) + ".png")).string();
  return renderSessionScene(session, threads, png, outcome, error);
}

}  // namespace

int runDemoCommand(const std::vector<std::string>& args) {
  HostOptions options;
  std::string outDir = "out";
  int threads = 0, width = 0, height = 0;
  bool render = true, variants = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string error;
    if (a == "--help" || a == "-h") {
      std::cout << kDemoHelp << kHostOptionsHelp;
      return 0;
    }
    if ((a == "--out" || a == "--threads" || a == "--size") && i + 1 >= args.size()) {
      std::cerr << "orvik demo: " << a << " needs a value\n";
      return 2;
    }
    if (a == "--out") {
      outDir = args[++i];
    } else if (a == "--threads") {
      const std::string v = args[++i];
      char* end = nullptr;
      const long n = std::strtol(v.c_str(), &end, 10);
      if (!end || *end || n < 1 || n > 1024) {
        std::cerr << "orvik demo: --threads: '" << v << "' is not a count from 1 to 1024\n";
        return 2;
      }
      threads = static_cast<int>(n);
    } else if (a == "--size") {
      const std::string v = args[++i];
      if (std::sscanf(v.c_str(), "%dx%d", &width, &height) != 2 || width < 1 || height < 1 || width > 16384 ||
          height > 16384) {
        std::cerr << "orvik demo: --size: '" << v << "' is not WIDTHxHEIGHT (1 to 16384 each)\n";
        return 2;
      }
    } else if (a == "--no-render") {
      render = false;
    } else if (a == "--no-variants") {
      variants = false;
    } else if (!parseHostOption(args, i, options, error)) {
      std::cerr << "orvik demo: unknown option '" << a << "' (see orvik demo --help)\n";
      return 2;
    }
    if (!error.empty()) {
      std::cerr << "orvik demo: " << error << "\n";
      return 2;
    }
  }

  namespace fs = std::filesystem;
  const auto t0 = std::chrono::steady_clock::now();
  int status = 0;
  RenderOutcome looks;
  {
    HostSession session;
    std::string err = session.start(options);
    if (!err.empty()) {
      std::cerr << "orvik demo: " << err << "\n";
      return 1;
    }
    std::printf("Loaded %s: %zu servers.\n", session.module->path().c_str(), session.module->servers().size());

    Scene demo;
    if (!loadDemoVariant(DemoVariant::Looks, width, height, demo, err)) {
      std::cerr << "orvik demo: " << err << "\n";
      return 1;
    }
    err = session.useScene(std::move(demo));
    if (!err.empty()) {
      std::cerr << "orvik demo: " << err << "\n";
      return 1;
    }
    const Scene& scene = session.scene;
    int byType[kLightTypeCount] = {};
    for (const Light& l : scene.lights) ++byType[static_cast<int>(l.type)];
    std::printf("Scene %s: %zu objects, %zu lights (", scene.fileName.c_str(), scene.objects.size(),
                scene.lights.size());
    for (int t = 0; t < kLightTypeCount; ++t)
      std::printf("%s%d %s", t ? ", " : "", byType[t], lightTypeName(static_cast<LightType>(t)));
    std::printf("), %zu camera%s.\n", scene.cameras.size(), scene.cameras.size() == 1 ? "" : "s");

    std::printf("Activations:\n");
    for (const ActivationResult& a : session.plugins->activations())
      std::printf("  %-20s %-8s -> %d\n", a.serverClass.c_str(), a.name.c_str(), a.code);
    std::printf("Shader instances:\n");
    for (std::size_t o = 0; o < scene.objects.size(); ++o)
      for (std::size_t s = 0; s < scene.objects[o].surfaces.size(); ++s)
        for (std::size_t k = 0; k < scene.objects[o].surfaces[s].shaders.size(); ++k) {
          const bool live = session.plugins->shaderInstance(o, s, k) != nullptr;
          std::printf("  %-12s / %-14s %-6s %s\n", scene.objects[o].name.c_str(),
                      scene.objects[o].surfaces[s].name.c_str(), scene.objects[o].surfaces[s].shaders[k].server.c_str(),
                      live ? ("\"" + session.plugins->describeShader(o, s, k) + "\"").c_str() : "(not created)");
        }
    std::printf("Master: %s; pixel filter: %s.\n", session.plugins->masterInstance() ? "applied" : "none",
                session.plugins->pixelFilterInstance() ? "applied" : "none");
    std::printf("Created %d shader instance%s and %d scene-wide instance%s, %d failure%s.\n", session.created.shaders,
                session.created.shaders == 1 ? "" : "s", session.created.scenePlugins,
                session.created.scenePlugins == 1 ? "" : "s", session.created.failures,
                session.created.failures == 1 ? "" : "s");
    if (!session.env.commands.empty()) {
      std::printf("Commands the module sent:\n");
      for (const std::string& c : session.env.commands) std::printf("  %s\n", c.c_str());
    }

    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec) {
      std::cerr << "orvik demo: cannot create the output folder " << outDir << ": " << ec.message() << "\n";
      return 1;
    }
    status = session.created.failures ? 1 : 0;
    if (render) {
      const std::string png = (fs::path(outDir) / "demo.png").string();
      if (!renderSessionScene(session, threads, png, looks, err)) {
        std::cerr << "orvik demo: " << err << "\n";
        return 1;
      }
      std::printf("Rendered %dx%d, %d-%d samples per pixel, on %d thread%s in %.2f s: %s\n", looks.width,
                  looks.height, scene.render.aaMinSamples, scene.render.aaMaxSamples, looks.threads,
                  looks.threads == 1 ? "" : "s", looks.seconds, png.c_str());
    }
    // Save the scene with the settings the module wrote, as the host would.
    err = session.plugins->saveSettings();
    if (!err.empty()) std::cerr << "orvik demo: saving the module's settings: " << err << "\n";
    const std::string saved = (fs::path(outDir) / "demo.orvs").string();
    if (FILE* f = std::fopen(saved.c_str(), "w")) {
      const std::string text = writeSceneText(session.scene);
      const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
      if (std::fclose(f) != 0 || !ok) std::cerr << "orvik demo: cannot write " << saved << "\n";
    } else {
      std::cerr << "orvik demo: cannot write " << saved << "\n";
    }
  }

  if (render && variants) {
    for (DemoVariant variant : {DemoVariant::Graded, DemoVariant::Defaults, DemoVariant::Plain}) {
      RenderOutcome outcome;
      std::string err;
      if (!renderVariant(variant, options, threads, width, height, outDir, outcome, err)) {
        std::cerr << "orvik demo: " << demoVariantStem(variant) << ": " << err << "\n";
        status = 1;
        continue;
      }
      std::printf("Rendered %s in %.2f s: %s\n", demoVariantTitle(variant), outcome.seconds,
                  (fs::path(outDir) / (std::string(demoVariantStem(variant)) + ".png")).string().c_str());
      if (variant == DemoVariant::Defaults && outcome.seconds > 0.0)
        std::printf("Looks against Orvik defaults: %.2f s / %.2f s = %.2fx\n", looks.seconds, outcome.seconds,
                    looks.seconds / outcome.seconds);
      if (variant == DemoVariant::Plain && outcome.seconds > 0.0)
        std::printf("Orvik on every surface against the host's own shading: %.2f s / %.2f s = %.2fx\n",
                    looks.seconds, outcome.seconds, looks.seconds / outcome.seconds);
    }
  }
  const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("Done in %.2f s.\n", total);
  return status;
}

}  // namespace orvik::host
