// The Panel header record (kind 222) and the chain operations: creating and
// destroying panels and controls, refresh, focus, copying settings between
// panels, collecting and renumbering scene items, lookup by key.
#pragma once

#include <cstdint>

#include "panels/control.h"

namespace orvik {

struct NumericControl;
struct ButtonControl;
struct ColorControl;
struct StringControl;
struct ImageControl;
struct BitmapControl;
struct ChoiceControl;
struct ListControl;
struct ItemListControl;
struct PageSelector;
struct LabelControl;
struct GraphControl;
struct CutPasteControl;

// The window message the panel is currently dispatching to its records.
struct PanelMessage {
  unsigned code = 0;
  uintptr_t param1 = 0;
  intptr_t param2 = 0;
  intptr_t result = 0;  // a control may set it (for instance an edit brush)
};

// Window messages the toolkit looks at (numbers as the window layer uses them).
enum PanelMessageCode : unsigned {
  kMsgPaint = 15,
  kMsgClose = 16,
  kMsgDrawItem = 43,
  kMsgEditColor = 307,
  kMsgLeftButtonDown = 513,
  kMsgValueChanged = kMessageValueChanged,
  kMsgPanelThreadEnded = 0x8CF1,  // 36081, posted to the owner window
};

// Mouse messages carry the pointer as two signed 16-bit halves of param2.
inline int MessageX(intptr_t param2) {
  return static_cast<int16_t>(static_cast<uint32_t>(param2) & 0xFFFFu);
}
inline int MessageY(intptr_t param2) {
  return static_cast<int16_t>((static_cast<uint32_t>(param2) >> 16) & 0xFFFFu);
}

// closeState values of an open or closing panel.
enum PanelCloseState : int {
  kCloseHiddenByProgram = 0,
  kCloseByUser = 1,
  kCloseOwnerGoing = 2,
  kCloseCancelled = 3,
  kCloseOpen = 4,
};

struct PanelPlacement {
  int left = -100;  // below -99: not placed yet, centre over the owner
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Panel : Control {
  static constexpr int kKind = kKindPanel;
  static constexpr size_t kMaxTitle = 255;
  static constexpr size_t kMaxBlockName = 255;
  static constexpr double kDefaultSettingsVersion = 1.0;

  char title[kMaxTitle + 1] = {};
  char blockName[kMaxBlockName + 1] = {};
  double settingsVersion = kDefaultSettingsVersion;
  int sizeCode = 0;

  // Window fields (the window layer owns their meaning).
  SharedValue<void*> window{nullptr};
  void* ownerWindow = nullptr;
  SharedValue<int> isOpen{0};
  SharedValue<int> threadRunning{0};
  SharedValue<int> closeState{kCloseOpen};
  SharedValue<int> windowHidden{0};  // hidden by the program, to be shown again
  SharedValue<int> result{0};
  Panel* childPanel = nullptr;
  PanelPlacement placement;
  int width = 640;
  int height = 480;
  int modeless = 0;
  int resizable = 0;
  int hasTitleBar = 1;
  int threadPriority = 0;
  int childIdBase = 0;
  int focusGroupCurrent = 1;
  SharedValue<Control*> focusedControl{nullptr};  // the record with the keyboard focus
  void* platformData = nullptr;  // the backend's data for this panel's window

  SharedValue<int> loadPending{0};

  // User data with its release functions (called when the window goes away).
  void* panelData = nullptr;
  void (*releasePanelData)(void* data) = nullptr;
  void (*releasePanelDataWithOwner)(void* data, void* ownerInstance) = nullptr;

  void* ownerInstance = nullptr;
  ItemHandle item = nullptr;  // the panel's own scene item, if any

  PanelMessage message;

  void (*onSettingsReplaced)(Panel* panel) = nullptr;  // after paste or file load
  void (*onClosed)(Panel* panel) = nullptr;
  void (*onBackgroundClick)(Panel* panel, int x, int y) = nullptr;
  int backgroundLeft = 0, backgroundTop = 0, backgroundRight = 0, backgroundBottom = 0;

  // Click hooks of the "P_S" and "P_L" decorations (write and read settings
  // files); filled by the settings layer, see SetPanelFileHooks.
  ControlHook onSaveSettingsClick = nullptr;
  ControlHook onLoadSettingsClick = nullptr;

  // Decoration records ("P_C", "P_S", "P_L", "Panel_inset", ...), created by
  // the window layer's layout; owned by the panel, not in the chain.
  std::vector<Control*> decorations;

  Control* firstControl() const { return next; }
  Control* lastControl() const;
  ControlRange controls() const { return {next}; }
};

inline Panel* AsPanel(Control* c) { return As<Panel>(c); }

// Module-wide defaults copied into every new panel's file hooks.
void SetPanelFileHooks(ControlHook onSave, ControlHook onLoad);

// Creates a panel header: title and blockName from the title, version 1.0,
// not placed yet, focus on group 1, normal thread priority. Null when memory
// runs out.
Panel* CreatePanel(const char* title, void* ownerInstance, int sizeCode);

// The panel a record belongs to (the record itself for a panel header).
Panel* PanelOf(Control* c);

void RefreshControl(Control* c, int flags);
// Unlinks the control from its panel's chain, releases and frees it.
void RemoveControl(Control* c);
// Removes the last active control until none is left, then the header.
void DestroyPanel(Panel* panel);
void MoveControlToFront(Panel* panel, Control* c);

Control* FocusNext(Control* c, int direction);
void FocusMove(Control* c, int direction);

// Copies every active record's value to the record at the same place of the
// destination; returns 1 when one chain ends before the other (after copying
// what matched), else 0.
int CopyPanelSettings(const Panel* source, Panel* destination);

// Runs pending after-load work, then asks every record for its items. The
// returned list lives in a module-wide buffer of at most kMaxUsedItems
// entries until the next call, and ends with a null entry.
constexpr int kMaxUsedItems = 1023;
int CollectUsedItems(Panel* panel, ItemHandle** itemsOut = nullptr);
// Runs every record's afterLoad when the panel's loadPending flag is set.
void RunPendingAfterLoad(Panel* panel);

void ChangeItemIds(Panel* panel, const ItemIdPair* pairs);

// Formats at most 511 characters into the control's text (labels, buttons,
// strings); sets ghosted when ghosted > 0; refreshes (31) on any change.
void SetControlTextFormatted(Control* c, int ghosted, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Sets the caption of a control that has one (numeric, colour, string,
// list, item list, image, choice) and its caption sub-control; refreshes.
void SetControlLabel(Control* c, const char* label);

void CancelPanel(Panel* panel);

// One idle pass of the panel's thread: every record's idle operation in
// chain order; returns the sum of their answers (non-zero: more work).
int RunIdlePass(Panel* panel);

// The window teardown every backend runs when the panel's window goes away:
// each active control's destroyWindows in chain order (controls without one
// are just marked windowless), then the panel's own, then the panel data's
// release functions (the one taking the owner instance first).
void TearDownPanelWindows(Panel* panel);

// Exact key lookup in the chain (header excluded). Null when absent.
Control* FindControl(const Panel* panel, const char* key);

// Posts a message to the panel's window through the window backend; does
// nothing while the panel has no window.
void PostPanelMessage(Panel* panel, unsigned code, uintptr_t param1, intptr_t param2);

// The window layer plugs in here. Every slot may be empty.
struct WindowBackend {
  void (*postMessage)(Panel* panel, unsigned code, uintptr_t param1, intptr_t param2) = nullptr;
  // Gives the keyboard focus to a control's window (null: remove the focus).
  void (*setFocus)(Panel* panel, Control* c) = nullptr;
  // Called for every record a creation operation makes, after the kind's own
  // operations are installed: the window layer adds its refresh,
  // handleEvent and destroyWindows slots here.
  void (*installWindowOps)(Control* c) = nullptr;
  // Opens a panel modally over its parent and returns its result once it
  // closes (0 accepted). Without it a modal dialog counts as cancelled.
  int (*openModal)(Panel* panel, Panel* parent) = nullptr;
};

// Opens a panel modally through the backend; 1 (cancelled) without one.
int OpenModalPanel(Panel* panel, Panel* parent);
// Gives the keyboard focus to c (null removes it) and tells the backend.
void SetPanelFocus(Panel* panel, Control* c);

void SetWindowBackend(const WindowBackend& backend);
const WindowBackend& GetWindowBackend();

// --- Creation operations --------------------------------------------------
// Each allocates the kind's record, runs the common initialisation and the
// kind's reset, installs its operations, copies the key, sets the owner and
// appends the record at the end of the anchor's panel chain (the anchor may
// be any record of the panel). Null when memory runs out or anchor is null.

NumericControl* AddNumericControl(const char* key, int x, int y, Control* anchor,
                                  uint32_t controlId = 0);
NumericControl* AddPlacedNumericControl(const char* key, int x, int y, Control* anchor);
ButtonControl* AddButtonControl(const char* key, int x, int y, Control* anchor);
ButtonControl* AddCheckButton(const char* key, int x, int y, Control* anchor);
ColorControl* AddColorControl(const char* key, int x, int y, Control* anchor);
StringControl* AddStringControl(const char* key, int x, int y, Control* anchor);
ImageControl* AddImageControl(const char* key, int x, int y, Control* anchor);
BitmapControl* AddBitmapControl(const char* key, int width, int height, Control* anchor);
ChoiceControl* AddChoiceControl(const char* key, int x, int y, Control* anchor);
ListControl* AddListControl(const char* key, int x, int y, Control* anchor);
ItemListControl* AddItemControl(const char* key, int x, int y, Control* anchor);
PageSelector* AddPageSelector(const char* key, int x, int y, Control* anchor);
LabelControl* AddLabelControl(const char* key, int x, int y, Control* anchor);
GraphControl* AddGraphControl(const char* key, int x, int y, Control* anchor);
CutPasteControl* AddCutPastePair(const char* key, int x, int y, Control* anchor);

// Common initialisation of a record of the given kind (used by the creation
// operations, and by dialogs that keep a working copy outside any chain).
void InitControlRecord(Control* c, int kind, const char* key);
// Initialises a sub-control of parent (caption, button) whose key is the
// parent's key followed by suffix ("%s_label", "%s_button", ...); sub-controls
// take no part in settings.
void InitSubControl(const Control* parent, Control* sub, int kind, const char* suffix);
// Appends a freshly initialised record at the end of the anchor's chain.
void AppendToChain(Control* anchor, Control* c);
// Attaches a sub-control (caption, button) owned by parent.
void AttachSubControl(Control* parent, Control* sub);

}  // namespace orvik
