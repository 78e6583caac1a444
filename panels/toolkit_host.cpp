#include "panels/toolkit_host.h"

namespace orvik {

namespace {
ToolkitHost g_host;
constexpr double kFallbackFramesPerSecond = 30.0;
}  // namespace

void SetToolkitHost(const ToolkitHost& host) { g_host = host; }
const ToolkitHost& GetToolkitHost() { return g_host; }

const char* HostItemName(ItemHandle item) {
  if (item == nullptr || g_host.itemName == nullptr) return "";
  const char* name = g_host.itemName(item);
  return name != nullptr ? name : "";
}

int HostItemType(ItemHandle item) {
  if (item == nullptr || g_host.itemType == nullptr) return -1;
  return g_host.itemType(item);
}

ItemHandle HostItemParent(ItemHandle item) {
  if (item == nullptr || g_host.itemParent == nullptr) return nullptr;
  return g_host.itemParent(item);
}

double HostFramesPerSecond() {
  double fps = g_host.framesPerSecond != nullptr ? g_host.framesPerSecond() : 0.0;
  return fps > 0.0 ? fps : kFallbackFramesPerSecond;
}

void HostError(const char* line1, const char* line2) {
  if (g_host.error != nullptr) g_host.error(line1 != nullptr ? line1 : "", line2 != nullptr ? line2 : "");
}

void HostInfo(const char* line1, const char* line2) {
  if (g_host.info != nullptr) g_host.info(line1 != nullptr ? line1 : "", line2 != nullptr ? line2 : "");
}

}  // namespace orvik
