// The bundled demo captured the way a user sets it up: the signal configuration pane's
// controls and the node table's boxes and condition menus, Start Compilation, Program, Run
// (or Read Data) in the instance manager, and File > Export. Every row of the exported file is
// compared with the demo's stimuli at the sample the memory should hold there, worked out
// sample by sample: counter_probe's counter is the device's sample number, which starts at 0
// when the device is programmed.
#include "config_pane_user.h"
#include "jtag_widget_test_support.h"
#include "support/qualified_memory.h"

#include "host/qui.h"
#include "host/standin/msg_control.h"
#include "host/standin/project_control.h"
#include "host/standin/tst_control.h"
#include "sedq/frame/sedq_config_widget.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_state_widget.h"
#include "sedq/view/sedq_grid.h"
#include "sedq/view/sedq_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTimer>

#include <functional>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int COUNTER_PROBE = 0;
constexpr int FSM_UART = 1;
constexpr int DEPTH = 256;
constexpr int BEFORE = DEPTH / 8; // samples before the trigger at the pre trigger position

bool high(const char* signal, int64_t sample)
{
    return standin::project::signal_value(signal, sample) == 1;
}

// The byte on the serial transmitter's data bus.
int uart_data(int64_t sample)
{
    int value = 0;
    for (int bit = 7; bit >= 0; --bit)
        value = value << 1 | standin::project::signal_value("uart_tx|data[" + std::to_string(bit) + "]", sample);
    return value;
}

class demo_capture_test : public jtag_widget_test::jtag_widget_fixture, public config_pane_user
{
public:
    using jtag_widget_fixture::refresh;
    void SetUp() override
    {
        jtag_widget_fixture::SetUp();
        m_folder = QDir::currentPath();
        standin::chi::set_delivery(standin::chi::delivery::thread);
    }

    void TearDown() override
    {
        jtag_widget_fixture::TearDown();
        QDir::setCurrent(m_folder);
    }

    // The demo in its project folder, where the host works; `instance` current.
    void open_the_demo(int instance)
    {
        open_demo();
        QDir::setCurrent(m_dir.path());
        show_instance(instance);
    }

    // A click on the instance's tab makes it current.
    void show_instance(int instance)
    {
        m_frame->get_layout_widget()->get_instance_tab_widget()->setCurrentIndex(instance);
        refresh();
        tabs()->setCurrentIndex(1); // the setup page
        refresh();
    }

    QTabWidget* tabs() const { return m_frame->get_layout_widget()->get_data_setup_tab_widget(-1); }
    QWidget* pane_widget() const override
    {
        return tabs() != nullptr ? tabs()->findChild<SEDQ_CONFIG_WIDGET*>() : nullptr;
    }
    SEDQ_VIEW* view() const { return m_frame->get_layout_widget()->get_view(); }

    // The row of the current instance's node table that shows `name`.
    int node(const std::string& name) const
    {
        const SDR_NODE_LIST& rows = data()->m_instances[size_t(m_instance)]->get_active_trigger()->state().trigger_list;
        for (int row = 0; row < rows.size(); ++row)
            if (rows[row].name == name)
                return row;
        ADD_FAILURE() << "no row " << name;
        return -1;
    }

    // The view has the keyboard focus in the active window, as after a click into it: its
    // commands reach it from the host's actions.
    void focus_view() const
    {
        QApplication::setActiveWindow(m_frame);
        view()->setFocus(Qt::MouseFocusReason);
        refresh();
    }

    QRect cell(int row, int column) const
    {
        QRect rect;
        EXPECT_TRUE(view()->get_item_rect(sedq_row_of_node(row), column, &rect)) << row << ", " << column;
        return rect;
    }

    // A click on a box of the node table (Storage Enable, Transitional).
    void click_box(const std::string& name, int column)
    {
        focus_view();
        QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, cell(node(name), column).center());
        refresh();
    }

    // The condition chosen from the menu of a condition cell (a level or a storage-qualifier
    // pattern).
    void choose_condition(const std::string& name, int column, int condition_action)
    {
        focus_view();
        const QRect rect = cell(node(name), column).adjusted(2, 2, -2, -2);
        QAction* wanted = action_of(condition_action);
        bool chosen = false;
        QTimer::singleShot(0, [&] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (popup == nullptr)
                return;
            if (popup->actions().contains(wanted) && wanted->isEnabled())
            {
                wanted->trigger();
                chosen = true;
            }
            popup->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, rect.center(), view()->mapToGlobal(rect.center()));
        QApplication::sendEvent(view(), &event);
        refresh();
        EXPECT_TRUE(chosen) << name << ": the menu offers the condition";
    }

    // Start Compilation, then Program: the device holds the design from sample 0 on.
    void compile_and_program_from_the_window()
    {
        QAction* compile = action_of(AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION);
        ASSERT_TRUE(compile->isEnabled());
        compile->trigger();
        QTest::qWait(20);
        refresh();
        ASSERT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);
        program_from_the_window();
    }

    void program_from_the_window()
    {
        ASSERT_TRUE(program_button()->isEnabled());
        program_button()->click();
        QTest::qWait(20);
        refresh();
    }

    void run_instance(int instance)
    {
        select({instance});
        run_to_the_end();
    }

    // File > Export of the data the current instance shows, with the dialog's proposals: a csv
    // file beside the document. Its rows, each split at the commas.
    std::vector<QStringList> export_rows()
    {
        tabs()->setCurrentIndex(0);
        refresh();
        QFile::remove(m_dir.filePath("demo.csv"));
        standin::tst::set_regtest_mode(true); // the host answers the dialog as a regression run would
        qui_prepare_for_modal_dlg_if_in_test(QString(), 0);
        emit m_frame->get_menu_record()->file_menu->aboutToShow(); // the File menu opens
        QAction* export_data = action_of(AFCQ_SEDQ_EXPORT_DATA_ACTION);
        EXPECT_TRUE(export_data->isEnabled());
        export_data->trigger();
        refresh();
        QFile file(m_dir.filePath("demo.csv"));
        std::vector<QStringList> rows;
        if (!file.open(QIODevice::ReadOnly))
        {
            ADD_FAILURE() << "nothing exported";
            return rows;
        }
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                rows.push_back(QString::fromUtf8(line).split(','));
        return rows;
    }

    // Every row of the export holds, for each channel, the design's value at the sample the
    // memory should hold there; the trigger sample is at place `before`.
    void expect_exported(const std::vector<int64_t>& expected, int before, const char* name)
    {
        ASSERT_EQ(int(expected.size()), DEPTH) << name << ": the hand computation finds the trigger";
        const std::vector<QStringList> rows = export_rows();
        ASSERT_EQ(int(rows.size()), DEPTH + 1) << name;
        const QStringList& header = rows[0];
        for (int place = 0; place < DEPTH; ++place)
        {
            const QStringList& row = rows[size_t(place) + 1];
            ASSERT_EQ(row.size(), header.size()) << name << ", place " << place;
            ASSERT_EQ(row[0] == "0", place == before) << name << ": the trigger sample is at time 0, place " << place;
            for (int column = 1; column < header.size(); ++column)
            {
                const std::string wire = header[column].toStdString();
                const int value = standin::project::signal_value(wire, expected[size_t(place)]);
                ASSERT_EQ(row[column].toStdString(), std::to_string(value))
                    << name << ": " << wire << " at place " << place << ", sample " << expected[size_t(place)];
            }
        }
    }

    SDR_DATA_LOG* shown_log(int view) const { return SEDQ_REPOSITORY::session(tx())->get_log_at(view, false); }

    // The current instance's flow page brought to the front, as a click on its tab would.
    SEDQ_STATE_WIDGET* show_flow_page()
    {
        SEDQ_STATE_WIDGET* page = nullptr;
        for (SEDQ_STATE_WIDGET* each : m_frame->findChildren<SEDQ_STATE_WIDGET*>())
            page = each->get_instance() == m_instance ? each : page;
        for (int index = 0; page != nullptr && index < tabs()->count(); ++index)
            if (tabs()->widget(index)->isAncestorOf(page))
                tabs()->setCurrentIndex(index);
        refresh();
        return page;
    }

    // The number of states picked in the State Diagram pane beside the flow.
    void choose_state_count(int count)
    {
        ASSERT_NE(show_flow_page(), nullptr);
        SEDQ_DIAGRAM_WIDGET* diagram = nullptr;
        for (SEDQ_DIAGRAM_WIDGET* each : m_frame->findChildren<SEDQ_DIAGRAM_WIDGET*>())
            diagram = each->get_instance() == m_instance ? each : diagram;
        ASSERT_NE(diagram, nullptr);
        diagram->get_state_count_selector()->set_current_count(count);
        refresh();
        EXPECT_EQ(tx()->get_state_count(m_instance), count);
        tabs()->setCurrentIndex(1);
        refresh();
    }

    // The text of a state (the first by default) of the current instance's flow, typed over on
    // its page.
    void type_flow(const QString& text, int state = 0)
    {
        SEDQ_STATE_WIDGET* page = show_flow_page();
        ASSERT_NE(page, nullptr);
        type_state(page, text, state);
        refresh();
        QString stored;
        tx()->get_state_text(state, &stored, m_instance);
        EXPECT_EQ(stored, text);
        tabs()->setCurrentIndex(1);
        refresh();
    }

    int m_instance = COUNTER_PROBE;
    QString m_folder;
};

// One storage qualifier as the user sets it on the current instance; its samples as the design
// drives them; where the trigger is met.
struct capture_case
{
    const char* name;
    const char* slug;                  // the test's and the picture's name
    int instance;
    std::function<void(demo_capture_test&)> set_up;
    bool (*keeps)(int64_t);
    bool (*triggers)(int64_t);
    bool record_breaks;
};

void PrintTo(const capture_case& c, std::ostream* out)
{
    *out << c.name;
}

// counter_probe's one level: ctrl|start high (every 32nd sample).
void trigger_on_start(demo_capture_test& t)
{
    t.choose("trigger_conditions_combo", "1");
    t.refresh();
    t.choose_condition("ctrl|start", SEDQ_COLUMN_FIRST_LEVEL, AFCQ_SEDQ_HIGH_CONDITION_ACTION);
}

bool start_high(int64_t s)
{
    return high("ctrl|start", s);
}

// counter_probe made state-based in the pane, storing as its flow says: Condition 1 is
// ctrl|start high (s % 32 == 0), Condition 2 count[4] high (s % 32 >= 16).
void state_based_counter(demo_capture_test& t)
{
    t.choose("trigger_flow_combo", "State-based");
    t.refresh();
    t.show_instance(COUNTER_PROBE); // the choice brings the flow's page to the front
    t.choose("storage_qualifier_type_combo", "State-based");
    t.refresh();
    t.show_instance(COUNTER_PROBE);
    t.choose_condition("ctrl|start", SEDQ_COLUMN_FIRST_LEVEL, AFCQ_SEDQ_HIGH_CONDITION_ACTION);
    t.choose_condition("counter|count[4]", SEDQ_COLUMN_FIRST_LEVEL + 1, AFCQ_SEDQ_HIGH_CONDITION_ACTION);
}

// The flow triggers at 32 and stops storing there; a start_store at u stores u + 1 on, a
// stop_store at 32 k keeps 32 k + 1 out: after the trigger the samples after a count[4]-high one.
bool stored_after_a_start(int64_t s)
{
    return s <= 32 || (s - 1) % 32 >= 16;
}

const capture_case CAPTURE_CASES[] = {
    {"input port: while count[3] is high", "input_port", COUNTER_PROBE,
     [](demo_capture_test& t) {
         trigger_on_start(t);
         t.choose("storage_qualifier_type_combo", "Input port");
         t.type("storage_qualifier_input_edit", "counter|count[3]");
         t.click("discontinuities_check");
     },
     [](int64_t s) { return high("counter|count[3]", s); }, start_high, true},
    {"transitional: where count[5] changes", "transitional", COUNTER_PROBE,
     [](demo_capture_test& t) {
         trigger_on_start(t);
         t.choose("storage_qualifier_type_combo", "Transitional");
         t.refresh();
         t.click_box("counter|count[5]", SEDQ_COLUMN_STORAGE_ENABLE);
         t.click_box("counter|count[5]", SEDQ_COLUMN_TRANSITIONAL);
     },
     [](int64_t s) { return s > 0 && high("counter|count[5]", s) != high("counter|count[5]", s - 1); }, start_high,
     false},
    {"conditional: while ctrl|start is high", "conditional", COUNTER_PROBE,
     [](demo_capture_test& t) {
         trigger_on_start(t);
         t.choose("storage_qualifier_type_combo", "Conditional");
         t.refresh();
         t.click_box("ctrl|start", SEDQ_COLUMN_STORAGE_ENABLE);
         t.choose_condition("ctrl|start", SEDQ_COLUMN_SQ_CONDITIONAL, AFCQ_SEDQ_HIGH_CONDITION_ACTION);
     },
     start_high, start_high, false},
    {"start/stop: from count[4] rising to its fall", "start_stop", COUNTER_PROBE,
     [](demo_capture_test& t) {
         trigger_on_start(t);
         t.choose("storage_qualifier_type_combo", "Start/Stop");
         t.refresh();
         t.click_box("counter|count[4]", SEDQ_COLUMN_STORAGE_ENABLE);
         t.choose_condition("counter|count[4]", SEDQ_COLUMN_SQ_START, AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION);
         t.choose_condition("counter|count[4]", SEDQ_COLUMN_SQ_STOP, AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION);
         t.click("discontinuities_check");
     },
     // Stored from the rise of count[4] (s % 32 == 16) to its fall (s % 32 == 0), both kept.
     [](int64_t s) { return s % 32 >= 16 || (s > 0 && s % 32 == 0); }, start_high, true},
    {"disable storage qualifier: every sample", "disabled", COUNTER_PROBE,
     [](demo_capture_test& t) {
         trigger_on_start(t);
         t.choose("storage_qualifier_type_combo", "Input port");
         t.type("storage_qualifier_input_edit", "counter|count[3]");
         t.click("disable_storage_qualifier_check");
     },
     qualified_memory::every_sample, start_high, false},
    // fsm_uart's flow stops storing after each sample where ctrl|done is high (s % 32 == 28)
    // and starts again at the next; the flow runs from the search's start at 32 on, and
    // triggers where busy is high with "n" on the data bus.
    {"state-based: the flow's stop_store and start_store", "state_based", FSM_UART,
     [](demo_capture_test& t) {
         t.choose("storage_qualifier_type_combo", "State-based");
         t.refresh();
         t.show_instance(FSM_UART); // the choice brings the flow's page to the front
         t.choose_condition("ctrl|done", SEDQ_COLUMN_FIRST_LEVEL, AFCQ_SEDQ_HIGH_CONDITION_ACTION);
         t.type_flow("if (Condition 1) stop_store; else start_store; if (Condition 2) trigger;");
     },
     [](int64_t s) { return s <= 32 || !high("ctrl|done", s - 1); },
     [](int64_t s) { return high("uart_tx|busy", s) && uart_data(s) == 'n'; }, false},
    // The statements of the trigger sample take effect as those of any other sample.
    {"state-based: stop_store, then trigger, on one sample", "stop_then_trigger", COUNTER_PROBE,
     [](demo_capture_test& t) {
         state_based_counter(t);
         t.type_flow("if (Condition 1) begin stop_store; trigger; end else if (Condition 2) start_store;");
     },
     stored_after_a_start, start_high, false},
    {"state-based: trigger, then stop_store, on one sample", "trigger_then_stop", COUNTER_PROBE,
     [](demo_capture_test& t) {
         state_based_counter(t);
         t.type_flow("if (Condition 1) begin trigger; stop_store; end else if (Condition 2) start_store;");
     },
     stored_after_a_start, start_high, false},
    // From 33 on the flow is in ST2, which keeps out the sample after each count[4]-high one.
    {"state-based: a goto on the trigger sample", "goto_at_trigger", COUNTER_PROBE,
     [](demo_capture_test& t) {
         state_based_counter(t);
         t.choose_state_count(2);
         t.type_flow("if (Condition 1) begin trigger; goto ST2; end");
         t.type_flow("if (Condition 2) stop_store; else start_store;", 1);
     },
     [](int64_t s) { return s <= 32 || !high("counter|count[4]", s - 1); }, start_high, false},
};

class demo_storage_qualifier : public demo_capture_test, public ::testing::WithParamInterface<capture_case>
{
};

TEST_P(demo_storage_qualifier, stores_what_the_panes_settings_pick_and_the_trigger_sample)
{
    const capture_case& c = GetParam();
    m_instance = c.instance;
    open_the_demo(c.instance);
    c.set_up(*this);
    compile_and_program_from_the_window();
    run_instance(c.instance);
    SDR_DATA_LOG* log = shown_log(c.instance);
    ASSERT_TRUE(log != nullptr && log->is_data_available(false)) << c.name;
    const std::vector<int64_t> expected = qualified_memory::expected(c.keeps, c.triggers, BEFORE, DEPTH);
    expect_exported(expected, BEFORE, c.name);
    EXPECT_TRUE(m_frame->grab().save(QString(SEDQ_BINARY_DIR) + "/demo_storage_" +
                                     QString::fromLatin1(c.slug) + ".png", "PNG"));
    for (int place = 1; place < DEPTH; ++place)
        ASSERT_EQ(log->is_break_previous(place),
                  c.record_breaks && expected[size_t(place)] != expected[size_t(place) - 1] + 1)
            << c.name << ", place " << place;
    EXPECT_TRUE(standin::msg::internal_errors().empty()) << c.name;
}

std::string case_name(const ::testing::TestParamInfo<capture_case>& info)
{
    return info.param.slug;
}

INSTANTIATE_TEST_SUITE_P(pane, demo_storage_qualifier, ::testing::ValuesIn(CAPTURE_CASES), case_name);

// fsm_uart's flow without a trigger statement never triggers: the run waits in its state until
// the user stops it, and brings no data.
TEST_F(demo_capture_test, a_flow_without_a_trigger_statement_waits_until_stop)
{
    m_instance = FSM_UART;
    open_the_demo(FSM_UART);
    type_flow("if (Condition 2) goto ST1;");
    compile_and_program_from_the_window();
    SDR_DATA_LOG* before = shown_log(FSM_UART);
    select({FSM_UART});
    press(ACTION_RUN);
    QTest::qWait(300);
    refresh();
    EXPECT_EQ(status_text(FSM_UART), "Currently in state 1: ST1");
    EXPECT_TRUE(tx()->is_instance_acquiring(FSM_UART));
    press(ACTION_STOP);
    end_all_runs();
    EXPECT_EQ(status_text(FSM_UART), SEDQ_INSTANCE_WIDGET::SEDQ_NOT_RUNNING_STR);
    EXPECT_EQ(shown_log(FSM_UART), before) << "no new data";
}

// ---- the trigger in --------------------------------------------------------------------------

// counter_probe waits for its trigger in, then for ctrl|start high; the samples before the
// search starts (32) are the pre-trigger part of the memory.
struct trigger_in_case
{
    const char* name;
    void (*set_up)(demo_capture_test&);
    std::vector<int> runs;             // the instances of the run
    int64_t (*trigger_in)();           // where the trigger in is met
};

int64_t first_from(int64_t from, bool (*holds)(int64_t))
{
    while (!holds(from))
        ++from;
    return from;
}

void PrintTo(const trigger_in_case& c, std::ostream* out)
{
    *out << c.name;
}

const trigger_in_case TRIGGER_IN_CASES[] = {
    // fsm_uart triggers where busy is high with "n" on the data bus; its trigger out rises there.
    {"from fsm_uart's trigger out, rising",
     [](demo_capture_test& t) {
         t.click("trigger_in_group");
         t.click("trigger_in_instance_radio");
         t.choose("trigger_in_instance_combo", "fsm_uart");
         t.choose("trigger_in_pattern_combo", "Rising Edge");
     },
     {COUNTER_PROBE, FSM_UART},
     [] { return first_from(BEFORE, [](int64_t s) { return high("uart_tx|busy", s) && uart_data(s) == 'n'; }); }},
    {"from the clock pin, falling",
     [](demo_capture_test& t) {
         t.click("trigger_in_group");
         t.click("trigger_in_pin_radio");
         t.type("trigger_in_pin_edit", "clk");
         t.choose("trigger_in_pattern_combo", "Falling Edge");
     },
     {COUNTER_PROBE},
     [] { return first_from(BEFORE, [](int64_t s) { return high("clk", s - 1) && !high("clk", s); }); }},
};

class demo_trigger_in : public demo_capture_test, public ::testing::WithParamInterface<trigger_in_case>
{
};

TEST_P(demo_trigger_in, is_met_before_the_instances_own_level)
{
    const trigger_in_case& c = GetParam();
    open_the_demo(COUNTER_PROBE);
    trigger_on_start(*this);
    c.set_up(*this);
    compile_and_program_from_the_window();
    select(c.runs);
    run_to_the_end();
    const int64_t met = c.trigger_in();
    const int64_t trigger = first_from(met + 1, start_high);
    ASSERT_GT(trigger, first_from(BEFORE, start_high)) << "the trigger in moves the trigger";
    const std::vector<int64_t> expected = qualified_memory::expected(
        qualified_memory::every_sample, [trigger](int64_t s) { return s == trigger; }, BEFORE, DEPTH);
    expect_exported(expected, BEFORE, c.name);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

std::string trigger_in_name(const ::testing::TestParamInfo<trigger_in_case>& info)
{
    return info.index == 0 ? "from_an_instance" : "from_a_pin";
}

INSTANTIATE_TEST_SUITE_P(pane, demo_trigger_in, ::testing::ValuesIn(TRIGGER_IN_CASES), trigger_in_name);

// ---- the power-up trigger --------------------------------------------------------------------

// counter_probe's power-up trigger waits for count[9] to rise (sample 512); its run-time trigger
// for ctrl|start high. Programming captures the power-up trigger from sample 0; Read Data on
// the "Power-Up Trigger" row brings that capture into the power-up view, and Run with that row
// selected runs the instance with its run-time trigger, from where the device's clock stands.
TEST_F(demo_capture_test, the_power_up_trigger_is_captured_at_programming_and_read_from_its_row)
{
    open_the_demo(COUNTER_PROBE);
    trigger_on_start(*this);
    select({COUNTER_PROBE});
    press(ACTION_ENABLE_POWERUP);
    ASSERT_TRUE(tx()->is_powerup_trigger(-1)) << "the power-up view is current";
    ASSERT_EQ(powerup_row(COUNTER_PROBE).data().toString(), "Power-Up Trigger");
    tabs()->setCurrentIndex(1);
    refresh();
    choose_condition("counter|count[9]", SEDQ_COLUMN_FIRST_LEVEL, AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION);
    compile_and_program_from_the_window();

    select({}, {COUNTER_PROBE});
    press(ACTION_READ);
    SDR_DATA_LOG* power_up = shown_log(COUNTER_PROBE + 1);
    ASSERT_TRUE(power_up != nullptr && power_up->is_power_up_trigger() && power_up->is_data_available(false));
    // A double click on the row shows the power-up view.
    const QModelIndex row = powerup_row(COUNTER_PROBE);
    QTreeView* list = pane()->get_tree();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(row).center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(row).center());
    refresh();
    ASSERT_TRUE(tx()->is_powerup_trigger(-1));
    const int64_t rise = first_from(BEFORE, [](int64_t s) { return high("counter|count[9]", s) && !high("counter|count[9]", s - 1); });
    expect_exported(qualified_memory::expected(
                        qualified_memory::every_sample, [rise](int64_t s) { return s == rise; }, BEFORE, DEPTH),
                    BEFORE, "the power-up capture");

    select({}, {COUNTER_PROBE});
    run_to_the_end();
    SDR_DATA_LOG* run = shown_log(COUNTER_PROBE);
    ASSERT_TRUE(run != nullptr && !run->is_power_up_trigger() && run->is_data_available(false));
    const int64_t start = rise - BEFORE + DEPTH; // the run starts where the power-up capture ended
    const int64_t trigger = first_from(start + BEFORE, start_high);
    for (int place = 0; place < DEPTH; ++place)
    {
        uint64_t count = 0;
        for (int bit = 0; bit < 16; ++bit)
            count = count << 1 | (run->get_bit(bit, place) ? 1 : 0); // channels count[15] .. count[0]
        ASSERT_EQ(count, uint64_t(trigger - BEFORE + place)) << "place " << place;
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// ---- the device's clock ----------------------------------------------------------------------

// The sample clock starts at 0 when the device is programmed and runs on from one acquisition
// to the next: a second run starts where the first ended (256), a run after programming again
// at 0.
TEST_F(demo_capture_test, programming_starts_the_device_clock_at_0_and_runs_go_on_from_it)
{
    open_the_demo(COUNTER_PROBE);
    trigger_on_start(*this);
    compile_and_program_from_the_window();
    const struct
    {
        const char* name;
        bool program_first;
        int64_t start;
    } runs[] = {{"the first run", false, 0}, {"the next run", false, DEPTH}, {"a run after Program", true, 0}};
    for (const auto& run : runs)
    {
        if (run.program_first)
            program_from_the_window();
        run_instance(COUNTER_PROBE);
        const int64_t trigger = first_from(run.start + BEFORE, start_high);
        expect_exported(qualified_memory::expected(
                            qualified_memory::every_sample, [trigger](int64_t s) { return s == trigger; }, BEFORE,
                            DEPTH, run.start),
                        BEFORE, run.name);
    }
}

// ---- memory --------------------------------------------------------------------------------

// At 128 K samples counter_probe's 21 channels need 269 medium blocks, and the device has 50:
// the compile fails and says so, and the programming file stays as it was.
TEST_F(demo_capture_test, a_compile_needing_more_memory_than_the_device_has_fails_with_the_reason)
{
    open_the_demo(COUNTER_PROBE);
    QFile sof(m_dir.filePath("output/demo_top.sof"));
    ASSERT_TRUE(sof.open(QIODevice::ReadOnly));
    const QByteArray before = sof.readAll();
    sof.close();
    choose("sample_depth_combo", "128 K");
    refresh();
    EXPECT_EQ(header(6), "Medium: 269/50");
    action_of(AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION)->trigger();
    QTest::qWait(20);
    refresh();
    ASSERT_FALSE(standin::msg::posted().empty());
    EXPECT_NE(standin::msg::posted().back().text.find(
                  "Compilation failed: the analyzer instances need 269 medium memory blocks, and the device has "
                  "50 to spare"),
              std::string::npos)
        << standin::msg::posted().back().text;
    ASSERT_TRUE(sof.open(QIODevice::ReadOnly));
    EXPECT_EQ(sof.readAll(), before);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
}
} // namespace
