#include "host/render_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "host/image_io.h"

namespace orvik::host {
namespace {

namespace fs = std::filesystem;

std::string parse(std::vector<std::string> args, RenderCommandOptions& o) {
  args.insert(args.begin(), "render");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  return parseRenderArguments(static_cast<int>(argv.size()), argv.data(), o);
}

int run(std::vector<std::string> args, const RenderSessionFactory& factory = {}) {
  args.insert(args.begin(), "render");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  return runRenderCommand(static_cast<int>(argv.size()), argv.data(), factory);
}

TEST(RenderArguments, ReadsEveryOption) {
  RenderCommandOptions o;
  EXPECT_EQ(parse({"a.orvs", "-o", "x.exr", "--frames", "-2-5", "--threads", "3", "--size", "320x200",
                   "--seed", "9", "--plain"},
                  o),
            "");
  EXPECT_EQ(o.scenePath, "a.orvs");
  EXPECT_EQ(o.outputPath, "x.exr");
  EXPECT_EQ(o.firstFrame, -2);
  EXPECT_EQ(o.lastFrame, 5);
  EXPECT_EQ(o.threads, 3);
  EXPECT_EQ(o.width, 320);
  EXPECT_EQ(o.height, 200);
  EXPECT_EQ(o.seed, 9u);
  EXPECT_TRUE(o.plain);
  RenderCommandOptions help;
  EXPECT_EQ(parse({"--help"}, help), "");
  EXPECT_TRUE(help.help);
}

TEST(RenderArguments, BadArgumentsSayWhatIsWrong) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no scene given"},
      {{"a", "--frames", "5-2"}, "ends before it starts"},
      {{"a", "--frames", "5"}, "not a range"},
      {{"a", "--frame", "x"}, "not a frame number"},
      {{"a", "--frame", "1", "--frames", "1-2"}, "cannot be used together"},
      {{"a", "--threads", "0"}, "--threads"},
      {{"a", "--size", "640"}, "not a size"},
      {{"a", "--size", "0x10"}, "not a size"},
      {{"a", "--bogus"}, "unknown option --bogus"},
      {{"a", "b"}, "only one scene"},
      {{"a", "-o"}, "-o needs a value"},
  };
  for (const auto& [args, expected] : cases) {
    RenderCommandOptions o;
    const std::string message = parse(args, o);
    EXPECT_NE(message.find(expected), std::string::npos) << "got \"" << message << "\"";
  }
}

TEST(RenderArguments, SeveralFramesGetNumberedFiles) {
  EXPECT_EQ(frameOutputPath("out/demo.png", 3, false), "out/demo.png");
  EXPECT_EQ(frameOutputPath("out/demo.png", 3, true), "out/demo_0003.png");
  EXPECT_EQ(frameOutputPath("demo.exr", 12, true), "demo_0012.exr");
}

class RenderCommandRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("orvik_render_cmd_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    scene = (dir / "tiny.orvs").string();
    std::ofstream(scene) << "OrvikScene 1\n"
                            "FrameSize 8 6\n"
                            "Object \"Ball\"\n"
                            "  Primitive Sphere 0.5 16 8\n"
                            "  Surface \"Ball\"\n"
                            "    Color 1 0 0\n"
                            "  EndSurface\n"
                            "EndObject\n";
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
  std::string scene;
};

TEST_F(RenderCommandRun, WritesTheImagesItWasAskedFor) {
  const std::string out = (dir / "tiny.png").string();
  ASSERT_EQ(run({scene, "-o", out, "--size", "10x4", "--quiet", "--plain"}), 0);
  ImageBuffer image;
  std::string error;
  ASSERT_TRUE(readImage(out, image, error)) << error;
  EXPECT_EQ(image.width, 10);
  EXPECT_EQ(image.height, 4);

  const std::string exr = (dir / "seq.exr").string();
  ASSERT_EQ(run({scene, "-o", exr, "--frames", "2-3", "--quiet", "--threads", "2", "--plain"}), 0);
  EXPECT_TRUE(fs::exists(dir / "seq_0002.exr"));
  EXPECT_TRUE(fs::exists(dir / "seq_0003.exr"));
}

TEST_F(RenderCommandRun, FailuresAreReportedBeforeRendering) {
  // Unwritable output: refused before the scene is rendered.
  EXPECT_EQ(run({scene, "-o", (dir / "missing" / "x.png").string(), "--quiet"}), 1);
  EXPECT_EQ(run({scene, "-o", (dir / "x.jpg").string(), "--quiet"}), 1);
  // A scene that cannot be read.
  EXPECT_EQ(run({(dir / "nothing.orvs").string(), "--quiet"}), 1);
  EXPECT_EQ(run({"--nonsense"}), 2);
  EXPECT_EQ(run({"--help"}), 0);
  // A module that cannot be loaded stops the render with a message.
  EXPECT_EQ(run({scene, "-o", (dir / "m.png").string(), "--quiet", "--module", (dir / "none.so").string()}), 1);
  EXPECT_FALSE(fs::exists(dir / "m.png"));
}

#ifdef ORVIK_MODULE_PATH
TEST_F(RenderCommandRun, RendersThroughTheModulesShaders) {
  std::ofstream(scene) << "OrvikScene 1\n"
                          "FrameSize 12 8\n"
                          "Object \"Ball\"\n"
                          "  Primitive Sphere 0.5 16 8\n"
                          "  Surface \"Ball\"\n"
                          "    Color 1 0 0\n"
                          "    Shader \"Orvik\"\n"
                          "    EndShader\n"
                          "  EndSurface\n"
                          "EndObject\n"
                          "Plugin MasterHandler \"Orvik\"\n"
                          "EndPlugin\n"
                          "Plugin PixelFilterHandler \"Orvik\"\n"
                          "EndPlugin\n";
  int shaders = 0;
  RenderSessionFactory factory = [&](Scene& s, std::string& error) {
    HostOptions options;
    options.modulePath = ORVIK_MODULE_PATH;
    options.privateModuleCopy = true;
    options.quiet = true;
    auto session = openModuleRenderSession(s, options, error);
    if (session) shaders = static_cast<int>(session->plugins.surfaceShaders.at(0).at(0).size());
    return session;
  };
  const std::string out = (dir / "module.png").string();
  ASSERT_EQ(run({scene, "-o", out, "--quiet", "--threads", "2"}, factory), 0);
  EXPECT_EQ(shaders, 1);
  ImageBuffer image;
  std::string error;
  ASSERT_TRUE(readImage(out, image, error)) << error;
  EXPECT_EQ(image.width, 12);
}
#endif

}  // namespace
}  // namespace orvik::host
