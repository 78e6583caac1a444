// Reading and writing raster images: PNG (8 bit), JPEG and OpenEXR (float).
#pragma once

#include <string>
#include <vector>

namespace orvik::host {

// A float RGBA image, rows from top to bottom, 4 values per pixel.
struct ImageBuffer {
  int width = 0;
  int height = 0;
  std::vector<float> pixels;

  ImageBuffer() = default;
  ImageBuffer(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0.0f) {}
  bool empty() const { return width <= 0 || height <= 0; }
  float* at(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
  const float* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

enum class ImageFormat { Unknown, Png, Jpeg, Exr };

// The format named by a file's extension (case-insensitive).
ImageFormat formatFromExtension(const std::string& path);

// Loads a PNG, JPEG or EXR file (the format is taken from the file's first
// bytes, not its name). On failure returns false and sets `error` to a
// message that names the file.
bool readImage(const std::string& path, ImageBuffer& image, std::string& error);

// Writes the image in the format of the path's extension: .png as 8-bit
// RGB (values clamped to 0..1, no transfer curve applied; the backdrop is
// part of the picture, so alpha is left out), .exr as 32-bit float RGBA. The file is written beside the target and renamed into place,
// so a failed write never leaves a half-written image under the final name.
bool writeImage(const std::string& path, const ImageBuffer& image, std::string& error);

// True when a file can be created or replaced at `path`; checked before a
// render starts so that a bad output path is reported before the work.
bool checkWritable(const std::string& path, std::string& error);

}  // namespace orvik::host
