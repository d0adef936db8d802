// The flow language the editor sees: tokens, proposals at the cursor, the state split of a
// unified text, highlighting rules over user-chosen names, and the goto graph of the diagram.
#include "host/standin/msg_control.h"
#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/model/sedq_flow_rename.h"
#include "sedq/model/sedq_line_count.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_flow_document.h"
#include "sedq/state_flow/sedq_flow_language.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"
#include "sedq/state_flow/sedq_tree_widget.h"

#include <QRegularExpression>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <random>
#include <gtest/gtest.h>

// A summary as its answers, and its last tokens, for the messages of a failed comparison.
void PrintTo(const SEDQ_FLOW_TOKENS& tokens, std::ostream* os)
{
    const SEDQ_FLOW_SUMMARY& s = tokens.summary;
    *os << "size " << s.size() << " first '" << s.first().toStdString() << "' begin-end " << s.in_begin_end_block()
        << " open ( " << s.missing_matching_parenthesis() << " if " << s.in_if_block() << " logic "
        << s.in_logic_block() << " keywords ";
    for (unsigned k = SEDQ_FLOW_SUMMARY::KEYWORD_IF; k <= SEDQ_FLOW_SUMMARY::KEYWORD_SEGMENT_TRIGGER; k <<= 1)
        *os << s.keyword_used(SEDQ_FLOW_SUMMARY::KEYWORD(k))
            << s.keyword_in_begin_end_block(SEDQ_FLOW_SUMMARY::KEYWORD(k));
    *os << " tail '" << tokens.tail.join(' ').toStdString() << "'";
}

namespace
{
SEDQ_FLOW_NAMES names()
{
    SEDQ_FLOW_NAMES n;
    n.states = QStringList{"ST1", "ST2", "ST3"};
    n.conditions = QStringList{"condition1"};
    n.counters = QStringList{"c1"};
    n.flags = QStringList{"f1", "f2"};
    return n;
}

QStringList proposals(const QString& text, SEDQ_DISPLAY_TYPE display = SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE,
                      SEDQ_RESOURCE_TYPE resource = SEDQ_RESOURCE_TYPE_COLLAPSED)
{
    QStringList out;
    sedq_get_proposals(&out, sedq_split_tokens(text), names(), display, resource);
    return out;
}
} // namespace

TEST(flow_language, splits_tokens_at_punctuation_and_blanks)
{
    const struct
    {
        const char* text;
        QStringList tokens;
    } rows[] = {
        {"if(a&&!b)", {"if", "(", "a", "&&", "!", "b", ")"}},
        {"c1 != 5", {"c1", "!", "=", "5"}},
        {"state ST1:goto ST2;", {"state", "ST1", ":", "goto", "ST2", ";"}},
        {"a&&&b ||| c|d", {"a", "&&", "&b", "||", "|", "c|d"}},
        {"\tx\r\n\v\fy  ", {"x", "y"}},
        {"n\xc2\xa0m", {"n\xc2\xa0m"}},
        {"a&&&b x|||y", {"a", "&&", "&b", "x", "||", "|y"}},
        {"c1\t!=\r\n5\v\f;", {"c1", "!", "=", "5", ";"}},
        {"if(!(a))", {"if", "(", "!", "(", "a", ")", ")"}},
        {"", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sedq_split_tokens(row.text), row.tokens) << row.text;
}

TEST(flow_language, proposes_what_may_follow_the_tokens)
{
    const QStringList statements{"begin",    "if (",     "goto ",   "start_store;", "stop_store;", "trigger;",
                                 "segment_trigger;", "increment ", "decrement ", "clear ", "set ", "reset "};
    const struct
    {
        const char* name;
        const char* text;
        SEDQ_DISPLAY_TYPE display;
        QStringList expected;
    } rows[] = {
        {"empty unified text", "", SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW, {"state "}},
        {"empty body", "", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, statements},
        {"after a header name", "state ST1", SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW, {":"}},
        {"after the colon", "state ST1:", SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW, statements},
        {"after goto", "goto", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, {"ST1;", "ST2;", "ST3;"}},
        {"after a counter", "if (c1", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, {"<", "<=", "==", ">=", ">"}},
        {"after increment", "increment", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, {"c1;"}},
        {"after increment and a counter", "increment c1", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, {";"}},
        {"after a number", "if (c1 > 5", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, {"&&", "||", ")"}},
        {"after an open paren", "if (", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, {"!", "(", "condition1", "c1", "flag"}},
        {"after a balanced paren", "if (f1)", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE,
         QStringList{"begin", "goto ", "start_store;", "stop_store;", "trigger;", "segment_trigger;", "increment ",
                     "decrement ", "clear ", "set ", "reset "}},
        {"goto already in block", "begin goto ST2;", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE,
         QStringList{"if (", "start_store;", "stop_store;", "trigger;", "segment_trigger;", "increment ", "decrement ",
                     "clear ", "set ", "reset ", "end"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(proposals(row.text, row.display), row.expected) << row.name;
}

// A display or resource type the language does not know is an internal error naming the type
// expected, and the proposals go on as for that type.
TEST(flow_language, an_unknown_display_or_resource_type_is_reported_by_its_name)
{
    const struct
    {
        const char* name;
        const char* text;
        int display;
        int resource;
        std::string reported;
        QStringList expected;
    } rows[] = {
        {"display", "", 2, SEDQ_RESOURCE_TYPE_COLLAPSED, "display_type == SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE",
         proposals("", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE)},
        {"resource", "if (", SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, 3,
         "resource_type == SEDQ_RESOURCE_TYPE_COLLAPSED", {"!", "(", "condition1", "c1", "flag"}},
    };
    for (const auto& row : rows)
    {
        standin::msg::clear_internal_errors();
        EXPECT_EQ(proposals(row.text, SEDQ_DISPLAY_TYPE(row.display), SEDQ_RESOURCE_TYPE(row.resource)),
                  row.expected)
            << row.name;
        ASSERT_EQ(standin::msg::internal_errors().size(), 1u) << row.name;
        EXPECT_EQ(standin::msg::internal_errors().front().expression, row.reported) << row.name;
    }
}

// Names of any form the user or the host gives, a name of several words among them; a token of
// a default form that names nothing is still read by its form.
TEST(flow_language, proposes_what_follows_a_name_of_any_form)
{
    SEDQ_FLOW_NAMES n;
    n.states = QStringList{"idle", "ST2"};
    n.conditions = QStringList{"Condition 1", "start"};
    n.counters = QStringList{"counter1"};
    n.flags = QStringList{"flag1"};
    const QStringList operators{"<", "<=", "==", ">=", ">"};
    const QStringList joiners{"&&", "||", ")"};
    const struct
    {
        const char* text;
        QStringList expected;
    } rows[] = {
        {"goto idle", {";"}},           {"increment counter1", {";"}},  {"if (counter1", operators},
        {"set flag1", {";"}},           {"if (flag1", joiners},         {"if (Condition 1", joiners},
        {"if (start", joiners},         {"if (!start && c7", operators}, {"if (Condition", {}},
        // Default names are the prefix and ASCII digits, nothing more and nothing less.
        {"if (c", {}},                  {"if (c12x", {}},               {"if (xc12", {}},
        {"if (c\u0661", {}},            {"if (f03", joiners},           {"if (condition12", joiners},
        {"goto ST9", {";"}},            {"goto st9", {}},               {"if (f1 > 012", joiners},
        {"if (f1 > 1.5", {}},           {"if (f1 <", {"value"}},        {"if (f1 !", {"(", "condition", "counter1", "flag1"}},
        // The word before a default name says whether it is an action's operand.
        {"reset c4", {";"}},            {"resets c4", operators},       {"clear f2", {";"}},
        {"if (clear f2", {";"}},        {"trigger", {";"}},             {"triggers", {}},
    };
    for (const auto& row : rows)
    {
        QStringList out;
        sedq_get_proposals(&out, sedq_split_tokens(row.text), n, SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE,
                           SEDQ_RESOURCE_TYPE_COLLAPSED);
        EXPECT_EQ(out, row.expected) << row.text;
    }
}

namespace
{
// The tokens of the state the cursor at `at` stands in, up to the cursor: from the last line
// before it whose tokens hold "state".
QStringList state_tokens_before(const QString& text, int at)
{
    QStringList before_lines = text.left(at).split(QLatin1Char('\n'));
    int first = before_lines.size() - 1;
    while (first > 0 && !sedq_split_tokens(before_lines.at(first).simplified()).contains("state"))
        --first;
    return sedq_split_tokens(before_lines.mid(first).join(QLatin1Char('\n')).simplified());
}

// The context the editor reads from the lines of `document` at `at` is what its whole text
// gives: the word at the cursor, and the tokens before it within the state it stands in.
void expect_context_of_text(QTextDocument* document, int at)
{
    const QString text = document->toPlainText();
    QTextCursor cursor(document);
    cursor.setPosition(at);
    const SEDQ_CURSOR_CONTEXT lines = sedq_cursor_context(cursor);
    const QStringList tokens = state_tokens_before(text, at);
    EXPECT_EQ(lines.word, sedq_cursor_context(text.left(at), text).word)
        << "text '" << text.toStdString() << "' at " << at;
    EXPECT_EQ(lines.tokens, SEDQ_FLOW_TOKENS::of(tokens)) << "text '" << text.toStdString() << "' at " << at;
    EXPECT_EQ(lines.tokens_but_last, SEDQ_FLOW_TOKENS::of(tokens.mid(0, tokens.size() - 1)))
        << "text '" << text.toStdString() << "' at " << at;
}

const QStringList TEXT_PIECES{"if", " ", "(", "c1", " ", "&&", "&", "|", "||", "!", ";", ":", "\n", "\n\n", "  ",
                              "goto", "ST1", "state", "begin", "end", "\t", "x", "else", ")", "trigger"};

QString random_text(std::mt19937* random, int pieces)
{
    QString text;
    for (int i = 0; i < pieces; ++i)
        text += TEXT_PIECES.at(int((*random)() % TEXT_PIECES.size()));
    return text;
}
} // namespace

// The editor reads the proposals' context from the lines of the document around the cursor.
TEST(flow_language, the_context_at_a_cursor_is_read_from_its_lines_as_from_the_whole_text)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round)
    {
        QTextDocument document(random_text(&random, int(random() % 24)));
        for (int at = 0; at < document.characterCount(); ++at)
            expect_context_of_text(&document, at);
        if (HasFailure())
            return;
    }
}

// Each line keeps the summary of its state up to its end: an edit anywhere, its undo and its
// redo leave the context at every cursor as the text now reads.
TEST(flow_language, the_context_follows_every_edit_undo_and_redo_of_the_lines_before_it)
{
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round)
    {
        QTextDocument document(random_text(&random, 60));
        for (int step = 0; step < 40; ++step)
        {
            QTextCursor edit(&document);
            const int length = document.characterCount() - 1;
            edit.setPosition(int(random() % (length + 1)));
            switch (random() % 4)
            {
            case 0:
                edit.insertText(random_text(&random, 1 + int(random() % 3)));
                break;
            case 1:
                edit.setPosition(qMin(length, edit.position() + 1 + int(random() % 8)), QTextCursor::KeepAnchor);
                edit.removeSelectedText();
                break;
            case 2:
                document.undo();
                break;
            default:
                document.redo();
                break;
            }
            const int end = document.characterCount() - 1;
            for (int at : {end, edit.position(), int(random() % (end + 1)), int(random() % (end + 1))})
                expect_context_of_text(&document, at);
            if (HasFailure())
                return;
        }
    }
}

// What the proposals read of the tokens is folded token by token; at every prefix of any token
// list it answers as the structural rules scanning that prefix do.
TEST(flow_language, the_token_summary_answers_as_the_rules_over_every_prefix)
{
    const QStringList vocabulary{"state", "begin", "end", "if", "else", "(", ")", "goto", "trigger", "start_store",
                                 "stop_store", "segment_trigger", ";", ":", "x"};
    const struct
    {
        const char* word;
        SEDQ_FLOW_SUMMARY::KEYWORD keyword;
    } keywords[] = {{"if", SEDQ_FLOW_SUMMARY::KEYWORD_IF},
                    {"goto", SEDQ_FLOW_SUMMARY::KEYWORD_GOTO},
                    {"start_store", SEDQ_FLOW_SUMMARY::KEYWORD_START_STORE},
                    {"stop_store", SEDQ_FLOW_SUMMARY::KEYWORD_STOP_STORE},
                    {"trigger", SEDQ_FLOW_SUMMARY::KEYWORD_TRIGGER},
                    {"segment_trigger", SEDQ_FLOW_SUMMARY::KEYWORD_SEGMENT_TRIGGER}};
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round)
    {
        QStringList tokens;
        SEDQ_FLOW_SUMMARY summary;
        const int length = 1 + int(random() % 30);
        for (int i = 0; i < length; ++i)
        {
            tokens << vocabulary.at(int(random() % vocabulary.size()));
            summary.add(tokens.last());
            const std::string at = tokens.join(' ').toStdString();
            ASSERT_EQ(summary.in_begin_end_block(), sedq_is_in_begin_end_block(tokens)) << at;
            ASSERT_EQ(summary.missing_matching_parenthesis(), sedq_is_missing_matching_parenthesis(tokens)) << at;
            ASSERT_EQ(summary.in_if_block(), sedq_is_in_if_block(tokens)) << at;
            ASSERT_EQ(summary.in_logic_block(), sedq_is_in_logic_block(tokens)) << at;
            for (const auto& keyword : keywords)
            {
                // Each rule where the proposals ask it, inside the blocks it expects.
                if (summary.in_begin_end_block())
                    ASSERT_EQ(summary.keyword_used(keyword.keyword),
                              sedq_is_keyword_already_used(tokens, keyword.word))
                        << at << " / " << keyword.word;
                if (summary.in_begin_end_block() || summary.in_logic_block())
                    ASSERT_EQ(summary.keyword_in_begin_end_block(keyword.keyword),
                              sedq_is_keyword_already_in_begin_end_block(tokens, keyword.word))
                        << at << " / " << keyword.word;
            }
        }
        ASSERT_EQ(summary.first(), tokens.first());
        ASSERT_EQ(summary.size(), tokens.size());
    }
}

TEST(flow_language, completes_the_word_at_the_cursor)
{
    const SEDQ_FLOW_NAMES n = names();
    const struct
    {
        const char* name;
        const char* before;
        const char* whole;
        QStringList expected;
    } rows[] = {
        {"first letters of increment", "inc", "inc", {"increment "}},
        {"a state name after goto", "goto S", "goto S", {"ST1;", "ST2;", "ST3;"}},
        {"if is not completed to if (", "if", "if", {}},
        {"a word with pattern characters", "(*", "(*", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sedq_get_proposals(row.before, row.whole, n, SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE,
                                     SEDQ_TOOLTIPS_TYPE_COMPLETION),
                  row.expected)
            << row.name;
}

TEST(flow_language, a_state_starts_only_at_a_header_line)
{
    const struct
    {
        const char* name;
        const char* text;
        QStringList names;
        QStringList bodies;
    } rows[] = {
        {"two states", "state a:\ngoto b;\n\nstate b:\ntrigger;", {"a", "b"}, {"goto b;", "trigger;"}},
        {"a word ending in state", "state a:\ngoto idle_state;\nSTATE idle_state:\ntrigger;",
         {"a", "idle_state"}, {"goto idle_state;", "trigger;"}},
        {"state_cnt is a name", "state a:\nincrement state_cnt;", {"a"}, {"increment state_cnt;"}},
        {"a header inside a line", "state a:\nif (f) trigger; state x: goto a;", {"a"},
         {"if (f) trigger; state x: goto a;"}},
        {"no colon on the line", "state a\n:trigger;", {}, {}},
    };
    for (const auto& row : rows)
    {
        SEDQ_STATE_MACHINE_OBJECT machine;
        machine.set_unified_state_text(row.text);
        QString kept;
        machine.get_unified_state_text(&kept);
        EXPECT_EQ(kept, QString(row.text)) << row.name;
        EXPECT_EQ(machine.get_state_count(), qMax(1, int(row.names.size()))) << row.name;
        EXPECT_EQ(machine.get_state_text_list(), row.bodies) << row.name;
        EXPECT_EQ(machine.get_state_name_list().mid(0, row.names.size()), row.names) << row.name;
    }
}

TEST(flow_language, user_names_never_make_a_rule_that_matches_nothing)
{
    SEDQ_FLOW_NAMES n = names();
    n.flags = QStringList{"x*", "a|", ""};
    const auto rules = sedq_highlight_rules(n, SEDQ_HIGHLIGHT_LOCK());
    const auto ranges = sedq_highlight_line("if (x* && a| && f1) goto ST2;", rules);
    for (const auto& range : ranges)
        EXPECT_GT(range.length, 0);
    auto covered_by = [&ranges](int start, int length, QColor colour) {
        for (const auto& range : ranges)
            if (range.start == start && range.length == length && range.format.foreground().color() == colour)
                return true;
        return false;
    };
    EXPECT_FALSE(covered_by(4, 1, Qt::magenta)) << "x* is not read as a pattern";
    EXPECT_TRUE(covered_by(4, 2, Qt::magenta)) << "x* is found as the flow check reads it";
    EXPECT_TRUE(covered_by(10, 2, Qt::magenta));
    EXPECT_TRUE(covered_by(0, 2, Qt::blue));
    EXPECT_TRUE(covered_by(25, 3, Qt::darkGreen));
}

// The tokens of the language are scanned by hand; each kind finds in any line what its pattern
// finds there, word characters and blanks counted as the pattern counts them (ASCII only).
TEST(flow_language, fixed_tokens_are_found_as_their_patterns_find_them)
{
    const struct
    {
        SEDQ_FIXED_TOKENS which;
        const char* pattern;
    } kinds[] = {
        {SEDQ_FIXED_TOKENS::KEYWORDS,
         "\\b(state|if|else|increment|decrement|reset|set|clear|goto|trigger|segment_trigger|begin|end)\\b"},
        {SEDQ_FIXED_TOKENS::STORE_WORDS, "\\b(start_store|stop_store)\\b"},
        {SEDQ_FIXED_TOKENS::STATE_WORD, "\\bstate\\s+"},
        {SEDQ_FIXED_TOKENS::RELATIONS, "(<=|>=|==|!=|<|>)"},
        {SEDQ_FIXED_TOKENS::LOGICALS, "(&&|\\|\\|)"},
        {SEDQ_FIXED_TOKENS::NUMBERS, "\\b\\d+\\b"},
    };
    const QStringList pieces = {"state", "states", "if", "ifx", "_if", "else", "segment_trigger", "trigger",
                                "start_store", "stop_store", "st", "_store", "end", "12", "1a", "a1", "0", " ",
                                "  ", "\t", "\v", "\r", "\f", "<", ">", "=", "!", "&", "|", "(", ")", ";", ":",
                                QString::fromUtf8("\u00e9"), QString::fromUtf8("\u00a0"), QString(QChar(0x2003)),
                                QString::fromUtf8("\U0001F600"), QString::fromUtf8("\u0663"), "_", "ST1", "x"};
    std::mt19937 random(7);
    for (int line = 0; line < 3000; ++line)
    {
        QString text;
        for (int n = std::uniform_int_distribution<int>(0, 12)(random); n > 0; --n)
            text += pieces.at(std::uniform_int_distribution<int>(0, pieces.size() - 1)(random));
        for (const auto& kind : kinds)
        {
            QVector<QPair<int, int>> expected;
            QRegularExpressionMatchIterator it =
                QRegularExpression(QString::fromLatin1(kind.pattern)).globalMatch(text);
            while (it.hasNext())
            {
                const QRegularExpressionMatch match = it.next();
                expected.append({match.capturedStart(), match.capturedLength()});
            }
            ASSERT_EQ(sedq_fixed_tokens(kind.which, text), expected)
                << kind.pattern << " in \"" << text.toStdString() << "\"";
        }
    }
}

// A swap replaces the token the format covers: an operator whole from any of its characters, a
// state name but not the header that names its state.
TEST(flow_language, the_swappable_token_is_the_one_the_colours_show)
{
    SEDQ_FLOW_NAMES with_blanks = names();
    with_blanks.conditions << "Condition 2";
    const auto rules = sedq_highlight_rules(with_blanks, SEDQ_HIGHLIGHT_LOCK());
    const struct
    {
        const char* text;
        int at;
        const char* token; // nullptr: no swap there
    } rows[] = {
        {"if (c1 <= 5)", 7, "<="}, {"if (c1 <= 5)", 8, "<="},   {"if (c1 != 5)", 7, "!="},
        {"if (c1 >= 5)", 8, ">="}, {"if (c1 > 15)", 10, "15"},  {"if (f1 || f2)", 8, "||"},
        {"goto ST2;", 6, "ST2"},   {"state ST2:", 7, nullptr},  {"goto ST2;", 2, nullptr},
        {"if (Condition 2)", 14, "Condition 2"}, {"if (Condition 2 && c1 > 2)", 24, "2"},
    };
    for (const auto& row : rows)
    {
        int start = -1;
        int length = 0;
        const bool swaps = sedq_swappable_token_at(row.text, row.at, rules, &start, &length);
        EXPECT_EQ(swaps, row.token != nullptr) << row.text << " at " << row.at;
        if (swaps && row.token != nullptr)
        {
            EXPECT_EQ(QString(row.text).mid(start, length), QString(row.token)) << row.text << " at " << row.at;
        }
    }
}

// Thousands of names of each kind cost a look-up per word, and a longer name standing at a
// place wins over a shorter one, as the flow check reads them.
TEST(flow_language, many_names_are_found_as_words_and_literally)
{
    QStringList states;
    for (int i = 1; i <= 4096; ++i)
        states << QString("S%1").arg(i) << QString("wait %1").arg(i);
    const SEDQ_NAME_MATCHER matcher(states);
    const QString line = "goto S4096; goto wait 12; goto S40960; goto wait 4096x;";
    QVector<QPair<int, int>> expected{{5, 5}, {17, 7}};
    EXPECT_EQ(matcher.find_all(line), expected);
    EXPECT_EQ(matcher.match_at(line, 5), 5);
    EXPECT_EQ(matcher.match_at(line, 6), 0) << "not inside a word";
}

TEST(flow_language, a_renamed_name_follows_in_the_text_as_a_whole_word_only)
{
    const struct
    {
        const char* text;
        const char* from;
        const char* to;
        const char* expected;
    } rows[] = {
        {"if (f1 && !f1) set f1; clear f10; set xf1;", "f1", "busy", "if (busy && !busy) set busy; clear f10; set xf1;"},
        {"if (f1) set f1_b;", "f1", "f2", "if (f2) set f1_b;"},
        {"increment c1;c1", "c1", "count", "increment count;count"},
        {"if (x*&&y) set x*;", "x*", "a|", "if (a|&&y) set a|;"},
        {"set *x; set y*x;", "*x", "z", "set z; set yz;"},
        {"set f1;", "f1", "", "set f1;"},
        {"set f1;", "", "z", "set f1;"},
        {"", "f1", "z", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sedq_rename_in_flow(row.text, row.from, row.to), QString(row.expected)) << row.text;
}

TEST(flow_language, underlines_follow_the_lock_and_the_runtime_options)
{
    const struct
    {
        const char* name;
        SEDQ_HIGHLIGHT_LOCK lock;
        bool state_underlined;
        bool number_underlined;
    } rows[] = {
        {"unlocked", {false, false, 0}, true, true},
        {"locked, values configurable", {true, false, 2}, false, true},
        {"locked, gotos configurable", {true, false, 1}, true, false},
        {"locked power-up", {true, true, 3}, false, false},
    };
    for (const auto& row : rows)
    {
        const auto ranges = sedq_highlight_line("goto ST2; 5", sedq_highlight_rules(names(), row.lock));
        bool state = false;
        bool number = false;
        for (const auto& range : ranges)
        {
            const bool underlined = range.format.underlineStyle() == QTextCharFormat::SingleUnderline;
            state |= range.start == 5 && underlined;
            number |= range.start == 10 && underlined;
        }
        EXPECT_EQ(state, row.state_underlined) << row.name;
        EXPECT_EQ(number, row.number_underlined) << row.name;
    }
}

// The runs a line's layout is given show each character as the last rule over it colours it; a
// blank takes the colour of the run before it only where that run draws nothing on blanks (no
// underline), so that tokens of one colour with blanks between are one run.
TEST(flow_language, format_runs_colour_tokens_as_their_rules_and_join_over_blanks)
{
    const struct
    {
        const char* name;
        QString text;
        SEDQ_HIGHLIGHT_LOCK lock;
        int first_run_length; // "else if " joined, or the first token alone
    } rows[] = {
        {"keywords joined, underlined names not", "else if (c1 >= 5 || f1) set f2;  ", {}, 8},
        {"tabs and trailing blanks", "else\tif  (f1)\tgoto ST2;\t ", {}, 9},
        {"nothing underlined in a locked power-up view", "if (f1 && condition1) goto ST3;", {true, true, 0}, 3},
        {"a line without tokens", "  (( ;; ))  ", {}, -1},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const auto ranges = sedq_highlight_line(row.text, sedq_highlight_rules(names(), row.lock));
        const auto runs = sedq_format_runs(ranges, row.text);
        QVector<QTextCharFormat> wanted(row.text.size());
        for (const auto& range : ranges)
            for (int at = range.start; at < range.start + range.length; ++at)
                wanted[at] = range.format;
        QVector<QTextCharFormat> shown(row.text.size());
        int end = 0;
        for (const auto& run : runs)
        {
            ASSERT_GE(run.start, end);
            ASSERT_GT(run.length, 0);
            end = run.start + run.length;
            ASSERT_LE(end, row.text.size());
            for (int at = run.start; at < end; ++at)
                shown[at] = run.format;
        }
        for (int at = 0; at < row.text.size(); ++at)
        {
            const bool blank = row.text.at(at) == ' ' || row.text.at(at) == '\t';
            if (!blank || wanted[at] != QTextCharFormat())
            {
                EXPECT_EQ(shown[at], wanted[at]) << at;
                continue;
            }
            // A blank of no rule: plain, or the colour alone of the character before it.
            EXPECT_TRUE(shown[at] == QTextCharFormat() ||
                        (at > 0 && shown[at] == shown[at - 1] &&
                         shown[at].underlineStyle() == QTextCharFormat::NoUnderline))
                << at;
            if (at > 0 && shown[at - 1] != QTextCharFormat() &&
                shown[at - 1].underlineStyle() == QTextCharFormat::NoUnderline)
                EXPECT_EQ(shown[at], shown[at - 1]) << at << ": a coloured run takes the blanks after it";
        }
        if (row.first_run_length < 0)
            EXPECT_TRUE(runs.isEmpty());
        else
            EXPECT_EQ(runs.value(0).length, row.first_run_length);
    }
}

TEST(flow_language, goto_graph_and_reachability)
{
    const QStringList state_names{"ST1", "ST2", "ST3"};
    const struct
    {
        const char* name;
        QStringList texts;
        QVector<QVector<int>> transitions;
        QVector<bool> reachable;
    } rows[] = {
        {"first to third", {"goto ST3;", "trigger;", "trigger;"}, {{2}, {}, {}}, {true, false, true}},
        {"if and else", {"if (f1) goto ST2; else goto ST3;", "", ""}, {{1, 2}, {}, {}}, {true, true, true}},
        {"glued goto", {"gotoST2;", "", ""}, {{}, {}, {}}, {true, false, false}},
        {"blanks of any kind and semicolons between the words",
         {"goto\tST2\n;goto;ST3", "\r\n  goto\n\n ST1;", ""}, {{1, 2}, {0}, {}}, {true, true, true}},
        {"a goto after a goto, an unknown name and a goto at the end",
         {"goto goto ST3; goto ST9; goto", "", ""}, {{2}, {}, {}}, {true, false, true}},
        {"cycle and self loop", {"goto ST2;", "goto ST1; goto ST2;", "goto ST3;"}, {{1}, {0, 1}, {2}},
         {true, true, false}},
        {"words that start like goto, and a text ending in part of it", {"gotcha ST2; go", "trigger; g", "goto"},
         {{}, {}, {}}, {true, false, false}},
    };
    for (const auto& row : rows)
    {
        const auto transitions = sedq_state_transitions(state_names, row.texts);
        EXPECT_EQ(transitions, row.transitions) << row.name;
        SEDQ_STATE nodes[3];
        for (int s = 0; s < 3; ++s)
            for (int t : transitions[s])
                nodes[s].next.append(&nodes[t]);
        nodes[0].enable();
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(nodes[s].enabled, row.reachable[s]) << row.name << " state " << s;
    }
}

// A key reads only the words around what it changed: every insertion and deletion of one
// character, and pastes of whole statements, must judge the gotos as a full read does.
TEST(flow_language, a_changed_text_keeps_its_gotos_exactly_when_a_full_read_agrees)
{
    const SEDQ_STATE_INDEX index = sedq_state_index({"ST1", "ST2", "ST3"});
    const QString base = "if (f1) goto ST2;\nelse goto\n  ST3; xgoto ST1;goto;ST1 goto";
    const QStringList pieces{" ", "x", ";", "g", "\n", "2", "goto ST3", "ST1; goto", "goto ST2;\n"};
    const auto check = [&index, &base](const QString& after, const QString& what) {
        const bool same = sedq_goto_targets(index, base) == sedq_goto_targets(index, after);
        EXPECT_EQ(sedq_same_goto_targets(index, base, after), same) << what.toStdString();
        // Told by the model, the change may be wider than the least one (merged changes are).
        SEDQ_TEXT_CHANGE wide = sedq_text_change(base, after);
        const int left = qMin(wide.at, 2);
        const int right = qMin(int(base.size()) - wide.at - wide.removed, 2);
        wide = {wide.at - left, wide.removed + left + right, wide.inserted + left + right};
        EXPECT_EQ(sedq_same_goto_targets(index, after, wide, base.mid(wide.at, wide.removed)), same)
            << "told, " << what.toStdString();
    };
    for (int at = 0; at <= base.size(); ++at)
    {
        for (const QString& piece : pieces)
            check(QString(base).insert(at, piece), QString("insert '%1' at %2").arg(piece).arg(at));
        for (int length = 1; length <= 3 && at + length <= base.size(); ++length)
        {
            check(QString(base).remove(at, length), QString("remove %1 at %2").arg(length).arg(at));
            check(QString(base).replace(at, length, "T2"), QString("replace %1 at %2").arg(length).arg(at));
        }
    }
}

// The model tells the diagram where a key changed a state's body, so that the diagram need not
// hold the body before. Whenever it tells, the change and the characters it took out must turn
// the body before into the body after, for every edit at every place of a flow (headers, blanks
// around bodies, the edges of bodies included), and only the body told may change; the keys
// typed inside a body, at its end too, are told, and the body is changed where it stands.
TEST(flow_language, a_body_change_the_model_tells_turns_the_body_before_into_the_body_after)
{
    const QString base = "state A:\n  if (c1) goto B;\n  trigger;\n\nstate B:\tgoto A;  \nstate C: x";
    const QStringList pieces{"x", " ", "\n", "state D:", ";"};
    int told = 0;
    const auto check = [&base, &told](const QString& after, const SEDQ_TEXT_CHANGE& change, const QString& what) {
        SCOPED_TRACE(what.toStdString());
        SEDQ_STATE_MACHINE_OBJECT whole;
        whole.set_unified_state_text(after);
        for (const bool known : {false, true})
        {
            SEDQ_STATE_MACHINE_OBJECT machine;
            machine.set_unified_state_text(base);
            const QStringList before = machine.state_text_list();
            const quint64 generation = machine.body_generation();
            const SEDQ_TEXT_CHANGE_FROM from{machine.text_serial(), int(base.size()), change};
            machine.set_unified_state_text(after, known ? &from : nullptr);
            const QStringList& bodies = machine.state_text_list();
            EXPECT_EQ(bodies, whole.state_text_list());
            const SEDQ_BODY_CHANGE& body = machine.last_body_change();
            EXPECT_EQ(body.from, generation);
            EXPECT_EQ(body.to, machine.body_generation());
            EXPECT_NE(body.to, generation);
            if (body.state < 0 || before.size() != bodies.size())
                continue;
            ++told;
            for (int state = 0; state < bodies.size(); ++state)
            {
                QString expected = before.at(state);
                if (state == body.state)
                {
                    EXPECT_EQ(expected.mid(body.change.at, body.change.removed), body.removed);
                    expected.replace(body.change.at, body.change.removed,
                                     bodies.at(state).mid(body.change.at, body.change.inserted));
                }
                EXPECT_EQ(bodies.at(state), expected) << "state " << state;
            }
        }
    };
    for (int at = 0; at <= base.size(); ++at)
    {
        for (const QString& piece : pieces)
            check(QString(base).insert(at, piece), {at, 0, int(piece.size())},
                  QString("insert '%1' at %2").arg(piece).arg(at));
        for (int length = 1; length <= 2 && at + length <= base.size(); ++length)
            check(QString(base).remove(at, length), {at, length, 0}, QString("remove %1 at %2").arg(length).arg(at));
    }
    EXPECT_GT(told, 0);
    // A letter typed at the end of a body's last line, and taken away again: the body nobody
    // else holds stays where it is.
    SEDQ_STATE_MACHINE_OBJECT machine;
    machine.set_unified_state_text(base);
    const int end = base.indexOf("trigger;") + 8;
    const QString typed = QString(base).insert(end, 'a');
    const QChar* body = nullptr;
    for (int key = 0; key < 6; ++key)
    {
        const auto step = key % 2 == 0 ? std::make_pair(typed, SEDQ_TEXT_CHANGE{end, 0, 1})
                                       : std::make_pair(base, SEDQ_TEXT_CHANGE{end, 1, 0});
        const int size = int(machine.get_unified_state_text_as_typed().size());
        const SEDQ_TEXT_CHANGE_FROM known{machine.text_serial(), size, step.second};
        machine.set_unified_state_text(step.first, &known);
        ASSERT_EQ(machine.last_body_change().state, 0);
        EXPECT_EQ(machine.last_body_change().change.at, machine.state_text_list().at(0).indexOf("trigger;") + 8);
        // The first letter may make room for more; none is copied after it.
        if (key > 0)
            EXPECT_EQ(machine.state_text_list().at(0).constData(), body) << "key " << key;
        body = machine.state_text_list().at(0).constData();
    }
    EXPECT_EQ(machine.state_text_list().at(0), "if (c1) goto B;\n  trigger;");
}

TEST(flow_language, arcs_run_right_going_down_and_left_going_up)
{
    const SEDQ_STATE_ARC down = sedq_state_arc(QPoint(100, 25), QPoint(100, 125));
    EXPECT_GT(down.rect.left(), 100 - 24);
    EXPECT_EQ(down.span_angle, 180 * 16);
    EXPECT_EQ(down.head[0].y(), 125 - 6);
    const SEDQ_STATE_ARC up = sedq_state_arc(QPoint(100, 125), QPoint(100, 25));
    EXPECT_LT(up.rect.left(), down.rect.left());
    EXPECT_EQ(up.span_angle, -180 * 16);
    const SEDQ_STATE_ARC self = sedq_state_arc(QPoint(100, 25), QPoint(100, 25));
    EXPECT_EQ(self.rect, QRect(82, 21, 38, 40));
}

TEST(flow_language, typed_cell_values_clamp_into_their_column)
{
    const struct
    {
        const char* text;
        long long minimum, maximum, expected;
    } rows[] = {
        {"40", 1, 32, 32}, {"abc", 1, 32, 1}, {"7", 0, 1, 1}, {"99999999999", 0, 4294967295LL, 4294967295LL},
        {"-5", 0, 4294967295LL, 0}, {"123456789012345678901234", 0, 4294967295LL, 4294967295LL},
        {"-123456789012345678901234", 0, 4294967295LL, 0}, {"99999999999999999999999", 1, 32, 32},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sedq_clamp_cell(row.text, row.minimum, row.maximum, row.minimum), row.expected) << row.text;
}
