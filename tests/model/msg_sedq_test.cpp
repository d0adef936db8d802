// Message catalogue: every row well formed, rendered texts, suppression and the registrar tables.
#include "sedq/model/msg_sedq.h"

#include "host/standin/msg_control.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace
{
using MSG_SEDQ::KIND;
using MSG_SEDQ::ROW;
using message_ptr = std::unique_ptr<MSG_BASE>;
using factory = std::function<MSG_BASE*()>;

std::string qualified_name(const ROW& row)
{
    return std::string(MSG_SEDQ::kind_letters(row.kind)) + "::" + row.name;
}

// The placeholder kinds of a text in number order ("ds" for "%1!d! ... %2!s!"), or "gap" when
// the numbers are not 1..n, or "mixed" when one number is used with two kinds.
std::string placeholder_kinds(const std::string& text)
{
    std::map<int, char> kinds;
    for (size_t i = 0; i + 4 < text.size(); ++i)
    {
        if (text[i] != '%' || !isdigit(static_cast<unsigned char>(text[i + 1])) || text[i + 2] != '!' ||
            text[i + 4] != '!')
            continue;
        const int number = text[i + 1] - '0';
        if (kinds.count(number) && kinds[number] != text[i + 3])
            return "mixed";
        kinds[number] = text[i + 3];
    }
    std::string result;
    for (const auto& [number, kind] : kinds)
    {
        if (number != static_cast<int>(result.size()) + 1)
            return "gap";
        result += kind;
    }
    return result;
}

void suppress_everything()
{
    for (const ROW& row : MSG_SEDQ::catalogue())
        standin::msg::suppress(row.id);
}
} // namespace

TEST(msg_sedq_catalogue, holds_every_message_of_each_kind)
{
    const std::map<KIND, int> expected = {{KIND::O, 53}, {KIND::OC, 3}, {KIND::YN, 9}, {KIND::YNC, 1},
                                          {KIND::E, 8},  {KIND::I, 62}, {KIND::W, 5}};
    std::map<KIND, int> counted;
    for (const ROW& row : MSG_SEDQ::catalogue())
        ++counted[row.kind];
    EXPECT_EQ(counted, expected);
    EXPECT_EQ(MSG_SEDQ::catalogue().size(), 141);
}

TEST(msg_sedq_catalogue, identifiers_and_ids_are_distinct)
{
    std::set<std::string> names;
    std::set<unsigned int> ids;
    for (const ROW& row : MSG_SEDQ::catalogue())
    {
        EXPECT_TRUE(names.insert(qualified_name(row)).second) << qualified_name(row);
        EXPECT_TRUE(ids.insert(row.id).second) << qualified_name(row) << " " << row.id;
    }
}

TEST(msg_sedq_catalogue, every_text_is_ascii_and_ends_with_its_kind_and_key)
{
    for (const ROW& row : MSG_SEDQ::catalogue())
    {
        const std::string text = row.text;
        const std::string key = "/" + std::string(MSG_SEDQ::kind_letters(row.kind)) + "SEDQ_" + row.name;
        ASSERT_GT(text.size(), key.size()) << qualified_name(row);
        EXPECT_EQ(text.substr(text.size() - key.size()), key) << qualified_name(row);
        EXPECT_EQ(text.rfind('/'), text.size() - key.size()) << qualified_name(row);
        for (char c : text)
            EXPECT_TRUE(c >= 0x20 && c < 0x7f) << qualified_name(row);
    }
}

TEST(msg_sedq_catalogue, ids_lie_in_the_two_ranges)
{
    for (const ROW& row : MSG_SEDQ::catalogue())
    {
        const bool main_range = row.id >= 268000 && row.id <= 268199;
        const bool old_range = row.id >= 11974 && row.id <= 14992;
        EXPECT_TRUE(main_range || old_range) << qualified_name(row) << " " << row.id;
    }
}

TEST(msg_sedq_catalogue, placeholders_follow_the_argument_kinds_in_order)
{
    for (const ROW& row : MSG_SEDQ::catalogue())
        EXPECT_EQ(placeholder_kinds(row.text), row.arguments) << qualified_name(row);
}

TEST(msg_sedq_catalogue, find_row_answers_by_id)
{
    const ROW* row = MSG_SEDQ::find_row(14992);
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->name, "RECOMPILE_DESIGN");
    EXPECT_EQ(row->kind, KIND::I);
    EXPECT_EQ(MSG_SEDQ::find_row(268067)->kind, KIND::YN);
    EXPECT_EQ(MSG_SEDQ::find_row(268199), nullptr);
    EXPECT_EQ(MSG_SEDQ::find_row(0), nullptr);
}

TEST(msg_sedq_factories, render_their_sentence_with_the_values_in_order)
{
    const struct
    {
        const char* name;
        factory make;
        const char* kind;
        unsigned int id;
        const char* rendered;
    } rows[] = {
        {"O::ERROR_IN_ADVANCED_TRIGGER", [] { return MSG_SEDQ::O::ERROR_IN_ADVANCED_TRIGGER(2, "inst"); },
         "O", 268008,
         "Advanced Trigger 2 in instance \"inst\" is incomplete or has an error that can cause compilation "
         "errors"},
        {"O::INVALID_SOF_FILE_TO_EMBED",
         [] { return MSG_SEDQ::O::INVALID_SOF_FILE_TO_EMBED("/tmp/top.sof"); }, "O", 268005,
         "Cannot attach SRAM Object File \"/tmp/top.sof\" -- file does not exist or cannot be read"},
        {"O::VALUE_OUT_OF_RANGE", [] { return MSG_SEDQ::O::VALUE_OUT_OF_RANGE("0", "255"); }, "O", 268126,
         "Enter a value between 0 and 255"},
        {"O::CONVERSION_OVER_BOUNDS", [] { return MSG_SEDQ::O::CONVERSION_OVER_BOUNDS(32); }, "O", 268022,
         "Value exceeds 32 bit(s) long when converted to binary"},
        {"O::ON_NODE_ADD_OVERRUN_MAXIMUM", [] { return MSG_SEDQ::O::ON_NODE_ADD_OVERRUN_MAXIMUM(-1); }, "O",
         14926,
         "You have attempted to add more than the maximum number of nodes (-1) to the current Vantrel "
         "instance."},
        {"O::SAVE_TO_OPEN_FILE", [] { return MSG_SEDQ::O::SAVE_TO_OPEN_FILE(); }, "O", 268000,
         "Cannot save to the file that is currently open in the Corvane software.  This file is not saved.  "
         "Please save as a different file name."},
        {"OC::OVERWRITE_OR_NOT", [] { return MSG_SEDQ::OC::OVERWRITE_OR_NOT("opcodes"); }, "OC", 268075,
         "Mnemonic table \"opcodes\" already exists. Do you want to overwrite it?"},
        {"YN::NO_UNDO_SUPPORT", [] { return MSG_SEDQ::YN::NO_UNDO_SUPPORT(); }, "YN", 268067,
         "This modification to the Vantrel File cannot be undone.  Do you still want to continue?"},
        {"YNC::ENABLE_CURRENT_VANTREL_FILE_ON_SAVE",
         [] { return MSG_SEDQ::YNC::ENABLE_CURRENT_VANTREL_FILE_ON_SAVE("a.vtl"); }, "YNC", 268080,
         "Do you want to enable Vantrel File \"a.vtl\" for the current project?"},
        {"E::JTAG_ERR_NO_SLD_NODE", [] { return MSG_SEDQ::E::JTAG_ERR_NO_SLD_NODE(); }, "E", 268064,
         "Instance not found"},
        {"I::WAITING_FOR_JTAG", [] { return MSG_SEDQ::I::WAITING_FOR_JTAG(); }, "I", 268049,
         "Waiting for JTAG"},
        {"I::PRE_SYNTHESIS_VALID_PARTITION_ITEM",
         [] { return MSG_SEDQ::I::PRE_SYNTHESIS_VALID_PARTITION_ITEM("top|cnt[3]"); }, "I", 268116,
         "Pre-synthesis node \"top|cnt[3]\""},
        {"W::OLD_INCREMENTAL_ROUTE_USED_SYS",
         [] { return MSG_SEDQ::W::OLD_INCREMENTAL_ROUTE_USED_SYS("auto_0", "set 1", "trig 1"); }, "W", 268109,
         "The incremental routing feature is used in the instance: auto_0, the signal set: set 1, and the "
         "trigger: trig 1.  The current release of the Corvane software no longer supports this feature."},
    };
    for (const auto& row : rows)
    {
        const message_ptr message(row.make());
        ASSERT_NE(message, nullptr) << row.name;
        EXPECT_STREQ(message->kind(), row.kind) << row.name;
        EXPECT_EQ(message->get_id(), row.id) << row.name;
        EXPECT_STREQ(message->text(), row.rendered) << row.name;
        const std::string name = std::string(row.name).substr(std::string(row.name).find("::") + 2);
        EXPECT_EQ(message->help_key(), std::string(row.kind) + "SEDQ_" + name) << row.name;
    }
}

TEST(msg_sedq_factories, user_values_come_out_verbatim)
{
    const struct
    {
        const char* name;
        const char* value;
    } rows[] = {{"own placeholder", "%1!s!"},     {"later placeholder", "%2!s!"},
                {"integer placeholder", "%1!d!"}, {"percent sign", "100%"},
                {"printf directives", "%s%d%n"},  {"empty", ""},
                {"quotes and slash", "a\"b/c\\d"}};
    for (const auto& row : rows)
    {
        const std::string value = row.value;
        const message_ptr sof(MSG_SEDQ::O::INVALID_SOF_FILE_TO_EMBED(value));
        EXPECT_EQ(std::string(sof->text()),
                  "Cannot attach SRAM Object File \"" + value + "\" -- file does not exist or cannot be read")
            << row.name;
        const message_ptr range(MSG_SEDQ::O::VALUE_OUT_OF_RANGE(value, value));
        EXPECT_EQ(std::string(range->text()), "Enter a value between " + value + " and " + value) << row.name;
        const message_ptr trigger(MSG_SEDQ::O::ERROR_IN_ADVANCED_TRIGGER(7, value));
        EXPECT_EQ(std::string(trigger->text()),
                  "Advanced Trigger 7 in instance \"" + value +
                      "\" is incomplete or has an error that can cause compilation errors")
            << row.name;
    }
}

TEST(msg_sedq_suppression, suppressed_information_and_warnings_are_null_messages)
{
    const struct
    {
        const char* name;
        unsigned int id;
        factory make;
    } rows[] = {
        {"I status", 268049, [] { return MSG_SEDQ::I::WAITING_FOR_JTAG(); }},
        {"I parameter", 14761, [] { return MSG_SEDQ::I::PARAMETER_BITSTREAM(); }},
        {"I item", 268121, [] { return MSG_SEDQ::I::POST_FITTING_VALID_PARTITION_ITEM("n"); }},
        {"W list", 268004, [] { return MSG_SEDQ::W::POST_FITTING_INVALID_PARTITION_LIST(); }},
        {"W with values", 268109, [] { return MSG_SEDQ::W::OLD_INCREMENTAL_ROUTE_USED_SYS("a", "b", "c"); }},
    };
    for (const auto& row : rows)
    {
        const message_ptr before(row.make());
        EXPECT_FALSE(before->is_null()) << row.name;
        standin::msg::suppress(row.id);
        const message_ptr after(row.make());
        ASSERT_NE(after, nullptr) << row.name;
        EXPECT_TRUE(after->is_null()) << row.name;
        EXPECT_TRUE(dynamic_cast<MSG_I_NULL*>(after.get()) || dynamic_cast<MSG_W_NULL*>(after.get()))
            << row.name;
        EXPECT_EQ(after->get_id(), 0u) << row.name;
        EXPECT_STREQ(after->text(), "") << row.name;
    }
}

TEST(msg_sedq_suppression, null_messages_are_used_like_real_ones)
{
    standin::msg::suppress(268116);
    standin::msg::suppress(268003);
    const message_ptr list(MSG_SEDQ::W::POST_FITTING_INVALID_PARTITION_LIST());
    list->add_child(MSG_SEDQ::I::PRE_SYNTHESIS_VALID_PARTITION_ITEM("suppressed"));
    list->add_child(MSG_SEDQ::I::POST_FITTING_VALID_PARTITION_ITEM("shown"));
    list->post();
    const message_ptr null_list(MSG_SEDQ::W::PRE_SYNTHESIS_INVALID_PARTITION_LIST());
    null_list->add_child(MSG_SEDQ::I::POST_FITTING_VALID_PARTITION_ITEM("dropped"));
    null_list->post();
    EXPECT_EQ(null_list->show(), 0);

    ASSERT_EQ(standin::msg::posted().size(), 1u);
    const auto& posted = standin::msg::posted()[0];
    EXPECT_EQ(posted.id, 268004u);
    ASSERT_EQ(posted.children.size(), 2u);
    EXPECT_EQ(posted.children[1].text, "Post-fitting node \"shown\"");
    EXPECT_TRUE(standin::msg::shown().empty());
}

TEST(msg_sedq_suppression, unsuppressed_builders_ignore_what_the_user_suppressed)
{
    suppress_everything();
    const struct
    {
        const char* name;
        unsigned int id;
        factory make;
    } rows[] = {
        {"status", 268032, [] { return MSG_SEDQ::unsuppressed::I::NOT_RUNNING(); }},
        {"status outside the main range", 14992,
         [] { return MSG_SEDQ::unsuppressed::I::RECOMPILE_DESIGN(); }},
        {"parameter", 268088, [] { return MSG_SEDQ::unsuppressed::I::PARAMETER_PATTERN(); }},
        {"item", 268007, [] { return MSG_SEDQ::unsuppressed::I::INVALID_VANTREL_NODE_ASSIGNMENT_ITEM("n"); }},
        {"warning", 268109,
         [] { return MSG_SEDQ::unsuppressed::W::OLD_INCREMENTAL_ROUTE_USED_SYS("a", "b", "c"); }},
    };
    for (const auto& row : rows)
    {
        const message_ptr message(row.make());
        EXPECT_FALSE(message->is_null()) << row.name;
        EXPECT_EQ(message->get_id(), row.id) << row.name;
        EXPECT_STRNE(message->text(), "") << row.name;
    }
    const message_ptr not_running(MSG_SEDQ::unsuppressed::I::NOT_RUNNING());
    EXPECT_STREQ(not_running->text(), "Not running");
}

TEST(msg_sedq_suppression, other_kinds_are_never_suppressed)
{
    suppress_everything();
    const struct
    {
        const char* kind;
        unsigned int id;
        factory make;
    } rows[] = {
        {"O", 268070, [] { return MSG_SEDQ::O::ZERO_INPUT("clock"); }},
        {"OC", 14500, [] { return MSG_SEDQ::OC::ON_NODE_ADD_OVER_RUN_ALLOCATION(); }},
        {"YN", 268019, [] { return MSG_SEDQ::YN::UPDATE_VERSION(); }},
        {"YNC", 268080, [] { return MSG_SEDQ::YNC::ENABLE_CURRENT_VANTREL_FILE_ON_SAVE("a.vtl"); }},
        {"E", 268066, [] { return MSG_SEDQ::E::JTAG_ERR_SOF_INCOMPATIBLE(); }},
    };
    for (const auto& row : rows)
    {
        const message_ptr message(row.make());
        EXPECT_FALSE(message->is_null()) << row.kind;
        EXPECT_STREQ(message->kind(), row.kind);
        EXPECT_EQ(message->get_id(), row.id) << row.kind;
        EXPECT_STRNE(message->text(), "") << row.kind;
        // An error is listed in the Messages window, not asked about: it takes no answer.
        const bool listed = std::string(row.kind) == "E";
        if (!listed)
            standin::msg::push_answer(7);
        EXPECT_EQ(message->show(), listed ? 1 : 7) << row.kind;
    }
    EXPECT_EQ(standin::msg::shown().size(), std::size(rows));
    ASSERT_EQ(standin::msg::posted().size(), 1u) << "the error is listed";
    EXPECT_EQ(standin::msg::posted().front().id, 268066u);
}

TEST(msg_sedq_factories, acquisition_in_progress_and_jtag_running_share_a_text_not_an_id)
{
    const message_ptr acquisition(MSG_SEDQ::I::ACQUISITION_IN_PROGRESS());
    const message_ptr jtag(MSG_SEDQ::I::JTAG_RUNNING());
    EXPECT_STREQ(acquisition->text(), "Acquisition in progress");
    EXPECT_STREQ(jtag->text(), acquisition->text());
    EXPECT_EQ(acquisition->get_id(), 268033u);
    EXPECT_EQ(jtag->get_id(), 268051u);
    EXPECT_NE(std::string(acquisition->help_key()), jtag->help_key());
}

TEST(msg_sedq_registrar, tables_hold_the_e_i_w_messages_in_registration_order)
{
    auto range = [](unsigned int first, unsigned int last)
    {
        std::vector<unsigned int> ids;
        for (unsigned int id = first; id <= last; ++id)
            ids.push_back(id);
        return ids;
    };
    const std::vector<std::pair<std::vector<unsigned int>, MSG_POST_TYPE>> segments = {
        {{268002, 268003, 268004}, MSG_POST_TYPE_WARNING},
        {{268007, 268009, 268013, 268014}, MSG_POST_TYPE_INFO},
        {range(268028, 268034), MSG_POST_TYPE_INFO},
        {{14992}, MSG_POST_TYPE_INFO},
        {range(268035, 268058), MSG_POST_TYPE_INFO},
        {range(268059, 268066), MSG_POST_TYPE_ERROR},
        {range(268083, 268088), MSG_POST_TYPE_INFO},
        {{14761, 14762}, MSG_POST_TYPE_INFO},
        {range(268089, 268102), MSG_POST_TYPE_INFO},
        {{268109}, MSG_POST_TYPE_WARNING},
        {{268115, 268116, 268120, 268121}, MSG_POST_TYPE_INFO},
        {{268165}, MSG_POST_TYPE_WARNING},
    };
    std::vector<std::pair<unsigned int, MSG_POST_TYPE>> expected;
    for (const auto& [ids, type] : segments)
        for (unsigned int id : ids)
            expected.emplace_back(id, type);
    std::vector<std::pair<unsigned int, MSG_POST_TYPE>> actual;
    for (int i = 0; i < SEDQ_MSG_ID_COUNT; ++i)
        actual.emplace_back(sedq_msg_ids[i], sedq_msg_id_types[i]);
    EXPECT_EQ(actual, expected);
}

TEST(msg_sedq_registrar, registers_exactly_the_e_i_w_rows_with_their_kinds)
{
    const std::map<KIND, MSG_POST_TYPE> type_of_kind = {
        {KIND::E, MSG_POST_TYPE_ERROR}, {KIND::I, MSG_POST_TYPE_INFO}, {KIND::W, MSG_POST_TYPE_WARNING}};
    std::map<unsigned int, MSG_POST_TYPE> expected;
    for (const ROW& row : MSG_SEDQ::catalogue())
        if (type_of_kind.count(row.kind))
            expected[row.id] = type_of_kind.at(row.kind);
    std::map<unsigned int, MSG_POST_TYPE> registered;
    for (int i = 0; i < SEDQ_MSG_ID_COUNT; ++i)
        registered[sedq_msg_ids[i]] = sedq_msg_id_types[i];
    EXPECT_EQ(registered.size(), static_cast<size_t>(SEDQ_MSG_ID_COUNT));
    EXPECT_EQ(registered, expected);
}
