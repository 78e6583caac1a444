// The art-mode preview swatch: the study-sphere image as it maps onto a disc,
// with the panel's rotation and squeeze.
#pragma once

#include <cstdint>

namespace orvik {

// Read access to an image: its size and the colour of one pixel (components
// nominally 0..1).
struct ArtImageView {
  int width = 1;
  int height = 1;
  const void* data = nullptr;
  void (*colour)(const void* data, int column, int row, double rgb[3]) = nullptr;
};

// Greys of the swatch: around the disc, and inside it where there is no image.
inline constexpr uint8_t kSwatchBackgroundGrey = 82;
inline constexpr uint8_t kSwatchNoImageGrey = 144;

// Fills rgb (w × h × 3 bytes, rows top to bottom) with the swatch for the
// rotation (ART_ROTATE, turns) and squeeze (ART_SQUEEZE). image null: no image.
void drawArtSwatch(double rotate, double squeeze, const ArtImageView* image, int w, int h, uint8_t* rgb);

}  // namespace orvik
