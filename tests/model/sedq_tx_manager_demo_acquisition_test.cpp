// The bundled demo end to end: its project is compiled through the recompile question,
// programmed into the simulated device, and both of its instances are acquired on the
// engine's thread, with the trigger landing where the counter condition says.
#include "sedq_tx_manager_acquisition_test_support.h"

#include "host/acf.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include "sedq/model/sedq_repository.h"

namespace
{
using acquisition_test::callback;

using demo_acquisition = acquisition_test::acquisition;

TEST_F(demo_acquisition, the_demo_is_compiled_programmed_and_acquired_end_to_end)
{
    SEDQ_TX_MANAGER* manager = open_demo();
    ASSERT_EQ(data()->m_instances.size(), 2u);
    // counter_probe: one level, the counter bus (row 0, count[15..0]) at 0x1234.
    SDR_DATA_TRIGGER* counter = data()->m_instances[0]->get_active_trigger();
    standin::sdr::set_levels(counter, 1);
    counter->edit_transient().trigger_list[0].patterns[SDR_COPY_NORMAL].comparisons[0] = {
        true, true, SDR_CTYPE_COMPARE_EQUAL_TO, 0x1234, SDR_CTYPE_COMPARE_TRUE, 0};

    standin::qui::push_dialog_answer("Do you wish to recompile before running the logic analyzer?", QMessageBox::Yes);
    // The window asks to save the changed document before the compile; it compiles without.
    standin::qui::push_dialog_answer("Do you want to save the changes", QMessageBox::Discard);
    run(requests({0, 1}));
    QCoreApplication::processEvents();
    ASSERT_EQ(standin::qui::flows().size(), 1u);
    ASSERT_TRUE(standin::qui::flows()[0].finished);
    std::string error;
    ASSERT_TRUE(standin::chi::program_device_from_file(path("output/demo_top.sof"), &error)) << error;
    bool recompile = true;
    bool reroute = true;
    EXPECT_FALSE(manager->is_compile_or_reroute_needed(&recompile, &reroute));
    CHI_CONTROL_NODES_SCAN scan;
    scan.set_hardware_name(acquisition_test::CABLE);
    scan.set_device_name(acquisition_test::DEVICE);
    scan.rescan();
    EXPECT_FALSE(manager->is_program_needed(&scan));

    standin::chi::set_delivery(standin::chi::delivery::thread);
    const std::vector<callback*> started = run(requests({0, 1}));
    ASSERT_EQ(started.size(), 2u);
    EXPECT_TRUE(manager->is_any_instance_acquiring());
    ASSERT_TRUE(standin::chi::wait_idle(20000));
    EXPECT_EQ(started[0]->pairs(),
              (std::vector<std::pair<int, int>>{{0, 0}, {4, 0}, {1, 1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}));
    EXPECT_EQ(started[1]->pairs(),
              (std::vector<std::pair<int, int>>{{0, 0}, {4, 0}, {1, -1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}));
    for (callback* c : started)
        apply(c);
    EXPECT_FALSE(manager->is_any_instance_acquiring());

    const SDR_DATA_LOG* probe = manager->get_tx_session()->get_log_at(0, false);
    ASSERT_TRUE(probe != nullptr && probe->is_data_available(false));
    const int t = probe->get_data_trigger_position(-1);
    EXPECT_EQ(t, 256 / 8);
    unsigned value = 0;
    for (int bit = 0; bit < 16; ++bit)
        value = value << 1 | (probe->get_bit(bit, t) ? 1u : 0u); // channels count[15] .. count[0]
    EXPECT_EQ(value, 0x1234u);
    EXPECT_EQ(probe->m_wire_names[0], "counter|count[15]");

    const SDR_DATA_LOG* uart = manager->get_tx_session()->get_log_at(1, false);
    ASSERT_TRUE(uart != nullptr && uart->is_data_available(false));
    EXPECT_EQ(uart->get_state_value(), 0);
    EXPECT_EQ(standin::chi::late_reports(), 0);
}
// The demo's state-based instance with a flow that uses a flag and a counter, and the demo's
// second level as shipped (busy while the bus holds 'n'). The serial line sends "Vantrel" over
// and over, one 52-sample frame per character (busy for the first 40): busy rises at 52, 104,
// 156 ... and frame 2 (samples 104 .. 155) carries 'n'. The search starts at sample 32, so the
// flow counts the rises at 52 and 104, sets its flag and moves on at 104, and triggers on the
// next rise, 156, in frame 3 ('t').
TEST_F(demo_acquisition, the_state_based_instance_reports_its_flows_registers)
{
    constexpr int BUSY_ROW = 6;
    SEDQ_TX_MANAGER* manager = open_demo();
    ASSERT_EQ(data()->m_instances.size(), 2u);
    SDR_DATA_TRIGGER* fsm = data()->m_instances[1]->get_active_trigger();
    SDR_TRIGGER_STATE& settings = fsm->edit_transient();
    ASSERT_TRUE(settings.state_based);
    ASSERT_EQ(settings.trigger_list[BUSY_ROW].name, "uart_tx|busy");
    settings.trigger_list[BUSY_ROW].patterns[SDR_COPY_NORMAL].conditions[0] = SDR_CTYPE_RISING;
    settings.flags = {{"flag1", 0}};
    settings.counters = {{"counter1", 8, 0}};
    const char* const flow = "state ST1:\nif (Condition 1) increment counter1;\n"
                             "if (Condition 2) begin set flag1; goto ST2; end\n"
                             "state ST2:\nif (Condition 1) trigger;\n";
    fsm->m_stored_state_machine.present = true;
    fsm->m_stored_state_machine.attributes = {{"state_machine_flow_expression", flow}};
    if (fsm->m_state_machine_object != nullptr)
        fsm->m_state_machine_object->set_attribute("state_machine_flow_expression", flow);

    std::string error;
    ASSERT_TRUE(standin::chi::compile(data(), 15, path("output/demo_top.sof"), &error)) << error;
    ASSERT_TRUE(standin::chi::program_device_from_file(path("output/demo_top.sof"), &error)) << error;
    standin::chi::set_delivery(standin::chi::delivery::thread);
    const std::vector<callback*> started = run(requests({1}));
    ASSERT_EQ(started.size(), 1u);
    ASSERT_TRUE(standin::chi::wait_idle(20000));
    apply(started[0]);

    const SDR_DATA_LOG* log = manager->get_tx_session()->get_log_at(1, false);
    ASSERT_TRUE(log != nullptr && log->is_data_available(false));
    EXPECT_EQ(log->get_state_value(), 1);
    EXPECT_EQ(std::vector<char>(log->m_payload->flag_values.begin(), log->m_payload->flag_values.end()),
              std::vector<char>{1});
    EXPECT_EQ(log->m_payload->counter_values, std::vector<unsigned>{2});
    // The trigger is busy's rise in the frame of 't', the one after 'n'.
    const int t = log->get_data_trigger_position(-1);
    auto row_of = [log](const std::string& name) {
        for (size_t i = 0; i < log->m_wire_names.size(); ++i)
            if (log->m_wire_names[i] == name)
                return int(i);
        return -1;
    };
    const int busy = row_of("uart_tx|busy");
    ASSERT_GE(busy, 0);
    EXPECT_TRUE(log->get_bit(busy, t) && !log->get_bit(busy, t - 1));
    unsigned value = 0;
    for (int bit = 7; bit >= 0; --bit)
    {
        const int row = row_of("uart_tx|data[" + std::to_string(bit) + "]");
        ASSERT_GE(row, 0);
        value = value << 1 | (log->get_bit(row, t) ? 1u : 0u);
    }
    EXPECT_EQ(value, unsigned('t'));
}
} // namespace

// The demo's project names a family the analyzer supports and already uses the demo file, so a
// save asks nothing about the device or the project. The serial instance's advanced level,
// stored only as its preset equation, opens as its diagram and saves that equation unchanged,
// without reporting the level as incomplete; without its input the level is reported again.
TEST_F(demo_acquisition, saving_the_demo_in_its_project_asks_nothing_about_the_device)
{
    const std::string preset =
        "and('uart_tx|busy',compare(110,==,{'uart_tx|data[7]','uart_tx|data[6]','uart_tx|data[5]','uart_tx|data[4]',"
        "'uart_tx|data[3]','uart_tx|data[2]','uart_tx|data[1]','uart_tx|data[0]'},cc,uc))";
    SEDQ_TX_MANAGER* manager = open_demo();
    ASSERT_TRUE(ACF_MANAGER::get_acf_manager()->is_project_open());
    EXPECT_TRUE(manager->save_document(path("demo.vtl").c_str()));
    EXPECT_TRUE(shown_keys().empty());
    EXPECT_TRUE(standin::msg::unexpected_questions().empty());

    SDR_TX_TRIGGER* uart = SEDQ_REPOSITORY::session(manager)->get_trigger_at(1, false);
    ASSERT_NE(uart, nullptr);
    auto* condition = static_cast<SEDQ_TRIGGER_OBJECT*>(uart->get_advanced_trigger_root(1, false));
    ASSERT_NE(condition, nullptr);
    std::string equation;
    EXPECT_TRUE(condition->get_equation(&equation, nullptr, uart, 2, false));
    EXPECT_EQ(equation, preset);

    // The Result loses its input: the level is incomplete again.
    SEDQ_OBJECT* result = nullptr;
    for (SEDQ_OBJECT* object : *condition->get_object_list())
        if (object->get_type() == SEDQ_OBJECT::LEVEL_RESULT)
            result = object;
    ASSERT_TRUE(result != nullptr && !result->is_leaf());
    result->detach_child(result->get_oldest_child());
    EXPECT_TRUE(manager->save_document(path("demo.vtl").c_str()));
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_ERROR_IN_ADVANCED_TRIGGER"});
}
