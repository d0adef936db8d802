// SEDQ_TX_MANAGER: the design partition of a newly added node, the offer to change a partition
// of the wrong netlist type, and the warning lists that gather the nodes of one insertion into
// one message each.
#include "sedq/model/sedq_tx_manager.h"

#include "host/cfg.h"
#include "host/dbmui.h"
#include "host/gen.h"
#include "host/idu.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <vector>

namespace
{
constexpr const char* CLIENT = "sedq_tx_manager";
constexpr int YES = 6;
constexpr int INCREMENTAL_COMPILATION_ON = 2;
constexpr int TOP_PARTITION = 0;
constexpr int USER_PARTITION = 1;

// Netlist types of a partition; the first two take no nodes the analyzer could check.
constexpr int NETLIST_EMPTY = 0;
constexpr int NETLIST_IMPORTED = 32;
constexpr int NETLIST_SOURCE_FILE = 2;
constexpr int NETLIST_POST_FIT = 8;

// Most names a list holds before it ends with "etc.".
constexpr int MAX_LISTED_NODES = 100;

// One list message gathered over an insertion and shown when the insertion ends; process-wide,
// as every editor window adds to the same lists.
struct SEDQ_NODE_WARNING_LIST
{
    MSG_BASE* message = nullptr;
    int count = 0;

    SEDQ_NODE_WARNING_LIST() = default;
    SEDQ_NODE_WARNING_LIST(const SEDQ_NODE_WARNING_LIST&) = delete;
    SEDQ_NODE_WARNING_LIST& operator=(const SEDQ_NODE_WARNING_LIST&) = delete;
    // A list still open when the library unloads is dropped unseen.
    ~SEDQ_NODE_WARNING_LIST() { delete message; }

    // Adds a name: the first 100 as items, the 101st as "etc.", later ones only counted.
    template <typename ITEM> void add(const char* name, ITEM item)
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

// The lists of one kind of partition problem: nodes whose partition was changed, and nodes
// whose partition still has the wrong netlist type.
struct SEDQ_PARTITION_LISTS
{
    SEDQ_NODE_WARNING_LIST changed;
    SEDQ_NODE_WARNING_LIST wrong;
};

SEDQ_NODE_WARNING_LIST& untappable_list()
{
    static SEDQ_NODE_WARNING_LIST list;
    return list;
}

// What tells the pre-synthesis and the post-fitting partition problems apart.
struct SEDQ_PARTITION_KIND
{
    SEDQ_PARTITION_LISTS& (*lists)();
    int netlist_type;
    MSG_YN* (*question)();
    MSG_YN* (*top_question)();
    MSG_O* (*not_supported)();
    MSG_I* (*changed_list)();
    MSG_I* (*changed_item)(const std::string&);
    MSG_W* (*wrong_list)();
    MSG_I* (*wrong_item)(const std::string&);
    MSG_O* (*wrong_at_once)();
    bool offer_other_partitions;
};

SEDQ_PARTITION_LISTS& pre_synthesis_lists()
{
    static SEDQ_PARTITION_LISTS lists;
    return lists;
}

SEDQ_PARTITION_LISTS& post_fitting_lists()
{
    static SEDQ_PARTITION_LISTS lists;
    return lists;
}

const SEDQ_PARTITION_KIND PRE_SYNTHESIS_PARTITION = {
    &pre_synthesis_lists,
    NETLIST_SOURCE_FILE,
    &MSG_SEDQ::YN::PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS,
    &MSG_SEDQ::YN::PRE_SYNTHESIS_INVALID_TOP_PARTITION_ASSIGNMENT,
    &MSG_SEDQ::O::PRE_SYNTHESIS_PARTITION_NOT_SUPPORTED,
    &MSG_SEDQ::I::PRE_SYNTHESIS_VALID_PARTITION_LIST,
    &MSG_SEDQ::I::PRE_SYNTHESIS_VALID_PARTITION_ITEM,
    &MSG_SEDQ::W::PRE_SYNTHESIS_INVALID_PARTITION_LIST,
    &MSG_SEDQ::I::PRE_SYNTHESIS_INVALID_PARTITION_ITEM,
    &MSG_SEDQ::O::PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS,
    false};

const SEDQ_PARTITION_KIND POST_FITTING_PARTITION = {
    &post_fitting_lists,
    NETLIST_POST_FIT,
    &MSG_SEDQ::YN::POST_FITTING_INVALID_PARTITION_ASSIGNMENTS,
    &MSG_SEDQ::YN::POST_FITTING_INVALID_TOP_PARTITION_ASSIGNMENT,
    &MSG_SEDQ::O::POST_FITTING_PARTITION_NOT_SUPPORTED,
    &MSG_SEDQ::I::POST_FITTING_VALID_PARTITION_LIST,
    &MSG_SEDQ::I::POST_FITTING_VALID_PARTITION_ITEM,
    &MSG_SEDQ::W::POST_FITTING_INVALID_PARTITION_LIST,
    &MSG_SEDQ::I::POST_FITTING_INVALID_PARTITION_ITEM,
    &MSG_SEDQ::O::POST_FITTING_INVALID_PARTITION_ASSIGNMENTS,
    true};

// Whether the user is asked to change a partition rather than only warned; read once.
bool use_equivalent_netlist_dialog()
{
    static const bool on = cfg_is_on("sedq_use_equivalent_netlist_dialog", true);
    return on;
}

// The partition of the nearest ancestor of `node` that roots one, under incremental
// compilation only; null otherwise.
IDU_PARTITION* partition_above(HDB_INSTANCE_NAME* node)
{
    IDU_PARTITION_MANAGER* idu_mgr = IDU_PARTITION_MANAGER::get_instance();
    if (!SEDQ_VERIFY(idu_mgr))
        return nullptr;
    IDU_PROJECT_INFO* idu_info = idu_mgr->get_project_info();
    if (!SEDQ_VERIFY(idu_info) ||
        idu_info->get_effective_incremental_compilation_mode() != INCREMENTAL_COMPILATION_ON)
        return nullptr;
    IDU_PARTITION* partition = nullptr;
    for (HDB_INSTANCE_NAME* ancestor = node->get_parent(); ancestor != nullptr && partition == nullptr;
         ancestor = ancestor->get_parent())
    {
        std::string path = "|";
        if (ancestor->get_parent() != nullptr)
            ancestor->get_short_hpath(&path);
        partition = idu_mgr->get_partition_by_short_hpath(path.c_str());
    }
    return partition;
}

// The partition of a node of that netlist, or null when the netlist, the node or its
// partition cannot be found.
IDU_PARTITION* node_partition(const char* name, HDB_NAMESPACE::PDB_FILE_TYPE netlist)
{
    DBMUI_MANAGER* dbmui_mgr = DBMUI_MANAGER::get_dbmui_manager(0);
    if (!SEDQ_VERIFY(dbmui_mgr))
        return nullptr;
    HDB_NAMESPACE* names = dbmui_mgr->get_hdb_cmp_action_pt_instance(CLIENT, netlist, false, nullptr, false);
    if (names == nullptr)
        return nullptr;
    IDU_PARTITION* partition = nullptr;
    HDB_INSTANCE_NAME* action_point_root = names->get_rooted_at();
    if (SEDQ_VERIFY(action_point_root))
    {
        if (HDB_INSTANCE_NAME* node = action_point_root->find_in_descendants(name, false, 1))
            partition = partition_above(node);
    }
    dbmui_mgr->unget_hdb_cmp_action_pt_instance(&names, CLIENT);
    return partition;
}

// One modification that sets the partition's netlist type; false when any step is refused.
bool change_netlist_type(IDU_PARTITION* partition, int netlist_type)
{
    IDU_PARTITION_MANAGER* idu_mgr = IDU_PARTITION_MANAGER::get_instance();
    if (!SEDQ_VERIFY(idu_mgr) || !idu_mgr->begin_modify())
        return false;
    const bool set = partition->set_netlist_type(netlist_type);
    const bool ended = idu_mgr->end_modify(false);
    return set && ended;
}

// After one partition went post-fit: offers the same for every other user partition that is
// not post-fit yet, in one modification.
void offer_post_fit_for_other_partitions()
{
    IDU_PARTITION_MANAGER* idu_mgr = IDU_PARTITION_MANAGER::get_instance();
    if (idu_mgr == nullptr)
        return;
    std::vector<IDU_PARTITION*> others;
    for (auto it = idu_mgr->get_partition_map_begin_iter(); it != idu_mgr->get_partition_map_end_iter(); ++it)
    {
        IDU_PARTITION* p = it->second;
        if (SEDQ_VERIFY(p != NULL) && p->get_partition_type() == USER_PARTITION &&
            p->get_netlist_type() != NETLIST_POST_FIT)
            others.push_back(p);
    }
    if (others.empty() ||
        sedq_show_message(MSG_SEDQ::YN::POST_FITTING_INVALID_OTHER_PARTITION_ASSIGNMENTS()) != YES)
        return;
    if (!idu_mgr->begin_modify())
        return;
    for (IDU_PARTITION* p : others)
        p->set_netlist_type(NETLIST_POST_FIT);
    idu_mgr->end_modify(false);
}

// Asks to change the partition unless the user declined it before; true when it changed.
bool offer_partition_change(IDU_PARTITION* partition, const SEDQ_PARTITION_KIND& kind,
                            std::set<int>* declined)
{
    const int id = partition->get_id();
    if (declined->count(id) != 0)
        return false;
    if (sedq_show_message(id == TOP_PARTITION ? kind.top_question() : kind.question()) != YES)
    {
        declined->insert(id);
        return false;
    }
    if (change_netlist_type(partition, kind.netlist_type))
    {
        if (kind.offer_other_partitions)
            offer_post_fit_for_other_partitions();
        return true;
    }
    sedq_show_message(kind.not_supported());
    return false;
}

void add_partition_problem(char const* name, IDU_PARTITION* partition, const SEDQ_PARTITION_KIND& kind,
                           std::set<int>* declined)
{
    if (gen_is_qhd())
        return;
    SEDQ_PARTITION_LISTS& lists = kind.lists();
    if (name == nullptr)
    {
        lists.changed.flush();
        lists.wrong.flush();
        return;
    }
    const bool ask = use_equivalent_netlist_dialog();
    if (ask && partition != nullptr && offer_partition_change(partition, kind, declined))
    {
        if (lists.changed.message == nullptr)
            lists.changed.message = kind.changed_list();
        lists.changed.add(name, kind.changed_item);
        return;
    }
    if (lists.wrong.message == nullptr)
    {
        lists.wrong.message = kind.wrong_list();
        if (!ask)
            sedq_show_message(kind.wrong_at_once());
    }
    lists.wrong.add(name, kind.wrong_item);
}
} // namespace

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
        sedq_show_message(MSG_SEDQ::O::INVALID_POST_FITTING_NODE_ASSIGNMENTS());
    }
    list.add(name, &MSG_SEDQ::I::PRE_SYNTHESIS_NODE_ASSIGNMENT_ITEM);
}

// True when the node was added to a warning list because its partition has the wrong netlist
// type for its tap mode.
bool SEDQ_TX_MANAGER::check_node_partition(QString const& name, SDR_DATA_WIRE_TAP_MODE tap_mode)
{
    if (gen_is_qhd())
        return false;
    const bool post_fitting = tap_mode != SDR_TAP_PRE_SYNTHESIS;
    const QByteArray bytes = name.toLocal8Bit();
    IDU_PARTITION* partition = node_partition(
        bytes.constData(), post_fitting ? HDB_NAMESPACE::PDB_POST_FIT : HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    const int netlist_type = partition ? partition->get_netlist_type() : NETLIST_EMPTY;
    if (netlist_type == NETLIST_EMPTY || netlist_type == NETLIST_IMPORTED)
        return false;
    if (post_fitting)
    {
        if (netlist_type == NETLIST_POST_FIT)
            return false;
        show_post_fitting_invalid_partition_msg(bytes.constData(), partition);
        return true;
    }
    if (netlist_type == NETLIST_SOURCE_FILE)
        return false;
    show_pre_synthesis_invalid_partition_msg(bytes.constData(), partition);
    return true;
}

void SEDQ_TX_MANAGER::show_pre_synthesis_invalid_partition_msg(char const* name, IDU_PARTITION* partition)
{
    add_partition_problem(name, partition, PRE_SYNTHESIS_PARTITION, &m_declined_pre_synthesis_partitions);
}

void SEDQ_TX_MANAGER::show_post_fitting_invalid_partition_msg(char const* name, IDU_PARTITION* partition)
{
    add_partition_problem(name, partition, POST_FITTING_PARTITION, &m_declined_post_fitting_partitions);
}
