// Advanced and state-based levels from the canvas to the device, on the bundled demo, the way a
// user gets there: the condition drawn with the mouse, the keys, drops from the node table and
// the Object Library and the Object Properties dialog; the document saved and opened again;
// the toolbar's compile, the JTAG pane's Program and the instance manager's Run. The trigger
// lands where the demo's stimuli put the drawn condition first, and a second drawing moves it.
//
// The demo's stimuli: the counter "counter|count" is the sample number. The serial transmitter
// sends "Vantrel" over and over, one 52-sample frame per character, busy for the first 40
// samples of each: frame 0 ('V') is samples 0 .. 51, busy over 0 .. 39. A run of depth 256
// starts its search at sample 32, so the trigger is stored at sample 32 of the log.
#include "canvas_user_steps.h"
#include "jtag_widget_test_support.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/view/sedq_view.h"
#include "sedq/model/sedq_repository.h"

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
        QAction* compile = action_of(AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION);
        EXPECT_TRUE(compile->isEnabled());
        compile->trigger();
        QTest::qWait(20);
        refresh();
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);
        EXPECT_TRUE(program_button()->isEnabled());
        program_button()->click();
        QTest::qWait(20);
        refresh();
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
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
// level (all don't care) being met at once. The value changed in Object Properties moves it.
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
        EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    }
    log = save_reopen_and_run(COUNTER_INSTANCE);
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
