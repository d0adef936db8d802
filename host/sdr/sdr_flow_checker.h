#pragma once
// The repository's check of a state-based trigger flow: one pass over the unified state text
// with the names the trigger knows (states are read from the text itself). The first problem
// found wins and is reported with its 1-based line.

#include <set>
#include <string>
#include <vector>

class SDR_FLOW_CHECKER
{
public:
    struct NAMES
    {
        std::set<std::string> conditions; // trigger level names
        std::set<std::string> counters;
        std::set<std::string> flags;
    };

    // True when the text has an error; then `message` and `line` say what and where.
    static bool has_error(const std::string& text, const NAMES& names, std::string* message, int* line);
};
