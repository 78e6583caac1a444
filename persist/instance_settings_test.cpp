#include "persist/instance_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/image_control.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "persist/memory_stream.h"
#include "persist/settings_block.h"
#include "persist/test_scene.h"

namespace orvik {
namespace {

using testing::ScopedScene;
using testing::SceneItem;

// An instance as the handlers see it: its Panel first.
struct Instance {
  Panel* panel = nullptr;
  ~Instance() { DestroyPanel(panel); }
};

std::string Save(Instance& instance) {
  MemoryWriter writer(100000);
  EXPECT_EQ(SaveInstanceSettings(&instance, writer.state()), nullptr);
  return std::string(writer.bytes().begin(), writer.bytes().end());
}

// Loads text as the host's load callback does (errors shown, loadPending set).
void Load(Instance& instance, const std::string& text) {
  MemoryReader reader(text.c_str(), text.size() + 1);
  EXPECT_EQ(LoadInstanceSettings(&instance, reader.state()), nullptr);
}

const char* LoadMessage(Instance& instance, const std::string& text) {
  MemoryReader reader(text.c_str(), text.size() + 1);
  return LoadSettingsFromText(&instance, reader.state());
}

std::string WithoutSavedLine(const std::string& text) {
  size_t at = text.find("# Saved ");
  if (at == std::string::npos) return text;
  return text.substr(0, at) + text.substr(text.find("\r\n", at) + 2);
}

// A surface-like panel with a numeric LUMINOUS control and a colour.
void BuildSmallPanel(Instance& instance, const char* blockName = "Orvik") {
  instance.panel = CreatePanel(blockName, &instance, 0);
  instance.panel->settingsVersion = 1.5;
  NumericControl* n = AddNumericControl("LUMINOUS", 10, 10, instance.panel);
  n->value = 0.5;
  AddColorControl("TINT", 10, 30, instance.panel);
}

NumericControl* Numeric(Instance& instance, const char* key) {
  return AsNumeric(FindControl(instance.panel, key));
}

class InstanceSettings : public ::testing::Test {
 protected:
  ScopedScene scene;
};

TEST_F(InstanceSettings, BlockFrameAndRecordIndent) {
  Instance instance;
  BuildSmallPanel(instance);
  std::string text = Save(instance);
  EXPECT_EQ(text.rfind("BEGIN MORVANE_PLUGIN Orvik\r\n# ", 0), 0u);
  EXPECT_NE(text.find("x86 Orvik Version 1.5-HY Jul 25 2003\r\n# Saved "), std::string::npos);
  // ctime's own line feed comes before the CR LF of the line.
  EXPECT_NE(text.find("\n\r\nVERSION 1.5\r\n BEGIN NUM LUMINOUS\r\n VALUE 0.5\r\n END\r\n"),
            std::string::npos);
  EXPECT_NE(text.find(" BEGIN COLOR TINT\r\n  RED 0\r\n"), std::string::npos);
  std::string end = text.substr(text.rfind("END MORVANE_PLUGIN"));
  EXPECT_TRUE(end == "END MORVANE_PLUGIN Orvik\r\n" || end == "END MORVANE_PLUGIN Orvik \r\n");
}

TEST_F(InstanceSettings, BlockTotalIsAlwaysEven) {
  // The writer's byte total counts each line's characters plus one; in memory
  // each line carries one byte more (CR LF), so the total is size - lines.
  for (const char* name : {"Orvik", "Orvik2", "X"}) {
    for (double value : {0.5, 0.25, 10.0}) {
      Instance instance;
      BuildSmallPanel(instance, name);
      Numeric(instance, "LUMINOUS")->value = value;
      std::string text = Save(instance);
      long lines = 0;
      for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
      EXPECT_EQ((static_cast<long>(text.size()) - lines) % 2, 0) << name << " " << value;
    }
  }
}

TEST_F(InstanceSettings, SaveFailures) {
  MemoryWriter writer(4096);
  EXPECT_STREQ(SaveInstanceSettings(nullptr, writer.state()), kMsgNoInstance);

  Instance instance;
  BuildSmallPanel(instance);
  instance.panel->settingsVersion = 0.0;
  EXPECT_STREQ(SaveInstanceSettings(&instance, writer.state()), kMsgBadVersion);
  std::string text(writer.bytes().begin(), writer.bytes().end());
  EXPECT_EQ(text.find("VERSION"), std::string::npos);
  EXPECT_EQ(text.find("END"), std::string::npos);
  EXPECT_NE(text.find("# Saved"), std::string::npos);

  NumericControl* notAPanel = Numeric(instance, "LUMINOUS");
  struct {
    Control* first;
  } wrong{notAPanel};
  EXPECT_STREQ(SaveInstanceSettings(&wrong, writer.state()), kMsgInvalidAtSave);
}

TEST_F(InstanceSettings, SaveRunsPendingAfterLoadWorkFirst) {
  Instance instance;
  BuildSmallPanel(instance);
  SceneItem* cube = scene->Add("Cube", kItemObject);
  Load(instance, "BEGIN MORVANE_PLUGIN Orvik\nBEGIN NUM LUMINOUS\n ANIMATE XPOS\n REF1ITEM\n"
                 "OBJECT 1 1 4 @Cube\nEND\nEND MORVANE_PLUGIN Orvik\n");
  EXPECT_EQ(instance.panel->loadPending.get(), 1);
  EXPECT_EQ(Numeric(instance, "LUMINOUS")->reference1.get(), nullptr);  // pending
  std::string text = Save(instance);
  EXPECT_EQ(instance.panel->loadPending.get(), 0);
  EXPECT_EQ(Numeric(instance, "LUMINOUS")->reference1.get(), cube);
  EXPECT_NE(text.find("  REF1ITEM\r\n OBJECT 1 1 4 @Cube\r\n"), std::string::npos);
}

TEST_F(InstanceSettings, HeaderVariantsCommentsAndUnknownRecords) {
  Instance instance;
  BuildSmallPanel(instance);
  // No VERSION line; comments and blanks in records; an unknown key skipped
  // line by line; a key in lower case does not match; a master block's name.
  Load(instance,
       "BEGIN MORVANE_PLUGIN OrvikMaster\n"
       "BEGIN NUM NOSUCHKEY\n VALUE 9\nEND\n"
       "BEGIN NUM luminous\n VALUE 7\nEND\n"
       "BEGIN COLOR TINT\n# inside a record\n\n  RED 12\n/ another\n GREEN 13\nEND\n"
       "END MORVANE_PLUGIN OrvikMaster \n"
       "BEGIN COLOR TINT\n RED 99\nEND\n");
  EXPECT_TRUE(scene->errors.empty());
  EXPECT_DOUBLE_EQ(Numeric(instance, "LUMINOUS")->value.get(), 0.5);
  auto* tint = AsColor(FindControl(instance.panel, "TINT"));
  EXPECT_EQ(tint->red.get(), 12);  // the record after the end line is not read
  EXPECT_EQ(tint->green.get(), 13);
}

TEST_F(InstanceSettings, MissingEndLineIsNoError) {
  Instance instance;
  BuildSmallPanel(instance);
  Load(instance, "BEGIN MORVANE_PLUGIN Orvik\nVERSION 1.5\nBEGIN NUM LUMINOUS\n VALUE 0.125\nEND\n");
  EXPECT_TRUE(scene->errors.empty());
  EXPECT_DOUBLE_EQ(Numeric(instance, "LUMINOUS")->value.get(), 0.125);
}

TEST_F(InstanceSettings, EveryLoadMessageWithItsLinePosition) {
  struct Case {
    const char* text;
    const char* message;
    const char* position;
  };
  const Case cases[] = {
      {"", kMsgNothingLoaded, "Line 2: "},
      {"HELLO WORLD\n", kMsgWrongFileType, "Line 2: HELLO WORLD"},
      {"BEGIN\n", kMsgNotSaveFile, "Line 2: BEGIN"},
      {"BEGIN OTHER X\n", kMsgBrokenSaveFile, "Line 2: BEGIN OTHER X"},
      {"BEGIN MORVANE_PLUGIN\n", kMsgCorruptedSaveFile, "Line 2: BEGIN MORVANE_PLUGIN"},
      {"BEGIN MORVANE_PLUGIN Orvik\n", kMsgNoLineB, "Line 3: BEGIN MORVANE_PLUGIN Orvik"},
      {"# c\nBEGIN MORVANE_PLUGIN Orvik\nVERSION\n", kMsgBadTokenD, "Line 4: VERSION"},
      {"BEGIN MORVANE_PLUGIN Orvik\nVERSION 1.5\n", kMsgNoLineC, "Line 4: VERSION 1.5"},
      {"BEGIN MORVANE_PLUGIN Orvik\nBEGIN NUM\n", kMsgBadTokenG, "Line 3: BEGIN NUM"},
  };
  for (const Case& c : cases) {
    Instance instance;
    BuildSmallPanel(instance);
    scene->errors.clear();
    Load(instance, c.text);
    ASSERT_EQ(scene->errors.size(), 1u) << c.text;
    EXPECT_EQ(scene->errors[0].first, c.message) << c.text;
    EXPECT_EQ(scene->errors[0].second, c.position) << c.text;
    EXPECT_EQ(instance.panel->loadPending.get(), 1) << c.text;
  }
}

TEST_F(InstanceSettings, ValuesReadBeforeAFailureStay) {
  Instance instance;
  BuildSmallPanel(instance);
  EXPECT_STREQ(LoadMessage(instance, "BEGIN MORVANE_PLUGIN Orvik\nBEGIN NUM LUMINOUS\nVALUE 0.9\n"
                                     "END\nBEGIN RADIO\n"),
               kMsgBadTokenG);
  EXPECT_DOUBLE_EQ(Numeric(instance, "LUMINOUS")->value.get(), 0.9);
  EXPECT_STREQ(LoadSettingsFromText(nullptr, nullptr), kMsgNoInstance);
  struct {
    Control* first;
  } wrong{FindControl(instance.panel, "TINT")};
  EXPECT_STREQ(LoadSettingsFromText(&wrong, nullptr), kMsgInvalidAtLoad);
}

TEST_F(InstanceSettings, RecordFailuresAreNotShownAndTheBlockGoesOn) {
  Instance instance;
  BuildSmallPanel(instance);
  AddChoiceControl("MODE", 0, 0, instance.panel);
  Load(instance,
       "BEGIN MORVANE_PLUGIN Orvik\n"
       "BEGIN RADIO MODE\n CHOICE 1\nEND\n"
       "BEGIN NUM LUMINOUS\n VALUE 0.3\nEND\n"
       "END MORVANE_PLUGIN Orvik\n");
  EXPECT_TRUE(scene->errors.empty());
  EXPECT_DOUBLE_EQ(Numeric(instance, "LUMINOUS")->value.get(), 0.3);
}

// ---- every control kind, saved, loaded into a fresh panel, saved again ----

struct EveryKind {
  SceneItem* arm;
  SceneItem* elbow;
  SceneItem* light2;
  SceneItem* cube;
};

EveryKind BuildScene(testing::TestScene& scene) {
  EveryKind k;
  k.cube = scene.Add("Cube", kItemObject);
  scene.Add("Light", kItemLight);
  k.light2 = scene.Add("Light (2)", kItemLight);
  k.arm = scene.Add("Arm", kItemObject);
  k.elbow = scene.Add("Elbow", kItemBone, k.arm);
  scene.AddImage("wood", "/content/images/wood.png");
  return k;
}

void BuildEveryKind(Instance& instance) {
  Panel* p = CreatePanel("Orvik", &instance, 0);
  instance.panel = p;
  p->settingsVersion = 1.5;
  AddLabelControl("CAPTION", 0, 0, p);
  AddNumericControl("FIXED", 0, 0, p);
  NumericControl* integer = AddPlacedNumericControl("COUNT", 0, 0, p);
  integer->displayMode = kDisplayInteger;
  AddNumericControl("LINEAR", 0, 0, p);
  AddNumericControl("SEPARATION", 0, 0, p);
  AddNumericControl("BONEY", 0, 0, p);
  AddColorControl("TINT", 0, 0, p);
  AddStringControl("NAME", 0, 0, p);
  AddImageControl("TEXTURE", 0, 0, p);
  ChoiceControl* choice = AddChoiceControl("MODE", 0, 0, p);
  const char* labels[] = {"One", "Two", "Three"};
  SetChoiceLabels(choice, labels, 3);
  ListControl* list = AddListControl("ROWS", 0, 0, p);
  for (int i = 0; i < 20; ++i) AddListRow(list, "row");
  ItemListControl* items = AddItemControl("ITEMS", 0, 0, p);
  items->allowAllLights = 1;
  AddButtonControl("PUSH", 0, 0, p);
  AddCheckButton("CHECK", 0, 0, p);
}

void ChangeEveryValue(Instance& instance, const EveryKind& k) {
  Panel* p = instance.panel;
  Numeric(instance, "FIXED")->value = 0.123456;
  Numeric(instance, "COUNT")->value = 7;
  NumericControl* linear = Numeric(instance, "LINEAR");
  linear->animateMode = kAnimateLinear;
  linear->value = 2.5;
  linear->linearRate = -0.01;
  NumericControl* separation = Numeric(instance, "SEPARATION");
  separation->animateMode = kAnimateSeparation;
  separation->reference1 = k.cube;
  separation->reference2 = k.light2;
  NumericControl* boney = Numeric(instance, "BONEY");
  boney->animateMode = 2;
  boney->reference1 = k.elbow;
  auto* tint = AsColor(FindControl(p, "TINT"));
  tint->red = 10;
  tint->green = 200;
  tint->blue = 255;
  SetStringText(AsString(FindControl(p, "NAME")), "a name with  blanks @ and at");
  AsImage(FindControl(p, "TEXTURE"))->image = GetToolkitHost().findImage("wood");
  AsChoice(FindControl(p, "MODE"))->selection = 2;
  auto* list = AsList(FindControl(p, "ROWS"));
  list->selected[1] = list->selected[19] = 1;
  auto* items = AsItemList(FindControl(p, "ITEMS"));
  AddListItem(items, k.light2);
  AddListItem(items, k.elbow);
  AddListItem(items, k.cube);
  AsButton(FindControl(p, "PUSH"))->state = kButtonHighlighted;
  AsButton(FindControl(p, "CHECK"))->state = kButtonHighlighted | kButtonChecked;
}

TEST_F(InstanceSettings, EveryKindSurvivesSaveLoadSaveByteForByte) {
  EveryKind k = BuildScene(*scene);
  scene->images.back().known = true;
  Instance original;
  BuildEveryKind(original);
  ChangeEveryValue(original, k);
  std::string first = Save(original);

  Instance fresh;
  BuildEveryKind(fresh);
  Load(fresh, first);
  EXPECT_TRUE(scene->errors.empty());
  std::string second = Save(fresh);
  EXPECT_EQ(WithoutSavedLine(first), WithoutSavedLine(second));

  // The values themselves arrived, references resolved by the after-load work.
  EXPECT_DOUBLE_EQ(Numeric(fresh, "FIXED")->value.get(), 0.123456);
  EXPECT_EQ(Numeric(fresh, "SEPARATION")->reference2.get(), k.light2);
  EXPECT_EQ(Numeric(fresh, "BONEY")->reference1.get(), k.elbow);
  EXPECT_EQ(AsImage(FindControl(fresh.panel, "TEXTURE"))->image.get(),
            AsImage(FindControl(original.panel, "TEXTURE"))->image.get());
  EXPECT_EQ(AsItemList(FindControl(fresh.panel, "ITEMS"))->itemCount, 3);
  EXPECT_STREQ(AsString(FindControl(fresh.panel, "NAME"))->text, "a name with  blanks @ and at");

  // What the text holds for the worked examples.
  EXPECT_NE(first.find(" LIGHT 2 2 5 @Light\r\n"), std::string::npos);
  EXPECT_NE(first.find(" PARENT 1 1 3 @Arm\r\n BONE 1 1 5 @Elbow\r\n"), std::string::npos);
  EXPECT_NE(first.find("  FILENAME 15 @images/wood.png\r\n"), std::string::npos);
  EXPECT_NE(first.find(" BEGIN NUM LINEAR\r\n  ANIMATE LINEAR\r\n VALUE 2.5\r\n  LINEAR -0.01\r\n"),
            std::string::npos);
}

TEST_F(InstanceSettings, ImagesGoneFromTheHostAndEmptyTextsWriteNoRecord) {
  BuildScene(*scene);
  Instance instance;
  BuildEveryKind(instance);
  auto* image = AsImage(FindControl(instance.panel, "TEXTURE"));
  image->image = &scene->images.back();
  scene->images.back().known = false;
  std::string text = Save(instance);
  EXPECT_EQ(image->image.get(), nullptr);
  EXPECT_EQ(text.find("IMNAME"), std::string::npos);
  EXPECT_EQ(text.find("BEGIN STRING"), std::string::npos);
  EXPECT_EQ(text.find("BEGIN ITEM"), std::string::npos);
  EXPECT_EQ(text.find("CAPTION"), std::string::npos);
}

}  // namespace
}  // namespace orvik
