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
  for (const char* c : {"servers", "check", "demo", "render"}) EXPECT_NE(r.out.find(c), std::string::npos) << c;
  for (const char* c : {"servers", "check", "demo", "render"}) {
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
  EXPECT_NE(r.out.find("Created 6 shader instances and 2 scene-wide instances, 0 failures."), std::string::npos)
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
  r = orvik("run --script '" + (dir_ / "none.txt").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot open the script"), std::string::npos);
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
  EXPECT_TRUE(fs::exists(dir_ / "demo.png"));
  EXPECT_NE(r.out.find("Rendered 64x48"), std::string::npos) << r.out;
}

}  // namespace
