#include "master/master_instance.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "master/master_handler.h"
#include "master/master_hooks.h"
#include "master/master_panel.h"
#include "master/master_rules.h"
#include "master/master_values.h"
#include "panels/button_control.h"
#include "panels/color_control.h"
#include "panels/string_control.h"
#include "panels/graph_control.h"
#include "panels/image_control.h"
#include "panels/item_list_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"

namespace orvik {
namespace {

int gRefreshes = 0;
int gFreed = 0;

class MasterTest : public ::testing::Test {
protected:
    void SetUp() override {
        gRefreshes = gFreed = 0;
        MasterHooks hooks;
        hooks.refreshStoreLights = [] { ++gRefreshes; };
        hooks.freePreviewStores = [] { ++gFreed; };
        setMasterHooks(hooks);
        const char* error = nullptr;
        m = createMaster(&error);
        ASSERT_NE(m, nullptr);
        ASSERT_EQ(error, nullptr);
    }
    void TearDown() override {
        destroyMaster(m);
        setMasterHooks(MasterHooks{});
    }
    NumericControl* num(const char* key) { return AsNumeric(FindControl(m->panel, key)); }
    std::string shown(const char* key) {
        char text[64];
        FormatNumber(num(key), text, sizeof text);
        return text;
    }
    MasterInstance* m = nullptr;
};

TEST_F(MasterTest, SecondMasterRefusedWhileFirstStaysIntact) {
    m->lightBoost->value = 2.5;
    const char* error = nullptr;
    EXPECT_EQ(createMaster(&error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_STREQ(error, "There's no need to use multiple Orvik master panels.");
    EXPECT_EQ(currentMaster(), m);
    EXPECT_TRUE(masterAlive(m));
    EXPECT_EQ(m->lightBoost->value.get(), 2.5);

    HostError hostError = nullptr;
    EXPECT_EQ(masterHandlerCreate(nullptr, nullptr, &hostError), nullptr);
    EXPECT_STREQ(hostError, "There's no need to use multiple Orvik master panels.");
}

TEST_F(MasterTest, FreshMasterAfterDestroyStartsFromDefaults) {
    m->lightGroupBoost[3]->value = 0.0;
    m->desat->value = 0.4;
    m->doClip->state = kCheckOn;
    m->ambTop->red = 10;
    destroyMaster(m);
    EXPECT_EQ(gFreed, 1);
    EXPECT_EQ(currentMaster(), nullptr);
    EXPECT_FALSE(masterPresent());

    const char* error = nullptr;
    m = createMaster(&error);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->lightGroupBoost[3]->value.get(), 1.0);
    EXPECT_EQ(m->desat->value.get(), 0.0);
    EXPECT_FALSE(IsButtonOn(m->doClip));
    EXPECT_EQ(m->ambTop->red.get(), 255);
    EXPECT_EQ(m->sourceLightSeen.load(), 0);
    EXPECT_EQ(m->previewPlayState.load(), 0);
    EXPECT_EQ(m->marker.load(), kMasterAliveMark);
}

TEST_F(MasterTest, StaleAnchorIsForgottenNotFreed) {
    MasterInstance* stale = m;
    stale->marker = 0;
    const char* error = nullptr;
    m = createMaster(&error);
    ASSERT_NE(m, nullptr);
    EXPECT_NE(m, stale);
    EXPECT_EQ(currentMaster(), m);
    // The stale record still holds its panel; destroying it leaves the new master active.
    destroyMaster(stale);
    EXPECT_EQ(currentMaster(), m);
}

TEST_F(MasterTest, ChainOrderKeysAndPersistence) {
    std::vector<std::string> keys;
    for (Control* c : m->panel->controls()) keys.push_back(c->key.c_str());
    const std::set<std::string> unique(keys.begin(), keys.end());
    EXPECT_EQ(unique.size(), keys.size()) << "every key names one control";

    const std::vector<std::string> head = {"LOGO", "TAB", "COMPTEXT", "PIN", "OPENSHADER", "LUMINOUS", "DIFFUSE"};
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + head.size()), head);
    EXPECT_EQ(keys[keys.size() - 2], "CPItm");
    EXPECT_EQ(keys.back(), "CPStr");
    for (const char* key : {"LGI0", "LGB11", "LGD5", "LGS7", "OGT11", "OG0-0", "OL11-7", "OB11-7", "OS11-7", "OB7",
                            "LB11", "GAMGR", "GRAIN_CLIP_SOFT", "REFLECTIONQ", "RAMTEXT", "AMBBOT"})
        EXPECT_NE(FindControl(m->panel, key), nullptr) << key;

    for (Control* c : {static_cast<Control*>(m->pin), static_cast<Control*>(m->clipItems),
                       static_cast<Control*>(m->clipNotes)})
        EXPECT_EQ(c->persistent.get(), 0) << c->key.c_str();
    for (Control* c : {static_cast<Control*>(m->doClip), static_cast<Control*>(m->lightItems[0]),
                       static_cast<Control*>(m->lightNotes[0]), static_cast<Control*>(m->ambMid),
                       static_cast<Control*>(m->compImage), static_cast<Control*>(m->objectShadow[11][7])})
        EXPECT_NE(c->persistent.get(), 0) << c->key.c_str();
    EXPECT_STREQ(m->panel->title, "Orvik Lighting System    Master Control");
    EXPECT_STREQ(m->panel->blockName, "Orvik");
    EXPECT_EQ(m->panel->settingsVersion, 1.5);
}

TEST_F(MasterTest, PagesHoldTheirControls) {
    ASSERT_EQ(m->tab->pageCount, 8);
    EXPECT_STREQ(m->tab->pages[kPageLightGroups].title, "Light Groups");
    EXPECT_STREQ(m->tab->pages[kPagePreviews].title, "Previews");
    auto onPage = [&](PageSelector* s, int page, const char* key) {
        return PageContains(s, page, FindControl(m->panel, key));
    };
    EXPECT_TRUE(onPage(m->tab, kPageSurfaceBoosts, "BUMP"));
    EXPECT_TRUE(onPage(m->tab, kPageImageProcess, "RESETIMAGE"));
    EXPECT_TRUE(onPage(m->tab, kPageGamutControl, "GAMGR"));
    EXPECT_TRUE(onPage(m->tab, kPageFilmGrain, "GRAIN_CLIP_SOFT"));
    EXPECT_TRUE(onPage(m->tab, kPageMasterLighting, "RADCONST"));
    EXPECT_TRUE(onPage(m->tab, kPageLightGroups, "LB0"));
    EXPECT_TRUE(onPage(m->tab, kPageLightGroups, "OS11-7"));
    EXPECT_TRUE(onPage(m->tab, kPageQuality, "REFLECTIONQ"));
    EXPECT_TRUE(onPage(m->tab, kPagePreviews, "RAMTEXT"));
    for (int page = 0; page < kMasterPageCount; ++page) {
        EXPECT_FALSE(onPage(m->tab, page, "PIN"));     // on every page
        EXPECT_FALSE(onPage(m->tab, page, "CPItm"));   // on none
    }

    ASSERT_EQ(m->lgTab->pageCount, 12);
    EXPECT_STREQ(m->lgTab->pages[11].title, "12");
    EXPECT_TRUE(onPage(m->lgTab, 3, "LGI3"));
    EXPECT_TRUE(onPage(m->lgTab, 3, "OS3-7"));
    EXPECT_FALSE(onPage(m->lgTab, 3, "LGI4"));
    EXPECT_FALSE(onPage(m->lgTab, 3, "ObSet"));  // shared by every group
    ASSERT_EQ(m->objectTab[3]->pageCount, 8);
    EXPECT_TRUE(onPage(m->objectTab[3], 2, "OG3-2"));
    EXPECT_TRUE(onPage(m->objectTab[3], 2, "OS3-2"));
    EXPECT_FALSE(onPage(m->objectTab[3], 2, "OG3-3"));
}

TEST_F(MasterTest, DisplayFormsLimitsAndDragSteps) {
    EXPECT_EQ(shown("DIFFUSE"), "  100.0%");
    EXPECT_EQ(shown("R_PROP"), "  0.75%");
    EXPECT_EQ(shown("WGAMMA"), "  1.000");
    EXPECT_EQ(shown("LIGHTMIN"), "  0.00000");
    EXPECT_EQ(shown("SATFALLOFF"), "  0.500");
    EXPECT_EQ(shown("R_CONST"), "  0.006");

    // Percent controls clamp in stored units: 20000% is 200, limited to 100.
    EXPECT_DOUBLE_EQ(ParseNumberText(num("SHADOWS"), "20000"), 100.0);
    EXPECT_DOUBLE_EQ(ParseNumberText(num("AREASHADOWEQ"), "300"), 2.5);
    EXPECT_DOUBLE_EQ(ParseNumberText(num("WGAMMA"), "0"), 0.01);
    EXPECT_DOUBLE_EQ(ParseNumberText(num("CLIPX0"), "0"), 0.001);
    EXPECT_DOUBLE_EQ(ParseNumberText(num("CLIPEXP"), "150"), 1.5);  // top of the range is not enforced
    EXPECT_DOUBLE_EQ(ParseNumberText(num("DIFFUSE"), "-50"), -0.5);

    const double base = num("LIGHTMIN")->dragStep;  // the toolkit's default step
    EXPECT_DOUBLE_EQ(num("DIFFUSE")->dragStep, base * 0.1);
    EXPECT_DOUBLE_EQ(num("OB3-4")->dragStep, base * 0.1);
    EXPECT_DOUBLE_EQ(num("RGAMMA")->dragStep, base * 0.01);
    EXPECT_DOUBLE_EQ(num("GRAINSCALE")->dragStep, base * 0.02);
    EXPECT_DOUBLE_EQ(num("W_PROP")->dragStep, base * 0.02);
    EXPECT_DOUBLE_EQ(num("B_CONST")->dragStep, base * 0.001);
    EXPECT_DOUBLE_EQ(num("GRAIN_CLIP_LEV")->dragStep, base * 0.005);
    EXPECT_DOUBLE_EQ(num("GRAIN_CLIP_SOFT")->dragStep, base * 0.0025);
    EXPECT_DOUBLE_EQ(num("G_PROP")->sliderHigh, 0.05);
    EXPECT_DOUBLE_EQ(num("G_CONST")->sliderHigh, 0.05);
}

TEST_F(MasterTest, ResetsRestoreTheirPageAndRefresh) {
    m->wGamma->value = 2.0;
    m->desat->value = 0.3;
    m->satClip->value = 4.0;
    m->satFalloff->value = 2.0;
    m->diffuse->value = 3.0;
    resetImageProcessing(m);
    EXPECT_EQ(m->wGamma->value.get(), 1.0);
    EXPECT_EQ(m->desat->value.get(), 0.0);
    EXPECT_EQ(m->satClip->value.get(), 0.0);
    EXPECT_EQ(m->satFalloff->value.get(), 0.5);
    EXPECT_EQ(m->diffuse->value.get(), 3.0);  // another page's setting is left alone
    EXPECT_EQ(gRefreshes, 1);

    for (int clipOn : {0, kCheckOn}) {
        m->doClip->state = clipOn;
        m->clipX0->value = 0.2;
        m->clipHue->value = 0.9;
        resetGamutControl(m);
        EXPECT_EQ(m->doClip->state.get(), clipOn);
        EXPECT_EQ(m->clipX0->value.get(), 0.7);
        EXPECT_EQ(m->clipHue->value.get(), 0.5);
    }

    m->shadows->value = 0.0;
    m->exclusion->value = 0.0;
    resetSurfaceBoosts(m);
    EXPECT_EQ(m->diffuse->value.get(), 1.0);
    EXPECT_EQ(m->shadows->value.get(), 1.0);
    EXPECT_EQ(m->exclusion->value.get(), 1.0);
}

TEST_F(MasterTest, ResetButtonsActOnClick) {
    m->satFalloff->value = 3.0;
    ClickButton(m->resetImage, 0);
    EXPECT_EQ(m->satFalloff->value.get(), 0.5);
}

TEST_F(MasterTest, GhostingFollowsDesaturationClipAndGrain) {
    EXPECT_TRUE(m->satClip->ghosted.get());
    EXPECT_TRUE(m->satFalloff->ghosted.get());
    m->desat->value = 0.001;
    applyDependentRules(m);
    EXPECT_FALSE(m->satClip->ghosted.get());
    EXPECT_FALSE(m->satFalloff->ghosted.get());

    EXPECT_TRUE(m->clipHue->ghosted.get());
    ClickButton(m->doClip, 0);  // the toggle runs the rules itself
    EXPECT_TRUE(IsButtonOn(m->doClip));
    EXPECT_FALSE(m->clipHue->ghosted.get());
    EXPECT_FALSE(m->clipX0->ghosted.get());
    ClickButton(m->doClip, 0);
    EXPECT_FALSE(IsButtonOn(m->doClip));
    EXPECT_TRUE(m->clipExp->ghosted.get());

    // Grain off: everything of the page but the switch is ghosted.
    EXPECT_TRUE(m->grainAnimated->ghosted.get());
    EXPECT_TRUE(m->rProp->ghosted.get());
    EXPECT_TRUE(m->grainClipLevel->ghosted.get());
    ClickButton(m->grain, 0);
    EXPECT_FALSE(m->grainAnimated->ghosted.get());
    EXPECT_FALSE(m->grainClipLevel->ghosted.get());  // GRAINCLIP is on by default
    ClickButton(m->grainClip, 0);
    EXPECT_FALSE(IsButtonOn(m->grainClip));
    EXPECT_TRUE(m->grainClipLevel->ghosted.get());
    EXPECT_TRUE(m->grainClipSoft->ghosted.get());
    EXPECT_FALSE(m->rConst->ghosted.get());
}

TEST_F(MasterTest, GamutGraphFollowsClipSwitch) {
    ASSERT_EQ(m->gamutGraph->pointCount, 75);
    EXPECT_DOUBLE_EQ(m->gamutGraph->pointY[74], 1.0);  // off: plain clip at 1
    m->doClip->state = kCheckOn;
    updateGamutGraph(m);
    EXPECT_EQ(m->gamutGraph->pointCount, 75);
    EXPECT_LT(m->gamutGraph->pointY[74], 1.0);
    EXPECT_GT(m->gamutGraph->pointY[74], 0.9);
}

std::string gOrder;

TEST_F(MasterTest, PreviewsAreClosedBeforeTheyAreFreedAndDestroyFreesAllThree) {
    MasterHooks hooks;
    hooks.closePixelInfoWindows = [] { gOrder += "c"; };
    hooks.closePreviewWindows = [] { gOrder += "C"; };
    hooks.freePixelInfoWindows = [] { gOrder += "i"; };
    hooks.freePreviewWindows = [] { gOrder += "w"; };
    hooks.freePreviewStores = [] { gOrder += "s"; };
    hooks.updateMemoryText = [] { gOrder += "m"; };
    hooks.updateComparisons = [] { gOrder += "="; };
    setMasterHooks(hooks);
    gOrder.clear();
    ClickButton(m->freePreview, 0);
    EXPECT_EQ(gOrder, "cCiwsm=");
    gOrder.clear();
    destroyMaster(m);
    m = nullptr;
    EXPECT_EQ(gOrder, "iws");
}

TEST_F(MasterTest, LightMinChangeRefreshesStoresPageSwitchNothing) {
    int reshades = 0;
    static int* counter = nullptr;
    counter = &reshades;
    MasterHooks hooks;
    hooks.refreshStoreLights = [] { ++gRefreshes; };
    hooks.reshadePreviews = [] { ++*counter; };
    setMasterHooks(hooks);

    NotifyValueChanged(m->tab, false);
    masterPanelChanged(m->panel);
    EXPECT_EQ(reshades, 0);
    NotifyValueChanged(m->lightMin, false);
    m->panel->ops.changed(m->panel);
    EXPECT_EQ(gRefreshes, 1);
    EXPECT_EQ(reshades, 1);
    NotifyValueChanged(m->specular, false);
    masterPanelChanged(m->panel);
    EXPECT_EQ(gRefreshes, 1);  // other settings re-shade without re-reading lights
    EXPECT_EQ(reshades, 2);
}

TEST_F(MasterTest, HandlerCallbacks) {
    EXPECT_STREQ(masterHandlerDescription(m), "Orvik Lighting and Shading System");
    EXPECT_EQ(reinterpret_cast<intptr_t>(masterHandlerUseItems(m)), -1);
    EXPECT_EQ(masterHandlerFlags(m), 0u);
    HostMasterHandler record{};
    fillMasterHandler(&record);
    EXPECT_EQ(record.inst.create, &masterHandlerCreate);
    EXPECT_EQ(record.type, HOST_MASTER_SCENE);
    EXPECT_EQ(record.inst.load, nullptr);  // the module's settings callbacks go there
}

TEST_F(MasterTest, CopyBetweenMastersAndFailureOnMismatch) {
    m->lightBoost->value = 1.7;
    m->lightNotes[2]->text[0] = 'K';
    m->marker = 0;  // let a second record be built
    MasterInstance* other = createMaster(nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(copyMaster(other, m), nullptr);
    EXPECT_EQ(other->lightBoost->value.get(), 1.7);
    EXPECT_EQ(other->lightNotes[2]->text[0], 'K');

    RemoveControl(other->clipNotes);
    other->clipNotes = nullptr;
    EXPECT_STREQ(copyMaster(other, m), "Copy Failed");
    destroyMaster(other);
    m->marker = kMasterAliveMark;
}

TEST_F(MasterTest, ValuesReadFromControlsAndNeutralWithoutMaster) {
    m->specular->value = 2.0;
    m->lightBoost->value = 3.0;
    m->lightMin->value = 0.0;
    EXPECT_EQ(masterSurfaceBoosts().specular, 2.0);
    const MasterLighting lighting = masterLighting();
    EXPECT_TRUE(lighting.present);
    EXPECT_EQ(lighting.lightBoost, 3.0);
    EXPECT_TRUE(lighting.autoFree);
    EXPECT_EQ(masterMinimumDistance(1e-14), 1e-10);
    ImageSettings s;
    EXPECT_TRUE(masterImageSettings(s));
    EXPECT_FALSE(s.grain);
    EXPECT_TRUE(s.grainClip);

    destroyMaster(m);
    m = nullptr;
    EXPECT_EQ(masterSurfaceBoosts().specular, 1.0);
    EXPECT_FALSE(masterLighting().present);
    EXPECT_EQ(masterMinimumDistance(1e-14), 1e-14);
    EXPECT_FALSE(masterImageSettings(s));
    double c[3] = {2.0, -1.0, 0.5};
    masterProcessPixel(3, 4, 1, 640, c);
    EXPECT_EQ(c[0], 2.0);
    EXPECT_EQ(c[1], 0.0);
    masterNoteSourceLight();
    EXPECT_FALSE(masterSourceLightSeen());
}

}  // namespace
}  // namespace orvik
