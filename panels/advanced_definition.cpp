#include "panels/advanced_definition.h"

#include <new>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/graph_control.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

// The frame-range fields are this much narrower than a usual numeric field.
constexpr int kFrameFieldNarrowing = 10;
constexpr int kGraphWidth = 450;
constexpr int kGraphHeight = 128;
constexpr int kReferenceRowWidth = 190;
constexpr double kHighFrameDefault = 250.0;

AdvancedDialog* DialogOf(Control* c) {
  Panel* p = PanelOf(c);
  return p != nullptr ? static_cast<AdvancedDialog*>(p->panelData) : nullptr;
}

void ModeChanged(Control* c) {
  AdvancedDialog* d = DialogOf(c);
  if (d == nullptr) return;
  d->working->animateMode = d->mode->selection.get();
  ShowAdvancedRows(d);
  RecomputeAdvancedSummary(d);
}

void ReferenceChanged(Control* c) {
  AdvancedDialog* d = DialogOf(c);
  ItemListControl* l = AsItemList(c);
  if (d == nullptr || l == nullptr) return;
  ItemHandle item = l->itemCount > 0 ? l->items[0] : nullptr;
  if (l == d->object1) d->working->reference1 = item;
  if (l == d->object2) d->working->reference2 = item;
  RecomputeAdvancedSummary(d);
}

void BaseChanged(Control* c) {
  AdvancedDialog* d = DialogOf(c);
  if (d == nullptr) return;
  d->working->value = d->baseValue->value.get();
  RecomputeAdvancedSummary(d);
}

void RateChanged(Control* c) {
  AdvancedDialog* d = DialogOf(c);
  if (d == nullptr) return;
  d->working->linearRate = d->perFrame->value.get();
  RecomputeAdvancedSummary(d);
}

void FrameRangeChanged(Control* c) {
  if (AdvancedDialog* d = DialogOf(c)) RecomputeAdvancedSummary(d);
}

void AddPoint(void* data, double f, double v) { AddGraphPoint(static_cast<GraphControl*>(data), f, v); }

NumericControl* FrameField(const char* key, int x, int y, double value, Panel* panel) {
  NumericControl* n = AddPlacedNumericControl(key, x, y, panel);
  if (n == nullptr) return nullptr;
  n->allowAdvanced = 0;
  n->hasDragButton = 0;
  n->width -= kFrameFieldNarrowing;
  n->valueHook = FrameRangeChanged;
  SetNumberDefault(n, value);
  return n;
}

ItemListControl* ReferenceRow(const char* key, int x, int y, const char* caption, ItemHandle item, Panel* panel) {
  ItemListControl* l = AddItemControl(key, x, y, panel);
  if (l == nullptr) return nullptr;
  l->singleItem = 1;
  l->maxItems = 1;
  l->allowAllLights = 1;
  l->width = kReferenceRowWidth;
  CopyText(l->label, caption);
  if (item != nullptr) AddListItem(l, item);
  l->valueHook = ReferenceChanged;
  return l;
}

}  // namespace

AdvancedDialog* BuildAdvancedDialog(NumericControl* c) {
  if (c == nullptr) return nullptr;
  AdvancedDialog* d = new (std::nothrow) AdvancedDialog;
  if (d == nullptr) return nullptr;
  d->target = c;

  // The working copy: the control's own reset, then its values.
  d->working = new (std::nothrow) NumericControl;
  char title[Panel::kMaxTitle + 1];
  if (c->label[0] != '\0') {
    FormatText(title, sizeof title, "Advanced Definition of  \"%s\"", c->label);
  } else {
    CopyText(title, "Advanced Numeric Control Definition");
  }
  d->panel = CreatePanel(title, nullptr, 0);
  if (d->working == nullptr || d->panel == nullptr) {
    DestroyAdvancedDialog(d);
    return nullptr;
  }
  InitControlRecord(d->working, kKindNumeric, c->key.c_str());
  if (c->ops.reset != nullptr) c->ops.reset(d->working);
  if (c->ops.copyValue != nullptr) c->ops.copyValue(c, d->working);
  CopyText(d->panel->blockName, "I");
  d->panel->settingsVersion = 1.0;
  d->panel->panelData = d;
  Panel* p = d->panel;

  d->mode = AddChoiceControl("IGNORE1", 210, 30, p);
  d->summary = AddLabelControl("IGNORE2", 300, 260, p);
  d->graph = AddGraphControl("GRAPH", 75, 280, p);
  d->lowFrame = FrameField("LOWGRAPH", 52, 420, 0.0, p);
  d->highFrame = FrameField("HIGHGRAPH", 502, 418, kHighFrameDefault, p);
  if (d->mode == nullptr || d->summary == nullptr || d->graph == nullptr || d->lowFrame == nullptr ||
      d->highFrame == nullptr) {
    DestroyAdvancedDialog(d);
    return nullptr;
  }
  const char* labels[kAnimateModeCount];
  for (int i = 0; i < kAnimateModeCount; ++i) labels[i] = AnimateModeLabel(i);
  SetChoiceLabels(d->mode, labels, kAnimateModeCount);
  const int mode = c->animateMode.get();
  d->mode->selection = mode >= 0 && mode < kAnimateModeCount ? mode : 0;
  d->mode->valueHook = ModeChanged;
  d->graph->plotWidth = kGraphWidth;
  d->graph->plotHeight = kGraphHeight;
  d->graph->percentY = c->displayMode == kDisplayPercent ? 1 : 0;
  if (c->clampLow) {
    d->lowClip = AddLabelControl("IGNORE3", 290, 205, p);
    if (d->lowClip != nullptr) SetControlTextFormatted(d->lowClip, 0, "Value is clipped to a low limit of %.3f.", c->minimum);
  }
  if (c->clampHigh) {
    d->highClip = AddLabelControl("IGNORE4", 290, 227, p);
    if (d->highClip != nullptr) SetControlTextFormatted(d->highClip, 0, "Value is clipped to a high limit of %.3f.", c->maximum);
  }

  // The rows of the modes.
  d->object1 = ReferenceRow("Obj1", 355, 95, "Reference Object:", c->reference1.get(), p);
  d->object2 = ReferenceRow("Obj2", 355, 140, "Second Object:", c->reference2.get(), p);
  d->baseValue = AddPlacedNumericControl("f", 400, 50, p);
  d->perFrame = AddPlacedNumericControl("linear", 400, 70, p);
  if (d->object1 == nullptr || d->object2 == nullptr || d->baseValue == nullptr || d->perFrame == nullptr) {
    DestroyAdvancedDialog(d);
    return nullptr;
  }
  NumericControl* f = d->baseValue;

  if (c->ops.copyValue != nullptr) c->ops.copyValue(c, f);
  f->allowAdvanced = 0;
  f->animateMode = kAnimateFixed;
  f->reference1 = nullptr;
  f->reference2 = nullptr;
  CopyText(f->label, "Frame 1 Base Value:");
  f->valueHook = BaseChanged;
  FormatNumber(f, f->editText, sizeof f->editText);

  NumericControl* r = d->perFrame;
  r->displayMode = c->displayMode;
  r->clampLow = 0;
  r->clampHigh = 0;
  r->limitDragLow = 0;
  r->limitDragHigh = 0;
  r->dragStep = c->dragStep / 100.0;
  r->precision = c->precision + 2;
  r->allowAdvanced = 0;
  CopyText(r->label, "Change per Frame:");
  r->valueHook = RateChanged;
  SetNumberDefault(r, c->linearRate);

  ShowAdvancedRows(d);
  RecomputeAdvancedSummary(d);
  return d;
}

void DestroyAdvancedDialog(AdvancedDialog* d) {
  if (d == nullptr) return;
  if (d->panel != nullptr) {
    d->panel->panelData = nullptr;
    DestroyPanel(d->panel);
  }
  delete d->working;
  delete d;
}

void ShowAdvancedRows(AdvancedDialog* d) {
  if (d == nullptr) return;
  const int mode = d->mode->selection.get();
  const bool reference = mode >= kAnimateXPosition && mode <= kAnimateSeparation;
  SetControlHidden(d->object1, reference ? 0 : 1);
  SetControlHidden(d->object2, mode == kAnimateSeparation ? 0 : 1);
  SetControlHidden(d->baseValue, reference ? 1 : 0);
  SetControlHidden(d->perFrame, mode == kAnimateLinear ? 0 : 1);
}

void RecomputeAdvancedSummary(AdvancedDialog* d) {
  if (d == nullptr) return;
  const ToolkitHost& host = GetToolkitHost();
  const int first = host.firstFrame != nullptr ? host.firstFrame() : 0;
  const int last = host.lastFrame != nullptr ? host.lastFrame() : 0;
  ClearGraphPoints(d->graph);
  NumberSummary s = ComputeNumberSummary(d->working, d->lowFrame->value.get(), d->highFrame->value.get(),
                                         SummarySampleCount(first, last), HostFramesPerSecond(), AddPoint, d->graph);
  SetControlTextFormatted(d->summary, 0, "%s", s.text);
  RefreshControl(d->graph, kRefreshDraw);
}

void OpenAdvancedDefinition(Control* button) {
  ButtonControl* b = AsButton(button);
  NumericControl* c = AsNumeric(button != nullptr ? button->parentControl : nullptr);
  if (b == nullptr || c == nullptr) return;
  if (b->clickModifiers & kClickShift) {
    MakeNumberFixed(c);
    return;
  }
  AdvancedDialog* d = BuildAdvancedDialog(c);
  if (d == nullptr) return;
  const int result = OpenModalPanel(d->panel, PanelOf(c));
  if (result == 0) AcceptAdvancedDefinition(c, d->working);
  DestroyAdvancedDialog(d);
  ShowNumber(c);
  RefreshControl(c, kRefreshAll);
  c->pendingChange = 1;
  if (c->valueHook != nullptr) c->valueHook(c);
}

}  // namespace orvik
