#include "shading/surface_panel_actions.h"

#include <gtest/gtest.h>

#include <vector>

#include "master/open_surface.h"
#include "module/registry.h"
#include "panels/bitmap_control.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "shading/art_swatch.h"
#include "shading/surface_ghosting.h"
#include "shading/surface_instance.h"
#include "shading/surface_lifecycle.h"

namespace orvik {
namespace {

struct Opened {
  SurfaceInstance* target;
  SurfaceInstance* replacing;
};
std::vector<Opened> gOpened;

class SurfacePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gOpened.clear();
    SurfacePanelHooks hooks;
    hooks.openSurfacePanel = [](SurfaceInstance* t, SurfaceInstance* r) { gOpened.push_back({t, r}); };
    setSurfacePanelHooks(hooks);
    SurfaceHooks quiet;
    quiet.lightGroupNotes = [](const char**) { return false; };
    setSurfaceHooks(quiet);
  }
  void TearDown() override {
    for (SurfaceInstance* s : made_) destroySurfaceInstance(s);
    setSurfacePanelHooks(SurfacePanelHooks{});
    setSurfaceHooks(SurfaceHooks{});
  }
  SurfaceInstance* make(int n, bool inScene = true) {
    const char* error = nullptr;
    SurfaceInstance* s = createSurfaceInstance(reinterpret_cast<void*>(static_cast<uintptr_t>(0x800 + n)), &error);
    EXPECT_NE(s, nullptr);
    s->runtime.inScene = inScene ? 1 : 0;
    made_.push_back(s);
    return s;
  }
  static void edit(SurfaceInstance* s, const char* key, double v) {
    NumericControl* n = AsNumeric(s->control(key));
    ASSERT_NE(n, nullptr) << key;
    n->value = v;
    surfaceControlChanged(n);
  }
  static void choose(SurfaceInstance* s, const char* key, int selection) {
    ChoiceControl* c = AsChoice(s->control(key));
    ASSERT_NE(c, nullptr) << key;
    c->selection = selection;
    surfaceControlChanged(c);
  }
  static bool ghosted(SurfaceInstance* s, const char* key) { return s->control(key)->ghosted.get() != 0; }
  std::vector<SurfaceInstance*> made_;
};

TEST_F(SurfacePanelTest, NewPanelGhostsTheUnusedSpecularLayers) {
  SurfaceInstance* s = make(1);
  surfacePanelOpening(s);
  for (const char* key : {"GLOSS2", "GLOSSSHARP2", "SARB2", "ANISO2", "SPECBUMP2", "SPECRETRO2", "ANISOA2", "COLOR2",
                          "GLOSS3", "GLOSSSHARP3", "SARB3", "ANISO3", "SPECBUMP3", "SPECRETRO3", "ANISOA3", "COLOR3"})
    EXPECT_TRUE(ghosted(s, key)) << key;
  for (const char* key : {"STRENGTH1", "STRENGTH2", "STRENGTH3", "GLOSS1", "GLOSSSHARP1", "SARB1", "ANISO1",
                          "SPECBUMP1", "SPECRETRO1", "COLOR1"})
    EXPECT_FALSE(ghosted(s, key)) << key;
  EXPECT_TRUE(ghosted(s, "ANISOA1"));
  // Other rules at their defaults.
  for (const char* key : {"DARKENCOLOR", "ELUMV", "ETNSS", "ESBUMP", "ESHUE", "ESSAT", "ESVAL", "EC1VAL", "ECOL2C",
                          "LWTHICKTRANS", "THICKCOLOR", "SSS_BASE", "BLOODVIS", "BLBUMP", "PMW", "MPCOLOR",
                          "REFGLOSSQ", "REFANANGLE", "ART_IMNAME", "FPREV"})
    EXPECT_TRUE(ghosted(s, key)) << key;
  EXPECT_FALSE(ghosted(s, "REFCOLOR"));
  EXPECT_FALSE(ghosted(s, "EBUMP"));
}

TEST_F(SurfacePanelTest, EditsMoveTheGhosting) {
  SurfaceInstance* s = make(1);
  edit(s, "SARB1", 1.0);
  EXPECT_TRUE(ghosted(s, "COLOR1"));
  edit(s, "ANISO1", 0.3);
  EXPECT_FALSE(ghosted(s, "ANISOA1"));
  edit(s, "STRENGTH1", 0.0);
  EXPECT_TRUE(ghosted(s, "ANISOA1"));
  EXPECT_TRUE(ghosted(s, "GLOSS1"));
  // An animated zero counts as non-zero.
  NumericControl* strength = AsNumeric(s->control("STRENGTH1"));
  strength->animateMode = kAnimateLinear;
  applySurfaceGhosting(s);
  EXPECT_FALSE(ghosted(s, "GLOSS1"));

  edit(s, "THICKLIGHT", 0.2);
  EXPECT_FALSE(ghosted(s, "SSS_BASE"));
  EXPECT_TRUE(ghosted(s, "THICKCOLOR"));  // the surface colour tints fully
  EXPECT_TRUE(ghosted(s, "LWTHICKTRANS"));
  edit(s, "THICKSURF", 0.5);
  EXPECT_FALSE(ghosted(s, "THICKCOLOR"));
  edit(s, "THICKSURF", 1.0);
  EXPECT_TRUE(ghosted(s, "THICKCOLOR"));
  edit(s, "SKINBSSRDF", 0.5);
  EXPECT_FALSE(ghosted(s, "BLOODVIS"));
  EXPECT_TRUE(ghosted(s, "BLOODLAYER"));
  edit(s, "BLOODVIS", -0.001);
  EXPECT_FALSE(ghosted(s, "BLOODLAYER"));
  edit(s, "EHUE", 0.0004);
  EXPECT_TRUE(ghosted(s, "ESHUE"));
  edit(s, "EHUE", -0.001);
  EXPECT_FALSE(ghosted(s, "ESHUE"));
  edit(s, "PMAP", 0.005);
  EXPECT_FALSE(ghosted(s, "PMW"));
  EXPECT_TRUE(ghosted(s, "MPCOLOR"));
  edit(s, "MPBIAS", 0.001);
  EXPECT_FALSE(ghosted(s, "MPCOLOR"));
}

TEST_F(SurfacePanelTest, EdgeResetPutsEveryRowBackAndGhostsIt) {
  SurfaceInstance* s = make(1);
  for (const EdgeChannelRow& row : kEdgeChannelRows) {
    choose(s, row.modeKey, 2);
    edit(s, row.amountKey, 0.7);
    edit(s, row.edgeKey, -0.4);
    EXPECT_FALSE(ghosted(s, row.amountKey));
  }
  edit(s, "EBUMP", 2.0);
  edit(s, "ESBUMP", 0.1);
  edit(s, "EFBUMP", 1.0);
  EXPECT_FALSE(ghosted(s, "ESBUMP"));

  resetSurfaceEdges(s);
  for (const EdgeChannelRow& row : kEdgeChannelRows) {
    EXPECT_EQ(s->choice(row.modeKey), 0);
    EXPECT_EQ(s->number(row.amountKey), 0.0);
    EXPECT_EQ(s->number(row.edgeKey), 0.5);
    EXPECT_TRUE(ghosted(s, row.amountKey));
    EXPECT_TRUE(ghosted(s, row.edgeKey));
  }
  EXPECT_EQ(s->number("EBUMP"), 1.0);
  EXPECT_EQ(s->number("ESBUMP"), 0.5);
  EXPECT_EQ(s->number("EFBUMP"), 0.0);
  EXPECT_TRUE(ghosted(s, "ESBUMP"));
}

TEST_F(SurfacePanelTest, BoostResetThroughItsButton) {
  SurfaceInstance* s = make(1);
  for (const char* key : {"DIFFUSE", "SPECULAR", "GLOSS", "AMBIENT", "RADIOSITY", "REFLECTION", "TRANSPARENCY",
                          "LUMINOUS", "SHADOWS", "EXCLUSION", "BUMP", "SAT", "VAL"})
    edit(s, key, 0.25);
  edit(s, "HUE", 30.0);
  edit(s, "RIM", 0.5);
  ButtonControl* reset = AsButton(s->control("RESETBOOST"));
  ASSERT_NE(reset->clickHook, nullptr);
  reset->clickHook(reset);
  for (const char* key : {"DIFFUSE", "SPECULAR", "GLOSS", "AMBIENT", "RADIOSITY", "REFLECTION", "TRANSPARENCY",
                          "LUMINOUS", "SHADOWS", "EXCLUSION", "BUMP", "SAT", "VAL"})
    EXPECT_EQ(s->number(key), 1.0) << key;
  EXPECT_EQ(s->number("HUE"), 0.0);
  EXPECT_EQ(s->number("RIM"), 0.5);  // not a boost
}

TEST_F(SurfacePanelTest, NextSurfaceWithOneInstanceDoesNothing) {
  SurfaceInstance* only = make(1);
  EXPECT_EQ(findNextSurface(only, false), nullptr);
  EXPECT_EQ(findNextSurface(only, true), nullptr);
  nextSurfaceClicked(only, false);
  EXPECT_TRUE(gOpened.empty());
}

TEST_F(SurfacePanelTest, NextSurfaceCyclesThroughAllAndBack) {
  SurfaceInstance* a = make(1);
  SurfaceInstance* b = make(2);
  SurfaceInstance* c = make(3);  // list: c, b, a
  EXPECT_EQ(findNextSurface(c, false), b);
  EXPECT_EQ(findNextSurface(b, false), a);
  EXPECT_EQ(findNextSurface(a, false), c);
  EXPECT_EQ(findNextSurface(a, true), b);
  EXPECT_EQ(findNextSurface(c, true), a);

  // Open panels and surfaces outside the scene are passed over.
  b->panel->isOpen = 1;
  EXPECT_EQ(findNextSurface(c, false), a);
  b->panel->isOpen = 0;
  a->runtime.inScene = 0;
  EXPECT_EQ(findNextSurface(b, false), c);

  // Unpinned: the next panel takes this one's page and place and replaces it.
  AsPageSelector(c->pageTabs)->currentPage = 5;
  c->panel->placement.left = 321;
  c->panel->placement.width = 500;
  nextSurfaceClicked(c, false);
  ASSERT_EQ(gOpened.size(), 1u);
  EXPECT_EQ(gOpened[0].target, b);
  EXPECT_EQ(gOpened[0].replacing, c);
  EXPECT_EQ(AsPageSelector(b->pageTabs)->currentPage.get(), 5);
  EXPECT_EQ(b->panel->placement.left, 321);
  EXPECT_EQ(b->panel->placement.width, 500);

  // Pinned: the next panel opens where it was; nothing is replaced.
  AsButton(b->control("PIN"))->state = 3;
  nextSurfaceClicked(b, false);
  ASSERT_EQ(gOpened.size(), 2u);
  EXPECT_EQ(gOpened[1].target, c);
  EXPECT_EQ(gOpened[1].replacing, nullptr);
}

TEST_F(SurfacePanelTest, MastersOpenSurfaceReachesTheSurfaces) {
  SurfaceInstance* older = make(1);
  SurfaceInstance* newer = make(2);
  setNextSurfaceToOpen(older);
  EXPECT_EQ(openChosenSurface(), older);
  ASSERT_EQ(gOpened.size(), 1u);
  EXPECT_EQ(gOpened[0].target, older);
  EXPECT_EQ(gOpened[0].replacing, nullptr);

  // A destroyed choice is forgotten; then the newest attached surface opens.
  setNextSurfaceToOpen(older);
  made_.erase(made_.begin());
  destroySurfaceInstance(older);
  EXPECT_EQ(nextSurfaceToOpen(), nullptr);
  EXPECT_EQ(openChosenSurface(), newer);
  setNextSurfaceToOpen(nullptr);
}

TEST_F(SurfacePanelTest, UnpinEventAndOpenMaster) {
  SurfaceInstance* s = make(1);
  ButtonControl* pin = AsButton(s->control("PIN"));
  pin->state = 3;
  surfacePanelEvent(s, 3);
  EXPECT_EQ(pin->state.get(), 3);
  surfacePanelEvent(s, kPanelEventUnpin);
  EXPECT_EQ(pin->state.get(), 0);

  ASSERT_EQ(registry().activeMaster.load(), nullptr);
  surfacePanelOpening(s);
  EXPECT_TRUE(ghosted(s, "OPENMASTER"));
  EXPECT_EQ(registry().lastEditedSurface.load(), s);
  EXPECT_STREQ(s->panel->title, "Orvik Surface Shader");
}

TEST(SurfaceTitle, ObjectNameWithoutDirectoryAndExtension) {
  char title[256];
  formatSurfaceTitle("Skin", "C:\\Scenes\\Objects\\Head.v2.lwo", title, sizeof title);
  EXPECT_STREQ(title, "Orvik:  Surface \"Skin\" on Object \"Head.v2\"");
  formatSurfaceTitle("Skin", "/home/me/objects.old/Head", title, sizeof title);
  EXPECT_STREQ(title, "Orvik:  Surface \"Skin\" on Object \"Head\"");
  formatSurfaceTitle("Skin", nullptr, title, sizeof title);
  EXPECT_STREQ(title, "Orvik Surface Shader");
  // A title longer than its buffer is cut, never written past the end.
  char small[12];
  formatSurfaceTitle("Skin", "Head.lwo", small, sizeof small);
  EXPECT_STREQ(small, "Orvik:  Sur");
}

// A 2 x 1 image: red on the left, blue on the right, values outside 0..1.
void twoPixels(const void*, int column, int, double rgb[3]) {
  rgb[0] = column == 0 ? 1.5 : -0.2;
  rgb[1] = 0.5;
  rgb[2] = column == 0 ? 0.0 : 1.0;
}

TEST(ArtSwatch, DiscImageAndGreys) {
  constexpr int kSize = 100;
  std::vector<uint8_t> rgb(kSize * kSize * 3);
  auto at = [&](int x, int y) { return &rgb[3 * (y * kSize + x)]; };

  drawArtSwatch(0.0, 0.0, nullptr, kSize, kSize, rgb.data());
  EXPECT_EQ(at(0, 0)[0], 82);
  EXPECT_EQ(at(50, 50)[0], 144);

  ArtImageView image;
  image.width = 2;
  image.height = 1;
  image.colour = twoPixels;
  drawArtSwatch(0.0, 0.0, &image, kSize, kSize, rgb.data());
  EXPECT_EQ(at(99, 99)[2], 82);
  EXPECT_EQ(at(30, 50)[0], 255);  // left: red, clamped
  EXPECT_EQ(at(30, 50)[1], 127);
  EXPECT_EQ(at(70, 50)[0], 0);    // right: blue
  EXPECT_EQ(at(70, 50)[2], 255);
  // Half a turn mirrors the map.
  drawArtSwatch(0.5, 0.0, &image, kSize, kSize, rgb.data());
  EXPECT_EQ(at(70, 50)[0], 255);
  EXPECT_EQ(at(30, 50)[2], 255);
  // Full squeeze samples the centre of the image everywhere on the disc.
  drawArtSwatch(0.0, 1.0, &image, kSize, kSize, rgb.data());
  EXPECT_EQ(at(70, 50)[0], 255);
  EXPECT_EQ(at(50, 80)[0], 255);
}

TEST_F(SurfacePanelTest, SwatchIsDrawnIntoThePanelsBitmap) {
  SurfaceInstance* s = make(1);
  redrawArtSwatch(s);
  BitmapControl* swatch = AsBitmap(s->control("FPREV"));
  ASSERT_NE(swatch->pixels, nullptr);
  EXPECT_EQ(swatch->width, 100);
  EXPECT_EQ(swatch->pixels[0] & 0xFFu, 82u);
  EXPECT_EQ(swatch->pixels[50 * 100 + 50] & 0xFFu, 144u);
}

}  // namespace
}  // namespace orvik
