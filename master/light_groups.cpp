#include "master/light_groups.h"

#include <algorithm>
#include <vector>

#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/master_rules.h"
#include "panels/button_control.h"
#include "panels/item_list_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

// The most selected items looked at; lists hold far fewer.
constexpr int kSelectionCapacity = ItemListControl::kMaxItems;

void clearList(ItemListControl* list) {
    list->itemCount = 0;
    list->items[0] = nullptr;
    ClearPendingItemNames(list);
}

// Replaces the list's members by the selected items of one type, in selection
// order and up to the list's capacity. False (and nothing changed) when the
// selection is empty or does not start with an item of that type.
bool takeSelection(ItemListControl* list, int type) {
    std::vector<ItemHandle> selected(kSelectionCapacity);
    int count = masterSelectedItems(selected.data(), kSelectionCapacity);
    count = std::clamp(count, 0, kSelectionCapacity);
    if (count == 0 || !selected[0] || HostItemType(selected[0]) != type) return false;

    clearList(list);
    const int capacity = std::min(list->maxItems, ItemListControl::kMaxItems);
    for (int n = 0; n < count && list->itemCount < capacity; ++n)
        if (selected[n] && HostItemType(selected[n]) == type) AddListItem(list, selected[n]);
    return true;
}

void copyItems(const ItemListControl* from, ItemListControl* to) {
    const int capacity = std::min(to->maxItems, ItemListControl::kMaxItems);
    const int count = std::clamp(from->itemCount, 0, capacity);
    for (int n = 0; n < count; ++n) to->items[n] = from->items[n];
    to->items[count] = nullptr;
    to->itemCount = count;
}

}  // namespace

int shownLightGroup(const MasterInstance* m) {
    if (!m || !m->lgTab) return 0;
    return std::clamp(m->lgTab->currentPage.get(), 0, kLightGroupCount - 1);
}

int shownObjectGroup(const MasterInstance* m) {
    const PageSelector* tabs = m ? m->objectTab[shownLightGroup(m)] : nullptr;
    if (!tabs) return 0;
    return std::clamp(tabs->currentPage.get(), 0, kObjectGroupCount - 1);
}

void setLightGroup(MasterInstance* m, int i) {
    if (!m || i < 0 || i >= kLightGroupCount || !m->lightItems[i]) return;
    ItemListControl* list = m->lightItems[i];
    if (!takeSelection(list, kItemLight)) {
        masterWarning(kPickLightsLine1, kPickLine2);
        return;
    }
    RefreshControl(list, kRefreshAll);
    NotifyValueChanged(list);  // its value hook runs Members changed
}

void setObjectGroup(MasterInstance* m) {
    if (!m) return;
    ItemListControl* list = m->objectItems[shownLightGroup(m)][shownObjectGroup(m)];
    if (!list) return;
    if (!takeSelection(list, kItemObject)) {
        masterWarning(kPickObjectsLine1, kPickLine2);
        return;
    }
    RefreshControl(list, kRefreshAll);
    NotifyValueChanged(list);
}

void copyObjectGroup(MasterInstance* m) {
    if (!m || !m->clipItems || !m->clipNotes) return;
    const int i = shownLightGroup(m), j = shownObjectGroup(m);
    if (m->objectItems[i][j]) copyItems(m->objectItems[i][j], m->clipItems);
    if (m->objectNotes[i][j]) SetStringText(m->clipNotes, m->objectNotes[i][j]->text);
    if (ButtonControl* paste = m->obPaste) {
        // The first copy marks "P" as holding something; later copies flash it.
        if (!paste->checked())
            paste->state |= kButtonChecked;
        else
            paste->state ^= kButtonHighlighted;
        RefreshControl(paste, kRefreshDraw);
    }
}

void pasteObjectGroup(MasterInstance* m) {
    if (!m || !m->clipItems || !m->clipNotes) return;
    const int i = shownLightGroup(m), j = shownObjectGroup(m);
    ItemListControl* list = m->objectItems[i][j];
    StringControl* notes = m->objectNotes[i][j];
    if (!list || !notes) return;
    copyItems(m->clipItems, list);
    SetStringText(notes, m->clipNotes->text);
    RefreshControl(list, kRefreshAll);
    RefreshControl(notes, kRefreshAll);
    NotifyValueChanged(notes);
    NotifyValueChanged(list);
}

void groupMembersChanged(MasterInstance* m) {
    applyDependentRules(m);
    if (masterHooks().previewGroupsChanged) masterHooks().previewGroupsChanged();
}

void groupNotesChanged(MasterInstance* m) {
    if (masterHooks().previewFilterLabelsChanged) masterHooks().previewFilterLabelsChanged();
    relabelSurfaceGroupBoosts(m);
}

void relabelSurfaceGroupBoosts(const MasterInstance* m) {
    const SurfaceRelabelHook relabel = surfaceRelabelHook();
    if (!relabel) return;
    if (!m) {
        relabel(nullptr);
        return;
    }
    const char* notes[kLightGroupCount];
    for (int i = 0; i < kLightGroupCount; ++i) notes[i] = m->lightNotes[i] ? m->lightNotes[i]->text : "";
    relabel(notes);
}

}  // namespace orvik
