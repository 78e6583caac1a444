#include "panels/platform/headless/headless_backend.h"

#include <deque>
#include <mutex>

#include "panels/panel_events.h"

namespace orvik {

namespace {

std::mutex g_queueLock;
std::deque<PostedMessage> g_queue;
// The stand-in window: any non-null address marks "has a window".
char g_headlessWindow;

void HeadlessPost(Panel* panel, unsigned code, uintptr_t param1, intptr_t param2) {
  std::lock_guard<std::mutex> lock(g_queueLock);
  g_queue.push_back({panel, code, param1, param2});
}

void HeadlessSetFocus(Panel*, Control*) {}

}  // namespace

void InstallHeadlessBackend() {
  WindowBackend backend;
  backend.postMessage = HeadlessPost;
  backend.setFocus = HeadlessSetFocus;
  SetWindowBackend(backend);
}

void OpenHeadlessWindow(Panel* panel) {
  if (panel == nullptr) return;
  panel->window = &g_headlessWindow;
  panel->isOpen = 1;
  panel->closeState = kCloseOpen;
}

void CloseHeadlessWindow(Panel* panel) {
  if (panel == nullptr) return;
  panel->window = nullptr;
  panel->isOpen = 0;
  std::lock_guard<std::mutex> lock(g_queueLock);
  std::erase_if(g_queue, [panel](const PostedMessage& m) { return m.panel == panel; });
}

std::vector<PostedMessage> TakePostedMessages(Panel* panel) {
  std::vector<PostedMessage> taken;
  std::lock_guard<std::mutex> lock(g_queueLock);
  for (auto it = g_queue.begin(); it != g_queue.end();) {
    if (it->panel == panel) {
      taken.push_back(*it);
      it = g_queue.erase(it);
    } else {
      ++it;
    }
  }
  return taken;
}

int PumpHeadlessMessages(Panel* panel) {
  int delivered = 0;
  for (const PostedMessage& m : TakePostedMessages(panel)) {
    DispatchPanelMessage(panel, m.code, m.param1, m.param2);
    ++delivered;
  }
  return delivered;
}

}  // namespace orvik
