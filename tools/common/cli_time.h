// Clock times as both command-line programs read and show them: one UTC second, written
// YYYY-MM-DDTHH:MM:SSZ, as a count of seconds since 1970-01-01T00:00:00Z.
#pragma once

#include <cstdint>
#include <string>

// A UTC second from 1970 to 9999. On failure `why` says what is wrong with it, to follow the
// quoted value in a message: "does not exist", "is not a UTC time of the form ...".
bool ParseUtcSecond(const std::string& text, int64_t& unixSeconds, std::string& why);

// The same, or "now": the second `now`, which a program reads from the clock once, as it starts,
// so that every "now" of one command line is the same second.
bool ParseUtcSecondOrNow(const std::string& text, int64_t now, int64_t& unixSeconds,
                         std::string& why);

// The clock, as whole seconds since 1970-01-01T00:00:00Z, 64 bits wide on every build.
int64_t UnixSecondsNow();

// A Unix second as YYYY-MM-DDTHH:MM:SSZ, the form ParseUtcSecond reads.
std::string UtcText(int64_t unixSeconds);
