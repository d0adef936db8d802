// SEDQ_TX_MANAGER: adding nodes to the current instance: one node by name, a hierarchy name
// resolved in the netlist (buses expanded into their bits, sorted and grouped), node-finder
// results (single nodes and arrays of one or two dimensions) and a named group of
// state-machine nodes, within the limit of 4096 nodes per instance.
#include "sedq/model/sedq_tx_manager.h"

#include "host/acf.h"
#include "host/dbmui.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_group_link.h"
#include "sedq/model/sedq_verify.h"

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr unsigned POST_FITTING_FLAG = 0x2000u;
constexpr int NETLIST_ASSIGNMENT = 350;
constexpr const char* CLIENT = "sedq_tx_manager";

// The netlist database chosen by the pre-synthesis filter, borrowed for one insertion.
class SEDQ_NETLIST_ACCESS
{
public:
    explicit SEDQ_NETLIST_ACCESS(bool pre_synthesis)
    {
        DBMUI_MANAGER* dbmui_mgr = DBMUI_MANAGER::get_dbmui_manager(0);
        if (!SEDQ_VERIFY(dbmui_mgr != NULL))
            return;
        m_manager = dbmui_mgr;
        m_names = dbmui_mgr->get_hdb_cmp_action_pt_instance(
            CLIENT, pre_synthesis ? HDB_NAMESPACE::PDB_PRE_SYNTHESIS : HDB_NAMESPACE::PDB_POST_FIT, false, nullptr,
            false);
    }
    ~SEDQ_NETLIST_ACCESS()
    {
        if (m_names != nullptr)
            m_manager->unget_hdb_cmp_action_pt_instance(&m_names, CLIENT);
    }
    SEDQ_NETLIST_ACCESS(const SEDQ_NETLIST_ACCESS&) = delete;
    SEDQ_NETLIST_ACCESS& operator=(const SEDQ_NETLIST_ACCESS&) = delete;

    HDB_NAMESPACE* get() const { return m_names; }

private:
    DBMUI_MANAGER* m_manager = nullptr;
    HDB_NAMESPACE* m_names = nullptr;
};

bool is_project_open()
{
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    return acf_mgr != nullptr && acf_mgr->is_project_open();
}

// The netlist's assignment for the analyzer travels with the signal set.
void hand_netlist_assignment(HDB_NAMESPACE* names, SDR_TX_SIGNAL_SET* set)
{
    HDB_ASSIGNMENT* assignment = names != nullptr ? names->find_assignment(NETLIST_ASSIGNMENT) : nullptr;
    if (assignment != nullptr && set != nullptr)
        set->set_assignment_value(assignment->get_value_str());
}

// A node cannot be the clock and a tapped node at once: the clock gives way.
void clear_clock_conflict(SDR_TX_SIGNAL_SET* set, const QString& name)
{
    bool post_fitting = false;
    const char* clock = set != nullptr ? set->get_clock_name(&post_fitting) : nullptr;
    if (clock == nullptr || *clock == '\0' || QString::fromLocal8Bit(clock) != name)
        return;
    set->set_clock("", set->is_clock_post_fitting());
    MSG_O* message = MSG_SEDQ::O::CLK_CONFLICT(name.toLocal8Bit().toStdString());
    message->show();
    delete message;
}

// The user's letter case wins where the netlist compares without it: a short path that ends
// the typed name apart from its case is taken from the typed name.
QString user_case(const QString& short_path, const QString& name)
{
    if (short_path.size() < name.size() && !name.contains(short_path, Qt::CaseSensitive) &&
        name.right(short_path.size()).compare(short_path, Qt::CaseInsensitive) == 0)
        return name.right(short_path.size());
    return short_path;
}

QString short_path_of(const HDB_INSTANCE_NAME* name)
{
    std::string path;
    name->get_short_hpath(&path);
    return QString::fromLocal8Bit(path.c_str());
}

// first, first +- 1, ..., second: both bounds included, stepping towards the second.
template <typename VISIT>
void for_each_index(QPair<int, int> bounds, VISIT visit)
{
    const int64_t step = bounds.first <= bounds.second ? 1 : -1;
    for (int64_t i = bounds.first;; i += step)
    {
        visit(int(i));
        if (i == bounds.second)
            break;
    }
}

int64_t span_of(QPair<int, int> bounds)
{
    return std::llabs(int64_t(bounds.first) - int64_t(bounds.second));
}

// "[7..0]" whatever order the design gives the bounds in.
QString range_text(QPair<int, int> bounds)
{
    return QStringLiteral("[%1..%2]").arg(std::max(bounds.first, bounds.second)).arg(std::min(bounds.first, bounds.second));
}

// The digits after the "[" at `open`, up to "]".
long index_at(const std::string& name, size_t open)
{
    return std::strtol(name.c_str() + open + 1, nullptr, 10);
}
} // namespace

// ---- single nodes ----------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::insert_node(QString const& name, SDR_DATA_SIGNAL_TYPE signal_type,
                                  SDR_DATA_WIRE_TAP_MODE tap_mode, bool allow_duplicate)
{
    if (m_tx_trigger == nullptr)
        return false;
    if (is_project_open())
    {
        const SEDQ_NETLIST_ACCESS netlist(m_using_pre_synthesis_filter);
        hand_netlist_assignment(netlist.get(), m_tx_signals);
    }
    const bool checks = !is_wizard_mode() && !m_window->is_standalone_window();
    if (checks)
        clear_clock_conflict(m_tx_signals, name);
    const QByteArray bytes = name.toLocal8Bit();
    if (!m_tx_trigger->add_node(bytes.constData(), signal_type, tap_mode, allow_duplicate))
        return false;
    if (checks && is_incremental_compile())
        check_node_partition(name, tap_mode);
    else if (checks && tap_mode != SDR_TAP_PRE_SYNTHESIS)
        show_untappable_msg(bytes.constData());
    update_modified_flag();
    return true;
}

bool SEDQ_TX_MANAGER::check_for_node_add_overflow(int count)
{
    if (int64_t(get_trigger_node_count(SEDQ_CURRENT)) + count <= SEDQ_MAX_NODES)
        return false;
    MSG_O* message = MSG_SEDQ::O::ON_NODE_ADD_OVERRUN_MAXIMUM(SEDQ_MAX_NODES);
    message->show();
    delete message;
    return true;
}

// ---- hierarchy names -------------------------------------------------------------------------

// The whole bus is counted before its first bit is added, so a bus that would pass the node
// limit is refused whole, as an array from the node finder is.
bool SEDQ_TX_MANAGER::insert_node(QString const& name, SDR_DATA_WIRE_TAP_MODE tap_mode)
{
    if (!is_project_open())
    {
        if (check_for_node_add_overflow(1))
            return false;
        insert_node(name, SDR_STYPE_PLAIN, tap_mode, false);
        return true;
    }
    const SEDQ_NETLIST_ACCESS netlist(m_using_pre_synthesis_filter);
    const QByteArray bytes = name.toLocal8Bit();
    HDB_INSTANCE_NAME* found = netlist.get() != nullptr ? netlist.get()->get_instance_name(bytes.constData()) : nullptr;
    if (check_for_node_add_overflow(found != nullptr ? found->get_leaf_count() : 1))
        return false;
    if (netlist.get() == nullptr)
    {
        insert_node(name, SDR_STYPE_PLAIN, tap_mode, false);
        return true;
    }
    if (found == nullptr)
        return insert_node(name, SDR_STYPE_PLAIN, tap_mode, false);
    const QString bus_name = user_case(short_path_of(found), name);
    hand_netlist_assignment(netlist.get(), m_tx_signals);
    std::vector<HDB_INSTANCE_NAME*> members;
    found->get_members(&members);
    if (members.empty())
        return insert_node(bus_name, get_type(found), tap_mode, false);
    const int first = get_trigger_node_count(SEDQ_CURRENT);
    bool has_sub_bus = false;
    bool result = insert_bus_members(members, tap_mode, &has_sub_bus);
    const int last = get_trigger_node_count(SEDQ_CURRENT) - 1;
    if (last < first || has_sub_bus)
        return result;
    result = m_tx_trigger->group_node(first, last, nullptr);
    if (result)
        name_new_bus(first, bus_name);
    return result;
}

// Members in bus order, most significant first; a member that is itself a bus is inserted as a
// hierarchy name of its own (and makes a bus of its own).
bool SEDQ_TX_MANAGER::insert_bus_members(std::vector<HDB_INSTANCE_NAME*> members, SDR_DATA_WIRE_TAP_MODE tap_mode,
                                         bool* has_sub_bus)
{
    std::stable_sort(members.begin(), members.end(), compare_func);
    bool result = false;
    for (HDB_INSTANCE_NAME* instance_name : members)
    {
        if (!SEDQ_VERIFY(instance_name != NULL))
            continue;
        const bool sub_bus = instance_name->size_dimension() != 0;
        *has_sub_bus = *has_sub_bus || sub_bus;
        const bool added = sub_bus ? insert_node(short_path_of(instance_name), tap_mode)
                                   : insert_node(short_path_of(instance_name), get_type(instance_name), tap_mode, false);
        result = added || result;
    }
    return result;
}

void SEDQ_TX_MANAGER::name_new_bus(int row, QString const& name)
{
    m_tx_trigger->set_group_node_name(row, name.toLocal8Bit().constData());
    if (m_cfg_link_groups)
        sedq_link_group(m_tx_trigger, row, sedq_group_link_mask());
}

// Most significant member first: names without an index compare as text; indexed names by
// the text before the first "[", then by the first index, then by the second.
bool compare_func(HDB_INSTANCE_NAME* const& a, HDB_INSTANCE_NAME* const& b)
{
    if (a == nullptr || b == nullptr)
        return a != nullptr && b == nullptr;
    std::string name_a;
    std::string name_b;
    a->get_short_hpath(&name_a);
    b->get_short_hpath(&name_b);
    const size_t open_a = name_a.find('[');
    const size_t open_b = name_b.find('[');
    if (open_a == std::string::npos || open_b == std::string::npos)
        return name_b < name_a;
    const int prefix = name_a.compare(0, open_a, name_b, 0, open_b);
    if (prefix != 0)
        return prefix > 0;
    const long index_a = index_at(name_a, open_a);
    const long index_b = index_at(name_b, open_b);
    if (index_a != index_b)
        return index_a > index_b;
    const size_t second_a = name_a.find('[', open_a + 1);
    const size_t second_b = name_b.find('[', open_b + 1);
    if (second_a != std::string::npos && second_b != std::string::npos)
        return index_at(name_a, second_a) > index_at(name_b, second_b);
    return name_b.compare(open_b, std::string::npos, name_a, open_a, std::string::npos) < 0;
}

// ---- node-finder results ---------------------------------------------------------------------

bool SEDQ_TX_MANAGER::insert_node(AFCQ_INSTANCE_NAME const& found)
{
    QString name;
    get_short_name(&name, found.get_full_name());
    const int kind = found.get_kind();
    if (name.isEmpty() || m_tx_trigger == nullptr)
        return false;
    if (kind < 0 || kind > 2)
    {
        SEDQ_REPORT("Unexpected node type");
        return false;
    }
    const SDR_DATA_WIRE_TAP_MODE tap_mode =
        (found.get_flags() & POST_FITTING_FLAG) != 0 ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS;
    const int64_t n1 = span_of(found.get_first_dimension());
    const int64_t n2 = kind == 2 ? span_of(found.get_second_dimension()) : 0;
    const int64_t count = kind == 0 ? 1 : (n1 + 1) * (n2 + 1);
    if (check_for_node_add_overflow(int(std::min<int64_t>(count, SEDQ_MAX_NODES + 1))))
        return false;
    if (kind == 0)
        return insert_node(name, get_type(found.get_flags()), tap_mode, false);
    const int first = get_trigger_node_count(SEDQ_CURRENT);
    const bool result = insert_array_rows(found, name, n2 != 0, tap_mode);
    const int last = get_trigger_node_count(SEDQ_CURRENT) - 1;
    if (!result)
        return result;
    QString bus_name = name + range_text(found.get_first_dimension());
    if (n2 != 0)
        bus_name += range_text(found.get_second_dimension());
    if (!m_tx_trigger->group_node(first, last, bus_name.toLocal8Bit().constData()))
        return false;
    // Each row of a two-dimensional array becomes a sub-bus of n2 + 1 bits named after its row;
    // a grouped row takes n2 + 2 rows. The arithmetic holds only when every bit was added.
    if (n2 != 0 && last - first + 1 == count)
    {
        const int step = found.get_first_dimension().first <= found.get_first_dimension().second ? 1 : -1;
        for (int64_t k = 0; k <= n1; ++k)
        {
            const QString row_name = QStringLiteral("%1[%2]").arg(name).arg(found.get_first_dimension().first + k * step) +
                                     range_text(found.get_second_dimension());
            m_tx_trigger->group_node(int(first + 1 + k * (n2 + 2)), int(first + 1 + n2 + k * (n2 + 2)),
                                     row_name.toLocal8Bit().constData());
        }
    }
    if (n2 != 0)
    {
        m_tx_trigger->toggle_node(first);
        update_modified_flag();
    }
    name_new_bus(first, bus_name);
    return result;
}

// The bits of an array in the order its bounds give: name[i], or name[i][j] row by row.
bool SEDQ_TX_MANAGER::insert_array_rows(AFCQ_INSTANCE_NAME const& found, QString const& name, bool two_dimensions,
                                        SDR_DATA_WIRE_TAP_MODE tap_mode)
{
    const SDR_DATA_SIGNAL_TYPE type = get_type(found.get_flags());
    bool result = false;
    for_each_index(found.get_first_dimension(), [&](int i) {
        if (!two_dimensions)
        {
            result = insert_node(QStringLiteral("%1[%2]").arg(name).arg(i), type, tap_mode, false) || result;
            return;
        }
        for_each_index(found.get_second_dimension(), [&](int j) {
            result = insert_node(QStringLiteral("%1[%2][%3]").arg(name).arg(i).arg(j), type, tap_mode, false) || result;
        });
    });
    return result;
}

// ---- state-machine nodes ---------------------------------------------------------------------

int SEDQ_TX_MANAGER::insert_nodes(QString const& group_name, QStringList const& nodes, SDR_DATA_WIRE_TAP_MODE tap_mode,
                                  bool allow_duplicate_node_name)
{
    const int first_node_index = get_node_count(SEDQ_CURRENT);
    for (const QString& node : nodes)
    {
        if (!this->insert_node(node, SDR_STYPE_MACHINE, tap_mode, allow_duplicate_node_name))
            SEDQ_REPORT("this->insert_node(node, SDR_STYPE_MACHINE, tap_mode, allow_duplicate_node_name)");
    }
    const int last_node_index = get_node_count(SEDQ_CURRENT) - 1;
    // Nothing was added: there is no group to make.
    if (!SEDQ_VERIFY(last_node_index >= first_node_index))
        return -1;
    if (allow_duplicate_node_name && (m_tx_session == nullptr || m_tx_session->m_is_tx_gen2 == 0))
        return group_state_machine_nodes(group_name, last_node_index - first_node_index + 1);
    if (!this->group_node(first_node_index, last_node_index))
        SEDQ_REPORT("this->group_node(first_node_index, last_node_index)");
    if (!this->rename_group(first_node_index, group_name))
        SEDQ_REPORT("this->rename_group(first_node_index, group_name)");
    bool is_lsb_to_msb = false;
    if (!this->get_node_lsb_to_msb(first_node_index, &is_lsb_to_msb))
        SEDQ_REPORT("this->get_node_lsb_to_msb(first_node_index, &is_lsb_to_msb)");
    if (!is_lsb_to_msb && !this->set_node_lsb_to_msb(first_node_index, true))
        SEDQ_REPORT("this->set_node_lsb_to_msb(first_node_index, true)");
    return first_node_index;
}

namespace
{
// Groups the last `added` rows of one host list as a state-machine bus read least significant
// bit first. The trigger list refuses a group name it already has: "name (1)", "name (2)", ...
// are tried, at most one more than the list has rows (no list holds more names than that).
int group_last_rows(SDR_TX_SIGNAL_NODES* list, int added, const QString& group_name, int link_type, bool retry_name,
                    const char* group_call, const char* name_call)
{
    const int last_node_index = list->get_num_nodes() - 1;
    const int first_node_index = last_node_index - added + 1;
    if (!list->group_node(first_node_index, last_node_index, nullptr))
    {
        SEDQ_REPORT(group_call);
        return first_node_index;
    }
    bool named = list->set_group_node_name(first_node_index, group_name.toLocal8Bit().constData());
    const int bound = retry_name ? list->get_num_nodes() + 1 : 0;
    for (int n = 1; !named && n <= bound; ++n)
        named = list->set_group_node_name(first_node_index,
                                          QStringLiteral("%1 (%2)").arg(group_name).arg(n).toLocal8Bit().constData());
    if (!named)
        SEDQ_REPORT(name_call);
    if (!list->is_lsb_to_msb(first_node_index) && !list->set_lsb_to_msb(first_node_index, true))
        SEDQ_REPORT("set_node_lsb_to_msb(first_node_index, true)");
    if (!list->set_group_node_link_type(first_node_index, link_type))
        SEDQ_REPORT("set_group_node_link_type(first_node_index, link_type)");
    return first_node_index;
}
} // namespace

// Duplicate state-machine nodes may share names, so the rows are grouped in each host list
// directly, the data list first, instead of through the current list.
int SEDQ_TX_MANAGER::group_state_machine_nodes(QString const& group_name, int added)
{
    const int link_type = sedq_group_link_mask() | 0x1;
    if (SEDQ_VERIFY(this->m_tx_signals != NULL))
        group_last_rows(m_tx_signals, added, group_name, link_type, false,
                        "this->m_tx_signals->group_node( first_node_index, last_node_index )",
                        "this->m_tx_signals->set_group_node_name( first_node_index, group_name )");
    if (!SEDQ_VERIFY(this->m_tx_trigger != NULL))
        return -1;
    return group_last_rows(m_tx_trigger, added, group_name, link_type, true,
                           "this->m_tx_trigger->group_node( first_node_index, last_node_index )",
                           "this->m_tx_trigger->set_group_node_name( first_node_index, group_name )");
}
