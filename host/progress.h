// A one-line progress bar with the time left, drawn on a terminal only.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace orvik::host {

// The text of one progress line, e.g. "Frame 1 [#####.....]  50%  0:03 left".
// `width` is the number of cells of the bar. With no work done yet the time
// left is shown as "--:--".
std::string formatProgressLine(const std::string& label, uint64_t done, uint64_t total,
                               double elapsedSeconds, int width = 30);

class ProgressBar {
 public:
  // Draws on `out` only when it is a terminal, so logs and pipes stay clean.
  ProgressBar(std::string label, uint64_t total, std::FILE* out = stderr);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Counts finished work; safe from any number of threads. Redraws at most
  // ten times a second.
  void advance(uint64_t amount = 1);
  // Draws the full bar once more and ends the line.
  void finish();

  bool enabled() const { return enabled_; }
  uint64_t done() const { return done_.load(std::memory_order_relaxed); }

 private:
  void draw(bool force);

  std::string label_;
  uint64_t total_;
  std::FILE* out_;
  bool enabled_;
  bool finished_ = false;
  std::atomic<uint64_t> done_{0};
  std::atomic<int64_t> lastDrawMs_{-1000};
  std::mutex drawMutex_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace orvik::host
