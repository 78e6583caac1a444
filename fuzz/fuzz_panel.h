// The panel the settings harnesses load into: one control of every
// persistent kind whose reader runs without the host (images are left out:
// finding an image opens files by name), under the keys the dictionary uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "panels/choice_control.h"
#include "panels/cut_paste_control.h"
#include "panels/item_list_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"

namespace orvik::fuzzing {

// Inputs beyond this size teach the harnesses nothing new.
constexpr size_t kMaxInputBytes = 1 << 16;

struct FuzzInstance {
  Panel* panel = nullptr;
  CutPasteControl* pair = nullptr;

  FuzzInstance() {
    panel = CreatePanel("Orvik", this, 0);
    panel->settingsVersion = 1.5;
    pair = AddCutPastePair("PAIR", 0, 0, panel);
    BeginCutPasteRange(pair);
    AddNumericControl("NUM", 0, 0, panel);
    NumericControl* integer = AddPlacedNumericControl("INT", 0, 0, panel);
    integer->displayMode = kDisplayInteger;
    integer->clampHigh = 1;
    integer->maximum = 10;
    AddColorControl("COL", 0, 0, panel);
    AddStringControl("STR", 0, 0, panel);
    ChoiceControl* choice = AddChoiceControl("RAD", 0, 0, panel);
    const char* labels[] = {"a", "b", "c"};
    SetChoiceLabels(choice, labels, 3);
    ListControl* list = AddListControl("LST", 0, 0, panel);
    for (int i = 0; i < 8; ++i) AddListRow(list, "row");
    AddItemControl("ITM", 0, 0, panel);
    AddButtonControl("BTN", 0, 0, panel);
    EndCutPasteRange(pair);
  }
  ~FuzzInstance() { DestroyPanel(panel); }
  FuzzInstance(const FuzzInstance&) = delete;
  FuzzInstance& operator=(const FuzzInstance&) = delete;
};

}  // namespace orvik::fuzzing
