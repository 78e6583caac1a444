#include "host/import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/import_lwo.h"
#include "host/import_lws.h"

namespace orvik::host {
namespace {

const std::string kModels = "/usr/share/assimp/models";

bool haveModels() { return std::filesystem::exists(kModels + "/LWS/simple_cube.lwo"); }

#define REQUIRE_MODELS() \
  if (!haveModels()) GTEST_SKIP() << "assimp-testmodels is not installed"

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ImportMesh, ObjectFilesKeepFrontFacesOutward) {
  REQUIRE_MODELS();
  ImportedMesh m;
  ASSERT_EQ(importMeshFile(kModels + "/LWS/simple_cube.lwo", m), "");
  ASSERT_EQ(m.mesh.triangles.size(), 12u);
  // In the host's left-handed space with clockwise fronts, the plain cross
  // product of each triangle's edges points out of the closed box.
  Vec3 centre;
  for (const Vec3& p : m.mesh.positions) centre += p;
  centre = centre / static_cast<double>(m.mesh.positions.size());
  for (const Triangle& t : m.mesh.triangles) {
    const Vec3 a = m.mesh.positions[t.v[0]], b = m.mesh.positions[t.v[1]], c = m.mesh.positions[t.v[2]];
    const Vec3 n = cross(b - a, c - a);
    EXPECT_GT(dot(n, (a + b + c) / 3.0 - centre), 0.0);
  }
}

TEST(ImportMesh, ObjectFilePointsKeepTheirCoordinates) {
  REQUIRE_MODELS();
  // The first point of the file's PNTS chunk is (-1.45, 0, -1.2); the
  // importer's own axes flip Z, ours must give it back unchanged.
  ImportedMesh m;
  ASSERT_EQ(importMeshFile(kModels + "/LWS/simple_cube.lwo", m), "");
  bool found = false;
  for (const Vec3& p : m.mesh.positions)
    found |= std::abs(p.x + 1.45) < 1e-5 && std::abs(p.y) < 1e-5 && std::abs(p.z + 1.2) < 1e-5;
  EXPECT_TRUE(found);
}

TEST(ImportMesh, SeveralRealObjectFilesLoad) {
  REQUIRE_MODELS();
  const char* files[] = {"LWO/LWO2/boxuv.lwo", "LWO/LWO2/sphere_with_mat_gloss_10pc.lwo",
                         "LWO/LWO2/transparency.lwo", "LWO/LWO2/hierarchy.lwo",
                         "LWO/LWOB/sphere_with_mat_gloss_50pc.lwo", "LWO/LWOB/ConcavePolygon.lwo",
                         "LWO/LWO2/shader_test/fastFresnel.lwo"};
  for (const char* f : files) {
    ImportedMesh m;
    EXPECT_EQ(importMeshFile(kModels + "/" + f, m), "") << f;
    EXPECT_FALSE(m.mesh.triangles.empty()) << f;
    EXPECT_FALSE(m.surfaces.empty()) << f;
    for (const Triangle& t : m.mesh.triangles) {
      ASSERT_LT(t.surface, m.surfaces.size()) << f;
      for (std::uint32_t v : t.v) ASSERT_LT(v, m.mesh.positions.size()) << f;
    }
  }
}

TEST(ImportMesh, OwnObjectReaderAgreesWithTheImporter) {
  REQUIRE_MODELS();
  // The same closed box through both readers: same points, outward faces.
  const std::vector<std::uint8_t> bytes = readBytes(kModels + "/LWS/simple_cube.lwo");
  Mesh own;
  std::vector<std::string> names;
  ASSERT_EQ(parseLwoGeometry(bytes.data(), bytes.size(), "cube.lwo", own, names), "");
  ImportedMesh viaImporter;
  ASSERT_EQ(importMeshFile(kModels + "/LWS/simple_cube.lwo", viaImporter), "");
  ASSERT_EQ(own.triangles.size(), viaImporter.mesh.triangles.size());
  for (const Triangle& t : own.triangles) {
    ASSERT_LT(t.surface, names.size());
    EXPECT_EQ(names[t.surface], "Default");  // the file's tags hold an unused name too
  }
  double area = 0.0;
  Vec3 centre;
  for (const Vec3& p : own.positions) centre += p;
  centre = centre / static_cast<double>(own.positions.size());
  for (const Triangle& t : own.triangles) {
    const Vec3 a = own.positions[t.v[0]], b = own.positions[t.v[1]], c = own.positions[t.v[2]];
    EXPECT_GT(dot(cross(b - a, c - a), (a + b + c) / 3.0 - centre), 0.0);
    area += length(cross(b - a, c - a)) * 0.5;
  }
  double importerArea = 0.0;
  const Mesh& m = viaImporter.mesh;
  for (const Triangle& t : m.triangles)
    importerArea += length(cross(m.positions[t.v[1]] - m.positions[t.v[0]], m.positions[t.v[2]] - m.positions[t.v[0]])) * 0.5;
  EXPECT_NEAR(area, importerArea, 1e-4);
  // Every cut of the file is read without a byte past its end.
  for (std::size_t n = 0; n < bytes.size(); n += 7) {
    Mesh cut;
    std::vector<std::string> cutNames;
    (void)parseLwoGeometry(bytes.data(), n, "cut.lwo", cut, cutNames);
  }
}

TEST(ImportMesh, BadFilesAreNamed) {
  ImportedMesh m;
  const std::string missing = importMeshFile("/nonexistent/thing.obj", m);
  EXPECT_NE(missing.find("/nonexistent/thing.obj"), std::string::npos) << missing;
  if (haveModels()) {
    const std::string empty = importMeshFile(kModels + "/invalid/empty.lwo", m);
    EXPECT_NE(empty.find("empty.lwo"), std::string::npos) << empty;
  }
}

TEST(ImportLwoSurfaces, ChunksGiveWhatTheImporterDrops) {
  REQUIRE_MODELS();
  std::vector<Surface> s;
  ASSERT_EQ(readLwoSurfaces(kModels + "/LWO/LWO2/sphere_with_mat_gloss_10pc.lwo", s), "");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].name, "Default");
  EXPECT_NEAR(s[0].color.x, 1.0, 1e-6);
  EXPECT_NEAR(s[0].glossiness, 0.2, 1e-6);
  EXPECT_NEAR(s[0].specular, 1.0, 1e-6);
  EXPECT_EQ(s[0].reflectionOptions, 1);
  EXPECT_NEAR(s[0].smoothingAngle, 89.53, 0.01);  // 1.5626 radians in the file

  // The older layout: 8-bit colour, percentages of 256, flag bits.
  ASSERT_EQ(readLwoSurfaces(kModels + "/LWO/LWOB/sphere_with_mat_gloss_50pc.lwo", s), "");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_NEAR(s[0].color.x, 1.0, 1e-6);
  EXPECT_NEAR(s[0].color.y, 128 / 255.0, 1e-6);
  EXPECT_NEAR(s[0].diffuse, 1.0, 1e-6);
  EXPECT_TRUE(s[0].smoothing);
}

TEST(ImportLwoSurfaces, EveryCutOfARealFileFailsCleanly) {
  REQUIRE_MODELS();
  // Each prefix of a real file must be read without touching a byte past
  // its end (the sanitizers watch) and either succeed or name the problem.
  const std::vector<std::uint8_t> bytes = readBytes(kModels + "/LWO/LWO2/sphere_with_mat_gloss_10pc.lwo");
  ASSERT_GT(bytes.size(), 100u);
  for (std::size_t n = 0; n <= bytes.size(); n += (n < 64 ? 1 : 97)) {
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<Surface> s;
    const std::string err = parseLwoSurfaces(cut.data(), cut.size(), "cut.lwo", s);
    if (!err.empty()) {
      EXPECT_EQ(err.rfind("cut.lwo: ", 0), 0u) << err;
    }
  }
  // A chunk that claims more bytes than there are.
  std::vector<std::uint8_t> lying = {'F', 'O', 'R', 'M', 0, 0, 0, 20, 'L', 'W', 'O', '2',
                                     'S', 'U', 'R', 'F', 0x7F, 0xFF, 0xFF, 0xFF, 'x', 0};
  std::vector<Surface> s;
  EXPECT_NE(parseLwoSurfaces(lying.data(), lying.size(), "lying.lwo", s).find("runs past the end"), std::string::npos);
}

TEST(ImportLwoSurfaces, ShaderBlocksNameTheirServer) {
  // A hand-made LWO2 surface with a shader block whose FUNC names "Orvik".
  auto u2 = [](std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x >> 8));
    v.push_back(static_cast<std::uint8_t>(x));
  };
  std::vector<std::uint8_t> func = {'F', 'U', 'N', 'C'};
  u2(func, 6);
  for (char c : std::string("Orvik\0", 6)) func.push_back(static_cast<std::uint8_t>(c));
  std::vector<std::uint8_t> blok = {'S', 'H', 'D', 'R'};
  u2(blok, 0);
  blok.insert(blok.end(), func.begin(), func.end());
  std::vector<std::uint8_t> surf = {'S', 'k', 'i', 'n', 0, 0, 0, 0, 'B', 'L', 'O', 'K'};
  u2(surf, static_cast<unsigned>(blok.size()));
  surf.insert(surf.end(), blok.begin(), blok.end());
  std::vector<std::uint8_t> file = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'L', 'W', 'O', '2', 'S', 'U', 'R', 'F', 0, 0, 0,
                                    static_cast<std::uint8_t>(surf.size())};
  file.insert(file.end(), surf.begin(), surf.end());
  file[7] = static_cast<std::uint8_t>(file.size() - 8);
  std::vector<Surface> s;
  ASSERT_EQ(parseLwoSurfaces(file.data(), file.size(), "skin.lwo", s), "");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].name, "Skin");
  ASSERT_EQ(s[0].shaders.size(), 1u);
  EXPECT_EQ(s[0].shaders[0].server, "Orvik");
}

TEST(ImportLws, LightsCamerasAndMotionAreReadOurselves) {
  REQUIRE_MODELS();
  const SceneReadResult r = loadLwsScene(kModels + "/LWS/move_x.lws");
  ASSERT_TRUE(r.ok) << r.error;
  const Scene& s = r.scene;
  ASSERT_EQ(s.objects.size(), 1u);
  EXPECT_EQ(s.objects[0].mesh.triangles.size(), 12u);
  ASSERT_EQ(s.lights.size(), 1u);
  // The importer would turn this distant light into a point light.
  EXPECT_EQ(s.lights[0].type, LightType::Distant);
  EXPECT_EQ(s.lights[0].shadowType, ShadowType::RayTrace);
  ASSERT_EQ(s.cameras.size(), 1u);
  EXPECT_DOUBLE_EQ(s.cameras[0].zoomFactor, 3.2);
  EXPECT_EQ(s.render.width, 640);
  EXPECT_EQ(s.render.lastFrame, 60);
  // Channel 0 moves x from 0 at 0 s to about 2.07 at 0.667 s.
  const TransformKey k = s.objects[0].motion.at(0.6666666666666666);
  EXPECT_NEAR(k.position.x, 2.0691125, 1e-5);
  EXPECT_NEAR(s.objects[0].motion.at(0.0).position.y, -0.04, 1e-6);
  EXPECT_NEAR(s.objects[0].motion.at(0.0).scale.x, 0.979758, 1e-5);
}

TEST(ImportLws, OlderLayoutsRead) {
  REQUIRE_MODELS();
  for (const char* f : {"move_x_oldformat_56.lws", "move_x_oldformat_6.lws", "move_xz_spline.lws", "move_xz_bezier.lws",
                        "move_y_pre_ofrep_post_osc.lws"}) {
    const SceneReadResult r = loadLwsScene(kModels + "/LWS/" + f);
    ASSERT_TRUE(r.ok) << f << ": " << r.error;
    EXPECT_EQ(r.scene.objects.size(), 1u) << f;
    EXPECT_EQ(r.scene.lights.size(), 1u) << f;
    EXPECT_EQ(r.scene.cameras.size(), 1u) << f;
  }
  const SceneReadResult old = loadLwsScene(kModels + "/LWS/move_x_oldformat_56.lws");
  ASSERT_TRUE(old.ok);
  EXPECT_NEAR(old.scene.objects[0].motion.at(0.6666667).position.x, 2.069113, 1e-5);
  // Colours of these files are 0..255.
  EXPECT_NEAR(old.scene.ambientColor.x, 1.0, 1e-9);
}

TEST(ImportLws, DamagedScenesNeverCrash) {
  REQUIRE_MODELS();
  const std::vector<std::uint8_t> bytes = readBytes(kModels + "/LWS/move_x.lws");
  const std::string original(bytes.begin(), bytes.end());
  std::uint32_t state = 777u;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  for (int round = 0; round < 200; ++round) {
    std::string text = original;
    for (int e = 0; e < 6; ++e) {
      const std::size_t at = next() % text.size();
      if (next() % 2)
        text.erase(at, 1 + next() % 30);
      else
        text[at] = "0123456789 {}-\nKey"[next() % 19];
    }
    const SceneReadResult r = parseLwsText(text, "damaged.lws");
    if (!r.ok) {
      EXPECT_EQ(r.error.rfind("damaged.lws:", 0), 0u) << r.error;
    }
  }
}

TEST(ImportLwoSurfaces, DamagedObjectFilesNeverCrash) {
  REQUIRE_MODELS();
  for (const char* f : {"LWO/LWO2/sphere_with_mat_gloss_10pc.lwo", "LWO/LWOB/ConcavePolygon.lwo"}) {
    const std::vector<std::uint8_t> original = readBytes(kModels + "/" + f);
    std::uint32_t state = 99u;
    auto next = [&] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> bytes = original;
      for (int e = 0; e < 4; ++e) bytes[12 + next() % (bytes.size() - 12)] = static_cast<std::uint8_t>(next() >> 24);
      std::vector<Surface> surfaces;
      Mesh mesh;
      std::vector<std::string> names;
      (void)parseLwoSurfaces(bytes.data(), bytes.size(), "damaged.lwo", surfaces);
      if (parseLwoGeometry(bytes.data(), bytes.size(), "damaged.lwo", mesh, names).empty()) {
        for (const Triangle& t : mesh.triangles) {
          for (std::uint32_t v : t.v) {
            ASSERT_LT(v, mesh.positions.size());
          }
        }
      }
    }
  }
}

TEST(ImportLws, BadTextNamesTheLine) {
  SceneReadResult r = parseLwsText("LWSC\n3\nLightType 1\n", "x.lws");
  EXPECT_TRUE(r.ok);  // a light keyword before any light is skipped
  r = parseLwsText("LWSC\n3\nAddLight\nLightType 9\n", "x.lws");
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error.rfind("x.lws:4: ", 0), 0u) << r.error;
  r = parseLwsText("LWSC\n3\nAddLight\nLightColor 1 x 1\n", "x.lws");
  ASSERT_FALSE(r.ok);
  EXPECT_NE(r.error.find("'x' is not a number"), std::string::npos) << r.error;
  r = parseLwsText("SCENE\n", "x.lws");
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error.rfind("x.lws:1: ", 0), 0u) << r.error;
  r = parseLwsText("LWSC\n3\nAddCamera\nCameraMotion\nNumChannels 1\nChannel 0\n{ Envelope\n  2\n  Key 0 0\n", "x.lws");
  EXPECT_FALSE(r.ok);
  r = parseLwsText("LWSC\n3\nPlugin MasterHandler 1 Orvik\nBEGIN\n", "x.lws");
  ASSERT_FALSE(r.ok);
  EXPECT_NE(r.error.find("no EndPlugin"), std::string::npos) << r.error;
}

TEST(ImportLws, SceneWideBlocksKeepTheirText) {
  const SceneReadResult r = parseLwsText(
      "LWSC\n3\nPlugin MasterHandler 1 Orvik\nBEGIN MORVANE_PLUGIN Orvik\n BEGIN NUM X\nEND MORVANE_PLUGIN Orvik\n"
      "EndPlugin\nPlugin ImageFilterHandler 1 Other\nzzz\nEndPlugin\n",
      "p.lws");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.scene.plugins.size(), 1u);
  EXPECT_EQ(r.scene.plugins[0].settings, "BEGIN MORVANE_PLUGIN Orvik\n BEGIN NUM X\nEND MORVANE_PLUGIN Orvik");
}

TEST(ImportScene, FilesWithoutLightsOrCameraGetTheDefaultRig) {
  REQUIRE_MODELS();
  const SceneReadResult r = importSceneFile(kModels + "/LWO/LWO2/boxuv.lwo");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.scene.cameras.size(), 1u);
  ASSERT_EQ(r.scene.lights.size(), 2u);
  // The camera looks at the object: the bounding box centre is in front of it.
  Vec3 lo, hi;
  ASSERT_TRUE(sceneBounds(r.scene, 0.0, lo, hi));
  const ItemId cam = r.scene.first(ItemType::Camera);
  const Vec3 toCentre = normalize((lo + hi) * 0.5 - r.scene.worldPosition(cam, 0.0));
  EXPECT_GT(dot(toCentre, r.scene.forwardVector(cam, 0.0)), 0.99);
  // A scene that has its own lights keeps them alone.
  Scene s = r.scene;
  s.lights.resize(1);
  s.cameras.clear();
  EXPECT_EQ(addDefaultRig(s), "a camera");
  EXPECT_EQ(s.lights.size(), 1u);
}

}  // namespace
}  // namespace orvik::host
