#include "shading/surface_instance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "module/registry.h"
#include "module/thread_slots.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/image_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "shading/eval_settings.h"
#include "shading/surface_handler.h"
#include "shading/surface_lifecycle.h"
#include "shading/surface_settings_expected.h"

namespace orvik {
namespace {

namespace expected = testing::expected;

// Fake host surfaces: any distinct non-null pointers serve as contexts.
void* surfaceHandle(int n) { return reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 + 16 * n)); }

// What the hooks saw.
struct HookLog {
  int recomposes = 0;
  int pixelInfo = 0;
  int masterDisplay = 0;
  int gatheredFrame = -1;
  double gatheredTime = -1.0;
  std::vector<int> sleeps;
  int previewWindows = 0;
  int refersCountdown = 0;  // previewRefersTo answers true this many times
  bool haveMaster = false;
  std::vector<std::string> hidden;  // "hide" / "show"
};
HookLog gLog;

const char* const kNotes[kLightGroupBoostCount] = {"Key", "Fill", "Rim", "Bounce", "Sky", "Sun",
                                              "Lamp", "Fire", "TV", "Moon", "Car", "Neon"};

class SurfaceInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog = HookLog{};
    SurfaceHooks h;
    h.recomposePreviews = [] { ++gLog.recomposes; };
    h.reshadePixelInfo = [] { ++gLog.pixelInfo; };
    h.updateMasterDisplay = [] { ++gLog.masterDisplay; };
    h.gatherLights = [](int frame, double time) {
      gLog.gatheredFrame = frame;
      gLog.gatheredTime = time;
    };
    h.sleepMs = [](int ms) { gLog.sleeps.push_back(ms); };
    h.previewWindowCount = [] { return gLog.previewWindows; };
    h.previewRefersTo = [](const SurfaceInstance*) { return gLog.refersCountdown-- > 0; };
    h.lightGroupNotes = [](const char* texts[12]) {
      if (!gLog.haveMaster) return false;
      for (int i = 0; i < 12; ++i) texts[i] = kNotes[i];
      return true;
    };
    h.setPanelWindowHidden = [](Panel*, bool hide) { gLog.hidden.push_back(hide ? "hide" : "show"); };
    setSurfaceHooks(h);
  }
  void TearDown() override {
    for (SurfaceInstance* s : made_) destroySurfaceInstance(s);
    setSurfaceHooks(SurfaceHooks{});
    EXPECT_EQ(registry().surfaces.load(), nullptr);
  }
  SurfaceInstance* make(void* context) {
    const char* error = "unset";
    SurfaceInstance* s = createSurfaceInstance(context, &error);
    EXPECT_NE(s, nullptr);
    EXPECT_EQ(error, nullptr);
    made_.push_back(s);
    return s;
  }
  void destroy(SurfaceInstance* s) {
    std::erase(made_, s);
    destroySurfaceInstance(s);
  }
  // Sets a numeric setting as the panel would after an edit.
  static void edit(SurfaceInstance* s, const char* key, double v) {
    NumericControl* n = AsNumeric(s->control(key));
    ASSERT_NE(n, nullptr) << key;
    n->value = v;
    surfaceControlChanged(n);
  }
  std::vector<SurfaceInstance*> made_;
};

TEST_F(SurfaceInstanceTest, EveryNumericControlStartsAtItsDefaultWithItsClamps) {
  SurfaceInstance* s = make(surfaceHandle(1));
  // The typed list names every numeric setting of the panel.
  int numeric = 0;
  for (int i = 0; i < kSurfaceSettingCount; ++i) numeric += AsNumeric(s->control(i)) != nullptr;
  EXPECT_EQ(numeric, static_cast<int>(std::size(expected::kNumericSettings)));
  for (const auto& e : expected::kNumericSettings) {
    SCOPED_TRACE(e.key);
    NumericControl* n = AsNumeric(s->control(e.key));
    ASSERT_NE(n, nullptr);
    ASSERT_STREQ(n->key.c_str(), e.key);
    EXPECT_DOUBLE_EQ(n->value.get(), e.value);
    EXPECT_EQ(n->displayMode, e.percent ? kDisplayPercent : kDisplayFixed);
    // Far outside values are held at the limits, or pass where there is none.
    const double below = ClampNumber(n, -1e9);
    const double above = ClampNumber(n, 1e9);
    EXPECT_DOUBLE_EQ(below, std::isnan(e.low) ? -1e9 : e.low);
    EXPECT_DOUBLE_EQ(above, std::isnan(e.high) ? 1e9 : e.high);
  }
}

TEST_F(SurfaceInstanceTest, ColoursChecksChoicesAndTextStartAtTheirDefaults) {
  SurfaceInstance* s = make(surfaceHandle(1));
  for (const auto& e : expected::kColourSettings) {
    SCOPED_TRACE(e.key);
    ColorControl* c = AsColor(s->control(e.key));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->red.get(), e.r);
    EXPECT_EQ(c->green.get(), e.g);
    EXPECT_EQ(c->blue.get(), e.b);
  }
  for (const auto& e : expected::kCheckSettings) {
    SCOPED_TRACE(e.key);
    ButtonControl* b = AsButton(s->control(e.key));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->state.get(), e.on ? 3 : 0);
    EXPECT_EQ(s->isOn(e.key), e.on);
  }
  ChoiceControl* mode = AsChoice(s->control("ETNSR"));
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->selection.get(), 0);
  EXPECT_EQ(mode->choiceCount, 4);
  EXPECT_STREQ(mode->labels[2], "Add");
  EXPECT_EQ(AsChoice(s->control("ANISOTYPE"))->choiceCount, 3);
  EXPECT_STREQ(s->text("COMMENT"), "");
  EXPECT_EQ(AsImage(s->control("ART_IMNAME"))->image.get(), nullptr);
  EXPECT_NE(As<ButtonControl>(s->control("NEXTSHADER")), nullptr);
}

TEST_F(SurfaceInstanceTest, PanelCarriesTitleBlockVersionAndTheChainInCreationOrder) {
  SurfaceInstance* s = make(surfaceHandle(1));
  Panel* p = s->panel;
  EXPECT_STREQ(p->title, "Orvik Lighting and Shading System from Morvane");
  EXPECT_STREQ(p->blockName, "Orvik");
  EXPECT_DOUBLE_EQ(p->settingsVersion, 1.5);
  EXPECT_EQ(p->ownerInstance, s);
  // The settings appear in the chain in the table's order.
  std::vector<std::string> chain;
  for (Control* c : p->controls())
    if (findSurfaceSetting(c->key.c_str())) chain.push_back(c->key.c_str());
  ASSERT_EQ(chain.size(), surfaceSettings().size());
  for (size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(chain[i], surfaceSettings()[i].key);
  for (const char* key : {"TAB", "SPECTAB", "LGTAB", "LGT", "AD", "LOGO", "BOOSTCP", "SPEC3CP", "EXTRACP"})
    EXPECT_NE(FindControl(p, key), nullptr) << key;
  EXPECT_STREQ(AsLabel(FindControl(p, "LGT"))->text, "Light Group Boosts");
  EXPECT_STREQ(AsLabel(FindControl(p, "AD"))->text, "Anisotropy Direction");
}

TEST_F(SurfaceInstanceTest, PagesHoldTheirControls) {
  SurfaceInstance* s = make(surfaceHandle(1));
  PageSelector* tabs = AsPageSelector(s->pageTabs);
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->pageCount, 13);
  EXPECT_STREQ(tabs->pages[0].title, "Boosts");
  EXPECT_STREQ(tabs->pages[12].title, "Extra");
  EXPECT_TRUE(PageContains(tabs, 0, s->control("LUMINOUS")));
  EXPECT_TRUE(PageContains(tabs, 7, s->specularTabs));
  EXPECT_FALSE(PageContains(tabs, 7, s->control("GLOSS2")));
  EXPECT_TRUE(PageContains(tabs, 11, s->control("GLOLIGHTBOOST")));
  EXPECT_TRUE(PageContains(tabs, 11, s->lightGroupTabs));
  EXPECT_FALSE(PageContains(tabs, 12, s->control("PIN")));
  PageSelector* layers = AsPageSelector(s->specularTabs);
  ASSERT_EQ(layers->pageCount, 3);
  EXPECT_STREQ(layers->pages[1].title, "Secondary");
  EXPECT_TRUE(PageContains(layers, 1, s->control("GLOSS2")));
  PageSelector* groups = AsPageSelector(s->lightGroupTabs);
  ASSERT_EQ(groups->pageCount, 3);
  EXPECT_STREQ(groups->pages[2].title, "9--12");
  EXPECT_TRUE(PageContains(groups, 1, s->control("LGBOOST4")));
  EXPECT_FALSE(PageContains(groups, 1, s->control("LGBOOST8")));
}

TEST_F(SurfaceInstanceTest, PreparationFollowsTheControls) {
  SurfaceInstance* s = make(surfaceHandle(1));
  // A new surface: one record, from the primary layer.
  ASSERT_EQ(s->runtime.prepared.specularLayerCount(), 1);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.specularLayer(0).colourWeight[0], 0.1125);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.orenNayarA(), 1.0);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.orenNayarB(), 0.0);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.orenNayarC(), 0.0);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.orenNayarD(), 0.0);

  // Only the tertiary layer on: one record, made from it.
  edit(s, "ANISO3", 0.4);
  edit(s, "STRENGTH1", 0.0);
  edit(s, "STRENGTH3", 0.5);
  ASSERT_EQ(s->runtime.prepared.specularLayerCount(), 1);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.specularLayer(0).anisotropy, 0.4);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.specularLayer(0).colourWeight[1], 0.5 * 0.1125);

  // Gloss bias kept inside 0.001 .. 0.999.
  edit(s, "GLOSSSHARP3", 0.0);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.specularLayer(0).glossBias, 0.001);
  edit(s, "GLOSSSHARP3", 1.0);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.specularLayer(0).glossBias, 0.999);

  // Each layer reads its own keys.
  edit(s, "STRENGTH1", 1.0);
  edit(s, "GLOSSSHARP1", 0.0);
  edit(s, "ANISOA1", 90.0);
  edit(s, "SPECRETRO1", 0.3);
  edit(s, "SPECBUMP1", 0.2);
  edit(s, "SARB1", 1.0);
  ASSERT_EQ(s->runtime.prepared.specularLayerCount(), 2);
  SpecularLayer first = s->runtime.prepared.specularLayer(0);
  EXPECT_DOUBLE_EQ(first.glossBias, 0.001);
  EXPECT_NEAR(first.angleRadians, M_PI / 2, 1e-15);
  EXPECT_DOUBLE_EQ(first.retro, 0.3);
  EXPECT_DOUBLE_EQ(first.bumpRespect, 0.2);
  EXPECT_DOUBLE_EQ(first.surfaceTint, 0.1125);
  EXPECT_DOUBLE_EQ(first.colourWeight[2], 0.0);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.specularLayer(1).glossBias, 0.999);
  edit(s, "GLOSSSHARP1", 1.0);
  EXPECT_DOUBLE_EQ(s->runtime.prepared.specularLayer(0).glossBias, 0.999);

  // Rough diffuse, r = 0.5: s = 0.35.
  edit(s, "ROUGHDIFFUSE", 0.5);
  EXPECT_NEAR(s->runtime.prepared.orenNayarA(), 1.0 - 0.175 / 0.68, 1e-15);
  EXPECT_NEAR(s->runtime.prepared.orenNayarB(), 0.1575 / 0.44, 1e-15);
  EXPECT_NEAR(s->runtime.prepared.orenNayarD(), 0.0595 / 0.48, 1e-15);
}

TEST_F(SurfaceInstanceTest, ChangeCallbackMarksLastEditedAndSkipsPageSwitches) {
  SurfaceInstance* a = make(surfaceHandle(1));
  SurfaceInstance* b = make(surfaceHandle(2));
  NumericControl* strength2 = AsNumeric(a->control("STRENGTH2"));
  strength2->value = 1.0;  // not reported yet
  const int recomposesBefore = gLog.recomposes;
  surfaceControlChanged(a->pageTabs);
  EXPECT_EQ(registry().lastEditedSurface.load(), a);
  EXPECT_EQ(a->runtime.prepared.specularLayerCount(), 1);
  EXPECT_EQ(gLog.recomposes, recomposesBefore);

  surfaceControlChanged(strength2);
  EXPECT_EQ(a->runtime.prepared.specularLayerCount(), 2);
  EXPECT_EQ(gLog.recomposes, recomposesBefore + 1);
  EXPECT_EQ(gLog.pixelInfo, 1);
  EXPECT_EQ(gLog.masterDisplay, 1);

  // A paste or a settings file is prepared like an edit.
  AsNumeric(a->control("STRENGTH1"))->value = 0.0;
  ASSERT_NE(a->panel->onSettingsReplaced, nullptr);
  a->panel->onSettingsReplaced(a->panel);
  EXPECT_EQ(a->runtime.prepared.specularLayerCount(), 1);
  EXPECT_EQ(registry().lastEditedSurface.load(), a);

  // The panel header's change slot does the same.
  AsNumeric(b->control("STRENGTH3"))->value = 1.0;
  ASSERT_NE(b->panel->ops.changed, nullptr);
  b->panel->ops.changed(b->panel);
  EXPECT_EQ(registry().lastEditedSurface.load(), b);
  EXPECT_EQ(b->runtime.prepared.specularLayerCount(), 2);

  // Destroying the last edited surface clears the mark.
  destroy(b);
  EXPECT_EQ(registry().lastEditedSurface.load(), nullptr);
}

// Gives every saved setting a value different from its default.
void changeEverything(SurfaceInstance* s) {
  for (int i = 0; i < kSurfaceSettingCount; ++i) {
    Control* c = s->control(i);
    if (NumericControl* n = AsNumeric(c)) {
      n->value = ClampNumber(n, n->value.get() * 0.5 + 0.0625 * (i % 7) + 0.01);
    } else if (ButtonControl* b = AsButton(c)) {
      b->state = b->state.get() ? 0 : 3;
    } else if (ColorControl* col = AsColor(c)) {
      col->red = (i * 7) % 256;
      col->green = (i * 13) % 256;
      col->blue = (i * 29) % 256;
    } else if (ChoiceControl* ch = AsChoice(c)) {
      ch->selection = 1 + i % 2;
    } else if (StringControl* str = AsString(c)) {
      SetStringText(str, "skin");
    }
  }
}

TEST_F(SurfaceInstanceTest, CopyTakesEverySavedSettingAndLeavesTheRuntimeAlone) {
  SurfaceInstance* from = make(surfaceHandle(1));
  SurfaceInstance* to = make(surfaceHandle(2));
  changeEverything(from);
  surfaceNewTime(to, 12, 0.5);
  to->runtime.renderMode = kRenderModeFull;
  to->runtime.previewLightsTaken = 1;

  EXPECT_EQ(copySurfaceInstance(to, from), nullptr);
  for (int i = 0; i < kSurfaceSettingCount; ++i) {
    Control* a = from->control(i);
    Control* b = to->control(i);
    SCOPED_TRACE(a->key.c_str());
    if (const NumericControl* n = AsNumeric(a)) {
      EXPECT_EQ(AsNumeric(b)->value.get(), n->value.get());
    } else if (const ButtonControl* x = AsButton(a)) {
      EXPECT_EQ(AsButton(b)->state.get(), x->state.get());
    } else if (const ChoiceControl* x = AsChoice(a)) {
      EXPECT_EQ(AsChoice(b)->selection.get(), x->selection.get());
    } else if (const StringControl* x = AsString(a)) {
      EXPECT_STREQ(AsString(b)->text, x->text);
    }
    if (const ColorControl* x = AsColor(a)) {
      EXPECT_EQ(AsColor(b)->red.get(), x->red.get());
      EXPECT_EQ(AsColor(b)->blue.get(), x->blue.get());
    }
  }
  // The runtime block is the target's own.
  EXPECT_EQ(to->runtime.frame.get(), 12);
  EXPECT_EQ(to->runtime.time.get(), 0.5);
  EXPECT_EQ(to->runtime.renderMode.get(), kRenderModeFull);
  EXPECT_EQ(to->runtime.previewLightsTaken.get(), 1);
  EXPECT_EQ(to->runtime.surfaceId.get(), reinterpret_cast<uintptr_t>(surfaceHandle(2)));
  EXPECT_EQ(to->runtime.prepared.specularLayerCount(), 1);
  EXPECT_EQ(to->runtime.nextInstance, from);
}

TEST_F(SurfaceInstanceTest, CopyIntoAPanelWithOneControlLessFails) {
  SurfaceInstance* from = make(surfaceHandle(1));
  SurfaceInstance* to = make(surfaceHandle(2));
  changeEverything(from);
  const int last = kSurfaceSettingCount - 1;
  RemoveControl(to->controls[last]);
  to->controls[last] = nullptr;
  to->lightGroupBoosts[kLightGroupBoostCount - 1] = nullptr;
  EXPECT_STREQ(copySurfaceInstance(to, from), "Copy Failed");
  EXPECT_STREQ(surfaceHandlerCopy(to, from), "Copy Failed");
  // What matched was copied.
  EXPECT_EQ(AsNumeric(to->control("LUMINOUS"))->value.get(), AsNumeric(from->control("LUMINOUS"))->value.get());
}

TEST_F(SurfaceInstanceTest, NumericClampsTakeTypedValues) {
  SurfaceInstance* s = make(surfaceHandle(1));
  NumericControl* term = AsNumeric(s->control("TERMSHARP"));
  EXPECT_DOUBLE_EQ(ParseNumberText(term, "-100"), -1.0);
  EXPECT_DOUBLE_EQ(ParseNumberText(term, "-150"), -1.0);
  EXPECT_DOUBLE_EQ(ParseNumberText(term, "10000"), 100.0);
  EXPECT_DOUBLE_EQ(ParseNumberText(term, "20000"), 100.0);
  NumericControl* shadows = AsNumeric(s->control("SHADOWS"));
  EXPECT_DOUBLE_EQ(ParseNumberText(shadows, "-5"), 0.0);
  EXPECT_DOUBLE_EQ(ParseNumberText(shadows, "250"), 2.5);
  EXPECT_DOUBLE_EQ(ParseNumberText(shadows, "10001"), 100.0);
  // A plain number is not scaled.
  EXPECT_DOUBLE_EQ(ParseNumberText(AsNumeric(s->control("THICKFALLOFF")), "0"), 1e-08);
  EXPECT_DOUBLE_EQ(ParseNumberText(AsNumeric(s->control("HUE")), "-45"), -45.0);
}

TEST_F(SurfaceInstanceTest, LightGroupBoostLabelsFollowTheMaster) {
  SurfaceInstance* plain = make(surfaceHandle(1));
  EXPECT_STREQ(AsNumeric(plain->lightGroupBoosts[0])->label, "1");
  EXPECT_STREQ(AsNumeric(plain->lightGroupBoosts[11])->label, "12");
  gLog.haveMaster = true;
  SurfaceInstance* named = make(surfaceHandle(2));
  EXPECT_STREQ(AsNumeric(named->lightGroupBoosts[0])->label, "  Key 1");
  EXPECT_STREQ(AsNumeric(named->lightGroupBoosts[11])->label, " Neon 12");

  // The master's notes change: every listed surface is relabelled.
  const char* const notes[kLightGroupBoostCount] = {"Spotlights", nullptr, "", "a", "b", "c",
                                               "d", "e", "f", "g", "h", "Last"};
  relabelLightGroupBoosts(notes);
  for (SurfaceInstance* s : {plain, named}) {
    EXPECT_STREQ(AsNumeric(s->lightGroupBoosts[0])->label, "Spotlights 1");
    EXPECT_STREQ(AsNumeric(s->lightGroupBoosts[1])->label, "      2");
    EXPECT_STREQ(AsNumeric(s->lightGroupBoosts[11])->label, " Last 12");
  }
  relabelLightGroupBoosts(nullptr);
  EXPECT_STREQ(AsNumeric(named->lightGroupBoosts[4])->label, "5");
}

TEST_F(SurfaceInstanceTest, InstanceListIsNewestFirstAndDestroyUnlinks) {
  SurfaceInstance* a = make(surfaceHandle(1));
  SurfaceInstance* b = make(surfaceHandle(2));
  SurfaceInstance* c = make(surfaceHandle(3));
  auto order = [] {
    std::vector<SurfaceInstance*> v;
    for (SurfaceInstance* s = firstSurfaceInstance(); s; s = nextSurfaceInstance(s)) v.push_back(s);
    return v;
  };
  EXPECT_EQ(order(), (std::vector<SurfaceInstance*>{c, b, a}));
  destroy(b);
  EXPECT_EQ(order(), (std::vector<SurfaceInstance*>{c, a}));
  destroy(c);
  EXPECT_EQ(order(), (std::vector<SurfaceInstance*>{a}));
  EXPECT_EQ(a->runtime.previousInstance, nullptr);
  destroy(a);
  EXPECT_TRUE(order().empty());
}

TEST_F(SurfaceInstanceTest, WithoutContextTheInstanceIsNotListed) {
  SurfaceInstance* s = make(nullptr);
  EXPECT_TRUE(s->alive());
  EXPECT_EQ(firstSurfaceInstance(), nullptr);
  EXPECT_EQ(s->runtime.inScene.get(), 0);
  EXPECT_EQ(gLog.gatheredFrame, -1);  // no new time ran
  destroy(s);
  EXPECT_EQ(firstSurfaceInstance(), nullptr);
}

TEST_F(SurfaceInstanceTest, CreateRunsANewTimeAtFrameZeroAndAsksPreviewsToRecompose) {
  make(surfaceHandle(1));
  EXPECT_EQ(gLog.gatheredFrame, 0);
  EXPECT_EQ(gLog.gatheredTime, 0.0);
  EXPECT_EQ(gLog.recomposes, 1);
}

TEST_F(SurfaceInstanceTest, NewTimeResetsThreadRecordsAndStoresFrameAndTime) {
  SurfaceInstance* s = make(surfaceHandle(1));
  threadRecord().depth = 9;
  threadRecord().mediumIndex = 1.5;
  s->runtime.previewLightsTaken = 1;
  AsNumeric(s->control("STRENGTH2"))->value = 0.5;  // edited without a report
  surfaceNewTime(s, 24, 1.0);
  EXPECT_EQ(threadRecord().depth, kStartDepth);
  EXPECT_EQ(threadRecord().mediumIndex, kStartMediumIndex);
  EXPECT_EQ(gLog.gatheredFrame, 24);
  EXPECT_EQ(gLog.gatheredTime, 1.0);
  EXPECT_EQ(s->runtime.frame.get(), 24);
  EXPECT_EQ(s->runtime.time.get(), 1.0);
  EXPECT_EQ(s->runtime.previewLightsTaken.get(), 0);
  EXPECT_EQ(s->runtime.prepared.specularLayerCount(), 2);
  EXPECT_EQ(surfaceHandlerNewTime(s, 25, 1.04), nullptr);
  EXPECT_EQ(s->runtime.frame.get(), 25);
}

TEST_F(SurfaceInstanceTest, DestroyWaitsUntilPreviewWindowsLetGo) {
  SurfaceInstance* s = make(surfaceHandle(1));
  gLog.previewWindows = 1;
  gLog.refersCountdown = 3;
  destroy(s);
  EXPECT_EQ(gLog.sleeps, (std::vector<int>{15, 200, 200, 200}));

  // Without preview windows there is no pause.
  gLog.sleeps.clear();
  gLog.previewWindows = 0;
  destroy(make(surfaceHandle(2)));
  EXPECT_TRUE(gLog.sleeps.empty());
}

TEST_F(SurfaceInstanceTest, FullRenderHidesAnOpenPanelUntilCleanup) {
  SurfaceInstance* s = make(surfaceHandle(1));
  EXPECT_EQ(surfaceHandlerInit(s, kRenderModePreview), nullptr);
  EXPECT_EQ(s->runtime.renderMode.get(), 0);
  surfaceHandlerCleanup(s);
  EXPECT_TRUE(gLog.hidden.empty());

  s->panel->isOpen = 1;
  surfaceHandlerInit(s, kRenderModeFull);
  EXPECT_EQ(s->runtime.renderMode.get(), 1);
  surfaceHandlerCleanup(s);
  surfaceHandlerCleanup(s);
  EXPECT_EQ(gLog.hidden, (std::vector<std::string>{"hide", "show"}));
  s->panel->isOpen = 0;
}

TEST_F(SurfaceInstanceTest, DescriptionLineShowsTheComment) {
  SurfaceInstance* s = make(surfaceHandle(1));
  EXPECT_STREQ(surfaceHandlerDescription(s), "Orvik Lighting and Shading System");
  SetStringText(AsString(s->control("COMMENT")), "skin");
  EXPECT_STREQ(surfaceHandlerDescription(s), "Orvik: skin");
  std::string longComment(300, 'x');
  SetStringText(AsString(s->control("COMMENT")), longComment.c_str());
  EXPECT_EQ(std::strlen(surfaceHandlerDescription(s)), std::strlen("Orvik: ") + 255);
}

TEST_F(SurfaceInstanceTest, ItemCallbacksUseTheHostsIdLists) {
  SurfaceInstance* s = make(surfaceHandle(1));
  EXPECT_EQ(surfaceHandlerUseItems(s)[0], nullptr);

  auto* oldItem = reinterpret_cast<HostItemId>(0x5000);
  auto* newItem = reinterpret_cast<HostItemId>(0x6000);
  NumericControl* n = AsNumeric(s->control("RIM"));
  ASSERT_NE(n, nullptr);
  n->reference1 = oldItem;
  n->reportItemParents = 0;
  const HostItemId* used = surfaceHandlerUseItems(s);
  EXPECT_EQ(used[0], oldItem);
  EXPECT_EQ(used[1], nullptr);

  const HostItemId pairs[] = {reinterpret_cast<HostItemId>(0x4000), nullptr, oldItem, newItem, nullptr};
  surfaceHandlerChangeId(s, pairs);
  EXPECT_EQ(n->reference1.get(), newItem);
}

TEST_F(SurfaceInstanceTest, HandlerRecordGetsTheCallbacks) {
  HostShaderHandler record{};
  installSurfaceCallbacks(&record, false);
  EXPECT_EQ(record.inst.create, surfaceHandlerCreate);
  EXPECT_EQ(record.rend.newTime, surfaceHandlerNewTime);
  EXPECT_EQ(record.item.changeID, surfaceHandlerChangeId);
  installSurfaceCallbacks(&record, true);
  EXPECT_EQ(record.rend.init, nullptr);
  EXPECT_EQ(record.rend.cleanup, nullptr);
  EXPECT_EQ(record.rend.newTime, nullptr);
  EXPECT_EQ(record.inst.descln, surfaceHandlerDescription);

  ::HostError error = "unset";
  HostInstance inst = record.inst.create(nullptr, surfaceHandle(4), &error);
  ASSERT_NE(inst, nullptr);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(firstSurfaceInstance(), inst);
  record.inst.destroy(inst);
  EXPECT_EQ(firstSurfaceInstance(), nullptr);
}

}  // namespace
}  // namespace orvik

namespace orvik {
namespace {

// The shading reads an instance's settings through a per-thread copy. Any change of a
// value, from whichever thread, must show in the next sample; and a copy must never
// serve another instance, not even one made where a destroyed one lived.
TEST_F(SurfaceInstanceTest, SettingsCopiesFollowEveryChange) {
  SurfaceInstance* a = make(nullptr);
  SurfaceInstance* b = make(nullptr);
  AsNumeric(a->control("RIM"))->value = 0.25;
  AsNumeric(b->control("RIM"))->value = 0.75;
  EvalSettings s;
  readEvalSettingsCached(*a, s);
  EXPECT_EQ(s.rim, 0.25);
  readEvalSettingsCached(*b, s);
  EXPECT_EQ(s.rim, 0.75);

  // Changed without any report, and on another thread.
  std::thread([&] { AsNumeric(a->control("RIM"))->value = 0.5; }).join();
  readEvalSettingsCached(*a, s);
  EXPECT_EQ(s.rim, 0.5);
  AsButton(a->control("ACTIVATEDARKEN"))->state = 1;
  readEvalSettingsCached(*a, s);
  EXPECT_TRUE(s.darken);

  // A new instance is read afresh, wherever it lives.
  const std::uint64_t serial = a->serial;
  destroy(a);
  SurfaceInstance* c = make(nullptr);
  EXPECT_NE(c->serial, serial);
  readEvalSettingsCached(*c, s);
  EvalSettings direct;
  readEvalSettings(*c, direct);
  EXPECT_EQ(s.rim, direct.rim);
  EXPECT_EQ(s.darken, direct.darken);
  EXPECT_NE(s.rim, 0.5);
}

}  // namespace
}  // namespace orvik
