// The serial decoder attached to the bundled demo from the window: the node list's "Add Nodes
// with Plug-In" menu, the instance choice and the options dialog answered by the host's modal
// responder (a complaint about the baud rate first), a run of the instance decoding the
// characters the transmitter sent, Edit > Undo taking the whole attach back (before the run: a
// new log ends the undo history), and the attach kept by a save and a reopen.
#include "frame/instance_widget_test_support.h"
#include "view/sedq_modal_step.h"

#include "host/afcq.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/standin/gen_control.h"
#include "host/standin/qui_control.h"
#include "sedq/model/sedq_number.h"
#include "sedq/plugins/sedq_plugin_hierarchy_dlg.h"
#include "sedq/plugins/sedq_plugin_option_dlg.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

namespace
{
constexpr int PROBE_INSTANCE = 0; // counter_probe: no decoder group of its own

class plugin_window_attach_test : public instance_widget_test::instance_widget_fixture
{
protected:
    void TearDown() override
    {
        instance_widget_fixture::TearDown();
        standin::tst::set_regtest_mode(false);
    }

    // The demo as the fixture opens it, with the serial decoder in the host's modules.
    void open_demo()
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("modules"));
        ASSERT_TRUE(QFile::copy(SEDQ_DECODER_DIR "/libsld_sed_uart.so", m_dir.filePath("modules/libsld_sed_uart.so")));
        standin::gen::set_module_path(m_dir.filePath("modules").toStdString());
        instance_widget_fixture::open_demo();
    }

    // The window's "Add Nodes with Plug-In" entry of the decoder, filled as opening the menu does.
    QAction* plugin_action(const QString& decoder) const
    {
        for (QMenu* menu : m_frame->findChildren<QMenu*>())
        {
            if (menu->title() != "Add Nodes with Plug-In")
                continue;
            emit menu->aboutToShow();
            for (QAction* action : menu->actions())
                if (action->text() == decoder)
                    return action;
        }
        return nullptr;
    }

    // Arms the responder: the instance choice takes its only row, then the options dialog gets
    // "abc" as "Baud rate" (refused with a complaint), then 9600, and the responder presses OK.
    void answer_attach_dialogs()
    {
        on_next_modal<SEDQ_PLUGIN_HIERARCHY_DLG>([this](SEDQ_PLUGIN_HIERARCHY_DLG* choice) {
            ASSERT_NE(choice, nullptr);
            auto* list = choice->findChild<QListWidget*>();
            m_offered = list->count();
            list->setCurrentRow(0);
            on_next_modal<SEDQ_PLUGIN_OPTION_DLG>([this](SEDQ_PLUGIN_OPTION_DLG* options) {
                ASSERT_NE(options, nullptr);
                type_baud_rate(options, "abc");
                options->accept();
                m_open_after_complaint = options->isVisible();
                type_baud_rate(options, "9600");
            });
        });
        // Both groups refuse the rate: a complaint each.
        for (int group = 0; group < 2; ++group)
            standin::qui::push_dialog_answer("is not a number", QMessageBox::Ok);
    }

    static void type_baud_rate(SEDQ_PLUGIN_OPTION_DLG* options, const QString& text)
    {
        auto* tree = options->findChild<QTreeWidget*>();
        tree->setCurrentItem(tree->findItems("Baud rate", Qt::MatchExactly).first());
        auto* edit = options->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    void run_probe()
    {
        compile_and_program("output/demo_top.sof");
        ASSERT_FALSE(HasFatalFailure());
        standin::chi::set_delivery(standin::chi::delivery::thread);
        select({PROBE_INSTANCE});
        run_to_the_end();
    }

    static int plugin_row(const SDR_TX_SIGNAL_NODES* nodes)
    {
        for (int row = 0; nodes != nullptr && row < nodes->get_num_nodes(); ++row)
            if (nodes->get_group_display_type(row) == SDR_GTYPE_PLUGIN)
                return row;
        return -1;
    }

    // The characters the decoder's table gives the data group's values in the log (the data
    // byte, then the busy line: the demo's transmitter has no valid flag), one per change.
    QString decoded_characters()
    {
        const SDR_TX_SIGNAL_SET* data_list = tx()->get_signal_nodes(PROBE_INSTANCE);
        const SDR_DATA_LOG* log = tx()->get_tx_session()->get_log_at(PROBE_INSTANCE, false);
        const int group = plugin_row(data_list);
        if (log == nullptr || group < 0)
            return "<no log or group>";
        const SDR_DATA_MNEMONICS_TABLE* table =
            log->get_static_plugin_mnemonics_table(data_list->get_plugin_group(group)->get_plugin_id());
        if (table == nullptr)
            return "<no table>";
        std::vector<int> channels;
        for (int row = group + 1; row < data_list->get_num_nodes(); ++row)
        {
            const auto found = std::find(log->m_wire_names.begin(), log->m_wire_names.end(),
                                         std::string(data_list->get_node_name(row)));
            if (found == log->m_wire_names.end())
                return QString("<no wire %1>").arg(data_list->get_node_name(row));
            channels.push_back(int(found - log->m_wire_names.begin()));
        }
        QString decoded;
        QString previous;
        for (int sample = 0; sample < log->get_data_sample_depth(); ++sample)
        {
            std::string bits;
            for (int channel : channels)
                bits += log->get_bit(channel, sample) ? '1' : '0';
            const char* symbol = table->get_first_symbol(bits.c_str());
            const QString character = QString::fromUtf8(symbol != nullptr ? symbol : "");
            if (!character.isEmpty() && character != previous)
                decoded += character;
            previous = character;
        }
        return decoded;
    }

    // What the data group's band shows for a value of its rows (data byte, then busy), as the
    // waveform reads it; "<bits>" when it shows the value rather than a symbol.
    QString band_text(const QString& bits)
    {
        tx()->set_list_view_mode(true);
        const int group = plugin_row(tx()->get_signal_nodes(PROBE_INSTANCE));
        const char* shown = "";
        const bool symbolic = SEDQ_NUMBER(bits).get_string(tx(), group, &shown, true, true, nullptr, -1);
        tx()->set_list_view_mode(false);
        return symbolic ? QString::fromLocal8Bit(shown) : "<bits>";
    }

    static std::vector<std::string> names(const SDR_TX_SIGNAL_NODES* nodes)
    {
        std::vector<std::string> out;
        for (int row = 0; row < nodes->get_num_nodes(); ++row)
            out.push_back(nodes->get_node_name(row));
        return out;
    }

    int m_offered = 0;
    bool m_open_after_complaint = false;
};

TEST_F(plugin_window_attach_test, the_demo_attach_runs_decodes_undoes_in_one_step_and_survives_reopen)
{
    open_demo();
    const std::vector<std::string> trigger_before = names(tx()->get_trigger_nodes(PROBE_INSTANCE));
    ASSERT_EQ(names(tx()->get_trigger_nodes(SEDQ_CURRENT)), trigger_before) << "the probe is the current instance";
    const std::vector<std::string> data_before = names(tx()->get_signal_nodes(PROBE_INSTANCE));
    QAction* attach = plugin_action("uart");
    ASSERT_NE(attach, nullptr);
    ASSERT_TRUE(attach->isEnabled());
    answer_attach_dialogs();
    attach->trigger();
    refresh();
    EXPECT_EQ(m_offered, 1) << "the demo holds one transmitter";
    EXPECT_TRUE(m_open_after_complaint);
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "the complaint was shown";
    EXPECT_EQ(standin::qui::unanswered_dialogs(), std::vector<std::string>{});

    const SDR_TX_SIGNAL_SET* data_list = tx()->get_signal_nodes(PROBE_INSTANCE);
    const int group = plugin_row(data_list);
    ASSERT_GE(group, 0);
    EXPECT_EQ(std::string(data_list->get_node_name(group)), "uart_tx|frame");
    EXPECT_EQ(plugin_row(tx()->get_trigger_nodes(PROBE_INSTANCE)), int(trigger_before.size()));
    const char* baud = nullptr;
    ASSERT_TRUE(data_list->get_plugin_group(group)->get_user_option(0, nullptr, &baud, nullptr, nullptr));
    EXPECT_STREQ(baud, "9600");
    const std::vector<std::string> data_after = names(data_list);
    EXPECT_EQ(std::count(data_after.begin(), data_after.end(), "uart_tx|data"), 0) << "no mirror of the setup group";

    // Edit > Undo takes the attach back in one step; Redo brings it again.
    QAction* undo = action(m_frame, AFCQ_EDIT_UNDO_ACTION);
    ASSERT_TRUE(undo != nullptr && undo->isEnabled());
    undo->trigger();
    refresh();
    EXPECT_EQ(names(tx()->get_trigger_nodes(PROBE_INSTANCE)), trigger_before);
    EXPECT_EQ(names(tx()->get_signal_nodes(PROBE_INSTANCE)), data_before);
    action(m_frame, AFCQ_EDIT_REDO_ACTION)->trigger();
    refresh();
    EXPECT_EQ(names(tx()->get_signal_nodes(PROBE_INSTANCE)), data_after);

    // A run adds a log, which ends the undo history; the redone attach decodes.
    run_probe();
    const QString decoded = decoded_characters();
    EXPECT_GE(decoded.size(), 3) << decoded.toStdString();
    EXPECT_TRUE(QString("VantrelVantrel").contains(decoded)) << decoded.toStdString();
    // While the line is idle the decoder answers nothing, and the band shows nothing there.
    EXPECT_EQ(band_text("0110111" "0" "0"), "") << "busy low";
    EXPECT_EQ(band_text("0110111" "0" "1"), "n") << "busy high";

    const QString saved = m_dir.filePath("attached.vtl");
    ASSERT_TRUE(tx()->save_document(saved.toLocal8Bit().constData()));
    close_frame(m_frame);
    m_frame = open_frame(saved);
    EXPECT_EQ(names(tx()->get_signal_nodes(PROBE_INSTANCE)), data_after);
    const int reopened = plugin_row(tx()->get_signal_nodes(PROBE_INSTANCE));
    ASSERT_GE(reopened, 0);
    EXPECT_EQ(tx()->get_signal_nodes(PROBE_INSTANCE)->get_plugin_group(reopened)->get_user_option_count(), 3);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
} // namespace
