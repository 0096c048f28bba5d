// Golden images of the shipped models, drawn by the preview through the game's mesh, sculpt and
// drawing code: a change to any of them that alters what a model looks like fails here. After an
// intended change, VELMO_UPDATE_GOLDEN=1 rewrites the golden files from the new pictures.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/random.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"
#include "tools/preview/preview.h"

namespace {

const std::filesystem::path goldenDir = VELMO_GOLDEN_DIR;
const std::filesystem::path runDir = VELMO_DATA_DIR;
constexpr int side = 96;  // pixels per view in the golden sheets

void writeFile(const std::filesystem::path& path, const std::vector<std::byte>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Compares the picture with its golden file. Drivers may round a pixel here and there
// differently, so a few pixels may differ a lot and all of them a little.
void expectMatchesGolden(const RgbPicture& picture, const std::string& name) {
  const std::filesystem::path golden = goldenDir / (name + ".png");
  if (std::getenv("VELMO_UPDATE_GOLDEN")) {
    writeFile(golden, encodePng(picture));
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(golden)) << golden << " is missing; make it with VELMO_UPDATE_GOLDEN=1";
  RgbPicture expected;
  std::string reason;
  ASSERT_TRUE(decodePng(readBytes(golden), expected, reason)) << golden << ": " << reason;
  ASSERT_EQ(expected.width, picture.width) << name;
  ASSERT_EQ(expected.height, picture.height) << name;
  long total = 0, far = 0;
  const std::size_t pixels = picture.pixels.size() / 3;
  for (std::size_t i = 0; i < pixels; ++i) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) {
      const int d = std::abs(int(picture.pixels[3 * i + c]) - int(expected.pixels[3 * i + c]));
      total += d;
      worst = std::max(worst, d);
    }
    if (worst > 40) ++far;
  }
  const double mean = double(total) / double(3 * pixels);
  const bool same = far <= long(pixels / 400) && mean < 1.5;
  if (!same) {
    const std::filesystem::path actual = std::filesystem::current_path() / (name + "-actual.png");
    writeFile(actual, encodePng(picture));
    ADD_FAILURE() << name << " no longer looks like " << golden << ": " << far << " of " << pixels
                  << " pixels far off, mean difference " << mean << "; the new picture is " << actual;
  }
}

struct GoldenCase {
  const char* path;  // in the run folder
  int detail;
  const char* golden;
};

}  // namespace

class PreviewGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(PreviewGolden, LooksAsBefore) {
  ASSERT_TRUE(ensureGlContext(side, side));
  const GoldenCase c = GetParam();
  std::vector<PreviewSubject> subjects;
  {
    WorkingDir here(runDir);
    sharedRandom = RandomSequence{};
    subjects = loadSubjects(c.path, c.detail);
  }
  ASSERT_EQ(subjects.size(), 1u);
  const RgbPicture sheet = renderSheet(subjects[0], side);
  expectMatchesGolden(sheet, c.golden);
  // What the preview writes of it reads back pixel for pixel.
  RgbPicture back;
  std::string reason;
  ASSERT_TRUE(decodePng(encodePng(sheet), back, reason)) << reason;
  EXPECT_EQ(back.width, sheet.width);
  EXPECT_EQ(back.height, sheet.height);
  EXPECT_TRUE(back.pixels == sheet.pixels);
}

// The mountains at the game's default landscape detail, the ship at its default ship detail with
// the variants the unseeded sequence picks first.
INSTANTIATE_TEST_SUITE_P(ShippedModels, PreviewGolden,
                         ::testing::Values(GoldenCase{"mountain/_mountain4", 20, "mountain4"},
                                           GoldenCase{"mountain/_mountain5", 20, "mountain5"},
                                           GoldenCase{"vorizozadi1", 50, "ship"}),
                         [](const auto& info) { return std::string(info.param.golden); });

TEST(Preview, TellsTheThreeKindsApartAndLoadsEveryVariant) {
  WorkingDir here(runDir);
  EXPECT_EQ(subjectKind("mountain/_mountain4"), SubjectKind::recording);
  EXPECT_EQ(subjectKind("ship/hull"), SubjectKind::partDirectory);
  EXPECT_EQ(subjectKind("ship/hull/"), SubjectKind::partDirectory);
  EXPECT_EQ(subjectKind("vorizozadi1"), SubjectKind::modelFile);
  const std::vector<PreviewSubject> hulls = loadSubjects("ship/hull/", 12);
  ASSERT_GE(hulls.size(), 2u);
  for (const PreviewSubject& hull : hulls) {
    EXPECT_EQ(hull.name.rfind("hull-", 0), 0u) << hull.name;
    ASSERT_NE(hull.mesh, nullptr);
    EXPECT_EQ(hull.mesh->detail, 12);
    EXPECT_TRUE(hull.pivotShift);
  }
}

TEST(Preview, EveryViewShowsTheModelInsideThePicture) {
  ASSERT_TRUE(ensureGlContext(side, side));
  WorkingDir here(runDir);
  sharedRandom = RandomSequence{};
  const std::vector<PreviewSubject> ship = loadSubjects("vorizozadi1", 10);
  ASSERT_EQ(ship.size(), 1u);
  for (const PreviewView& view : previewViews) {
    const RgbPicture picture = renderView(ship[0], view, side);
    // The border is background all round, and the middle is not.
    const std::uint8_t* corner = picture.pixels.data();
    long model = 0, onBorder = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        const std::uint8_t* p = &picture.pixels[3 * (std::size_t(y) * side + x)];
        const bool differs = p[0] != corner[0] || p[1] != corner[1] || p[2] != corner[2];
        model += differs;
        if (differs && (x == 0 || y == 0 || x == side - 1 || y == side - 1)) ++onBorder;
      }
    EXPECT_EQ(onBorder, 0) << view.name << ": the ship is cut by the frame";
    EXPECT_GT(model, side * side / 40) << view.name << ": the ship is too small or missing";
  }
}

TEST(Preview, BadInputGivesAMessage) {
  ScratchDir scratch("preview-bad-input");
  std::filesystem::create_directory(scratch.path() / "empty");
  scratch.write("part/files.txt", "missing");
  scratch.write("broken", "C3DOBJECT");
  scratch.write("nopart", std::string_view("C3DOBJECT\4\0\0\0none\0\0\x80\x3f\0\0\0\0", 21));
  WorkingDir here(scratch.path());
  const struct {
    const char* path;
    const char* says;
  } cases[] = {
      {"nothing-here", "cannot open nothing-here"},
      {"empty", "without files.txt"},
      {"part", "cannot open the recording part/missing"},
      {"broken", "broken: ends inside a record at byte 9"},
      {"nopart", "nopart: "},
  };
  for (const auto& c : cases) {
    try {
      loadSubjects(c.path, 8);
      ADD_FAILURE() << c.path << " loaded";
    } catch (const PreviewError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.path << ": " << e.what();
    }
  }
}

TEST(Preview, AFloorCutsAwayWhatLiesBelowItAndLeavesNoStateBehind) {
  ASSERT_TRUE(ensureGlContext(side, side));
  WorkingDir here(runDir);
  std::vector<PreviewSubject> mountain = loadSubjects("mountain/_mountain4", 12);
  ASSERT_EQ(mountain.size(), 1u);
  PreviewSubject& m = mountain[0];
  const PreviewBounds whole = subjectBounds(m);
  ASSERT_LT(whole.low[1], -6.0f) << "the mountain's foot reaches under the game's floor";
  const RgbPicture uncut = renderView(m, previewViews[0], side);

  m.hasFloor = true;
  m.floorHeight = -6.0f;
  const PreviewBounds above = subjectBounds(m);
  EXPECT_EQ(above.low[1], -6.0f);
  EXPECT_EQ(above.high[1], whole.high[1]);
  const RgbPicture cut = renderView(m, previewViews[0], side);
  EXPECT_NE(cut.pixels, uncut.pixels);
  EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));

  // A floor above the whole model leaves its box flat on the floor instead of inverted.
  m.floorHeight = whole.high[1] + 5.0f;
  const PreviewBounds none = subjectBounds(m);
  EXPECT_LE(none.low[1], none.high[1]);
}
