// SEDQ_HDB_MANAGER: state machines, their registers and one-hot state encodings read from the
// pre-synthesis netlist, and the existence check of register names.
#include "sedq/view/sedq_hdb_manager.h"

#include "host/afcq.h"
#include "host/dbmui.h"
#include "sedq/model/sedq_verify.h"

#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr const char* CLIENT = "sedq_tx_manager";
constexpr unsigned STATE_MACHINE_FLAG = 0x400;
constexpr int SCOPE = 1;

QString short_name(const HDB_INSTANCE_NAME* instance)
{
    std::string temp;
    instance->get_short_hpath(&temp, 0);
    return QString::fromUtf8(temp.c_str());
}

// The children of `instance` flagged as state machines, with their short names; a child
// without a name is reported and left out.
std::vector<std::pair<HDB_INSTANCE_NAME*, QString>> state_machine_children(HDB_INSTANCE_NAME* instance)
{
    std::vector<std::pair<HDB_INSTANCE_NAME*, QString>> children;
    for (HDB_NAME_ITERATOR it = instance->begin_child(SCOPE); it != instance->end_child(SCOPE); ++it)
    {
        if (!(*it)->check_flag(STATE_MACHINE_FLAG))
            continue;
        const QString temp = short_name(*it);
        if (SEDQ_VERIFY(!temp.isEmpty()))
            children.emplace_back(*it, temp);
    }
    return children;
}
} // namespace

SEDQ_HDB_MANAGER::SEDQ_HDB_MANAGER(int netlist)
    : m_file_type(netlist == 0 ? HDB_NAMESPACE::PDB_PRE_SYNTHESIS : HDB_NAMESPACE::PDB_POST_FIT),
      m_dbmui_manager(DBMUI_MANAGER::get_dbmui_manager(0))
{
    if (!SEDQ_VERIFY(this->m_dbmui_manager != NULL))
        return;
    m_namespace = m_dbmui_manager->get_hdb_cmp_action_pt_instance(CLIENT, m_file_type, false, nullptr, false);
    // No netlist of that type (nothing compiled yet): an unloaded reader, not an error.
    if (m_namespace == nullptr)
        return;
    m_action_point_root = m_namespace->get_rooted_at();
    SEDQ_VERIFY(this->m_action_point_root != NULL);
}

SEDQ_HDB_MANAGER::~SEDQ_HDB_MANAGER()
{
    if (m_namespace != nullptr && m_dbmui_manager != nullptr)
        m_dbmui_manager->unget_hdb_cmp_action_pt_instance(&m_namespace, CLIENT);
}

bool SEDQ_HDB_MANAGER::is_database_loaded()
{
    return m_action_point_root != nullptr;
}

void SEDQ_HDB_MANAGER::find_state_machine_nodes_in_hdb(const QString& name, std::list<HDB_INSTANCE_NAME*>* list)
{
    if (list == nullptr || m_action_point_root == nullptr)
        return;
    const QByteArray pattern = (name + QStringLiteral(".*")).toLocal8Bit();
    HDB_INSTANCE_NAME* hdb_instance_name =
        m_action_point_root->find_in_descendants(name.toLocal8Bit().constData(), false, SCOPE);
    if (!SEDQ_VERIFY(hdb_instance_name != NULL))
        return;
    HDB_INSTANCE_NAME* parent = hdb_instance_name->get_parent();
    if (!SEDQ_VERIFY(parent != NULL))
        return;
    parent->find_descendants_matching_wildcard(pattern.constData(), list);
}

void SEDQ_HDB_MANAGER::for_each_descendant(const std::function<void(HDB_INSTANCE_NAME*)>& visit)
{
    if (m_action_point_root == nullptr)
        return;
    for (HDB_DESCENDANT_ITERATOR it = m_action_point_root->begin_descendant(nullptr, SCOPE);
         it != m_action_point_root->end_descendant(nullptr, SCOPE); ++it)
        visit(*it);
}

void SEDQ_HDB_MANAGER::get_state_machine_list(QStringList* list)
{
    list->clear();
    for_each_descendant([this, list](HDB_INSTANCE_NAME* instance) { get_state_machine_list(list, instance); });
}

void SEDQ_HDB_MANAGER::get_state_machine_list(QStringList* list, HDB_INSTANCE_NAME* instance)
{
    for (const auto& child : state_machine_children(instance))
    {
        // "~" marks names the synthesis made up; no user looks for those machines.
        if (child.second.contains(QLatin1Char('~')))
            continue;
        std::list<HDB_INSTANCE_NAME*> registers;
        find_state_machine_nodes_in_hdb(child.second, &registers);
        if (!registers.empty())
            list->append(child.second);
    }
}

void SEDQ_HDB_MANAGER::get_node_list(const QString& state_machine, QStringList* nodes)
{
    nodes->clear();
    std::list<HDB_INSTANCE_NAME*> registers;
    find_state_machine_nodes_in_hdb(state_machine, &registers);
    for (HDB_INSTANCE_NAME* reg : registers)
    {
        const QString short_hpath = short_name(reg);
        if (SEDQ_VERIFY(!short_hpath.isEmpty()))
            nodes->append(short_hpath);
    }
}

void SEDQ_HDB_MANAGER::get_mnemonic_list(const QString& state_machine, QStringList* names, QStringList* values)
{
    names->clear();
    values->clear();
    if (m_action_point_root == nullptr)
        return;
    std::list<HDB_INSTANCE_NAME*> registers;
    find_state_machine_nodes_in_hdb(state_machine, &registers);
    const int node_count = int(registers.size());
    if (!SEDQ_VERIFY(node_count > 0))
        return;
    int i = 0;
    for (HDB_INSTANCE_NAME* reg : registers)
    {
        std::string unit_name;
        reg->get_unit_name_str(&unit_name);
        // A register without a unit name has no state name; the others keep their patterns.
        if (SEDQ_VERIFY(unit_name != ""))
        {
            const QString unit = QString::fromUtf8(unit_name.c_str());
            const int dot = unit.indexOf(QLatin1Char('.'));
            names->append(dot < 0 ? unit : unit.mid(dot + 1));
            values->append(QString(node_count - 1 - i, QLatin1Char('0')) + QLatin1Char('1') +
                           QString(i, QLatin1Char('0')));
        }
        ++i;
    }
}

bool SEDQ_HDB_MANAGER::verify_node_list(const QStringList& nodes)
{
    if (nodes.isEmpty())
        return true;
    if (m_action_point_root == nullptr)
        return false;
    for (const QString& node : nodes)
    {
        if (m_action_point_root->find_in_descendants(node.toLocal8Bit().constData(), false, SCOPE) == nullptr)
            return false;
    }
    return true;
}

void SEDQ_HDB_MANAGER::dump()
{
    if (m_action_point_root == nullptr)
        return;
    QString text;
    for_each_descendant([&text](HDB_INSTANCE_NAME* instance) {
        for (const auto& machine : state_machine_children(instance))
        {
            text += QStringLiteral("state machine: ") + machine.second + QLatin1Char('\n');
            for (const auto& child : state_machine_children(machine.first))
                text += child.second + QLatin1Char('\n');
        }
    });
    afcq_message_box(text.trimmed(), 1);
}
