// The repository's flow check: what the flow language accepts, the first problem with its
// line, names matched as literal text, and bounded nesting.
#include "host/sdr/sdr_flow_checker.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct FLOW_ROW
{
    const char* name;
    std::string text;
    const char* message; // "" for a flow without error
    int line;
};

SDR_FLOW_CHECKER::NAMES default_names()
{
    SDR_FLOW_CHECKER::NAMES names;
    names.conditions = {"condition1", "Condition 2"};
    names.counters = {"counter1"};
    names.flags = {"flag1"};
    return names;
}

void check_rows(const SDR_FLOW_CHECKER::NAMES& names, std::initializer_list<FLOW_ROW> rows)
{
    for (const FLOW_ROW& row : rows)
    {
        std::string message = "untouched";
        int line = -7;
        const bool error = SDR_FLOW_CHECKER::has_error(row.text, names, &message, &line);
        EXPECT_EQ(error, *row.message != '\0') << row.name;
        EXPECT_EQ(message, error ? row.message : "untouched") << row.name;
        EXPECT_EQ(line, error ? row.line : -7) << row.name;
    }
}
} // namespace

TEST(sdr_flow_checker, accepts_every_statement_of_the_language)
{
    check_rows(default_names(),
               {
                   {"states with goto forward and back",
                    "state ST1:\nif (condition1) begin\n  increment counter1;\n  goto ST2;\nend\n"
                    "state ST2:\nif (counter1 > 5 && flag1)\n  trigger;\nelse goto ST1;\n",
                    "", 0},
                   {"every action", "state a:\nbegin trigger; segment_trigger; start_store; stop_store;\n"
                                    "increment counter1; decrement counter1; reset counter1; set flag1; clear flag1; end",
                    "", 0},
                   {"else if chain and nested blocks",
                    "state s:\nif (!(flag1 || condition1)) begin if (counter1 != 3) goto s; end\n"
                    "else if (counter1 <= 0) begin end\nelse trigger;",
                    "", 0},
                   {"every comparison operator",
                    "state s:\nif (counter1 < 1 || counter1 >= 2 || counter1 == 3 || counter1>4) trigger;", "", 0},
                   {"comments and blank lines", "// flow\n\nstate s: // first\n  trigger; // done\n", "", 0},
                   {"windows line ends", "state ST1:\r\ntrigger;\r\n\r\nstate ST2:\r\ngoto ST1;", "", 0},
                   {"empty state body", "state a:\nstate b:\ngoto a;", "", 0},
               });
}

TEST(sdr_flow_checker, reports_the_first_problem_with_its_line)
{
    check_rows(default_names(),
               {
                   {"unknown goto target", "state ST1:\ngoto ST9;\n", "Unknown state name \"ST9\"", 2},
                   {"unknown name in a condition", "state ST1:\nif (nope) trigger;\n", "Unknown name \"nope\"", 2},
                   {"flag action on a counter", "state ST1:\nset counter1;\n", "Unknown flag \"counter1\"", 2},
                   {"counter action on a flag", "state ST1:\nreset flag1;\n", "Unknown counter \"flag1\"", 2},
                   {"missing semicolon at the end", "state ST1:\ngoto ST1\n", "Missing \";\"", 2},
                   {"missing semicolon before the next line", "state s:\nbegin trigger\nend", "Missing \";\"", 2},
                   {"header without colon", "state ST1\ntrigger;\n", "Invalid state header", 1},
                   {"header without name", "state :\ntrigger;\n", "Invalid state header", 1},
                   {"header inside a line", "state a:\ntrigger; state b:\n", "Invalid state header", 2},
                   {"duplicate state", "state a:\ntrigger;\nstate a:\ntrigger;", "Duplicate state name \"a\"", 3},
                   {"statement before any header", "trigger;\nstate a:\n", "Missing state header", 1},
                   {"only a comment", "// nothing\n", "Missing state header", 2},
                   {"empty text", "", "Missing state header", 1},
                   {"unclosed begin", "state ST1:\nbegin\ntrigger;\n", "Missing \"end\"", 3},
                   {"begin closed by the next header", "state a:\nbegin\nstate b:\ntrigger;", "Missing \"end\"", 3},
                   {"end without begin", "state a:\ntrigger;\nend", "\"end\" without \"begin\"", 3},
                   {"else without if", "state a:\nelse trigger;", "\"else\" without \"if\"", 2},
                   {"closing parenthesis first", "state ST1:\nif ) trigger;\n", "Missing \"(\"", 2},
                   {"unclosed parenthesis", "state a:\nif (flag1\ntrigger;", "Missing \")\"", 2},
                   {"empty condition", "state a:\nif () trigger;", "Missing operand", 2},
                   {"counter without comparison", "state a:\nif (counter1) trigger;", "Missing comparison of counter \"counter1\"", 2},
                   {"comparison without value", "state a:\nif (counter1 > x) trigger;", "Missing comparison value", 2},
                   {"if without statement", "state a:\nif (flag1)\n", "Missing statement", 2},
                   {"stray token", "state a:\n42;", "Unexpected \"42\"", 2},
               });
}

TEST(sdr_flow_checker, matches_names_as_literal_text)
{
    SDR_FLOW_CHECKER::NAMES names = default_names();
    names.flags = {"f.*", "a[1]", "x+"};
    names.counters = {"c(1)"};
    check_rows(names,
               {
                   {"name with a blank", "state s:\nif (Condition 2) trigger;", "", 0},
                   {"state name with punctuation", "state run (fast):\ngoto run (fast);", "", 0},
                   {"regex characters stand for themselves", "state s:\nset f.*; clear a[1]; set x+;", "", 0},
                   {"no pattern matches other text", "state s:\nset fxx;", "Unknown flag \"fxx\"", 2},
                   {"counter with parentheses compared", "state s:\nif (c(1) > 2) trigger;", "", 0},
                   {"a name does not run into a longer word", "state s:\nset flag1x;", "Unknown flag \"flag1x\"", 2},
                   {"prefix of a longer name is not enough", "state s:\nif (Condition) trigger;",
                    "Unknown name \"Condition\"", 2},
               });
}

TEST(sdr_flow_checker, deep_nesting_is_an_error_not_a_crash)
{
    const int depth = SDR_FLOW_CHECKER::MAX_NESTING + 50;
    const std::string parentheses = "state s:\nif (" + std::string(depth, '(') + "flag1" + std::string(depth, ')') + ") trigger;";
    std::string blocks = "state s:\n";
    for (int i = 0; i < depth; ++i)
        blocks += "begin ";
    std::string message;
    int line = 0;
    EXPECT_TRUE(SDR_FLOW_CHECKER::has_error(parentheses, default_names(), &message, &line));
    EXPECT_EQ(message, "Nesting too deep");
    EXPECT_TRUE(SDR_FLOW_CHECKER::has_error(blocks, default_names(), &message, &line));
    EXPECT_EQ(message, "Nesting too deep");
    const std::string shallow = "state s:\nif (" + std::string(20, '(') + "flag1" + std::string(20, ')') + ") trigger;";
    EXPECT_FALSE(SDR_FLOW_CHECKER::has_error(shallow, default_names(), &message, &line));
}
