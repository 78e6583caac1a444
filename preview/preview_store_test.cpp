// Stored preview frames: the capture grid, the tiled record buffer, the
// colour cells and the store list.
#include "preview/preview_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "module/registry.h"
#include "preview/record_buffer.h"

namespace orvik {
namespace {

std::size_t colourBytes(const PreviewGrid& g) { return std::size_t(g.width) * g.height * kColourCellBytes; }

TEST(PreviewGrid, StepsCoarsenUntilTheColoursFit) {
  // Equal samples: every pixel is a cell.
  PreviewGrid g = previewGridFor(0, 0, 639, 479, previewBaseStep(4, 4, 0));
  EXPECT_EQ(g.stepX, 1);
  EXPECT_EQ(g.stepY, 1);
  EXPECT_EQ(g.width, 640);
  EXPECT_EQ(g.height, 480);
  EXPECT_EQ(colourBytes(g), 3686400u);

  // Adaptive sampling starts two pixels wide.
  g = previewGridFor(0, 0, 639, 479, previewBaseStep(1, 4, 0));
  EXPECT_EQ(g.stepX, 2);
  EXPECT_EQ(g.stepY, 1);
  EXPECT_EQ(g.width, 320);

  // 2000 x 2000 passes 1x1, 1x2 and 2x2 (all too large) and settles on 2x3.
  g = previewGridFor(0, 0, 1999, 1999, 1);
  EXPECT_EQ(g.stepX, 2);
  EXPECT_EQ(g.stepY, 3);
  EXPECT_EQ(g.width, 1000);
  EXPECT_EQ(g.height, 667);
  EXPECT_EQ(colourBytes(g), 8004000u);
  EXPECT_LE(colourBytes(g), kMaxColourGridBytes);

  // Old hosts sample single passes at a step of 2.
  EXPECT_EQ(previewBaseStep(1, 1, 500), 2);
  EXPECT_EQ(previewBaseStep(1, 1, 600), 1);

  // A limited region: the origin is the step multiple at or below its corner.
  g = previewGridFor(5, 3, 20, 9, 2);
  EXPECT_EQ(g.originX, 4);
  EXPECT_EQ(g.originY, 3);
  EXPECT_EQ(g.width, (22 - 4) / 2);
  EXPECT_EQ(g.height, 7);

  // No scene: one cell.
  g = previewGrid(nullptr, 0);
  EXPECT_EQ(g.width * g.height, 1);
  EXPECT_EQ(g.stepX, 2);
  EXPECT_EQ(g.stepY, 1);
}

TEST(PreviewGrid, OnlyTheRepresentativePixelStandsForACell) {
  PreviewGrid g = previewGridFor(0, 0, 9, 9, 2);  // steps 2 x 1
  int cx = -1, cy = -1;
  EXPECT_FALSE(representedCell(g, 0, 0, cx, cy));
  EXPECT_TRUE(representedCell(g, 1, 4, cx, cy));
  EXPECT_EQ(cx, 0);
  EXPECT_EQ(cy, 4);
  EXPECT_TRUE(representedCell(g, 3, 0, cx, cy));
  EXPECT_EQ(cx, 1);
  EXPECT_FALSE(representedCell(g, 11, 0, cx, cy));  // beyond the grid
  EXPECT_FALSE(cellOfPixel(g, -1, 0, cx, cy));
}

TEST(RecordBuffer, TileSides) {
  EXPECT_EQ(chooseTileSide(10, 16), 10);
  EXPECT_EQ(chooseTileSide(64, 16), 16);
  EXPECT_EQ(chooseTileSide(100, 16), 14);  // 13..19: 100 mod 14 = 2 is the smallest remainder
  EXPECT_EQ(chooseTileSide(100, 3), 3);
  EXPECT_EQ(chooseTileSide(17, 16), 17);   // 17 divides itself
}

TEST(RecordBuffer, SlotsAreLaidOutByAlignmentAndRecordsStayAligned) {
  auto b = RecordBuffer::create(20, 20);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->addSlot(4, 4), 0);
  EXPECT_EQ(b->addSlot(24, 8), 1);
  EXPECT_EQ(b->addSlot(3, 1), 2);
  EXPECT_EQ(b->addSlot(12, 4), 3);
  EXPECT_EQ(b->addSlot(4, 3), -1);  // no such alignment
  b->layOut();
  EXPECT_EQ(b->slot(1).offset, 0);
  EXPECT_EQ(b->slot(0).offset, 24);
  EXPECT_EQ(b->slot(3).offset, 28);
  EXPECT_EQ(b->slot(2).offset, 40);
  EXPECT_EQ(b->recordSize(), 48u);
  for (int y = 0; y < 20; y += 7)
    for (int x = 0; x < 20; x += 3) {
      unsigned char* r = b->recordForWrite(x, y);
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(r) % 8, 0u);
    }
  EXPECT_EQ(b->recordForWrite(20, 0), nullptr);
  EXPECT_EQ(b->recordForWrite(0, -1), nullptr);
}

TEST(RecordBuffer, TilesAppearOnFirstWriteAndRecordsCountOnceMarked) {
  auto b = RecordBuffer::create(40, 40);
  ASSERT_TRUE(b);
  b->addSlot(8, 8);
  b->layOut();
  EXPECT_EQ(b->allocatedTiles(), 0);
  const std::size_t empty = b->memoryBytes();
  unsigned char* r = b->recordForWrite(25, 3);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(b->record(25, 3), nullptr);  // not marked yet
  const double v = 4.25;
  std::memcpy(r, &v, 8);
  b->markWritten(25, 3);
  ASSERT_NE(b->record(25, 3), nullptr);
  EXPECT_EQ(std::memcmp(b->record(25, 3), &v, 8), 0);
  EXPECT_EQ(b->record(24, 3), nullptr);
  EXPECT_EQ(b->allocatedTiles(), 1);
  EXPECT_EQ(b->memoryBytes(), empty + b->tileBytes());
  int x0, y0, x1, y1;
  ASSERT_TRUE(b->writtenBounds(x0, y0, x1, y1));
  EXPECT_EQ(x0, 25);
  EXPECT_EQ(y1, 3);
  b->clearTiles();
  EXPECT_EQ(b->allocatedTiles(), 0);
  EXPECT_EQ(b->record(25, 3), nullptr);
  EXPECT_FALSE(b->writtenBounds(x0, y0, x1, y1));
}

TEST(RecordBuffer, ThreadsWritingOneTileTogetherLoseNothing) {
  auto b = RecordBuffer::create(64, 64);
  ASSERT_TRUE(b);
  b->addSlot(4, 4);
  b->layOut();
  constexpr int kThreads = 4;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      // Interleaved pixels: every tile is reached by every thread.
      for (int i = t; i < 64 * 64; i += kThreads) {
        const int x = i % 64, y = i / 64;
        unsigned char* r = b->recordForWrite(x, y);
        if (!r) continue;
        std::memcpy(r, &i, 4);
        b->markWritten(x, y);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(b->allocatedTiles(), 16);
  int missing = 0;
  for (int i = 0; i < 64 * 64; ++i) {
    const unsigned char* r = b->record(i % 64, i / 64);
    int v = -1;
    if (r) std::memcpy(&v, r, 4);
    if (v != i) ++missing;
  }
  EXPECT_EQ(missing, 0);
}

TEST(PreviewStores, ListKeysAndFreeing) {
  ASSERT_EQ(storeCount(), 0);
  auto* cam = reinterpret_cast<HostItemId>(std::uintptr_t{7});
  PreviewStore* a = createStore(cam, 1);
  PreviewStore* b = createStore(cam, 2);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(registry().previewStores.load(), b);  // newest first
  EXPECT_EQ(findStore(cam, 1), a);
  EXPECT_EQ(findStore(cam, 3), nullptr);
  EXPECT_EQ(a->channels->channelCount, kStoredKindCount);
  EXPECT_EQ(a->channels->worldPositionSlot, 2);
  EXPECT_GT(storedMemoryBytes(), 0u);
  freeStore(b);
  EXPECT_EQ(registry().previewStores.load(), a);
  EXPECT_EQ(a->previous, nullptr);
  createStore(cam, 4);
  freeAllStores();
  EXPECT_EQ(storeCount(), 0);
  EXPECT_EQ(storedMemoryBytes(), 0u);
}

TEST(PreviewStores, AFinalColourIsKeptFromTheFirstPass) {
  HostSceneInfo scene{};
  scene.frameWidth = 6;
  scene.minSamplesPerPixel = scene.maxSamplesPerPixel = 1;
  scene.limitedRegion[2] = 5;
  scene.limitedRegion[3] = 3;
  PreviewStore* s = createStore(nullptr, 1);
  ASSERT_NE(s, nullptr);
  StoreFrame how;
  how.scene = &scene;
  ASSERT_TRUE(prepareStore(*s, 1, how));
  EXPECT_FALSE(s->cellRendered(2, 1));
  float rgb[3];
  ASSERT_TRUE(s->cellColour(2, 1, rgb));
  EXPECT_EQ(rgb[0], 0.9999f);
  EXPECT_EQ(rgb[2], -1.0f);

  const float first[3] = {0.1f, 0.2f, 0.3f}, second[3] = {0.7f, 0.8f, 0.9f};
  storeFinalColour(*s, 2.5, 1.5, first);
  storeFinalColour(*s, 2.5, 1.5, second);
  ASSERT_TRUE(s->cellColour(2, 1, rgb));
  EXPECT_EQ(rgb[0], 0.1f);
  EXPECT_EQ(rgb[2], 0.3f);

  // A host colour with negative blue still closes the cell.
  const float negative[3] = {0.5f, 0.5f, -0.25f};
  storeFinalColour(*s, 3.5, 1.5, negative);
  EXPECT_TRUE(s->cellRendered(3, 1));

  // Positions outside the frame, or not numbers, touch nothing.
  storeFinalColour(*s, 1e300, 1.5, first);
  storeFinalColour(*s, std::nan(""), 1.5, first);
  storeFinalColour(*s, -0.5, -3.0, first);
  EXPECT_FALSE(s->cellRendered(0, 0));

  // Preparing the frame again opens every cell.
  ASSERT_TRUE(prepareStore(*s, 1, how));
  EXPECT_FALSE(s->cellRendered(2, 1));
  freeAllStores();
}

}  // namespace
}  // namespace orvik
