// Push buttons and check buttons (kind 3): a caption, a toggle flag, the
// state bits (1 highlighted, 2 checked) that the BUTTON record saves, and a
// click hook told which modifier keys were held.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

enum ButtonStateBits : int { kButtonHighlighted = 1, kButtonChecked = 2 };
enum ClickModifierBits : int { kClickShift = 1, kClickCtrl = 2 };

// Key-state bits of a mouse message's first parameter.
constexpr unsigned kKeyStateShift = 0x0004;
constexpr unsigned kKeyStateControl = 0x0008;

struct ButtonControl : Control {
  static constexpr int kKind = kKindButton;
  static constexpr size_t kMaxCaption = 511;

  SharedValue<int> state{0};
  char caption[kMaxCaption + 1] = {};
  int toggle = 0;
  int isCheckButton = 0;
  int clickModifiers = 0;
  int width = 60;
  int height = 17;
  ControlHook clickHook = nullptr;

  bool highlighted() const { return (state.get() & kButtonHighlighted) != 0; }
  bool checked() const { return (state.get() & kButtonChecked) != 0; }
};

inline ButtonControl* AsButton(Control* c) { return As<ButtonControl>(c); }

// A check button counts as on when its state is non-zero.
inline bool IsButtonOn(const ButtonControl* b) { return b != nullptr && b->state.get() != 0; }

// The left-button press inside the button: toggle logic, pendingChange,
// redraw, then the click hook with the modifiers from the key state.
void ClickButton(ButtonControl* b, unsigned keyState);

// Sets or clears the highlighted bit and redraws when it changed.
void SetButtonHighlight(ButtonControl* b, bool on);

}  // namespace orvik
