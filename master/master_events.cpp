#include "master/master_events.h"

#include <cstring>

#include "master/light_groups.h"
#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/master_rules.h"
#include "panels/bounded_text.h"
#include "panels/panel.h"

namespace orvik {

namespace {

// Written and read on the host's main thread only.
char gLastEvent[kLastEventCapacity + 1] = "";

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

}  // namespace

const char* lastEventText() { return gLastEvent; }

void handleMasterEvent(MasterInstance* m, int code, const char* command, HostCommandSender send, void* sendData) {
    const bool hasCommand = code == kEventCommand && command && command[0];
    CopyText(gLastEvent, hasCommand ? command : kNoCommandText);
    if (!masterAlive(m)) return;
    m->sourceLightSeen.store(0, std::memory_order_relaxed);

    if (code == kEventCommand && command && !startsWith(command, "ApplyServe") && !startsWith(command, "Redra") &&
        !startsWith(command, "Refres")) {
        const MasterHooks& h = masterHooks();
        if (send && h.pixelFilterExists && !h.pixelFilterExists())
            send(sendData, "ApplyServer PixelFilterHandler Orvik");
        if (m->panel && m->panel->loadPending.get()) {
            RunPendingAfterLoad(m->panel);
            // Loaded members and notes take effect on the panel and the surfaces' labels.
            applyDependentRules(m);
            relabelSurfaceGroupBoosts(m);
        }
    }
}

}  // namespace orvik
