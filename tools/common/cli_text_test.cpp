#include "cli_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

struct QuotedCase {
  std::string value;
  const char* shown;
};

void ExpectQuoted(const std::vector<QuotedCase>& cases) {
  for (const QuotedCase& c : cases) EXPECT_EQ(Quoted(c.value), c.shown) << c.shown;
}

TEST(Quoted, KeepsAnErrorOnOneLineAndTheTerminalUntouched) {
  ExpectQuoted({
      {"5", "'5'"},
      {"", "''"},
      {"5\n", "'5\\n'"},
      {"a\r\tb", "'a\\r\\tb'"},
      {"\x1B[2J", "'\\x1B[2J'"},  // a terminal escape: clear the screen
      {std::string("a\0b", 3), "'a\\x00b'"},
      {"\x7F", "'\\x7F'"},
      {"C:\\dir", "'C:\\\\dir'"},  // a backslash of the value stays readable as one
      {"it's", "'it\\'s'"},        // and so does a quote
  });
}

// Each platform reads the bytes of a value its own way, so each of the next two tests runs on one
// of them and says so as a skip on the other.
TEST(Quoted, ShowsWellFormedUtf8AndWritesOutTheRest) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows a value is read in the ANSI code page, not as UTF-8";
#endif
  ExpectQuoted({
      {"2026年", "'2026年'"},
      {"\xC2\x9B"
       "31m",
       "'\\xC2\\x9B31m'"},  // U+009B, the one-byte form of ESC [
      {"a\xE2\x80\xAE"
       "cba",
       "'a\\xE2\\x80\\xAEcba'"},                       // U+202E turns the rest around
      {"\xE5\xB9", "'\\xE5\\xB9'"},                    // a sequence cut short
      {"\xC0\xAF", "'\\xC0\\xAF'"},                    // an overlong '/'
      {"\xE0\x80\xAF", "'\\xE0\\x80\\xAF'"},           // the same in three bytes
      {"\xF0\x80\x80\xAF", "'\\xF0\\x80\\x80\\xAF'"},  // and in four
      {"\xED\xA0\x80", "'\\xED\\xA0\\x80'"},           // a surrogate half
      {"\xFF", "'\\xFF'"},
  });
}

// On Windows the arguments arrive in the ANSI code page, 932 under the die's Japanese locale.
TEST(Quoted, ShowsTheAnsiCodePageAndWritesOutTheRest) {
#ifndef _WIN32
  GTEST_SKIP() << "only Windows reads a value in an ANSI code page";
#else
  if (GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
  ExpectQuoted({
      {"\x8C\xDC", "'\x8C\xDC'"},    // 五 as a seed
      {"2026\x94N", "'2026\x94N'"},  // 2026年
      {"\xB1", "'\xB1'"},            // a half-width katakana
      {"5\x8C", "'5\\x8C'"},         // a lead byte with nothing after it
      {"\x80", "'\\x80'"},           // no character at all
  });
#endif
}

TEST(Grouped, PutsACommaBetweenThousands) {
  EXPECT_EQ(Grouped(0), "0");
  EXPECT_EQ(Grouped(999), "999");
  EXPECT_EQ(Grouped(1000), "1,000");
  EXPECT_EQ(Grouped(812865540), "812,865,540");
  EXPECT_EQ(Grouped(4294967296), "4,294,967,296");
  EXPECT_EQ(Grouped(UINT64_MAX), "18,446,744,073,709,551,615");
  EXPECT_EQ(Counted(1, "seed", "seeds"), "1 seed");
  EXPECT_EQ(Counted(0, "seed", "seeds"), "0 seeds");
  EXPECT_EQ(Counted(1000, "seed", "seeds"), "1,000 seeds");
}

}  // namespace
