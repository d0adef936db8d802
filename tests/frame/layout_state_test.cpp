// The window state the pane layout keeps in the document, pane visibility, and splitters of
// one kind moving together.
#include "frame_test_support.h"

#include "host/standin/msg_control.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/frame/sedq_jtag_widget.h"
#include "sedq/frame/sedq_splitter.h"

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

TEST_F(frame_test, a_document_without_window_state_opens_with_every_pane_and_the_default_jtag_area)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    for (int id : {701, 702, 705, 700, 698})
        EXPECT_TRUE(action(frame, id)->isChecked()) << id;
    EXPECT_TRUE(layout->get_jtag_widget()->isVisibleTo(frame));
    EXPECT_EQ(layout->sizes().value(0), 120);
    EXPECT_EQ(qobject_cast<QSplitter*>(layout->get_jtag_widget()->parentWidget())->sizes().value(1), 398);
    EXPECT_FALSE(layout->get_jtag_widget()->is_sof_manager_visible());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(frame_test, window_state_round_trips_through_save_and_open)
{
    const QString first_path = write_document({{"alpha"}, {"beta"}});
    SEDQ_FRAME_WND* first = open_frame(first_path);
    SEDQ_LAYOUT_WIDGET* layout = first->get_layout_widget();
    layout->setSizes({150, layout->sizes()[0] + layout->sizes()[1] - 150});
    auto* top = qobject_cast<QSplitter*>(layout->get_jtag_widget()->parentWidget());
    top->setSizes({top->sizes()[0] + top->sizes()[1] - 420, 420});
    action(first, 700)->setChecked(false);
    action(first, 705)->setChecked(false);
    layout->get_jtag_widget()->on_sof_manager_toggle();
    first->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
    const QString second_path = m_dir.filePath("saved.vtl");
    ASSERT_TRUE(first->save_file(second_path));
    close_frame(first);

    SEDQ_FRAME_WND* second = open_frame(second_path);
    SEDQ_TX_MANAGER* tx = second->get_tx_manager();
    EXPECT_EQ(tx->get_size_state("frame size", QSize()), QSize(1200, 800));
    EXPECT_EQ(tx->get_size_state("jtag widget size", QSize()), QSize(420, 150));
    EXPECT_FALSE(action(second, 700)->isChecked());
    EXPECT_FALSE(action(second, 705)->isChecked());
    EXPECT_TRUE(action(second, 698)->isChecked());
    EXPECT_TRUE(action(second, 701)->isChecked());
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
    action(frame, 700)->setChecked(false);
    EXPECT_FALSE(splitter->isHidden());
    action(frame, 698)->setChecked(false);
    EXPECT_TRUE(splitter->isHidden());
    action(frame, 698)->setChecked(true);
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
    second->resize(first->size());
    second->setSizes(first->sizes());
    QSignalSpy relayed(second, SIGNAL(splitterMoved(int, int)));
    emit first->splitterMoved(333, 1);
    EXPECT_EQ(second->sizes().value(0), 333);
    EXPECT_TRUE(relayed.isEmpty()) << "a relayed move is not relayed again";
    EXPECT_EQ(frame->get_tx_manager()->get_int_state("hierarchy widget width", -1), 333);
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
        {511, "hierarchy widget height", 400, [](QSplitter* s) { return s->height() - 400 - 5; }}};
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
