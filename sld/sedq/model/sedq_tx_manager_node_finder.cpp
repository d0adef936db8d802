// SEDQ_TX_MANAGER: nodes from the host's node finder: the non-modal finder and the insertion of
// its selection (lock-mode and allocation checks, the node limit, the warnings gathered over
// one insertion), and the single-node finder that picks the clock, trigger input or
// storage-qualifier input.
#include "sedq/model/sedq_tx_manager.h"

#include "host/thr.h"
#include "host/unbq.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_verify.h"

namespace
{
constexpr unsigned POST_FITTING_FLAG = 0x2000u;
constexpr unsigned TRIGGER_OUT_FLAG = 0x8u;
constexpr const char* PRE_SYNTHESIS_FILTER = "Vantrel: pre-synthesis";
constexpr const char* POST_FITTING_FILTER = "Vantrel: post-fitting";
constexpr const char* FINDER_LIBRARY = "prj_unbq.dll";
constexpr const char* FINDER_FUNCTION = "unbq_dyn_node_finder_dialog_instance_name_widget";

typedef bool (*SINGLE_NODE_FINDER)(QWidget*, AFCQ_INSTANCE_NAME_LIST*, const char*);

void show_message(MSG_BASE* message)
{
    message->show();
    delete message;
}

// Nodes are added in the setup tab; the layout follows the stored tab on the refresh.
void switch_to_setup_tab(SEDQ_TX_MANAGER* manager)
{
    if (manager->get_int_state(SEDQ_CURRENT, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE) == SEDQ_SETUP_PAGE)
        return;
    manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE);
    manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT));
}

bool fits_allocation(int adding, int used, int allocated)
{
    return int64_t(adding) + used <= allocated;
}
} // namespace

void SEDQ_TX_MANAGER::flush_node_warnings()
{
    show_untappable_msg(nullptr);
    show_pre_synthesis_invalid_partition_msg(nullptr, nullptr);
    show_post_fitting_invalid_partition_msg(nullptr, nullptr);
}

// ---- the selection of the node finder --------------------------------------------------------

bool SEDQ_TX_MANAGER::insert_nodes(QList<AFCQ_INSTANCE_NAME> const& found)
{
    if (found.isEmpty())
        return true;
    m_using_pre_synthesis_filter = (found.front().get_flags() & POST_FITTING_FLAG) == 0;
    const SEDQ_LOCK_MODE lock_mode = get_lock_mode(false);
    if (lock_mode == SEDQ_LOCK_MODE_ALLOW_TRIGGER)
    {
        show_message(MSG_SEDQ::O::ON_NODE_ADD_TRIGGER_LOCK());
        return true;
    }
    if (lock_mode == SEDQ_LOCK_MODE_ALLOW_INCREMENTAL)
    {
        if (m_using_pre_synthesis_filter)
        {
            show_message(MSG_SEDQ::O::ON_NODE_ADD_PRE_SYN_INCR_LOCK_MODE());
            return true;
        }
        const int n = found.size();
        const bool fits = fits_allocation(n, get_data_nodes_used(-1), get_data_nodes_allocated(-1)) &&
                          fits_allocation(n, get_trigger_nodes_used(-1), get_trigger_nodes_allocated(-1)) &&
                          fits_allocation(n, get_storage_qualifier_nodes_used(-1),
                                          get_storage_qualifier_nodes_allocated(SEDQ_CURRENT));
        if (!fits)
        {
            MSG_OC* question = MSG_SEDQ::OC::ON_NODE_ADD_OVER_RUN_ALLOCATION();
            const int answer = question->show();
            delete question;
            if (answer == 2)
                return true;
        }
    }
    for (const AFCQ_INSTANCE_NAME& entry : found)
    {
        if (get_trigger_node_count(SEDQ_CURRENT) > SEDQ_MAX_NODES - 1)
        {
            flush_node_warnings();
            check_node_validity(SEDQ_CURRENT);
            show_message(MSG_SEDQ::O::LIMIT_PASSED());
            return true;
        }
        insert_node(entry);
    }
    flush_node_warnings();
    check_node_validity(SEDQ_CURRENT);
    return true;
}

void SEDQ_TX_MANAGER::on_node_insert()
{
    switch_to_setup_tab(this);
    if (m_node_finder == nullptr)
        return;
    m_node_finder->set_filter(m_using_pre_synthesis_filter ? PRE_SYNTHESIS_FILTER : POST_FITTING_FILTER);
    m_node_finder->clear_selected_node();
    m_node_finder->show();
    m_node_finder->raise();
}

// One undoable edit; an allocation that the new nodes outgrow grows with them, unless it is
// automatic (0).
void SEDQ_TX_MANAGER::on_node_insert_to_view(const AFCQ_INSTANCE_NAME_LIST& list)
{
    switch_to_setup_tab(this);
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION,
                         sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_HIERARCHY |
                                   SEDQ_UPDATE_CONFIGURATION));
    insert_nodes(list);
    const int data_used = get_data_nodes_used(-1);
    const int data_allocated = get_data_nodes_allocated(-1);
    if (data_allocated < data_used && data_allocated > 0)
        set_data_nodes_allocated(data_used, SEDQ_CURRENT);
    const int trigger_used = get_trigger_nodes_used(-1);
    const int trigger_allocated = get_trigger_nodes_allocated(-1);
    if (trigger_allocated < trigger_used && trigger_allocated > 0)
        set_trigger_nodes_allocated(trigger_used, SEDQ_CURRENT);
    const int sq_used = get_storage_qualifier_nodes_used(-1);
    const int sq_allocated = get_storage_qualifier_nodes_allocated(SEDQ_CURRENT);
    if (sq_allocated < sq_used && sq_allocated > 0)
        set_storage_qualifier_nodes_allocated(sq_used, SEDQ_CURRENT);
}

// ---- one node for the clock, a trigger input or a storage-qualifier input --------------------

bool SEDQ_TX_MANAGER::get_unb_node(QString* name, NODE_TYPE node_type, SEDQ_IS_POST_FITTING_TYPE* post_fitting)
{
    AFCQ_INSTANCE_NAME_LIST picked;
    THR_DRL_HANDLE library = thr_drl_load(FINDER_LIBRARY);
    auto finder = reinterpret_cast<SINGLE_NODE_FINDER>(library ? thr_drl_find_function(library, FINDER_FUNCTION) : nullptr);
    if (finder == nullptr)
    {
        SEDQ_REPORT(thr_drl_get_error());
        thr_drl_unload(library);
        return false;
    }
    finder(m_window->dialog_parent(), &picked, m_using_pre_synthesis_filter ? PRE_SYNTHESIS_FILTER : POST_FITTING_FILTER);
    thr_drl_unload(library);
    if (picked.isEmpty())
        return false;
    const AFCQ_INSTANCE_NAME& entry = picked.front();
    if (entry.get_kind() != 0)
    {
        show_message(MSG_SEDQ::O::NO_BUS_NODE_ALLOWED());
        return false;
    }
    const bool post_fitting_entry = (entry.get_flags() & POST_FITTING_FLAG) != 0;
    const SDR_DATA_WIRE_TAP_MODE tap_mode = post_fitting_entry ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS;
    m_using_pre_synthesis_filter = !post_fitting_entry;
    get_short_name(name, entry.get_full_name());
    if (post_fitting != nullptr)
        *post_fitting = post_fitting_entry ? SEDQ_POST_FITTING : SEDQ_PRE_SYNTHESIS;
    bool result = true;
    if (node_type == NODE_TYPE_TRIGGER_OUTPUT && (entry.get_flags() & TRIGGER_OUT_FLAG) == 0)
    {
        show_message(MSG_SEDQ::O::INVALID_VANTREL_TRIGGER_OUT_ASSIGNMENT_ITEM(name->toLocal8Bit().toStdString()));
        result = false;
    }
    else if (is_incremental_compile())
        check_node_partition(*name, tap_mode);
    else if (post_fitting_entry)
        show_untappable_msg(name->toLocal8Bit().constData());
    flush_node_warnings();
    return result;
}
