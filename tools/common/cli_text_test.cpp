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

// A character that shows as nothing, or as something else, would make the message lie about the
// value: each is written out, byte by byte, and its neighbours that show are kept.
TEST(Quoted, WritesOutWhatDoesNotShowAsItself) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows a value is read in the ANSI code page, not as UTF-8";
#endif
  ExpectQuoted({
      {"\xEF\xBB\xBF"
       "02",
       "'\\xEF\\xBB\\xBF02'"},                  // U+FEFF, an editor's byte-order mark
      {"5\xE2\x80\x8B", "'5\\xE2\\x80\\x8B'"},  // U+200B zero width space
      {"\xD8\x9C", "'\\xD8\\x9C'"},             // U+061C Arabic letter mark
      {"\xC2\xAD", "'\\xC2\\xAD'"},             // U+00AD soft hyphen
      {"\xE2\x81\xA4", "'\\xE2\\x81\\xA4'"},    // U+2064 invisible plus
      {"\xE2\x80\xA8\xE2\x80\xA9",              // U+2028, U+2029 separators
       "'\\xE2\\x80\\xA8\\xE2\\x80\\xA9'"},
      {"\xEE\x80\x80", "'\\xEE\\x80\\x80'"},                           // U+E000, private use
      {"\xEF\xA3\xBF", "'\\xEF\\xA3\\xBF'"},                           // U+F8FF, its last
      {"\xF3\xB0\x80\x80", "'\\xF3\\xB0\\x80\\x80'"},                  // U+F0000, plane 15's
      {"\xEF\xB8\x8F", "'\\xEF\\xB8\\x8F'"},                           // U+FE0F variation selector
      {"\xF3\xA0\x81\x81", "'\\xF3\\xA0\\x81\\x81'"},                  // U+E0041, a tag
      {"\xEF\xBF\xBE", "'\\xEF\\xBF\\xBE'"},                           // U+FFFE, a noncharacter
      {"\xF0\x9F\xBF\xBF", "'\\xF0\\x9F\\xBF\\xBF'"},                  // U+1FFFF, another
      {"\xC2\xA0\xE2\x80\xA7\xE2\x80\xB0\xEF\xA4\x80\xEF\xBF\xBD",     // shown: U+00A0,
       "'\xC2\xA0\xE2\x80\xA7\xE2\x80\xB0\xEF\xA4\x80\xEF\xBF\xBD'"},  // 2027, 2030, F900, FFFD
      {"\xF0\x9F\x8E\xB2", "'\xF0\x9F\x8E\xB2'"},                      // U+1F3B2, a die
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
      {"\xF0\x40", "'\\xF0@'"},      // a character of the user's own: private use
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
