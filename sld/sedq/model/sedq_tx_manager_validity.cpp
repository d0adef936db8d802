// SEDQ_TX_MANAGER: checks of the tapped nodes and the clock against the netlists of the
// compiled design, and the clock check before an acquisition or a save.
#include "sedq/model/sedq_tx_manager.h"

#include "host/acf.h"
#include "host/dbmui.h"
#include "host/gen.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_verify.h"

namespace
{
constexpr unsigned TAPPABLE = 0x80000000u;
constexpr unsigned POST_FITTING = 0x2000u;

// Most names a warning list holds before it ends with "etc.".
constexpr int MAX_LISTED_NODES = 100;

// One list message gathered over an insertion and shown when the insertion ends; process-wide,
// as every editor window adds to the same lists.
struct SEDQ_NODE_WARNING_LIST
{
    MSG_BASE* message = nullptr;
    int count = 0;

    // Adds a name: the first 100 as items, the 101st as "etc.", later ones only counted.
    template <typename ITEM>
    void add(const char* name, ITEM item)
    {
        ++count;
        if (count <= MAX_LISTED_NODES)
            message->add_child(item(name));
        else if (count == MAX_LISTED_NODES + 1)
            message->add_child(MSG_SEDQ::I::INVALID_VANTREL_NODE_ASSIGNMENT_ITEM("etc."));
    }

    void flush()
    {
        if (message != nullptr)
            message->show();
        delete message;
        message = nullptr;
        count = 0;
    }
};

SEDQ_NODE_WARNING_LIST& untappable_list()
{
    static SEDQ_NODE_WARNING_LIST list;
    return list;
}

bool is_group_row(SDR_TX_SIGNAL_NODES* nodes, int row)
{
    const SDR_DATA_NODE_DISPLAY_TYPE type = nodes->get_node_display_type(row);
    return type == SDR_NTYPE_GROUP || type == SDR_NTYPE_GROUP_ALT;
}

// Whether the netlist under `root` knows the name as a node that can be tapped (and, in the
// post-fit pass, as a post-fitting node).
bool is_valid_name(HDB_INSTANCE_NAME* root, const char* name, bool post_fit_pass)
{
    HDB_INSTANCE_NAME* found = root->find_in_descendants(name, false, 1);
    if (found == nullptr || !found->get_flags().test_flag(TAPPABLE))
        return false;
    return !post_fit_pass || found->get_flags().test_flag(POST_FITTING);
}
} // namespace

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
            MSG_O* message = MSG_SEDQ::O::MISSING_VANTREL_CLOCK_ASSIGNMENT_ITEM();
            message->show();
            delete message;
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
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_VALIDITY | SEDQ_UPDATE_INSTANCES |
                                            SEDQ_UPDATE_NODE_VIEW));
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
    HDB_NAMESPACE* names = dbmui_mgr->get_hdb_cmp_action_pt_instance("sedq_tx_manager", type, false, nullptr, false);
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
            invalid = check_clock_validity(m_tx_session->get_signal_set_at(i, false), action_point_root, post_fit_pass) ||
                      invalid;
            invalid = check_rows_validity(m_tx_session->get_trigger_at(i, false), action_point_root, post_fit_pass) ||
                      invalid;
        }
    }
    dbmui_mgr->unget_hdb_cmp_action_pt_instance(&names, "sedq_tx_manager");
    return invalid;
}

bool SEDQ_TX_MANAGER::check_clock_validity(SDR_TX_SIGNAL_SET* set, HDB_INSTANCE_NAME* root, bool post_fit_pass)
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

bool SEDQ_TX_MANAGER::check_rows_validity(SDR_TX_TRIGGER* trigger, HDB_INSTANCE_NAME* root, bool post_fit_pass)
{
    bool invalid = false;
    const bool incremental = is_incremental_compile();
    for (int row = 0; trigger && row < trigger->get_num_nodes(); ++row)
    {
        if (is_group_row(trigger, row))
            continue;
        const bool post_fitting_row = trigger->get_node_tap_mode(row) == SDR_TAP_POST_FITTING;
        if (post_fit_pass ? !post_fitting_row : (incremental && post_fitting_row))
            continue;
        const bool valid = is_valid_name(root, trigger->get_node_name(row), post_fit_pass);
        trigger->set_node_invalid(row, !valid);
        invalid = invalid || !valid;
    }
    return invalid;
}

// ---- warnings gathered over one insertion ------------------------------------------------------

void SEDQ_TX_MANAGER::show_untappable_msg(char const* name)
{
    if (gen_is_qhd())
        return;
    SEDQ_NODE_WARNING_LIST& list = untappable_list();
    if (name == nullptr)
    {
        list.flush();
        return;
    }
    if (list.message == nullptr)
    {
        list.message = MSG_SEDQ::W::INVALID_VANTREL_NODE_ASSIGNMENT_LIST();
        MSG_O* at_once = MSG_SEDQ::O::INVALID_POST_FITTING_NODE_ASSIGNMENTS();
        at_once->show();
        delete at_once;
    }
    list.add(name, [](const char* item) { return MSG_SEDQ::I::PRE_SYNTHESIS_NODE_ASSIGNMENT_ITEM(item); });
}

// Partitions are not modelled by the host's partition manager yet: no node is found in a
// partition of the wrong netlist type, so nothing reaches the partition lists.
bool SEDQ_TX_MANAGER::check_node_partition(QString const&, SDR_DATA_WIRE_TAP_MODE)
{
    return false;
}

void SEDQ_TX_MANAGER::show_pre_synthesis_invalid_partition_msg(char const*, IDU_PARTITION*)
{
}

void SEDQ_TX_MANAGER::show_post_fitting_invalid_partition_msg(char const*, IDU_PARTITION*)
{
}
