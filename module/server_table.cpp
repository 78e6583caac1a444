#include "module/server_table.h"

#include "module/activation.h"
#include "module/entry_guard.h"
#include "module/random_tables.h"
#include "module/thread_slots.h"

namespace orvik {
namespace {

constexpr const char *kServerName = "Orvik";

#define ORVIK_USER_NAME_TAGS(name, text)                                  \
  const HostServerTag name[] = {{text, HOST_SRVTAG_USERNAME}, {nullptr, 0}}

ORVIK_USER_NAME_TAGS(kAddPreviewTags, "Orvik:Add Preview");
ORVIK_USER_NAME_TAGS(kAddToObjectsTags, "Orvik:Add to Objects");
ORVIK_USER_NAME_TAGS(kAddToAllTags, "Orvik:Add to All");
ORVIK_USER_NAME_TAGS(kRemoveFromObjectsTags, "Orvik:Remove From Objects");
ORVIK_USER_NAME_TAGS(kOpenMasterTags, "Orvik:Open Master");
ORVIK_USER_NAME_TAGS(kRenderTags, "Orvik:Render Previews");
ORVIK_USER_NAME_TAGS(kHidePreviewsTags, "Orvik:Hide Previews");
ORVIK_USER_NAME_TAGS(kHideAllTags, "Orvik:(Un)Hide");
ORVIK_USER_NAME_TAGS(kNoBufferTags, "No display or warning");

#undef ORVIK_USER_NAME_TAGS

}  // namespace

const HostServerRecord kServerTable[kServerCount + 1] = {
    {HOST_CLASS_SHADER_HANDLER, kServerName, activateShaderHandler, nullptr},
    {HOST_CLASS_SHADER_INTERFACE, kServerName, activateShaderInterface, nullptr},
    {HOST_CLASS_MASTER_HANDLER, kServerName, activateMasterHandler, nullptr},
    {HOST_CLASS_MASTER_INTERFACE, kServerName, activateMasterInterface, nullptr},
    {HOST_CLASS_PIXEL_FILTER_HANDLER, kServerName, activatePixelFilterHandler, nullptr},
    {HOST_CLASS_PIXEL_FILTER_INTERFACE, kServerName, activatePixelFilterInterface, nullptr},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Add_Preview", activateAddPreview, kAddPreviewTags},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Add_To_Objects", activateAddToObjects, kAddToObjectsTags},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Add_To_All", activateAddToAll, kAddToAllTags},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Remove_From_Objects", activateRemoveFromObjects,
     kRemoveFromObjectsTags},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Open_Master", activateOpenMaster, kOpenMasterTags},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Render", activateRender, kRenderTags},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Hide_Previews", activateHidePreviews, kHidePreviewsTags},
    {HOST_CLASS_LAYOUT_GENERIC, "Orvik_Hide_All", activateHideAll, kHideAllTags},
    {HOST_CLASS_FRAME_BUFFER_HANDLER, "no_buffer", activateNoBuffer, kNoBufferTags},
    {nullptr, nullptr, nullptr, nullptr},
};

void *moduleStartup() {
  // Without the random tables the module cannot shade: refuse to start.
  const bool ready = guardedCall<bool>(false, [] { return buildRandomTables(); });
  return ready ? reinterpret_cast<void *>(kStartupServerData) : nullptr;
}

void moduleShutdown(void *) {}

bool processAttach() {
  return guardedCall<bool>(false, [] {
    clearThreadSlots();
    attachThread();
    return buildRandomTables();
  });
}

void processDetach() {
  guardedCall([] {
    clearThreadSlots();
    freeRandomTables();
  });
}

}  // namespace orvik
