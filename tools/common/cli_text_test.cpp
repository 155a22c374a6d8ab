#include "cli_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Quoted, KeepsAnErrorOnOneLineAndTheTerminalUntouched) {
  const struct {
    std::string value;
    const char* shown;
  } cases[] = {
      {"5", "'5'"},
      {"", "''"},
      {"5\n", "'5\\n'"},
      {"a\r\tb", "'a\\r\\tb'"},
      {"\x1B[2J", "'\\x1B[2J'"},  // a terminal escape: clear the screen
      {std::string("a\0b", 3), "'a\\x00b'"},
      {"\x7F", "'\\x7F'"},
      {"C:\\dir", "'C:\\\\dir'"},  // a backslash of the value stays readable as one
      {"2026年", "'2026年'"},      // well-formed UTF-8 stays as it is
      {"\xC2\x9B"
       "31m",
       "'\\xC2\\x9B31m'"},                    // U+009B, the one-byte form of ESC [
      {"\xE5\xB9", "'\\xE5\\xB9'"},           // a sequence cut short
      {"\xC0\xAF", "'\\xC0\\xAF'"},           // an overlong '/'
      {"\xED\xA0\x80", "'\\xED\\xA0\\x80'"},  // a surrogate half
      {"\xFF", "'\\xFF'"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Quoted(c.value), c.shown) << c.shown;
  }
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
