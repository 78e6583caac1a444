// The global services as the module sees them: fetched by name and version
// through the global-service function, answering from a small scene.
#include "host/services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>

#include <unistd.h>

#include "host/services_records.h"

namespace orvik::host {
namespace {

template <class T>
const T* fetch(const char* name) {
  return static_cast<const T*>(HostEnvironment::globalFunction()(name, HOST_GFUSE_ACQUIRE));
}

HostItemId hid(ItemId id) { return records::toHost(id); }

class Services : public ::testing::Test {
 protected:
  void SetUp() override {
    Object floor;
    floor.name = "Floor";
    floor.primitive.kind = PrimitiveKind::Plane;
    Surface a;
    a.name = "Tiles";
    a.reflectionOptions = 3;
    a.reflectionSeamAngle = 90.0;
    a.color = {0.5, 0.25, 1.0};
    a.shaders.push_back({"Orvik", "", true});
    Surface b;
    b.name = "Grout";
    floor.surfaces = {a, b};
    floor.shadowOptions = kShadowCast;
    floor.dissolve.keys = {{0.0, 0.0}, {1.0, 0.5}};
    floorId = scene.addObject(floor);
    Object arm;
    arm.name = "Arm";
    arm.fileName = "/objects/arm.lwo";
    arm.surfaces = {b};
    armId = scene.addObject(arm);
    Bone bone;
    bone.name = "Bone.01";
    bone.owner = armId;
    bone.parent = armId;
    boneId = scene.addBone(bone);
    bone.name = "Elbow";
    elbowId = scene.addBone(bone);

    Light spot;
    spot.name = "Light";
    spot.type = LightType::Spot;
    spot.coneAngle = 30.0;
    spot.edgeAngle = 5.0;
    spot.excludedObjects = {"Arm"};
    spotId = scene.addLight(spot);
    Light tube;
    tube.name = "Light";
    tube.type = LightType::Linear;
    tube.length = 4.0;
    tube.motion.keys = {{0.0, {}, {90, 0, 0}, {1, 1, 1}}};
    tubeId = scene.addLight(tube);
    Camera cam;
    cam.name = "Camera";
    cam.zoomFactor = 2.0;
    camId = scene.addCamera(cam);
    scene.ambientColor = {1.0, 0.5, 0.0};
    scene.ambientIntensity = 0.5;

    env.echoMessages = false;
    env.setScene(&scene);
    env.makeActive();
  }

  Scene scene;
  HostEnvironment env;
  ItemId floorId{}, armId{}, boneId{}, elbowId{}, spotId{}, tubeId{}, camId{};
};

TEST_F(Services, NamesAndVersionsServedAndRefused) {
  EXPECT_NE(fetch<void>("Info Messages"), nullptr);
  EXPECT_NE(fetch<void>("Info Messages 3"), nullptr);
  EXPECT_EQ(fetch<void>("Info Messages 4"), nullptr);
  EXPECT_EQ(fetch<void>("Info Messages 0"), nullptr);
  EXPECT_NE(fetch<void>("LW Object Info 4"), nullptr);
  EXPECT_NE(fetch<void>("LW Light Info 3"), nullptr);
  EXPECT_NE(fetch<void>("LW Light Info 2"), fetch<void>("LW Light Info 3"));  // a different record
  EXPECT_EQ(fetch<void>("LW Nonsense"), nullptr);
  EXPECT_EQ(HostEnvironment::globalFunction()(nullptr, 0), nullptr);
  env.withoutService("LW Item Info");
  EXPECT_EQ(fetch<void>("LW Item Info"), nullptr);
  EXPECT_EQ(fetch<void>("LW Item Info 3"), nullptr);
  env.withoutService("Info Messages 3");
  EXPECT_EQ(fetch<void>("Info Messages 3"), nullptr);
  EXPECT_NE(fetch<void>("Info Messages 2"), nullptr);
  const auto reqs = env.requests();
  ASSERT_FALSE(reqs.empty());
  EXPECT_EQ(reqs.back().name, "Info Messages 2");
  EXPECT_TRUE(reqs.back().served);
}

TEST_F(Services, SystemIdAndProductInfoEncodeKindAndVersion) {
  env.kind = HostModuleKind::Modeler;
  env.productMajor = 7;
  env.productMinor = 5;
  env.productBuild = 1234;
  const auto sys = reinterpret_cast<std::uintptr_t>(fetch<void>("System ID"));
  EXPECT_EQ(sys & HOST_SYSTEM_KIND_MASK, HOST_SYSTEM_MODELER);
  const auto product = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(fetch<void>("Product Info")));
  EXPECT_EQ(HOST_PRODUCT_MAJOR(product), 7u);
  EXPECT_EQ(HOST_PRODUCT_MINOR(product), 5u);
  EXPECT_EQ(HOST_PRODUCT_BUILD(product), 1234u);
  env.kind = HostModuleKind::RenderNode;
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(fetch<void>("System ID")) & HOST_SYSTEM_KIND_MASK,
            HOST_SYSTEM_RENDER_NODE);
}

TEST_F(Services, ItemsNamesAndBonesPerOwner) {
  const auto* ii = fetch<HostItemInfo3>("LW Item Info 3");
  ASSERT_NE(ii, nullptr);
  EXPECT_EQ(ii->first(HOST_ITEM_LIGHT, nullptr), hid(spotId));
  EXPECT_EQ(ii->next(hid(spotId)), hid(tubeId));
  EXPECT_EQ(ii->next(hid(tubeId)), nullptr);
  EXPECT_STREQ(ii->name(hid(tubeId)), "Light (2)");
  EXPECT_EQ(ii->type(hid(camId)), HOST_ITEM_CAMERA);
  EXPECT_EQ(ii->type(reinterpret_cast<HostItemId>(std::uintptr_t{0x21000000})), -1);
  EXPECT_EQ(ii->name(nullptr), nullptr);
  // Bones are listed per object.
  EXPECT_EQ(ii->first(HOST_ITEM_BONE, hid(floorId)), nullptr);
  EXPECT_EQ(ii->first(HOST_ITEM_BONE, hid(armId)), hid(boneId));
  EXPECT_EQ(ii->next(hid(boneId)), hid(elbowId));
  EXPECT_EQ(ii->parent(hid(boneId)), hid(armId));
  EXPECT_EQ(ii->firstChild(hid(armId)), hid(boneId));
  EXPECT_EQ(ii->nextChild(hid(armId), hid(boneId)), hid(elbowId));
  EXPECT_EQ(ii->nextChild(hid(armId), hid(elbowId)), nullptr);
}

TEST_F(Services, AxisVectorsCarryTheSizeOfLinearLights) {
  const auto* ii = fetch<HostItemInfo3>("LW Item Info");
  double v[3];
  ii->param(hid(tubeId), HOST_IP_W_FORWARD, 0.0, v);
  EXPECT_NEAR(v[0], 4.0, 1e-9);  // heading 90: forward is +X, as long as the light
  EXPECT_NEAR(v[2], 0.0, 1e-9);
  ii->param(hid(tubeId), HOST_IP_W_RIGHT, 0.0, v);
  EXPECT_NEAR(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1.0, 1e-9);
  ii->param(hid(tubeId), HOST_IP_ROTATION, 0.0, v);
  EXPECT_NEAR(v[0], M_PI / 2, 1e-12);  // radians
  ii->param(nullptr, HOST_IP_W_POSITION, 0.0, v);  // no item: zeros, no crash
  EXPECT_EQ(v[0], 0.0);
}

TEST_F(Services, LightsOldAndNewInterfaces) {
  const auto* l2 = fetch<HostLightInfo2>("LW Light Info 2");
  const auto* l3 = fetch<HostLightInfo3>("LW Light Info 3");
  double r = 0, e = 0;
  l2->coneAngles(hid(spotId), &r, &e);
  EXPECT_DOUBLE_EQ(r, 30.0);  // the older interface gives degrees
  l3->coneAngles(hid(spotId), 0.0, &r, &e);
  EXPECT_NEAR(r, M_PI / 6, 1e-12);
  EXPECT_NEAR(e, M_PI / 36, 1e-12);
  EXPECT_EQ(l3->type(hid(tubeId)), HOST_LIGHT_LINEAR);
  double amb[3];
  l3->ambient(0.0, amb);
  EXPECT_DOUBLE_EQ(amb[0], 0.5);
  EXPECT_DOUBLE_EQ(amb[1], 0.25);
  EXPECT_EQ(l3->projImage(hid(spotId)), nullptr);
}

TEST_F(Services, ObjectsShadowsDissolveExclusionAndFileNames) {
  const auto* oi = fetch<HostObjectInfo4>("LW Object Info 4");
  EXPECT_EQ(oi->shadowOpts(hid(floorId)), unsigned{HOST_OSHADOW_CAST});
  EXPECT_NEAR(oi->dissolve(hid(floorId), 0.5), 0.25, 1e-12);
  EXPECT_EQ(oi->excludeLight(hid(armId), hid(spotId)), 1);
  EXPECT_EQ(oi->excludeLight(hid(floorId), hid(spotId)), 0);
  // A repeated name is told apart by its shown name "Arm (2)"; the first Arm keeps its light.
  Object second;
  second.name = "Arm";
  const ItemId secondArm = scene.addObject(second);
  scene.light(spotId)->excludedObjects = {"Arm (2)"};
  EXPECT_EQ(oi->excludeLight(hid(secondArm), hid(spotId)), 1);
  EXPECT_EQ(oi->excludeLight(hid(armId), hid(spotId)), 0);
  scene.light(spotId)->excludedObjects = {"Arm (3)", "Arm(2)", "Arm ("};
  EXPECT_EQ(oi->excludeLight(hid(secondArm), hid(spotId)), 0);
  EXPECT_STREQ(oi->filename(hid(armId)), "/objects/arm.lwo");
  EXPECT_STREQ(oi->filename(hid(floorId)), "Floor");  // a primitive is known by its name
  EXPECT_EQ(oi->filename(hid(spotId)), nullptr);      // not an object
}

TEST_F(Services, SurfacesByObjectFileAndChannelsByName) {
  const auto* sf = fetch<HostSurfaceFuncs2>("Surface Functions 2");
  const auto* oi = fetch<HostObjectInfo1>("LW Object Info");
  const HostSurfaceId* list = sf->byObject(oi->filename(hid(floorId)));
  ASSERT_NE(list[0], nullptr);
  ASSERT_NE(list[1], nullptr);
  EXPECT_EQ(list[2], nullptr);
  const HostSurfaceId tiles = list[0];
  EXPECT_STREQ(sf->name(tiles), "Tiles");
  EXPECT_STREQ(sf->sceneObject(tiles), "Floor");
  EXPECT_EQ(sf->getInt(tiles, "ReflectionOptions"), 3);
  EXPECT_NEAR(sf->getFlt(tiles, "ReflectionSeamAngle"), M_PI / 2, 1e-12);  // radians
  EXPECT_EQ(sf->getFlt(tiles, "ReflectionBlurring"), 0.0);
  double c[3];
  sf->getColor(tiles, "BaseColor", c);
  EXPECT_DOUBLE_EQ(c[1], 0.25);
  EXPECT_STREQ(sf->shader(tiles, 1), "Orvik");
  EXPECT_EQ(sf->shader(tiles, 2), nullptr);
  EXPECT_EQ(sf->byObject("no such file")[0], nullptr);
  // Every surface of the scene, in order.
  int count = 0;
  for (HostSurfaceId s = sf->first(); s; s = sf->next(s)) ++count;
  EXPECT_EQ(count, 3);
  EXPECT_EQ(sf->name(reinterpret_cast<HostSurfaceId>(std::uintptr_t{0x00990001})), nullptr);
}

TEST_F(Services, CamerasAndTheSceneRecord) {
  const auto* ci = fetch<HostCameraInfo2>("LW Camera Info 2");
  double h = 0, v = 0;
  ci->fovAngles(hid(camId), 0.0, &h, &v);
  EXPECT_NEAR(v, 2 * std::atan(0.5), 1e-12);
  EXPECT_GT(h, v);
  scene.render.rayTraceShadows = true;
  scene.render.rayTraceReflection = false;
  const auto* si = fetch<HostSceneInfo>("LW Scene Info 2");
  EXPECT_EQ(si->renderOpts & (HOST_ROPT_SHADOWTRACE | HOST_ROPT_REFLECTTRACE), unsigned{HOST_ROPT_SHADOWTRACE});
  EXPECT_EQ(si->renderCamera(0.0), hid(camId));
  EXPECT_EQ(si->limitedRegion[2], scene.render.width - 1);
}

TEST_F(Services, MessagesAreShownAndRecordedQuestionsAnsweredByPolicy) {
  const auto* m = fetch<HostMessageFuncs3>("Info Messages 3");
  m->error("First line", "Second line");
  m->info("Only one", nullptr);
  ASSERT_EQ(env.messages.size(), 2u);
  EXPECT_EQ(env.messages[0].kind, HostMessage::Kind::Error);
  EXPECT_EQ(env.messages[0].line2, "Second line");
  EXPECT_EQ(env.messages[1].line2, "");

  ASSERT_EQ(env.answers.loadScript("# answers\ncancel\nyes\nfile /tmp/x.cfg\ncolor 1 0 0.5\n", "a.txt"), "");
  EXPECT_EQ(m->okCancel("T", "a", "b"), HOST_ANSWER_CANCEL);  // scripted
  EXPECT_EQ(m->yesNo("T", "a", "b"), HOST_ANSWER_YES);        // scripted
  char name[8], path[64], full[64];
  const auto fr = reinterpret_cast<HostFileRequestFunc>(const_cast<void*>(fetch<void>("File Request")));
  EXPECT_EQ(fr("Load", name, sizeof name, path, sizeof path, full, sizeof full), 1);
  EXPECT_STREQ(full, "/tmp/x.cfg");
  EXPECT_STREQ(path, "/tmp");
  EXPECT_STREQ(name, "x.cfg");
  const auto cp = reinterpret_cast<HostColorPickFunc>(const_cast<void*>(fetch<void>("Color Picker")));
  double rgb[3] = {0, 0, 0};
  EXPECT_EQ(cp("Colour", rgb), 1);
  EXPECT_EQ(rgb[2], 0.5);
  // With the script used up, the defaults answer: OK, and Cancel for requesters.
  EXPECT_EQ(m->okCancel("T", "a", "b"), HOST_ANSWER_OK);
  EXPECT_EQ(fr("Load", name, sizeof name, path, sizeof path, full, sizeof full), 0);
  env.answers.confirm = false;
  EXPECT_EQ(m->yesNoCancel("T", "a", "b"), HOST_ANSWER_CANCEL);
}

TEST_F(Services, FileRequesterNeverWritesPastTheCallersBuffers) {
  ASSERT_EQ(env.answers.loadScript("file /a/very/long/folder/name/with/a-long-file-name.settings\n", "a"), "");
  const auto fr = reinterpret_cast<HostFileRequestFunc>(const_cast<void*>(fetch<void>("File Request")));
  char name[6], path[4], full[10];
  std::memset(name, 'Z', sizeof name);
  EXPECT_EQ(fr("Save", name, 5, path, sizeof path, full, sizeof full), 1);
  EXPECT_STREQ(name, "a-lo");
  EXPECT_EQ(name[5], 'Z');  // byte past the stated size untouched
  EXPECT_STREQ(path, "/a/");
  EXPECT_EQ(std::strlen(full), 9u);
}

TEST_F(Services, AnswerScriptsReportBadLines) {
  AnswerPolicy p;
  EXPECT_EQ(p.loadScript("ok\nmaybe\n", "answers.txt"), "answers.txt:2: unknown answer 'maybe' (ok, cancel, yes, no, "
                                                         "file PATH, color R G B)");
  EXPECT_TRUE(p.script.empty());  // nothing taken from a bad script
  EXPECT_EQ(p.loadScript("color 1 2\n", "a"), "a:1: 'color' needs three numbers (0 to 1)");
}

TEST_F(Services, NamedMemoryBlocks) {
  const auto* gm = fetch<HostGlobalMemory>("Global Memory");
  EXPECT_EQ(gm->find("QWIL_LIGHT_1.5"), nullptr);
  void* block = gm->create("QWIL_LIGHT_1.5", 64);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(block)[63], 0);
  EXPECT_EQ(gm->find("QWIL_LIGHT_1.5"), block);
  EXPECT_EQ(gm->size("QWIL_LIGHT_1.5"), 64u);
  EXPECT_EQ(gm->create("QWIL_LIGHT_1.5", 128), block);  // an existing block is kept
  const auto* rm = fetch<HostGlobalMemory>("Global Render Memory");
  EXPECT_EQ(rm->find("QWIL_LIGHT_1.5"), nullptr);  // a separate space
  EXPECT_EQ(gm->create("zero", 0), nullptr);
}

TEST_F(Services, ImagesLoadOnceAndReadBlackOutside) {
  const auto dir = std::filesystem::temp_directory_path() / ("orvik-services-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "red.png").string();
  ImageBuffer img(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      float* p = img.at(x, y);
      p[0] = 1.0f;
      p[1] = x == 2 ? 1.0f : 0.0f;
      p[3] = 1.0f;
    }
  std::string error;
  ASSERT_TRUE(writeImage(file, img, error)) << error;
  const auto* il = fetch<HostImageList3>("LW Image List 3");
  const HostImageId id = il->load(file.c_str());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(il->load(file.c_str()), id);
  EXPECT_EQ(il->load((dir / "missing.png").string().c_str()), nullptr);
  int w = 0, h = 0;
  il->size(id, &w, &h);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  unsigned char rgb[3];
  il->rgb(id, 2, 1, rgb);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 255);
  il->rgb(id, 3, 0, rgb);
  EXPECT_EQ(rgb[0], 0);
  il->rgb(id, -1, 0, rgb);
  EXPECT_EQ(rgb[0], 0);
  EXPECT_EQ(il->first(), id);
  EXPECT_EQ(il->next(id), nullptr);
  EXPECT_STREQ(il->name(id), "red.png");

  // A scene image that cannot be read names itself and adds nothing.
  scene.images.push_back({"env", (dir / "missing.png").string()});
  const std::string err = env.loadSceneImages();
  EXPECT_NE(err.find("env"), std::string::npos) << err;
  EXPECT_NE(err.find("missing.png"), std::string::npos) << err;
  EXPECT_EQ(env.imageCount(), 1u);
  std::filesystem::remove_all(dir);
}

TEST_F(Services, RenderThreadsReadTheSceneServicesTogether) {
  // What the shading asks per sample, from several threads at once: the
  // answers agree with the main thread's (and the thread sanitizer build
  // watches the reads).
  const auto* ii = fetch<HostItemInfo3>("LW Item Info 3");
  const auto* oi = fetch<HostObjectInfo4>("LW Object Info 4");
  const auto* l3 = fetch<HostLightInfo3>("LW Light Info 3");
  const auto* bd = fetch<HostBackdropInfo2>("LW Backdrop Info 2");
  double expected[3];
  ii->param(hid(tubeId), HOST_IP_W_FORWARD, 0.25, expected);
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        double v[3];
        ii->param(hid(tubeId), HOST_IP_W_FORWARD, 0.25, v);
        if (v[0] != expected[0] || v[2] != expected[2]) ++mismatches;
        if (std::strcmp(ii->name(hid(tubeId)), "Light (2)") != 0) ++mismatches;
        if (oi->shadowOpts(hid(floorId)) != HOST_OSHADOW_CAST) ++mismatches;
        if (l3->intensity(hid(spotId), 0.0) != 1.0) ++mismatches;
        const double dir[3] = {0, 1, 0};
        bd->backdrop(0.0, dir, v);
        (void)HostEnvironment::globalFunction()("LW Object Info", HOST_GFUSE_TRANSIENT);
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(Services, BackdropAlongADirection) {
  scene.backdrop.gradient = true;
  const auto* bd = fetch<HostBackdropInfo2>("LW Backdrop Info 2");
  EXPECT_EQ(bd->type, HOST_BACKDROP_GRADIENT);
  const double up[3] = {0, 2, 0};
  double c[3];
  bd->backdrop(0.0, up, c);
  EXPECT_DOUBLE_EQ(c[2], scene.backdrop.zenith.z);
}

}  // namespace
}  // namespace orvik::host
