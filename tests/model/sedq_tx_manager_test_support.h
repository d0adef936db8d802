#pragma once
// Shared set-up of the document model tests: a manager with or without a window, the hints it
// delivers through the event loop, the messages it showed, and documents written to a
// temporary directory.

#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>
#include "sedq/model/sedq_repository.h"

// Deletes a manager of the test's own; a frame deletes its manager itself.
struct MANAGER_RELEASE
{
    bool owned = true;
    void operator()(SEDQ_TX_MANAGER* manager) const
    {
        if (owned)
            delete manager;
    }
};

class sedq_tx_manager_test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        restore_class_defaults();
        ASSERT_TRUE(m_dir.isValid());
    }

    void TearDown() override
    {
        m_manager.reset();
        m_frame.reset();
        restore_class_defaults();
    }

    // The class-wide settings and guards start every test as a fresh process has them.
    static void restore_class_defaults()
    {
        SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons = true;
        SEDQ_TX_MANAGER::m_cfg_link_groups = true;
        SEDQ_TX_MANAGER::m_cfg_link_properties = true;
        SEDQ_TX_MANAGER::m_cfg_link_order = true;
        SEDQ_TX_MANAGER::m_cfg_link_mnemonics = true;
        SEDQ_TX_MANAGER::m_cfg_auto_recompile = false;
        SEDQ_TX_MANAGER::m_cfg_show_horz_grid = true;
        SEDQ_TX_MANAGER::m_cfg_inter_line_spacing = 0;
        SEDQ_TX_MANAGER::m_cfg_show_leading_zeroes = true;
        SEDQ_TX_MANAGER::m_cfg_show_vert_grid = false;
        SEDQ_TX_MANAGER::m_cfg_show_time_bars = true;
        SEDQ_BLOCK::m_blocked = false;
    }

    // A manager in wizard mode (no window) or the one of a child or main-window frame: a window
    // keeps its pane layout in its own manager's document, so a second manager on it would save
    // a document whose window state went elsewhere.
    SEDQ_TX_MANAGER* make_manager(bool with_frame = true, QUI_FW_STATE_ENUM state = QUI_FW_STATE_ATTACHED)
    {
        m_manager.reset();
        m_frame.reset();
        if (with_frame)
        {
            m_frame = std::make_unique<SEDQ_FRAME_WND>(&m_frame_info, state);
            m_manager = MANAGER(m_frame->get_tx_manager(), MANAGER_RELEASE{false});
        }
        else
            m_manager = MANAGER(new SEDQ_TX_MANAGER(nullptr), MANAGER_RELEASE{true});
        QObject::connect(
            m_manager.get(), &SEDQ_TX_MANAGER::updated, &m_receiver,
            [this](QObject*, int hint) { m_hints.push_back(hint); }, Qt::QueuedConnection);
        return m_manager.get();
    }

    // The hints delivered since the last call, in emission order.
    std::vector<int> take_hints()
    {
        QCoreApplication::processEvents();
        std::vector<int> hints;
        hints.swap(m_hints);
        return hints;
    }

    // Lets the window's panes answer what the model sent, until they are quiet (a pane's refresh
    // may send hints of its own), and forgets every hint so far.
    void settle_hints()
    {
        for (int turn = 0; turn < 16; ++turn)
        {
            QCoreApplication::processEvents();
            if (m_hints.empty())
                return;
            m_hints.clear();
        }
    }

    // Help keys of the messages shown since the test started ("OSEDQ_NEWER_VERSION", ...).
    static std::vector<std::string> shown_keys()
    {
        std::vector<std::string> keys;
        for (const auto& record : standin::msg::shown())
            keys.push_back(record.help_key);
        return keys;
    }

    static std::vector<std::string> internal_errors()
    {
        std::vector<std::string> expressions;
        for (const auto& error : standin::msg::internal_errors())
            expressions.push_back(error.expression);
        return expressions;
    }

    std::string path(const std::string& name) const { return m_dir.filePath(QString::fromStdString(name)).toStdString(); }

    // Writes a document with `instances` default instances to `name` and returns its path.
    std::string write_document(const std::string& name, int instances = 1,
                               void (*prepare)(SDR_DATA_SESSION&) = nullptr)
    {
        const std::string file = path(name);
        auto session = standin::sdr::make_session(file, instances);
        if (prepare)
            prepare(*session);
        std::string error;
        EXPECT_TRUE(sdr_write_session_file(*session, file, &error)) << error;
        return file;
    }

    SDR_DATA_TRIGGER* data_trigger(int entry = -1)
    {
        SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::session(m_manager.get())->get_trigger_at(
            entry == -1 ? current_index() : entry, false);
        return trigger ? trigger->get_data_trigger() : nullptr;
    }

    // The manager's current entry index, read back through its cache.
    int current_index()
    {
        const SDR_TX_SESSION* session = m_manager->get_tx_session();
        for (int i = 0; session && i < session->get_num_instances(); ++i)
            if (session->get_instance_at(i, false) == m_manager->get_tx_instance())
                return i;
        return -1;
    }

    QTemporaryDir m_dir;
    using MANAGER = std::unique_ptr<SEDQ_TX_MANAGER, MANAGER_RELEASE>;

    QUI_FRAME_INFO m_frame_info;
    std::unique_ptr<SEDQ_FRAME_WND> m_frame;
    MANAGER m_manager;
    QObject m_receiver;
    std::vector<int> m_hints;
};

// Hint values as the int that updated() carries.
constexpr int H(unsigned int bits)
{
    return static_cast<int>(bits);
}
