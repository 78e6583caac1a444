#include "shading/art_swatch.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
constexpr double kTwoPi = 6.283185307179586;
// The disc is drawn a hair inside the swatch's unit square.
constexpr double kDiscShrink = 0.999;
// Keeps the image coordinate of the far edge inside the image.
constexpr double kEdgeGuard = 1e-6;
constexpr double kDiscRadiusSquared = 0.25;

void put(uint8_t* px, uint8_t r, uint8_t g, uint8_t b) {
  px[0] = r;
  px[1] = g;
  px[2] = b;
}

uint8_t toByte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 1.0) * 255.0); }
}  // namespace

void drawArtSwatch(double rotate, double squeeze, const ArtImageView* image, int w, int h, uint8_t* rgb) {
  if (!rgb || w <= 0 || h <= 0) return;
  const bool haveImage = image && image->colour;
  const int imageW = haveImage ? std::max(image->width, 1) : 1;
  const int imageH = haveImage ? std::max(image->height, 1) : 1;
  const double s = 1.0 - squeeze;
  const double a = rotate * kTwoPi;
  const double sinA = std::sin(a), cosA = std::cos(a);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* px = rgb + 3 * (static_cast<long>(y) * w + x);
      const double u = static_cast<double>(x) / w - 0.5;
      const double v = static_cast<double>(y) / h - 0.5;
      if (u * u + v * v >= kDiscRadiusSquared) {
        put(px, kSwatchBackgroundGrey, kSwatchBackgroundGrey, kSwatchBackgroundGrey);
        continue;
      }
      put(px, kSwatchNoImageGrey, kSwatchNoImageGrey, kSwatchNoImageGrey);
      if (!haveImage) continue;
      const double u1 = s * u * kDiscShrink;
      const double v1 = s * v * kDiscShrink;
      const double colF = (sinA * v1 + cosA * u1 + 0.5) * (imageW - kEdgeGuard);
      const double rowF = (cosA * v1 - sinA * u1 + 0.5) * (imageH - kEdgeGuard);
      if (!(colF > -1.0 && colF < imageW && rowF > -1.0 && rowF < imageH)) continue;
      const int column = static_cast<int>(colF);  // integer part
      const int row = static_cast<int>(rowF);
      if (column < 0 || column >= imageW || row < 0 || row >= imageH) continue;
      double c[3] = {0.0, 0.0, 0.0};
      image->colour(image->data, column, row, c);
      put(px, toByte(c[0]), toByte(c[1]), toByte(c[2]));
    }
  }
}

}  // namespace orvik
