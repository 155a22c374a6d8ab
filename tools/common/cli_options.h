// How both command-line programs walk their options: each starts with '-' and comes once ("-h"
// counts as "--help"), and one that takes a value has it next or after '=' ("--seed 5" or
// "--seed=5"). What an option means is the program's own.
#pragma once

#include <functional>
#include <set>
#include <string>

// Reads argv's options in order, handing each one, by its long name, with its value ("" for
// none), to `read`, which returns "" or what is wrong with it. Returns "" or the first thing
// wrong, without the program's name, naming an option as it was typed; `seen` holds the options
// read, by their long names.
std::string ReadOptions(
    int argc, const char* const* argv, const std::function<bool(const std::string&)>& takesValue,
    const std::function<std::string(const std::string&, const std::string&)>& read,
    std::set<std::string>& seen);
