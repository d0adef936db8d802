// Painting the node table into an image: the texts of an empty view, the title and the column
// titles, the level names, the selection fill with and without focus, bus trigger texts, the
// enable boxes, and painting only the rows in view.
#include "sedq_view_test_support.h"

#include "host/standin/acf_control.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/view/sedq_grid.h"

#include <QScrollBar>

namespace
{
const QFont TITLE_FONT = QFont();

QFont font_of(int id)
{
    return AFCQ_FONT(id).get_font();
}

// The rectangle the empty-view text starts in: below the laid-out header rows.
QRect message_rect(SEDQ_VIEW* view)
{
    const int y = view->get_row_height(0) + view->get_row_height(1) + view->get_row_height(2);
    return QRect(10, y + 1, view->width(), view->height());
}

void bus_of_four(SDR_DATA_SESSION& session, SDR_DATA_TRIGGER_CONDITION member,
                 SDR_DATA_TRIGGER_CONDITION group)
{
    SDR_DATA_TRIGGER* trigger = session.m_instances[0]->get_active_trigger();
    add_leaves(trigger, {"top|d3", "top|d2", "top|d1", "top|d0"});
    standin::sdr::add_group(trigger, 0, 3, "data", SDR_GTYPE_HEX);
    SDR_NODE_LIST& rows = trigger->edit_transient().trigger_list;
    rows[0].patterns[0].conditions[0] = group;
    for (int row = 1; row <= 4; ++row)
        rows[row].patterns[0].conditions[0] = member;
}
} // namespace

TEST_F(view_test, a_window_without_document_paints_no_nodes_on_the_face_brush)
{
    open_empty();
    const QImage image = render();
    EXPECT_TRUE(shows_text(image, message_rect(view()), "No nodes", QFont(),
                           AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen().color(), Qt::AlignLeft | Qt::AlignTop));
    EXPECT_EQ(colour_at(image, QPoint(view()->width() - 5, view()->height() - 5)),
              AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush().color());
    EXPECT_EQ(view()->get_visible_node_count(), 0);
}

TEST_F(view_test, an_empty_node_list_says_how_to_get_nodes)
{
    const QString path = write_document(nullptr);
    const struct
    {
        const char* name;
        bool project;
        QUI_FW_STATE_ENUM state;
        const char* text;
    } cases[] = {
        {"no project", false, QUI_FW_STATE_ATTACHED, "Open a project to add nodes"},
        {"project open", true, QUI_FW_STATE_ATTACHED, "Double-click to add nodes"},
        {"main window", true, QUI_FW_STATE_MAIN_WINDOW, "Open a Vantrel file to continue"},
    };
    for (const auto& row : cases)
    {
        standin::acf::set_project(row.project, m_dir.path().toStdString());
        m_frames.push_back(std::make_unique<SEDQ_FRAME_WND>(&m_info, row.state));
        ASSERT_TRUE(frame()->open_file(path)) << row.name;
        frame()->resize(1000, 700);
        frame()->show();
        settle();
        EXPECT_TRUE(shows_text(render(), message_rect(view()), row.text, QFont(),
                               AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen().color(),
                               Qt::AlignLeft | Qt::AlignTop))
            << row.name;
        m_frames.clear();
    }
}

TEST_F(view_test, the_wizards_view_without_nodes_names_the_input_port)
{
    const QString path = write_document(nullptr);
    SEDQ_TX_MANAGER manager(nullptr);
    ASSERT_TRUE(manager.open_document(path.toLocal8Bit().constData(), nullptr, nullptr));
    SEDQ_VIEW wizard_view(nullptr, &manager);
    wizard_view.resize(600, 300);
    QImage image(wizard_view.size(), QImage::Format_ARGB32);
    QPainter painter(&image);
    wizard_view.paint(&painter, nullptr, &wizard_view, wizard_view.rect(), true);
    painter.end();
    const int y =
        wizard_view.get_row_height(0) + wizard_view.get_row_height(1) + wizard_view.get_row_height(2);
    EXPECT_TRUE(shows_text(image, QRect(10, y + 1, 600, 300), "Zero trigger input port width", QFont(),
                           AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen().color(), Qt::AlignLeft | Qt::AlignTop));
    EXPECT_EQ(wizard_view.get_column_width(SEDQ_COLUMN_DATA_ENABLE), 0)
        << "the wizard's view shows the node columns only";
}

TEST_F(view_test, nodes_all_hidden_say_so)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|m0", "top|m1"});
            trigger->edit_transient().sq_type = SDR_SQTYPE_CONDITIONAL;
            trigger->edit_transient().sq_patterns[0].type = SDR_LTYPE_ADVANCED;
        }));
    ASSERT_GT(tabs()->count(), 2) << "the conditional storage qualifier has its advanced page";
    tabs()->setCurrentIndex(2);
    settle();
    ASSERT_TRUE(tx()->is_advanced_mode(nullptr));
    EXPECT_TRUE(shows_text(render(), message_rect(view()), "All nodes hidden", QFont(),
                           AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen().color(), Qt::AlignLeft | Qt::AlignTop))
        << "no node is enabled for storage, and the page edits the storage qualifier";
}

TEST_F(view_test, the_title_names_the_trigger_the_log_or_the_node_list)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|a"});
            standin::sdr::log_spec log;
            log.name = "first_run";
            log.depth = 8;
            log.channels = {"0101"};
            standin::sdr::make_log(trigger, log);
        }));
    const auto title_rect = [this]()
    {
        const QRect inner = inner_cell(0, 0);
        return QRect(QPoint(inner.left() - 2, inner.top() - 2), QPoint(view()->width() - 1, inner.bottom()))
            .adjusted(0, 0, 0, -1);
    };
    const int flags = Qt::AlignLeft | Qt::AlignVCenter;
    EXPECT_TRUE(shows_text(render(), title_rect(), QStringLiteral("   ") + tx()->get_trigger(), font_of(54),
                           Qt::black, flags));
    show_data_tab(true);
    EXPECT_TRUE(shows_text(render(), title_rect(), "   first_run", font_of(54), Qt::black, flags));
}

TEST_F(view_test, header_rows_title_each_column)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            standin::sdr::set_levels(trigger_of(s), 2);
            add_leaves(trigger_of(s), {"top|a", "top|b", "top|c"});
        }));
    const QImage image = render();
    const QColor title = AFCQ_COLOR(AFCQ_COLOR_COLUMN_HEADER).get_color();
    EXPECT_TRUE(shows_text(image, inner_cell(2, 0), "Type", font_of(55), title));
    EXPECT_TRUE(shows_text(image, inner_cell(2, 1), "Alias", font_of(55), title));
    EXPECT_TRUE(shows_text(image, inner_cell(2, 2), "Name", font_of(55), title));
    EXPECT_TRUE(shows_text(image, inner_cell(1, 5), "Data Enable", font_of(55), title));
    EXPECT_TRUE(shows_text(image, inner_cell(2, 5), "3", font_of(55), title)) << "data nodes in use";
    EXPECT_TRUE(shows_text(image, inner_cell(1, 6), "Trigger Enable", font_of(55), title));
    const QRect node_row = inner_cell(1, 2);
    EXPECT_TRUE(shows_text(image,
                           QRect(QPoint(0, node_row.top()), QPoint(34 + 34 + 220 + 1, node_row.bottom())),
                           "Node", font_of(55), title))
        << "one title over the type, alias and name columns";
    QRect levels = inner_cell(1, 12);
    levels.setRight(inner_cell(1, 13).right() + 2);
    levels.setLeft(levels.left() - 2);
    EXPECT_TRUE(shows_text(image, levels, "Trigger Conditions", font_of(55), title));
}

TEST_F(view_test, a_state_based_flow_names_its_levels_under_the_title)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            standin::sdr::set_levels(trigger_of(s), 2);
            trigger_of(s)->edit_transient().state_based = true;
            trigger_of(s)->edit_transient().levels[1].name = "armed";
            add_leaves(trigger_of(s), {"top|a"});
        }));
    EXPECT_EQ(view()->get_row_height(1), 40);
    const QImage image = render();
    const QRect cell = inner_cell(1, 13);
    const int half = (cell.bottom() - cell.top() + 1) / 2;
    const QRect lower(QPoint(cell.left(), cell.bottom() - half - 1), cell.bottomRight());
    EXPECT_TRUE(shows_text(image, lower, "armed", QFont(), SEDQ_CONDITION_NAME_PEN.color()));
}

TEST_F(view_test, selected_rows_fill_in_the_focus_colour_only_with_the_focus)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a", "top|b"}); }));
    select_only(1);
    const QRect box = inner_cell(4, 5);
    const QPoint corner = box.topLeft() + QPoint(1, 1);
    const QRect type = inner_cell(4, 0);
    EXPECT_EQ(colour_at(render(), corner), AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush().color())
        << "without the focus";
    focus_view();
    ASSERT_TRUE(view()->hasFocus());
    QImage image = render();
    EXPECT_EQ(colour_at(image, corner), AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color()) << "with the focus";
    EXPECT_NE(colour_at(image, type.topLeft() + QPoint(1, 1)), AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color())
        << "the type cell shows a sunken frame, not the fill";
    EXPECT_EQ(colour_at(image, inner_cell(3, 5).topLeft() + QPoint(1, 1)),
              AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color())
        << "an unselected row keeps the background";
}

TEST_F(view_test, bus_trigger_cells_show_the_value_and_the_pattern)
{
    const struct
    {
        const char* name;
        SDR_DATA_TRIGGER_CONDITION group;
        const char* text;
    } cases[] = {
        {"pattern 9", SDR_DATA_TRIGGER_CONDITION(9), "Fh"},
        {"pattern 10", SDR_DATA_TRIGGER_CONDITION(10), "Fh"},
        {"pattern 11", SDR_DATA_TRIGGER_CONDITION(11), "Fh (Not Value)"},
        {"pattern 13", SDR_DATA_TRIGGER_CONDITION(13), "Fh (Any Bit Falling)"},
    };
    for (const auto& row : cases)
    {
        open(write_document([&](SDR_DATA_SESSION& s) { bus_of_four(s, SDR_CTYPE_HIGH, row.group); }, 1,
                            QString::fromLatin1(row.name).remove(' ') + ".vtl"));
        EXPECT_TRUE(shows_text(render(), inner_cell(3, 12), row.text, QFont(),
                               AFCQ_PEN(AFCQ_PEN_TRIGGER_VALUE).get_pen().color()))
            << row.name;
        EXPECT_EQ(tooltip_at(inner_cell(3, 12).center()), row.text) << row.name << ": the tooltip reads the cell";
        m_frames.clear();
    }
}

// Sixteen bits in binary do not fit a level column: a bare pattern shows its end, the low bits;
// one followed by its action text stays centred.
TEST_F(view_test, a_long_bus_pattern_keeps_its_end_in_view)
{
    const struct
    {
        const char* name;
        SDR_DATA_TRIGGER_CONDITION group;
        int flags;
    } cases[] = {{"bare pattern", SDR_DATA_TRIGGER_CONDITION(9), Qt::AlignRight | Qt::AlignVCenter},
                 {"with its action", SDR_DATA_TRIGGER_CONDITION(11), Qt::AlignCenter}};
    for (const auto& row : cases)
    {
        open(write_document(
            [&](SDR_DATA_SESSION& s)
            {
                SDR_DATA_TRIGGER* trigger = trigger_of(s);
                std::vector<std::string> bits;
                for (int bit = 15; bit >= 0; --bit)
                    bits.push_back("top|d" + std::to_string(bit));
                add_leaves(trigger, bits);
                standin::sdr::add_group(trigger, 0, 15, "data", SDR_GTYPE_BINARY);
                SDR_NODE_LIST& rows = trigger->edit_transient().trigger_list;
                rows[0].patterns[0].conditions[0] = row.group;
                for (int node = 1; node <= 16; ++node)
                    rows[node].patterns[0].conditions[0] = node == 16 ? SDR_CTYPE_HIGH : SDR_CTYPE_DONT_CARE;
            },
            1, QString::fromLatin1(row.name).remove(' ') + ".vtl"));
        const QRect cell = inner_cell(sedq_row_of_node(0), SEDQ_COLUMN_FIRST_LEVEL);
        const QString text = tooltip_at(cell.center());
        ASSERT_TRUE(text.startsWith("XXXXXXXXXXXXXXX1")) << row.name << ": " << text.toStdString();
        ASSERT_GT(QFontMetrics(QFont()).horizontalAdvance(text), cell.width()) << row.name << ": wider than its cell";
        EXPECT_TRUE(shows_text(render(), cell, text, QFont(), AFCQ_PEN(5).get_pen().color(), row.flags)) << row.name;
        m_frames.clear();
    }
}

TEST_F(view_test, a_comparison_shows_its_expression_in_bold)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            bus_of_four(s, SDR_CTYPE_DONT_CARE, SDR_DATA_TRIGGER_CONDITION(9));
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            trigger->edit_transient().levels[0].type = SDR_LTYPE_COMPARISON;
            SDR_NODE_COMPARISON& comparison =
                trigger->edit_transient().trigger_list[0].patterns[0].comparisons[0];
            comparison.enabled = true;
            comparison.op1 = SDR_CTYPE_COMPARE_GREATER_THAN;
            comparison.value1 = 1;
            comparison.op2 = SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO;
            comparison.value2 = 5;
            comparison.member = true;
        }));
    QFont bold;
    bold.setWeight(75);
    EXPECT_TRUE(shows_text(render(), inner_cell(3, 12), "( 1, 5 ]", bold,
                           AFCQ_COLOR(AFCQ_COLOR_TRIGGER_MNEMONIC).get_color()));
    EXPECT_EQ(tooltip_at(inner_cell(3, 12).center()), "( 1, 5 ]") << "the tooltip reads the cell";
    EXPECT_TRUE(view()->is_comparison_trigger_group_member(0));
    EXPECT_FALSE(view()->is_comparison_trigger_group_member(1));
    EXPECT_FALSE(view()->is_comparison_storage_qualifier_group_member(0));
    EXPECT_FALSE(view()->is_enable_box_enabled(0, 6, true, true))
        << "a comparison's bus keeps its trigger enable";
}

TEST_F(view_test, a_partly_enabled_group_shows_a_read_only_checked_box)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|d1", "top|d0"});
            trigger->edit_transient().trigger_list[1].capture_type = SDR_WTYPE_TRIGGER_ONLY;
            standin::sdr::add_group(trigger, 0, 1, "pair");
        }));
    const QRect cell = inner_cell(3, 5);
    QImage expected = render();
    {
        QPainter painter(&expected);
        view()->draw_checkbox(true, cell, &painter, false, false, false, false, false);
    }
    const QImage actual = render();
    EXPECT_EQ(actual.copy(cell), expected.copy(cell));
    QImage enabled = render();
    {
        QPainter painter(&enabled);
        painter.fillRect(cell.adjusted(-1, -1, 0, 0), AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color());
        view()->draw_checkbox(true, cell, &painter, false, true, false, false, false);
    }
    EXPECT_NE(actual.copy(cell), enabled.copy(cell));
}

// Under "Allow incremental route changes only" a post-fitting node with only data may lose its
// storage enable while the data allocation has room: the box is drawn enabled then.
TEST_F(view_test, the_storage_box_is_enabled_by_the_rule_of_a_press)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            standin::sdr::node_spec node;
            node.name = "top|late";
            node.capture = SDR_WTYPE_DATA_ONLY;
            node.tap = SDR_TAP_POST_FITTING;
            standin::sdr::add_node(trigger_of(s), node);
            trigger_of(s)->edit_transient().sq_type = SDR_SQTYPE_CONDITIONAL;
            trigger_of(s)->edit_transient().trigger_list[0].storage_enabled = true;
            s.m_instances[0]->get_active_signal_set()->edit_transient().allocated[1] = 8;
        }));
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    EXPECT_TRUE(view()->is_enable_box_enabled(0, 7, true, false));
    EXPECT_FALSE(view()->is_reroute_enabled(0, true, true)) << "the data column's rule would refuse it";
}

TEST_F(view_test, painting_counts_the_rows_scrolled_away_and_stops_below_the_view)
{
    open(write_document(
             [](SDR_DATA_SESSION& s)
             {
                 std::vector<std::string> names;
                 for (int i = 0; i < 100; ++i)
                     names.push_back("top|n" + std::to_string(i));
                 add_leaves(trigger_of(s), names);
             }),
         QSize(1000, 700));
    QScrollBar* bar = view()->get_vertical_scroll_bar();
    ASSERT_FALSE(bar->isHidden());
    const int shown = (view()->height() - 63) / 20 + 1;
    render();
    EXPECT_LE(view()->get_visible_node_count(), shown + 1);
    bar->setValue(bar->maximum());
    render();
    EXPECT_EQ(view()->get_visible_node_count(), 100) << "every row down to the last one painted";
    int row = 0;
    int column = 0;
    ASSERT_TRUE(view()->find_item(QPoint(100, 63 + 5), &row, &column, nullptr));
    EXPECT_EQ(row - 3, bar->maximum()) << "the first row in view is the first not scrolled away";
}
