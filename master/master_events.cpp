#include "master/master_events.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

#include "master/light_groups.h"
#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/master_rules.h"
#include "module/host_services.h"
#include "module/registry.h"
#include "panels/bounded_text.h"
#include "panels/item_list_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

// Written and read on the host's main thread only.
char gLastEvent[kLastEventCapacity + 1] = "";
MasterEventHooks gHooks;
std::atomic<ItemHandle> gRunSelection{nullptr};

// Hosts after this major version get "ImageEditor 0" before preview renders.
constexpr int kLastHostWithoutImageEditorCommand = 6;
constexpr auto kRaiseWait = std::chrono::milliseconds(2);

constexpr const char* kIgnoredPrefixes[] = {
    "AdaptiveSampling", "AddCamera", "AddToSelection", "Antialiasing", "AutoKey", "CommandHistory",
    "Compositing", "DisplayOptions", "EditBones", "EditCameras", "EditLights", "EditObjects",
    "EnableVIPER", "GeneralOptions", "GoToFrame", "ImageEditor", "ImageProcessing", "ItemProperties",
    "LensFlare", "LimitedRegion", "MasterPlugins", "MotionOptions", "MoveTool", "Presets",
    "Quit", "RotateTool", "SaveAllObjects", "SaveObjects", "SaveScene", "SceneEditor",
    "SelectItem", "SizeTool", "StretchTool", "SurfaceEditor", "VIPER", "VolumetricLighting",
    "Volumetrics", "ZoomFactor", "*"};

bool startsWith(const char* text, const char* prefix) {
    return text && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

void send(HostCommandSender sender, void* data, const char* command) {
    if (sender) sender(data, command);
}

PreviewWindow* firstWindow() { return registry().previewWindows.load(std::memory_order_acquire); }
PreviewWindow* nextWindow(PreviewWindow* w) { return gHooks.nextWindow ? gHooks.nextWindow(w) : nullptr; }

bool marked(PreviewWindow* w) { return gHooks.renderMarked && gHooks.renderMarked(w); }
bool singleCamera(PreviewWindow* w) { return gHooks.cameraCount && gHooks.cameraCount(w) == 1; }
ItemHandle cameraOf(PreviewWindow* w) { return gHooks.camera ? gHooks.camera(w) : nullptr; }
long roundedFrame(PreviewWindow* w) {
    return gHooks.frame ? static_cast<long>(std::floor(gHooks.frame(w) + 0.5)) : 0;
}

bool anyMarked() {
    for (PreviewWindow* w = firstWindow(); w; w = nextWindow(w))
        if (marked(w)) return true;
    return false;
}

const HostSceneInfo* sceneInfo() {
    const HostServices& s = hostServices();
    return s.global ? static_cast<const HostSceneInfo*>(s.global(HOST_SCENE_INFO_NAME, HOST_GFUSE_TRANSIENT))
                    : nullptr;
}

const HostInterfaceInfo* interfaceInfo() {
    const HostServices& s = hostServices();
    return s.global ? static_cast<const HostInterfaceInfo*>(s.global(HOST_INTERFACE_INFO_NAME, HOST_GFUSE_TRANSIENT))
                    : nullptr;
}

ItemHandle renderCameraAtStart() {
    if (gHooks.renderCamera) return gHooks.renderCamera(0.0);
    const HostSceneInfo* scene = sceneInfo();
    return scene && scene->renderCamera ? scene->renderCamera(0.0) : nullptr;
}

bool hostAfterVersion6() {
    const int major = gHooks.hostMajorVersion ? gHooks.hostMajorVersion() : hostServices().versionMajor;
    return major > kLastHostWithoutImageEditorCommand;
}

// Renders the next marked window's frame; false when no window is left to render.
bool advancePreviewRun(HostCommandSender sender, void* data) {
    PreviewWindow* target = nullptr;
    for (PreviewWindow* w = firstWindow(); w && !target; w = nextWindow(w))
        if (marked(w) && singleCamera(w)) target = w;
    if (!target) return false;

    // Every window showing the same camera and frame is served by this one render.
    const ItemHandle camera = cameraOf(target);
    const long frame = roundedFrame(target);
    for (PreviewWindow* w = firstWindow(); w; w = nextWindow(w))
        if (singleCamera(w) && cameraOf(w) == camera && roundedFrame(w) == frame && gHooks.setRenderMark)
            gHooks.setRenderMark(w, false);
    const bool more = anyMarked();

    char command[64];
    if (camera != renderCameraAtStart()) {
        std::snprintf(command, sizeof command, "SelectItem %lx",
                      static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(camera)));
        send(sender, data, command);
    }
    send(sender, data, more ? "PlayForward" : "Pause");
    std::snprintf(command, sizeof command, "GoToFrame %ld", frame);
    send(sender, data, command);
    send(sender, data, "RenderFrame");
    return true;
}

void followScrub() {
    double time = 0.0;
    if (gHooks.currentTime) {
        time = gHooks.currentTime();
    } else {
        const HostInterfaceInfo* ui = interfaceInfo();
        if (!ui) return;
        time = ui->curTime;
    }
    const long frame = static_cast<long>(std::floor(time * HostFramesPerSecond() + 0.5));
    for (PreviewWindow* w = firstWindow(); w; w = nextWindow(w))
        if (gHooks.followsScrub && gHooks.followsScrub(w) && gHooks.takeScrubFrame) gHooks.takeScrubFrame(w, frame);
}

void refreshMasterItemLists(MasterInstance* m) {
    if (!m->panel) return;
    for (Control* c : m->panel->controls())
        if (c->kind == kKindItemList) RefreshControl(c, kRefreshAll);
}

// A scene edit: previews re-read their lights and redraw.
void followSceneEdit(MasterInstance* m, const char* command) {
    const MasterHooks& h = masterHooks();
    if (h.refreshStoreLights) h.refreshStoreLights();
    if (startsWith(command, "Clone") || startsWith(command, "Clear")) {
        if (gHooks.refreshLightFilterLabels) gHooks.refreshLightFilterLabels();
        relabelSurfaceGroupBoosts(m);
    }
    if (gHooks.redrawPreviews) gHooks.redrawPreviews();
    if (h.redrawPixelInfoWindows) h.redrawPixelInfoWindows();
    if (h.updateComparisons) h.updateComparisons();
}

}  // namespace

void setMasterEventHooks(const MasterEventHooks& hooks) { gHooks = hooks; }

const char* lastEventText() { return gLastEvent; }

ItemHandle previewRunSelection() { return gRunSelection.load(std::memory_order_relaxed); }

bool isIgnoredCommand(const char* command) {
    for (const char* prefix : kIgnoredPrefixes)
        if (startsWith(command, prefix)) return true;
    return false;
}

void beginPreviewRun(MasterInstance* m, ItemHandle selected, HostCommandSender sender, void* data) {
    if (!masterAlive(m)) return;
    for (PreviewWindow* w = firstWindow(); w; w = nextWindow(w))
        if (gHooks.setRenderMark) gHooks.setRenderMark(w, singleCamera(w));
    m->previewPlayState.store(kPreviewRunRequested, std::memory_order_relaxed);
    m->autoConfirmActive.store(1, std::memory_order_relaxed);
    send(sender, data, "AutoConfirm 1");
    if (hostAfterVersion6()) send(sender, data, "ImageEditor 0");
    gRunSelection.store(selected, std::memory_order_relaxed);
    m->previewRenderActive.store(1, std::memory_order_relaxed);
}

void handleMasterEvent(MasterInstance* m, int code, const char* command, HostCommandSender sender, void* data) {
    const bool isCommand = code == kEventCommand;
    const bool hasText = isCommand && command && command[0];
    CopyText(gLastEvent, hasText ? command : kNoCommandText);
    if (!masterAlive(m)) return;
    m->sourceLightSeen.store(0, std::memory_order_relaxed);

    // Keep the pixel filter in the scene and finish a pending load.
    if (isCommand && !startsWith(command, "ApplyServe") && !startsWith(command, "Redra") &&
        !startsWith(command, "Refres")) {
        if (!registry().activePixelFilter.load(std::memory_order_acquire))
            send(sender, data, "ApplyServer PixelFilterHandler Orvik");
        if (m->panel && m->panel->loadPending.get()) {
            RunPendingAfterLoad(m->panel);
            // Loaded members and notes take effect on the panel and on the surfaces' labels.
            applyDependentRules(m);
            relabelSurfaceGroupBoosts(m);
        }
    }

    // Preview render run: one window's frame per event.
    const int playState = m->previewPlayState.load(std::memory_order_relaxed);
    if (playState == kPreviewRunRequested || (code == kEventTimeChange && playState == kPreviewRunning)) {
        if (!advancePreviewRun(sender, data)) m->previewPlayState.store(kPreviewIdle, std::memory_order_relaxed);
    }

    // The run is over after the first non-command event with no window left marked.
    if (m->autoConfirmActive.load(std::memory_order_relaxed) && !isCommand && !anyMarked()) {
        m->autoConfirmActive.store(0, std::memory_order_relaxed);
        send(sender, data, "AutoConfirm 0");
        gRunSelection.store(nullptr, std::memory_order_relaxed);
        m->previewRenderActive.store(0, std::memory_order_relaxed);
    }

    if (m->previewPlayState.load(std::memory_order_relaxed) == kPreviewRunRequested)
        m->previewPlayState.store(kPreviewRunning, std::memory_order_relaxed);

    if (code == kEventTimeChange) {
        followScrub();
        return;
    }
    if (!hasText) return;

    if (startsWith(command, "HideWindow")) {
        if (gHooks.toggleHideAll) gHooks.toggleHideAll();
        if (gHooks.raiseHostWindow) {
            std::this_thread::sleep_for(kRaiseWait);
            gHooks.raiseHostWindow();
        }
        return;
    }
    if (startsWith(command, "Rename") || startsWith(command, "Clear")) {
        refreshMasterItemLists(m);
        if (gHooks.refreshItemNames) gHooks.refreshItemNames();
    }

    const bool previewsExist = firstWindow() || registry().previewStores.load(std::memory_order_acquire);
    if (!previewsExist) return;
    if (startsWith(command, "ImageEditor 1")) {
        if (gHooks.hidePreviews) gHooks.hidePreviews();
        return;
    }
    if (startsWith(command, "Render")) {
        if (hostAfterVersion6() && firstWindow())
            send(sender, data, "ImageEditor 0");
        return;
    }
    if (isIgnoredCommand(command)) return;
    followSceneEdit(m, command);
}

}  // namespace orvik
