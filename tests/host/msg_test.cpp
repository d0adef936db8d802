// Message stand-in: rendering, answers, posting, suppression and the internal-error record.
#include "host/msg.h"
#include "host/standin/msg_control.h"

#include <gtest/gtest.h>

#include <memory>

TEST(msg_rendering, fills_placeholders_in_number_order_and_drops_the_suffix)
{
    MSG_O m(nullptr);
    m.fill_args("Trigger %1!d! in \"%2!s!\"/OSEDQ_X", 2, "inst");
    EXPECT_STREQ(m.text(), "Trigger 2 in \"inst\"");
    EXPECT_STREQ(m.help_key(), "OSEDQ_X");
}

TEST(msg_rendering, values_are_literal_text_never_rescanned)
{
    const struct
    {
        const char* name;
        const char* value;
    } rows[] = {{"placeholder in value", "%1!s!"}, {"percent", "100%"}, {"second placeholder", "%2!d!"}};
    for (const auto& row : rows)
    {
        MSG_O m(nullptr);
        m.fill_args("File \"%1!s!\" and %2!d!/OSEDQ_X", row.value, 7);
        EXPECT_EQ(std::string(m.text()), std::string("File \"") + row.value + "\" and 7") << row.name;
    }
}

TEST(msg_answers, queued_answers_come_first_then_the_kind_defaults)
{
    standin::msg::push_answer(2);
    MSG_YNC q(nullptr);
    q.fill_args("Save?/YNCSEDQ_Q");
    EXPECT_EQ(q.show(), 2);
    EXPECT_EQ(q.show(), 6);
    MSG_OC oc(nullptr);
    oc.fill_args("Go?/OCSEDQ_Q");
    EXPECT_EQ(oc.show(nullptr), 1);
    ASSERT_EQ(standin::msg::shown().size(), 3u);
    EXPECT_EQ(standin::msg::shown()[0].kind, "YNC");
}

TEST(msg_answers, strict_mode_records_unanswered_questions)
{
    standin::msg::set_strict(true);
    MSG_YN q(nullptr);
    q.fill_args("Sure?/YNSEDQ_Q");
    q.show();
    EXPECT_EQ(standin::msg::unexpected_questions().size(), 1u);
}

TEST(msg_null, null_messages_show_and_post_nothing_and_delete_children)
{
    MSG_W_NULL list;
    auto* child = new MSG_I(nullptr);
    child->fill_args("item/ISEDQ_ITEM");
    list.add_child(child);
    list.post();
    EXPECT_EQ(list.show(), 0);
    EXPECT_TRUE(standin::msg::posted().empty());
    EXPECT_TRUE(standin::msg::shown().empty());
    EXPECT_TRUE(list.children().empty());
    EXPECT_STREQ(list.text(), "");
}

TEST(msg_post, a_posted_list_carries_its_children_in_order)
{
    MSG_W list(nullptr);
    list.fill_args("Nodes/WSEDQ_LIST");
    for (const char* name : {"a", "b"})
    {
        auto* item = new MSG_I(nullptr);
        item->fill_args("%1!s!/ISEDQ_ITEM", name);
        list.add_child(item);
    }
    list.post();
    ASSERT_EQ(standin::msg::posted().size(), 1u);
    const auto& rec = standin::msg::posted()[0];
    ASSERT_EQ(rec.children.size(), 2u);
    EXPECT_EQ(rec.children[1].text, "b");
}

TEST(msg_index, suppression_is_per_id_and_reset_between_tests)
{
    EXPECT_FALSE(MSG_INDEX::get_default_index()->is_suppressed(268007));
    standin::msg::suppress(268007);
    EXPECT_TRUE(MSG_INDEX::get_default_index()->is_suppressed(268007));
    EXPECT_FALSE(MSG_INDEX::get_default_index()->is_suppressed(268009));
}

TEST(msg_internal_error, report_records_and_returns)
{
    MSG_INTERNAL_ERROR::report("frame != NULL", "SEDQ", "sld/sedq/frame/x.cpp", 12);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "frame != NULL");
    EXPECT_EQ(standin::msg::internal_errors()[0].line, 12);
}
