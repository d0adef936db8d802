#pragma once
// Shared set-up of the state-machine tests: a design with pre-synthesis state machines, the
// keypoint files of its compiled revision, and an editor window over a one-instance document
// whose rows and mnemonic tables a test can prepare directly in the repository.

#include "sedq_mnemonic_test_support.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/msg_control.h"
#include "host/standin/project_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>
#include "sedq/model/sedq_repository.h"

// Pre-synthesis: u1|state with three one-hot registers, two machines named "fsm", a machine whose
// name holds "~" and one without registers. Post-fit: the registers the keypoints rename to.
inline const char* const STATE_MACHINE_DESIGN = R"({
  "project": {"top_entity": "top", "revision": "rev", "incremental_mode": 0},
  "netlists": {
    "pre": {"instances": [
      {"path": "top|u1|state", "flags": "0x80000400"},
      {"path": "top|u1|state.idle", "unit": "state.idle", "flags": "0x80000040"},
      {"path": "top|u1|state.run", "unit": "state.run", "flags": "0x80000040"},
      {"path": "top|u1|state.done", "unit": "state.done", "flags": "0x80000040"},
      {"path": "top|u2|st~3", "flags": "0x80000400"},
      {"path": "top|u2|st~3.a", "unit": "st~3.a", "flags": "0x80000040"},
      {"path": "top|u3|lonely", "flags": "0x80000400"},
      {"path": "top|u3|other.a", "flags": "0x80000040"},
      {"path": "top|a|fsm", "flags": "0x80000400"},
      {"path": "top|a|fsm.on", "unit": "fsm.on", "flags": "0x80000040"},
      {"path": "top|a|fsm.off", "unit": "fsm.off", "flags": "0x80000040"},
      {"path": "top|b|fsm", "flags": "0x80000400"},
      {"path": "top|b|fsm.up", "unit": "fsm.up", "flags": "0x80000040"},
      {"path": "top|b|fsm.down", "unit": "fsm.down", "flags": "0x80000040"}]},
    "post": {"copy_of": "pre", "add_flags": "0x2000", "instances": [
      {"path": "top|u1|r1", "flags": "0x80000040"},
      {"path": "top|u1|r2", "flags": "0x80000040"}]}}
})";

// The synthesis keypoints: u1/state over two registers, and a machine the fit pushed back.
inline const char* const STATE_MACHINE_MAP = R"(fsm top/u1/state
reg top/u1/state~0
reg top/u1/state~1
state state.idle 1 0
state state.run 0 1
state state.done 1 1
fsm top/u9/gone
reg top/u9/gone~0
state gone.a 1
)";

// The fit renamed u1/state's registers.
inline const char* const STATE_MACHINE_CMP = R"(rename top/u1/state~0 top/u1/r1
rename top/u1/state~1 top/u1/r2
)";

class state_machine_test : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    void TearDown() override { m_frame.reset(); }

    void load_design(const char* design = STATE_MACHINE_DESIGN)
    {
        std::string error;
        ASSERT_TRUE(standin::project::load_json(design, m_dir.path().toStdString(), &error)) << error;
    }

    // Writes the revision's keypoint files; a null text writes no file (and removes an old one).
    void write_keypoints(const char* map, const char* cmp = nullptr)
    {
        QDir(m_dir.path()).mkpath("db");
        write_file("db/rev.map.kpt", map);
        write_file("db/rev.cmp.kpt", cmp);
    }

    void write_file(const QString& name, const char* text)
    {
        QFile file(m_dir.filePath(name));
        if (text == nullptr)
        {
            file.remove();
            return;
        }
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // An editor window over a new one-instance document (the design and keypoints as loaded).
    SEDQ_TX_MANAGER* open_document()
    {
        const std::string path = m_dir.filePath("machines.vtl").toStdString();
        auto session = standin::sdr::make_session(path, 1);
        std::string error;
        EXPECT_TRUE(sdr_write_session_file(*session, path, &error)) << error;
        m_frame = std::make_unique<SEDQ_FRAME_WND>(&m_info, QUI_FW_STATE_ATTACHED);
        EXPECT_TRUE(m_frame->open_file(QString::fromStdString(path)));
        settle();
        return tx();
    }

    SEDQ_TX_MANAGER* tx() { return m_frame ? m_frame->get_tx_manager() : nullptr; }

    SDR_DATA_TRIGGER* data_trigger()
    {
        return SEDQ_REPOSITORY::session(tx())->get_trigger_at(0, false)->get_data_trigger();
    }

    // Appends rows to the current trigger directly (not an edit); `group` groups them.
    void add_rows(const std::vector<std::string>& names, const std::string& group = "",
                  SDR_DATA_WIRE_TAP_MODE tap = SDR_TAP_PRE_SYNTHESIS)
    {
        const int first = tx()->get_node_count(-1);
        for (const std::string& name : names)
            standin::sdr::add_node(data_trigger(), {name, SDR_STYPE_MACHINE, SDR_WTYPE_DATA_AND_TRIGGER, tap});
        if (!group.empty())
            standin::sdr::add_group(data_trigger(), first, first + int(names.size()) - 1, group);
        tx()->refresh_tx_cache();
    }

    void add_table(const char* name, int width, const std::vector<std::pair<const char*, const char*>>& entries)
    {
        add_mnemonic_table(tx(), name, width, entries);
    }

    SDR_DATA_MNEMONICS_TABLE* table(const char* name)
    {
        return SEDQ_REPOSITORY::session(tx())->get_data_session()->get_mnemonics()->find_table(name);
    }

    static std::vector<std::string> internal_errors()
    {
        std::vector<std::string> expressions;
        for (const auto& error : standin::msg::internal_errors())
            expressions.push_back(error.expression);
        return expressions;
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QTemporaryDir m_dir;
    QUI_FRAME_INFO m_info;
    std::unique_ptr<SEDQ_FRAME_WND> m_frame;
};
