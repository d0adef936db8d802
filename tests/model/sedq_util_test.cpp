// Shared helpers: combo boxes, separators, checked connections, string reversal, message
// texts, debug output and palettes.
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_util.h"

#include "host/standin/msg_control.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QPixmap>
#include <QPointer>

#include <gtest/gtest.h>

#include <memory>

namespace
{
// Collects Qt warnings while alive, so a test can prove that nothing was printed.
class warning_catcher
{
public:
    warning_catcher() { m_previous = qInstallMessageHandler(&warning_catcher::handle); }
    ~warning_catcher() { qInstallMessageHandler(m_previous); }
    static QStringList& messages()
    {
        static QStringList list;
        return list;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& text) { messages().append(text); }
    QtMessageHandler m_previous;
};

QIcon red_icon()
{
    QPixmap pixmap(8, 8);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

const QPalette::ColorGroup all_groups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};
} // namespace

TEST(sedq_util, combo_box_items_replace_the_old_ones_and_share_the_icon)
{
    QComboBox box;
    box.addItems({"old 1", "old 2", "old 3"});
    const QIcon icon = red_icon();
    sedq_add_combo_box_items(&box, {"a", "b"}, icon);
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), "a");
    EXPECT_EQ(box.itemText(1), "b");
    for (int i = 0; i < box.count(); ++i)
        EXPECT_EQ(box.itemIcon(i).cacheKey(), icon.cacheKey()) << i;

    sedq_add_combo_box_items(&box, {}, icon);
    EXPECT_EQ(box.count(), 0);
    sedq_add_combo_box_items(nullptr, {"a"}, icon);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "box != NULL");
}

TEST(sedq_util, separator_action_is_a_parentless_separator)
{
    const std::unique_ptr<QAction> action(sedq_get_separator_action());
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isSeparator());
    EXPECT_EQ(action->parent(), nullptr);
}

TEST(sedq_util, connect_checks_the_slot_before_connecting)
{
    QAction sender;
    QAction receiver;
    receiver.setCheckable(true);
    warning_catcher catcher;
    warning_catcher::messages().clear();

    EXPECT_FALSE(sedq_connect(&sender, SIGNAL(triggered()), &receiver, SLOT(no_such_slot())));
    EXPECT_FALSE(sedq_connect(&sender, SIGNAL(triggered()), &receiver, nullptr));
    EXPECT_FALSE(sedq_connect(&sender, SIGNAL(triggered()), &receiver, ""));
    EXPECT_FALSE(sedq_connect(&sender, SIGNAL(triggered()), &receiver, "1"));
    EXPECT_TRUE(warning_catcher::messages().isEmpty())
        << warning_catcher::messages().join('\n').toStdString();
    sender.trigger();
    EXPECT_FALSE(receiver.isChecked()) << "a refused connection must not exist";

    EXPECT_TRUE(sedq_connect(&sender, SIGNAL(triggered()), &receiver, SLOT(toggle())));
    sender.trigger();
    EXPECT_TRUE(receiver.isChecked());
    // Signatures are compared after normalisation.
    EXPECT_TRUE(sedq_connect(&sender, SIGNAL(toggled(bool)), &receiver, SLOT(setChecked(bool))));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sedq_util, connect_refuses_a_missing_sender_or_receiver)
{
    QAction action;
    EXPECT_FALSE(sedq_connect(nullptr, SIGNAL(triggered()), &action, SLOT(toggle())));
    EXPECT_FALSE(sedq_connect(&action, SIGNAL(triggered()), nullptr, SLOT(toggle())));
    EXPECT_EQ(standin::msg::internal_errors().size(), 2u);
}

TEST(sedq_util, reverse_string_reverses_code_units_in_place)
{
    struct row
    {
        const char* name;
        QString input;
        QString expected;
    };
    const row rows[] = {
        {"empty", "", ""},
        {"one character", "x", "x"},
        {"two", "ab", "ba"},
        {"odd length", "abcde", "edcba"},
        {"palindrome", "abba", "abba"},
        {"surrogate pair kept as code units", QString::fromUtf16(u"a\U0001F600"),
         QString::fromUtf16(u"\xDE00\xD83D"
                            u"a")},
    };
    for (const row& r : rows)
    {
        QString text = r.input;
        sedq_reverse_string(&text);
        EXPECT_EQ(text, r.expected) << r.name;
        EXPECT_EQ(text.size(), r.input.size()) << r.name;
    }
    sedq_reverse_string(nullptr);
    EXPECT_EQ(standin::msg::internal_errors().size(), 1u);
}

TEST(sedq_util, msg_to_text_keeps_the_first_message_of_a_text)
{
    MSG_BASE* original = sedq_text_to_msg("Not running");
    ASSERT_NE(original, nullptr);
    // A second message with the same text is freed (the sanitizers see a leak or double
    // free otherwise) and the first one stays.
    EXPECT_EQ(sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::NOT_RUNNING()), QString("Not running"));
    EXPECT_EQ(sedq_text_to_msg("Not running"), original);
    EXPECT_EQ(SEDQ_TEXT_TO_MSG_MAP.size(), 33);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "!SEDQ_TEXT_TO_MSG_MAP.contains(return_value)");
}

TEST(sedq_util, msg_to_text_of_an_empty_message_reports_it)
{
    EXPECT_EQ(sedq_msg_to_text(new MSG_I_NULL), QString());
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "return_value != \"\"");
    // The map owns what it was given; take it back so the load-time map stays as it was.
    ASSERT_TRUE(SEDQ_TEXT_TO_MSG_MAP.contains(QString()));
    delete SEDQ_TEXT_TO_MSG_MAP.take(QString());
    EXPECT_EQ(sedq_msg_to_text(nullptr), QString());
    EXPECT_EQ(standin::msg::internal_errors().size(), 2u);
}

TEST(sedq_util, msg_debug_writes_a_level_2_line_of_the_module)
{
    sedq_msg_debug("locate %s %d", "enabled", 42);
    ASSERT_FALSE(standin::msg::debug_log().empty());
    EXPECT_EQ(standin::msg::debug_log().back(), "SEDQ[2]: locate enabled 42");
}

TEST(sedq_util, palette_sets_one_role_and_keeps_the_others)
{
    const QPalette palette = sedq_get_palette(QPalette::Window, QColor(1, 2, 3));
    const QPalette plain;
    for (QPalette::ColorGroup group : all_groups)
    {
        EXPECT_EQ(palette.brush(group, QPalette::Window), QBrush(QColor(1, 2, 3), Qt::SolidPattern)) << group;
        EXPECT_EQ(palette.brush(group, QPalette::Text), plain.brush(group, QPalette::Text)) << group;
        EXPECT_EQ(palette.brush(group, QPalette::Base), plain.brush(group, QPalette::Base)) << group;
    }
}

TEST(sedq_util, lock_mode_map_is_built_from_the_global_texts)
{
    const QMap<QString, SEDQ_LOCK_MODE> map = sedq_get_lock_mode_map();
    EXPECT_EQ(map, SEDQ_LOCK_MODE_MAP);
    EXPECT_EQ(map.value("Allow trigger condition changes only"), SEDQ_LOCK_MODE_ALLOW_TRIGGER);
}
