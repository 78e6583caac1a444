#include "host/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace orvik::host {

namespace {

std::string clockText(double seconds) {
  const long total = static_cast<long>(std::ceil(std::max(seconds, 0.0)));
  char text[32];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, (total / 60) % 60, total % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace

std::string formatProgressLine(const std::string& label, uint64_t done, uint64_t total,
                               double elapsedSeconds, int width) {
  width = std::max(width, 1);
  const double fraction = total == 0 ? 1.0 : std::min(1.0, static_cast<double>(done) / total);
  const int filled = static_cast<int>(fraction * width);
  std::string line = label + " [";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(width - filled), '.');
  char percent[16];
  std::snprintf(percent, sizeof percent, "] %3d%%  ", static_cast<int>(fraction * 100.0));
  line += percent;
  if (done == 0 || total == 0)
    line += "--:--";
  else
    line += clockText(elapsedSeconds * (static_cast<double>(total) - done) / done);
  line += " left";
  return line;
}

ProgressBar::ProgressBar(std::string label, uint64_t total, std::FILE* out)
    : label_(std::move(label)),
      total_(total),
      out_(out),
      enabled_(out && ::isatty(::fileno(out))),
      start_(std::chrono::steady_clock::now()) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::advance(uint64_t amount) {
  done_.fetch_add(amount, std::memory_order_relaxed);
  if (enabled_) draw(false);
}

void ProgressBar::finish() {
  std::lock_guard<std::mutex> lock(drawMutex_);
  if (finished_ || !enabled_) {
    finished_ = true;
    return;
  }
  finished_ = true;
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::string line = formatProgressLine(label_, total_, total_, elapsed);
  std::fprintf(out_, "\r%s\n", line.c_str());
  std::fflush(out_);
}

void ProgressBar::draw(bool force) {
  const auto now = std::chrono::steady_clock::now();
  const int64_t ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count();
  if (!force && ms - lastDrawMs_.load(std::memory_order_relaxed) < 100) return;
  std::unique_lock<std::mutex> lock(drawMutex_, std::try_to_lock);
  if (!lock.owns_lock() || finished_) return;
  lastDrawMs_.store(ms, std::memory_order_relaxed);
  const std::string line =
      formatProgressLine(label_, done_.load(std::memory_order_relaxed), total_, ms * 0.001);
  std::fprintf(out_, "\r%s", line.c_str());
  std::fflush(out_);
}

}  // namespace orvik::host
