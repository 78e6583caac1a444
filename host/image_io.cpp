#include "host/image_io.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <ImfOutputFile.h>

namespace orvik::host {

namespace {

std::string lowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

ImageFormat sniffFormat(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char magic[8] = {};
  in.read(reinterpret_cast<char*>(magic), sizeof magic);
  if (in.gcount() >= 8 && std::memcmp(magic, "\x89PNG\r\n\x1a\n", 8) == 0) return ImageFormat::Png;
  if (in.gcount() >= 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF)
    return ImageFormat::Jpeg;
  if (in.gcount() >= 4 && magic[0] == 0x76 && magic[1] == 0x2F && magic[2] == 0x31 &&
      magic[3] == 0x01)
    return ImageFormat::Exr;
  return ImageFormat::Unknown;
}

bool readPng(const std::string& path, ImageBuffer& image, std::string& error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    error = path + ": not a readable PNG image (" + png.message + ")";
    return false;
  }
  png.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr)) {
    error = path + ": damaged PNG image (" + png.message + ")";
    png_image_free(&png);
    return false;
  }
  image = ImageBuffer(static_cast<int>(png.width), static_cast<int>(png.height));
  for (size_t i = 0; i < bytes.size(); ++i) image.pixels[i] = bytes[i] / 255.0f;
  return true;
}

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Decodes into plain buffers only: the error path jumps out of libjpeg, so
// nothing with a destructor may live between setjmp and the jump.
bool decodeJpeg(std::FILE* file, unsigned char** rows, int* width, int* height, char* message) {
  jpeg_decompress_struct info;
  JpegErrorManager manager;
  info.err = jpeg_std_error(&manager.base);
  manager.base.error_exit = &jpegErrorExit;
  manager.message[0] = '\0';
  unsigned char* volatile buffer = nullptr;
  if (setjmp(manager.jump)) {
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", manager.message);
    jpeg_destroy_decompress(&info);
    std::free(buffer);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const size_t stride = static_cast<size_t>(info.output_width) * 3;
  buffer = static_cast<unsigned char*>(std::malloc(stride * info.output_height));
  if (!buffer) {
    std::snprintf(message, JMSG_LENGTH_MAX, "out of memory");
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = buffer + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  *width = static_cast<int>(info.output_width);
  *height = static_cast<int>(info.output_height);
  jpeg_destroy_decompress(&info);
  *rows = buffer;
  return true;
}

bool readJpeg(const std::string& path, ImageBuffer& image, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = path + ": cannot open (" + std::strerror(errno) + ")";
    return false;
  }
  unsigned char* rgb = nullptr;
  int width = 0, height = 0;
  char message[JMSG_LENGTH_MAX] = {};
  const bool ok = decodeJpeg(file, &rgb, &width, &height, message);
  std::fclose(file);
  if (!ok) {
    error = path + ": damaged JPEG image (" + message + ")";
    return false;
  }
  image = ImageBuffer(width, height);
  for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
    for (int c = 0; c < 3; ++c) image.pixels[i * 4 + c] = rgb[i * 3 + c] / 255.0f;
    image.pixels[i * 4 + 3] = 1.0f;
  }
  std::free(rgb);
  return true;
}

bool readExr(const std::string& path, ImageBuffer& image, std::string& error) {
  try {
    Imf::InputFile file(path.c_str());
    const Imath::Box2i window = file.header().dataWindow();
    const int width = window.max.x - window.min.x + 1;
    const int height = window.max.y - window.min.y + 1;
    if (width <= 0 || height <= 0) {
      error = path + ": EXR image has an empty data window";
      return false;
    }
    ImageBuffer out(width, height);
    Imf::FrameBuffer frame;
    const size_t xStride = 4 * sizeof(float), yStride = xStride * width;
    // Slices are addressed by absolute pixel position of the data window.
    char* base = reinterpret_cast<char*>(out.pixels.data()) -
                 (static_cast<ptrdiff_t>(window.min.x) * static_cast<ptrdiff_t>(xStride)) -
                 (static_cast<ptrdiff_t>(window.min.y) * static_cast<ptrdiff_t>(yStride));
    const char* names[4] = {"R", "G", "B", "A"};
    const double fills[4] = {0.0, 0.0, 0.0, 1.0};
    const Imf::ChannelList& channels = file.header().channels();
    const bool grey = !channels.findChannel("R") && channels.findChannel("Y");
    for (int c = 0; c < 4; ++c) {
      const char* name = (grey && c < 3) ? "Y" : names[c];
      frame.insert(name, Imf::Slice(Imf::FLOAT, base + c * sizeof(float), xStride, yStride, 1, 1,
                                    fills[c]));
      if (grey && c < 3) break;
    }
    file.setFrameBuffer(frame);
    file.readPixels(window.min.y, window.max.y);
    if (grey) {
      for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i)
        out.pixels[i * 4 + 1] = out.pixels[i * 4 + 2] = out.pixels[i * 4];
    }
    image = std::move(out);
    return true;
  } catch (const std::exception& e) {
    error = path + ": not a readable EXR image (" + e.what() + ")";
    return false;
  }
}

bool writePng(const std::string& path, const ImageBuffer& image, std::string& error) {
  const size_t count = static_cast<size_t>(image.width) * image.height;
  std::vector<unsigned char> bytes(count * 3);
  for (size_t i = 0; i < count; ++i)
    for (int c = 0; c < 3; ++c) {
      float v = image.pixels[i * 4 + c];
      if (!(v > 0.0f)) v = 0.0f;  // also catches NaN
      if (v > 1.0f) v = 1.0f;
      bytes[i * 3 + c] = static_cast<unsigned char>(v * 255.0f + 0.5f);
    }
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&png, path.c_str(), 0, bytes.data(), 0, nullptr)) {
    error = path + ": cannot write PNG (" + png.message + ")";
    return false;
  }
  return true;
}

bool writeExr(const std::string& path, const ImageBuffer& image, std::string& error) {
  try {
    Imf::Header header(image.width, image.height);
    const char* names[4] = {"R", "G", "B", "A"};
    for (const char* name : names) header.channels().insert(name, Imf::Channel(Imf::FLOAT));
    Imf::OutputFile file(path.c_str(), header);
    Imf::FrameBuffer frame;
    const size_t xStride = 4 * sizeof(float), yStride = xStride * image.width;
    char* base = const_cast<char*>(reinterpret_cast<const char*>(image.pixels.data()));
    for (int c = 0; c < 4; ++c)
      frame.insert(names[c], Imf::Slice(Imf::FLOAT, base + c * sizeof(float), xStride, yStride));
    file.setFrameBuffer(frame);
    file.writePixels(image.height);
    return true;
  } catch (const std::exception& e) {
    error = path + ": cannot write EXR (" + e.what() + ")";
    return false;
  }
}

}  // namespace

ImageFormat formatFromExtension(const std::string& path) {
  const std::string ext = lowerExtension(path);
  if (ext == "png") return ImageFormat::Png;
  if (ext == "jpg" || ext == "jpeg") return ImageFormat::Jpeg;
  if (ext == "exr") return ImageFormat::Exr;
  return ImageFormat::Unknown;
}

bool readImage(const std::string& path, ImageBuffer& image, std::string& error) {
  if (::access(path.c_str(), R_OK) != 0) {
    error = path + ": cannot open image (" + std::strerror(errno) + ")";
    return false;
  }
  switch (sniffFormat(path)) {
    case ImageFormat::Png: return readPng(path, image, error);
    case ImageFormat::Jpeg: return readJpeg(path, image, error);
    case ImageFormat::Exr: return readExr(path, image, error);
    case ImageFormat::Unknown: break;
  }
  error = path + ": not a PNG, JPEG or EXR image";
  return false;
}

bool writeImage(const std::string& path, const ImageBuffer& image, std::string& error) {
  if (image.empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) {
    error = path + ": nothing to write (empty image)";
    return false;
  }
  const ImageFormat format = formatFromExtension(path);
  if (format != ImageFormat::Png && format != ImageFormat::Exr) {
    error = path + ": output must end in .png or .exr";
    return false;
  }
  const std::string temporary = path + ".part";
  const bool ok = format == ImageFormat::Png ? writePng(temporary, image, error)
                                             : writeExr(temporary, image, error);
  if (!ok) {
    std::remove(temporary.c_str());
    // Name the file the user asked for, not the temporary.
    const auto at = error.find(temporary);
    if (at != std::string::npos) error.replace(at, temporary.size(), path);
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = path + ": cannot replace (" + std::strerror(errno) + ")";
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool checkWritable(const std::string& path, std::string& error) {
  const ImageFormat format = formatFromExtension(path);
  if (format != ImageFormat::Png && format != ImageFormat::Exr) {
    error = path + ": output must end in .png or .exr";
    return false;
  }
  const bool existed = ::access(path.c_str(), F_OK) == 0;
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) {
    error = path + ": cannot write output (" + std::strerror(errno) + ")";
    return false;
  }
  std::fclose(file);
  if (!existed) std::remove(path.c_str());
  // The image is written beside the target and renamed: the folder must
  // take new files too.
  const std::string probe = path + ".part";
  file = std::fopen(probe.c_str(), "wb");
  if (!file) {
    error = path + ": cannot write in its folder (" + std::strerror(errno) + ")";
    return false;
  }
  std::fclose(file);
  std::remove(probe.c_str());
  return true;
}

}  // namespace orvik::host
