// The window state the pane layout keeps in the document, pane visibility, and splitters of
// one kind moving together.
#include "frame_test_support.h"

#include "host/standin/msg_control.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/frame/sedq_jtag_widget.h"
#include "sedq/frame/sedq_splitter.h"

#include <QDir>
#include <QSignalSpy>
#include <QSplitter>

namespace
{
// The splitter of a kind inside an instance page (the page itself is the 511 splitter).
SEDQ_SPLITTER* splitter_of_kind(SEDQ_LAYOUT_WIDGET* layout, int tab, int id)
{
    auto* page = qobject_cast<SEDQ_SPLITTER*>(layout->get_instance_tab_widget()->widget(tab));
    if (page != nullptr && page->get_id() == id)
        return page;
    for (auto* splitter : page->findChildren<SEDQ_SPLITTER*>())
        if (splitter->get_id() == id)
            return splitter;
    return nullptr;
}

QSplitter* hierarchy_log_splitter(SEDQ_LAYOUT_WIDGET* layout, int tab)
{
    return splitter_of_kind(layout, tab, 783);
}
} // namespace

// A new document and one opened without stored window state look the same.
TEST_F(frame_test, a_document_without_window_state_opens_with_every_pane_and_the_default_jtag_area)
{
    SEDQ_FRAME_WND* created = make_frame();
    ASSERT_TRUE(created->new_file());
    created->resize(1200, 800);
    created->show();
    settle();
    const std::pair<const char*, SEDQ_FRAME_WND*> rows[] = {{"opened", open_frame(write_document({{"alpha"}}))},
                                                            {"new", created}};
    for (const auto& [name, frame] : rows)
    {
        SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
        for (int id :
             {AFCQ_SEDQ_INSTANCE_PANE_ACTION, AFCQ_SEDQ_JTAG_PANE_ACTION, AFCQ_SEDQ_CONFIG_PANE_ACTION,
              AFCQ_SEDQ_HIERARCHY_PANE_ACTION, AFCQ_SEDQ_LOG_PANE_ACTION})
            EXPECT_TRUE(action(frame, id)->isChecked()) << name << " " << id;
        EXPECT_TRUE(layout->get_jtag_widget()->isVisibleTo(frame)) << name;
        EXPECT_EQ(layout->sizes().value(0), 120) << name;
        EXPECT_EQ(qobject_cast<QSplitter*>(layout->get_jtag_widget()->parentWidget())->sizes().value(1), 398)
            << name;
        EXPECT_FALSE(layout->get_jtag_widget()->is_sof_manager_visible()) << name;
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// Every split the user set comes back exactly, however often the document is saved and opened.
TEST_F(frame_test, saving_and_reopening_gives_back_the_same_splits)
{
    const QString path = write_document({{"alpha", 2, 1, {0}}});
    QList<QList<int>> first_sizes;
    for (int round = 0; round < 3; ++round)
    {
        SEDQ_FRAME_WND* frame = open_frame(path);
        SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
        layout->get_data_setup_tab_widget(-1)->setCurrentIndex(2);
        settle();
        if (round == 0)
            for (const auto& [id, pos] : {std::pair{511, 260}, {783, 300}, {1590, 90}, {1351, 280}})
            {
                SEDQ_SPLITTER* splitter = splitter_of_kind(layout, 0, id);
                splitter->moveSplitter(nullptr, pos, 1); // the user's drag
                emit static_cast<QSplitter*>(splitter)->splitterMoved(pos, 1);
            }
        QList<QList<int>> sizes;
        for (int id : {511, 783, 1590, 1351})
            sizes << splitter_of_kind(layout, 0, id)->sizes();
        if (round == 0)
            first_sizes = sizes;
        EXPECT_EQ(sizes, first_sizes) << "round " << round;
        ASSERT_TRUE(frame->save_file(path));
        close_frame(frame);
    }
}

// A hierarchy and log row dragged smaller than it asks for comes back at that height, on the
// page shown at once and on an instance page shown later.
TEST_F(frame_test, a_small_hierarchy_and_log_row_comes_back_at_its_height)
{
    const QString path = write_document({{"alpha"}, {"beta"}});
    SEDQ_FRAME_WND* first = open_frame(path);
    SEDQ_SPLITTER* page = splitter_of_kind(first->get_layout_widget(), 0, 511);
    const int wanted = page->widget(1)->sizeHint().height() / 2;
    const int pos = page->sizes().value(0) + page->sizes().value(1) - wanted;
    page->moveSplitter(nullptr, pos, 1); // the user's drag
    emit static_cast<QSplitter*>(page)->splitterMoved(pos, 1);
    const int stored = page->sizes().value(1);
    ASSERT_LT(stored, page->widget(1)->sizeHint().height());
    ASSERT_TRUE(first->save_file(path));
    close_frame(first);

    SEDQ_FRAME_WND* second = open_frame(path);
    SEDQ_LAYOUT_WIDGET* layout = second->get_layout_widget();
    EXPECT_EQ(splitter_of_kind(layout, 0, 511)->sizes().value(1), stored);
    layout->get_instance_tab_widget()->setCurrentIndex(1);
    settle();
    EXPECT_EQ(splitter_of_kind(layout, 1, 511)->sizes().value(1), stored) << "the page shown later";
}

// A pane collapsed to nothing when the document was saved is given room again when its page
// shows: the object library below the node list of an advanced trigger page.
TEST_F(frame_test, a_collapsed_pane_comes_back_with_a_usable_size)
{
    const QString path = write_document({{"alpha", 2, 1, {0}}});
    SEDQ_FRAME_WND* first = open_frame(path);
    first->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(2);
    settle();
    SEDQ_SPLITTER* nodes = splitter_of_kind(first->get_layout_widget(), 0, 1590);
    nodes->moveSplitter(nullptr, nodes->height(), 1);
    emit static_cast<QSplitter*>(nodes)->splitterMoved(nodes->height(), 1);
    ASSERT_EQ(nodes->sizes().value(1), 0) << "the object library is collapsed";
    ASSERT_TRUE(first->save_file(path));
    close_frame(first);

    SEDQ_FRAME_WND* second = open_frame(path);
    second->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(2);
    settle();
    SEDQ_SPLITTER* reopened = splitter_of_kind(second->get_layout_widget(), 0, 1590);
    EXPECT_GE(reopened->sizes().value(1), reopened->height() / 5) << "the object library has room again";
    EXPECT_GT(reopened->sizes().value(0), 0);
}

// A name the local encoding cannot carry would reach the repository as another name: the window
// refuses it, saying why, and opens or writes nothing.
TEST_F(frame_test, names_the_local_encoding_cannot_carry_are_refused_with_the_reason)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    standin::msg::reset();
    const QString bad = m_dir.filePath(QStringLiteral("bad") + QChar(0xD800) + QStringLiteral(".vtl"));
    EXPECT_FALSE(frame->save_file(bad));
    EXPECT_FALSE(frame->open_file(bad));
    const std::vector<standin::msg::message_record>& shown = standin::msg::shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].help_key, "OSEDQ_CANNOT_SAVE");
    EXPECT_EQ(shown[1].help_key, "OSEDQ_INVALID_VTL_FILE_STRUCTURE");
    for (const auto& message : shown)
    {
        ASSERT_EQ(message.children.size(), 1u);
        EXPECT_NE(message.children[0].text.find("the file name is not valid in the local character encoding"),
                  std::string::npos);
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"doc.vtl"});
    EXPECT_STREQ(frame->get_tx_manager()->get_instance(), "alpha") << "the open document stays";
}

TEST_F(frame_test, window_state_round_trips_through_save_and_open)
{
    const QString first_path = write_document({{"alpha"}, {"beta"}});
    SEDQ_FRAME_WND* first = open_frame(first_path);
    SEDQ_LAYOUT_WIDGET* layout = first->get_layout_widget();
    layout->get_jtag_widget()->on_sof_manager_toggle();
    layout->setSizes({150, layout->sizes()[0] + layout->sizes()[1] - 150});
    auto* top = qobject_cast<QSplitter*>(layout->get_jtag_widget()->parentWidget());
    top->setSizes({top->sizes()[0] + top->sizes()[1] - 420, 420});
    action(first, AFCQ_SEDQ_HIERARCHY_PANE_ACTION)->setChecked(false);
    action(first, AFCQ_SEDQ_CONFIG_PANE_ACTION)->setChecked(false);
    first->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
    const QString second_path = m_dir.filePath("saved.vtl");
    ASSERT_TRUE(first->save_file(second_path));
    close_frame(first);

    SEDQ_FRAME_WND* second = open_frame(second_path);
    SEDQ_TX_MANAGER* tx = second->get_tx_manager();
    EXPECT_EQ(tx->get_size_state("frame size", QSize()), QSize(1200, 800));
    EXPECT_EQ(tx->get_size_state("jtag widget size", QSize()), QSize(420, 150));
    EXPECT_FALSE(action(second, AFCQ_SEDQ_HIERARCHY_PANE_ACTION)->isChecked());
    EXPECT_FALSE(action(second, AFCQ_SEDQ_CONFIG_PANE_ACTION)->isChecked());
    EXPECT_TRUE(action(second, AFCQ_SEDQ_LOG_PANE_ACTION)->isChecked());
    EXPECT_TRUE(action(second, AFCQ_SEDQ_INSTANCE_PANE_ACTION)->isChecked());
    EXPECT_FALSE(second->get_layout_widget()->get_hierarchy_widget()->isVisibleTo(second));
    EXPECT_TRUE(second->get_layout_widget()->get_jtag_widget()->is_sof_manager_visible());
    EXPECT_EQ(second->get_layout_widget()->sizes().value(0), 150);
    EXPECT_EQ(second->get_layout_widget()->get_data_setup_tab_widget(-1)->currentIndex(), 0);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(frame_test, hiding_both_lower_panes_hides_their_splitter_until_one_returns)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    QSplitter* splitter = hierarchy_log_splitter(frame->get_layout_widget(), 0);
    ASSERT_NE(splitter, nullptr);
    new QObject(splitter); // a non-widget child has no visibility and must be passed over
    action(frame, AFCQ_SEDQ_HIERARCHY_PANE_ACTION)->setChecked(false);
    EXPECT_FALSE(splitter->isHidden());
    action(frame, AFCQ_SEDQ_LOG_PANE_ACTION)->setChecked(false);
    EXPECT_TRUE(splitter->isHidden());
    action(frame, AFCQ_SEDQ_LOG_PANE_ACTION)->setChecked(true);
    EXPECT_FALSE(splitter->isHidden());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(frame_test, moving_a_splitter_moves_its_kind_in_every_instance_tab)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}, {"beta"}}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    QSplitter* first = hierarchy_log_splitter(layout, 0);
    QSplitter* second = hierarchy_log_splitter(layout, 1);
    ASSERT_TRUE(first != nullptr && second != nullptr);
    QSignalSpy relayed(second, SIGNAL(splitterMoved(int, int)));
    emit first->splitterMoved(333, 1);
    layout->get_instance_tab_widget()->setCurrentIndex(1);
    settle();
    EXPECT_EQ(second->sizes().value(0), 333);
    EXPECT_TRUE(relayed.isEmpty()) << "a relayed move is not relayed again";
    EXPECT_EQ(frame->get_tx_manager()->get_int_state("hierarchy widget width", -1), 333);
}

// The other tab has never been shown, so its splitters have no geometry of their own yet: the
// moves must still be there once the tab shows.
TEST_F(frame_test, splitter_moves_reach_an_instance_tab_never_shown)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}, {"beta"}}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    const struct
    {
        int id;
        int pos;
    } rows[] = {{511, 300}, {783, 700}, {711, 700}};
    for (const auto& r : rows)
    {
        SEDQ_SPLITTER* first = splitter_of_kind(layout, 0, r.id);
        ASSERT_NE(first, nullptr) << r.id;
        ASSERT_FALSE(splitter_of_kind(layout, 1, r.id)->isVisible()) << r.id;
        first->moveSplitter(nullptr, r.pos, 1); // where the user drags the handle to
        emit static_cast<QSplitter*>(first)->splitterMoved(r.pos, 1);
    }
    layout->get_instance_tab_widget()->setCurrentIndex(1);
    settle();
    for (const auto& r : rows)
    {
        SEDQ_SPLITTER* second = splitter_of_kind(layout, 1, r.id);
        ASSERT_TRUE(second->isVisible()) << r.id;
        EXPECT_EQ(second->sizes(), splitter_of_kind(layout, 0, r.id)->sizes()) << r.id;
    }
}

TEST(sedq_splitter, only_splitters_of_one_kind_move_together)
{
    QMap<int, SEDQ_SPLITTER*> hubs;
    auto make = [&hubs](int id)
    {
        auto* splitter = new SEDQ_SPLITTER(&hubs, id, Qt::Horizontal, nullptr);
        splitter->addWidget(new QWidget);
        splitter->addWidget(new QWidget);
        splitter->resize(400, 100);
        splitter->setSizes({200, 200});
        splitter->show();
        return splitter;
    };
    std::unique_ptr<SEDQ_SPLITTER> a(make(1)), b(make(1)), other(make(2));
    const QList<int> other_sizes = other->sizes();
    emit static_cast<QSplitter*>(a.get())->splitterMoved(120, 1);
    EXPECT_EQ(b->sizes().value(0), 120);
    EXPECT_EQ(other->sizes(), other_sizes);
    EXPECT_EQ(hubs.size(), 2);
    qDeleteAll(hubs);
}

TEST_F(frame_test, moving_a_splitter_stores_its_position_under_its_key)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 1, {0}}}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    layout->get_data_setup_tab_widget(-1)->setCurrentIndex(2);
    settle();
    struct row
    {
        int id;
        const char* key;
        int pos;
        std::function<int(QSplitter*)> stored;
    };
    const row rows[] = {
        {1590, "advanced trigger node widget height", 140, [](QSplitter*) { return 140; }},
        {1351, "advanced trigger node widget width", 270, [](QSplitter*) { return 269; }},
        {783, "hierarchy widget width", 300, [](QSplitter*) { return 300; }},
        {511, "hierarchy widget height", 400, [](QSplitter* s) { return s->sizes().value(1); }}};
    for (const row& r : rows)
    {
        QSplitter* splitter = splitter_of_kind(layout, 0, r.id);
        ASSERT_NE(splitter, nullptr) << r.key;
        emit splitter->splitterMoved(r.pos, 1);
        EXPECT_EQ(frame->get_tx_manager()->get_int_state(r.key, -99), r.stored(splitter)) << r.key;
    }
}

TEST(sedq_splitter, a_relayed_move_past_the_handles_of_a_splitter_is_ignored)
{
    QMap<int, SEDQ_SPLITTER*> hubs;
    std::unique_ptr<SEDQ_SPLITTER> wide(new SEDQ_SPLITTER(&hubs, 1, Qt::Horizontal, nullptr));
    std::unique_ptr<SEDQ_SPLITTER> narrow(new SEDQ_SPLITTER(&hubs, 1, Qt::Horizontal, nullptr));
    for (int i = 0; i < 3; ++i)
        wide->addWidget(new QWidget);
    narrow->addWidget(new QWidget);
    narrow->addWidget(new QWidget);
    narrow->resize(400, 100);
    const QList<int> narrow_sizes = narrow->sizes();
    emit static_cast<QSplitter*>(wide.get())->splitterMoved(150, 2);
    EXPECT_EQ(narrow->sizes(), narrow_sizes) << "the narrow splitter has no handle 2";
    qDeleteAll(hubs);
}

// The node list of an advanced trigger page opens usable: at half the column while the document
// keeps no height for it (the page was never laid out when it was built), else at the height the
// user left it at; either way the object library below keeps room.
TEST_F(frame_test, the_node_list_of_an_advanced_page_opens_at_half_the_column_or_its_stored_height)
{
    const QString path = write_document({{"alpha", 2, 1, {0}}, {"beta", 2, 1, {0}}});
    SEDQ_FRAME_WND* first = open_frame(path);
    SEDQ_LAYOUT_WIDGET* layout = first->get_layout_widget();
    layout->get_data_setup_tab_widget(-1)->setCurrentIndex(2);
    settle();
    SEDQ_SPLITTER* nodes = splitter_of_kind(layout, 0, 1590);
    const int total = nodes->sizes().value(0) + nodes->sizes().value(1);
    ASSERT_GT(total, 200);
    EXPECT_NEAR(nodes->sizes().value(0), total / 2, 1) << "half the column";
    nodes->moveSplitter(nullptr, 140, 1); // the user's drag
    emit static_cast<QSplitter*>(nodes)->splitterMoved(140, 1);
    ASSERT_TRUE(first->save_file(path));
    close_frame(first);

    SEDQ_FRAME_WND* second = open_frame(path);
    layout = second->get_layout_widget();
    layout->get_instance_tab_widget()->setCurrentIndex(1);
    settle();
    layout->get_data_setup_tab_widget(-1)->setCurrentIndex(2);
    settle();
    EXPECT_EQ(splitter_of_kind(layout, 1, 1590)->sizes().value(0), 140) << "the stored height, on a page shown later";
}
