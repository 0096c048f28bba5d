// "h.bin" survives a process killed in the middle of saving it: a child saves two different
// tables in turn as fast as it can and is killed at a random moment, again and again; the file
// must then always hold one of the two tables whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "base/random.h"
#include "tests/support/test_files.h"
#include "ui/highscore.h"

namespace {

// A table of ten entries named after `tag`, scores tag*100 down.
void fill(HighscoreTable& table, char tag) {
  for (int i = 0; i < highscoreCount; ++i) {
    char name[] = {tag, static_cast<char>('0' + i), '\0'};
    table.insert(name, static_cast<std::uint32_t>(tag) * 100u - static_cast<std::uint32_t>(i));
  }
}

HighscoreBytes fileImage(char tag) {
  HighscoreTable table;
  fill(table, tag);
  HighscoreEntry entries[highscoreCount];
  for (int i = 0; i < highscoreCount; ++i) entries[i] = table.entryAt(i);
  return encodeHighscores(entries);
}

[[noreturn]] void saveForever(const std::string& path) {
  HighscoreTable a, b;
  fill(a, 'A');
  fill(b, 'B');
  for (;;) {
    a.save(path.c_str());
    b.save(path.c_str());
  }
}

}  // namespace

TEST(HighscoreSave, AProcessKilledWhileSavingLeavesAWholeTable) {
  ScratchDir dir("highscore-kill");
  const std::string path = (dir.path() / "h.bin").string();
  const HighscoreBytes tableA = fileImage('A'), tableB = fileImage('B');
  RandomSequence random;
  int whole = 0;
  for (int round = 0; round < 60; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) saveForever(path);
    // Up to 20 ms: the first rounds often kill before the first save is done, the later ones
    // land anywhere in a save (opening, writing, syncing, renaming).
    timespec pause{0, static_cast<long>(random.next() % 20000) * 1000L};
    nanosleep(&pause, nullptr);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::vector<std::byte> bytes = readBytes(path);
    if (bytes.empty() && !std::filesystem::exists(path)) continue;  // killed before the first save
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(highscoreFileBytes)) << "round " << round;
    const bool isA = std::memcmp(bytes.data(), tableA.data(), tableA.size()) == 0;
    const bool isB = std::memcmp(bytes.data(), tableB.data(), tableB.size()) == 0;
    ASSERT_TRUE(isA || isB) << "round " << round;
    ++whole;
  }
  EXPECT_GT(whole, 0);  // the file existed at least once: the loop did test something
}
