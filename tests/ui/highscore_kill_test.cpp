// "h.bin" shared by processes that save at once and are killed in the middle of saving: the file
// must always be one whole table, and the results of processes that finished must all be in it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>

#include "base/random.h"
#include "tests/support/test_files.h"
#include "ui/highscore.h"

namespace {

// Enters `results` results named tag0, tag1, ... (tag unique to the process) with rising scores, saving after each, as a game
// does after every name; `results` < 0 goes on until the process is killed.
[[noreturn]] void playAndSave(const std::string& path, const std::string& tag, int results) {
  HighscoreTable table;
  table.load(path.c_str());
  for (int i = 0; results < 0 || i < results; ++i) {
    const std::string name = tag + std::to_string(i);
    table.insert(name.c_str(), static_cast<std::uint32_t>(i));
    if (!table.save(path.c_str())) std::_Exit(3);
  }
  std::_Exit(0);
}

pid_t start(const std::string& path, const std::string& tag, int results) {
  const pid_t child = fork();
  if (child == 0) playAndSave(path, tag, results);
  return child;
}

// The entries of a whole table, or a failure naming what is wrong with the file.
testing::AssertionResult wholeTable(const std::vector<std::byte>& bytes, std::vector<HighscoreEntry>& entries) {
  entries.assign(highscoreCount, HighscoreEntry{});
  if (bytes.size() != static_cast<std::size_t>(highscoreFileBytes) || !decodeHighscores(bytes, entries))
    return testing::AssertionFailure() << "a file of " << bytes.size() << " bytes";
  std::set<std::string> seen;
  for (int i = 0; i < highscoreCount; ++i) {
    const std::string name = entries[static_cast<std::size_t>(i)].name;
    if (i > 0 && entries[static_cast<std::size_t>(i)].score > entries[static_cast<std::size_t>(i - 1)].score)
      return testing::AssertionFailure() << "entry " << i << " out of rank";
    if (!name.empty() && !seen.insert(name).second) return testing::AssertionFailure() << name << " twice";
  }
  return testing::AssertionSuccess();
}

}  // namespace

TEST(HighscoreSave, TwoProcessesSavingAtOnceKeepEachOthersResults) {
  ScratchDir dir("highscore-two");
  const std::string path = (dir.path() / "h.bin").string();
  const pid_t a = start(path, "A", 5), b = start(path, "B", 5);
  for (pid_t child : {a, b}) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::vector<HighscoreEntry> entries;
  ASSERT_TRUE(wholeTable(readBytes(path), entries));
  std::set<std::string> names;
  for (const HighscoreEntry& e : entries) names.insert(e.name);
  EXPECT_EQ(names, (std::set<std::string>{"A0", "A1", "A2", "A3", "A4", "B0", "B1", "B2", "B3", "B4"}));
}

TEST(HighscoreSave, ProcessesKilledWhileSavingLeaveAWholeTable) {
  ScratchDir dir("highscore-kill");
  const std::string path = (dir.path() / "h.bin").string();
  RandomSequence random;
  int whole = 0;
  for (int round = 0; round < 40; ++round) {
    const std::string round_ = std::to_string(round) + "-";
    const pid_t a = start(path, "A" + round_, -1), b = start(path, "B" + round_, -1);
    // Up to 20 ms: the first rounds often kill before the first save is done, the later ones
    // land anywhere in a save (waiting for the lock, writing, syncing, renaming).
    timespec pause{0, static_cast<long>(random.next() % 20000) * 1000L};
    nanosleep(&pause, nullptr);
    for (pid_t child : {a, b}) {
      ASSERT_EQ(kill(child, SIGKILL), 0);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the save failed";
    }
    if (!std::filesystem::exists(path)) continue;  // killed before the first save
    std::vector<HighscoreEntry> entries;
    ASSERT_TRUE(wholeTable(readBytes(path), entries)) << "round " << round;
    ++whole;
  }
  EXPECT_GT(whole, 0);  // the file existed at least once: the loop did test something
}
