#include "master/light_groups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "master/master_handler.h"
#include "master/master_hooks.h"
#include "master/master_rules.h"
#include "master/master_instance.h"
#include "master/master_values.h"
#include "panels/button_control.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "panels/toolkit_host.h"

namespace orvik {
namespace {

struct FakeItem {
    int type;
};

std::vector<ItemHandle> gSelection;
std::vector<std::string> gWarnings;
std::vector<std::string> gRelabels;
int gGroupsChanged = 0;
int gPreviewIdChanges = 0;

ItemHandle item(FakeItem& f) { return &f; }

class GroupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        gSelection.clear();
        gWarnings.clear();
        gRelabels.clear();
        gGroupsChanged = gPreviewIdChanges = 0;

        ToolkitHost host;
        host.itemType = [](ItemHandle h) { return static_cast<FakeItem*>(h)->type; };
        SetToolkitHost(host);

        MasterHooks hooks;
        hooks.selectedItems = [](ItemHandle* out, int capacity) {
            int n = 0;
            for (; n < static_cast<int>(gSelection.size()) && n < capacity; ++n) out[n] = gSelection[n];
            return static_cast<int>(gSelection.size());
        };
        hooks.warning = [](const char* a, const char* b) { gWarnings.push_back(std::string(a) + "|" + b); };
        hooks.previewGroupsChanged = [] { ++gGroupsChanged; };
        hooks.changePreviewItemIds = [](const ItemIdPair*) { ++gPreviewIdChanges; };
        setMasterHooks(hooks);
        setSurfaceRelabelHook([](const char* const* notes) {
            gRelabels.push_back(notes ? std::string(notes[0]) + "," + notes[1] : "(none)");
        });

        m = createMaster(nullptr);
        ASSERT_NE(m, nullptr);
    }
    void TearDown() override {
        destroyMaster(m);
        setMasterHooks(MasterHooks{});
        setSurfaceRelabelHook(nullptr);
        SetToolkitHost(ToolkitHost{});
    }
    void showGroups(int lightGroup, int objectGroup) {
        m->lgTab->currentPage = lightGroup;
        m->objectTab[lightGroup]->currentPage = objectGroup;
    }

    MasterInstance* m = nullptr;
    FakeItem key{kItemLight}, fill{kItemLight}, rim{kItemLight};
    FakeItem table{kItemObject}, chair{kItemObject}, camera{kItemCamera};
};

TEST_F(GroupsTest, SetWithMixedSelectionKeepsOnlyLightsInOrder) {
    gSelection = {item(fill), item(table), item(key), item(camera)};
    ClickButton(m->lightSet[4], 0);
    ItemListControl* list = m->lightItems[4];
    ASSERT_EQ(list->itemCount, 2);
    EXPECT_EQ(list->items[0], item(fill));
    EXPECT_EQ(list->items[1], item(key));
    EXPECT_TRUE(gWarnings.empty());
    EXPECT_EQ(gGroupsChanged, 1);
    // Members changed ran the rules: the group's boost is live and its indicator shown.
    EXPECT_FALSE(m->lightGroupBoost[4]->ghosted.get());
    EXPECT_EQ(m->lightIndicator[4]->y, 2);
    EXPECT_TRUE(m->lightGroupBoost[5]->ghosted.get());
    EXPECT_EQ(m->lightIndicator[5]->y, 2 - 800);
}

TEST_F(GroupsTest, SetWithWrongOrEmptySelectionWarnsAndKeepsMembers) {
    gSelection = {item(rim)};
    setLightGroup(m, 0);
    gSelection = {item(table), item(key)};
    setLightGroup(m, 0);
    gSelection.clear();
    setLightGroup(m, 0);
    ASSERT_EQ(gWarnings.size(), 2u);
    EXPECT_EQ(gWarnings[0],
              "Pick the lights you want to form a group with|in the Layout window before you use \"Set\".");
    ASSERT_EQ(m->lightItems[0]->itemCount, 1);
    EXPECT_EQ(m->lightItems[0]->items[0], item(rim));

    showGroups(0, 0);
    gSelection = {item(key), item(table)};
    setObjectGroup(m);
    ASSERT_EQ(gWarnings.size(), 3u);
    EXPECT_EQ(gWarnings[2],
              "Pick the object(s) you want to form a group with|in the Layout window before you use \"Set\".");
    EXPECT_EQ(m->objectItems[0][0]->itemCount, 0);
}

TEST_F(GroupsTest, SetFillsToCapacityAndIgnoresTheRest) {
    std::vector<FakeItem> lights(300, FakeItem{kItemLight});
    for (FakeItem& f : lights) gSelection.push_back(item(f));
    setLightGroup(m, 11);
    EXPECT_EQ(m->lightItems[11]->itemCount, 256);
    EXPECT_EQ(m->lightItems[11]->items[255], item(lights[255]));

    std::vector<FakeItem> objects(300, FakeItem{kItemObject});
    gSelection.clear();
    for (FakeItem& f : objects) gSelection.push_back(item(f));
    showGroups(11, 7);
    setObjectGroup(m);
    EXPECT_EQ(m->objectItems[11][7]->itemCount, 255);
}

TEST_F(GroupsTest, SetObjectGroupTargetsTheShownPages) {
    showGroups(2, 3);
    gSelection = {item(chair), item(key), item(table)};
    ClickButton(m->obSet, 0);
    ItemListControl* list = m->objectItems[2][3];
    ASSERT_EQ(list->itemCount, 2);
    EXPECT_EQ(list->items[0], item(chair));
    EXPECT_EQ(list->items[1], item(table));
    EXPECT_EQ(m->objectItems[2][2]->itemCount, 0);
    EXPECT_EQ(m->objectItems[0][3]->itemCount, 0);
}

TEST_F(GroupsTest, PasteAcrossLightGroupsCopiesMembersAndNotes) {
    showGroups(1, 2);
    gSelection = {item(table), item(chair)};
    setObjectGroup(m);
    SetStringText(m->objectNotes[1][2], "furniture");
    ClickButton(m->obCopy, 0);
    EXPECT_TRUE(m->obPaste->checked());
    const int afterFirst = m->obPaste->state.get();

    showGroups(6, 0);
    ClickButton(m->obPaste, 0);
    ItemListControl* target = m->objectItems[6][0];
    ASSERT_EQ(target->itemCount, 2);
    EXPECT_EQ(target->items[0], item(table));
    EXPECT_EQ(target->items[1], item(chair));
    EXPECT_STREQ(m->objectNotes[6][0]->text, "furniture");
    EXPECT_EQ(m->objectItems[1][2]->itemCount, 2);  // the source keeps its members

    // A second copy flashes the paste button instead of leaving it as it was.
    copyObjectGroup(m);
    EXPECT_NE(m->obPaste->state.get(), afterFirst);
    EXPECT_TRUE(m->obPaste->checked());
}

TEST_F(GroupsTest, PasteBeforeCopyEmptiesTheGroup) {
    showGroups(3, 1);
    gSelection = {item(table)};
    setObjectGroup(m);
    SetStringText(m->objectNotes[3][1], "old");
    pasteObjectGroup(m);
    EXPECT_EQ(m->objectItems[3][1]->itemCount, 0);
    EXPECT_STREQ(m->objectNotes[3][1]->text, "");
}

TEST_F(GroupsTest, ObjectGroupControlsGhostedUntilBothGroupsHoldMembers) {
    showGroups(0, 0);
    gSelection = {item(key)};
    setLightGroup(m, 0);
    EXPECT_FALSE(m->objectItems[0][0]->ghosted.get());
    EXPECT_TRUE(m->objectBoost[0][0]->ghosted.get());
    EXPECT_FALSE(m->obSet->ghosted.get());
    EXPECT_EQ(m->objectIndicator[0]->y, 81 - 800);
    gSelection = {item(table)};
    setObjectGroup(m);
    EXPECT_FALSE(m->objectBoost[0][0]->ghosted.get());
    EXPECT_FALSE(m->objectShadow[0][0]->ghosted.get());
    EXPECT_EQ(m->objectIndicator[0]->y, 81);
    EXPECT_TRUE(m->objectItems[1][0]->ghosted.get());  // light group 2 has no lights

    // The object indicators follow the light group shown.
    m->lgTab->currentPage = 1;
    applyDependentRules(m);
    EXPECT_EQ(m->objectIndicator[0]->y, 81 - 800);
    EXPECT_TRUE(m->obSet->ghosted.get());
}

TEST_F(GroupsTest, GroupFactorsThroughTheMaster) {
    gSelection = {item(key)};
    setLightGroup(m, 0);
    setLightGroup(m, 2);
    m->lightGroupBoost[0]->value = 2.0;
    m->lightGroupBoost[2]->value = 0.5;
    m->lightGroupBoost[7]->value = 0.0;  // an empty group has no effect
    showGroups(0, 1);
    gSelection = {item(table)};
    setObjectGroup(m);
    m->objectBoost[0][1]->value = 3.0;
    m->objectShadow[0][1]->value = 0.25;

    const std::uint32_t mask = masterLightGroupMask(item(key));
    EXPECT_EQ(mask, 0x5u);
    double f = 1.0, shadow = 1.0;
    masterApplyGroupFactors(mask, item(chair), f, shadow);
    EXPECT_DOUBLE_EQ(f, 1.0);
    EXPECT_DOUBLE_EQ(shadow, 1.0);
    masterApplyGroupFactors(mask, item(table), f, shadow);
    EXPECT_DOUBLE_EQ(f, 3.0);
    EXPECT_DOUBLE_EQ(shadow, 0.25);
    EXPECT_EQ(masterLightGroupMask(item(fill)), 0u);

    destroyMaster(m);
    m = nullptr;
    EXPECT_EQ(masterLightGroupMask(item(key)), 0u);
    f = shadow = 1.0;
    masterApplyGroupFactors(0x5u, item(table), f, shadow);
    EXPECT_DOUBLE_EQ(f, 1.0);
}

TEST_F(GroupsTest, NotesRelabelSurfacesAndDestroyRevertsToNumbers) {
    ASSERT_EQ(gRelabels.size(), 1u);  // the new master relabelled the surfaces with its (empty) notes
    EXPECT_EQ(gRelabels[0], ",");
    gRelabels.clear();
    SetStringText(m->lightNotes[0], "Key");
    SetStringText(m->lightNotes[1], "Fill");
    NotifyValueChanged(m->lightNotes[1], false);
    ASSERT_EQ(gRelabels.size(), 1u);
    EXPECT_EQ(gRelabels[0], "Key,Fill");
    const char* notes[kLightGroupCount];
    ASSERT_TRUE(masterGroupNotes(notes));
    EXPECT_STREQ(notes[0], "Key");
    destroyMaster(m);
    m = nullptr;
    ASSERT_EQ(gRelabels.size(), 2u);
    EXPECT_EQ(gRelabels[1], "(none)");
    EXPECT_FALSE(masterGroupNotes(notes));
}

TEST_F(GroupsTest, ChangeIdRenumbersMembersAndAlwaysTellsPreviews) {
    gSelection = {item(key)};
    setLightGroup(m, 3);
    ItemIdPair empty[] = {{nullptr, nullptr}};
    changeMasterItemIds(m, empty);
    EXPECT_EQ(gPreviewIdChanges, 1);
    EXPECT_EQ(m->lightItems[3]->items[0], item(key));

    // Through the host's flat list of (old, new) pairs ending at an old ID of 0.
    const HostItemId ids[] = {reinterpret_cast<HostItemId>(item(key)), reinterpret_cast<HostItemId>(item(rim)),
                              nullptr};
    masterHandlerChangeId(m, ids);
    EXPECT_EQ(gPreviewIdChanges, 2);
    EXPECT_EQ(m->lightItems[3]->items[0], item(rim));
}

}  // namespace
}  // namespace orvik
