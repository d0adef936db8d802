// The find engine: which targets take part, the walk in each direction, the three matching
// options, what a match hands back and calls, and the searches it records.
#include "host/standin/uib_control.h"
#include "host/uib.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A target over a fixed text that records the actions it is asked for.
class text_target : public UIB_FIND_TARGET
{
public:
    text_target(const std::string& text, unsigned int type) : m_fixed(text) { set_type(type); }
    const char* get_text() override { return m_fixed.c_str(); }
    void find_action(unsigned long position, unsigned long length) override
    {
        actions.push_back({position, length});
    }
    std::vector<std::pair<unsigned long, unsigned long>> actions;

private:
    std::string m_fixed;
};

class uib_test : public ::testing::Test
{
protected:
    void add(const std::string& text, unsigned int type = 1)
    {
        m_owned.push_back(std::make_unique<text_target>(text, type));
        m_targets.push_back(m_owned.back().get());
    }

    // One search; the result as "index:position:length", "-" for none.
    std::string find(const char* text, UIB_FIND_ENGINE::DIRECTION direction, unsigned long index,
                     unsigned long position, unsigned int options = 0, unsigned int find_in = 31)
    {
        UIB_FIND_ENGINE engine(&m_targets);
        unsigned long length = 99;
        UIB_FIND_TARGET* result = engine.find(text, find_in, options, direction, &index, &position, &length);
        if (result == nullptr)
        {
            EXPECT_EQ(length, 99u) << "nothing found leaves the length alone";
            return "-";
        }
        EXPECT_EQ(result, m_targets[index]);
        return std::to_string(index) + ":" + std::to_string(position) + ":" + std::to_string(length);
    }

    text_target* target(size_t i) { return m_owned[i].get(); }

    std::vector<std::unique_ptr<text_target>> m_owned;
    std::vector<UIB_FIND_TARGET*> m_targets;
};

constexpr auto DOWN = UIB_FIND_ENGINE::DOWN;
constexpr auto UP = UIB_FIND_ENGINE::UP;
constexpr auto ALL = UIB_FIND_ENGINE::ALL;
constexpr unsigned long NPOS = UIB_FIND_ENGINE::NPOS;
} // namespace

TEST_F(uib_test, each_direction_walks_the_targets_from_the_given_place)
{
    add("top|cnt");    // 0
    add("top|go|cnt"); // 1
    add("clk");        // 2
    add("top|cnt2");   // 3
    const struct
    {
        const char* name;
        UIB_FIND_ENGINE::DIRECTION direction;
        unsigned long index, position;
        const char* expected;
    } rows[] = {
        {"down from the start", DOWN, 0, 0, "0:4:3"},
        {"down past a match in the same text", DOWN, 0, 5, "1:7:3"},
        {"down skips texts without a match", DOWN, 2, 0, "3:4:3"},
        {"down past the last match finds nothing", DOWN, 3, 5, "-"},
        {"down from a position past the text", DOWN, 0, 100, "1:7:3"},
        {"all wraps to the first target", ALL, 3, 5, "0:4:3"},
        {"all goes on to later targets before wrapping", ALL, 1, 8, "3:4:3"},
        {"up takes the last match at or before the position", UP, 1, 7, "1:7:3"},
        {"up from before a match goes to the earlier target", UP, 1, 6, "0:4:3"},
        {"up from the end of a text", UP, 3, NPOS, "3:4:3"},
        {"up from the first target's start finds nothing before it", UP, 0, 3, "-"},
        {"an index past the targets finds nothing", DOWN, 4, 0, "-"},
        {"an index past the targets finds nothing going up", UP, 4, 0, "-"},
        {"an index past the targets finds nothing in all", ALL, 7, 0, "-"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(find("cnt", row.direction, row.index, row.position), row.expected) << row.name;
}

TEST_F(uib_test, all_finds_the_only_match_again_from_just_past_it)
{
    add("a");
    add("xx");
    add("b");
    EXPECT_EQ(find("x", ALL, 1, 2), "1:0:1") << "the wrap reaches the start target's earlier match";
    EXPECT_EQ(find("y", ALL, 1, 2), "-");
}

TEST_F(uib_test, the_options_decide_what_matches)
{
    add("Top|Data_Bus|dat");
    const struct
    {
        const char* name;
        const char* text;
        unsigned int options;
        const char* expected;
    } rows[] = {
        {"case ignored by default", "data", 0, "0:4:4"},
        {"match case refuses other case", "data", 1, "-"},
        {"match case finds the same case", "dat", 1, "0:13:3"},
        {"whole words refuse a word's beginning", "data", 2, "-"},
        {"whole words take a level between separators", "data_bus", 2, "0:4:8"},
        {"whole words take the last level", "DAT", 2, "0:13:3"},
        {"regular expression", "d[a-z]+_", 4, "0:4:5"},
        {"regular expression honours match case", "^top", 5, "-"},
        {"regular expression ignores case by default", "^top", 4, "0:0:3"},
        {"regular expression with whole words", "da[a-z]*", 6, "0:13:3"},
        {"an invalid expression finds nothing", "(", 4, "-"},
        {"an empty match never counts", "x*", 4, "-"},
        {"an empty text finds nothing", "", 0, "-"},
        {"special characters are plain text without option 4", "|", 0, "0:3:1"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(find(row.text, DOWN, 0, 0, row.options), row.expected) << row.name;
}

TEST_F(uib_test, only_targets_of_the_find_in_set_take_part)
{
    add("bus_a", 2);
    add("node_a", 1);
    add("alias_a", 8);
    EXPECT_EQ(find("a", DOWN, 0, 0, 0, 1), "1:5:1");
    EXPECT_EQ(find("a", DOWN, 0, 0, 0, 8 | 2), "0:4:1");
    EXPECT_EQ(find("_a", UP, 2, NPOS, 0, 3), "1:4:2");
    EXPECT_EQ(find("a", DOWN, 0, 0, 0, 4), "-");
    EXPECT_EQ(find("a", DOWN, 0, 0, 0, 0), "-");
}

TEST_F(uib_test, a_match_calls_the_target_action_once_with_its_place)
{
    add("alpha");
    add("beta");
    EXPECT_EQ(find("ta", DOWN, 0, 0), "1:2:2");
    EXPECT_TRUE(target(0)->actions.empty());
    ASSERT_EQ(target(1)->actions.size(), 1u);
    EXPECT_EQ(target(1)->actions[0], std::make_pair(2ul, 2ul));
    EXPECT_EQ(find("zz", DOWN, 0, 0), "-");
    EXPECT_EQ(target(1)->actions.size(), 1u) << "no action without a match";
}

TEST_F(uib_test, positions_count_characters_of_the_decoded_text)
{
    add("gr\xc3\xbc\xc3\x9f|clk");
    EXPECT_EQ(find("clk", DOWN, 0, 0), "0:5:3");
    EXPECT_EQ(find("\xc3\x9f", UP, 0, NPOS), "0:3:1");
}

TEST_F(uib_test, null_targets_and_missing_arguments_find_nothing)
{
    add("abc");
    m_targets.push_back(nullptr);
    add("abc");
    EXPECT_EQ(find("abc", DOWN, 0, 1), "2:0:3") << "a null entry is passed over";
    UIB_FIND_ENGINE engine(&m_targets);
    unsigned long index = 0;
    unsigned long position = 0;
    EXPECT_EQ(engine.find(nullptr, 1, 0, DOWN, &index, &position, &position), nullptr);
    EXPECT_EQ(engine.find("abc", 1, 0, DOWN, &index, nullptr, &position), nullptr);
    UIB_FIND_ENGINE without_list(nullptr);
    unsigned long length = 0;
    EXPECT_EQ(without_list.find("abc", 1, 0, DOWN, &index, &position, &length), nullptr);
}

TEST_F(uib_test, every_search_is_recorded_with_the_values_it_was_given)
{
    add("abc");
    find("b", UP, 0, NPOS, 5, 3);
    ASSERT_EQ(standin::uib::find_calls().size(), 1u);
    const standin::uib::find_call call = standin::uib::find_calls()[0];
    EXPECT_EQ(call.text, "b");
    EXPECT_EQ(call.find_in, 3u);
    EXPECT_EQ(call.options, 5u);
    EXPECT_EQ(call.direction, 2);
    EXPECT_EQ(call.target_index, 0u);
    EXPECT_EQ(call.position, NPOS);
}

TEST_F(uib_test, the_base_target_answers_its_cache_and_ignores_actions)
{
    class cached : public UIB_FIND_TARGET
    {
    public:
        const char* fill(const QString& text) { return cache_text(text); }
    } target;
    EXPECT_STREQ(target.get_text(), "");
    target.fill(QString::fromUtf8("b\xc3\xbcs"));
    EXPECT_STREQ(target.get_string(), "b\xc3\xbcs");
    EXPECT_STREQ(target.get_replacement_string(), "");
    target.find_action(0, 1);
    target.replace_action(0, 1, "x");
    EXPECT_STREQ(target.get_text(), "b\xc3\xbcs");
}
