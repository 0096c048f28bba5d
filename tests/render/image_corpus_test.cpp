// The public BMP and TGA corpora: every file decodes exactly as ImageMagick decodes it, or is
// rejected cleanly; the corrupt ones are all rejected.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "render/bmp.h"
#include "render/tga.h"
#include "render/tga_format.h"
#include "tests/render/image_magick.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> filesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  if (fs::is_directory(dir))
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::uint32_t le(const std::vector<std::byte>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | (at + i < b.size() ? std::uint32_t(b[at + i]) : 0u);
  return v;
}

// The kinds the reader must decode: a 12- or 40-byte header, uncompressed 1-, 4-, 8- or 24-bit.
bool mustDecode(const std::vector<std::byte>& b) {
  std::size_t info = le(b, 0, 2) == 0x4D42 ? 14 : 0;
  std::uint32_t size = le(b, info, 4);
  if (size == 12) {
    std::uint32_t bits = le(b, info + 10, 2);
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
  }
  if (size != 40) return false;
  std::uint32_t bits = le(b, info + 14, 2);
  return le(b, info + 16, 4) == 0 && (bits == 1 || bits == 4 || bits == 8 || bits == 24);
}

fs::path corpus(const char* name) {
  fs::path root = sharedTestData();
  return root.empty() ? root : root / name;
}

}  // namespace

TEST(ImageCorpus, BmpSuiteDecodesLikeImageMagickOrIsRejected) {
  fs::path suite = corpus("bmpsuite");
  if (suite.empty() || !fs::is_directory(suite)) GTEST_SKIP() << "the shared BMP corpus is absent";
  VELMO_REQUIRE_IMAGE_MAGICK();
  int decoded = 0, rejected = 0;
  for (const char* group : {"g", "q", "b"}) {
    for (const fs::path& file : filesIn(suite / group)) {
      SCOPED_TRACE(file.string());
      std::vector<std::byte> bytes = readBytes(file);
      RgbImage image;
      BmpFailure failure = decodeBmp(bytes, image);
      std::string name = file.filename().string();
      // Damaged only in fields the reader does not use (the file size, the image size, the
      // resolutions): decoded, and compared like the rest.
      static const std::set<std::string> harmlessDamage = {"badbitssize.bmp", "baddens1.bmp", "baddens2.bmp",
                                                           "badfilesize.bmp"};
      if (std::string(group) == "b" && harmlessDamage.count(name) == 0) {
        EXPECT_NE(failure, BmpFailure::none) << "a corrupt file was accepted";
      }
      if ((std::string(group) == "g" && mustDecode(bytes)) || name == "pal8topdown.bmp") {
        EXPECT_EQ(failure, BmpFailure::none) << "a supported file was rejected";
      }
      if (name == "pal8v4.bmp" || name == "pal8v5.bmp") {
        EXPECT_EQ(failure, BmpFailure::unknownFormat);
      }
      if (failure != BmpFailure::none) {
        if (std::getenv("VELMO_LIST_REJECTED")) std::printf("%s: %s\n", name.c_str(), bmpFailureText(failure));
        ++rejected;
        continue;
      }
      ++decoded;
      // ImageMagick refuses these over a header field the reader does not need (the file size,
      // a colour count beyond what 8 bits address); their pictures are those of the named files.
      static const std::map<std::string, std::string> samePicture = {{"badfilesize.bmp", "g/pal1.bmp"},
                                                                     {"pal8oversizepal.bmp", "g/pal8.bmp"}};
      auto same = samePicture.find(name);
      auto reference = referencePixels(same == samePicture.end() ? file : suite / same->second, "rgb", false, true);
      if (!reference) {
        ADD_FAILURE() << "ImageMagick cannot read a file the reader accepted";
        continue;
      }
      EXPECT_EQ(reference->size(), std::size_t(image.width) * image.height * 3);
      EXPECT_TRUE(image.pixels == flipRows(*reference, std::size_t(image.width) * 3)) << "pixels differ";
    }
  }
  std::printf("bmpsuite: %d decoded, %d rejected\n", decoded, rejected);
}

TEST(ImageCorpus, TgaSamplesDecodeLikeImageMagickOrAreRejected) {
  fs::path dir = corpus("tga");
  if (dir.empty() || !fs::is_directory(dir)) GTEST_SKIP() << "the shared TGA corpus is absent";
  VELMO_REQUIRE_IMAGE_MAGICK();
  const std::set<std::string> accepted = {"UBW8.TGA", "CBW8.TGA", "UTC24.TGA", "UTC32.TGA", "CTC24.TGA",
                                          "CTC32.TGA", "FLAG_B24.TGA", "FLAG_B32.TGA", "FLAG_T32.TGA",
                                          "XING_B24.TGA", "XING_B32.TGA", "XING_T24.TGA", "XING_T32.TGA"};
  int decoded = 0;
  for (const fs::path& file : filesIn(dir)) {
    SCOPED_TRACE(file.string());
    std::string name = file.filename().string();
    std::optional<TgaImage> image = readTga(readBytes(file));
    EXPECT_EQ(image.has_value(), accepted.count(name) == 1);
    if (!image) continue;
    ++decoded;
    const bool grey = image->format == glLuminance;
    const char* channels = grey ? "gray" : image->components == 4 ? "rgba" : "rgb";
    auto reference = referencePixels(file, channels, true);
    ASSERT_TRUE(reference);
    std::size_t samples = std::size_t(image->components);
    ASSERT_EQ(reference->size(), std::size_t(image->width) * image->height * samples);
    std::vector<std::uint8_t> expected = flipRows(*reference, std::size_t(image->width) * samples);
    if (!grey)
      for (std::size_t i = 0; i < expected.size(); i += samples) std::swap(expected[i], expected[i + 2]);
    EXPECT_TRUE(image->pixels == expected) << "pixels differ";
  }
  std::printf("tga: %d decoded\n", decoded);
}
