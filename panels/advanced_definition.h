// The advanced definition dialog of a numeric control: a working copy of
// the control, the mode choice, the reference rows, and the preview of the
// resulting curve with its summary line. Building and updating the dialog
// needs no window; the window layer only opens it modally.
#pragma once

#include "panels/panel.h"

namespace orvik {

struct AdvancedDialog {
  Panel* panel = nullptr;
  NumericControl* target = nullptr;   // the control being defined
  NumericControl* working = nullptr;  // working copy, outside any chain
  ChoiceControl* mode = nullptr;      // "IGNORE1"
  LabelControl* summary = nullptr;    // "IGNORE2"
  GraphControl* graph = nullptr;      // "GRAPH"
  NumericControl* lowFrame = nullptr;   // "LOWGRAPH"
  NumericControl* highFrame = nullptr;  // "HIGHGRAPH"
  LabelControl* lowClip = nullptr;      // "IGNORE3", when clampLow
  LabelControl* highClip = nullptr;     // "IGNORE4", when clampHigh
  ItemListControl* object1 = nullptr;   // "Obj1"
  ItemListControl* object2 = nullptr;   // "Obj2"
  NumericControl* baseValue = nullptr;  // "f"
  NumericControl* perFrame = nullptr;   // "linear"
};

// Builds the dialog panel for the control (null when memory runs out).
AdvancedDialog* BuildAdvancedDialog(NumericControl* c);
void DestroyAdvancedDialog(AdvancedDialog* d);

// Shows the rows that belong to the selected mode.
void ShowAdvancedRows(AdvancedDialog* d);
// Samples the working copy over the frame range into the graph and the
// summary line.
void RecomputeAdvancedSummary(AdvancedDialog* d);

// The "A" button's click hook: Shift-click makes an animated control fixed;
// a plain click opens the dialog modally and, when it is accepted, takes the
// definition into the control.
void OpenAdvancedDefinition(Control* button);

}  // namespace orvik
