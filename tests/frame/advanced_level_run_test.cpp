// Advanced and state-based levels from the canvas to the device, on the bundled demo, the way a
// user gets there: the condition drawn with the mouse, the keys, drops from the node table and
// the Object Library and the Object Properties dialog; the document saved and opened again;
// the toolbar's compile, the JTAG pane's Program and the instance manager's Run. The trigger
// lands where the demo's stimuli put the drawn condition first, and a second drawing moves it.
//
// The demo's stimuli: the counter "counter|count" is the sample number. The serial transmitter
// sends "Vantrel" over and over, one 52-sample frame per character, busy for the first 40
// samples of each: frame 0 ('V') is samples 0 .. 51, busy over 0 .. 39. A run of depth 256
// starts its search 32 samples after it starts, so the trigger is stored at sample 32 of the
// log; the first run after programming starts at sample 0, the next where the last capture ended.
#include "canvas_user_steps.h"
#include "jtag_widget_test_support.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/qui_control.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/frame/sedq_config_check_box.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/state_flow/sedq_resources_widget.h"
#include "sedq/view/sedq_view.h"
#include "sedq/model/sedq_repository.h"

#include <QCheckBox>
#include <QMessageBox>

namespace
{
constexpr int COUNTER_INSTANCE = 0;
constexpr int SERIAL_INSTANCE = 1;
constexpr int SECOND_LEVEL = 1; // counted from 0
constexpr int TRIGGER_IN_LOG = 32;

class advanced_level_run : public jtag_widget_test::jtag_widget_fixture
{
protected:
    void SetUp() override
    {
        jtag_widget_fixture::SetUp();
        // The host works in the project's folder.
        m_previous_folder = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        open_demo();
    }

    void TearDown() override
    {
        jtag_widget_fixture::TearDown();
        QDir::setCurrent(m_previous_folder);
    }

    QString path() const { return m_dir.filePath("demo.vtl"); }

    // The canvas of the instance's second level, with the steps a user takes on it.
    canvas_user_steps canvas_of(int instance)
    {
        return canvas_steps(show_trigger_level(m_frame, instance, SECOND_LEVEL));
    }
    // The same for the trigger the window shows now.
    canvas_user_steps shown_canvas() { return canvas_steps(show_level_page(m_frame, SECOND_LEVEL)); }

    canvas_user_steps canvas_steps(SEDQ_OBJECT_WIDGET* canvas)
    {
        m_canvas = canvas;
        EXPECT_TRUE(m_canvas != nullptr && m_canvas->get_object_list() != nullptr);
        m_canvas->resize(900, 500);
        settle();
        return canvas_user_steps(m_frame, m_canvas);
    }

    SEDQ_OBJECT* result() const
    {
        QList<SEDQ_OBJECT*>* list = m_canvas->get_object_list();
        const int index = sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT);
        return index >= 0 ? list->at(index) : nullptr;
    }

    SDR_DATA_TRIGGER* data_trigger(int instance) const
    {
        return SEDQ_REPOSITORY::session(tx())->get_trigger_at(instance, false)->get_data_trigger();
    }

    // The level's equation as the repository stores it, and as its objects write it.
    std::string stored_equation(int instance) const
    {
        return data_trigger(instance)->get_advanced_trigger_expression(SECOND_LEVEL);
    }
    std::string written_equation(int instance) const
    {
        SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::session(tx())->get_trigger_at(instance, false);
        auto* condition = static_cast<SEDQ_TRIGGER_OBJECT*>(trigger->get_advanced_trigger_root(SECOND_LEVEL, false));
        std::string equation;
        if (condition != nullptr)
            condition->get_equation(&equation, data()->get_mnemonics(), trigger, SECOND_LEVEL + 1, false);
        return equation;
    }

    // File > Save, the window closed and the file opened again.
    void save_and_reopen()
    {
        ASSERT_TRUE(m_frame->save_file(path()));
        close_frame(m_frame);
        m_frame = nullptr;
        m_canvas = nullptr;
        settle();
        m_frame = open_frame(path());
        tx()->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
        refresh();
    }

    // The node table's bus `bus` dropped at `at`, a Bus Value below it and an Equality right of
    // them from the Object Library, both wired into the Equality, and `value` typed into the
    // Bus Value's Object Properties: the Equality, loose on the canvas.
    SEDQ_OBJECT* draw_equality(const canvas_user_steps& user, const QString& bus, const QString& value, QPoint at)
    {
        user.drop_node(bus, at);
        return draw_comparison(user, QStringLiteral("Equality"), user.last_of(SEDQ_OBJECT::BUS), value, at);
    }

    // The Object Library's comparison `entry` right of `data` (at `at`), a Bus Value below it,
    // both wired into the comparison, and `value` typed into the Bus Value's Object Properties:
    // the comparison, loose on the canvas.
    SEDQ_OBJECT* draw_comparison(const canvas_user_steps& user, const QString& entry, SEDQ_OBJECT* data,
                                 const QString& value, QPoint at)
    {
        user.drop_palette_entry(QStringLiteral("Bus Value"), at + QPoint(0, 80));
        user.drop_palette_entry(entry, at + QPoint(220, 10));
        SEDQ_OBJECT* constant = user.last_of(SEDQ_OBJECT::BUS_VALUE);
        SEDQ_OBJECT* comparison = user.last_of(SEDQ_OBJECT::COMPARISON_OPERATOR);
        EXPECT_TRUE(data != nullptr && constant != nullptr && comparison != nullptr);
        if (data == nullptr || constant == nullptr || comparison == nullptr)
            return nullptr;
        user.connect_output(data, comparison);
        user.connect_output(constant, comparison);
        EXPECT_EQ(comparison->get_children().size(), 2);
        user.properties(constant, [value](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
            canvas_user_steps::type_setting(dialog, QStringLiteral("Bus Value"), value);
        });
        return comparison;
    }

    // The counter instance current, its second level made advanced in the node table's header.
    void make_second_level_advanced()
    {
        tx()->set_instance(COUNTER_INSTANCE);
        m_frame->get_layout_widget()->get_data_setup_tab_widget(SEDQ_CURRENT)->setCurrentIndex(1);
        refresh();
        QComboBox* level_type = m_frame->get_layout_widget()->get_view()->get_level_type_combo(3 + SECOND_LEVEL);
        ASSERT_NE(level_type, nullptr);
        level_type->setCurrentIndex(level_type->findText(QStringLiteral("Advanced")));
        refresh();
        ASSERT_TRUE(tx()->is_advanced_trigger(SECOND_LEVEL, COUNTER_INSTANCE));
    }

    // The counter's second level drawn as the count equal to `value`, whole and without a problem.
    void draw_count_equal_to(const canvas_user_steps& user, const QString& value)
    {
        ASSERT_NE(result(), nullptr);
        SEDQ_OBJECT* equality = draw_equality(user, QStringLiteral("counter|count[15..0]"), value, QPoint(80, 300));
        ASSERT_NE(equality, nullptr);
        user.connect_output(equality, result());
        ASSERT_EQ(equality->get_parent(), result());
        refresh();
        EXPECT_EQ(m_canvas->get_error(), SEDQ_OBJECT::ERROR_NONE);
        EXPECT_EQ(stored_equation(COUNTER_INSTANCE), written_equation(COUNTER_INSTANCE));
    }

    // The drawing saved and opened again, where the level stores the equation its objects
    // write; then compiled, programmed and run: the log the instance then shows.
    SDR_DATA_LOG* save_reopen_and_run(int instance)
    {
        save_and_reopen();
        EXPECT_EQ(stored_equation(instance), written_equation(instance));
        return compile_program_and_run(instance);
    }

    // The toolbar's compile, the JTAG pane's Program, and Run on the instance; the log it then
    // shows (the one it showed before when the run brought no data).
    SDR_DATA_LOG* compile_program_and_run(int instance)
    {
        compile_and_program_from_the_window();
        return run(instance);
    }

    // The toolbar's compile and the JTAG pane's Program: "Ready to acquire" then.
    void compile_and_program_from_the_window()
    {
        QAction* compile = action_of(AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION);
        EXPECT_TRUE(compile->isEnabled());
        compile->trigger();
        QTest::qWait(20);
        refresh();
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);
        program();
    }

    void program()
    {
        EXPECT_TRUE(program_button()->isEnabled());
        program_button()->click();
        QTest::qWait(20);
        refresh();
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    }

    // Run on the instance alone; the log it then shows, when that has data.
    SDR_DATA_LOG* run(int instance)
    {
        select({instance});
        press(ACTION_RUN);
        end_all_runs();
        SDR_DATA_LOG* log = SEDQ_REPOSITORY::session(tx())->get_log_at(instance, false);
        return log != nullptr && log->is_data_available(false) ? log : nullptr;
    }

    static int row_of(SDR_DATA_LOG* log, const std::string& name)
    {
        for (size_t i = 0; i < log->m_wire_names.size(); ++i)
            if (log->m_wire_names[i] == name)
                return int(i);
        ADD_FAILURE() << "no channel " << name;
        return 0;
    }

    // The bus "<name>[width-1 .. 0]" of the log at a sample.
    static unsigned bus_at(SDR_DATA_LOG* log, const std::string& name, int width, int sample)
    {
        unsigned value = 0;
        for (int bit = width - 1; bit >= 0; --bit)
            value = value << 1 | (log->get_bit(row_of(log, name + "[" + std::to_string(bit) + "]"), sample) ? 1u : 0u);
        return value;
    }

    QString m_previous_folder;
    SEDQ_OBJECT_WIDGET* m_canvas = nullptr;
};

// The serial instance is state based; its flow triggers on its second level, whose preset is
// "busy while the bus holds 'n'" (met first at sample 104, frame 2). Drawn as busy alone it is
// met at once, at sample 32 in frame 0 ('V'); drawn as "busy while the bus holds 'l'" it is met
// in a frame of 'l'.
TEST_F(advanced_level_run, a_state_based_level_triggers_where_its_drawn_condition_first_holds)
{
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR) << "the demo is shipped compiled";
    const std::string preset = stored_equation(SERIAL_INSTANCE);
    {
        canvas_user_steps user = canvas_of(SERIAL_INSTANCE);
        ASSERT_NE(result(), nullptr);
        user.click(user.last_of(SEDQ_OBJECT::COMPARISON_OPERATOR));
        user.key(Qt::Key_Delete);
        user.click(user.last_of(SEDQ_OBJECT::LOGICAL_OPERATOR));
        user.key(Qt::Key_R);
        refresh();
        EXPECT_EQ(stored_equation(SERIAL_INSTANCE), "'uart_tx|busy'");
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR) << "a changed condition needs a compile";
        // Edit > Undo twice on the canvas brings the preset back, as compiled; Redo twice takes
        // it away again.
        QAction* undo = m_frame->get_menu_record()->edit_menu->undo_action;
        QAction* redo = m_frame->get_menu_record()->edit_menu->redo_action;
        m_canvas->setFocus();
        undo->trigger();
        undo->trigger();
        refresh();
        EXPECT_EQ(stored_equation(SERIAL_INSTANCE), preset);
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);
        redo->trigger();
        redo->trigger();
        refresh();
        EXPECT_EQ(stored_equation(SERIAL_INSTANCE), "'uart_tx|busy'");
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    }
    SDR_DATA_LOG* log = save_reopen_and_run(SERIAL_INSTANCE);
    EXPECT_EQ(stored_equation(SERIAL_INSTANCE), "'uart_tx|busy'");
    ASSERT_NE(log, nullptr);
    const int t = log->get_data_trigger_position(-1);
    ASSERT_EQ(t, TRIGGER_IN_LOG);
    EXPECT_TRUE(log->get_bit(row_of(log, "uart_tx|busy"), t));
    EXPECT_EQ(bus_at(log, "uart_tx|data", 8, t), unsigned('V')) << "frame 0, not the preset's 'n'";
    EXPECT_EQ(bus_at(log, "uart_tx|data", 8, 0), unsigned('V')) << "the log starts at sample 0";

    // Result <- And(busy, data == 'l'), the busy line taken from the Result onto the And.
    // Whenever the search starts, the trigger falls in a frame of 'l' while busy.
    {
        canvas_user_steps user = canvas_of(SERIAL_INSTANCE);
        SEDQ_OBJECT* equality = draw_equality(user, QStringLiteral("uart_tx|data[7..0]"), QString::number(int('l')),
                                              QPoint(200, 220));
        user.drop_palette_entry(QStringLiteral("Logical And"), QPoint(640, 230));
        SEDQ_OBJECT* conjunction = user.last_of(SEDQ_OBJECT::LOGICAL_OPERATOR);
        SEDQ_OBJECT* busy = result()->get_children().value(0);
        ASSERT_TRUE(equality && conjunction && busy);
        user.connect_output(equality, conjunction);
        user.connect_output(busy, conjunction);
        user.connect_output(conjunction, result());
        ASSERT_EQ(conjunction->get_parent(), result());
        ASSERT_EQ(conjunction->get_children().size(), 2);
        refresh();
        EXPECT_EQ(m_canvas->get_error(), SEDQ_OBJECT::ERROR_NONE);
        EXPECT_EQ(stored_equation(SERIAL_INSTANCE), written_equation(SERIAL_INSTANCE));
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    }
    log = save_reopen_and_run(SERIAL_INSTANCE);
    ASSERT_NE(log, nullptr);
    ASSERT_EQ(log->get_data_trigger_position(-1), TRIGGER_IN_LOG);
    EXPECT_TRUE(log->get_bit(row_of(log, "uart_tx|busy"), t));
    EXPECT_EQ(bus_at(log, "uart_tx|data", 8, t), unsigned('l'));
    EXPECT_NE(stored_equation(SERIAL_INSTANCE), preset);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// The counter instance's second level made advanced in the node table's header and drawn as
// the count equal to a value: the trigger is the sample whose count is that value, the first
// level (all don't care) being met at once. The value changed in Object Properties moves it:
// a Bus Value is configurable at run time unless its box is cleared, so the device programmed
// with the drawing runs the new value without a compile.
TEST_F(advanced_level_run, an_advanced_level_triggers_where_the_count_meets_the_drawn_value)
{
    make_second_level_advanced();
    {
        canvas_user_steps user = canvas_of(COUNTER_INSTANCE);
        draw_count_equal_to(user, QStringLiteral("300"));
        EXPECT_NE(stored_equation(COUNTER_INSTANCE)
                      .find("compare('bus_value_0':(variable(300)),==,'bus_0':({'counter|count[15]',"),
                  std::string::npos)
            << stored_equation(COUNTER_INSTANCE);
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    }
    SDR_DATA_LOG* log = save_reopen_and_run(COUNTER_INSTANCE);
    ASSERT_NE(log, nullptr);
    int t = log->get_data_trigger_position(-1);
    ASSERT_GT(t, 0);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t), 300u);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t - 1), 299u);

    {
        canvas_user_steps user = canvas_of(COUNTER_INSTANCE);
        user.properties(user.last_of(SEDQ_OBJECT::BUS_VALUE), [](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
            canvas_user_steps::type_setting(dialog, QStringLiteral("Bus Value"), QStringLiteral("700"));
        });
        refresh();
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    }
    save_and_reopen();
    EXPECT_EQ(stored_equation(COUNTER_INSTANCE), written_equation(COUNTER_INSTANCE));
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    log = run(COUNTER_INSTANCE);
    ASSERT_NE(log, nullptr);
    t = log->get_data_trigger_position(-1);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t), 700u);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t - 1), 699u);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
} // namespace

namespace
{
// What the device says when a run needs a level whose drawing writes no whole equation.
std::string last_refusal()
{
    const auto& posted = standin::msg::posted();
    return posted.empty() ? std::string() : posted.back().text;
}

// A drawn condition that is empty, or that the canvas reports a problem in, does not run as
// some other condition: the run fails with the level and the reason.
TEST_F(advanced_level_run, a_run_refuses_a_drawn_condition_that_is_empty_or_has_an_error)
{
    canvas_user_steps user = canvas_of(SERIAL_INSTANCE);
    user.click(user.last_of(SEDQ_OBJECT::COMPARISON_OPERATOR));
    user.key(Qt::Key_Delete);
    user.click(user.last_of(SEDQ_OBJECT::LOGICAL_OPERATOR));
    user.key(Qt::Key_Delete);
    refresh();
    ASSERT_TRUE(result()->get_children().isEmpty());
    EXPECT_EQ(stored_equation(SERIAL_INSTANCE), "");
    ASSERT_TRUE(m_frame->save_file(path()));
    const SDR_DATA_LOG* shown = tx()->get_tx_session()->get_log_at(SERIAL_INSTANCE, false);
    EXPECT_EQ(compile_program_and_run(SERIAL_INSTANCE), shown) << "no new data";
    EXPECT_NE(last_refusal().find("Condition 2: the condition is empty"), std::string::npos) << last_refusal();

    // An Equality fed by the busy line alone (through the Bus the canvas puts between them).
    user = canvas_of(SERIAL_INSTANCE);
    user.drop_palette_entry(QStringLiteral("Equality"), QPoint(450, 300));
    SEDQ_OBJECT* equality = user.last_of(SEDQ_OBJECT::COMPARISON_OPERATOR);
    SEDQ_OBJECT* busy = user.named(QStringLiteral("uart_tx|busy"));
    ASSERT_TRUE(equality != nullptr && busy != nullptr);
    user.connect_output(busy, equality);
    user.connect_output(equality, result());
    refresh();
    EXPECT_EQ(m_canvas->get_error(), SEDQ_OBJECT::ERROR_WRONG_INPUT_COUNT);
    ASSERT_TRUE(m_frame->save_file(path()));
    EXPECT_EQ(compile_program_and_run(SERIAL_INSTANCE), shown) << "no new data";
    EXPECT_NE(last_refusal().find("Condition 2: the condition is incomplete or has an error"), std::string::npos)
        << last_refusal();
}

// A Bus of five copies of the 16-bit count is an 80-bit bus, c * (2^64 + 2^48 + 2^32 + 2^16 + 1)
// for a count c: at most 2^64 - 1, the largest value the canvas takes, only where the count is
// 0 again, at sample 65536.
TEST_F(advanced_level_run, an_80_bit_bus_is_compared_with_a_value_of_64_bits)
{
    make_second_level_advanced();
    {
        canvas_user_steps user = canvas_of(COUNTER_INSTANCE);
        user.drop_palette_entry(QStringLiteral("Bus"), QPoint(80, 300));
        SEDQ_OBJECT* wide = user.last_of(SEDQ_OBJECT::BUS);
        ASSERT_NE(wide, nullptr);
        // Each copy dropped onto the Bus becomes its input.
        for (int copy = 0; copy < 5; ++copy)
            user.drop_node(QStringLiteral("counter|count[15..0]"), user.centre_of(wide));
        ASSERT_EQ(wide->get_children().size(), 5);
        SEDQ_OBJECT* comparison = draw_comparison(user, QStringLiteral("Less Than or Equal To"), wide,
                                                  QStringLiteral("18446744073709551615"), QPoint(80, 300));
        ASSERT_NE(comparison, nullptr);
        user.connect_output(comparison, result());
        ASSERT_EQ(comparison->get_parent(), result());
        refresh();
        EXPECT_EQ(m_canvas->get_error(), SEDQ_OBJECT::ERROR_NONE);
        EXPECT_NE(stored_equation(COUNTER_INSTANCE).find("18446744073709551615"), std::string::npos)
            << stored_equation(COUNTER_INSTANCE);
    }
    SDR_DATA_LOG* log = save_reopen_and_run(COUNTER_INSTANCE);
    ASSERT_NE(log, nullptr) << last_refusal();
    const int t = log->get_data_trigger_position(-1);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t), 0u);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t - 1), 65535u);
    EXPECT_EQ(bus_at(log, "counter|count", 16, 0), 65536u - 32u) << "the sample 65536 is 32 places in";
}

// In the power-up view the drawing is the one both triggers share: the Delete key, like the
// Delete command, takes nothing from it there, and the run-time trigger still runs as drawn.
TEST_F(advanced_level_run, the_delete_key_takes_nothing_from_the_drawing_in_the_power_up_view)
{
    make_second_level_advanced();
    {
        canvas_user_steps user = canvas_of(COUNTER_INSTANCE);
        draw_count_equal_to(user, QStringLiteral("300"));
    }
    select({COUNTER_INSTANCE});
    press(ACTION_ENABLE_POWERUP);
    ASSERT_TRUE(tx()->is_powerup_trigger(-1));
    {
        canvas_user_steps user = shown_canvas();
        ASSERT_TRUE(tx()->is_powerup_trigger(-1));
        SEDQ_OBJECT* constant = user.last_of(SEDQ_OBJECT::BUS_VALUE);
        ASSERT_NE(constant, nullptr);
        const int objects = m_canvas->get_object_list()->size();
        user.click(constant);
        ASSERT_TRUE(constant->is_selected());
        user.key(Qt::Key_Delete);
        refresh();
        EXPECT_EQ(m_canvas->get_object_list()->size(), objects);
        EXPECT_EQ(user.last_of(SEDQ_OBJECT::BUS_VALUE), constant);
    }
    // A double click on the instance's row shows its run-time trigger again.
    QTreeView* list = pane()->get_tree();
    const QPoint row = list->visualRect(cell(COUNTER_INSTANCE, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    refresh();
    ASSERT_FALSE(tx()->is_powerup_trigger(-1));
    SDR_DATA_LOG* log = compile_program_and_run(COUNTER_INSTANCE);
    ASSERT_NE(log, nullptr) << last_refusal();
    const int t = log->get_data_trigger_position(-1);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t), 300u);
    EXPECT_EQ(bus_at(log, "counter|count", 16, t - 1), 299u);
}
} // namespace

namespace
{
constexpr int SERIAL_POWER_UP = SERIAL_INSTANCE + 1; // the power-up view follows its instance
constexpr int FRAME = 52;                            // samples per character the transmitter sends
constexpr int BUSY = 40;                             // of which it is busy for the first

// What a run loads into the programmed device: the settings a user made configurable at run time,
// on a canvas and in a flow. Changing them keeps "Ready to acquire" and moves the next trigger;
// switching what is configurable, or changing what is not, needs a compile.
class runtime_setting_run : public advanced_level_run
{
protected:
    // Bus Value of the serial instance's preset (110, 'n'), in the Object Properties dialog.
    void bus_value_properties(int view, std::function<void(SEDQ_OBJECT_PROPERTIES_DLG*)> step)
    {
        canvas_user_steps user = canvas_of(view);
        SEDQ_OBJECT* value = user.last_of(SEDQ_OBJECT::BUS_VALUE);
        ASSERT_NE(value, nullptr);
        user.properties(value, step);
        refresh();
    }

    // The setting's "Allow this setting to be configurable at runtime" box clicked.
    static void switch_runtime_box(SEDQ_OBJECT_PROPERTIES_DLG* dialog, const QString& name)
    {
        canvas_user_steps::select_setting(dialog, name);
        QCheckBox* box = dialog->get_parameter_widget()->get_configurable_check();
        ASSERT_TRUE(box->isEnabled());
        box->click();
    }

    // The log's trigger sample holds `byte` and is the first busy sample of its frame.
    static void expect_frame_start(SDR_DATA_LOG* log, char byte)
    {
        ASSERT_NE(log, nullptr);
        const int t = log->get_data_trigger_position(-1);
        ASSERT_EQ(t, TRIGGER_IN_LOG);
        EXPECT_EQ(bus_at(log, "uart_tx|data", 8, t), unsigned(byte));
        EXPECT_TRUE(log->get_bit(row_of(log, "uart_tx|busy"), t));
        EXPECT_FALSE(log->get_bit(row_of(log, "uart_tx|busy"), t - 1));
    }

    // ---- the serial instance's state-based flow ----

    template <class PANE> PANE* pane_of(int instance) const
    {
        for (PANE* pane : m_frame->findChildren<PANE*>())
            if (pane->get_instance() == instance)
                return pane;
        return nullptr;
    }

    // The flow page brought to the front, with one counter.
    void show_flow_with_a_counter()
    {
        tx()->set_instance(SERIAL_INSTANCE);
        refresh();
        ASSERT_NE(pane_of<SEDQ_STATE_WIDGET>(SERIAL_INSTANCE), nullptr);
        bring_to_front(pane_of<SEDQ_STATE_WIDGET>(SERIAL_INSTANCE));
        pane_of<SEDQ_RESOURCES_WIDGET>(SERIAL_INSTANCE)->get_counter_combo()->set_current_count(1);
        refresh();
    }

    // The resources pane's "Comparison values" box clicked.
    void switch_comparison_values_box()
    {
        for (SEDQ_CONFIG_CHECK_BOX* box : pane_of<SEDQ_RESOURCES_WIDGET>(SERIAL_INSTANCE)->get_check_boxes())
            if (box->get_option() == SCI_RUNTIME_CONFIG_COMPARISON_VALUES)
            {
                ASSERT_TRUE(box->isEnabled());
                box->click();
            }
        refresh();
    }

    // The first state's text selected and typed anew.
    void type_flow(const QString& text)
    {
        type_state(pane_of<SEDQ_STATE_WIDGET>(SERIAL_INSTANCE), text);
        refresh();
        QString body;
        tx()->get_state_text(0, &body, SERIAL_INSTANCE);
        EXPECT_EQ(body, text);
    }
};

// 110 -> 111 -> 114 ('r'), made configurable at run time: the first 'r' frame, frame 4, starts
// at sample 208 = 4 * 52, past the run's first 32 samples; the log starts 32 samples before it,
// at 176, in frame 3 ('t'). The preset would have met frame 2 ('n').
TEST_F(runtime_setting_run, a_value_configurable_at_run_time_is_loaded_with_the_run)
{
    program();
    bus_value_properties(SERIAL_INSTANCE, [](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
        switch_runtime_box(dialog, QStringLiteral("Bus Value"));
    });
    EXPECT_NE(stored_equation(SERIAL_INSTANCE).find("variable(110)"), std::string::npos)
        << stored_equation(SERIAL_INSTANCE);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR) << "the box changes the design";
    compile_and_program_from_the_window();
    for (const char* value : {"111", "114"})
    {
        bus_value_properties(SERIAL_INSTANCE, [value](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
            canvas_user_steps::type_setting(dialog, QStringLiteral("Bus Value"), value);
        });
        EXPECT_NE(stored_equation(SERIAL_INSTANCE).find(std::string("variable(") + value + ")"), std::string::npos);
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR) << value;
    }
    SDR_DATA_LOG* log = run(SERIAL_INSTANCE);
    expect_frame_start(log, 'r');
    EXPECT_EQ(bus_at(log, "uart_tx|data", 8, 0), unsigned('t'));

    // The bus's bit order is built into the device.
    canvas_user_steps user = canvas_of(SERIAL_INSTANCE);
    user.properties(user.last_of(SEDQ_OBJECT::BUS), [](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
        canvas_user_steps::type_setting(dialog, QStringLiteral("Bit Order"), QStringLiteral("MSB to LSB"));
    });
    refresh();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// The power-up trigger keeps its own value of a setting configurable at run time: its capture,
// taken from sample 0 when the device is programmed, triggers in the first 'r' frame (208), while
// the run-time trigger keeps 110 ('n'). The run then starts where that capture ended (208 - 32 +
// 256 = 432) and meets the next 'n' frame after 432 + 32: frame 9, at 468.
TEST_F(runtime_setting_run, the_power_up_capture_uses_the_power_up_values)
{
    bus_value_properties(SERIAL_INSTANCE, [](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
        switch_runtime_box(dialog, QStringLiteral("Bus Value"));
    });
    select({SERIAL_INSTANCE});
    press(ACTION_ENABLE_POWERUP);
    ASSERT_TRUE(tx()->is_powerup_trigger(SERIAL_POWER_UP));
    bus_value_properties(SERIAL_POWER_UP, [](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
        canvas_user_steps::type_setting(dialog, QStringLiteral("Bus Value"), QStringLiteral("114"));
    });
    EXPECT_NE(stored_equation(SERIAL_INSTANCE).find("variable(110)"), std::string::npos);
    compile_and_program_from_the_window();

    select({}, {SERIAL_INSTANCE});
    press(ACTION_READ);
    SDR_DATA_LOG* power_up = SEDQ_REPOSITORY::session(tx())->get_log_at(SERIAL_POWER_UP, false);
    ASSERT_TRUE(power_up != nullptr && power_up->is_power_up_trigger() && power_up->is_data_available(false));
    expect_frame_start(power_up, 'r');

    SDR_DATA_LOG* log = run(SERIAL_INSTANCE);
    expect_frame_start(log, 'n');
    EXPECT_EQ(bus_at(log, "uart_tx|data", 8, 0), unsigned('a')) << "436, in frame 8";
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// The flow counts the samples of Condition 2 (busy while the byte is 'n') and triggers at a
// count. With "Comparison values" configurable at run time the count is loaded with the run:
// 40 would be reached at 144, after frame 2's busy samples 104 .. 143; 41 waits for the next 'n'
// frame, frame 9 at 468, and is reached on its second sample, 469. With the box cleared again
// the count is built in.
TEST_F(runtime_setting_run, a_flow_loads_the_parts_its_runtime_options_free_with_the_run)
{
    program();
    show_flow_with_a_counter();
    const auto flow = [](int count) {
        return QString("if (Condition 2) increment counter1; if (counter1 == %1) trigger;").arg(count);
    };
    type_flow(flow(40));
    switch_comparison_values_box();
    EXPECT_TRUE(tx()->is_configurable(SCI_RUNTIME_CONFIG_COMPARISON_VALUES, SERIAL_INSTANCE));
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    compile_and_program_from_the_window();
    type_flow(flow(41));
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    SDR_DATA_LOG* log = run(SERIAL_INSTANCE);
    ASSERT_NE(log, nullptr);
    const int t = log->get_data_trigger_position(-1);
    ASSERT_EQ(t, TRIGGER_IN_LOG);
    EXPECT_EQ(bus_at(log, "uart_tx|data", 8, t), unsigned('n'));
    EXPECT_TRUE(log->get_bit(row_of(log, "uart_tx|busy"), t - 1));
    EXPECT_FALSE(log->get_bit(row_of(log, "uart_tx|busy"), t - 2)) << "469 is the second sample of frame 9";

    switch_comparison_values_box();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR) << "the box changes the design";
    compile_and_program_from_the_window();
    type_flow(flow(42));
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR) << "a value built into the device";
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// A run started on a design the device was not programmed with ("No" to the recompile
// question) cannot run: the instance's status and the Messages window say why.
TEST_F(runtime_setting_run, a_run_without_the_recompile_says_why_it_cannot_run)
{
    program();
    canvas_user_steps user = canvas_of(SERIAL_INSTANCE);
    user.properties(user.last_of(SEDQ_OBJECT::BUS), [](SEDQ_OBJECT_PROPERTIES_DLG* dialog) {
        canvas_user_steps::type_setting(dialog, QStringLiteral("Bit Order"), QStringLiteral("MSB to LSB"));
    });
    refresh();
    ASSERT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    standin::qui::push_dialog_answer("recompile", QMessageBox::No);
    run(SERIAL_INSTANCE);
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
    EXPECT_EQ(status_text(SERIAL_INSTANCE), SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_SOF_INCOMPATIBLE_STR);
    ASSERT_FALSE(standin::msg::posted().empty());
    EXPECT_EQ(standin::msg::posted().back().text,
              "Instance \"fsm_uart\" cannot run: the device is programmed with another version of its trigger; "
              "compile the project and program the device to run this one");
    EXPECT_EQ(standin::msg::posted().back().kind, "E");
}
} // namespace
