// The orvik command line, run as a separate process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(const fs::path& p) {
  std::ifstream in(p);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("orvik-cli-test-" + std::to_string(::getpid()) + "-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs orvik with the arguments (already quoted for the shell).
  Outcome orvik(const std::string& args) {
    const fs::path err = dir_ / "stderr.txt";
    const std::string cmd = std::string("'") + ORVIK_EXE + "' " + args + " 2>'" + err.string() + "' </dev/null";
    Outcome r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int raw = ::pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = slurp(err);
    return r;
  }
  std::string file(const std::string& name, const std::string& text) {
    const fs::path p = dir_ / name;
    std::ofstream(p) << text;
    return p.string();
  }
  fs::path dir_;
};

TEST_F(Cli, HelpEverywhereAndUsageErrors) {
  Outcome r = orvik("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* c : {"servers", "check", "demo", "render", "resave", "settings"})
    EXPECT_NE(r.out.find(c), std::string::npos) << c;
  for (const char* c : {"servers", "check", "demo", "render", "resave", "settings"}) {
    r = orvik(std::string(c) + " --help");
    EXPECT_EQ(r.status, 0) << c;
    EXPECT_NE(r.out.find("sage: orvik " + std::string(c)), std::string::npos) << c << ": " << r.out;
  }
  r = orvik("");
  EXPECT_EQ(r.status, 2);
  r = orvik("frobnicate");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown command 'frobnicate'"), std::string::npos);
  r = orvik("servers --host-version four");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--host-version: 'four' is not a whole number"), std::string::npos) << r.err;
  r = orvik("servers --without");
  EXPECT_EQ(r.status, 2);
  r = orvik("demo --size 10by10");
  EXPECT_EQ(r.status, 2);
}

TEST_F(Cli, ServersListsFifteenWithTheirActivationCodes) {
  Outcome r = orvik("servers");
  ASSERT_EQ(r.status, 0) << r.err;
  int rows = 0;
  std::istringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line))
    if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) ++rows;
  EXPECT_EQ(rows, 15);
  EXPECT_NE(r.out.find("Orvik:Render Previews"), std::string::npos);
  EXPECT_NE(r.out.find("no_buffer"), std::string::npos);

  r = orvik("servers --host-version 5");
  EXPECT_NE(r.out.find("1 bad version"), std::string::npos);
  EXPECT_EQ(r.err, "");  // silently
  r = orvik("servers --host-version 2");
  EXPECT_NE(r.out.find("1 bad version"), std::string::npos);
  EXPECT_NE(r.err.find("This plugin requires LW version 6.0 or later"), std::string::npos) << r.err;
  r = orvik("servers --modeler");
  EXPECT_NE(r.out.find("4 wrong host application"), std::string::npos) << r.out;
  r = orvik("servers --without 'LW Bone Info'");
  EXPECT_NE(r.out.find("12 missing \"LW Bone Info\""), std::string::npos) << r.out;
  r = orvik("servers --module /nonexistent/liborvik.so");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/nonexistent/liborvik.so"), std::string::npos);
}

TEST_F(Cli, BadScenesGiveFileLineAndFail) {
  const std::string bad = file("bad.orvs", "OrvikScene 1\nLight \"L\"\n  Type Spot\n  ConeAngle wide\nEndLight\n");
  Outcome r = orvik("check '" + bad + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(bad + ":4: ConeAngle: 'wide' is not a number"), std::string::npos) << r.err;
  r = orvik("render '" + bad + "' -o '" + (dir_ / "x.png").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(bad + ":4:"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "x.png"));  // nothing rendered from a bad scene

  const std::string missing = file("mesh.orvs", "OrvikScene 1\nObject \"M\"\n  Mesh \"nowhere/m.obj\"\nEndObject\n");
  r = orvik("check '" + missing + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("m.obj"), std::string::npos) << r.err;
}

TEST_F(Cli, DemoCreatesTheInstancesAndSavesTheScene) {
  Outcome r = orvik("demo --no-render --quiet --out '" + dir_.string() + "'");
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Created 8 shader instances and 2 scene-wide instances, 0 failures."), std::string::npos)
      << r.out;
  const fs::path saved = dir_ / "demo.orvs";
  ASSERT_TRUE(fs::exists(saved));
  r = orvik("check '" + saved.string() + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("8 objects"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("5 lights"), std::string::npos) << r.out;
}

TEST_F(Cli, RunExecutesHostCommandsAndSavesTheScene) {
  const std::string script = file("commands.txt",
                                  "# give the floor the shader\n"
                                  "Surface Floor Floor\n"
                                  "Surf_AddShader Orvik\n"
                                  "\n"
                                  "Bogus 1\n"
                                  "SelectByName Leaf\n");
  const std::string saved = (dir_ / "after.orvs").string();
  Outcome r = orvik("run --quiet --script '" + script + "' --save '" + saved + "'");
  EXPECT_EQ(r.status, 1);  // one command failed
  EXPECT_NE(r.out.find("ok      Surf_AddShader Orvik"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("failed  Bogus 1"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find(script + ":5: Bogus: unknown command"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("ok      SelectByName Leaf"), std::string::npos) << r.out;
  const std::string text = slurp(saved);
  const auto floor = text.find("Surface \"Floor\"");
  ASSERT_NE(floor, std::string::npos);
  EXPECT_LT(text.find("Shader \"Orvik\"", floor), text.find("EndSurface", floor));
  r = orvik("run --quiet --script '" + script + "' --save '" + (dir_ / "no" / "x.orvs").string() + "'");
  EXPECT_EQ(r.status, 1);  // refused before any command ran
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
  r = orvik("run --script '" + (dir_ / "none.txt").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot open the script"), std::string::npos);
}

// A scene saved by run into another folder still finds the images it names.
TEST_F(Cli, RunSavesIntoAnotherFolderWithItsImagesFound) {
  const fs::path source = fs::path(ORVIK_SOURCE_DIR) / "scenes";
  fs::create_directories(dir_ / "a");
  fs::create_directories(dir_ / "b");
  fs::copy_file(source / "demo.orvs", dir_ / "a" / "demo.orvs");
  fs::copy_file(source / "study_sphere.png", dir_ / "a" / "study_sphere.png");
  const std::string script = file("nothing.txt", "# no commands\n");
  const fs::path saved = dir_ / "b" / "demo.orvs";
  const Outcome r = orvik("run '" + (dir_ / "a" / "demo.orvs").string() + "' --quiet --script '" + script +
                          "' --save '" + saved.string() + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(slurp(saved).find("\"../a/study_sphere.png\""), std::string::npos);
  const Outcome rendered =
      orvik("render '" + saved.string() + "' --size 16x12 --quiet -o '" + (dir_ / "b" / "x.png").string() + "'");
  EXPECT_EQ(rendered.status, 0) << rendered.err;
  EXPECT_EQ(rendered.err.find("study_sphere"), std::string::npos) << rendered.err;
}

TEST_F(Cli, RealSceneAndObjectFilesRender) {
  const std::string models = "/usr/share/assimp/models";
  if (!fs::exists(models + "/LWS/move_x.lws")) GTEST_SKIP() << "assimp-testmodels is not installed";
  const char* files[] = {"LWS/move_x.lws", "LWS/move_xz_spline.lws", "LWS/move_x_oldformat_56.lws",
                         "LWO/LWO2/boxuv.lwo", "LWO/LWO2/transparency.lwo", "LWO/LWOB/ConcavePolygon.lwo"};
  int n = 0;
  for (const char* f : files) {
    const fs::path out = dir_ / ("real" + std::to_string(n++) + ".png");
    const Outcome r = orvik("render '" + models + "/" + f + "' -o '" + out.string() + "' --size 40x30 --quiet");
    EXPECT_EQ(r.status, 0) << f << ": " << r.err;
    EXPECT_TRUE(fs::exists(out)) << f;
  }
}

TEST_F(Cli, DemoRendersASmallFrame) {
  Outcome r = orvik("demo --quiet --size 64x48 --out '" + dir_.string() + "'");
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  for (const char* image : {"demo.png", "demo-graded.png", "demo-defaults.png", "demo-plain.png"})
    EXPECT_TRUE(fs::exists(dir_ / image)) << image;
  EXPECT_NE(r.out.find("Rendered 64x48"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Orvik on every surface against the host's own shading: "), std::string::npos) << r.out;
}

TEST_F(Cli, TheLightingStudyRenders) {
  const std::string study = (fs::path(ORVIK_SOURCE_DIR) / "scenes" / "lighting_study.orvs").string();
  const Outcome r = orvik("render '" + study + "' --size 40x15 --quiet -o '" + (dir_ / "study.png").string() + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(fs::exists(dir_ / "study.png"));
}

// Every camera ray of every pass is counted once, whichever thread sent it; the module's
// own shadow rays show as casts, and none without the module.
TEST_F(Cli, RenderStatsCountTheRaysOfAFrame) {
  const std::string demo = (fs::path(ORVIK_SOURCE_DIR) / "scenes" / "demo.orvs").string();
  auto rays = [&](const std::string& extra, const char* kind) {
    const Outcome r = orvik("render '" + demo + "' -o '" + (dir_ / "stats.png").string() +
                            "' --size 32x24 --threads 3 --quiet --stats " + extra);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::size_t at = r.out.find(std::string(" ") + kind);
    if (at == std::string::npos) return -1LL;
    const std::size_t start = r.out.rfind(' ', at - 1) + 1;
    return std::stoll(r.out.substr(start, at - start));
  };
  EXPECT_EQ(rays("", "camera"), 32 * 24 * 4);  // four antialiasing passes
  EXPECT_GT(rays("", "cast"), 0);
  EXPECT_EQ(rays("--plain", "camera"), 32 * 24 * 4);
  EXPECT_EQ(rays("--plain", "cast"), 0);
}

// Orvik on every surface (soft shadows drawn from per-pixel generators, glossy and
// refracted rays, the master's processing) renders the same picture on any number of
// render threads.
TEST_F(Cli, TheDemoIsTheSameOnOneTwoAndThreeThreads) {
  const std::string demo = (fs::path(ORVIK_SOURCE_DIR) / "scenes" / "demo.orvs").string();
  std::string first;
  for (int threads : {1, 2, 3}) {
    const fs::path out = dir_ / ("threads" + std::to_string(threads) + ".png");
    const Outcome r = orvik("render '" + demo + "' -o '" + out.string() + "' --size 48x36 --quiet --threads " +
                            std::to_string(threads));
    ASSERT_EQ(r.status, 0) << r.err;
    if (threads == 1) first = slurp(out);
    else EXPECT_EQ(slurp(out), first) << threads << " threads";
  }
  EXPECT_FALSE(first.empty());
}

TEST_F(Cli, ALightGroupBoostReachesTheRender) {
  // The demo's master groups the fill lights; boosting that group must change
  // the picture, which needs the group's members resolved once the scene is in.
  const fs::path demo = fs::path(ORVIK_SOURCE_DIR) / "scenes" / "demo.orvs";
  const std::string text = slurp(demo);
  const std::string plainBoost = "  |  BEGIN NUM LGB1\n  |  VALUE 1\n";
  const std::size_t at = text.find(plainBoost);
  ASSERT_NE(at, std::string::npos);
  std::string boosted = text;
  boosted.replace(at, plainBoost.size(), "  |  BEGIN NUM LGB1\n  |  VALUE 4\n");
  fs::copy_file(demo.parent_path() / "study_sphere.png", dir_ / "study_sphere.png");
  const std::string a = file("a.orvs", text), b = file("b.orvs", boosted);
  const std::string opts = " --size 64x48 --threads 1 --seed 7 --quiet";
  ASSERT_EQ(orvik("render '" + a + "' -o '" + (dir_ / "a.png").string() + "'" + opts).status, 0);
  ASSERT_EQ(orvik("render '" + b + "' -o '" + (dir_ / "b.png").string() + "'" + opts).status, 0);
  EXPECT_NE(slurp(dir_ / "a.png"), slurp(dir_ / "b.png"));
}

// ---- settings that survive a round trip

// Lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool isTimeLine(const std::string& line) { return line.find("# Saved ") != std::string::npos; }

std::vector<std::string> withoutTimeLines(const std::string& text) {
  std::vector<std::string> kept;
  for (std::string& l : linesOf(text))
    if (!isTimeLine(l)) kept.push_back(std::move(l));
  return kept;
}

// The settings lines of the first block of a scene that begins at a line
// holding `opener` (a Shader or Plugin line), without the "| " framing.
std::vector<std::string> sceneBlock(const std::string& scene, const std::string& opener) {
  std::vector<std::string> block;
  bool inside = false;
  for (const std::string& l : linesOf(scene)) {
    if (!inside) {
      inside = l.find(opener) != std::string::npos;
      continue;
    }
    const auto bar = l.find("| ");
    if (bar == std::string::npos || l.find_first_not_of(' ') != bar) break;
    block.push_back(l.substr(bar + 2));
  }
  return block;
}

// Every value of a settings block moved away from what it was: numbers
// (0 becomes 1, others halve), colours, choices and check buttons.
std::vector<std::string> changeEverySetting(const std::vector<std::string>& block) {
  std::vector<std::string> changed;
  std::string kind;
  for (const std::string& line : block) {
    std::istringstream words(line);
    std::string w1, w2;
    words >> w1 >> w2;
    const std::string indent = line.substr(0, line.find_first_not_of(' '));
    std::string out = line;
    if (w1 == "BEGIN" && w2 != "MORVANE_PLUGIN") kind = w2;
    if (kind == "NUM" && w1 == "VALUE") {
      const double v = std::stod(w2);
      std::ostringstream num;
      num << (v == 0.0 ? 1.0 : v * 0.5);
      out = indent + "VALUE " + num.str();
    } else if (w1 == "RED") {
      out = indent + "RED 10";
    } else if (w1 == "GREEN") {
      out = indent + "GREEN 20";
    } else if (w1 == "BLUE") {
      out = indent + "BLUE 30";
    } else if (w1 == "SELECTION") {
      out = indent + "SELECTION 1";
    } else if (w1 == "CHECKED") {
      out = indent + (w2 == "YES" ? "CHECKED NO" : "CHECKED YES");
    }
    changed.push_back(out);
  }
  return changed;
}

// The value line that follows `BEGIN kind KEY` in a block.
std::string valueAfter(const std::vector<std::string>& block, const std::string& begin) {
  for (std::size_t i = 0; i + 1 < block.size(); ++i)
    if (block[i].find(begin) != std::string::npos && block[i].find_first_not_of(' ') == 1)
      return block[i + 1].substr(block[i + 1].find_first_not_of(' '));
  return "<no " + begin + ">";
}

std::string joinedLines(const std::vector<std::string>& lines, const std::string& prefix) {
  std::string text;
  for (const std::string& l : lines) text += prefix + l + "\n";
  return text;
}

class Settings : public Cli {
 protected:
  // The block a fresh panel saves: a frame-only block checked with --print.
  std::vector<std::string> defaultBlock(bool master) {
    const std::string frame = file("frame.txt", "BEGIN MORVANE_PLUGIN Orvik\nEND MORVANE_PLUGIN Orvik\n");
    const Outcome r = orvik("settings check '" + frame + "' --print" + (master ? " --master" : ""));
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::vector<std::string> block;
    bool inside = false;
    for (std::string& l : linesOf(r.out)) {
      inside = inside || l.rfind("BEGIN MORVANE_PLUGIN", 0) == 0;
      if (inside && !l.empty()) block.push_back(std::move(l));
    }
    return block;
  }
  fs::path demo_ = fs::path(ORVIK_SOURCE_DIR) / "scenes" / "demo.orvs";
};

TEST_F(Settings, ResavingTheDemoTwiceChangesOnlyTheTimeLines) {
  const std::string once = (dir_ / "once.orvs").string(), twice = (dir_ / "twice.orvs").string();
  Outcome r = orvik("resave '" + demo_.string() + "' '" + once + "' --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  r = orvik("resave '" + once + "' '" + twice + "' --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string first = slurp(once);
  EXPECT_EQ(withoutTimeLines(first), withoutTimeLines(slurp(twice)));
  // The module wrote every block again, each with its time stamp.
  int stamps = 0, blocks = 0;
  for (const std::string& l : linesOf(first)) {
    stamps += isTimeLine(l) ? 1 : 0;
    blocks += l.find("| BEGIN MORVANE_PLUGIN") != std::string::npos ? 1 : 0;
  }
  EXPECT_GE(blocks, 2);
  EXPECT_EQ(stamps, blocks);
  // Texts of the demo's surfaces (their comments) come through unchanged.
  for (const std::string& l : linesOf(slurp(demo_))) {
    if (l.find("STRING2 ") != std::string::npos) {
      EXPECT_NE(first.find(l), std::string::npos) << l;
    }
  }

  // References the module resolves through the host survive: the light groups'
  // members and the art sphere's study image.
  for (const char* kept : {"BEGIN ITEM LGI0", "@Key Spot", "@Sun", "BEGIN IMNAME ART_IMNAME",
                           "@Study Sphere"}) {
    EXPECT_NE(first.find(kept), std::string::npos) << kept;
  }

  // Resaving a scene onto itself replaces it whole.
  r = orvik("resave '" + twice + "' '" + twice + "' --quiet");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(withoutTimeLines(first), withoutTimeLines(slurp(twice)));
  for (const auto& e : fs::directory_iterator(dir_))
    EXPECT_EQ(e.path().string().find(".tmp-"), std::string::npos) << e.path();
}

TEST_F(Settings, ResaveKeepsEverySettingChangedFromItsDefault) {
  for (const bool master : {false, true}) {
    SCOPED_TRACE(master ? "master" : "surface");
    const std::vector<std::string> defaults = defaultBlock(master);
    ASSERT_GT(defaults.size(), 100u);
    const std::vector<std::string> changed = changeEverySetting(defaults);
    int differences = 0;
    for (std::size_t i = 0; i < changed.size(); ++i) differences += changed[i] != defaults[i] ? 1 : 0;
    ASSERT_GT(differences, 50);

    std::string scene = "OrvikScene 1\nObject \"Ball\"\n  Primitive Sphere 0.5 16 8\n  Surface \"Ball\"\n";
    if (!master) scene += "    Shader \"Orvik\"\n" + joinedLines(changed, "      | ") + "    EndShader\n";
    scene += "  EndSurface\nEndObject\n";
    if (master) scene += "Plugin MasterHandler \"Orvik\"\n" + joinedLines(changed, "  | ") + "EndPlugin\n";
    const std::string in = file("changed.orvs", scene), out = (dir_ / "resaved.orvs").string();
    const Outcome r = orvik("resave '" + in + "' '" + out + "' --quiet");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = slurp(out);
    const std::vector<std::string> back =
        sceneBlock(text, master ? "Plugin MasterHandler \"Orvik\"" : "Shader \"Orvik\"");
    ASSERT_FALSE(back.empty()) << text;

    // Line for line the changed block, but for the time stamp and the end
    // line, whose trailing space evens the block's byte count.
    std::vector<std::string> want, got;
    for (const std::string& l : changed)
      if (!isTimeLine(l)) want.push_back(l.substr(0, l.find_last_not_of(' ') + 1));
    for (const std::string& l : back)
      if (!isTimeLine(l)) got.push_back(l.substr(0, l.find_last_not_of(' ') + 1));
    EXPECT_EQ(got, want);
    if (!master) {
      EXPECT_EQ(valueAfter(back, "BEGIN NUM LUMINOUS"), "VALUE 0.5");
      EXPECT_EQ(valueAfter(back, "BEGIN COLOR COLOR1"), "RED 10");
      EXPECT_EQ(valueAfter(back, "BEGIN RADIO ANISOTYPE"), "SELECTION 1");
      EXPECT_EQ(valueAfter(back, "BEGIN BUTTON RESETBOOST"), "CHECKED YES");
    }
  }
}

TEST_F(Settings, ResaveNamesBadInputsAndOutputsBeforeAnyWork) {
  const std::string scene = file("s.orvs", "OrvikScene 1\n");
  Outcome r = orvik("resave '" + scene + "' '" + (dir_ / "no" / "out.orvs").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
  r = orvik("resave '" + scene + "' '" + dir_.string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is a folder"), std::string::npos) << r.err;
  r = orvik("resave '" + (dir_ / "missing.orvs").string() + "' '" + (dir_ / "o.orvs").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.orvs: no such file"), std::string::npos) << r.err;
  const std::string bad = file("bad.orvs", "OrvikScene 1\nObject \"B\"\n  Primitive Blob\nEndObject\n");
  r = orvik("resave '" + bad + "' '" + (dir_ / "o.orvs").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(bad + ":3:"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "o.orvs"));
  r = orvik("resave '" + scene + "'");
  EXPECT_EQ(r.status, 2);
  r = orvik("resave '" + scene + "' '" + (dir_ / "o.orvs").string() + "' --module /nonexistent/liborvik.so");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/nonexistent/liborvik.so"), std::string::npos) << r.err;
}

TEST_F(Settings, ResaveWritesNothingWhenABlockDidNotLoad) {
  const std::string in = file("damaged.orvs",
                              "OrvikScene 1\nObject \"B\"\n  Primitive Sphere 0.5 8 4\n  Surface \"B\"\n"
                              "    Shader \"Orvik\"\n      | BEGIN MORVANE_PLUGIN\n      |  BEGIN NUM LUMINOUS\n"
                              "      |  VALUE 0.25\n      |  END\n    EndShader\n  EndSurface\nEndObject\n");
  const std::string out = (dir_ / "out.orvs").string();
  Outcome r = orvik("resave '" + in + "' '" + out + "' --quiet");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("This save file is corrupted."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Line 2: BEGIN MORVANE_PLUGIN"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("was not written"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out));
  r = orvik("resave '" + in + "' '" + out + "' --quiet --force");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(fs::exists(out));
}

TEST_F(Settings, ResaveKeepsTheTextOfShadersTheModuleDoesNotServe) {
  const std::string in = file("foreign.orvs",
                              "OrvikScene 1\nObject \"B\"\n  Primitive Sphere 0.5 8 4\n  Surface \"B\"\n"
                              "    Shader \"Elsewhere\"\n      | their own 1 2 3\n      |  indented\n    EndShader\n"
                              "  EndSurface\nEndObject\n");
  const std::string out = (dir_ / "out.orvs").string();
  const Outcome r = orvik("resave '" + in + "' '" + out + "' --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sceneBlock(slurp(out), "Shader \"Elsewhere\""), (std::vector<std::string>{"their own 1 2 3", " indented"}));
}

TEST_F(Settings, ResaveThroughALinkReplacesTheFileItNamesAndKeepsItsPermissions) {
  const std::string in = file("in.orvs", "OrvikScene 1\n");
  const std::string target = file("target.orvs", "old\n");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(target, dir_ / "link.orvs");
  const Outcome r = orvik("resave '" + in + "' '" + (dir_ / "link.orvs").string() + "' --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.orvs"));
  EXPECT_EQ(slurp(target).rfind("OrvikScene 1", 0), 0u);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Settings, MeshNamesFollowTheSceneIntoAnotherFolder) {
  fs::create_directories(dir_ / "in" / "meshes");
  fs::create_directories(dir_ / "out");
  std::ofstream(dir_ / "in" / "meshes" / "tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  std::ofstream(dir_ / "in" / "s.orvs") << "OrvikScene 1\nObject \"T\"\n  Mesh \"meshes/tri.obj\"\nEndObject\n";
  const std::string out = (dir_ / "out" / "s.orvs").string();
  Outcome r = orvik("resave '" + (dir_ / "in" / "s.orvs").string() + "' '" + out + "' --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(slurp(out).find("\"../in/meshes/tri.obj\""), std::string::npos) << slurp(out);
  r = orvik("check '" + out + "'");  // the written scene finds its mesh
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(Settings, CheckOfAGoodFileAndOfAScenesBlocks) {
  // A settings file as the panels write it: CR LF line ends.
  std::string crlf;
  for (const std::string& l : changeEverySetting(defaultBlock(false))) crlf += l + "\r\n";
  const std::string good = file("good.txt", crlf);
  Outcome r = orvik("settings check '" + good + "' --print");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find(good + ": the settings loaded cleanly into a surface panel"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" BEGIN NUM LUMINOUS\n VALUE 0.5\n"), std::string::npos);  // the lines were split at CR LF

  r = orvik("settings check '" + demo_.string() + "' --surface Glass");
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("surface 'Glass'"), std::string::npos) << r.out;
  r = orvik("settings check '" + demo_.string() + "' --surface Nowhere");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no settings of an Orvik shader on a surface named 'Nowhere'"), std::string::npos) << r.err;
  const std::string bare = file("bare.orvs", "OrvikScene 1\nPlugin MasterHandler \"Orvik\"\nEndPlugin\n");
  r = orvik("settings check '" + bare + "' --master");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no settings of the master"), std::string::npos) << r.err;
}

TEST_F(Settings, CheckReportsDamageWithItsLinePosition) {
  const std::string empty = file("empty.txt", "");
  Outcome r = orvik("settings check '" + empty + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("I couldn't load any information from the file."), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Line 2: "), std::string::npos) << r.out;

  const std::string damaged = file("damaged.txt", "# kept from an old scene\nBEGIN SOMETHING_ELSE Orvik\n");
  r = orvik("settings check '" + damaged + "' --master");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("This looks like a broken save file."), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Line 3: BEGIN SOMETHING_ELSE Orvik"), std::string::npos) << r.out;
}

TEST_F(Settings, CheckUsageErrors) {
  Outcome r = orvik("settings");
  EXPECT_EQ(r.status, 2);
  r = orvik("settings verify x");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown subcommand 'verify'"), std::string::npos) << r.err;
  r = orvik("settings check");
  EXPECT_EQ(r.status, 2);
  r = orvik("settings check '" + (dir_ / "none.txt").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("none.txt: cannot open"), std::string::npos) << r.err;
  r = orvik("settings check '" + dir_.string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is a folder"), std::string::npos) << r.err;
}

}  // namespace
