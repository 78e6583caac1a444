#include "shading/surface_panel.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "panels/bitmap_control.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/cut_paste_control.h"
#include "panels/image_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "shading/surface_ghosting.h"
#include "shading/surface_instance.h"
#include "shading/surface_lifecycle.h"
#include "shading/surface_panel_actions.h"

namespace orvik {

namespace {

// Places of the page machinery on the panel.
constexpr int kPageTabsX = 460, kPageTabsY = 0;
constexpr int kSpecularTabsX = 100, kSpecularTabsY = 10;
constexpr int kLightGroupTabsX = 150, kLightGroupTabsY = 75;
constexpr int kLightGroupCaptionX = 145, kLightGroupCaptionY = 75;
constexpr int kAnisotropyCaptionX = 260, kAnisotropyCaptionY = 61;
constexpr int kCutPasteX = 134, kCutPasteY = 216;

// Automatic placement of the controls the definition gives no place: one row
// per labelled control, companions ("Edge", "+ Random", unlabelled) on the
// row of the control before them.
constexpr int kRowX = 150;
constexpr int kRowStep = 19;
constexpr int kFirstRowY = 8;
constexpr int kSpecularFirstRowY = 34;
constexpr int kLightGroupFirstRowY = 96;
constexpr int kAmountX = 250;
constexpr int kCompanionX = 380;
constexpr int kNumericCompanionWidth = 65;

// Identifiers of the numeric controls: any distinct values serve.
constexpr uint32_t kNumericIdBase = 0x4F560000u;

struct Layout {
  int nextRowY = kFirstRowY;
  int lastRowY = kFirstRowY;

  void startPage(int firstRowY) { nextRowY = lastRowY = firstRowY; }
  // Where a control without a place of its own goes.
  void place(const SurfaceSetting& s, int* x, int* y) {
    if (s.x >= 0) {
      *x = s.x;
      *y = s.y;
      if (s.kind == SettingKind::Choice && s.label) lastRowY = s.y;
      return;
    }
    const bool companion = s.label == nullptr || std::strcmp(s.label, "Edge") == 0 ||
                           std::strncmp(s.label, "+ ", 2) == 0;
    if (s.label && std::strcmp(s.label, "with") == 0) {
      *x = kAmountX;
      *y = lastRowY;
      return;
    }
    if (companion) {
      *x = kCompanionX;
      *y = lastRowY;
      return;
    }
    *x = kRowX;
    *y = lastRowY = nextRowY;
    nextRowY += kRowStep;
  }
};

void setText(char* dst, size_t capacity, const char* src) {
  std::snprintf(dst, capacity, "%s", src ? src : "");
}

// A caption label owned by `parent` (check buttons and similar).
bool attachCaption(Control* parent, const char* text) {
  std::unique_ptr<LabelControl> label(new (std::nothrow) LabelControl);
  if (!label) return false;
  // Room for the whole key and its suffix; the record's key keeps what fits.
  char key[ControlKey::kMaxChars + 8];
  std::snprintf(key, sizeof key, "%s_label", parent->key.c_str());
  InitControlRecord(label.get(), kKindLabel, key);
  setText(label->text, sizeof label->text, text);
  label->x = parent->x - 6 - static_cast<int>(std::strlen(label->text)) * 6;
  label->y = parent->y;
  AttachSubControl(parent, label.get());  // owned by the parent from here on
  label.release();
  return true;
}

// Creates the control of one setting at its default. Null on failure.
Control* createSetting(const SurfaceSetting& s, int index, Layout& layout, Control* anchor) {
  int x = 0, y = 0;
  layout.place(s, &x, &y);
  switch (s.kind) {
    case SettingKind::Percent:
    case SettingKind::Number: {
      NumericControl* n = AddNumericControl(s.key, x, y, anchor, kNumericIdBase + static_cast<uint32_t>(index));
      if (!n) return nullptr;
      setText(n->label, sizeof n->label, s.label ? s.label : "");
      if (n->caption) setText(n->caption->text, sizeof n->caption->text, s.label ? s.label : "");
      n->displayMode = s.displayMode();
      n->minimum = s.minimum;
      n->maximum = s.maximum;
      n->clampLow = s.clampLow ? 1 : 0;
      n->clampHigh = s.clampHigh ? 1 : 0;
      n->sliderLow = s.sliderLow;
      n->sliderHigh = s.sliderHigh;
      n->dragStep = s.dragStep;
      if (x == kCompanionX) n->width = kNumericCompanionWidth;
      resetSurfaceControl(n, index);
      return n;
    }
    case SettingKind::Check: {
      ButtonControl* b = AddCheckButton(s.key, x, y, anchor);
      if (!b) return nullptr;
      setText(b->caption, sizeof b->caption, s.buttonText);
      // Already in the chain: on failure it is freed with the panel.
      if (s.label && !attachCaption(b, s.label)) return nullptr;
      resetSurfaceControl(b, index);
      return b;
    }
    case SettingKind::Button: {
      ButtonControl* b = AddButtonControl(s.key, x, y, anchor);
      if (!b) return nullptr;
      setText(b->caption, sizeof b->caption, s.label);
      return b;
    }
    case SettingKind::Colour: {
      ColorControl* c = AddColorControl(s.key, x, y, anchor);
      if (!c) return nullptr;
      setText(c->label, sizeof c->label, s.label);
      if (c->caption) setText(c->caption->text, sizeof c->caption->text, s.label);
      resetSurfaceControl(c, index);
      return c;
    }
    case SettingKind::Choice: {
      ChoiceControl* c = AddChoiceControl(s.key, x, y, anchor);
      if (!c) return nullptr;
      SetChoiceLabels(c, s.choices, s.choiceCount);
      setText(c->caption, sizeof c->caption, s.label);
      // The edge modes are one cycle button each; the axis and type choices
      // are columns of radio buttons.
      c->cycle = s.label ? 1 : 0;
      if (c->cycle) setText(c->cycleCaption, sizeof c->cycleCaption, s.label);
      resetSurfaceControl(c, index);
      return c;
    }
    case SettingKind::String: {
      StringControl* c = AddStringControl(s.key, x, y, anchor);
      if (!c) return nullptr;
      setText(c->label, sizeof c->label, s.label);
      if (c->caption) setText(c->caption->text, sizeof c->caption->text, s.label);
      resetSurfaceControl(c, index);
      return c;
    }
    case SettingKind::Image: {
      ImageControl* c = AddImageControl(s.key, x, y, anchor);
      if (!c) return nullptr;
      setText(c->label, sizeof c->label, s.label);
      return c;
    }
    case SettingKind::Swatch: {
      BitmapControl* b = AddBitmapControl(s.key, kSwatchSize, kSwatchSize, anchor);
      if (!b) return nullptr;
      b->x = x;
      b->y = y;
      return b;
    }
  }
  return nullptr;
}

// Builds the controls of settings [first, last) of the table into the panel.
bool createSettings(SurfaceInstance* inst, int first, int last, Layout& layout) {
  auto table = surfaceSettings();
  for (int i = first; i < last; ++i) {
    Control* c = createSetting(table[static_cast<size_t>(i)], i, layout, inst->panel);
    if (!c) return false;
    c->valueHook = surfaceControlChanged;
    inst->controls[i] = c;
  }
  return true;
}

// Index range of the settings of one page (or specular sub-page) in the table.
struct IndexRange {
  int first = -1, last = -1;  // [first, last)
};
IndexRange settingsOf(SurfacePage page, int subPage, bool boosts) {
  IndexRange r;
  auto table = surfaceSettings();
  for (int i = 0; i < static_cast<int>(table.size()); ++i) {
    const SurfaceSetting& s = table[static_cast<size_t>(i)];
    const bool isBoost = std::strncmp(s.key, "LGBOOST", 7) == 0;
    if (s.page != page || s.subPage != subPage || isBoost != boosts) continue;
    if (r.first < 0) r.first = i;
    r.last = i + 1;
  }
  return r;
}

bool buildControls(SurfaceInstance* inst) {
  Panel* panel = inst->panel;
  BitmapControl* logo = AddBitmapControl(kLogoKey, kLogoWidth, kLogoHeight, panel);
  if (!logo) return false;
  inst->logo = logo;

  PageSelector* tabs = AddPageSelector(kPageTabsKey, kPageTabsX, kPageTabsY, panel);
  if (!tabs) return false;
  tabs->valueHook = surfaceControlChanged;
  inst->pageTabs = tabs;

  Layout layout;
  CutPasteControl* lightingPair = nullptr;
  for (int p = 0; p < kSurfacePageCount; ++p) {
    const SurfacePage page = static_cast<SurfacePage>(p);
    const SurfacePageInfo& info = surfacePageInfo(page);
    if (!OpenPage(tabs, info.title)) return false;
    layout.startPage(kFirstRowY);

    if (page == SurfacePage::Specular) {
      // The Specular page holds only its own tab row; each layer is a page of it.
      PageSelector* layers = AddPageSelector(kSpecularTabsKey, kSpecularTabsX, kSpecularTabsY, panel);
      if (!layers) return false;
      layers->valueHook = surfaceControlChanged;
      inst->specularTabs = layers;
      ClosePage(tabs);
      for (int layer = 0; layer < kSpecularLayerCount; ++layer) {
        if (!OpenPage(layers, kSpecularPageTitles[layer])) return false;
        CutPasteControl* pair = AddCutPastePair(kSpecularCutPasteKeys[layer], kCutPasteX, kCutPasteY, panel);
        if (!pair) return false;
        BeginCutPasteRange(pair);
        layout.startPage(kSpecularFirstRowY);
        IndexRange r = settingsOf(page, layer, false);
        if (!createSettings(inst, r.first, r.last, layout)) return false;
        EndCutPasteRange(pair);
      }
      ClosePage(layers);
      continue;
    }

    CutPasteControl* pair = AddCutPastePair(info.cutPasteKey, kCutPasteX, kCutPasteY, panel);
    if (!pair) return false;
    if (page == SurfacePage::Lighting) lightingPair = pair;
    BeginCutPasteRange(pair);
    IndexRange r = settingsOf(page, -1, false);
    if (page == SurfacePage::Extra) {
      // The axis and type choices sit under their caption; the three buttons
      // after the page belong to no page.
      const int axis = surfaceSettingIndex("ANISOAXIS");
      if (!createSettings(inst, r.first, axis, layout)) return false;
      LabelControl* caption = AddLabelControl(kAnisotropyCaptionKey, kAnisotropyCaptionX, kAnisotropyCaptionY, panel);
      if (!caption) return false;
      setText(caption->text, sizeof caption->text, kAnisotropyCaption);
      inst->anisotropyCaption = caption;
      if (!createSettings(inst, axis, r.last, layout)) return false;
    } else if (!createSettings(inst, r.first, r.last, layout)) {
      return false;
    }
    EndCutPasteRange(pair);
    ClosePage(tabs);
  }

  // Always shown.
  IndexRange always = settingsOf(SurfacePage::None, -1, false);
  if (!createSettings(inst, always.first, always.last, layout)) return false;

  // The light-group boosts: a second range of the Lighting page, under their
  // caption and their own tab row, and a second range of its cut/paste group.
  LabelControl* lgCaption = AddLabelControl(kLightGroupCaptionKey, kLightGroupCaptionX, kLightGroupCaptionY, panel);
  if (!lgCaption) return false;
  setText(lgCaption->text, sizeof lgCaption->text, kLightGroupCaption);
  inst->lightGroupCaption = lgCaption;
  PageSelector* groups = AddPageSelector(kLightGroupTabsKey, kLightGroupTabsX, kLightGroupTabsY, panel);
  if (!groups) return false;
  groups->valueHook = surfaceControlChanged;
  inst->lightGroupTabs = groups;
  AddPageRange(tabs, static_cast<int>(SurfacePage::Lighting), lgCaption, groups);

  if (lightingPair) BeginCutPasteRange(lightingPair);
  IndexRange boosts = settingsOf(SurfacePage::Lighting, -1, true);
  for (int page = 0; page * kLightGroupsPerPage < kLightGroupBoostCount; ++page) {
    char title[Page::kMaxTitle + 1];
    lightGroupPageTitle(page, title, sizeof title);
    if (!OpenPage(groups, title)) return false;
    layout.startPage(kLightGroupFirstRowY);
    const int first = boosts.first + page * kLightGroupsPerPage;
    if (!createSettings(inst, first, first + kLightGroupsPerPage, layout)) return false;
    ClosePage(groups);
  }
  if (lightingPair) EndCutPasteRange(lightingPair);
  for (int i = 0; i < kLightGroupBoostCount; ++i) inst->lightGroupBoosts[i] = inst->controls[boosts.first + i];
  return true;
}

}  // namespace

void resetSurfaceControl(Control* c, int settingIndex) {
  auto table = surfaceSettings();
  if (!c || settingIndex < 0 || settingIndex >= static_cast<int>(table.size())) return;
  const SurfaceSetting& s = table[static_cast<size_t>(settingIndex)];
  if (NumericControl* n = AsNumeric(c)) {
    n->value = s.defaultValue;
    n->initialValue = s.defaultValue;
    n->evaluatedValue = s.defaultValue;
  } else if (ButtonControl* b = AsButton(c)) {
    if (s.kind == SettingKind::Check) b->state = static_cast<int>(s.defaultValue);
  } else if (ColorControl* col = AsColor(c)) {
    col->red = s.defaultRed;
    col->green = s.defaultGreen;
    col->blue = s.defaultBlue;
  } else if (ChoiceControl* ch = AsChoice(c)) {
    ch->selection = static_cast<int>(s.defaultValue);
  } else if (StringControl* str = AsString(c)) {
    SetStringText(str, "");
  } else if (ImageControl* im = AsImage(c)) {
    im->image = nullptr;
  }
}

bool buildSurfacePanel(SurfaceInstance* inst) {
  inst->panel = CreatePanel(kSurfacePanelTitle, inst, kSurfacePanelKind);
  if (!inst->panel) return false;
  std::snprintf(inst->panel->blockName, sizeof inst->panel->blockName, "%s", kSurfaceBlockName);
  inst->panel->settingsVersion = kSurfaceSettingsVersion;
  inst->panel->ops.changed = surfacePanelChanged;
  // A paste or a settings file replaces values: prepare and show them as after an edit.
  inst->panel->onSettingsReplaced = [](Panel* panel) { surfacePanelChanged(panel); };
  bool built = false;
  try {
    built = buildControls(inst);
  } catch (const std::bad_alloc&) {
    built = false;  // a control's own storage could not grow
  }
  if (!built) {
    DestroyPanel(inst->panel);
    inst->panel = nullptr;
    for (Control*& c : inst->controls) c = nullptr;
    return false;
  }
  installSurfacePanelActions(inst);
  applySurfaceGhosting(inst);
  return true;
}

}  // namespace orvik
