#include "master/master_rules.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "master/image_processing.h"
#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/master_panel.h"
#include "master/open_surface.h"
#include "panels/button_control.h"
#include "panels/graph_control.h"
#include "panels/item_list_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/label_control.h"
#include "panels/panel.h"
#include "panels/string_control.h"

namespace orvik {

namespace {

constexpr int kLightIndicatorY = 2;
constexpr int kObjectIndicatorY = 81;
constexpr auto kCloseWait = std::chrono::milliseconds(25);

void setGhost(Control* c, bool ghost) {
    if (!c) return;
    const int want = ghost ? 1 : 0;
    if (c->ghosted.get() == want) return;
    c->ghosted = want;
    RefreshControl(c, kRefreshAll);
}

void setIndicator(Control* c, int shownY, bool shown) {
    if (!c) return;
    const int y = shown ? shownY : shownY - kHiddenOffset;
    if (c->y == y) return;
    c->y = y;
    RefreshControl(c, kRefreshLayout | kRefreshDraw);
}

bool hasMembers(const ItemListControl* list) { return list && list->itemCount > 0; }

void setValue(NumericControl* c, double v) {
    if (c) SetNumberValue(c, v);
}

int currentPage(const PageSelector* s, int pageCount) {
    if (!s) return 0;
    return std::clamp(s->currentPage.get(), 0, pageCount - 1);
}

}  // namespace

void applyDependentRules(MasterInstance* m) {
    if (!m) return;

    const bool clipOff = !IsButtonOn(m->doClip);
    for (Control* c : {static_cast<Control*>(m->clipHue), static_cast<Control*>(m->clipExp),
                       static_cast<Control*>(m->clipX0)})
        setGhost(c, clipOff);
    updateGamutGraph(m);

    const bool noDesat = !m->desat || m->desat->value.get() <= 0.0;
    setGhost(m->satFalloff, noDesat);
    setGhost(m->satClip, noDesat);

    for (int i = 0; i < kLightGroupCount; ++i) {
        const bool lit = hasMembers(m->lightItems[i]);
        setGhost(m->lightGroupBoost[i], !lit);
        setGhost(m->lightNotes[i], !lit);
        setGhost(m->objectTab[i], !lit);
        setIndicator(m->lightIndicator[i], kLightIndicatorY, lit);
        for (int j = 0; j < kObjectGroupCount; ++j) {
            const bool paired = lit && hasMembers(m->objectItems[i][j]);
            setGhost(m->objectItems[i][j], !lit);
            setGhost(m->objectNotes[i][j], !paired);
            setGhost(m->objectBoost[i][j], !paired);
            setGhost(m->objectShadow[i][j], !paired);
        }
    }

    const int shown = currentPage(m->lgTab, kLightGroupCount);
    const bool shownLit = hasMembers(m->lightItems[shown]);
    for (Control* c : {static_cast<Control*>(m->ogt), static_cast<Control*>(m->obCopy),
                       static_cast<Control*>(m->obPaste), static_cast<Control*>(m->obSet)})
        setGhost(c, !shownLit);
    for (int j = 0; j < kObjectGroupCount; ++j)
        setIndicator(m->objectIndicator[j], kObjectIndicatorY, hasMembers(m->objectItems[shown][j]));

    const bool grainOff = !IsButtonOn(m->grain);
    for (Control* c : {static_cast<Control*>(m->grainAnimated), static_cast<Control*>(m->grainRelative),
                       static_cast<Control*>(m->grainScale), static_cast<Control*>(m->rConst),
                       static_cast<Control*>(m->rProp), static_cast<Control*>(m->gConst),
                       static_cast<Control*>(m->gProp), static_cast<Control*>(m->bConst),
                       static_cast<Control*>(m->bProp), static_cast<Control*>(m->wConst),
                       static_cast<Control*>(m->wProp), static_cast<Control*>(m->grainClip)})
        setGhost(c, grainOff);
    const bool clipLevelOff = grainOff || !IsButtonOn(m->grainClip);
    setGhost(m->grainClipLevel, clipLevelOff);
    setGhost(m->grainClipSoft, clipLevelOff);
}

void updateGamutGraph(MasterInstance* m) {
    if (!m || !m->gamutGraph || !m->clipX0 || !m->clipExp) return;
    const GamutGraph curve = gamutGraphPoints(IsButtonOn(m->doClip), m->clipX0->value, m->clipExp->value);
    ClearGraphPoints(m->gamutGraph);
    for (int i = 0; i < kGamutGraphPoints; ++i) AddGraphPoint(m->gamutGraph, curve.x[i], curve.y[i]);
    RefreshControl(m->gamutGraph, kRefreshDraw);
}

void resetSurfaceBoosts(MasterInstance* m) {
    if (!m) return;
    for (NumericControl* c : {m->diffuse, m->specular, m->ambient, m->radiosity, m->reflection, m->transparency,
                              m->shadows, m->luminous, m->gloss, m->exclusion, m->bump})
        setValue(c, 1.0);
    masterChangeRefresh(m);
    applyDependentRules(m);
}

void resetImageProcessing(MasterInstance* m) {
    if (!m) return;
    for (NumericControl* c :
         {m->wGamma, m->wBright, m->rGamma, m->rBright, m->gGamma, m->gBright, m->bGamma, m->bBright})
        setValue(c, 1.0);
    setValue(m->desat, 0.0);
    setValue(m->satClip, 0.0);
    setValue(m->satFalloff, 0.5);
    masterChangeRefresh(m);
    applyDependentRules(m);
}

void resetGamutControl(MasterInstance* m) {
    if (!m) return;
    setValue(m->clipX0, 0.7);
    setValue(m->clipExp, 0.7);
    setValue(m->clipHue, 0.5);
    updateGamutGraph(m);
    masterChangeRefresh(m);
    applyDependentRules(m);
}

void masterChangeRefresh(MasterInstance* m) {
    if (!m) return;
    const MasterHooks& h = masterHooks();
    if (h.refreshStoreLights) h.refreshStoreLights();
    if (h.reshadePreviews) h.reshadePreviews();
    if (h.redrawPixelInfoWindows) h.redrawPixelInfoWindows();
    if (h.updateComparisons) h.updateComparisons();
}

void freeAllPreviews(MasterInstance* m) {
    const MasterHooks& h = masterHooks();
    if (h.closePixelInfoWindows) h.closePixelInfoWindows();
    if (h.closePreviewWindows) h.closePreviewWindows();
    std::this_thread::sleep_for(kCloseWait);
    if (h.freePixelInfoWindows) h.freePixelInfoWindows();
    if (h.freePreviewWindows) h.freePreviewWindows();
    if (h.freePreviewStores) h.freePreviewStores();
    if (h.updateMemoryText) h.updateMemoryText();
    if (h.updateComparisons) h.updateComparisons();
    applyDependentRules(m);
}

void masterPanelChanged(Panel* panel) {
    if (!panel) return;
    auto* m = static_cast<MasterInstance*>(panel->ownerInstance);
    if (!m || m->panel != panel) return;
    Control* changed = m->lastChanged.exchange(nullptr, std::memory_order_relaxed);
    if (changed && changed == m->tab) return;  // a page switch changes no setting
    if (changed && changed == m->lightMin) {
        masterChangeRefresh(m);
        return;
    }
    const MasterHooks& h = masterHooks();
    if (h.reshadePreviews) h.reshadePreviews();
    if (h.redrawPixelInfoWindows) h.redrawPixelInfoWindows();
    if (h.updateComparisons) h.updateComparisons();
}

void openNextSurface(MasterInstance*) { openChosenSurface(); }

}  // namespace orvik
