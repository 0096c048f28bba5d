// The ship and the blast texture the data tool writes: every part directory lists interchangeable
// variants, every assembly reads from the one model file and fits the game's view, and the fire
// tiles across the blast sphere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/random.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/part_directory.h"
#include "model/sculpt.h"
#include "model/sculpt_format.h"
#include "render/bmp.h"
#include "tests/support/test_files.h"

namespace {

const std::filesystem::path runDir = VELMO_DATA_DIR;

// The tree's shape as a string: each part's directory and its slots, depth first.
std::string shape(const ModelNode* node) {
  if (!node) return "-";
  std::string out = node->name + "(";
  for (const auto& child : node->children) out += shape(child.get()) + ",";
  return out + ")";
}

struct Bounds {
  float low[3] = {1e9f, 1e9f, 1e9f};
  float high[3] = {-1e9f, -1e9f, -1e9f};
};

// The extent of every part's vertices in the ship's frame, placed the way drawing places them.
void measure(const ModelNode& node, float ox, float oy, float oz, Bounds& b) {
  MeshPoint pivot = node.mesh->pivot();
  ox -= pivot.x, oy -= pivot.y, oz -= pivot.z;
  for (int i = 0; i < node.mesh->vertexCount; ++i) {
    const MeshVertex& v = node.mesh->vertices[static_cast<std::size_t>(i)];
    const float p[3] = {v.x + ox, v.y + oy, v.z + oz};
    for (int k = 0; k < 3; ++k) {
      b.low[k] = std::min(b.low[k], p[k]);
      b.high[k] = std::max(b.high[k], p[k]);
    }
  }
  for (std::size_t i = 0; i < node.children.size(); ++i)
    if (node.children[i])
      measure(*node.children[i], ox + node.attachments[i]->x, oy + node.attachments[i]->y, oz + node.attachments[i]->z, b);
}

}  // namespace

TEST(ShipData, EveryPartDirectoryListsInterchangeableVariants) {
  WorkingDir here(runDir);
  int directories = 0;
  for (const auto& entry : std::filesystem::directory_iterator("ship")) {
    const std::string directory = "ship/" + entry.path().filename().string();
    const std::string list = readText(directory + "/files.txt");
    ASSERT_FALSE(list.empty()) << directory;
    EXPECT_NE(list.back(), '\n') << directory << ": a final line feed would add an empty variant";
    std::vector<std::string> variants;
    ASSERT_TRUE(parsePartList(bytesOf(list), variants)) << directory;
    EXPECT_GE(variants.size(), 2u) << directory;
    std::set<std::vector<float>> declared;
    for (const std::string& variant : variants) {
      SphereMesh mesh;
      mesh.generate(8);
      SculptRecorder recorder(&mesh);
      ASSERT_TRUE(recorder.replay(directory + "/" + variant)) << directory << "/" << variant;
      std::vector<float> points;
      for (const AttachmentPoint& p : recorder.attachments()) points.insert(points.end(), {p.x, p.y, p.z, p.w});
      declared.insert(points);
    }
    EXPECT_EQ(declared.size(), 1u) << directory << ": variants declare different attachment points";
    ++directories;
  }
  EXPECT_GE(directories, 4);
}

TEST(ShipData, EveryAssemblyReadsTheSameTreeAndFitsTheView) {
  WorkingDir here(runDir);
  std::string firstShape;
  std::set<std::string> assemblies;
  for (std::uint32_t start = 1; start <= 40; ++start) {
    sharedRandom = RandomSequence{start};
    Model ship("vorizozadi1", 12);
    ASSERT_NE(ship.root, nullptr);
    const std::string treeShape = shape(ship.root.get());
    if (firstShape.empty()) firstShape = treeShape;
    EXPECT_EQ(treeShape, firstShape);

    // Which variant each part got shows in its mesh; the nose and the wing tips tell them apart.
    Bounds b;
    measure(*ship.root, 0, 0, 0, b);
    assemblies.insert(std::to_string(std::lround(b.high[2] * 100)) + "/" + std::to_string(std::lround(b.high[0] * 100)));
    const float length = b.high[2] - b.low[2], span = b.high[0] - b.low[0];
    // Large enough to read at once 20 ahead of the eye, and no wider than a mountain's collision
    // square is half wide (about 10), so a wing never seems to pass through much rock untouched.
    EXPECT_GE(length, 5.0f);
    EXPECT_LE(length, 9.0f);
    EXPECT_LE(span, 9.0f);
    EXPECT_NEAR(b.high[0], -b.low[0], 0.05f) << "the ship is symmetric about its axis";
    EXPECT_GT(b.low[1], -1.2f) << "nothing hangs far below the hull";
    EXPECT_LT(b.high[1], 2.4f);
    EXPECT_GT(b.high[2], 1.0f) << "the nose points along +z";
  }
  EXPECT_GT(assemblies.size(), 1u) << "different draws assemble different ships";
  EXPECT_NE(firstShape.find("ship/cockpit"), std::string::npos);
  EXPECT_NE(firstShape.find("ship/wings"), std::string::npos);
  EXPECT_NE(firstShape.find("ship/engine"), std::string::npos);
}

// The parts of the ship share one bound on their brushes' work. At the highest ship detail, with
// the costliest variant of every part, the ship leaves a fifth of it to spare: a change to the
// data that comes near it would have parts cut short at the highest detail.
TEST(ShipData, TheCostliestShipAtTheHighestDetailStaysWellWithinTheBrushWorkBound) {
  WorkingDir here(runDir);
  Model ship("vorizozadi1", 12);
  ASSERT_NE(ship.root, nullptr);
  std::vector<const ModelNode*> parts;
  std::function<void(const ModelNode*)> collect = [&](const ModelNode* node) {
    if (!node) return;
    parts.push_back(node);
    for (const auto& child : node->children) collect(child.get());
  };
  collect(ship.root.get());
  std::int64_t costliest = 0;
  for (const ModelNode* part : parts) {
    std::vector<std::string> variants;
    ASSERT_TRUE(parsePartList(readBytes(part->name + "/files.txt"), variants)) << part->name;
    std::int64_t most = 0;
    for (const std::string& variant : variants) {
      SphereMesh mesh;
      mesh.generate(partDetail(360, part->detailScale));
      SculptRecorder recorder(&mesh);
      ASSERT_TRUE(recorder.replay(part->name + "/" + variant));
      most = std::max(most, sculpt::maxVertexVisits - recorder.vertexVisitsLeft());
    }
    costliest += most;
  }
  EXPECT_LE(costliest, modelfile::maxBrushWork / 5 * 4) << "of " << modelfile::maxBrushWork;
}

TEST(ShipData, TheBlastTextureIsFireThatTiles) {
  RgbImage image;
  ASSERT_EQ(decodeBmp(readBytes(runDir / "blast2.bmp"), image), BmpFailure::none);
  ASSERT_EQ(image.width, 128);
  ASSERT_EQ(image.height, 128);
  auto at = [&](int x, int y, int c) { return static_cast<int>(image.pixels[3 * (static_cast<std::size_t>(y) * 128 + x) + c]); };
  auto step = [&](int x0, int y0, int x1, int y1) {
    int sum = 0;
    for (int c = 0; c < 3; ++c) sum += std::abs(at(x0, y0, c) - at(x1, y1, c));
    return sum;
  };
  long inside = 0, seam = 0, red = 0;
  for (int i = 0; i < 128; ++i) {
    for (int j = 0; j + 1 < 128; ++j) inside += step(j, i, j + 1, i) + step(i, j, i, j + 1);
    seam += step(127, i, 0, i) + step(i, 127, i, 0);
    for (int j = 0; j < 128; ++j) {
      EXPECT_GE(at(j, i, 0), at(j, i, 1));
      EXPECT_GE(at(j, i, 1), at(j, i, 2));
      red += at(j, i, 0);
    }
  }
  // Across the wrap the colours change no more than between neighbours inside the tile.
  EXPECT_LT(seam / 256.0, 2.0 * inside / (2.0 * 128 * 127));
  EXPECT_GT(red / (128.0 * 128.0), 150.0);

  // Nothing as large as the tile, which would show its repeats: every 32 × 32 block of the tile
  // is as hot on average as the whole, within 15 per cent.
  const double whole = [&] {
    long sum = 0;
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) sum += at(x, y, 0) + at(x, y, 1);
    return sum / (128.0 * 128.0);
  }();
  for (int by = 0; by < 128; by += 32) {
    for (int bx = 0; bx < 128; bx += 32) {
      long sum = 0;
      for (int y = by; y < by + 32; ++y)
        for (int x = bx; x < bx + 32; ++x) sum += at(x, y, 0) + at(x, y, 1);
      EXPECT_NEAR(sum / (32.0 * 32.0), whole, 0.15 * whole) << "block at " << bx << ", " << by;
    }
  }

  // The blast ring has no texture coordinates and shows the mean of the four corner texels:
  // the fire's own hot orange, not the dark red of its cool parts.
  int corner[3] = {0, 0, 0};
  for (int c = 0; c < 3; ++c) corner[c] = (at(0, 0, c) + at(127, 0, c) + at(0, 127, c) + at(127, 127, c)) / 4;
  EXPECT_GE(corner[0], 230);
  EXPECT_GE(corner[1], 80);
  EXPECT_LE(corner[1], 160);
}
