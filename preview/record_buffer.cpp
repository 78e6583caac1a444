#include "preview/record_buffer.h"

#include <algorithm>
#include <new>

namespace orvik {
namespace {

// Largest tile-side spread searched around the requested side.
constexpr int kMaxTileSideSpread = 20;
constexpr int kSlotAlignments[] = {8, 4, 2, 1};

void lowerTo(std::atomic<int>& v, int x) {
  int cur = v.load(std::memory_order_relaxed);
  while (x < cur && !v.compare_exchange_weak(cur, x, std::memory_order_relaxed)) {
  }
}

void raiseTo(std::atomic<int>& v, int x) {
  int cur = v.load(std::memory_order_relaxed);
  while (x > cur && !v.compare_exchange_weak(cur, x, std::memory_order_relaxed)) {
  }
}

}  // namespace

int chooseTileSide(int n, int requested) {
  if (n <= requested) return n;
  if (requested < 4 || n % requested == 0) return requested;
  const int spread = std::min(requested / 8 + 1, kMaxTileSideSpread);
  int best = requested - spread, bestRemainder = n % best;
  for (int t = requested - spread + 1; t <= requested + spread; ++t) {
    if (n % t < bestRemainder) best = t, bestRemainder = n % t;
  }
  return best;
}

std::unique_ptr<RecordBuffer> RecordBuffer::create(int width, int height, int requestedTile) {
  if (width <= 0 || height <= 0 || requestedTile <= 0) return nullptr;
  std::unique_ptr<RecordBuffer> b(new (std::nothrow) RecordBuffer);
  if (!b) return nullptr;
  b->width_ = width;
  b->height_ = height;
  b->tileW_ = chooseTileSide(width, requestedTile);
  b->tileH_ = chooseTileSide(height, requestedTile);
  b->tilesX_ = (width + b->tileW_ - 1) / b->tileW_;
  b->tilesY_ = (height + b->tileH_ - 1) / b->tileH_;
  const std::size_t count = std::size_t(b->tilesX_) * std::size_t(b->tilesY_);
  b->tiles_.reset(new (std::nothrow) std::atomic<unsigned char*>[count]);
  if (!b->tiles_) return nullptr;
  for (std::size_t i = 0; i < count; ++i) b->tiles_[i].store(nullptr, std::memory_order_relaxed);
  b->clearTiles();  // empty bounding box
  return b;
}

RecordBuffer::~RecordBuffer() { clearTiles(); }

int RecordBuffer::addSlot(int size, int alignment) {
  if (slotCount_ >= kMaxChannelSlots || size <= 0) return -1;
  if (alignment != 8 && alignment != 4 && alignment != 2 && alignment != 1) return -1;
  slots_[slotCount_] = ChannelSlot{size, alignment, 0};
  return slotCount_++;
}

void RecordBuffer::clearSlots() {
  clearTiles();
  slotCount_ = 0;
  recordSize_ = 0;
}

void RecordBuffer::layOut() {
  clearTiles();
  std::size_t offset = 0;
  int largest = 1;
  for (int alignment : kSlotAlignments) {
    for (int i = 0; i < slotCount_; ++i) {
      if (slots_[i].alignment != alignment) continue;
      slots_[i].offset = int(offset);
      offset += std::size_t(slots_[i].size);
      largest = std::max(largest, alignment);
    }
  }
  recordSize_ = (offset + std::size_t(largest) - 1) / std::size_t(largest) * std::size_t(largest);
}

std::size_t RecordBuffer::bitmapBytes() const {
  const std::size_t pixels = std::size_t(tileW_) * std::size_t(tileH_);
  return ((pixels - 1) / 8 + 1) * 8;
}

std::size_t RecordBuffer::tileBytes() const {
  return bitmapBytes() + std::size_t(tileW_) * std::size_t(tileH_) * recordSize_;
}

std::size_t RecordBuffer::memoryBytes() const {
  const std::size_t tiles = std::size_t(tilesX_) * std::size_t(tilesY_);
  return std::size_t(allocatedTiles()) * tileBytes() + tiles * sizeof(std::atomic<unsigned char*>) +
         sizeof(RecordBuffer);
}

void RecordBuffer::clearTiles() {
  if (!tiles_) return;
  const std::size_t count = std::size_t(tilesX_) * std::size_t(tilesY_);
  for (std::size_t i = 0; i < count; ++i) {
    unsigned char* tile = tiles_[i].exchange(nullptr, std::memory_order_acq_rel);
    if (tile) ::operator delete[](tile, std::align_val_t{8});
  }
  allocatedTiles_.store(0, std::memory_order_relaxed);
  minX_.store(width_, std::memory_order_relaxed);
  minY_.store(height_, std::memory_order_relaxed);
  maxX_.store(-1, std::memory_order_relaxed);
  maxY_.store(-1, std::memory_order_relaxed);
}

bool RecordBuffer::locate(int x, int y, int& tile, int& index) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || recordSize_ == 0) return false;
  tile = (y / tileH_) * tilesX_ + x / tileW_;
  index = (y % tileH_) * tileW_ + x % tileW_;
  return true;
}

unsigned char* RecordBuffer::recordForWrite(int x, int y) {
  int t = 0, i = 0;
  if (!locate(x, y, t, i)) return nullptr;
  unsigned char* tile = tiles_[t].load(std::memory_order_acquire);
  if (!tile) {
    // Two threads may reach a new tile together: the first to publish wins.
    const std::size_t bytes = tileBytes();
    auto* fresh = static_cast<unsigned char*>(::operator new[](bytes, std::align_val_t{8}, std::nothrow));
    if (!fresh) return nullptr;
    std::fill(fresh, fresh + bytes, 0);
    if (tiles_[t].compare_exchange_strong(tile, fresh, std::memory_order_acq_rel)) {
      tile = fresh;
      allocatedTiles_.fetch_add(1, std::memory_order_relaxed);
    } else {
      ::operator delete[](fresh, std::align_val_t{8});
    }
  }
  return tile + bitmapBytes() + std::size_t(i) * recordSize_;
}

void RecordBuffer::markWritten(int x, int y) {
  int t = 0, i = 0;
  if (!locate(x, y, t, i)) return;
  unsigned char* tile = tiles_[t].load(std::memory_order_acquire);
  if (!tile) return;
  std::atomic_ref<unsigned char>(tile[i / 8]).fetch_or(static_cast<unsigned char>(1u << (i % 8)),
                                                       std::memory_order_release);
  lowerTo(minX_, x);
  lowerTo(minY_, y);
  raiseTo(maxX_, x);
  raiseTo(maxY_, y);
}

const unsigned char* RecordBuffer::record(int x, int y) const {
  int t = 0, i = 0;
  if (!locate(x, y, t, i)) return nullptr;
  unsigned char* tile = tiles_[t].load(std::memory_order_acquire);
  if (!tile) return nullptr;
  const unsigned char bits = std::atomic_ref<unsigned char>(tile[i / 8]).load(std::memory_order_acquire);
  if (!(bits & (1u << (i % 8)))) return nullptr;
  return tile + bitmapBytes() + std::size_t(i) * recordSize_;
}

bool RecordBuffer::writtenBounds(int& x0, int& y0, int& x1, int& y1) const {
  x1 = maxX_.load(std::memory_order_relaxed);
  y1 = maxY_.load(std::memory_order_relaxed);
  x0 = minX_.load(std::memory_order_relaxed);
  y0 = minY_.load(std::memory_order_relaxed);
  return x1 >= 0;
}

}  // namespace orvik
