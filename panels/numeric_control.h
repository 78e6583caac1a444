// The numeric control (kind 6): a value shown in one of four display forms,
// typed into an edit field, dragged with a drag button, clamped and rounded
// by one set of rules, and optionally given an advanced definition by which
// it follows a scene item or changes linearly over time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "panels/control.h"

namespace orvik {

// Display modes.
enum NumericDisplayMode : int {
  kDisplayFixed = 0,    // `precision` decimals
  kDisplayInteger = 1,  // nearest integer, halves up
  kDisplayOneDecimal = 2,
  kDisplayPercent = 3,
};

// Advanced definition modes (animateMode).
enum AnimateMode : int {
  kAnimateFixed = 0,
  kAnimateXPosition = 1,
  kAnimateYPosition = 2,
  kAnimateZPosition = 3,
  kAnimateOriginDistance = 4,
  kAnimateXScale = 5,
  kAnimateYScale = 6,
  kAnimateZScale = 7,
  kAnimateAverageScale = 8,
  kAnimateSeparation = 9,
  kAnimateLinear = 10,
};
constexpr int kAnimateModeCount = 11;

// Scene item types as the host numbers them.
enum ItemType : int { kItemObject = 0, kItemLight = 1, kItemCamera = 2, kItemBone = 3 };

// A saved item reference waiting to be resolved after a load. For a bone the
// parent fields name the object that owns it.
struct PendingItemName {
  static constexpr size_t kMaxName = 127;
  char name[kMaxName + 1] = {};
  int clone = 1;
  int count = 1;
  int type = kItemObject;
  char parentName[kMaxName + 1] = {};
  int parentClone = 1;
  int parentCount = 1;

  bool IsSet() const { return name[0] != '\0'; }
  void Clear();
};

enum DragMode : int { kDragUndecided = 0, kDragRelative = 1, kDragAbsolute = 2 };

struct NumericControl : Control {
  static constexpr int kKind = kKindNumeric;
  static constexpr size_t kMaxLabel = 255;
  static constexpr size_t kMaxEditText = 255;
  static constexpr size_t kMaxFormatted = 30;

  SharedValue<double> value{0.5};
  double initialValue = 0.5;
  double dragStep = 0.05;
  double minimum = 0.0;
  double maximum = 100.0;
  int clampLow = 0;
  int clampHigh = 0;
  double sliderLow = 0.0;
  double sliderHigh = 100.0;
  int limitDragLow = 1;
  int limitDragHigh = 1;
  int displayMode = kDisplayFixed;
  int precision = 3;
  char label[kMaxLabel + 1] = {};
  int width = 75;
  int height = 16;
  int allowAdvanced = 1;
  int hasDragButton = 1;
  int liveUpdate = 1;
  int reportItems = 1;
  int reportItemParents = 1;

  // Advanced definition.
  SharedValue<int> animateMode{kAnimateFixed};
  double linearRate = 0.0;
  SharedValue<ItemHandle> reference1{nullptr};
  SharedValue<ItemHandle> reference2{nullptr};
  PendingItemName pendingReference1;
  PendingItemName pendingReference2;
  SharedValue<double> evaluatedValue{0.5};  // last result of EvaluateNumberAt

  uint32_t controlId = 0;

  // Working fields of typing and dragging.
  SharedValue<int> editing{0};
  int dragStartX = 0, dragStartY = 0;
  int dragMode = kDragUndecided;
  int dragLastX = 0;
  double dragLow = 0.0, dragHigh = 0.0;
  // The edit window's text (the window layer mirrors it; headless it is the
  // text itself).
  char editText[kMaxEditText + 1] = {};

  // Sub-controls made at creation: caption "%s_label" and "A" button "%s_A_BUTT".
  LabelControl* caption = nullptr;
  ButtonControl* advancedButton = nullptr;
};

inline NumericControl* AsNumeric(Control* c) { return As<NumericControl>(c); }

// The numeric rule on a plain value: minimum when clampLow, maximum when
// clampHigh, then integer rounding (halves up) in display mode 1.
double ClampNumber(const NumericControl* c, double v);
double RoundHalfUp(double v);

// The display text of the value (at most 30 characters). Returns its length.
size_t FormatNumber(const NumericControl* c, char* out, size_t capacity);
size_t FormatNumberValue(const NumericControl* c, double v, char* out, size_t capacity);
// A typed text read as the standard library's atof reads it, percent scaled,
// clamped and rounded; the result is not stored.
double ParseNumberText(const NumericControl* c, const char* text);
// Reads the edit text into value; nothing happens without an edit window.
void ParseNumber(NumericControl* c);
// Writes the display text into the edit text and redraws.
void ShowNumber(NumericControl* c);
// Sets the value through the numeric rule, shows it and refreshes.
void SetNumberValue(NumericControl* c, double v);
// Sets both the value and the initial value (a panel builder's default).
void SetNumberDefault(NumericControl* c, double v);

// Tab or Enter in the edit field: parse, show, report a change of at least
// 0.0001, move the focus. Returns true when the value changed.
bool CommitNumberEntry(NumericControl* c);

// Text colours of edit fields (Windows colour values, red in the lowest byte).
constexpr uint32_t kEditColorEditing = 0xBFFFFF;
constexpr uint32_t kEditColorNormal = 0xA5DCDC;
constexpr uint32_t kEditColorGreyed = 0x646464;
// The colour of the control's edit text: greyed when ghosted or animated.
uint32_t NumberEditColor(const NumericControl* c);

// --- Dragging as pure arithmetic -------------------------------------------
// The window layer feeds pointer positions; these compute what happens.

struct DragRange {
  double low;
  double high;
};
// The range a drag starts with: the ordinary range widened to the value,
// limited by the hard limits when they are on.
DragRange StartDragRange(const NumericControl* c);

// Pointer parking point of a drag started at (x, y).
void DragParkingPoint(int x, int y, int* parkX, int* parkY);

// Absolute mode is chosen on the first move when the pointer stayed at least
// as close to its start as to the parking point.
int DecideDragMode(int startX, int startY, int parkX, int parkY, int x, int y);

// The step (in pixels) of one move.
double RelativeDragStep(int lastX, int x);
double AbsoluteDragStep(int startX, int lastX, int x);

// Applies one step: value += step × dragStep, then the Shift or no-Shift
// limits; widens the range with Shift. Returns the new value.
double ApplyDragStep(const NumericControl* c, double value, double step, bool shift,
                     DragRange* range);

// Relative mode puts the pointer back to x 320 when it leaves 64..576.
// MoveNumberDrag already takes the new position as the last one; the window
// layer only moves the pointer.
bool DragNeedsRecentre(int x, int* newX);

// The full drag driven by pointer events (headless: positions given directly).
void BeginNumberDrag(NumericControl* c, int x, int y);
// Returns true when the value changed by 1e-5 or more.
bool MoveNumberDrag(NumericControl* c, int x, int y, bool shift);
void EndNumberDrag(NumericControl* c);

// --- Advanced definition ----------------------------------------------------

// Factor of the average-size mode (the stored constant, not exactly 1/sqrt 3).
constexpr double kAverageScaleFactor = 0.577350538379377;

// The value at time t (seconds); stores it in evaluatedValue.
double EvaluateNumberAt(NumericControl* c, double t);

// Dialog labels of the modes, 0..10.
const char* AnimateModeLabel(int mode);

// Frames and summary of the advanced dialog's preview.
struct NumberSummary {
  int sampleCount = 0;
  int startFrame = 0;
  int endFrame = 0;
  double minimum = 0.0;
  double maximum = 0.0;
  double average = 0.0;
  char text[160] = {};
};
// The preview sample count for a scene's frame range: 5 × span, 20..1000.
int SummarySampleCount(int firstFrame, int lastFrame);
// Samples the control over [lowFrame, highFrame] (whole parts; the end at
// least one after the start); each sample is passed to pointOut when given.
NumberSummary ComputeNumberSummary(NumericControl* c, double lowFrame, double highFrame,
                                   int sampleCount, double fps,
                                   void (*pointOut)(void* data, double f, double v) = nullptr,
                                   void* data = nullptr);

// After the dialog is accepted: copies the definition from the working copy,
// turning a mode without its references into mode 0.
void AcceptAdvancedDefinition(NumericControl* c, const NumericControl* working);

// The A button's Shift-click: an animated control becomes fixed. Returns
// true when something changed.
bool MakeNumberFixed(NumericControl* c);

}  // namespace orvik
