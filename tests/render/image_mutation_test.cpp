// Damaged copies of real files: bytes flipped, header fields set to extremes, files cut short.
// Whatever comes in, the readers either fail or return an image whose buffer matches its size;
// run under the sanitizers this is the readers' fuzz pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "render/bmp.h"
#include "render/tga.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

// A small fixed generator, so every run damages the files the same way.
struct Mutator {
  std::uint32_t state = 12345;
  std::uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }

  std::vector<std::byte> damage(const std::vector<std::byte>& original) {
    std::vector<std::byte> bytes = original;
    if (bytes.empty()) return bytes;
    switch (next() % 4) {
      case 0:  // a few random bytes anywhere
        for (int i = 0; i < 4; ++i) bytes[next() % bytes.size()] = std::byte(next());
        break;
      case 1: {  // a header byte set to an extreme
        std::size_t at = next() % std::min<std::size_t>(bytes.size(), 64);
        bytes[at] = (next() & 1) ? std::byte{0xFF} : std::byte{0};
        break;
      }
      case 2:  // cut short
        bytes.resize(next() % bytes.size());
        break;
      default: {  // a 32-bit field of the header made huge
        std::size_t at = next() % std::min<std::size_t>(bytes.size(), 60);
        for (std::size_t i = at; i < at + 4 && i < bytes.size(); ++i) bytes[i] = std::byte(0xF0 | (next() & 0xF));
        break;
      }
    }
    return bytes;
  }
};

std::vector<fs::path> corpusFiles(const char* sub) {
  std::vector<fs::path> files;
  fs::path root = sharedTestData();
  if (root.empty() || !fs::is_directory(root / sub)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root / sub))
    if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Forty damaged copies of every file, in order, each handed to `check` with the file's path.
template <class Check>
void forEachDamagedCopy(const std::vector<fs::path>& files, Check check) {
  Mutator mutator;
  for (const fs::path& file : files) {
    const std::vector<std::byte> original = readBytes(file);
    for (int round = 0; round < 40; ++round) check(mutator.damage(original), file);
  }
}

}  // namespace

TEST(ImageMutation, DamagedBmpFilesFailOrDecodeConsistently) {
  std::vector<fs::path> files = corpusFiles("bmpsuite");
  if (files.empty()) GTEST_SKIP() << "the shared BMP corpus is absent";
  forEachDamagedCopy(files, [](const std::vector<std::byte>& bytes, const fs::path& file) {
    RgbImage image;
    if (decodeBmp(bytes, image) == BmpFailure::none) {
      ASSERT_EQ(image.pixels.size(), std::size_t(image.width) * std::size_t(image.height) * 3) << file;
    }
  });
}

TEST(ImageMutation, DamagedTgaFilesFailOrDecodeConsistently) {
  std::vector<fs::path> files = corpusFiles("tga");
  if (files.empty()) GTEST_SKIP() << "the shared TGA corpus is absent";
  forEachDamagedCopy(files, [](const std::vector<std::byte>& bytes, const fs::path& file) {
    if (std::optional<TgaImage> image = readTga(bytes)) {
      ASSERT_EQ(image->pixels.size(), std::size_t(image->width) * std::size_t(image->height) *
                                          (image->components == 1 ? 1u : std::size_t(image->components)))
          << file;
      ASSERT_EQ(image->colourMap.size(), std::size_t(image->colourMapEntries) * 3) << file;
    }
  });
}
