// A sparse grid of fixed-size pixel records, split into tiles that are
// allocated on first write. Each record is made of channel slots whose
// offsets are laid out by alignment (8, then 4, 2, 1), so that doubles,
// floats and bytes sit naturally aligned inside a record.
//
// Render threads write records of different pixels at the same time: tile
// allocation and the validity bits are atomic, the records themselves are
// disjoint. Reading happens between renders.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace orvik {

inline constexpr int kRequestedTileSide = 16;
inline constexpr int kMaxChannelSlots = 128;

// Tile side for a grid side of n pixels and a requested side r: n itself when
// it fits, r when it divides n (or r is tiny), else the side near r that
// leaves the smallest remainder.
int chooseTileSide(int n, int requested);

struct ChannelSlot {
  int size = 0;
  int alignment = 1;  // 8, 4, 2 or 1
  int offset = 0;
};

class RecordBuffer {
 public:
  // An empty buffer of width x height records; null when out of memory or
  // the size is not positive.
  static std::unique_ptr<RecordBuffer> create(int width, int height, int requestedTile = kRequestedTileSide);
  ~RecordBuffer();
  RecordBuffer(const RecordBuffer&) = delete;
  RecordBuffer& operator=(const RecordBuffer&) = delete;

  // Slots: add them in slot order, then lay them out. Laying out frees every
  // tile (their records no longer fit). Returns the slot index, or -1 when
  // the table is full or the slot is malformed.
  int addSlot(int size, int alignment);
  void clearSlots();
  void layOut();
  int slotCount() const { return slotCount_; }
  const ChannelSlot& slot(int i) const { return slots_[i]; }
  std::size_t recordSize() const { return recordSize_; }

  // Frees every tile; the slots stay.
  void clearTiles();

  // The record of (x, y), its tile allocated when needed; null outside the
  // grid or when the allocation fails. The record counts as written once
  // markWritten is called.
  unsigned char* recordForWrite(int x, int y);
  void markWritten(int x, int y);
  // A written record, or null.
  const unsigned char* record(int x, int y) const;
  bool written(int x, int y) const { return record(x, y) != nullptr; }

  int width() const { return width_; }
  int height() const { return height_; }
  int tileWidth() const { return tileW_; }
  int tileHeight() const { return tileH_; }
  int allocatedTiles() const { return allocatedTiles_.load(std::memory_order_relaxed); }
  // Bytes of one tile: validity bitmap then records.
  std::size_t tileBytes() const;
  // Allocated tiles, the tile table and this header.
  std::size_t memoryBytes() const;
  // Bounding box of written positions; false when nothing was written.
  bool writtenBounds(int& x0, int& y0, int& x1, int& y1) const;

 private:
  RecordBuffer() = default;
  std::size_t bitmapBytes() const;
  bool locate(int x, int y, int& tile, int& index) const;

  int width_ = 0, height_ = 0;
  int tileW_ = 1, tileH_ = 1, tilesX_ = 0, tilesY_ = 0;
  ChannelSlot slots_[kMaxChannelSlots];
  int slotCount_ = 0;
  std::size_t recordSize_ = 0;
  std::unique_ptr<std::atomic<unsigned char*>[]> tiles_;
  std::atomic<int> allocatedTiles_{0};
  std::atomic<int> minX_{0}, minY_{0}, maxX_{-1}, maxY_{-1};
};

}  // namespace orvik
