// The master's settings survive a save into scene text and a load into a
// fresh master, groups included; transient controls stay out of the text.
#include <gtest/gtest.h>

#include <string>

#include "master/master_events.h"
#include "master/master_instance.h"
#include "master/master_panel.h"
#include "panels/button_control.h"
#include "panels/color_control.h"
#include "panels/item_list_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "persist/instance_settings.h"
#include "persist/memory_stream.h"
#include "persist/test_scene.h"

namespace orvik {
namespace {

TEST(MasterSettings, SaveAndLoadIntoAFreshMaster) {
    testing::ScopedScene scene;
    testing::SceneItem* key = scene->Add("Key Light", kItemLight);
    testing::SceneItem* table = scene->Add("Table", kItemObject);

    MasterInstance* m = createMaster(nullptr);
    ASSERT_NE(m, nullptr);
    m->lightBoost->value = 1.7;
    m->doClip->state = kCheckOn;
    m->grainAnimated->state = 0;
    m->ambMid->green = 40;
    SetStringText(m->lightNotes[2], "Key group");
    AddListItem(m->lightItems[2], key);
    AddListItem(m->objectItems[2][5], table);
    m->objectBoost[2][5]->value = 3.0;
    m->pin->state = kCheckOn;
    SetStringText(m->clipNotes, "clipboard");

    MemoryWriter writer(1 << 20);
    ASSERT_EQ(SaveInstanceSettings(m, writer.state()), nullptr);
    ASSERT_FALSE(writer.overflowed());
    const std::string text(writer.bytes().begin(), writer.bytes().end());
    EXPECT_NE(text.find("LIGHTBOOST"), std::string::npos);
    EXPECT_NE(text.find("Key Light"), std::string::npos);
    EXPECT_EQ(text.find("CPStr"), std::string::npos);
    EXPECT_EQ(text.find("clipboard"), std::string::npos);
    EXPECT_EQ(text.find(" PIN"), std::string::npos);
    destroyMaster(m);

    m = createMaster(nullptr);
    ASSERT_NE(m, nullptr);
    MemoryReader reader(writer.bytes().data(), writer.bytes().size());
    EXPECT_EQ(LoadInstanceSettings(m, reader.state()), nullptr);
    // The first host command after a load finishes it.
    handleMasterEvent(m, kEventCommand, "LoadScene", nullptr, nullptr);

    EXPECT_DOUBLE_EQ(m->lightBoost->value.get(), 1.7);
    EXPECT_TRUE(IsButtonOn(m->doClip));
    EXPECT_FALSE(IsButtonOn(m->grainAnimated));
    EXPECT_EQ(m->ambMid->green.get(), 40);
    EXPECT_STREQ(m->lightNotes[2]->text, "Key group");
    ASSERT_EQ(m->lightItems[2]->itemCount, 1);
    EXPECT_EQ(m->lightItems[2]->items[0], key);
    ASSERT_EQ(m->objectItems[2][5]->itemCount, 1);
    EXPECT_EQ(m->objectItems[2][5]->items[0], table);
    EXPECT_DOUBLE_EQ(m->objectBoost[2][5]->value.get(), 3.0);
    EXPECT_FALSE(IsButtonOn(m->pin));
    // The loaded members took effect on the panel.
    EXPECT_FALSE(m->lightGroupBoost[2]->ghosted.get());
    EXPECT_FALSE(m->objectBoost[2][5]->ghosted.get());
    EXPECT_FALSE(m->clipHue->ghosted.get());
    destroyMaster(m);
}

}  // namespace
}  // namespace orvik
