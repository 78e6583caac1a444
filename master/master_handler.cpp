#include "master/master_handler.h"

#include <vector>

#include "master/master_events.h"
#include "master/master_instance.h"

namespace orvik {

namespace {

MasterInstance* asMaster(HostInstance instance) { return static_cast<MasterInstance*>(instance); }

int sendThroughAccess(void* data, const char* command) {
    const auto* access = static_cast<const HostMasterAccess*>(data);
    return access->evaluate ? access->evaluate(access->data, command) : 0;
}

}  // namespace

const HostItemId* allItemsMarker() { return reinterpret_cast<const HostItemId*>(static_cast<intptr_t>(-1)); }

HostInstance masterHandlerCreate(void*, void*, HostError* error) {
    try {
        const char* message = nullptr;
        MasterInstance* m = createMaster(&message);
        if (error) *error = m ? nullptr : message;
        return m;
    } catch (...) {
        if (error) *error = kMasterAllocMessage;
        return nullptr;
    }
}

void masterHandlerDestroy(HostInstance instance) {
    try {
        destroyMaster(asMaster(instance));
    } catch (...) {
    }
}

HostError masterHandlerCopy(HostInstance to, HostInstance from) {
    try {
        return copyMaster(asMaster(to), asMaster(from));
    } catch (...) {
        return "Copy Failed";
    }
}

const char* masterHandlerDescription(HostInstance) { return kMasterDescription; }

const HostItemId* masterHandlerUseItems(HostInstance) { return allItemsMarker(); }

void masterHandlerChangeId(HostInstance instance, const HostItemId* ids) {
    try {
        // The host's list is flat (old, new, old, new, ..., ending at an old ID of 0).
        std::vector<ItemIdPair> pairs;
        if (ids)
            for (const HostItemId* p = ids; p[0]; p += 2) pairs.push_back({p[0], p[1]});
        pairs.push_back({nullptr, nullptr});
        changeMasterItemIds(asMaster(instance), pairs.data());
    } catch (...) {
    }
}

double masterHandlerEvent(HostInstance instance, const HostMasterAccess* access) {
    try {
        if (!access) return 0.0;
        const char* command =
            access->eventCode == HOST_EVENT_COMMAND ? static_cast<const char*>(access->eventData) : nullptr;
        handleMasterEvent(asMaster(instance), access->eventCode, command, sendThroughAccess,
                          const_cast<HostMasterAccess*>(access));
    } catch (...) {
    }
    return 0.0;
}

unsigned int masterHandlerFlags(HostInstance) { return 0; }

void fillMasterHandler(HostMasterHandler* handler) {
    if (!handler) return;
    handler->inst.create = masterHandlerCreate;
    handler->inst.destroy = masterHandlerDestroy;
    handler->inst.copy = masterHandlerCopy;
    handler->inst.descln = masterHandlerDescription;
    handler->item.useItems = masterHandlerUseItems;
    handler->item.changeID = masterHandlerChangeId;
    handler->type = HOST_MASTER_SCENE;
    handler->event = masterHandlerEvent;
    handler->flags = masterHandlerFlags;
}

}  // namespace orvik
