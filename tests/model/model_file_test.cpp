// The binary model file: the magic, records cut short, trees whose shape comes from the parts'
// variants, empty slots and the bounds on depth, names and records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "base/random.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/part_directory.h"
#include "model/sculpt_format.h"
#include "model/sphere_detail.h"
#include "tests/support/test_files.h"

namespace {

int modelDetail = 6;  // the sphere detail the models below are read at; a test may change it

// Parts for the trees below: "leaf" has no attachment points, "fork" two, "link" one; each
// directory lists a single variant so the trees do not depend on the draws.
MemoryFiles partFiles() {
  MemoryFiles files;
  const AttachmentPoint two[2] = {{1, 0, 0, 0}, {-1, 0, 0, 0}};
  const AttachmentPoint one[1] = {{0, 0, 2, 0}};
  files.files["leaf/files.txt"] = bytesOf("v");
  files.files["leaf/v"] = sculpt::Writer().push({0, 0, 0, 1.2f}).bytes();
  files.files["fork/files.txt"] = bytesOf("v");
  files.files["fork/v"] = sculpt::Writer().attachments(two).bytes();
  files.files["link/files.txt"] = bytesOf("v");
  files.files["link/v"] = sculpt::Writer().attachments(one).bytes();
  files.files["lost/files.txt"] = bytesOf("not-there");
  return files;
}

bool throwsOne(std::span<const std::byte> file, MemoryFiles files) {
  try {
    Model model(file, files, modelDetail);
  } catch (const GameError& failure) {
    return failure.message == nullptr;
  } catch (...) {
    return false;
  }
  return false;
}

class ModelFile : public ::testing::Test {
 protected:
  void SetUp() override {
    modelDetail = 6;
    sharedRandom = RandomSequence{};
  }
  MemoryFiles files = partFiles();
};

}  // namespace

TEST_F(ModelFile, TheMagicMustBeExactlyTheNineBytes) {
  const std::vector<std::byte> valid = modelfile::Writer().node("leaf", 1.0f).bytes();
  {
    Model model(valid, files, modelDetail);
    ASSERT_NE(model.root, nullptr);
  }
  EXPECT_TRUE(throwsOne(modelfile::Writer().bytes(), files)) << "only the magic";
  EXPECT_TRUE(throwsOne({}, files));
  EXPECT_TRUE(throwsOne(bytesOf("C3DOBJEC"), files));
  for (std::size_t i = 0; i < 9; ++i) {
    for (std::byte replacement : {static_cast<std::byte>(static_cast<int>(valid[i]) + 1), std::byte{0}}) {
      std::vector<std::byte> file = valid;
      file[i] = replacement;
      EXPECT_TRUE(throwsOne(file, files)) << "byte " << i;
    }
  }
}

TEST_F(ModelFile, APartWithoutAttachmentPointsIsTheWholeTreeAndTrailingBytesAreIgnored) {
  modelfile::Writer w;
  w.node("leaf", 1.0f, 77).node("fork", 1.0f).raw("trailing bytes");
  Model model(w.bytes(), files, modelDetail);
  ASSERT_NE(model.root, nullptr);
  EXPECT_EQ(model.root->name, "leaf");
  EXPECT_EQ(model.root->extra, 77u);
  EXPECT_EQ(model.root->count, 0);
  EXPECT_TRUE(model.root->children.empty());
}

TEST_F(ModelFile, ChildRecordsFollowTheirPartDepthFirst) {
  modelfile::Writer w;
  w.node("fork", 1.0f, 1).node("link", 0.5f, 2).node("leaf", 2.0f, 3).node("fork", 1.0f, 4).node("leaf", 1.0f, 5).emptySlot();
  Model model(w.bytes(), files, modelDetail);
  const ModelNode& root = *model.root;
  ASSERT_EQ(root.count, 2);
  const ModelNode& link = *root.children[0];
  EXPECT_EQ(link.name, "link");
  EXPECT_EQ(link.extra, 2u);
  EXPECT_EQ(link.mesh->detail, 3);
  ASSERT_EQ(link.count, 1);
  EXPECT_EQ(link.children[0]->name, "leaf");
  EXPECT_EQ(link.children[0]->mesh->detail, 12);
  const ModelNode& fork = *root.children[1];
  EXPECT_EQ(fork.extra, 4u);
  ASSERT_EQ(fork.count, 2);
  EXPECT_EQ(fork.children[0]->extra, 5u);
  EXPECT_EQ(fork.children[1], nullptr) << "an empty name marks an empty slot";
  EXPECT_EQ(fork.attachments[1]->x, -1.0f);
  EXPECT_EQ(sharedRandom.state, [] {
    RandomSequence r;
    for (int i = 0; i < 5; ++i) r.next();
    return r.state;
  }()) << "one draw per part built, none for the empty slot";
}

TEST_F(ModelFile, ARecordCutShortAnywhereFails) {
  modelfile::Writer w;
  w.node("fork", 1.0f).node("leaf", 1.0f).node("link", 1.0f).node("leaf", 1.0f);
  const std::vector<std::byte>& full = w.bytes();
  {
    Model model(full, files, modelDetail);
    EXPECT_EQ(model.root->children[1]->children[0]->name, "leaf");
  }
  for (std::size_t size = 0; size < full.size(); ++size)
    EXPECT_TRUE(throwsOne(std::span(full).first(size), files)) << size << " of " << full.size();
}

TEST_F(ModelFile, EmptyNamesAndPartsWithoutAVariant) {
  // The root must name a part, whatever the length field says.
  for (std::int32_t length : {0, -1, -2147483647 - 1})
    EXPECT_TRUE(throwsOne(modelfile::Writer().integer(length).real(1.0f).integer(0).bytes(), files)) << length;

  // A negative length in a child is an empty slot with no name bytes.
  modelfile::Writer w;
  w.node("fork", 1.0f).integer(-5).real(1.0f).integer(0).node("leaf", 1.0f);
  Model model(w.bytes(), files, modelDetail);
  EXPECT_EQ(model.root->children[0], nullptr);
  EXPECT_EQ(model.root->children[1]->name, "leaf");

  // A part whose variant cannot be opened has no slots: the records after it are its siblings'.
  modelfile::Writer lost;
  lost.node("fork", 1.0f).node("lost", 1.0f).node("leaf", 1.0f, 9);
  Model lostModel(lost.bytes(), files, modelDetail);
  EXPECT_EQ(lostModel.root->children[0]->count, 0);
  EXPECT_EQ(lostModel.root->children[1]->extra, 9u);

  // A directory without files.txt passes its message through.
  const char* message = nullptr;
  try {
    Model missing(modelfile::Writer().node("nowhere", 1.0f).bytes(), files, modelDetail);
  } catch (const GameError& failure) {
    message = failure.message;
  }
  EXPECT_EQ(message, failureText::noVariantFound);
}

TEST_F(ModelFile, TreesDeeperThanTheMatrixStackCanDrawFail) {
  auto chain = [](int levels) {
    modelfile::Writer w;
    for (int i = 1; i < levels; ++i) w.node("link", 1.0f);
    w.node("leaf", 1.0f);
    return w.bytes();
  };
  modelDetail = 2;
  Model deepest(chain(modelfile::maxDepth), files, modelDetail);
  const ModelNode* node = deepest.root.get();
  int levels = 0;
  for (; node; node = node->children.empty() ? nullptr : node->children[0].get()) ++levels;
  EXPECT_EQ(levels, modelfile::maxDepth);
  EXPECT_TRUE(throwsOne(chain(modelfile::maxDepth + 1), files));
}

TEST_F(ModelFile, NamesAndRecordCountsAreBounded) {
  const std::string longest(modelfile::maxNameBytes, 'd');
  files.files[longest + "/files.txt"] = bytesOf("v");
  Model named(modelfile::Writer().node(longest, 1.0f).bytes(), files, modelDetail);
  EXPECT_EQ(named.root->name, longest);

  // A longer name is refused before its bytes are looked at, even when they are there.
  const std::string tooLong(modelfile::maxNameBytes + 1, 'd');
  files.files[tooLong + "/files.txt"] = bytesOf("v");
  EXPECT_TRUE(throwsOne(modelfile::Writer().node(tooLong, 1.0f).bytes(), files));
  EXPECT_TRUE(throwsOne(modelfile::Writer().integer(2147483647).bytes(), files));

  // A root with 63 slots fills the 64 records a file may hold; 64 slots overflow them.
  for (int slots : {modelfile::maxRecords - 1, modelfile::maxRecords}) {
    std::vector<AttachmentPoint> points(static_cast<std::size_t>(slots), AttachmentPoint{0, 0, 0, 0});
    files.files["hub/files.txt"] = bytesOf("v");
    files.files["hub/v"] = sculpt::Writer().attachments(points).bytes();
    modelfile::Writer w;
    w.node("hub", 1.0f);
    for (int i = 0; i < slots; ++i) w.emptySlot();
    if (slots < modelfile::maxRecords) {
      Model hub(w.bytes(), files, modelDetail);
      EXPECT_EQ(hub.root->count, slots);
    } else {
      EXPECT_TRUE(throwsOne(w.bytes(), files));
    }
  }
}

TEST(ModelFileOnDisk, ReadsTheFileAndItsPartsFromTheWorkingDirectory) {
  ScratchDir dir("model-disk");
  WorkingDir inside(dir.path());
  const AttachmentPoint one[1] = {{0, 0, 2, 0}};
  dir.write("parts/body/files.txt", "a\r\nb");
  dir.write("parts/body/a", textOf(sculpt::Writer().attachments(one).bytes()));
  dir.write("parts/body/b", textOf(sculpt::Writer().attachments(one).bytes()));
  dir.write("parts/tail/files.txt", "t");
  dir.write("parts/tail/t", textOf(sculpt::Writer().bytes()));
  dir.write("ship", textOf(modelfile::Writer().node("parts/body", 1.0f).node("parts/tail", 1.0f).bytes()));
  modelDetail = 4;
  Model ship("ship", modelDetail);
  ASSERT_EQ(ship.root->count, 1);
  EXPECT_EQ(ship.root->children[0]->name, "parts/tail");

  // The file is named with what was wrong with it.
  dir.write("cut", std::string("C3DOBJECT\x04\0\0", 12));
  const struct {
    const char* path;
    const char* report;
  } failures[] = {
      {"absent", "A error detected\nvelmo: absent: No such file or directory\n"},
      {"parts", "A error detected\nvelmo: parts: cannot be read: not a regular file, a read error, or over 4 MB\n"},
      {"cut", "A error detected\nvelmo: cut: ends inside a record at byte 9\n"},
      {nullptr, "A error detected"},
  };
  for (const auto& f : failures) {
    std::string report;
    try {
      Model missing(f.path, modelDetail);
    } catch (const GameError& failure) {
      report = failureReport(failure);
    }
    EXPECT_EQ(report, f.report) << (f.path ? f.path : "null");
  }
}

TEST_F(ModelFile, DamagedFilesLoadOrFailCleanly) {
  modelDetail = 4;
  modelfile::Writer w;
  w.node("fork", 1.0f).node("link", 0.5f).node("leaf", 2.0f).node("fork", 1.0f).node("leaf", 1.0f).emptySlot();
  const std::vector<std::byte> valid = w.bytes();
  std::uint32_t state = 12345;  // xorshift: the damage is the same on every run
  auto next = [&] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  int loaded = 0, refused = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::byte> file = valid;
    for (std::uint32_t hits = 1 + next() % 4; hits > 0; --hits) file[next() % file.size()] = static_cast<std::byte>(next());
    if (next() % 4 == 0) file.resize(next() % file.size());
    try {
      Model model(file, files, modelDetail);
      ++loaded;
    } catch (const GameError& failure) {
      if (failure.message) {
        EXPECT_EQ(failure.message, failureText::noVariantFound);
      }
      ++refused;
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

TEST_F(ModelFile, PartsMayNotTogetherNeedMoreMeshThanTheBound) {
  // At the highest detail a part's mesh takes about 10 MB: as many as fit load, one more fails
  // before its mesh is made.
  modelDetail = maxShipDetail;
  const std::int64_t perPart = SphereMesh::vertexCapacity(maxShipDetail) * std::int64_t{sizeof(MeshVertex)} +
                               SphereMesh::indexCapacity(maxShipDetail) * std::int64_t{sizeof(std::uint32_t)};
  const int fit = static_cast<int>(modelfile::maxMeshBytes / perPart);
  ASSERT_GE(fit, 4);  // the game's ship needs about three and a half at this detail
  for (int parts : {fit, fit + 1}) {
    std::vector<AttachmentPoint> points(static_cast<std::size_t>(parts - 1), AttachmentPoint{0, 0, 0, 0});
    files.files["hub/files.txt"] = bytesOf("v");
    files.files["hub/v"] = sculpt::Writer().attachments(points).bytes();
    modelfile::Writer w;
    w.node("hub", 1.0f);
    for (int i = 1; i < parts; ++i) w.node("leaf", 1.0f);
    if (parts == fit) {
      Model model(w.bytes(), files, modelDetail);
      EXPECT_EQ(model.root->count, parts - 1);
    } else {
      EXPECT_TRUE(throwsOne(w.bytes(), files));
    }
  }
}
