#include "master/master_instance.h"

#include <new>

#include "master/light_groups.h"
#include "master/master_hooks.h"
#include "master/master_panel.h"
#include "master/master_rules.h"
#include "module/registry.h"
#include "panels/item_list_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"

namespace orvik {

static_assert(kMasterAliveMark == kAliveMark, "one alive mark for every live record");

namespace {

// The module-wide anchor of the active master.
std::atomic<MasterInstance*>& activeMaster() { return registry().activeMaster; }

GroupItems membersOf(const ItemListControl* list) {
    if (!list) return {};
    const int count = list->itemCount;
    return {list->items,
            count < 0 ? 0 : (count > ItemListControl::kMaxItems ? ItemListControl::kMaxItems : count)};
}

double valueOf(const NumericControl* c) { return c ? c->value.get() : 1.0; }

bool validGroup(int i) { return i >= 0 && i < kLightGroupCount; }
bool validPair(int i, int j) { return validGroup(i) && j >= 0 && j < kObjectGroupCount; }

}  // namespace

GroupItems MasterGroupSource::lights(int i) const {
    return validGroup(i) ? membersOf(master_->lightItems[i]) : GroupItems{};
}
double MasterGroupSource::lightBoost(int i) const {
    return validGroup(i) ? valueOf(master_->lightGroupBoost[i]) : 1.0;
}
GroupItems MasterGroupSource::objects(int i, int j) const {
    return validPair(i, j) ? membersOf(master_->objectItems[i][j]) : GroupItems{};
}
double MasterGroupSource::objectBoost(int i, int j) const {
    return validPair(i, j) ? valueOf(master_->objectBoost[i][j]) : 1.0;
}
double MasterGroupSource::objectShadow(int i, int j) const {
    return validPair(i, j) ? valueOf(master_->objectShadow[i][j]) : 1.0;
}

void MasterGroupSource::applyFactors(std::uint32_t mask, const void* object, double& intensity,
                                     double& shadowOpacity) const {
    applyGroupFactorsOf(*this, mask, object, intensity, shadowOpacity);
}

MasterInstance* currentMaster() { return activeMaster().load(std::memory_order_acquire); }

bool masterAlive(const MasterInstance* m) {
    return m && m->marker.load(std::memory_order_relaxed) == kMasterAliveMark;
}

MasterInstance* createMaster(const char** error) {
    if (error) *error = nullptr;
    if (MasterInstance* active = currentMaster()) {
        if (masterAlive(active)) {
            if (error) *error = kSecondMasterMessage;
            return nullptr;
        }
        // A stale entry: forget it, free nothing.
        activeMaster().store(nullptr, std::memory_order_release);
    }

    auto* m = new (std::nothrow) MasterInstance;
    if (!m) {
        if (error) *error = kMasterAllocMessage;
        return nullptr;
    }
    if (!buildMasterPanel(m)) {
        destroyMaster(m);
        return nullptr;
    }
    m->sourceLightSeen = 0;
    m->previewPlayState = kPreviewIdle;
    m->autoConfirmActive = 0;
    m->previewRenderActive = 0;
    m->marker.store(kMasterAliveMark, std::memory_order_relaxed);
    activeMaster().store(m, std::memory_order_release);
    // Surfaces made before the master label their group boosts with its notes from now on.
    relabelSurfaceGroupBoosts(m);
    return m;
}

void destroyMaster(MasterInstance* m) {
    if (!m) return;
    const MasterHooks& h = masterHooks();
    if (h.freePixelInfoWindows) h.freePixelInfoWindows();
    if (h.freePreviewWindows) h.freePreviewWindows();
    if (h.freePreviewStores) h.freePreviewStores();

    if (m->panel) DestroyPanel(m->panel);
    m->panel = nullptr;
    m->marker.store(0, std::memory_order_relaxed);
    MasterInstance* expected = m;
    const bool wasActive = activeMaster().compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
    delete m;
    // Surfaces label their group boosts by number alone again.
    if (wasActive) relabelSurfaceGroupBoosts(nullptr);
}

const char* copyMaster(MasterInstance* to, const MasterInstance* from) {
    if (!to || !from || !to->panel || !from->panel) return "Copy Failed";
    const int differ = CopyPanelSettings(from->panel, to->panel);
    applyDependentRules(to);
    return differ ? "Copy Failed" : nullptr;
}

void changeMasterItemIds(MasterInstance* m, const ItemIdPair* pairs) {
    if (!m || !pairs) return;
    if (m->panel) ChangeItemIds(m->panel, pairs);
    if (masterHooks().changePreviewItemIds) masterHooks().changePreviewItemIds(pairs);
}

}  // namespace orvik
