// SEDQ_TX_MANAGER: checks of the tapped nodes and the clock against the netlists of the
// compiled design, and the clock check before an acquisition or a save.
#include "sedq/model/sedq_tx_manager.h"

#include "host/acf.h"
#include "host/dbmui.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace
{
constexpr unsigned TAPPABLE = 0x80000000u;
constexpr unsigned POST_FITTING = 0x2000u;

bool is_group_row(SDR_TX_SIGNAL_NODES* nodes, int row)
{
    return sedq_is_group_display(nodes->get_node_display_type(row));
}

// Whether a name the netlist found is a node that can be tapped (and, in the post-fit pass, a
// post-fitting node).
bool is_valid_found(const HDB_INSTANCE_NAME* found, bool post_fit_pass)
{
    if (found == nullptr || !found->get_flags().test_flag(TAPPABLE))
        return false;
    return !post_fit_pass || found->get_flags().test_flag(POST_FITTING);
}

bool is_valid_name(HDB_INSTANCE_NAME* root, const char* name, bool post_fit_pass)
{
    return is_valid_found(root->find_in_descendants(name, false, 1), post_fit_pass);
}
// Up to this many rows are looked up one by one; more share one table of the trigger list's names.
constexpr int ROWS_SEARCHED_BY_NAME = 16;

// The mark of the first trigger row named `name`; no row before `first_marked` carries one, so
// a name found there is unmarked.
bool first_row_mark(SDR_TX_TRIGGER* trigger, const char* name, int first_marked)
{
    for (int trigger_row = 0; name != nullptr && trigger_row < trigger->get_num_nodes(); ++trigger_row)
    {
        const char* trigger_name = trigger->get_node_name(trigger_row);
        if (trigger_name != nullptr && std::strcmp(trigger_name, name) == 0)
            return trigger_row >= first_marked && trigger->is_node_invalid(trigger_row);
    }
    return false;
}
} // namespace

// Warns once when an instance that uses nodes has no clock; the acquisition or save goes on (a
// pin is made for the clock), so the answer is always true. -1 checks every instance.
bool SEDQ_TX_MANAGER::check_nodes_allocated(int instance)
{
    const int count = m_tx_session ? m_tx_session->get_num_instances() : 0;
    const int first = instance == -1 ? 0 : instance;
    const int last = instance == -1 ? count - 1 : instance;
    for (int i = first; i <= last && !is_empty(); ++i)
    {
        if (instance == -1 && m_tx_session->is_power_up_view(i))
            continue;
        QString clock;
        get_clock(&clock, i);
        if ((get_data_nodes_used(i) > 0 || get_trigger_nodes_used(i) > 0) && clock.isEmpty())
        {
            sedq_show_message(MSG_SEDQ::O::MISSING_VANTREL_CLOCK_ASSIGNMENT_ITEM());
            break;
        }
    }
    return true;
}

bool SEDQ_TX_MANAGER::check_node_validity(int instance)
{
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf_mgr != NULL) || is_tessarelle_generated() || !acf_mgr->is_project_open() ||
        m_tx_session == nullptr)
        return false;
    bool invalid = run_validity_pass(instance, false);
    if (is_incremental_compile())
        invalid = run_validity_pass(instance, true) || invalid;
    if (invalid != m_nodes_invalid)
    {
        m_nodes_invalid = invalid;
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_VALIDITY |
                                            SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_NODE_VIEW));
    }
    return invalid;
}

// One pass over the instances against one netlist (pre-synthesis, or post-fit for the
// post-fitting nodes under incremental compilation); true when something is invalid.
bool SEDQ_TX_MANAGER::run_validity_pass(int instance, bool post_fit_pass)
{
    DBMUI_MANAGER* dbmui_mgr = DBMUI_MANAGER::get_dbmui_manager(0);
    if (!SEDQ_VERIFY(dbmui_mgr))
        return false;
    const auto type = post_fit_pass ? HDB_NAMESPACE::PDB_POST_FIT : HDB_NAMESPACE::PDB_PRE_SYNTHESIS;
    HDB_NAMESPACE* names =
        dbmui_mgr->get_hdb_cmp_action_pt_instance("sedq_tx_manager", type, false, nullptr, false);
    if (names == nullptr)
        return false;
    HDB_INSTANCE_NAME* action_point_root = names->get_rooted_at();
    bool invalid = false;
    if (SEDQ_VERIFY(action_point_root != NULL))
    {
        const int count = m_tx_session->get_num_instances();
        for (int i = instance == -1 ? 0 : instance; i < count && (instance == -1 || i == instance); ++i)
        {
            // A power-up view shows the lists of its instance; they are checked there.
            if (instance == -1 && m_tx_session->is_power_up_view(i))
                continue;
            invalid = check_clock_validity(m_tx_session->get_signal_set_at(i, false), action_point_root,
                                           post_fit_pass) ||
                      invalid;
            invalid = check_rows_validity(m_tx_session->get_trigger_at(i, false), action_point_root,
                                          post_fit_pass) ||
                      invalid;
        }
    }
    dbmui_mgr->unget_hdb_cmp_action_pt_instance(&names, "sedq_tx_manager");
    return invalid;
}

bool SEDQ_TX_MANAGER::check_clock_validity(SDR_TX_SIGNAL_SET* set, HDB_INSTANCE_NAME* root,
                                           bool post_fit_pass)
{
    bool post_fitting = false;
    const char* clock = set ? set->get_clock_name(&post_fitting) : nullptr;
    if (clock == nullptr || *clock == '\0')
        return false;
    // Each pass judges the clock against its own netlist only.
    if (post_fit_pass != (post_fitting && is_incremental_compile()))
        return false;
    const bool valid = is_valid_name(root, clock, post_fit_pass);
    set->set_clock_invalid(!valid);
    return !valid;
}

bool SEDQ_TX_MANAGER::check_rows_validity(SDR_TX_TRIGGER* trigger, HDB_INSTANCE_NAME* root,
                                          bool post_fit_pass)
{
    bool invalid = false;
    const bool incremental = is_incremental_compile();
    // Every name is looked up, all together, before any row is marked: a mark may move the
    // rows' storage, and with it the names.
    std::vector<int> rows;
    std::vector<const char*> names;
    for (int row = 0; trigger && row < trigger->get_num_nodes(); ++row)
    {
        if (is_group_row(trigger, row))
            continue;
        const bool post_fitting_row = trigger->get_node_tap_mode(row) == SDR_TAP_POST_FITTING;
        if (post_fit_pass ? !post_fitting_row : (incremental && post_fitting_row))
            continue;
        rows.push_back(row);
        names.push_back(trigger->get_node_name(row));
    }
    std::vector<HDB_INSTANCE_NAME*> found(names.size());
    root->find_all_in_descendants(names.data(), names.size(), found.data());
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const bool valid = is_valid_found(found[i], post_fit_pass);
        trigger->set_node_invalid(rows[i], !valid);
        invalid = invalid || !valid;
    }
    return invalid;
}

// ---- marks the node view and the configuration pane show --------------------------------------

// A data-list row carries no mark of its own: it shares the mark of the trigger-list row of the
// same name (the first one of that name).
bool SEDQ_TX_MANAGER::is_node_invalid(int row)
{
    return is_any_node_invalid(row, row);
}

bool SEDQ_TX_MANAGER::is_any_node_invalid(int first, int last)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, SEDQ_CURRENT);
    SDR_TX_SIGNAL_NODES* nodes = trigger ? edit_nodes(SEDQ_CURRENT) : nullptr;
    if (nodes == nullptr)
        return false;
    if (nodes == trigger)
    {
        for (int row = first; row <= last; ++row)
            if (trigger->is_node_invalid(row))
                return true;
        return false;
    }
    // Marks are rare: without any, no name needs comparing.
    const int trigger_rows = trigger->get_num_nodes();
    int first_marked = 0;
    while (first_marked < trigger_rows && !trigger->is_node_invalid(first_marked))
        ++first_marked;
    if (first_marked == trigger_rows)
        return false;
    if (last - first < ROWS_SEARCHED_BY_NAME)
    {
        for (int row = first; row <= last; ++row)
            if (first_row_mark(trigger, nodes->get_node_name(row), first_marked))
                return true;
        return false;
    }
    // The mark of each name's first trigger row; an earlier unmarked row of a name hides a later
    // marked one.
    std::unordered_map<std::string_view, bool> marks;
    marks.reserve(size_t(trigger_rows));
    for (int trigger_row = 0; trigger_row < trigger_rows; ++trigger_row)
    {
        const char* trigger_name = trigger->get_node_name(trigger_row);
        if (trigger_name != nullptr)
            marks.emplace(trigger_name, trigger->is_node_invalid(trigger_row));
    }
    for (int row = first; row <= last; ++row)
    {
        const char* name = nodes->get_node_name(row);
        const auto mark = name != nullptr ? marks.find(name) : marks.end();
        if (mark != marks.end() && mark->second)
            return true;
    }
    return false;
}

bool SEDQ_TX_MANAGER::has_invalid_marks()
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, SEDQ_CURRENT);
    const int rows = trigger != nullptr ? trigger->get_num_nodes() : 0;
    for (int row = 0; row < rows; ++row)
        if (trigger->is_node_invalid(row))
            return true;
    return false;
}

bool SEDQ_TX_MANAGER::is_clock_invalid()
{
    SDR_TX_SIGNAL_SET* set = !is_empty() && is_setup_mode() ? edit_signal_nodes(SEDQ_CURRENT) : nullptr;
    return set != nullptr && set->is_clock_invalid();
}

bool SEDQ_TX_MANAGER::is_clock_post_fitting()
{
    SDR_TX_SIGNAL_SET* set = !is_empty() && is_setup_mode() ? edit_signal_nodes(SEDQ_CURRENT) : nullptr;
    return set != nullptr && set->is_clock_post_fitting();
}
