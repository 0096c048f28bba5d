// Conformance with a second, independent decoder: ImageMagick writes a BMP or TGA of every kind
// the readers take, and both decode it; every pixel must agree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/bmp.h"
#include "render/tga.h"
#include "render/tga_format.h"
#include "tests/render/image_magick.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

std::uint32_t le(const std::vector<std::byte>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | (at + std::size_t(i) < b.size() ? std::uint32_t(b[at + i]) : 0u);
  return v;
}

class Conformance : public testing::Test {
 protected:
  void SetUp() override {
    VELMO_REQUIRE_IMAGE_MAGICK();
    // An odd width, so BMP rows carry padding; plasma with a fixed seed gives the same colours every run.
    ASSERT_TRUE(runConvert("-seed 7 -size 13x7 plasma:fractal -depth 8 " + shellQuoted(source)));
  }

  // Writes the source picture with the options and an explicit format ("BMP3", "TGA").
  fs::path make(const std::string& options, const std::string& format, const std::string& name) {
    fs::path file = dir.path() / name;
    EXPECT_TRUE(runConvert(shellQuoted(source) + " " + options + " " + format + ":" + shellQuoted(file))) << options;
    return file;
  }

  ScratchDir dir{"conformance"};
  fs::path source = dir.path() / "source.ppm";
};

}  // namespace

TEST_F(Conformance, BmpOfEveryKindDecodesLikeImageMagick) {
  struct Kind {
    const char* options;
    std::uint32_t headerBytes;
    std::uint32_t bits;
    std::uint32_t compression;
  } kinds[] = {
      {"-type TrueColor BMP3:", 40, 24, 0},
      {"-type Palette -colors 200 -compress None BMP3:", 40, 8, 0},
      {"-type Palette -colors 200 -compress RLE BMP3:", 40, 8, 1},
      {"-type Palette -colors 16 -compress None BMP3:", 40, 4, 0},
      {"-type Palette -colors 2 -compress None BMP3:", 40, 1, 0},
      {"-type TrueColor BMP2:", 12, 24, 0},
      {"-type Palette -colors 100 BMP2:", 12, 8, 0},
      {"-type Palette -colors 9 BMP2:", 12, 4, 0},
      {"-type Palette -colors 2 BMP2:", 12, 1, 0},
  };
  int n = 0;
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.options);
    std::string options = kind.options;
    const std::size_t split = options.rfind(' ');
    fs::path file = make(options.substr(0, split), options.substr(split + 1, 4), "kind" + std::to_string(n++) + ".bmp");
    std::vector<std::byte> bytes = readBytes(file);
    ASSERT_EQ(le(bytes, 14, 4), kind.headerBytes);
    ASSERT_EQ(le(bytes, kind.headerBytes == 12 ? 24 : 28, 2), kind.bits);
    if (kind.headerBytes == 40) {
      ASSERT_EQ(le(bytes, 30, 4), kind.compression);
    }

    RgbImage image;
    ASSERT_EQ(decodeBmp(bytes, image), BmpFailure::none);
    ASSERT_EQ(image.width, 13);
    ASSERT_EQ(image.height, 7);
    auto reference = referencePixels(file, "rgb", false);
    ASSERT_TRUE(reference);
    EXPECT_TRUE(image.pixels == flipRows(*reference, 13 * 3)) << "pixels differ";

    // The same bitmap without its file header, when its pixels follow the colour table.
    std::size_t table = kind.bits <= 8 ? le(bytes, 46, 4) : 0;
    if (kind.headerBytes == 12) table = kind.bits <= 8 ? (std::size_t(1) << kind.bits) * 3 : 0;
    else if (table == 0 && kind.bits <= 8) table = std::size_t(1) << kind.bits;
    if (kind.headerBytes == 40) table *= 4;
    if (le(bytes, 10, 4) == 14 + kind.headerBytes + table) {
      RgbImage bare;
      ASSERT_EQ(decodeBmp(std::span(bytes).subspan(14), bare), BmpFailure::none);
      EXPECT_EQ(bare.pixels, image.pixels);
    }
  }
}

TEST_F(Conformance, TgaOfEveryKindDecodesLikeImageMagick) {
  struct Kind {
    const char* options;
    int type;
    int depth;
    int descriptorBits;  // the orientation bits
  } kinds[] = {
      {"-type TrueColor -flip", 2, 24, 0},
      {"-type TrueColor -orient TopLeft", 2, 24, 0x20},
      {"-type TrueColor -compress RLE -flip", 10, 24, 0},
      {"-type TrueColor -compress RLE -orient TopLeft", 10, 24, 0x20},
      {"-alpha set -channel A -evaluate set 60% +channel -flip", 2, 32, 0},
      {"-alpha set -channel A -evaluate set 60% +channel -compress RLE -orient TopLeft", 10, 32, 0x20},
      {"-type Grayscale -flip", 3, 8, 0},
      {"-type Grayscale -compress RLE -orient TopLeft", 11, 8, 0x20},
      {"-type Palette -colors 50 -flip", 1, 8, 0},
      {"-type Palette -colors 50 -compress RLE -orient TopLeft", 9, 8, 0x20},
  };
  int n = 0;
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.options);
    fs::path file = make(kind.options, "TGA", "kind" + std::to_string(n++) + ".tga");
    std::vector<std::byte> bytes = readBytes(file);
    ASSERT_EQ(int(le(bytes, 2, 1)), kind.type);
    ASSERT_EQ(int(le(bytes, 16, 1)), kind.depth);
    ASSERT_EQ(int(le(bytes, 17, 1)) & 0x30, kind.descriptorBits);

    std::optional<TgaImage> image = readTga(bytes);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 13);
    ASSERT_EQ(image->height, 7);
    const bool grey = image->format == glLuminance;
    const bool mapped = image->format == glColourIndex;
    const std::size_t samples = grey ? 1 : image->components == 4 ? 4 : 3;
    // Ours in ImageMagick's layout: red, green, blue (and alpha), or grey.
    std::vector<std::uint8_t> ours;
    for (std::size_t i = 0; i < image->pixels.size(); i += std::size_t(image->components)) {
      const std::uint8_t* p = &image->pixels[i];
      if (mapped) {
        ASSERT_LT(p[0], image->colourMapEntries);
        const std::uint8_t* entry = &image->colourMap[std::size_t(p[0]) * 3];
        ours.insert(ours.end(), entry, entry + 3);
      } else if (grey) {
        ours.push_back(p[0]);
      } else {
        ours.insert(ours.end(), {p[2], p[1], p[0]});
        if (samples == 4) ours.push_back(p[3]);
      }
    }
    auto reference = referencePixels(file, grey ? "gray" : samples == 4 ? "rgba" : "rgb", true);
    ASSERT_TRUE(reference);
    EXPECT_TRUE(ours == flipRows(*reference, 13 * samples)) << "pixels differ";
  }
}
