// The built-in demo: the scene carries every look and the master's groups,
// the variants are made from it without losing settings, and the real
// module takes the graded records over the scene's own.
#include "host/demo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

#include "host/cli_session.h"

namespace orvik::host {
namespace {

const Surface* findSurface(const Scene& scene, const std::string& name) {
  for (const Object& o : scene.objects)
    for (const Surface& s : o.surfaces)
      if (s.name == name) return &s;
  return nullptr;
}

std::string orvikSettings(const Scene& scene, const std::string& surface) {
  const Surface* s = findSurface(scene, surface);
  if (s == nullptr) return "";
  for (const ShaderRef& sh : s->shaders)
    if (sh.server == "Orvik") return sh.settings;
  return "";
}

const PluginBlock* master(const Scene& scene) {
  for (const PluginBlock& b : scene.plugins)
    if (b.serverClass == "MasterHandler" && b.server == "Orvik") return &b;
  return nullptr;
}

// The value line after "BEGIN <kind> <key>" in a settings text, or "".
std::string recordLine(const std::string& text, const std::string& kindAndKey, int after = 1) {
  const std::string begin = "BEGIN " + kindAndKey + "\n";
  const std::size_t at = text.rfind(begin);  // the last record of a key is the one that counts
  if (at == std::string::npos) return "";
  std::size_t from = at + begin.size();
  for (int i = 1; i < after; ++i) from = text.find('\n', from) + 1;
  const std::size_t eol = text.find('\n', from);
  std::string line = text.substr(from, eol - from);
  line.erase(0, line.find_first_not_of(' '));
  return line;
}

TEST(DemoScene, EveryLookIsSwitchedOnInItsSurface) {
  const SceneReadResult read = demoScene();
  ASSERT_TRUE(read.ok) << read.error;
  const Scene& scene = read.scene;

  const std::string glass = orvikSettings(scene, "Glass");
  EXPECT_NE(recordLine(glass, "NUM THICKTRANS"), "VALUE 0");
  EXPECT_NE(recordLine(glass, "NUM THICKTRANS"), "");
  // Without these two the inside of the ball renders almost black.
  EXPECT_EQ(recordLine(glass, "BUTTON ZEROBACK"), "CHECKED YES");
  EXPECT_EQ(recordLine(glass, "BUTTON DOBACKINDEX"), "CHECKED YES");
  ASSERT_NE(findSurface(scene, "Glass"), nullptr);
  EXPECT_GT(findSurface(scene, "Glass")->transparency, 0.5);

  EXPECT_NE(recordLine(orvikSettings(scene, "Leaf"), "NUM THICKLIGHT"), "");
  const std::string skin = orvikSettings(scene, "Skin");
  EXPECT_NE(recordLine(skin, "NUM SKINBSSRDF"), "");
  EXPECT_NE(recordLine(skin, "NUM BLOODVIS"), "");
  EXPECT_NE(recordLine(skin, "NUM ROUGHDIFFUSE"), "");
  const std::string metal = orvikSettings(scene, "Brushed Metal");
  EXPECT_NE(recordLine(metal, "NUM ANISO1"), "");
  EXPECT_NE(recordLine(metal, "NUM REFGLOSS"), "");
  ASSERT_NE(findSurface(scene, "Brushed Metal"), nullptr);
  EXPECT_GT(findSurface(scene, "Brushed Metal")->reflection, 0.0);
  const std::string paint = orvikSettings(scene, "Paint");
  EXPECT_NE(recordLine(paint, "NUM ECOL1"), "");
  EXPECT_NE(recordLine(paint, "NUM ECOL2"), "");
  EXPECT_NE(recordLine(paint, "RADIO EREFR"), "SELECTION 0");
  const std::string art = orvikSettings(scene, "Art");
  EXPECT_EQ(recordLine(art, "BUTTON DO_ART"), "CHECKED YES");
  EXPECT_EQ(recordLine(art, "IMNAME ART_IMNAME"), "IMAGENAME 12 @Study Sphere");
}

TEST(DemoScene, NamesInSettingsPointAtWhatTheSceneHolds) {
  const SceneReadResult read = demoScene();
  ASSERT_TRUE(read.ok) << read.error;
  const Scene& scene = read.scene;

  // The art image is declared under the name the settings use, and its file is found.
  bool declared = false;
  for (const Image& im : scene.images)
    if (im.name == "Study Sphere") {
      declared = true;
      EXPECT_TRUE(std::filesystem::exists(im.fileName)) << im.fileName;
    }
  EXPECT_TRUE(declared);

  // Every light and object named in the master's groups exists in the scene.
  const PluginBlock* m = master(scene);
  ASSERT_NE(m, nullptr);
  std::set<std::string> lights, objects;
  for (const Light& l : scene.lights) lights.insert(l.name);
  for (const Object& o : scene.objects) objects.insert(o.name);
  int lightEntries = 0, objectEntries = 0;
  std::size_t from = 0;
  while (from < m->settings.size()) {
    std::size_t eol = m->settings.find('\n', from);
    if (eol == std::string::npos) eol = m->settings.size();
    std::string line = m->settings.substr(from, eol - from);
    from = eol + 1;
    line.erase(0, line.find_first_not_of(' '));
    const bool isLight = line.rfind("LIGHT ", 0) == 0, isObject = line.rfind("OBJECT ", 0) == 0;
    if (!isLight && !isObject) continue;
    const std::string name = line.substr(line.find('@') + 1);
    if (isLight) {
      ++lightEntries;
      EXPECT_TRUE(lights.count(name)) << "no light named " << name;
    } else {
      ++objectEntries;
      EXPECT_TRUE(objects.count(name)) << "no object named " << name;
    }
  }
  EXPECT_GE(lightEntries, 2);  // a key and a fill group
  EXPECT_GE(objectEntries, 1);
  EXPECT_EQ(recordLine(m->settings, "STRING LGS0"), "STRING2 3 @Key");
  EXPECT_EQ(recordLine(m->settings, "STRING LGS1"), "STRING2 4 @Fill");
}

TEST(DemoVariants, GradedAppendsBeforeTheEndLineAndKeepsTheRest) {
  SceneReadResult read = demoScene();
  ASSERT_TRUE(read.ok) << read.error;
  const std::string before = master(read.scene)->settings;
  const std::string skinBefore = orvikSettings(read.scene, "Skin");
  std::string error;
  ASSERT_TRUE(applyDemoVariant(read.scene, DemoVariant::Graded, error)) << error;
  const std::string after = master(read.scene)->settings;
  EXPECT_EQ(recordLine(after, "NUM LGB1"), "VALUE 3");
  EXPECT_EQ(recordLine(after, "BUTTON GRAIN"), "CHECKED YES");
  EXPECT_EQ(recordLine(after, "BUTTON DOCLIP"), "CHECKED YES");
  // The block still ends with its end line, and the original records stay in order before the grade.
  const std::size_t endLine = after.rfind("END MORVANE_PLUGIN");
  ASSERT_NE(endLine, std::string::npos);
  EXPECT_EQ(after.find("END MORVANE_PLUGIN"), endLine);
  EXPECT_LT(after.rfind("BEGIN BUTTON GRAIN"), endLine);
  EXPECT_EQ(after.compare(0, before.rfind("END MORVANE_PLUGIN"), before, 0, before.rfind("END MORVANE_PLUGIN")), 0);
  EXPECT_EQ(orvikSettings(read.scene, "Skin"), skinBefore);  // surfaces are not graded

  // A master applied with an empty block gets a whole block.
  Scene empty;
  empty.plugins.push_back({"MasterHandler", "Orvik", ""});
  ASSERT_TRUE(applyDemoVariant(empty, DemoVariant::Graded, error)) << error;
  EXPECT_EQ(empty.plugins[0].settings.rfind("BEGIN MORVANE_PLUGIN Orvik\n", 0), 0u);
  EXPECT_EQ(recordLine(empty.plugins[0].settings, "NUM LGB1"), "VALUE 3");

  // No master, or a block without its end line: refused, the scene unchanged.
  Scene none;
  none.plugins.push_back({"PixelFilterHandler", "Orvik", "BEGIN MORVANE_PLUGIN Orvik\nEND MORVANE_PLUGIN Orvik"});
  error.clear();
  EXPECT_FALSE(applyDemoVariant(none, DemoVariant::Graded, error));
  EXPECT_FALSE(error.empty());
  Scene broken;
  broken.plugins.push_back({"MasterHandler", "Orvik", "BEGIN MORVANE_PLUGIN Orvik\nVERSION 1.5"});
  error.clear();
  EXPECT_FALSE(applyDemoVariant(broken, DemoVariant::Graded, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(broken.plugins[0].settings, "BEGIN MORVANE_PLUGIN Orvik\nVERSION 1.5");
}

TEST(DemoVariants, DefaultsEmptiesOnlyTheModulesBlocks) {
  SceneReadResult read = demoScene();
  ASSERT_TRUE(read.ok) << read.error;
  Object other;
  other.name = "Other";
  Surface s;
  s.name = "Other";
  s.shaders.push_back({"SomeOtherShader", "KEEP ME", true});
  other.surfaces.push_back(s);
  read.scene.objects.push_back(other);
  std::string error;
  ASSERT_TRUE(applyDemoVariant(read.scene, DemoVariant::Defaults, error)) << error;
  for (const Object& o : read.scene.objects)
    for (const Surface& sf : o.surfaces)
      for (const ShaderRef& sh : sf.shaders) {
        if (sh.server == "Orvik") EXPECT_EQ(sh.settings, "") << sf.name;
        else EXPECT_EQ(sh.settings, "KEEP ME");
      }
  for (const PluginBlock& b : read.scene.plugins) EXPECT_EQ(b.settings, "") << b.serverClass;
}

TEST(DemoImages, FoundFromTheCurrentFolderScenesOrAboveTheExecutable) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("orvik_demo_images_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "tree" / "scenes");
  fs::create_directories(root / "tree" / "build" / "host");
  std::ofstream(root / "tree" / "scenes" / "a.png") << "x";
  const fs::path cwd = fs::current_path();
  fs::current_path(root);
  // Above the executable's folder.
  const std::string exeDir = (root / "tree" / "build" / "host").string();
  EXPECT_EQ(fs::weakly_canonical(findDemoImage("a.png", exeDir)), fs::weakly_canonical(root / "tree" / "scenes" / "a.png"));
  // Nowhere: the name comes back unchanged, so the load names it.
  EXPECT_EQ(findDemoImage("missing.png", exeDir), "missing.png");
  EXPECT_EQ(findDemoImage("a.png", ""), "a.png");
  // scenes/ under the current folder, then the current folder itself.
  fs::current_path(root / "tree");
  EXPECT_EQ(findDemoImage("a.png", ""), (fs::path("scenes") / "a.png").string());
  std::ofstream(root / "tree" / "a.png") << "y";
  EXPECT_EQ(findDemoImage("a.png", ""), "a.png");
  EXPECT_EQ(findDemoImage("/abs/none.png", ""), "/abs/none.png");
  fs::current_path(cwd);
  fs::remove_all(root);
}

// The module reads the graded records over the scene's own (a later record of
// a key wins), and the defaults variant gives instances at their defaults.
class DemoVariantSession : public ::testing::Test {
 protected:
  std::string savedMaster(DemoVariant variant, std::string* glass = nullptr) {
    SceneReadResult read = demoScene();
    EXPECT_TRUE(read.ok) << read.error;
    std::string error;
    EXPECT_TRUE(applyDemoVariant(read.scene, variant, error)) << error;
    HostSession session;
    HostOptions o;
    o.modulePath = ORVIK_MODULE_PATH;
    o.quiet = true;
    o.privateModuleCopy = true;
    EXPECT_EQ(session.start(o), "");
    EXPECT_EQ(session.useScene(std::move(read.scene)), "");
    EXPECT_EQ(session.created.failures, 0);
    EXPECT_EQ(session.plugins->saveSettings(), "");
    if (glass) *glass = orvikSettings(session.scene, "Glass");
    const PluginBlock* m = master(session.scene);
    return m ? m->settings : "";
  }
};

TEST_F(DemoVariantSession, TheModuleTakesTheGradeAndTheDefaults) {
  std::string glass;
  const std::string graded = savedMaster(DemoVariant::Graded, &glass);
  EXPECT_EQ(recordLine(graded, "NUM LGB1"), "VALUE 3");
  EXPECT_EQ(recordLine(graded, "NUM LGB0"), "VALUE 1");
  EXPECT_EQ(recordLine(graded, "BUTTON GRAIN"), "CHECKED YES");
  EXPECT_EQ(recordLine(graded, "BUTTON DOCLIP"), "CHECKED YES");
  EXPECT_EQ(recordLine(graded, "NUM CLIPX0"), "VALUE 0.6");
  EXPECT_EQ(recordLine(graded, "STRING LGS1"), "STRING2 4 @Fill");
  EXPECT_EQ(recordLine(glass, "BUTTON ZEROBACK"), "CHECKED YES");

  const std::string defaults = savedMaster(DemoVariant::Defaults, &glass);
  EXPECT_EQ(recordLine(defaults, "NUM LGB1"), "VALUE 1");
  EXPECT_EQ(recordLine(defaults, "BUTTON GRAIN"), "CHECKED NO");
  EXPECT_EQ(recordLine(glass, "NUM THICKTRANS"), "VALUE 0");
  EXPECT_EQ(recordLine(glass, "BUTTON ZEROBACK"), "CHECKED NO");
}

}  // namespace
}  // namespace orvik::host
