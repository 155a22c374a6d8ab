#include "cli_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdarg>
#include <cstdio>

namespace {

// Code points that show as nothing, or as something other than themselves, so that a value
// holding one would read as another: format characters (U+200B zero width space, U+FEFF the
// byte-order mark an editor puts before a file's text, the marks that reorder the text around
// them), the line and paragraph separators, private use, characters a font is told to show as
// nothing (variation selectors, fillers, tags) and noncharacters. Each row is a first and a last
// code point, ascending; the noncharacters at the end of each plane (U+xFFFE, U+xFFFF) are
// tested apart.
const uint32_t kUnshown[][2] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},
    {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},
    {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x200B, 0x200F},
    {0x2028, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},   {0xE000, 0xF8FF},
    {0xFDD0, 0xFDEF},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},
    {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}, {0xF0000, 0x10FFFF},
};

// Whether the character `code` shows as itself; C1 controls (U+0080 to U+009F) do not either:
// some terminals act on them as on ESC.
bool ShowsAsItself(uint32_t code) {
  if (code <= 0x9F || (code & 0xFFFE) == 0xFFFE) return false;
  for (const auto& range : kUnshown) {
    if (code < range[0]) return true;
    if (code <= range[1]) return false;
  }
  return true;
}

#ifdef _WIN32
// On Windows the command line arrives in the ANSI code page (932 for the die's users), so a
// character is printable when that code page reads it as one that shows as itself.
size_t PrintableSequence(const std::string& text, size_t at) {
  size_t length = IsDBCSLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
  wchar_t character;
  if (at + length > text.size() ||
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &text[at], static_cast<int>(length),
                          &character, 1) != 1) {
    return 0;
  }
  return ShowsAsItself(character) ? length : 0;
}
#else
// The length of the well-formed UTF-8 sequence at `at` that encodes a character that shows as
// itself, or 0.
size_t PrintableSequence(const std::string& text, size_t at) {
  unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > text.size()) return 0;
  uint32_t code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = code << 6 | (next & 0x3F);
  }
  static const uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  bool wellFormed =
      code >= kShortest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  return wellFormed && ShowsAsItself(code) ? length : 0;
}
#endif

}  // namespace

std::string Quoted(const std::string& value) {
  std::string out = "'";
  for (size_t at = 0; at < value.size();) {
    unsigned char c = static_cast<unsigned char>(value[at]);
    size_t sequence = c >= 0x80 ? PrintableSequence(value, at) : 0;
    if (sequence) {
      out.append(value, at, sequence);
      at += sequence;
      continue;
    }
    char escaped[5];
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\'':
        out += "\\'";
        break;
      default:
        if (c >= 0x20 && c < 0x7F) {
          out += static_cast<char>(c);
        } else {
          std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
          out += escaped;
        }
    }
    ++at;
  }
  return out + "'";
}

std::string Grouped(uint64_t value) {
  std::string digits = std::to_string(value), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Counted(uint64_t count, const char* one, const char* many) {
  return Grouped(count) + " " + (count == 1 ? one : many);
}

std::string Printed(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(&text[0], text.size(), format, args);
  va_end(args);
  text.resize(text.size() - 1);
  return text;
}
