#pragma once
// The repository's check of a state-based trigger flow: one pass over the unified state text
// with the names the trigger knows (states are read from the text's own headers). Names come
// from the user and may hold blanks or punctuation, so they are matched as literal text, the
// longest that fits, never as patterns. The first problem found wins and is reported with its
// 1-based line.
//
//   state <name>:            a header begins a line; the name runs up to the colon
//   begin ... end            a block of statements
//   if (<condition>) <statement> [else if (<condition>) <statement>]... [else <statement>]
//   goto <state>;  trigger;  segment_trigger;  start_store;  stop_store;
//   increment|decrement|reset <counter>;   set|clear <flag>;
//   condition: <level name> | <flag> | <counter> <op> <number> | !c | (c) | c && c | c || c

#include <set>
#include <string>

class SDR_FLOW_CHECKER
{
public:
    struct NAMES
    {
        std::set<std::string> conditions; // trigger level names
        std::set<std::string> counters;
        std::set<std::string> flags;
    };

    // Blocks and parentheses nest at most this deep; deeper text is an error, not a crash.
    static constexpr int MAX_NESTING = 200;

    // True when the text has an error; then `message` and `line` say what and where.
    static bool has_error(const std::string& text, const NAMES& names, std::string* message, int* line);
};
