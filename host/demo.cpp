#include "host/demo.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "host/cli.h"
#include "host/cli_session.h"
#include "host/image_io.h"
#include "host/render_frame.h"

// Generated at configure time from scenes/demo.orvs.
#include "demo_scene_text.inc"

namespace orvik::host {

namespace {

const char* const kDemoHelp =
    "Usage: orvik demo [--out DIR] [--threads N] [--size WxH] [--no-render] [host options]\n"
    "\n"
    "Loads the module, activates its servers, reads the built-in demo scene (a row of\n"
    "objects on a floor, one light of each of the five types, a camera), creates a\n"
    "shader instance for every surface that carries the shader, applies the master and\n"
    "the pixel filter, prints what it did, then renders the scene to DIR/demo.png\n"
    "(default DIR: out) and prints the time it took.\n"
    "\n"
    "  --out DIR       folder for demo.png and demo.orvs (the scene as saved after the run)\n"
    "  --threads N     render threads (default: one per core)\n"
    "  --size WxH      frame size instead of the scene's 640x480\n"
    "  --no-render     stop after creating the instances\n"
    "\n";

const char* lightTypeName(LightType t) {
  static const char* names[] = {"distant", "point", "spot", "linear", "area"};
  return names[static_cast<int>(t)];
}

}  // namespace

const std::string& demoSceneText() {
  static const std::string text = kDemoSceneText;
  return text;
}

SceneReadResult demoScene() { return parseSceneText(demoSceneText(), "demo.orvs"); }

int runDemoCommand(const std::vector<std::string>& args) {
  HostOptions options;
  std::string outDir = "out";
  int threads = 0, width = 0, height = 0;
  bool render = true;
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
    } else if (!parseHostOption(args, i, options, error)) {
      std::cerr << "orvik demo: unknown option '" << a << "' (see orvik demo --help)\n";
      return 2;
    }
    if (!error.empty()) {
      std::cerr << "orvik demo: " << error << "\n";
      return 2;
    }
  }

  const auto t0 = std::chrono::steady_clock::now();
  HostSession session;
  std::string err = session.start(options);
  if (!err.empty()) {
    std::cerr << "orvik demo: " << err << "\n";
    return 1;
  }
  std::printf("Loaded %s: %zu servers.\n", session.module->path().c_str(), session.module->servers().size());

  SceneReadResult read = demoScene();
  if (!read.ok) {
    std::cerr << "orvik demo: the built-in scene is broken: " << read.error << "\n";
    return 1;
  }
  if (width > 0) {
    read.scene.render.width = width;
    read.scene.render.height = height;
  }
  err = session.useScene(std::move(read.scene));
  if (!err.empty()) {
    std::cerr << "orvik demo: " << err << "\n";
    return 1;
  }
  const Scene& scene = session.scene;
  int byType[kLightTypeCount] = {};
  for (const Light& l : scene.lights) ++byType[static_cast<int>(l.type)];
  std::printf("Scene %s: %zu objects, %zu lights (", scene.fileName.c_str(), scene.objects.size(), scene.lights.size());
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
        std::printf("  %-12s / %-14s %-6s %s\n", scene.objects[o].name.c_str(), scene.objects[o].surfaces[s].name.c_str(),
                    scene.objects[o].surfaces[s].shaders[k].server.c_str(),
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

  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(outDir, ec);
  if (ec) {
    std::cerr << "orvik demo: cannot create the output folder " << outDir << ": " << ec.message() << "\n";
    return 1;
  }
  int status = session.created.failures ? 1 : 0;
  if (render) {
    const std::string png = (fs::path(outDir) / "demo.png").string();
    if (!checkWritable(png, err)) {
      std::cerr << "orvik demo: " << err << "\n";
      return 1;
    }
    RenderPlugins plugins = session.plugins->renderPlugins();
    RenderSettings settings;
    settings.threads = threads;
    Renderer renderer(session.scene, &plugins, settings);
    ImageBuffer image;
    const auto r0 = std::chrono::steady_clock::now();
    if (!renderer.begin(err) || !renderer.renderFrame(scene.render.firstFrame, image, err)) {
      renderer.end();
      std::cerr << "orvik demo: render failed: " << err << "\n";
      return 1;
    }
    renderer.end();
    session.env.clearRenderMemory();  // render memory lives for one render session
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - r0).count();
    if (!writeImage(png, image, err)) {
      std::cerr << "orvik demo: " << err << "\n";
      return 1;
    }
    std::printf("Rendered %dx%d, %d-%d samples per pixel, on %d thread%s in %.2f s: %s\n", image.width, image.height,
                scene.render.aaMinSamples, scene.render.aaMaxSamples, renderer.threadCount(),
                renderer.threadCount() == 1 ? "" : "s", seconds, png.c_str());
  }
  // Save the scene with the settings the module wrote, as the host would.
  err = session.plugins->saveSettings();
  if (!err.empty()) std::cerr << "orvik demo: saving the module's settings: " << err << "\n";
  const std::string saved = (fs::path(outDir) / "demo.orvs").string();
  if (FILE* f = std::fopen(saved.c_str(), "w")) {
    const std::string text = writeSceneText(session.scene);
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) std::cerr << "orvik demo: cannot write " << saved << "\n";
  }
  const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("Done in %.2f s.\n", total);
  return status;
}

}  // namespace orvik::host
