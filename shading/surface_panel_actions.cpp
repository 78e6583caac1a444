#include "shading/surface_panel_actions.h"

#include <cstdio>
#include <cstring>

#include "module/host_services.h"
#include "module/registry.h"
#include "panels/bitmap_control.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/image_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "sdk/image_list.h"
#include "sdk/surface_functions.h"
#include "shading/art_swatch.h"
#include "shading/surface_ghosting.h"
#include "shading/surface_instance.h"
#include "shading/surface_lifecycle.h"
#include "shading/surface_panel.h"

namespace orvik {

namespace {

SurfacePanelHooks gPanelHooks;

// Settings the boost reset puts back, and to what.
struct ResetValue {
  const char* key;
  double value;
};
const ResetValue kBoostResets[] = {
    {"DIFFUSE", 1.0},    {"SPECULAR", 1.0},     {"GLOSS", 1.0},        {"AMBIENT", 1.0},
    {"RADIOSITY", 1.0},  {"REFLECTION", 1.0},   {"TRANSPARENCY", 1.0}, {"LUMINOUS", 1.0},
    {"SHADOWS", 1.0},    {"EXCLUSION", 1.0},    {"BUMP", 1.0},         {"HUE", 0.0},
    {"SAT", 1.0},        {"VAL", 1.0},
};
constexpr double kEdgeAmountReset = 0.0;
constexpr double kEdgeValueReset = 0.5;
const ResetValue kEdgeBumpResets[] = {{"EBUMP", 1.0}, {"ESBUMP", 0.5}, {"EFBUMP", 0.0}};

void setNumber(SurfaceInstance* inst, const char* key, double v) {
  if (NumericControl* n = As<NumericControl>(inst->control(key))) SetNumberValue(n, v);
}

SurfaceInstance* ownerOf(Control* c) {
  Panel* panel = c ? PanelOf(c) : nullptr;
  auto* inst = panel ? static_cast<SurfaceInstance*>(panel->ownerInstance) : nullptr;
  return inst && inst->alive() ? inst : nullptr;
}

bool panelOpen(const SurfaceInstance* s) { return s->panel && s->panel->isOpen.get(); }

void setGhosted(Control* c, bool ghosted) {
  if (!c || c->ghosted.get() == (ghosted ? 1 : 0)) return;
  c->ghosted = ghosted ? 1 : 0;
  RefreshControl(c, kRefreshAll);
}

// Pixel access of an image of the host's image list.
struct HostImage {
  const HostImageList1* list;
  const HostImageList3* list3;
  HostImageId image;
};
void hostImageColour(const void* data, int column, int row, double rgb[3]) {
  const HostImage* h = static_cast<const HostImage*>(data);
  if (h->list3 && h->list3->rgbFloat) {
    float f[3] = {0.0f, 0.0f, 0.0f};
    h->list3->rgbFloat(h->image, column, row, f);
    for (int i = 0; i < 3; ++i) rgb[i] = f[i];
  } else if (h->list->rgb) {
    unsigned char b[3] = {0, 0, 0};
    h->list->rgb(h->image, column, row, b);
    for (int i = 0; i < 3; ++i) rgb[i] = b[i] / 255.0;
  }
}

}  // namespace

void setSurfacePanelHooks(const SurfacePanelHooks& hooks) { gPanelHooks = hooks; }

void objectBaseName(const char* path, char* out, size_t capacity) {
  if (!out || capacity == 0) return;
  out[0] = '\0';
  if (!path) return;
  // The directory ends at the last separator (either kind, so that paths of
  // both systems work); the extension starts at the last dot after it.
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  const char* dot = std::strrchr(name, '.');
  const size_t length = dot ? static_cast<size_t>(dot - name) : std::strlen(name);
  std::snprintf(out, capacity, "%.*s", static_cast<int>(length < capacity ? length : capacity - 1), name);
}

void formatSurfaceTitle(const char* surfaceName, const char* objectPath, char* out, size_t capacity) {
  if (!out || capacity == 0) return;
  if (!objectPath) {
    std::snprintf(out, capacity, "%s", kSurfaceTitleFallback);
    return;
  }
  char object[256];
  objectBaseName(objectPath, object, sizeof object);
  std::snprintf(out, capacity, kSurfaceTitleFormat, surfaceName ? surfaceName : "", object);
}

void updateSurfacePanelTitle(SurfaceInstance* inst) {
  if (!inst || !inst->panel) return;
  const HostSurfaceFuncs1* funcs = hostServices().surfaces;
  const uintptr_t id = inst->runtime.surfaceId.get();
  const char* object = nullptr;
  const char* name = nullptr;
  if (funcs && id != 0 && id != kDestroyedSurfaceId) {
    auto surface = reinterpret_cast<HostSurfaceId>(id);
    if (funcs->sceneObject) object = funcs->sceneObject(surface);
    if (funcs->name) name = funcs->name(surface);
  }
  formatSurfaceTitle(name, object, inst->panel->title, sizeof inst->panel->title);
}

void surfacePanelOpening(SurfaceInstance* inst) {
  if (!inst || !inst->panel) return;
  setGhosted(inst->control("OPENMASTER"), registry().activeMaster.load() == nullptr);
  registry().lastEditedSurface.store(inst);
  updateSurfacePanelTitle(inst);
  applySurfaceGhosting(inst);
  redrawArtSwatch(inst);
}

void surfacePanelEvent(SurfaceInstance* inst, int code) {
  if (!inst || code != kPanelEventUnpin) return;
  if (ButtonControl* pin = As<ButtonControl>(inst->control("PIN"))) {
    if (pin->state.get() == 0) return;
    pin->state = 0;
    RefreshControl(pin, kRefreshAll);
  }
}

void resetSurfaceBoosts(SurfaceInstance* inst) {
  if (!inst) return;
  for (const ResetValue& r : kBoostResets) setNumber(inst, r.key, r.value);
  // The reset values reach previews and the master panel as any edit does.
  surfaceSettingsChanged(inst, nullptr);
}

void resetSurfaceEdges(SurfaceInstance* inst) {
  if (!inst) return;
  for (const EdgeChannelRow& row : kEdgeChannelRows) {
    if (ChoiceControl* mode = As<ChoiceControl>(inst->control(row.modeKey))) {
      mode->selection = 0;
      RefreshControl(mode, kRefreshAll);
    }
    setNumber(inst, row.amountKey, kEdgeAmountReset);
    setNumber(inst, row.edgeKey, kEdgeValueReset);
  }
  for (const ResetValue& r : kEdgeBumpResets) setNumber(inst, r.key, r.value);
  applySurfaceGhosting(inst);
  surfaceSettingsChanged(inst, nullptr);
}

void openMasterClicked(SurfaceInstance* inst) {
  if (!inst) return;
  if (registry().activeMaster.load() == nullptr) {
    setGhosted(inst->control("OPENMASTER"), true);
    return;
  }
  if (gPanelHooks.openMasterPanel) gPanelHooks.openMasterPanel();
}

SurfaceInstance* findNextSurface(SurfaceInstance* from, bool backwards) {
  if (!from) return nullptr;
  SurfaceInstance* head = firstSurfaceInstance();
  SurfaceInstance* tail = head;
  int count = 0;
  for (SurfaceInstance* s = head; s; s = s->runtime.nextInstance) {
    tail = s;
    ++count;
  }
  // At most one round; an instance outside the list never comes back.
  SurfaceInstance* s = from;
  for (int step = 0; step <= count; ++step) {
    s = backwards ? s->runtime.previousInstance : s->runtime.nextInstance;
    if (!s) s = backwards ? tail : head;
    if (!s || s == from) return nullptr;
    if (s->runtime.inScene.get() && !panelOpen(s)) return s;
  }
  return nullptr;
}

void nextSurfaceClicked(SurfaceInstance* inst, bool backwards) {
  SurfaceInstance* found = findNextSurface(inst, backwards);
  if (!found || !found->panel) return;
  if (inst->isOn("PIN")) {
    if (gPanelHooks.openSurfacePanel) gPanelHooks.openSurfacePanel(found, nullptr);
    return;
  }
  // Same page, same place and size.
  PageSelector* mine = As<PageSelector>(inst->pageTabs);
  PageSelector* theirs = As<PageSelector>(found->pageTabs);
  if (mine && theirs) theirs->currentPage = mine->currentPage.get();
  found->panel->placement = inst->panel->placement;
  if (gPanelHooks.openSurfacePanel) gPanelHooks.openSurfacePanel(found, inst);
}

void openSurfacePanel(SurfaceInstance* inst) {
  if (inst && inst->alive() && gPanelHooks.openSurfacePanel) gPanelHooks.openSurfacePanel(inst, nullptr);
}

void redrawArtSwatch(SurfaceInstance* inst) {
  if (!inst) return;
  BitmapControl* swatch = As<BitmapControl>(inst->control("FPREV"));
  if (!swatch) return;
  HostImage source{hostServices().imageList, hostServices().imageList3(), nullptr};
  ArtImageView view;
  const ImageControl* art = As<ImageControl>(inst->control("ART_IMNAME"));
  const bool haveImage = art && art->image.get() && source.list;
  if (haveImage) {
    source.image = static_cast<HostImageId>(art->image.get());
    int w = 1, h = 1;
    if (source.list->size) source.list->size(source.image, &w, &h);
    view.width = w < 1 ? 1 : w;
    view.height = h < 1 ? 1 : h;
    view.data = &source;
    view.colour = hostImageColour;
  }
  uint8_t rgb[kSwatchSize * kSwatchSize * 3];
  drawArtSwatch(inst->number("ART_ROTATE"), inst->number("ART_SQUEEZE"), haveImage ? &view : nullptr,
                kSwatchSize, kSwatchSize, rgb);
  inst->swatchPixels.resize(kSwatchSize * kSwatchSize);
  for (int i = 0; i < kSwatchSize * kSwatchSize; ++i)
    inst->swatchPixels[i] = 0xFF000000u | (uint32_t{rgb[3 * i + 2]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) |
                            rgb[3 * i];
  swatch->width = kSwatchSize;
  swatch->height = kSwatchSize;
  swatch->pixels = inst->swatchPixels.data();
  RefreshControl(swatch, kRefreshDraw);
}

void installSurfacePanelActions(SurfaceInstance* inst) {
  if (!inst) return;
  struct Click {
    const char* key;
    ControlHook hook;
  };
  const Click clicks[] = {
      {"RESETBOOST", [](Control* c) { resetSurfaceBoosts(ownerOf(c)); }},
      {"RESETEDGE", [](Control* c) { resetSurfaceEdges(ownerOf(c)); }},
      {"OPENMASTER", [](Control* c) { openMasterClicked(ownerOf(c)); }},
      {"NEXTSHADER",
       [](Control* c) {
         SurfaceInstance* inst = ownerOf(c);
         const ButtonControl* b = As<ButtonControl>(c);
         if (inst && b) nextSurfaceClicked(inst, (b->clickModifiers & kClickShift) != 0);
       }},
  };
  for (const Click& click : clicks)
    if (ButtonControl* b = As<ButtonControl>(inst->control(click.key))) b->clickHook = click.hook;
}

}  // namespace orvik
