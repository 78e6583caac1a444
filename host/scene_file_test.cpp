#include "host/scene_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "host/demo.h"

namespace orvik::host {
namespace {

const char* const kSmall = R"(OrvikScene 1
FramesPerSecond 10
FrameSize 320 240
Image "bump" "bump.png"
Object "Ball"
  Primitive Sphere 2 12 6
  Key 0  0 0 0  0 0 0  1 1 1
  Key 10 5 0 0  0 0 0  1 1 1
  Surface "Red"
    Color 1 0 0
    BumpTexture Image "bump" 0.5
    Shader "Orvik"
      | BEGIN MORVANE_PLUGIN Orvik
      |  BEGIN NUM LUMINOUS
      | END MORVANE_PLUGIN Orvik
    EndShader
  EndSurface
  Bone "Bone.01"
    RestLength 2
  EndBone
EndObject
Light "Lamp"
  Type Spot
  Parent Object "Ball"
  IntensityKey 0 1
  IntensityKey 20 3
  Exclude "Ball"
EndLight
Camera "Cam"
  ZoomFactor 2
EndCamera
RenderCamera "Cam"
)";

TEST(SceneFileRead, ReadsItemsSurfacesAndSettingsText) {
  const SceneReadResult r = parseSceneText(kSmall, "small.orvs");
  ASSERT_TRUE(r.ok) << r.error;
  const Scene& s = r.scene;
  ASSERT_EQ(s.objects.size(), 1u);
  const Object& ball = s.objects[0];
  EXPECT_EQ(ball.primitive.kind, PrimitiveKind::Sphere);
  EXPECT_EQ(ball.primitive.radius, 2.0);
  // Keys are given in frames and kept in seconds.
  ASSERT_EQ(ball.motion.keys.size(), 2u);
  EXPECT_DOUBLE_EQ(ball.motion.keys[1].time, 1.0);
  EXPECT_DOUBLE_EQ(ball.motion.at(0.5).position.x, 2.5);
  ASSERT_EQ(ball.surfaces.size(), 1u);
  const Surface& red = ball.surfaces[0];
  EXPECT_EQ(red.bumpTexture.kind, BumpKind::Image);
  EXPECT_EQ(red.bumpTexture.image, 0);
  ASSERT_EQ(red.shaders.size(), 1u);
  // The text after "| " is kept exactly, leading blanks included.
  EXPECT_EQ(red.shaders[0].settings,
            "BEGIN MORVANE_PLUGIN Orvik\n BEGIN NUM LUMINOUS\nEND MORVANE_PLUGIN Orvik");
  ASSERT_EQ(s.bones.size(), 1u);
  EXPECT_EQ(s.bones[0].owner, makeItemId(ItemType::Object, 0));
  EXPECT_EQ(s.bones[0].parent, s.bones[0].owner);
  ASSERT_EQ(s.lights.size(), 1u);
  EXPECT_EQ(s.lights[0].parent, makeItemId(ItemType::Object, 0));
  EXPECT_DOUBLE_EQ(s.lights[0].intensity.at(1.0), 2.0);
  EXPECT_EQ(s.render.camera, makeItemId(ItemType::Camera, 0));
}

TEST(SceneFileRead, ForwardReferencesResolve) {
  const SceneReadResult r = parseSceneText(
      "OrvikScene 1\nRenderCamera \"Late\"\nLight \"L\"\n  Parent Camera \"Late\"\nEndLight\n"
      "Camera \"Late\"\nEndCamera\n",
      "f.orvs");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.scene.lights[0].parent, makeItemId(ItemType::Camera, 0));
}

TEST(SceneFileRead, WriteThenReadGivesTheSameScene) {
  SceneReadResult first = parseSceneText(kSmall, "small.orvs");
  ASSERT_TRUE(first.ok) << first.error;
  const std::string text = writeSceneText(first.scene);
  const SceneReadResult second = parseSceneText(text, "again.orvs");
  ASSERT_TRUE(second.ok) << second.error << "\n" << text;
  // Writing the re-read scene gives the same text: nothing was lost.
  EXPECT_EQ(writeSceneText(second.scene), text);
  EXPECT_EQ(second.scene.objects[0].surfaces[0].shaders[0].settings,
            first.scene.objects[0].surfaces[0].shaders[0].settings);
  EXPECT_EQ(second.scene.lights[0].intensity.keys.size(), 2u);
}

TEST(SceneFileRead, TheBuiltInDemoHasEveryLightTypeAndItsLooks) {
  const SceneReadResult r = demoScene();
  ASSERT_TRUE(r.ok) << r.error;
  bool types[kLightTypeCount] = {};
  for (const Light& l : r.scene.lights) types[static_cast<int>(l.type)] = true;
  for (int t = 0; t < kLightTypeCount; ++t) EXPECT_TRUE(types[t]) << "light type " << t;
  int shaded = 0;
  for (const Object& o : r.scene.objects)
    for (const Surface& s : o.surfaces) shaded += s.findShader("Orvik") ? 1 : 0;
  EXPECT_GE(shaded, 6);
  EXPECT_NE(r.scene.renderCamera(), kNoItem);
  // The copy in the source tree is the one compiled in.
  std::ifstream in(std::string(ORVIK_SOURCE_DIR) + "/scenes/demo.orvs");
  const std::string onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(onDisk, demoSceneText());
}

TEST(SceneFileRead, TheDocumentedExampleReads) {
  // The complete example of the format's documentation is a valid scene.
  std::ifstream in(std::string(ORVIK_SOURCE_DIR) + "/docs/scene-format.md");
  const std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t section = doc.find("## A complete example");
  ASSERT_NE(section, std::string::npos);
  const std::size_t open = doc.find("```\n", section);
  const std::size_t close = doc.find("```", open + 4);
  ASSERT_NE(close, std::string::npos);
  const SceneReadResult r = parseSceneText(doc.substr(open + 4, close - open - 4), "example.orvs");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.scene.objects.size(), 3u);
  EXPECT_EQ(r.scene.bones.size(), 1u);
  EXPECT_EQ(r.scene.plugins.size(), 2u);
  EXPECT_EQ(r.scene.objects[1].surfaces[0].reflectionImage, 0);
}

// Each bad text must fail at the named line with a message that says what.
struct BadCase {
  const char* text;
  int line;
  const char* says;
};

TEST(SceneFileErrors, NameTheLineAndWhatIsWrong) {
  const BadCase cases[] = {
      {"", 1, "empty file"},
      {"Scene 1\n", 1, "must begin with OrvikScene"},
      {"OrvikScene 9\n", 1, "newer"},
      {"OrvikScene 1\nFrameSize 640\n", 2, "FrameSize takes 2 values, got 1"},
      {"OrvikScene 1\nFrameSize 640 abc\n", 2, "'abc' is not a whole number"},
      {"OrvikScene 1\nAmbientIntensity 0.5x\n", 2, "'0.5x' is not a number"},
      {"OrvikScene 1\nFrameSize 0 480\n", 2, "out of range"},
      {"OrvikScene 1\nFramesPerSecond nan\n", 2, "not a number"},
      {"OrvikScene 1\nAntialiasing 4 2\n", 2, "maximum is below the minimum"},
      {"OrvikScene 1\nBogus 1\n", 2, "unknown keyword 'Bogus'"},
      {"OrvikScene 1\nObject \"A\"\n  Primitive Sphere 1\n", 2, "EndObject is missing"},
      {"OrvikScene 1\nObject \"A\"\nEndObject\n", 3, "neither a Mesh nor a Primitive"},
      {"OrvikScene 1\nObject \"A\"\n  Primitive Cone\n", 3, "'Cone' is not one of Sphere"},
      {"OrvikScene 1\nObject \"A\"\n  Mesh \"a.obj\"\n  Primitive Box\n", 4, "already has a Mesh"},
      {"OrvikScene 1\nEndLight\n", 2, "EndLight without a matching block"},
      {"OrvikScene 1\nLight \"L\"\n  Type Laser\nEndLight\n", 3, "'Laser' is not one of Distant"},
      {"OrvikScene 1\nLight \"L\"\n  Parent Object \"Nowhere\"\nEndLight\n", 3, "no Object named 'Nowhere'"},
      {"OrvikScene 1\nLight \"L\"\n  Exclude \"Nowhere\"\nEndLight\n", 3, "no Object named 'Nowhere'"},
      {"OrvikScene 1\nObject \"A\"\n  Primitive Box\n  Surface \"S\"\n    ReflectionImage \"env\"\n  EndSurface\nEndObject\n",
       5, "no Image named 'env'"},
      {"OrvikScene 1\n| text\n", 2, "outside a Shader or Plugin block"},
      {"OrvikScene 1\nObject \"A\n", 2, "unterminated string"},
      {"OrvikScene 1\nCamera \"C\"\n  Parent Camera \"C\"\nEndCamera\n", 3, "its own parent"},
      {"OrvikScene 1\nFirstFrame 10\nLastFrame 5\n", 3, "LastFrame lies before FirstFrame"},
      {"OrvikScene 1\nFrameSize 100 100\nLimitedRegion 0 0 100 50\n", 3, "reaches past the frame"},
      {"OrvikScene 1\nPlugin MasterHandler \"Orvik\"\nEndPlugin\nPlugin MasterHandler \"Orvik\"\n", 4,
       "a second MasterHandler"},
      {"OrvikScene 1\nObject \"A\"\n  Primitive Box\n  Surface \"S\"\n    Shader \"Orvik\"\n    Color 1 1 1\n", 6,
       "settings lines begin with '|'"},
  };
  for (const BadCase& c : cases) {
    const SceneReadResult r = parseSceneText(c.text, "bad.orvs");
    EXPECT_FALSE(r.ok) << c.text;
    const std::string where = "bad.orvs:" + std::to_string(c.line) + ": ";
    EXPECT_EQ(r.error.rfind(where, 0), 0u) << "wanted " << where << " got: " << r.error;
    EXPECT_NE(r.error.find(c.says), std::string::npos) << "wanted '" << c.says << "' in: " << r.error;
  }
}

TEST(SceneFileErrors, ParentCyclesAreRefused) {
  const SceneReadResult r = parseSceneText(
      "OrvikScene 1\nCamera \"A\"\n  Parent Camera \"B\"\nEndCamera\nCamera \"B\"\n  Parent Camera \"A\"\nEndCamera\n",
      "cycle.orvs");
  ASSERT_FALSE(r.ok);
  EXPECT_NE(r.error.find("Parent cycle"), std::string::npos) << r.error;
}

// A small fixed generator, so that the damaged texts are the same every run.
struct Lcg {
  std::uint32_t state;
  std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
};

TEST(SceneFileErrors, DamagedTextsNeverCrashAndAlwaysSayWhere) {
  const std::string original = demoSceneText();
  const char kBytes[] = {'"', '|', '#', ' ', '\n', '\\', '0', '-', 'x', '\0', '\xff', 'E'};
  Lcg rng{12345u};
  for (int round = 0; round < 400; ++round) {
    std::string text = original;
    const int edits = 1 + static_cast<int>(rng.next() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = rng.next() % text.size();
      switch (rng.next() % 3) {
        case 0: text[at] = kBytes[rng.next() % sizeof kBytes]; break;
        case 1: text.erase(at, 1 + rng.next() % 40); break;
        default: text.insert(at, 1, kBytes[rng.next() % sizeof kBytes]); break;
      }
    }
    const SceneReadResult r = parseSceneText(text, "damaged.orvs");
    if (!r.ok) {
      EXPECT_EQ(r.error.rfind("damaged.orvs:", 0), 0u) << r.error;
      EXPECT_TRUE(r.scene.objects.empty());
    }
  }
}

class SceneFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orvik-scene-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& text) {
    const auto p = dir_ / name;
    std::ofstream(p) << text;
    return p.string();
  }
  std::filesystem::path dir_;
};

TEST_F(SceneFileOnDisk, MissingMeshNamesTheFileAndTheLine) {
  const std::string path =
      write("scene.orvs", "OrvikScene 1\nObject \"Ok\"\n  Primitive Box\nEndObject\nObject \"Gone\"\n  Mesh "
                          "\"meshes/gone.obj\"\nEndObject\n");
  const SceneReadResult r = loadSceneFile(path);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error.rfind(path + ":5: object 'Gone'", 0), 0u) << r.error;
  EXPECT_NE(r.error.find("gone.obj"), std::string::npos) << r.error;
  // Nothing half-loaded is handed out.
  EXPECT_TRUE(r.scene.objects.empty());
}

TEST_F(SceneFileOnDisk, MeshesLoadRelativeToTheSceneAndKeepSceneSurfaces) {
  write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  const std::string path = write("scene.orvs",
                                 "OrvikScene 1\nObject \"Tri\"\n  Mesh \"tri.obj\"\n  Surface \"Extra\"\n"
                                 "    Luminosity 0.5\n  EndSurface\nEndObject\n");
  const SceneReadResult r = loadSceneFile(path);
  ASSERT_TRUE(r.ok) << r.error;
  const Object& o = r.scene.objects[0];
  EXPECT_EQ(o.mesh.triangles.size(), 1u);
  ASSERT_GE(o.surfaces.size(), 2u);  // the file's material and the scene's surface
  EXPECT_EQ(o.surfaces.back().name, "Extra");
  EXPECT_EQ(o.surfaces.back().luminosity, 0.5);
}

TEST_F(SceneFileOnDisk, UnreadableSceneSaysSo) {
  const SceneReadResult r = loadSceneFile((dir_ / "none.orvs").string());
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace orvik::host
