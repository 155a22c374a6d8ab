// Text both command-line programs show a person: values echoed safely in a one-line message, and
// counts that read at a glance.
#pragma once

#include <cstdint>
#include <string>

// `value` in single quotes, with every byte that could break the line or the terminal, or hide
// what the value holds, written out: \n, \r, \t, \\, \' and \xNN for other control bytes, DEL,
// each byte of a character that does not show as itself (format characters such as the
// byte-order mark and the marks that reorder text, line and paragraph separators, private use),
// and bytes that do not read as characters (UTF-8; on Windows, the ANSI code page).
std::string Quoted(const std::string& value);

// 4294967296 as "4,294,967,296".
std::string Grouped(uint64_t value);

// "1 seed", "2 seeds": the count, grouped, and the word in the number it needs.
std::string Counted(uint64_t count, const char* one, const char* many);

// printf into a string of whatever length it takes.
std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
