// The command line after GLUT's options: every option, its values, and what is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame.h"
#include "app/options.h"

namespace {

bool parse(std::vector<const char*> args, Options& options, std::string& error) {
  return parseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(Options, NoArgumentsGiveThePlainGame) {
  Options o;
  std::string error;
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_TRUE(o.recordPath.empty());
  EXPECT_TRUE(o.replayPath.empty());
  EXPECT_EQ(o.replaySpeed, 1.0);
  EXPECT_FALSE(o.replayWritesHighscores);
  EXPECT_TRUE(o.antialiasing);
  EXPECT_FALSE(o.help);
  EXPECT_FALSE(o.version);
}

TEST(Options, ReadsEveryOptionInBothSpellings) {
  Options o;
  std::string error;
  ASSERT_TRUE(parse({"--replay", "a b.vrp", "--replay-speed=0", "--replay-writes-highscores", "--no-antialiasing",
                     "--help", "--version"},
                    o, error))
      << error;
  EXPECT_EQ(o.replayPath, "a b.vrp");
  EXPECT_EQ(o.replaySpeed, 0.0);
  EXPECT_TRUE(o.replayWritesHighscores);
  EXPECT_FALSE(o.antialiasing);
  EXPECT_TRUE(o.help);
  EXPECT_TRUE(o.version);

  Options r;
  ASSERT_TRUE(parse({"--record=out.vrp"}, r, error)) << error;
  EXPECT_EQ(r.recordPath, "out.vrp");
  ASSERT_TRUE(parse({"--replay", "x", "--replay-speed", "2.5"}, r, error)) << error;
  EXPECT_EQ(r.replaySpeed, 2.5);
}

TEST(Options, ReadsTheScreenAndLanguageOptions) {
  Options o;
  std::string error;
  ASSERT_TRUE(parse({"--fullscreen", "--ui-scale", "auto", "--lang=en", "-h"}, o, error)) << error;
  EXPECT_TRUE(o.fullScreen);
  EXPECT_EQ(o.uiScale, autoGlyphScale);
  EXPECT_EQ(o.language, Language::english);
  EXPECT_TRUE(o.help);
  ASSERT_TRUE(parse({"--ui-scale=8", "--lang", "ru", "--replay", "r", "--replay-exit"}, o, error)) << error;
  EXPECT_EQ(o.uiScale, 8);
  EXPECT_EQ(o.language, Language::russian);
  EXPECT_TRUE(o.replayExit);
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_EQ(o.uiScale, 1);  // without the option, the game's own 8 × 8 text
  EXPECT_FALSE(o.fullScreen);
}

TEST(Options, RefusesWhatItCannotUseWithAReason) {
  struct Case {
    std::vector<const char*> args;
    const char* reason;
  };
  const Case cases[] = {
      {{"--bogus"}, "unknown option \"--bogus\""},
      {{"-x"}, "unknown option \"-x\""},
      {{"file.vrp"}, "unknown option \"file.vrp\""},
      {{"--record"}, "--record wants a value"},
      {{"--replay="}, "--replay wants a value"},
      {{"--help=yes"}, "--help takes no value"},
      {{"--record", "a", "--replay", "b"}, "--record and --replay cannot be used together"},
      {{"--replay-speed", "2"}, "--replay-speed needs --replay"},
      {{"--replay-writes-highscores"}, "--replay-writes-highscores needs --replay"},
      {{"--replay-exit"}, "--replay-exit needs --replay"},
      {{"--ui-scale", "0"}, "--ui-scale wants a whole number from 1 to 8 or auto, not \"0\""},
      {{"--ui-scale", "9"}, nullptr},
      {{"--ui-scale", "2.5"}, nullptr},
      {{"--ui-scale", "12"}, nullptr},
      {{"--lang", "de"}, "--lang wants ru or en, not \"de\""},
      {{"--replay", "a", "--replay-speed", "fast"}, "--replay-speed wants 0 or a number from 0.01 to 100, not \"fast\""},
      {{"--replay", "a", "--replay-speed", "-1"}, nullptr},
      {{"--replay", "a", "--replay-speed", "0.001"}, nullptr},
      {{"--replay", "a", "--replay-speed", "101"}, nullptr},
      {{"--replay", "a", "--replay-speed", "nan"}, nullptr},
      {{"--replay", "a", "--replay-speed", "2x"}, nullptr},
  };
  for (const Case& c : cases) {
    Options o;
    o.recordPath = "untouched";
    std::string error;
    EXPECT_FALSE(parse(c.args, o, error)) << c.args[0];
    EXPECT_EQ(o.recordPath, "untouched") << "a refused command line leaves the options as they were";
    if (c.reason) {
      EXPECT_EQ(error, c.reason);
    }
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
