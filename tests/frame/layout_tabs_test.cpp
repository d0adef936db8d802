// The instance tabs of the pane layout: pages and titles per instance and level, the shared
// view and canvas, the power-up companion, and the hints sent when the user changes tabs.
#include "frame_test_support.h"

#include "host/standin/msg_control.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_container_widget.h"
#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/frame/sedq_splitter.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/frame/sedq_log_widget.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"
#include "sedq/plugins/sedq_mnemonic_new_table_dlg.h"
#include "sedq/view/sedq_view.h"
#include "view/sedq_modal_step.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QProxyStyle>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTreeView>

#include <algorithm>

namespace
{
std::vector<unsigned> hints_of(const QSignalSpy& spy)
{
    std::vector<unsigned> hints;
    for (const QList<QVariant>& call : spy)
        hints.push_back(static_cast<unsigned>(call.at(1).toInt()));
    return hints;
}
} // namespace

TEST_F(frame_test, tabs_are_titled_per_instance_and_trigger_level)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 3, {0, 2}, true}, {"beta"}}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    EXPECT_EQ(tab_titles(layout->get_instance_tab_widget()), QStringList({"alpha", "beta"}));
    QTabWidget* alpha = layout->get_data_setup_tab_widget(0);
    EXPECT_EQ(tab_titles(alpha), QStringList({"Data", "Setup", "Advanced Trigger 1", "Advanced Trigger 3",
                                              "State-Based Trigger Flow"}));
    EXPECT_EQ(alpha->widget(2)->property("trigger level").toInt(), 0);
    EXPECT_EQ(alpha->widget(3)->property("trigger level").toInt(), 2);
    EXPECT_EQ(tab_titles(layout->get_data_setup_tab_widget(1)), QStringList({"Data", "Setup"}))
        << "a sequential flow has no state-based page";
    EXPECT_EQ(alpha->currentIndex(), 1) << "Setup is shown when the document stores no tab";
    EXPECT_EQ(layout->get_instance_tab_widget()->widget(1)->property("instance index").toInt(), 1);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(frame_test, the_page_on_show_holds_the_one_view_and_the_one_canvas)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 1, {0}}}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    QTabWidget* tabs = layout->get_data_setup_tab_widget(-1);
    tabs->setCurrentIndex(0);
    settle();
    EXPECT_EQ(layout->get_view()->parentWidget(), tabs->widget(0));
    tabs->setCurrentIndex(2);
    settle();
    EXPECT_TRUE(tabs->widget(2)->isAncestorOf(layout->get_view()));
    EXPECT_TRUE(tabs->widget(2)->isAncestorOf(layout->get_object_widget()));
    EXPECT_TRUE(layout->get_view()->isVisible());
    const QPointer<QTabWidget> old = tabs;
    layout->update_instance_tabs();
    QTabWidget* rebuilt = layout->get_data_setup_tab_widget(-1);
    // The old page may be gone and its address reused by the new one.
    EXPECT_TRUE(old.isNull() || old.data() != rebuilt) << "the rebuild makes new pages";
    EXPECT_TRUE(rebuilt->currentWidget()->isAncestorOf(layout->get_view()))
        << "the view survives the rebuild and moves into the new page on show";
    EXPECT_FALSE(layout->get_view()->get_resize_flag(true))
        << "the relayout flags are cleared after a rebuild";
}

TEST_F(frame_test, a_powerup_view_shares_the_tab_of_its_instance_in_the_powerup_colour)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 1, {}, false, true}, {"beta"}}));
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    ASSERT_EQ(tx->get_num_instances(), 3) << "alpha, its power-up companion, beta";
    EXPECT_EQ(layout->get_instance_tab_widget()->count(), 2);
    tx->set_instance(1);
    layout->update_instance_tabs();
    QWidget* page = layout->get_instance_tab_widget()->currentWidget();
    EXPECT_EQ(page->property("instance index").toInt(), 0);
    EXPECT_EQ(page->palette().color(QPalette::Window), SEDQ_POWERUP_BRUSH.color());
    EXPECT_EQ(layout->get_data_setup_tab_widget(1), layout->get_data_setup_tab_widget(0));
    EXPECT_EQ(layout->get_hierarchy_widget(), layout->get_hierarchy_widget()) << "stable";
    EXPECT_NE(layout->get_hierarchy_widget(), nullptr);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(frame_test, data_setup_tab_changes_send_their_hints_and_store_the_tab)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 1, {0}}}));
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    QTabWidget* tabs = frame->get_layout_widget()->get_data_setup_tab_widget(-1);
    struct row
    {
        const char* name;
        int tab;
        std::vector<unsigned> hints;
    };
    const row rows[] = {{"data", 0, {0x60000002, 0x60000009}},
                        {"setup", 1, {0x24000004, 0x60000002, 0x60000009}},
                        {"advanced", 2, {0x20000100, 0x60000002, 0x60000009}}};
    for (const row& r : rows)
    {
        QSignalSpy spy(tx, SIGNAL(updated(QObject*, int)));
        tabs->setCurrentIndex(r.tab);
        EXPECT_EQ(hints_of(spy), r.hints) << r.name;
        EXPECT_EQ(tx->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -7), r.tab) << r.name;
        settle();
    }
}

TEST_F(frame_test, instance_tab_change_selects_the_instance_and_refreshes_the_panes)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}, {"beta"}}));
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    QSignalSpy spy(tx, SIGNAL(updated(QObject*, int)));
    frame->get_layout_widget()->get_instance_tab_widget()->setCurrentIndex(1);
    EXPECT_EQ(hints_of(spy), std::vector<unsigned>({0x60000017}));
    EXPECT_STREQ(tx->get_instance(), "beta");
}

TEST_F(frame_test, a_missing_instance_page_is_reported_and_changes_nothing)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}, {"beta"}}));
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    QSignalSpy spy(tx, SIGNAL(updated(QObject*, int)));
    frame->get_layout_widget()->on_sel_change_instance_tab(5);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "widget != NULL");
    EXPECT_TRUE(spy.isEmpty());
    EXPECT_STREQ(tx->get_instance(), "alpha");
}

TEST_F(frame_test, the_powerup_switch_goes_only_to_the_instance_own_companion)
{
    struct row
    {
        const char* name;
        bool powerup;
        int expected_instance;
    };
    const row rows[] = {{"without a companion the next instance (beta) is not taken", false, 0},
                        {"with a companion", true, 1}};
    for (const row& r : rows)
    {
        const QString path = write_document({{"alpha", 2, 1, {}, false, r.powerup}, {"beta"}},
                                            r.powerup ? "with.vtl" : "without.vtl");
        SEDQ_FRAME_WND* frame = open_frame(path);
        SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
        QSignalSpy spy(tx, SIGNAL(updated(QObject*, int)));
        frame->get_layout_widget()->on_update(nullptr, 0x40 | 0x400000 | 0x2000000);
        EXPECT_EQ(sedq_current_instance(tx), r.expected_instance) << r.name;
        const std::vector<unsigned> hints = hints_of(spy);
        EXPECT_EQ(std::count(hints.begin(), hints.end(), 0x60000010u), r.powerup ? 1 : 0)
            << r.name << ": the switch is announced once";
        EXPECT_EQ(tx->is_powerup_trigger(-1), r.powerup) << r.name;
        settle();
    }
}

TEST_F(frame_test, a_stored_tab_beyond_the_pages_falls_back_to_setup)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    tx->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, 4);
    frame->get_layout_widget()->on_update(nullptr, 0x20000040);
    EXPECT_EQ(frame->get_layout_widget()->get_data_setup_tab_widget(-1)->currentIndex(), 1);
    EXPECT_EQ(tx->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -7), SEDQ_SETUP_PAGE);
}

TEST_F(frame_test, a_document_without_instances_has_no_tabs)
{
    SEDQ_FRAME_WND* frame = make_frame();
    EXPECT_EQ(frame->get_layout_widget()->get_instance_tab_widget()->count(), 0);
    EXPECT_EQ(frame->get_layout_widget()->get_data_setup_tab_widget(-1), nullptr);
    EXPECT_EQ(frame->get_layout_widget()->get_hierarchy_widget(), nullptr);
}

TEST_F(frame_test, splitters_of_each_kind_have_their_orientation_and_collapsibility)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 1, {0}, true}}));
    QWidget* page = frame->get_layout_widget()->get_instance_tab_widget()->widget(0);
    QList<SEDQ_SPLITTER*> splitters = page->findChildren<SEDQ_SPLITTER*>();
    splitters.prepend(qobject_cast<SEDQ_SPLITTER*>(page));
    struct row
    {
        int id;
        Qt::Orientation orientation;
        bool collapsible;
    };
    const row rows[] = {{511, Qt::Vertical, false},   {711, Qt::Horizontal, false},
                        {783, Qt::Horizontal, false}, {1351, Qt::Horizontal, true},
                        {1590, Qt::Vertical, true},   {1419, Qt::Horizontal, true}};
    for (const row& r : rows)
    {
        const auto found =
            std::find_if(splitters.begin(), splitters.end(),
                         [&r](SEDQ_SPLITTER* s) { return s != nullptr && s->get_id() == r.id; });
        ASSERT_NE(found, splitters.end()) << r.id;
        EXPECT_EQ((*found)->orientation(), r.orientation) << r.id;
        EXPECT_EQ((*found)->childrenCollapsible(), r.collapsible) << r.id;
    }
}

// Every column of the instance manager is at least as wide as its header text, whatever the
// window size; Enabled keeps its own width where that is wider.
TEST_F(frame_test, instance_manager_columns_fit_their_headers)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    auto* tree = frame->get_layout_widget()->get_instance_widget()->findChild<QTreeView*>();
    ASSERT_NE(tree, nullptr);
    QHeaderView* header = tree->header();
    ASSERT_EQ(header->count(), 8);
    for (int column = 0; column < header->count(); ++column)
    {
        const QString text = tree->model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_GE(header->sectionSize(column), header->fontMetrics().horizontalAdvance(text) + 8)
            << text.toStdString();
    }
    EXPECT_GE(header->sectionSize(2), 65);
}

namespace
{
// Counts how often the tab bar measures a tab: a full layout of the bar measures every tab.
class counting_style : public QProxyStyle
{
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        if (type == CT_TabBarTab)
            ++measured;
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    mutable long measured = 0;
};
} // namespace

// Many instances: the tabs go in (and out) with the tab widget hidden, so the bar lays out a
// bounded number of times, not once per tab.
TEST_F(frame_test, many_instance_tabs_are_laid_out_once_not_once_per_tab)
{
    const int count = 150;
    std::vector<instance_spec> instances;
    for (int i = 0; i < count; ++i)
        instances.emplace_back("i" + std::to_string(i), 1);
    SEDQ_FRAME_WND* frame = open_frame(write_document(instances));
    SEDQ_INSTANCE_TABS* tabs = frame->get_layout_widget()->get_instance_tab_widget();
    ASSERT_EQ(tabs->count(), count);
    counting_style style;
    tabs->tabBar()->setStyle(&style);

    frame->get_tx_manager()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT));
    settle();
    EXPECT_LT(style.measured, 20L * count) << "the bar laid out its tabs once per tab";
    ASSERT_EQ(tabs->count(), count);
    EXPECT_TRUE(tabs->isVisible());
    EXPECT_TRUE(tabs->tabBar()->isVisible());
    EXPECT_TRUE(tabs->updatesEnabled());
    EXPECT_EQ(tab_titles(tabs).last(), QString("i%1").arg(count - 1));

    // The tabs share two icons instead of drawing one each, also when the instance changes.
    tabs->setCurrentIndex(count - 1);
    settle();
    EXPECT_STREQ(frame->get_tx_manager()->get_instance(), QString("i%1").arg(count - 1).toUtf8().constData());
    const qint64 other = tabs->tabIcon(0).cacheKey();
    for (int i = 1; i < count - 1; ++i)
        ASSERT_EQ(tabs->tabIcon(i).cacheKey(), other) << i;
    EXPECT_NE(tabs->tabIcon(count - 1).cacheKey(), other) << "the current instance's tab is marked";
    tabs->tabBar()->setStyle(nullptr);
}

// Past some dozens of instances a page is built when it is first shown or first asked for; the
// tabs and their names are all there from the start, and a splitter moved before a page was
// built reaches it too.
TEST_F(frame_test, a_document_of_many_instances_builds_each_page_when_first_shown_or_asked_for)
{
    const int count = 70;
    std::vector<instance_spec> instances;
    for (int i = 0; i < count; ++i)
        instances.emplace_back("i" + std::to_string(i));
    SEDQ_FRAME_WND* frame = open_frame(write_document(instances));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    SEDQ_INSTANCE_TABS* tabs = layout->get_instance_tab_widget();
    ASSERT_EQ(tabs->count(), count);
    EXPECT_EQ(tabs->tabText(count - 1), "i69");
    const auto built = [tabs](int tab) { return !tabs->widget(tab)->findChildren<QTabWidget*>().isEmpty(); };
    const auto splitter_783 = [tabs](int tab) -> SEDQ_SPLITTER*
    {
        for (SEDQ_SPLITTER* splitter : tabs->widget(tab)->findChildren<SEDQ_SPLITTER*>())
            if (splitter->get_id() == 783)
                return splitter;
        return nullptr;
    };
    ASSERT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(built(0));
    EXPECT_FALSE(built(count - 1));
    EXPECT_FALSE(built(40));

    QTabWidget* asked = layout->get_data_setup_tab_widget(count - 1);
    ASSERT_NE(asked, nullptr);
    EXPECT_TRUE(built(count - 1));
    EXPECT_EQ(tab_titles(asked).mid(0, 2), QStringList({"Data", "Setup"}));

    SEDQ_SPLITTER* first = splitter_783(0);
    ASSERT_NE(first, nullptr);
    emit static_cast<QSplitter*>(first)->splitterMoved(333, 1);
    tabs->setCurrentIndex(40);
    settle();
    ASSERT_TRUE(built(40));
    EXPECT_EQ(sedq_current_instance(frame->get_tx_manager()), 40);
    EXPECT_NE(layout->get_hierarchy_widget(), nullptr);
    ASSERT_NE(splitter_783(40), nullptr);
    EXPECT_EQ(splitter_783(40)->sizes().value(0), 333);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// The instance tabs of a document of many instances: pages are made only for the tabs shown or
// asked for, the bar scrolls to the current tab, and a click, the wheel or Ctrl+Page Up on the
// tabs change the instance as on any tab bar.
TEST_F(frame_test, many_instance_tabs_make_only_the_pages_shown_and_scroll_to_the_current_one)
{
    const int count = 300;
    std::vector<instance_spec> instances;
    for (int i = 0; i < count; ++i)
        instances.emplace_back("instance_" + std::to_string(i));
    SEDQ_FRAME_WND* frame = open_frame(write_document(instances));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    SEDQ_INSTANCE_TABS* tabs = layout->get_instance_tab_widget();
    const auto pages = [tabs] {
        int made = 0;
        for (QWidget* child : tabs->findChildren<QWidget*>())
            made += child->property("instance index").isValid() ? 1 : 0;
        return made;
    };
    ASSERT_EQ(tabs->count(), count);
    EXPECT_EQ(pages(), 1);
    const QRect bar = tabs->tabBar()->rect();
    EXPECT_TRUE(bar.contains(tabs->tabRect(0)));
    EXPECT_TRUE(tabs->tabRect(count - 1).isEmpty()) << "the last tab is out of view";

    tabs->setCurrentIndex(count - 1);
    settle();
    EXPECT_EQ(sedq_current_instance(frame->get_tx_manager()), count - 1);
    EXPECT_TRUE(bar.contains(tabs->tabRect(count - 1))) << "the current tab is scrolled into view";
    EXPECT_TRUE(tabs->tabRect(0).isEmpty());
    EXPECT_EQ(pages(), 2);

    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, tabs->tabRect(count - 3).center());
    settle();
    EXPECT_EQ(tabs->currentIndex(), count - 3);
    EXPECT_EQ(sedq_current_instance(frame->get_tx_manager()), count - 3);
    QTest::keyClick(tabs->currentWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    settle();
    EXPECT_EQ(sedq_current_instance(frame->get_tx_manager()), count - 4);
    EXPECT_NE(tabs->tabIcon(count - 4).cacheKey(), tabs->tabIcon(0).cacheKey()) << "the current instance is marked";
    EXPECT_EQ(pages(), 4);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

namespace
{
// Mnemonic Table Setup from the node view's command, as the user adds a table: "Add Table"
// with the name and a width of 4, then OK.
void add_table_in_the_setup(SEDQ_VIEW* view, const QString& name)
{
    on_next_modal<SEDQ_MNEMONIC_DLG>([name](SEDQ_MNEMONIC_DLG* dialog) {
        ASSERT_NE(dialog, nullptr);
        on_next_modal<SEDQ_MNEMONIC_NEW_TABLE_DLG>([name](SEDQ_MNEMONIC_NEW_TABLE_DLG* table) {
            ASSERT_NE(table, nullptr);
            table->get_name_edit()->setText(name);
            table->get_width_edit()->setText(QStringLiteral("4"));
        });
        QTest::mouseClick(dialog->get_add_table_button(), Qt::LeftButton);
        QTest::mouseClick(dialog->get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    view->on_mnemonic_table_setup();
}

// The page of each instance tab, built.
std::vector<QPointer<QWidget>> pages_of(SEDQ_LAYOUT_WIDGET* layout)
{
    std::vector<QPointer<QWidget>> pages;
    for (int tab = 0; tab < layout->get_instance_tab_widget()->count(); ++tab)
        pages.emplace_back(layout->get_instance_tab_widget()->widget(tab));
    return pages;
}
} // namespace

// Edits that change no page's tabs (tables added in the setup dialog, an Undo, the first edit
// after it, a rename) keep every page: a page is made anew only when its tabs change, and then
// only that one. A kept page's panes show what a new page would.
TEST_F(frame_test, pages_are_made_anew_only_when_their_tabs_change)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 2}, {"beta", 2, 1, {0}}}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    const std::vector<QPointer<QWidget>> pages = pages_of(layout);
    ASSERT_EQ(pages.size(), 2u);
    const auto same_pages = [&] { return pages_of(layout) == pages && pages[0] && pages[1]; };
    const SDR_DATA_MNEMONICS* tables = tx->get_tx_session()->get_data_session()->get_mnemonics();
    add_table_in_the_setup(layout->get_view(), QStringLiteral("first"));
    settle();
    ASSERT_EQ(tables->get_num_tables(), 1);
    EXPECT_TRUE(same_pages()) << "a table added";
    action(frame, AFCQ_EDIT_UNDO_ACTION)->trigger();
    settle();
    ASSERT_EQ(tables->get_num_tables(), 0);
    EXPECT_TRUE(same_pages()) << "the table's Undo";
    add_table_in_the_setup(layout->get_view(), QStringLiteral("second"));
    settle();
    ASSERT_EQ(tables->get_num_tables(), 1);
    EXPECT_TRUE(same_pages()) << "the first edit after the Undo";

    SEDQ_INSTANCE_LIST_MODEL* instances = layout->get_instance_widget()->get_model();
    ASSERT_TRUE(instances->setData(instances->index(0, 0), QStringLiteral("gamma"), Qt::EditRole));
    settle();
    action(frame, AFCQ_EDIT_UNDO_ACTION)->trigger();
    settle();
    EXPECT_TRUE(same_pages()) << "a rename and its Undo";
    EXPECT_EQ(tab_titles(layout->get_instance_tab_widget()), QStringList({"alpha", "beta"}));
    auto* log = pages[0]->findChild<SEDQ_LOG_WIDGET*>();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->get_tree_model()->item(0)->text(), QStringLiteral("alpha")) << "the kept log pane follows";

    {
        const SEDQ_EDIT_SCOPE edit(tx, SEDQ_CHECK_COMPILATION, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT));
        tx->set_advanced_trigger(0, SDR_LTYPE_ADVANCED);
    }
    settle();
    EXPECT_TRUE(pages[0].isNull()) << "alpha's page gained an advanced trigger page";
    EXPECT_TRUE(pages[1] && layout->get_instance_tab_widget()->widget(1) == pages[1]) << "beta's stays";
    EXPECT_EQ(tab_titles(layout->get_data_setup_tab_widget(0)), QStringList({"Data", "Setup", "Advanced Trigger 1"}));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
