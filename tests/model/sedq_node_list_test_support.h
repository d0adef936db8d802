#pragma once
// Shared set-up of the node-list tests: a manager in a child window over a new document, a small
// design loaded as the project fixture, rows built directly in the repository, and the names,
// display types and help keys to compare against.

#include "sedq_tx_manager_test_support.h"

#include "host/standin/project_control.h"
#include "host/standin/unbq_control.h"

#include <QByteArray>
#include "sedq/model/sedq_repository.h"

// A design with a bus, a two-dimensional array, a state machine, pins and a case-insensitive
// twin of the bus; "post" is the same design as post-fit names.
inline const char* const NODE_LIST_DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {
    "pre": {"assignment_350": "keep", "instances": [
      {"path": "top|cnt", "flags": "0x80000040", "dims": [[7, 0]]},
      {"path": "top|up", "flags": "0x80000040", "dims": [[0, 3]]},
      {"path": "top|mem", "flags": "0x80000020", "dims": [[1, 0], [2, 0]]},
      {"path": "top|u1|state", "flags": "0x80000400"},
      {"path": "top|u1|state.idle", "flags": "0x80000040"},
      {"path": "top|u1|state.run", "flags": "0x80000040"},
      {"path": "top|clk", "flags": "0x80000004"},
      {"path": "top|led", "flags": "0x80000008"},
      {"path": "top|both", "flags": "0x80000084"}]},
    "post": {"copy_of": "pre", "add_flags": "0x2000"}}
})";

class sedq_node_list_test : public sedq_tx_manager_test
{
protected:
    // A window's manager over a new, empty one-instance document.
    SEDQ_TX_MANAGER* document(bool with_design = true)
    {
        if (with_design)
        {
            std::string error;
            EXPECT_TRUE(standin::project::load_json(NODE_LIST_DESIGN, m_dir.path().toStdString(), &error)) << error;
        }
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_TRUE(manager->new_document(path("nodes.vtl").c_str()));
        take_hints();
        return manager;
    }

    // Appends leaf rows to the current trigger directly (not an edit) and refreshes the model.
    void add_rows(const std::vector<std::string>& names,
                  SDR_DATA_WIRE_CAPTURE_TYPE capture = SDR_WTYPE_DATA_AND_TRIGGER,
                  SDR_DATA_WIRE_TAP_MODE tap = SDR_TAP_PRE_SYNTHESIS)
    {
        for (const std::string& name : names)
            standin::sdr::add_node(data_trigger(), {name, SDR_STYPE_PLAIN, capture, tap});
        m_manager->refresh_tx_cache();
    }

    void add_numbered_rows(int count, const std::string& prefix = "n")
    {
        for (int i = 0; i < count; ++i)
            standin::sdr::add_node(data_trigger(), {prefix + std::to_string(i)});
        m_manager->refresh_tx_cache();
    }

    SDR_TX_TRIGGER* trigger() { return SEDQ_REPOSITORY::trigger_nodes(m_manager.get(), -1); }

    std::vector<std::string> row_names()
    {
        std::vector<std::string> names;
        for (int row = 0; row < trigger()->get_num_nodes(); ++row)
            names.push_back(trigger()->get_node_name(row));
        return names;
    }

    std::vector<int> display_types()
    {
        std::vector<int> types;
        for (int row = 0; row < trigger()->get_num_nodes(); ++row)
            types.push_back(trigger()->get_node_display_type(row));
        return types;
    }

    static AFCQ_INSTANCE_NAME single(const char* full_name, unsigned flags = 0x80000040u)
    {
        return AFCQ_INSTANCE_NAME(0, QString::fromLatin1(full_name), flags);
    }

    static AFCQ_INSTANCE_NAME array(const char* full_name, QPair<int, int> first, QPair<int, int> second = {0, 0},
                                    unsigned flags = 0x80000040u)
    {
        return AFCQ_INSTANCE_NAME(second == QPair<int, int>(0, 0) ? 1 : 2, QString::fromLatin1(full_name), flags, first,
                                  second);
    }

    // The help keys shown since the last call.
    std::vector<std::string> take_shown_keys()
    {
        std::vector<std::string> keys = shown_keys();
        std::vector<std::string> fresh(keys.begin() + std::min(m_keys_seen, keys.size()), keys.end());
        m_keys_seen = keys.size();
        return fresh;
    }

    size_t m_keys_seen = 0;
};
