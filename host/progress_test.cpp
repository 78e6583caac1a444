#include "host/progress.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace orvik::host {
namespace {

TEST(ProgressLine, ShowsShareDoneAndTimeLeft) {
  // Half done after 30 s: 30 s left.
  EXPECT_EQ(formatProgressLine("Frame 1", 50, 100, 30.0, 10), "Frame 1 [#####.....]  50%  0:30 left");
  // Nothing done yet: no estimate.
  EXPECT_EQ(formatProgressLine("F", 0, 10, 5.0, 4), "F [....]   0%  --:-- left");
  // Long renders show hours.
  EXPECT_EQ(formatProgressLine("F", 1, 3, 3600.0, 3), "F [#..]  33%  2:00:00 left");
  // More work reported than announced is capped at 100 %.
  EXPECT_EQ(formatProgressLine("F", 12, 10, 1.0, 2), "F [##] 100%  0:00 left");
}

TEST(ProgressBar, WritesNothingWhenNotATerminal) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    ProgressBar bar("Frame", 1000, file);
    EXPECT_FALSE(bar.enabled());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([&bar] {
        for (int i = 0; i < 250; ++i) bar.advance();
      });
    for (auto& t : threads) t.join();
    EXPECT_EQ(bar.done(), 1000u);
    bar.finish();
  }
  EXPECT_EQ(std::ftell(file), 0L);
  std::fclose(file);
}

}  // namespace
}  // namespace orvik::host
