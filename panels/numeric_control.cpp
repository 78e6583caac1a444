#include "panels/numeric_control.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>

#include "panels/advanced_definition.h"
#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/label_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

// A value change smaller than this after typing is no change.
constexpr double kTypedChangeThreshold = 0.0001;
// A drag step smaller than this changes nothing visible.
constexpr double kDragChangeThreshold = 1e-5;
// Guard against a broken host parent chain that loops.
constexpr int kMaxParentDepth = 4096;

void ResetNumeric(Control* c) {
  NumericControl* n = AsNumeric(c);
  if (n == nullptr) return;
  n->value = 0.5;
  n->initialValue = 0.5;
  n->dragStep = 0.05;
  n->minimum = 0.0;
  n->maximum = 100.0;
  n->clampLow = 0;
  n->clampHigh = 0;
  n->sliderLow = 0.0;
  n->sliderHigh = 100.0;
  n->limitDragLow = 1;
  n->limitDragHigh = 1;
  n->displayMode = kDisplayFixed;
  n->precision = 3;
  CopyText(n->label, n->key.c_str());
  n->width = 75;
  n->height = 16;
  n->allowAdvanced = 1;
  n->hasDragButton = 1;
  n->liveUpdate = 1;
  n->reportItems = 1;
  n->reportItemParents = 1;
  n->animateMode = kAnimateFixed;
  n->linearRate = 0.0;
  n->reference1 = nullptr;
  n->reference2 = nullptr;
  n->pendingReference1.Clear();
  n->pendingReference2.Clear();
  n->evaluatedValue = 0.5;
  n->editing = 0;
  n->dragMode = kDragUndecided;
}

void TakeNumericFocus(Control* c) {
  NumericControl* n = AsNumeric(c);
  if (n == nullptr) return;
  const bool canFocus = !n->ghosted.get() && !n->hidden.get() && n->animateMode.get() == 0;
  SetPanelFocus(PanelOf(n), canFocus ? n : nullptr);
}

void CopyNumeric(const Control* source, Control* destination) {
  const NumericControl* s = As<NumericControl>(source);
  NumericControl* d = AsNumeric(destination);
  if (s == nullptr || d == nullptr) return;
  d->value = s->value.get();
  d->initialValue = s->initialValue;
  d->dragStep = s->dragStep;
  d->minimum = s->minimum;
  d->maximum = s->maximum;
  d->clampLow = s->clampLow;
  d->clampHigh = s->clampHigh;
  d->sliderLow = s->sliderLow;
  d->sliderHigh = s->sliderHigh;
  d->limitDragLow = s->limitDragLow;
  d->limitDragHigh = s->limitDragHigh;
  d->displayMode = s->displayMode;
  d->precision = s->precision;
  d->allowAdvanced = s->allowAdvanced;
  d->animateMode = s->animateMode.get();
  d->linearRate = s->linearRate;
  d->reference1 = s->reference1.get();
  d->reference2 = s->reference2.get();
}

// Adds item and, when asked, its chain of parents (for a bone also the
// bone's object and that object's parents).
void AddWithParents(ItemHandle item, bool withParents, UsedItemList* out) {
  if (item == nullptr) return;
  out->Add(item);
  if (!withParents) return;
  ItemHandle p = HostItemParent(item);
  for (int depth = 0; p != nullptr && depth < kMaxParentDepth; ++depth) {
    out->Add(p);
    p = HostItemParent(p);
  }
  if (HostItemType(item) == kItemBone && GetToolkitHost().boneOwner != nullptr) {
    ItemHandle object = GetToolkitHost().boneOwner(item);
    if (object != nullptr) {
      out->Add(object);
      ItemHandle q = HostItemParent(object);
      for (int depth = 0; q != nullptr && depth < kMaxParentDepth; ++depth) {
        out->Add(q);
        q = HostItemParent(q);
      }
    }
  }
}

int ListNumericItems(Control* c, UsedItemList* out) {
  NumericControl* n = AsNumeric(c);
  if (n == nullptr || out == nullptr || !n->reportItems) return 0;
  const int before = out->count;
  AddWithParents(n->reference1.get(), n->reportItemParents != 0, out);
  AddWithParents(n->reference2.get(), n->reportItemParents != 0, out);
  return out->count - before;
}

void ChangeNumericItems(Control* c, const ItemIdPair* pairs) {
  NumericControl* n = AsNumeric(c);
  if (n == nullptr) return;
  n->reference1 = MapItemId(n->reference1.get(), pairs);
  n->reference2 = MapItemId(n->reference2.get(), pairs);
}

ItemHandle ResolvePendingName(const PendingItemName& p) {
  const ToolkitHost& host = GetToolkitHost();
  if (!p.IsSet() || host.findItem == nullptr) return nullptr;
  if (p.type == kItemBone) {
    ItemHandle object = host.findItem(p.parentName, kItemObject, nullptr, p.parentClone, p.parentCount);
    if (object == nullptr) return nullptr;
    return host.findItem(p.name, kItemBone, object, p.clone, p.count);
  }
  return host.findItem(p.name, p.type, nullptr, p.clone, p.count);
}

void NumericAfterLoad(Control* c) {
  NumericControl* n = AsNumeric(c);
  if (n == nullptr) return;
  if (n->pendingReference1.IsSet()) {
    n->reference1 = ResolvePendingName(n->pendingReference1);
    n->pendingReference1.Clear();
  }
  if (n->pendingReference2.IsSet()) {
    n->reference2 = ResolvePendingName(n->pendingReference2);
    n->pendingReference2.Clear();
  }
  if (n->advancedButton != nullptr) SetButtonHighlight(n->advancedButton, n->animateMode.get() != 0);
  ShowNumber(n);
}

double SignedSquare(double d) { return d * std::fabs(d); }

}  // namespace

void PendingItemName::Clear() {
  name[0] = '\0';
  clone = 1;
  count = 1;
  type = kItemObject;
  parentName[0] = '\0';
  parentClone = 1;
  parentCount = 1;
}

double RoundHalfUp(double v) { return std::floor(v + 0.5); }

double ClampNumber(const NumericControl* c, double v) {
  if (c->clampLow && v < c->minimum) v = c->minimum;
  if (c->clampHigh && v > c->maximum) v = c->maximum;
  if (c->displayMode == kDisplayInteger) v = RoundHalfUp(v);
  return v;
}

size_t FormatNumberValue(const NumericControl* c, double v, char* out, size_t capacity) {
  if (out == nullptr || capacity == 0) return 0;
  // The display text never exceeds 30 characters.
  char text[NumericControl::kMaxFormatted + 1];
  char format[32];
  switch (c->displayMode) {
    case kDisplayFixed: {
      int decimals = c->precision < 0 ? 0 : (c->precision > 15 ? 15 : c->precision);
      FormatText(format, sizeof format, "  %%0.%df", decimals);
      FormatText(text, sizeof text, format, v);
      break;
    }
    case kDisplayInteger: {
      double r = RoundHalfUp(v);
      // Out-of-range doubles have no int; show the nearest one that exists.
      int i = std::isnan(r) ? 0 : (r >= INT_MAX ? INT_MAX : (r <= INT_MIN ? INT_MIN : static_cast<int>(r)));
      FormatText(text, sizeof text, "  %d", i);
      break;
    }
    case kDisplayOneDecimal:
      FormatText(text, sizeof text, "  %.1f", v);
      break;
    case kDisplayPercent: {
      int decimals = c->precision - 2 > 1 ? c->precision - 2 : 1;
      if (decimals > 15) decimals = 15;
      FormatText(format, sizeof format, "  %%0.%df%%%%", decimals);
      FormatText(text, sizeof text, format, v * 100.0);
      break;
    }
    default:
      text[0] = '\0';
      break;
  }
  return CopyText(out, capacity, text);
}

size_t FormatNumber(const NumericControl* c, char* out, size_t capacity) {
  return FormatNumberValue(c, c->value.get(), out, capacity);
}

double ParseNumberText(const NumericControl* c, const char* text) {
  double v = std::atof(text != nullptr ? text : "");
  if (c->displayMode == kDisplayPercent) v *= 0.01;
  return ClampNumber(c, v);
}

void ParseNumber(NumericControl* c) {
  if (c == nullptr || !c->hasWindow.get()) return;
  c->value = ParseNumberText(c, c->editText);
}

void ShowNumber(NumericControl* c) {
  if (c == nullptr) return;
  FormatNumber(c, c->editText, sizeof c->editText);
  RefreshControl(c, kRefreshDraw);
}

void SetNumberValue(NumericControl* c, double v) {
  if (c == nullptr) return;
  c->value = ClampNumber(c, v);
  ShowNumber(c);
}

void SetNumberDefault(NumericControl* c, double v) {
  if (c == nullptr) return;
  c->value = v;
  c->initialValue = v;
  FormatNumber(c, c->editText, sizeof c->editText);
}

bool CommitNumberEntry(NumericControl* c) {
  if (c == nullptr || c->ghosted.get() || c->animateMode.get() != 0) return false;
  const double old = c->value.get();
  ParseNumber(c);
  ShowNumber(c);
  const bool changed = std::fabs(c->value.get() - old) >= kTypedChangeThreshold;
  if (changed) NotifyValueChanged(c);
  FocusMove(c, 1);
  return changed;
}

uint32_t NumberEditColor(const NumericControl* c) {
  if (c->ghosted.get() || c->animateMode.get() != 0) return kEditColorGreyed;
  return c->editing.get() ? kEditColorEditing : kEditColorNormal;
}

DragRange StartDragRange(const NumericControl* c) {
  const double v = c->value.get();
  DragRange r{v < c->sliderLow ? v : c->sliderLow, v > c->sliderHigh ? v : c->sliderHigh};
  if (c->clampHigh && r.high > c->maximum) r.high = c->maximum;
  if (c->clampLow && r.low < c->minimum) r.low = c->minimum;
  return r;
}

void DragParkingPoint(int x, int y, int* parkX, int* parkY) {
  *parkX = x < 321 ? 512 : 128;
  *parkY = y < 241 ? 405 : 75;
}

int DecideDragMode(int startX, int startY, int parkX, int parkY, int x, int y) {
  const double dsx = x - startX, dsy = y - startY;
  const double dpx = x - parkX, dpy = y - parkY;
  return dsx * dsx + dsy * dsy <= dpx * dpx + dpy * dpy ? kDragAbsolute : kDragRelative;
}

double RelativeDragStep(int lastX, int x) { return static_cast<double>(x - lastX); }

double AbsoluteDragStep(int startX, int lastX, int x) {
  return 2.0 * (x - lastX) + SignedSquare(x - startX) / 500.0 - SignedSquare(lastX - startX) / 500.0;
}

double ApplyDragStep(const NumericControl* c, double value, double step, bool shift, DragRange* range) {
  double v = value + step * c->dragStep;
  if (shift) {
    if (c->clampHigh && v > c->maximum) v = c->maximum;
    if (c->clampLow && v < c->minimum) v = c->minimum;
    if (v > range->high) range->high = v;
    if (v < range->low) range->low = v;
  } else {
    if (c->limitDragHigh && v > range->high) v = range->high;
    if (c->limitDragLow && v < range->low) v = range->low;
  }
  return v;
}

bool DragNeedsRecentre(int x, int* newX) {
  if (x >= 64 && x <= 576) return false;
  *newX = 320;
  return true;
}

void BeginNumberDrag(NumericControl* c, int x, int y) {
  if (c == nullptr || c->hidden.get() || c->ghosted.get() || c->animateMode.get() != 0) return;
  c->dragStartX = x;
  c->dragStartY = y;
  int parkX = 0, parkY = 0;
  DragParkingPoint(x, y, &parkX, &parkY);
  c->dragLastX = parkX;  // the pointer now sits at the parking point
  c->dragMode = kDragUndecided;
  c->editing = 1;
  ParseNumber(c);
  ShowNumber(c);
  const DragRange r = StartDragRange(c);
  c->dragLow = r.low;
  c->dragHigh = r.high;
}

bool MoveNumberDrag(NumericControl* c, int x, int y, bool shift) {
  if (c == nullptr || !c->editing.get()) return false;
  if (c->dragMode == kDragUndecided) {
    int parkX = 0, parkY = 0;
    DragParkingPoint(c->dragStartX, c->dragStartY, &parkX, &parkY);
    if (x == parkX) return false;  // no horizontal change yet
    c->dragMode = DecideDragMode(c->dragStartX, c->dragStartY, parkX, parkY, x, y);
    // An absolute drag never left its start: measure from there.
    c->dragLastX = c->dragMode == kDragAbsolute ? c->dragStartX : parkX;
  }
  if (x == c->dragLastX) return false;
  const double step = c->dragMode == kDragAbsolute ? AbsoluteDragStep(c->dragStartX, c->dragLastX, x)
                                                   : RelativeDragStep(c->dragLastX, x);
  c->dragLastX = x;
  if (c->dragMode == kDragRelative) DragNeedsRecentre(x, &c->dragLastX);

  const double old = c->value.get();
  DragRange range{c->dragLow, c->dragHigh};
  const double v = ApplyDragStep(c, old, step, shift, &range);
  c->dragLow = range.low;
  c->dragHigh = range.high;
  c->value = v;
  if (std::fabs(v - old) < kDragChangeThreshold) return false;
  if (c->liveUpdate) NotifyValueChanged(c);
  ShowNumber(c);
  return true;
}

void EndNumberDrag(NumericControl* c) {
  if (c == nullptr || !c->editing.get()) return;
  c->value = ClampNumber(c, c->value.get());
  c->editing = 0;
  c->dragMode = kDragUndecided;
  ShowNumber(c);
  NotifyValueChanged(c);
}

double EvaluateNumberAt(NumericControl* c, double t) {
  if (c == nullptr) return 0.0;
  const double value = c->value.get();
  if (!c->allowAdvanced) {
    c->evaluatedValue = value;
    return value;
  }
  const ToolkitHost& host = GetToolkitHost();
  const int mode = c->animateMode.get();
  const ItemHandle ref1 = c->reference1.get();
  const ItemHandle ref2 = c->reference2.get();
  if (((mode >= kAnimateXPosition && mode <= kAnimateOriginDistance) || mode == kAnimateSeparation) &&
      ref1 == nullptr) {
    return 0.0;
  }
  if (mode == kAnimateSeparation && ref2 == nullptr) return 0.0;

  auto position = [&](ItemHandle item, double p[3]) {
    p[0] = p[1] = p[2] = 0.0;
    if (item != nullptr && host.worldPosition != nullptr) host.worldPosition(item, t, p);
  };
  auto scaling = [&](ItemHandle item, double s[3]) {
    s[0] = s[1] = s[2] = 0.0;
    if (item != nullptr && host.scaling != nullptr) host.scaling(item, t, s);
  };

  double v = value;
  double a[3], b[3];
  switch (mode) {
    case kAnimateXPosition:
    case kAnimateYPosition:
    case kAnimateZPosition:
      position(ref1, a);
      v = a[mode - kAnimateXPosition];
      break;
    case kAnimateOriginDistance:
      position(ref1, a);
      v = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
      break;
    case kAnimateXScale:
    case kAnimateYScale:
    case kAnimateZScale:
      scaling(ref1, a);
      v = a[mode - kAnimateXScale];
      break;
    case kAnimateAverageScale:
      scaling(ref1, a);
      v = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) * kAverageScaleFactor;
      break;
    case kAnimateSeparation: {
      position(ref1, a);
      position(ref2, b);
      const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
      v = std::sqrt(dx * dx + dy * dy + dz * dz);
      break;
    }
    case kAnimateLinear: {
      const double fps = HostFramesPerSecond();
      v = value + c->linearRate * fps * (t - 1.0 / fps);
      break;
    }
    default:
      v = value;
      break;
  }
  v = ClampNumber(c, v);
  c->evaluatedValue = v;
  return v;
}

const char* AnimateModeLabel(int mode) {
  static const char* const kLabels[kAnimateModeCount] = {
      "Fixed Value",
      "Reference Object X Position",
      "Reference Object Y Position",
      "Reference Object Z Position",
      "Reference Object Dist from Origin",
      "Reference Object X Size",
      "Reference Object Y Size",
      "Reference Object Z Size",
      "Reference Object Average Size",
      "Separation of Two Ref Objects",
      "Linear Change Over Time",
  };
  return mode >= 0 && mode < kAnimateModeCount ? kLabels[mode] : "";
}

int SummarySampleCount(int firstFrame, int lastFrame) {
  const long long n = 5LL * (static_cast<long long>(lastFrame) - firstFrame);
  if (n <= 20) return 20;
  if (n >= 1000) return 1000;
  return static_cast<int>(n);
}

NumberSummary ComputeNumberSummary(NumericControl* c, double lowFrame, double highFrame, int sampleCount,
                                   double fps, void (*pointOut)(void*, double, double), void* data) {
  // Extremes start from these stored sentinels.
  constexpr double kMinimumStart = 9999999.999;
  constexpr double kMaximumStart = -9999999.999;
  NumberSummary s;
  auto whole = [](double f) {
    if (std::isnan(f)) return 0;
    if (f >= INT_MAX - 1) return INT_MAX - 1;
    if (f <= INT_MIN) return INT_MIN;
    return static_cast<int>(f);
  };
  s.startFrame = whole(lowFrame);
  s.endFrame = whole(highFrame);
  if (s.endFrame < s.startFrame + 1) s.endFrame = s.startFrame + 1;
  s.sampleCount = sampleCount < 2 ? 2 : sampleCount;
  if (!(fps > 0.0)) fps = HostFramesPerSecond();
  double minimum = kMinimumStart, maximum = kMaximumStart, sum = 0.0;
  const double span = static_cast<double>(s.endFrame) - s.startFrame;
  for (int i = 0; i < s.sampleCount; ++i) {
    const double f = s.startFrame + span * i / (s.sampleCount - 1);
    const double v = EvaluateNumberAt(c, f / fps);
    if (pointOut != nullptr) pointOut(data, f, v);
    if (v < minimum) minimum = v;
    if (v > maximum) maximum = v;
    sum += v;
  }
  s.minimum = minimum;
  s.maximum = maximum;
  s.average = sum / s.sampleCount;
  FormatText(s.text, sizeof s.text, "From Frame %d to %d the value ranges from %.3f to %.3f, average: %.3f.",
             s.startFrame, s.endFrame, s.minimum, s.maximum, s.average);
  return s;
}

void AcceptAdvancedDefinition(NumericControl* c, const NumericControl* working) {
  if (c == nullptr || working == nullptr) return;
  c->value = working->value.get();
  c->linearRate = working->linearRate;
  int mode = working->animateMode.get();
  const ItemHandle ref1 = working->reference1.get();
  const ItemHandle ref2 = working->reference2.get();
  if (mode >= kAnimateXPosition && mode <= kAnimateAverageScale && ref1 == nullptr) mode = kAnimateFixed;
  if (mode == kAnimateSeparation && (ref1 == nullptr || ref2 == nullptr)) mode = kAnimateFixed;
  c->animateMode = mode;
  c->reference1 = ref1;
  c->reference2 = ref2;
  if (c->advancedButton != nullptr) SetButtonHighlight(c->advancedButton, mode != 0);
}

bool MakeNumberFixed(NumericControl* c) {
  if (c == nullptr || c->animateMode.get() == kAnimateFixed) return false;
  c->animateMode = kAnimateFixed;
  if (c->advancedButton != nullptr) SetButtonHighlight(c->advancedButton, false);
  RefreshControl(c, kRefreshAll);
  c->pendingChange = 1;
  if (c->valueHook != nullptr) c->valueHook(c);
  return true;
}

namespace {

NumericControl* NewNumeric(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  NumericControl* n = new (std::nothrow) NumericControl;
  if (n == nullptr) return nullptr;
  InitControlRecord(n, kKindNumeric, key);
  n->owner = PanelOf(anchor);
  ResetNumeric(n);
  n->ops.reset = ResetNumeric;
  n->ops.takeFocus = TakeNumericFocus;
  n->ops.copyValue = CopyNumeric;
  n->ops.afterLoad = NumericAfterLoad;
  n->ops.listUsedItems = ListNumericItems;
  n->ops.changeItemIds = ChangeNumericItems;
  n->focusGroup = 1;
  n->x = x;
  n->y = y;

  LabelControl* caption = new (std::nothrow) LabelControl;
  ButtonControl* button = new (std::nothrow) ButtonControl;
  if (caption == nullptr || button == nullptr) {
    delete caption;
    delete button;
    delete n;
    return nullptr;
  }
  InitSubControl(n, caption, kKindLabel, "_label");
  CopyText(caption->text, n->label);
  InitSubControl(n, button, kKindButton, "_A_BUTT");
  CopyText(button->caption, "A");
  button->width = 17;
  button->clickHook = OpenAdvancedDefinition;
  AttachSubControl(n, caption);
  AttachSubControl(n, button);
  n->caption = caption;
  n->advancedButton = button;
  AppendToChain(anchor, n);
  return n;
}

}  // namespace

NumericControl* AddNumericControl(const char* key, int x, int y, Control* anchor, uint32_t controlId) {
  NumericControl* n = NewNumeric(key, x, y, anchor);
  if (n == nullptr) return nullptr;
  n->controlId = controlId;
  n->sliderLow = 0.0;
  n->sliderHigh = 1.0;
  n->dragStep = 0.005;
  n->clampLow = 0;
  n->clampHigh = 0;
  n->limitDragLow = 1;
  n->limitDragHigh = 1;
  n->displayMode = kDisplayPercent;
  n->width = 75;
  SetNumberDefault(n, 0.5);
  return n;
}

NumericControl* AddPlacedNumericControl(const char* key, int x, int y, Control* anchor) {
  NumericControl* n = NewNumeric(key, x, y, anchor);
  if (n == nullptr) return nullptr;
  n->sliderLow = 0.0;
  n->dragStep = 0.005;
  n->minimum = 0.0;
  n->clampLow = 1;
  n->clampHigh = 0;
  n->limitDragLow = 1;
  n->limitDragHigh = 0;
  n->width = 75;
  n->displayMode = kDisplayFixed;
  SetNumberDefault(n, 1.0);
  return n;
}

}  // namespace orvik
