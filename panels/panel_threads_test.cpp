// The host's thread reads settings while the panel's thread edits them; run
// under ThreadSanitizer this must stay free of data races.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "panels/button_control.h"
#include "panels/color_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/platform/headless/headless_backend.h"

namespace orvik {
namespace {

TEST(PanelThreads, HostReadsWhileThePanelDragsAndClicks) {
  InstallHeadlessBackend();
  Panel* panel = CreatePanel("P", nullptr, 0);
  OpenHeadlessWindow(panel);
  NumericControl* n = AddNumericControl("N", 0, 0, panel);
  ButtonControl* check = AddCheckButton("C", 0, 0, panel);
  ColorControl* tint = AddColorControl("T", 0, 0, panel);
  std::atomic<bool> done{false};

  std::thread panelThread([&] {
    for (int round = 0; round < 200; ++round) {
      BeginNumberDrag(n, 100, 100);
      for (int x = 513; x < 540; ++x) MoveNumberDrag(n, x + (round % 2 == 0 ? 0 : -60), 405, false);
      EndNumberDrag(n);
      ClickButton(check, 0);
      const double rgb[3] = {round / 200.0, 0.5, 1.0};
      ApplyPickedColor(tint, rgb);
    }
    done = true;
  });

  int changes = 0;
  double sum = 0.0;
  while (!done.load()) {
    if (n->pendingChange.get()) {
      n->pendingChange = 0;
      ++changes;
    }
    sum += n->value + (IsButtonOn(check) ? 1 : 0) + tint->red / 255.0;
    TakePostedMessages(panel);
  }
  panelThread.join();
  EXPECT_GE(n->value.get(), 0.0);
  EXPECT_LE(n->value.get(), 1.0 + 1e-12);
  EXPECT_GE(sum, 0.0);
  (void)changes;
  CloseHeadlessWindow(panel);
  DestroyPanel(panel);
  SetWindowBackend(WindowBackend{});
}

}  // namespace
}  // namespace orvik
