// Windows-1251 text: compile-time literals and the UTF-8 the console gets; the progress stamp.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "base/console.h"
#include "base/text1251.h"

namespace {

TEST(Text1251, LiteralsBecomeWindows1251Bytes) {
  const char* text = "Собрано: %i"_cp1251;
  EXPECT_STREQ(text, "\xD1\xEE\xE1\xF0\xE0\xED\xEE: %i");
  EXPECT_STREQ("Ёё№«»"_cp1251, "\xA8\xB8\xB9\xAB\xBB");
  EXPECT_STREQ("plain"_cp1251, "plain");
}

// Every byte against the C library's own converter.
TEST(Text1251, EveryByteConvertsLikeIconv) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (int b = 1; b < 256; ++b) {
    if (b == 0x98) continue;  // unassigned
    char in[1] = {static_cast<char>(b)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    ASSERT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1)) << b;
    EXPECT_EQ(cp1251ToUtf8(std::string_view(in, 1)), std::string(out, sizeof out - outLeft)) << "byte " << b;
  }
  iconv_close(cd);
  EXPECT_EQ(cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

std::string fromUtf8(std::string_view text, std::size_t capacity = 64) {
  unsigned char out[64];
  std::size_t n = cp1251::fromUtf8(text.data(), text.size(), out, std::min(capacity, sizeof out));
  return std::string(reinterpret_cast<const char*>(out), n);
}

// Typed text arrives in UTF-8: every byte's character comes back as that byte, and a character
// Windows-1251 lacks is dropped, never turned into a neighbour of its code.
TEST(Text1251, TypedUtf8BecomesWindows1251) {
  for (int b = 0; b < 256; ++b) {
    if (b == 0x98) continue;  // unassigned
    std::string utf8 = cp1251ToUtf8(std::string(1, static_cast<char>(b)));
    EXPECT_EQ(fromUtf8(utf8), std::string(1, static_cast<char>(b))) << "byte " << b;
  }
  EXPECT_EQ(fromUtf8("Петя Ёжик ё"), "\xCF\xE5\xF2\xFF \xA8\xE6\xE8\xEA \xB8");
  EXPECT_EQ(fromUtf8("«№—»"), "\xAB\xB9\x97\xBB");
  EXPECT_EQ(fromUtf8("éAя€😀"), "A\xFF\x88");                  // é and the emoji have no byte
  EXPECT_EQ(fromUtf8("\xC3" "A\xD0\xAF\xA0" "B"), "A\xDF" "B");  // a cut and a stray byte dropped
  EXPECT_EQ(fromUtf8("\xC1\x81\xE0\x81\x81x"), "x");            // overlong forms of "A" are no "A"
  EXPECT_EQ(fromUtf8("\xD0\x9F"), "\xCF");                       // ends exactly on a sequence
  EXPECT_EQ(fromUtf8("\xD0"), "");                              // ends inside one
  EXPECT_EQ(fromUtf8("abcdef", 3), "abc");
}

TEST(Console, PrintsUtf8) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&text, &size);
  consolePrint(stream, "%s %d\n", "Не найдено ни одного файла"_cp1251, 7);
  std::string longText(2000, 'x');
  consolePrint(stream, "%s", longText.c_str());
  std::fclose(stream);
  std::string printed(text, size);
  std::free(text);
  EXPECT_EQ(printed, "Не найдено ни одного файла 7\n" + longText);
}

// What a thread prints while its output is held comes out only at release(), in order, after
// what was printed meanwhile; a second thread's output is untouched by the hold.
TEST(Console, HeldLinesComeOutInOrderWhenReleased) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  HeldConsole held;
  std::thread worker([&] {
    held.start();
    consolePrint(stream, "held %d\n", 1);
    consolePrint(stream, "%s\n", "held Ё"_cp1251);
    held.stop();
    consolePrint(stream, "after the hold\n");
  });
  worker.join();
  consolePrint(stream, "meanwhile\n");
  held.release();
  held.release();  // nothing is left to write twice
  std::rewind(stream);
  std::string printed;
  for (int c; (c = std::fgetc(stream)) != EOF;) printed += static_cast<char>(c);
  std::fclose(stream);
  EXPECT_EQ(printed, "after the hold\nmeanwhile\nheld 1\nheld Ё\n");
}

// Names from outside reach the terminal with no control byte left in them.
TEST(Console, NamesArePrintedWithTheirControlBytesEscaped) {
  EXPECT_EQ(printableName("ship/hull/arrow"), "ship/hull/arrow");
  EXPECT_EQ(printableName(std::string_view("a\x1b[2Jb\nc\x7f\0", 10)), "a\\x1B[2Jb\\x0Ac\\x7F\\x00");
  EXPECT_EQ(quotedName("\xC0\t"), "\"\xC0\\x09\"");  // Windows-1251 letters stay
}

TEST(Startup, StampHasAsctimeFormWithTwoDigitDay) {
  struct Case {
    int month, day, weekday, hour, minute, second;
    const char* stamp;
  };
  for (const Case& c : {Case{11, 7, 1, 6, 5, 9, "Mon Dec 07 06:05:09 2026"}, Case{0, 31, 6, 23, 59, 58, "Sat Jan 31 23:59:58 2026"}}) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = c.month;
    t.tm_mday = c.day;
    t.tm_wday = c.weekday;
    t.tm_hour = c.hour;
    t.tm_min = c.minute;
    t.tm_sec = c.second;
    EXPECT_EQ(formatStamp(t), c.stamp);
  }
}

}  // namespace
