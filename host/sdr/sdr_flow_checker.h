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

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A flow as the reader found it: each state's statements, the statements and conditions they
// hold (children by index), names as the text spelled them.
struct SDR_FLOW_PROGRAM
{
    enum CONDITION_KIND { NAME, COMPARE, NOT, AND, OR };
    struct CONDITION
    {
        CONDITION_KIND kind = NAME;
        std::string name;                 // NAME: a level or flag; COMPARE: the counter
        std::string op;                   // COMPARE: ">=", "<=", "==", "!=", ">", "<"
        uint64_t value = 0;
        std::vector<int> operands;        // NOT: one; AND, OR: two or more
    };
    enum STATEMENT_KIND
    {
        BLOCK, IF, GOTO, TRIGGER, SEGMENT_TRIGGER, START_STORE, STOP_STORE, INCREMENT, DECREMENT, RESET, SET, CLEAR
    };
    struct STATEMENT
    {
        STATEMENT_KIND kind = BLOCK;
        std::string name;                 // GOTO: the state; counter and flag actions: theirs
        std::vector<int> children;        // BLOCK
        std::vector<std::pair<int, int>> branches;   // IF: (condition, statement) in order
        int otherwise = -1;               // IF: the else statement
    };
    std::vector<std::string> states;
    std::vector<std::vector<int>> bodies; // per state
    std::vector<CONDITION> conditions;
    std::vector<STATEMENT> statements;
};

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
    // The same reading, keeping what it read: false with `message` and `line` on an error.
    static bool read(const std::string& text, const NAMES& names, SDR_FLOW_PROGRAM* program, std::string* message,
                     int* line);
};
