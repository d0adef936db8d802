#pragma once
// Fixture of the instance manager tests: a design with a counter bus, a pulse and a clock on a
// simulated cable; documents whose instances tap it; an editor window over one, and the
// acquisition engine delivering its reports when the test steps it (manual delivery) unless a
// test chooses the engine's own thread.

#include "frame_test_support.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/chi_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/project_control.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/model/sedq_globals.h"
#include "support/counter_design.h"
#include "support/demo_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>
#include "sedq/model/sedq_repository.h"

namespace instance_widget_test
{
using counter_design::CABLE;
using counter_design::design_json;
using counter_design::DEVICE;

// One instance of a test document: the counter bus (rows 0..8) and "flag" on clock "clk".
struct probe
{
    std::string name;
    bool powerup = false;
    bool enabled = true;
    bool trigger_in = false;
    int depth = 128;
    SDR_HALCYTE_RAM_TYPE ram_type = SDR_RAM_AUTO;
    bool nodes = true;
};

class instance_widget_fixture : public frame_test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(standin::project::load_json(design_json(), m_dir.path().toStdString(), &error)) << error;
        standin::chi::set_pace_ms(0);
        standin::chi::set_delivery(standin::chi::delivery::manual);
    }

    // Runs still waiting are ended before the windows close, so every callback gets its final
    // report while its pane is there.
    void TearDown() override
    {
        if (m_frame != nullptr)
            end_all_runs();
        frame_test::TearDown();
        standin::chi::shutdown();
    }

    static constexpr int ACTION_ADD = AFCQ_SEDQ_ADD_INSTANCE_ACTION;
    static constexpr int ACTION_DELETE = AFCQ_SEDQ_DELETE_INSTANCE_ACTION;
    static constexpr int ACTION_DISABLE_POWERUP = AFCQ_SEDQ_DISABLE_POWERUP_ACTION;
    static constexpr int ACTION_DUPLICATE = AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION;
    static constexpr int ACTION_ENABLE_POWERUP = AFCQ_SEDQ_ENABLE_POWERUP_ACTION;
    static constexpr int ACTION_RENAME = AFCQ_SEDQ_RENAME_INSTANCE_ACTION;
    static constexpr int ACTION_STATUS_HELP = AFCQ_SEDQ_INSTANCE_STATUS_HELP_ACTION;
    static constexpr int ACTION_AUTORUN = AFCQ_SEDQ_AUTORUN_ACTION;
    static constexpr int ACTION_READ = AFCQ_SEDQ_READ_DATA_ACTION;
    static constexpr int ACTION_RUN = AFCQ_SEDQ_RUN_ACTION;
    static constexpr int ACTION_STOP = AFCQ_SEDQ_STOP_ACTION;

    // A window over a document of these instances on the simulated cable; the first instance
    // is current.
    SEDQ_INSTANCE_WIDGET* open(const std::vector<probe>& probes, bool jtag = true)
    {
        m_frame = open_frame(write_probes(probes));
        if (jtag)
        {
            tx()->set_jtag_hardware(CABLE, false);
            tx()->set_jtag_device(DEVICE, false);
        }
        tx()->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
        refresh();
        return pane();
    }

    QString write_probes(const std::vector<probe>& probes) { return write_session("probe.vtl", probes, &build_probe); }

    // A document `name` of one instance per spec, each made by `build`.
    template <typename SPEC, typename BUILD>
    QString write_session(const QString& name, const std::vector<SPEC>& specs, BUILD build)
    {
        const QString path = m_dir.filePath(name);
        auto session = standin::sdr::make_session(path.toStdString(), static_cast<int>(specs.size()));
        for (size_t i = 0; i < specs.size(); ++i)
            build(session->m_instances[i].get(), specs[i]);
        session->clear_modified();
        std::string error;
        EXPECT_TRUE(sdr_write_session_file(*session, path.toStdString(), &error)) << error;
        return path;
    }

    static void build_probe(SDR_DATA_INSTANCE* instance, const probe& desc)
    {
        instance->set_name(desc.name.c_str());
        instance->m_state.powerup_enabled = desc.powerup;
        instance->m_state.enabled = desc.enabled;
        SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
        if (desc.nodes)
        {
            for (int bit = 7; bit >= 0; --bit)
                standin::sdr::add_node(trigger, {"cnt[" + std::to_string(bit) + "]"});
            standin::sdr::add_group(trigger, 0, 7, "cnt", SDR_GTYPE_HEX);
            standin::sdr::add_node(trigger, {"flag"});
        }
        trigger->edit_transient().trigger_in.enabled = desc.trigger_in;
        auto& set = trigger->m_signal_set->edit_transient();
        set.clock_name = "clk";
        set.sample_depth = desc.depth;
        set.ram_type = desc.ram_type;
        SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger);
    }

    SEDQ_INSTANCE_WIDGET* pane() const { return m_frame->get_layout_widget()->get_instance_widget(); }
    SEDQ_TX_MANAGER* tx() const { return m_frame->get_tx_manager(); }
    SEDQ_INSTANCE_LIST_MODEL* model() const { return pane()->get_model(); }
    SDR_DATA_SESSION* data() const { return SEDQ_REPOSITORY::session(tx())->get_data_session(); }
    QAction* action_of(int id) const { return m_frame != nullptr ? action(m_frame, id) : nullptr; }

    // Delivers the refreshes the model queued, the way the event loop does.
    void refresh() const { settle(); }

    // The demo beside a copy of its project, so that compiling writes into the copy, on the
    // design's cable and device.
    void open_demo()
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("output"));
        for (const char* file : {"demo.vtl", "standin_project.json", "output/demo_top.sof"})
            ASSERT_TRUE(QFile::copy(sedq_demo_file(file), m_dir.filePath(file))) << file;
        std::string error;
        ASSERT_TRUE(standin::project::load(m_dir.filePath("standin_project.json").toStdString(), &error))
            << error;
        m_frame = open_frame(m_dir.filePath("demo.vtl"));
        tx()->set_jtag_hardware(CABLE, true);
        tx()->set_jtag_device(DEVICE, true);
        tx()->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
        refresh();
    }

    // Compiles the design into `sof_path` (in the test's folder) and programs the device from it.
    void compile_and_program(const char* sof_path = "output/top.sof")
    {
        std::string error;
        const std::string sof = m_dir.filePath(sof_path).toStdString();
        ASSERT_TRUE(standin::chi::compile(data(), 15, sof, &error)) << error;
        ASSERT_TRUE(standin::chi::program_device_from_file(sof, &error)) << error;
        refresh();
    }

    // Selects exactly these top-level rows (and these power-up rows, by their parent's row).
    void select(const std::vector<int>& rows, const std::vector<int>& powerup_rows = {}) const
    {
        QItemSelectionModel* selection = pane()->get_tree()->selectionModel();
        selection->clearSelection();
        const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        for (int row : rows)
            selection->select(model()->index(row, 0), flags);
        for (int row : powerup_rows)
            selection->select(model()->index(0, 0, model()->index(row, 0)), flags);
    }

    void press(int id) const
    {
        QAction* command = action_of(id);
        ASSERT_NE(command, nullptr);
        ASSERT_TRUE(command->isEnabled()) << "action " << id << " is disabled";
        command->trigger();
        refresh();
    }

    // One report of every manual run, handled by the pane.
    void step() const
    {
        standin::chi::step();
        refresh();
    }

    // Presses Run and handles events until every request has ended (or 30 s pass). The last
    // request's end reaches the model's acquisition state and the panes as queued updates after
    // the pane's count drops: it waits for both.
    void run_to_the_end()
    {
        press(ACTION_RUN);
        QElapsedTimer timer;
        timer.start();
        while ((pane()->get_request_count() > 0 || tx()->is_any_instance_acquiring()) &&
               timer.elapsed() < 30000)
        {
            standin::chi::wait_idle(50);
            refresh();
        }
        ASSERT_EQ(pane()->get_request_count(), 0);
        refresh();
    }

    void end_all_runs() const
    {
        standin::chi::run_to_end();
        standin::chi::wait_idle(20000);
        refresh();
    }

    QModelIndex cell(int row, int column) const { return model()->index(row, column); }
    QString text(int row, int column) const { return cell(row, column).data().toString(); }
    // A text written into a cell the way the view's editor writes it.
    void write(int row, int column, const QString& text) const
    {
        EXPECT_TRUE(model()->setData(cell(row, column), text, Qt::EditRole)) << row << ", " << column;
    }
    bool editable(const QModelIndex& index) const
    {
        return (model()->flags(index) & Qt::ItemIsEditable) != 0;
    }
    bool enabled_cell(int row, int column) const
    {
        return (model()->flags(cell(row, column)) & Qt::ItemIsEnabled) != 0;
    }
    Qt::CheckState check_state(int row) const
    {
        return Qt::CheckState(cell(row, SEDQ_INSTANCE_COLUMN_ENABLED).data(Qt::CheckStateRole).toInt());
    }
    QIcon icon(int row) const { return cell(row, 0).data(Qt::DecorationRole).value<QIcon>(); }
    static QBrush background(const QModelIndex& index)
    {
        return index.data(Qt::BackgroundRole).value<QBrush>();
    }
    QString status_text(int row) const { return text(row, 1); }
    QBrush status_brush(int row) const { return background(cell(row, 1)); }
    QString usage(int row, int column) const { return text(row, column); }
    QString header(int column) const { return model()->headerData(column, Qt::Horizontal).toString(); }
    QString status_line() const { return pane()->get_status_line()->text(); }
    // The power-up row under an instance row; invalid when it has none.
    QModelIndex powerup_row(int row) const { return model()->index(0, 0, cell(row, 0)); }

    static QBrush idle_brush() { return QBrush(AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color(), Qt::SolidPattern); }
    static QBrush host_brush(int id) { return AFCQ_BRUSH(id).get_brush(); }

    SEDQ_FRAME_WND* m_frame = nullptr;
};
} // namespace instance_widget_test
