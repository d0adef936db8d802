// The hierarchy pane: the tree of levels built from the node names, which nodes a level hides,
// and the check and expand states kept in the document per tab.
#include "frame_test_support.h"

#include "host/standin/msg_control.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/model/sedq_types.h"

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTreeView>
#include "sedq/model/sedq_repository.h"

namespace
{
class hierarchy_widget_test : public frame_test
{
protected:
    SEDQ_HIERARCHY_WIDGET* open_with_names(const std::vector<std::string>& names,
                                           const QString& file = "doc.vtl")
    {
        instance_spec spec("probe", 0);
        spec.node_names = names;
        m_frame = open_frame(write_document({spec}, file));
        return pane();
    }

    SEDQ_HIERARCHY_WIDGET* pane() const { return m_frame->get_layout_widget()->get_hierarchy_widget(); }
    SEDQ_TX_MANAGER* tx() const { return m_frame->get_tx_manager(); }

    // The tree, one line per item in tree order, indented by depth below the top item.
    static QStringList dump(SEDQ_HIERARCHY_WIDGET* widget)
    {
        QStringList lines;
        std::function<void(QStandardItem*, int)> walk = [&](QStandardItem* item, int depth)
        {
            lines << QString(depth, QLatin1Char(' ')) + item->text();
            for (int row = 0; row < item->rowCount(); ++row)
                walk(item->child(row), depth + 1);
        };
        QStandardItemModel* model = widget->get_tree_model();
        for (int row = 0; row < model->rowCount(); ++row)
            walk(model->item(row), 0);
        return lines;
    }

    // The item at a path of texts below the top item ("" is the top item itself).
    static QStandardItem* item_at(SEDQ_HIERARCHY_WIDGET* widget, const QString& path)
    {
        QStandardItem* item = widget->get_tree_model()->item(0);
        for (const QString& text : path.split(QLatin1Char('|'), Qt::SkipEmptyParts))
        {
            QStandardItem* next = nullptr;
            for (int row = 0; item != nullptr && row < item->rowCount() && next == nullptr; ++row)
                if (item->child(row)->text() == text)
                    next = item->child(row);
            item = next;
        }
        return item;
    }

    // What a click on a level's check box does: the view writes the check-state role.
    static void click_check(SEDQ_HIERARCHY_WIDGET* widget, const QString& path, Qt::CheckState state)
    {
        QStandardItem* item = item_at(widget, path);
        ASSERT_NE(item, nullptr) << path.toStdString();
        widget->get_tree_model()->setData(item->index(), state, Qt::CheckStateRole);
    }

    int stored(const char* key) const { return tx()->get_tx_instance()->get_position_data(key); }

    QString top_text() const
    {
        QString top;
        tx()->get_top_entity_name(&top);
        return top;
    }

    SEDQ_FRAME_WND* m_frame = nullptr;
};
} // namespace

TEST_F(hierarchy_widget_test, each_level_appears_once_in_the_order_the_node_list_first_names_it)
{
    SEDQ_HIERARCHY_WIDGET* widget =
        open_with_names({"a|b|n1", "a|c|n2", "a|b|n3", "x", "mem[3]", "a|arr[1]|q", "a|arr[1]|r",
                         "d|e|cnt[7..0]", "d|e|cnt[7]"});
    ASSERT_NE(widget, nullptr);
    const QString top = top_text();
    EXPECT_EQ(dump(widget), (QStringList{top, " a", "  b", "  c", "  arr[1]", " d", "  e"}))
        << "node names and bus members make no items; array levels are levels like any other";
}

TEST_F(hierarchy_widget_test, a_name_ending_in_a_separator_adds_its_levels_and_keeps_the_tree)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|n", "b|", "c|d|", "e|m"});
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(dump(widget), (QStringList{top_text(), " a", " b", " c", "  d", " e"}));
    EXPECT_FALSE(widget->is_hidden("b|"));
    click_check(widget, "b", Qt::Unchecked);
    EXPECT_TRUE(widget->is_hidden("b|")) << "the node with an empty own name sits in level b";
}

TEST_F(hierarchy_widget_test, a_level_hides_only_the_nodes_directly_in_it)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|n", "a|b|m", "x", "mem[3]"});
    ASSERT_NE(widget, nullptr);
    click_check(widget, "a", Qt::Unchecked);
    const struct
    {
        const char* name;
        bool hidden;
    } cases[] = {{"a|n", true},           {"a|b|m", false},           {"x", false},     {"a|other", true},
                 {"a|b|c|deeper", false}, {"q|unknown level", false}, {"mem[3]", false}};
    for (const auto& row : cases)
        EXPECT_EQ(widget->is_hidden(row.name), row.hidden) << row.name;
    click_check(widget, "", Qt::Unchecked);
    EXPECT_TRUE(widget->is_hidden("x")) << "top-level nodes follow the top item";
    EXPECT_TRUE(widget->is_hidden("mem[3]"));
    EXPECT_FALSE(widget->is_hidden("a|b|m")) << "a parent's state does not reach its children";
}

TEST_F(hierarchy_widget_test, an_instance_without_nodes_shows_an_empty_tree_that_hides_nothing)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({});
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->get_tree_model()->rowCount(), 0);
    for (const char* name : {"", "x", "a|b", "a|"})
        EXPECT_FALSE(widget->is_hidden(name)) << name;
}

TEST_F(hierarchy_widget_test, levels_without_stored_state_are_checked_and_expanded)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|b|n", "c|m"});
    ASSERT_NE(widget, nullptr);
    for (const char* path : {"", "a", "a|b", "c"})
    {
        QStandardItem* item = item_at(widget, path);
        ASSERT_NE(item, nullptr) << path;
        EXPECT_EQ(item->checkState(), Qt::Checked) << path;
        EXPECT_TRUE(widget->get_tree_view()->isExpanded(item->index())) << path;
    }
}

TEST_F(hierarchy_widget_test, hiding_a_level_refreshes_the_node_view_and_is_kept_in_the_saved_document)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|b|n", "c|m"});
    ASSERT_NE(widget, nullptr);
    QSignalSpy spy(tx(), SIGNAL(updated(QObject*, int)));
    click_check(widget, "a|b", Qt::Unchecked);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).toInt(), sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    EXPECT_EQ(stored("setup hierarchy b"), 2) << "unchecked, expanded";
    EXPECT_EQ(stored("setup hierarchy a"), 3);
    widget->get_tree_view()->collapse(item_at(widget, "c")->index());
    EXPECT_EQ(stored("setup hierarchy c"), 1) << "checked, collapsed";

    const QString path = m_dir.filePath("doc.vtl");
    ASSERT_TRUE(tx()->save_document(path.toLocal8Bit().constData()));
    close_frame(m_frame);
    m_frame = open_frame(path);
    widget = pane();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(item_at(widget, "a|b")->checkState(), Qt::Unchecked);
    EXPECT_EQ(item_at(widget, "a")->checkState(), Qt::Checked);
    EXPECT_FALSE(widget->get_tree_view()->isExpanded(item_at(widget, "c")->index()));
    EXPECT_TRUE(widget->is_hidden("a|b|n"));
    EXPECT_FALSE(widget->is_hidden("c|m"));
}

TEST_F(hierarchy_widget_test, the_setup_and_data_tabs_keep_their_own_states)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|n"});
    ASSERT_NE(widget, nullptr);
    click_check(widget, "a", Qt::Unchecked);
    QTabWidget* tabs = m_frame->get_layout_widget()->get_data_setup_tab_widget(-1);
    tabs->setCurrentIndex(0);
    settle();
    widget = pane();
    EXPECT_EQ(item_at(widget, "a")->checkState(), Qt::Checked) << "the data tab has no stored state yet";
    click_check(widget, "", Qt::Unchecked);
    EXPECT_EQ(stored("data hierarchy a"), 3);
    EXPECT_EQ(stored("setup hierarchy a"), 2);
    tabs->setCurrentIndex(1);
    settle();
    widget = pane();
    EXPECT_EQ(item_at(widget, "a")->checkState(), Qt::Unchecked);
    EXPECT_EQ(item_at(widget, "")->checkState(), Qt::Checked);
}

TEST_F(hierarchy_widget_test, levels_of_equal_text_share_one_stored_state)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|u|n", "b|u|m"});
    ASSERT_NE(widget, nullptr);
    SEDQ_REPOSITORY::instance(tx())->set_position_data("setup hierarchy u", 0);
    widget->update_hierarchy_tree();
    EXPECT_EQ(item_at(widget, "a|u")->checkState(), Qt::Unchecked);
    EXPECT_EQ(item_at(widget, "b|u")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(widget->is_hidden("a|u|n"));
    EXPECT_TRUE(widget->is_hidden("b|u|m"));
}

TEST_F(hierarchy_widget_test, a_level_without_text_is_stored_as_root)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"|n", "a|m"});
    ASSERT_NE(widget, nullptr);
    QStandardItem* top = widget->get_tree_model()->item(0);
    ASSERT_NE(top, nullptr);
    ASSERT_EQ(top->rowCount(), 2);
    EXPECT_EQ(top->child(0)->text(), QString());
    widget->get_tree_model()->setData(top->child(0)->index(), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(stored("setup hierarchy root"), 2);
    EXPECT_TRUE(widget->is_hidden("|n"));
}

TEST_F(hierarchy_widget_test, only_a_hierarchy_hint_rebuilds_the_tree)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|n"});
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(SEDQ_REPOSITORY::trigger_nodes(tx(), -1)->set_node_name(0, "z|n"));
    tx()->update_all_views(
        nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_CONFIGURATION));
    settle();
    EXPECT_EQ(dump(widget), (QStringList{top_text(), " a"}));
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_HIERARCHY));
    settle();
    EXPECT_EQ(dump(widget), (QStringList{top_text(), " z"}));
}

TEST_F(hierarchy_widget_test, storing_without_a_current_instance_is_reported_and_changes_nothing)
{
    SEDQ_HIERARCHY_WIDGET* widget = open_with_names({"a|n"});
    ASSERT_NE(widget, nullptr);
    tx()->close_document();
    standin::msg::clear_internal_errors();
    widget->save_data();
    widget->load_data();
    ASSERT_EQ(standin::msg::internal_errors().size(), 2u);
    for (const auto& error : standin::msg::internal_errors())
        EXPECT_EQ(error.expression, "sdr_tx_instance != NULL");
    EXPECT_EQ(item_at(widget, "a")->checkState(), Qt::Checked);
}
