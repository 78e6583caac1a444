#include "host/image_io.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orvik::host {
namespace {

namespace fs = std::filesystem;

class ImageIo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("orvik_image_io_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  static ImageBuffer gradient(int w, int h) {
    ImageBuffer img(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        float* p = img.at(x, y);
        p[0] = x / float(w - 1);
        p[1] = y / float(h - 1);
        p[2] = 0.25f;
        p[3] = 1.0f;
      }
    return img;
  }

  fs::path dir_;
};

TEST_F(ImageIo, PngRoundTripKeepsEightBitColourAndClamps) {
  ImageBuffer img = gradient(7, 5);
  img.at(6, 4)[3] = 0.0f;
  img.at(0, 0)[0] = 3.5f;    // over-range
  img.at(1, 0)[1] = -2.0f;   // under-range
  img.at(2, 0)[2] = std::nanf("");
  std::string error;
  ASSERT_TRUE(writeImage(path("a.png"), img, error)) << error;
  ImageBuffer back;
  ASSERT_TRUE(readImage(path("a.png"), back, error)) << error;
  ASSERT_EQ(back.width, 7);
  ASSERT_EQ(back.height, 5);
  EXPECT_FLOAT_EQ(back.at(0, 0)[0], 1.0f);
  EXPECT_FLOAT_EQ(back.at(1, 0)[1], 0.0f);
  EXPECT_FLOAT_EQ(back.at(2, 0)[2], 0.0f);
  for (int y = 1; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(back.at(x, y)[c], img.at(x, y)[c], 0.5f / 255.0f + 1e-6f);
  // PNG carries colour only: a transparent backdrop pixel reads back opaque.
  EXPECT_FLOAT_EQ(back.at(6, 4)[3], 1.0f);
  EXPECT_FALSE(fs::exists(path("a.png.part")));
}

TEST_F(ImageIo, ExrRoundTripIsExactForFloats) {
  ImageBuffer img = gradient(9, 4);
  img.at(3, 2)[0] = 1234.5f;  // high dynamic range survives
  img.at(4, 2)[1] = 1e-4f;
  std::string error;
  ASSERT_TRUE(writeImage(path("a.exr"), img, error)) << error;
  ImageBuffer back;
  ASSERT_TRUE(readImage(path("a.exr"), back, error)) << error;
  ASSERT_EQ(back.width, 9);
  ASSERT_EQ(back.height, 4);
  EXPECT_EQ(back.pixels, img.pixels);
}

TEST_F(ImageIo, ReadsJpegAndTakesTheFormatFromTheContent) {
  // A small JPEG written with the same library, under a misleading name.
  const std::string file = path("photo.png");
  std::FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = 8;
  info.image_height = 8;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  unsigned char row[8 * 3];
  for (int i = 0; i < 8; ++i) row[i * 3] = 200, row[i * 3 + 1] = 100, row[i * 3 + 2] = 50;
  while (info.next_scanline < 8) {
    JSAMPROW r = row;
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(out);

  ImageBuffer img;
  std::string error;
  ASSERT_TRUE(readImage(file, img, error)) << error;
  ASSERT_EQ(img.width, 8);
  EXPECT_NEAR(img.at(4, 4)[0], 200 / 255.0f, 3 / 255.0f);
  EXPECT_NEAR(img.at(4, 4)[1], 100 / 255.0f, 3 / 255.0f);
  EXPECT_NEAR(img.at(4, 4)[2], 50 / 255.0f, 3 / 255.0f);
  EXPECT_FLOAT_EQ(img.at(4, 4)[3], 1.0f);
}

TEST_F(ImageIo, BadInputNamesTheFileAndLeavesTheImageAlone) {
  ImageBuffer img(2, 2);
  std::string error;
  EXPECT_FALSE(readImage(path("missing.png"), img, error));
  EXPECT_NE(error.find("missing.png"), std::string::npos) << error;
  EXPECT_EQ(img.width, 2);

  std::ofstream(path("text.png")) << "not an image at all";
  EXPECT_FALSE(readImage(path("text.png"), img, error));
  EXPECT_NE(error.find("text.png"), std::string::npos) << error;

  // A PNG cut short after its header.
  ASSERT_TRUE(writeImage(path("whole.png"), gradient(64, 64), error)) << error;
  fs::resize_file(path("whole.png"), 60);
  EXPECT_FALSE(readImage(path("whole.png"), img, error));
  EXPECT_NE(error.find("whole.png"), std::string::npos) << error;
  EXPECT_EQ(img.width, 2);

  std::ofstream(path("cut.jpg")) << "\xFF\xD8\xFF\xE0 broken";
  EXPECT_FALSE(readImage(path("cut.jpg"), img, error));
  EXPECT_NE(error.find("cut.jpg"), std::string::npos) << error;
}

TEST_F(ImageIo, OutputPathsAreCheckedBeforeWork) {
  std::string error;
  EXPECT_TRUE(checkWritable(path("fine.png"), error)) << error;
  EXPECT_FALSE(fs::exists(path("fine.png")));  // the probe leaves nothing behind

  EXPECT_FALSE(checkWritable(path("no/such/folder/out.png"), error));
  EXPECT_NE(error.find("no/such/folder/out.png"), std::string::npos) << error;

  EXPECT_FALSE(checkWritable(path("out.tga"), error));
  EXPECT_NE(error.find(".png or .exr"), std::string::npos) << error;

  if (::geteuid() != 0) {  // root writes anywhere
    fs::create_directories(dir_ / "locked");
    fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(checkWritable(path("locked/out.exr"), error));
  }
}

TEST_F(ImageIo, AFailedWriteKeepsThePreviousFile) {
  std::string error;
  ASSERT_TRUE(writeImage(path("keep.png"), gradient(4, 4), error)) << error;
  const auto before = fs::file_size(path("keep.png"));
  ImageBuffer broken(4, 4);
  broken.pixels.resize(3);  // inconsistent size must not be written
  EXPECT_FALSE(writeImage(path("keep.png"), broken, error));
  EXPECT_EQ(fs::file_size(path("keep.png")), before);
  EXPECT_FALSE(writeImage(path("x.bmp"), gradient(4, 4), error));
}

}  // namespace
}  // namespace orvik::host
