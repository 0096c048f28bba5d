// "config.txt": base-0 integers, defaults, the end of reading, and the clamped details.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/config.h"
#include "tests/support/test_files.h"

namespace {

Config parse(std::string_view text) { return parseConfig(bytesOf(text)); }

struct ConfigCase {
  const char* text;
  int landscape;
  int ship;
  int sound;
};

TEST(Config, ReadsUpToThreeBaseZeroIntegers) {
  const ConfigCase cases[] = {
      {"", 20, 50, 1},
      {"30", 30, 50, 1},
      {"20 50 0", 20, 50, 0},
      {"20 50 word", 20, 50, 0},
      {"024", 20, 50, 1},              // octal
      {"0x1e 0X32", 30, 50, 1},        // hexadecimal, either case
      {"-5 +7 -0", -5, 7, 0},          // signs
      {"word 40 0", 0, 50, 1},         // a first token that is not a number ends the reading
      {"20\t\n 60\r\n1 99 0", 20, 60, 1},  // any white space; numbers after the third ignored
      // Each value is read where the previous one stopped.
      {"12abc 34", 12, 0, 1},          // "abc" is the second token: 0, and the reading ends
      {"0x 5", 0, 0, 1},               // "0" then "x": 0, then a token that is no number
      {"09", 0, 9, 1},                 // 0, then the 9 that octal cannot take
      {"1-2+3", 1, -2, 3},             // a sign begins the next number
      {"0x1fg 7", 31, 0, 1},           // a hexadecimal number stops at the first non-digit
      {"- 5", 0, 50, 1},               // a sign alone is not a number
      {"99999999999 -99999999999", 2147483647, -2147483647 - 1, 1},  // saturates like strtol
      {"\xEF\xBB\xBF" "30 40 0", 30, 40, 0},  // a UTF-8 byte-order mark before the first number
      {"30 \xEF\xBB\xBF" "40", 30, 0, 1},     // ... and nowhere else
  };
  for (const auto& c : cases) {
    Config config = parse(c.text);
    EXPECT_EQ(config.landscapeDetail, c.landscape) << '"' << c.text << '"';
    EXPECT_EQ(config.shipDetail, c.ship) << '"' << c.text << '"';
    EXPECT_EQ(config.sound, c.sound) << '"' << c.text << '"';
  }
}

TEST(Config, MissingFileGivesDefaultsAndFileIsRead) {
  ScratchDir dir("config");
  Config missing = readConfigFile((dir.path() / "config.txt").c_str());
  EXPECT_EQ(missing.landscapeDetail, 20);
  EXPECT_EQ(missing.shipDetail, 50);
  EXPECT_EQ(missing.sound, 1);

  auto path = dir.write("config.txt", "30\n");
  Config one = readConfigFile(path.c_str());
  EXPECT_EQ(one.landscapeDetail, 30);
  EXPECT_EQ(one.shipDetail, 50);
  EXPECT_EQ(one.sound, 1);
}

std::string clampReport(const Config& in, Config& out) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* report = open_memstream(&text, &size);
  out = clampConfig(in, report);
  std::fclose(report);
  std::string result(text, size);
  std::free(text);
  return result;
}

TEST(Config, DetailsOutOfRangeAreClampedWithOneLineEach) {
  Config out;
  EXPECT_EQ(clampReport(Config{20, 50, 1}, out), "");
  EXPECT_EQ(clampReport(Config{10, 2, 0}, out), "");
  EXPECT_EQ(clampReport(Config{360, 360, 7}, out), "");
  EXPECT_EQ(out.sound, 7);

  std::string report = clampReport(Config{0, -3, 0}, out);
  EXPECT_EQ(out.landscapeDetail, 10);
  EXPECT_EQ(out.shipDetail, 2);
  EXPECT_EQ(report,
            "config.txt: landscape detail 0 is outside 10..360, using 10\n"
            "config.txt: ship detail -3 is outside 2..360, using 2\n");

  report = clampReport(Config{100000, 361, 1}, out);
  EXPECT_EQ(out.landscapeDetail, 360);
  EXPECT_EQ(out.shipDetail, 360);
  EXPECT_NE(report.find("landscape detail 100000"), std::string::npos);
}

}  // namespace
