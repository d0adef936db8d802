// SEDQ_TX_MANAGER: attaching a decoder plug-in to an instance of the design. The instances of
// the design units the decoder names are offered for a choice, the decoder's tables name the
// nodes under the chosen one, and each table becomes one plug-in group of the trigger list
// (setup tables) or of the data list (data tables). The lists are addressed by name, never
// through the tab shown, so an attach started from the Data tab still fills the trigger list.
#include "sedq/model/sedq_tx_manager.h"

#include "host/cfg.h"
#include "host/dbmui.h"
#include "host/hdb.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_plugin_tables.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/plugins/sedq_plugin_entry.h"

#include <algorithm>
#include <vector>

namespace
{
// Child kind and flags of the netlist that keep a child out of the names handed to a decoder.
constexpr int NETLIST_KIND_EXCLUDED = 5;
constexpr unsigned NETLIST_FLAG_EXCLUDED = 0x200;
constexpr unsigned NETLIST_FLAG_REQUIRED = 0x80000000u;
// The netlist type and the client name the attach asks the netlist manager with.
constexpr const char* NETLIST_CLIENT = "sedq_tx_manager";
// The kind the data list's own insertion gives second-generation plug-in rows.
constexpr int GEN2_DATA_NODE_KIND = 128;
constexpr int GEN2_NODE_FLAG = 1;

// The pre-synthesis netlist, released on every path.
class PLUGIN_NETLIST
{
public:
    PLUGIN_NETLIST()
    {
        m_manager = DBMUI_MANAGER::get_dbmui_manager(0);
        SEDQ_VERIFY(m_manager != NULL);
        if (m_manager != nullptr)
            m_names = m_manager->get_hdb_cmp_action_pt_instance(NETLIST_CLIENT, HDB_NAMESPACE::PDB_PRE_SYNTHESIS,
                                                                false, nullptr, false);
    }
    ~PLUGIN_NETLIST()
    {
        if (m_names != nullptr)
            m_manager->unget_hdb_cmp_action_pt_instance(&m_names, NETLIST_CLIENT);
    }
    PLUGIN_NETLIST(const PLUGIN_NETLIST&) = delete;
    PLUGIN_NETLIST& operator=(const PLUGIN_NETLIST&) = delete;
    HDB_INSTANCE_NAME* root() const { return m_names != nullptr ? m_names->get_rooted_at() : nullptr; }

private:
    DBMUI_MANAGER* m_manager = nullptr;
    HDB_NAMESPACE* m_names = nullptr;
};

bool lists_node(const QString& name, const QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>& plugins, bool setup)
{
    return std::any_of(plugins.begin(), plugins.end(), [&](const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin) {
        return plugin->setup == setup && plugin->node_names.contains(name, Qt::CaseSensitive);
    });
}

enum GROUP_RESULT
{
    GROUP_NONE,    // the struct has no nodes: passed over
    GROUP_MADE,
    GROUP_FAILED   // stops the attach
};
} // namespace

bool SEDQ_TX_MANAGER::open_plugin(QString const& plugin_name, bool)
{
    SEDQ_PLUGIN_ENTRY* entry = sedq_find_plugin(plugin_name);
    if (entry == nullptr)
        return false;
    QString hierarchy;
    if (!get_plugin_hierarchy(&hierarchy, entry->unit_names))
        return false;
    QStringList discovered;
    if (!get_plugin_discovered_node_list(&discovered, hierarchy))
        return false;
    std::vector<QByteArray> bytes;
    std::vector<char*> names;
    bytes.reserve(size_t(discovered.size()));
    for (const QString& name : discovered)
    {
        bytes.push_back(name.toLocal8Bit());
        names.push_back(bytes.back().data());
    }
    PLUGIN_MNEMONIC_TABLE* setup_tables = nullptr;
    PLUGIN_MNEMONIC_TABLE* data_tables = nullptr;
    int setup_count = 0;
    int data_count = 0;
    if (entry->get_mnemonic_tables(&setup_tables, &setup_count, &data_tables, &data_count, names.data(),
                                   int(names.size())) != 0)
    {
        show_plugin_error_msg(plugin_name);
        return false;
    }
    QList<SEDQ_PLUGIN_STRUCT*> plugins = sedq_read_plugin_tables(plugin_name, setup_tables, setup_count, true);
    plugins += sedq_read_plugin_tables(plugin_name, data_tables, data_count, false);
    const QString prefix = hierarchy.isEmpty() ? hierarchy : hierarchy + "|";
    const bool attached = add_plugin_tables(plugins, prefix) && get_plugin_user_options(&plugins, true);
    // The group records keep what the document needs; the attach's own copies end here.
    qDeleteAll(plugins);
    return attached;
}

// ---- the instances a decoder decodes ---------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_plugin_hierarchy(QString* hierarchy, const QStringList& unit_names)
{
    const PLUGIN_NETLIST netlist;
    if (netlist.root() == nullptr)
    {
        sedq_show_message(MSG_SEDQ::O::PLUGIN_MISSING_NODE_NAMES());
        return false;
    }
    QStringList paths;
    get_plugin_hierarchy_list(&paths, netlist.root(), unit_names);
    if (paths.isEmpty())
    {
        sedq_show_message(MSG_SEDQ::O::PLUGIN_MISSING_HIERARCHY());
        return false;
    }
    paths.removeDuplicates();
    std::sort(paths.begin(), paths.end());
    return s_choose_plugin_hierarchy != nullptr && s_choose_plugin_hierarchy(paths, hierarchy);
}

// One match ends the search at its level: neither its siblings nor what lies below it count.
void SEDQ_TX_MANAGER::get_plugin_hierarchy_list(QStringList* paths, HDB_INSTANCE_NAME* instance,
                                                const QStringList& unit_names)
{
    const auto end = instance->end_child(1);
    for (auto child = instance->begin_child(1); child != end; ++child)
    {
        if (unit_names.contains(QString::fromLocal8Bit((*child)->get_unit_name()), Qt::CaseSensitive))
        {
            std::string path;
            (*child)->get_short_hpath(&path, 0);
            paths->append(QString::fromStdString(path));
            return;
        }
    }
    for (auto child = instance->begin_child(1); child != end; ++child)
        get_plugin_hierarchy_list(paths, *child, unit_names);
}

bool SEDQ_TX_MANAGER::get_plugin_discovered_node_list(QStringList* node_names, const QString& hierarchy)
{
    const PLUGIN_NETLIST netlist;
    HDB_INSTANCE_NAME* instance =
        netlist.root() != nullptr ? netlist.root()->find_in_descendants(hierarchy.toLocal8Bit().constData(), false, 1)
                                  : nullptr;
    if (instance == nullptr)
    {
        sedq_show_message(MSG_SEDQ::O::PLUGIN_MISSING_NODE_NAMES());
        return false;
    }
    const auto end = instance->end_child(1);
    for (auto child = instance->begin_child(1); child != end; ++child)
    {
        if ((*child)->get_kind() != NETLIST_KIND_EXCLUDED && !(*child)->check_flag(NETLIST_FLAG_EXCLUDED) &&
            (*child)->check_flag(NETLIST_FLAG_REQUIRED))
            node_names->append(QString::fromLocal8Bit((*child)->get_unit_name()));
    }
    return true;
}

// ---- the node lists ------------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_data_plugin_node(const QString& name, const QList<SEDQ_PLUGIN_STRUCT*>& plugins)
{
    return lists_node(name, plugins, false);
}

bool SEDQ_TX_MANAGER::is_setup_plugin_node(const QString& name, const QList<SEDQ_PLUGIN_STRUCT*>& plugins)
{
    return lists_node(name, plugins, true);
}

bool SEDQ_TX_MANAGER::insert_plugin_data_node(const QString& full_name)
{
    SDR_TX_SIGNAL_SET* data = m_tx_signals;
    if (data == nullptr)
        return false;
    const QByteArray name = full_name.toLocal8Bit();
    const int count = data->get_num_nodes();
    for (int node = 0; node < count; ++node)
    {
        const char* own = data->get_node_name(node);
        if (own != nullptr && name == own)
            return data->copy_before_node(node, node, count, false) != -1;
    }
    return false;
}

bool SEDQ_TX_MANAGER::add_plugin_tables(const QList<SEDQ_PLUGIN_STRUCT*>& plugins, const QString& prefix)
{
    const bool gen2 = m_tx_session != nullptr && m_tx_session->m_is_tx_gen2 != 0;
    return gen2 ? add_plugin_tables_using_tx_gen2(plugins, prefix) : add_plugin_tables_using_tx_gen1(plugins, prefix);
}

namespace
{
// Groups the rows first..last of `nodes` as the plug-in group of `plugin`, opens its table on
// the group and names it. A second-generation group also gets the per-node flag.
GROUP_RESULT make_plugin_group(SEDQ_TX_MANAGER* tx, SDR_TX_SIGNAL_NODES* nodes, int first, int last,
                               SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin, const QString& prefix, bool gen2)
{
    if (plugin->node_names.isEmpty() || last - first + 1 != plugin->node_names.size())
        return GROUP_NONE;
    if (!nodes->group_node(first, last, nullptr))
        return GROUP_FAILED;
    const bool opened = tx->open_plugin_mnemonic_table(first, plugin);
    nodes->set_group_node_name(first, (prefix + plugin->group_name).toLocal8Bit().constData());
    nodes->set_group_node_alias(first, plugin->group_alias.toLocal8Bit().constData());
    if (gen2)
        nodes->set_node_flag(first, GEN2_NODE_FLAG);
    return opened ? GROUP_MADE : GROUP_FAILED;
}
} // namespace

// Setup tables into the trigger list; false stops the attach. `groups`, when given, counts the
// groups made.
static bool add_setup_plugin_tables(SEDQ_TX_MANAGER* tx, SDR_TX_TRIGGER* trigger,
                                    const QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>& plugins,
                                    const QString& prefix, SDR_DATA_WIRE_TAP_MODE tap_mode, bool gen2, int* groups)
{
    for (SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin : plugins)
    {
        if (!plugin->setup)
            continue;
        const int first = trigger->get_num_nodes();
        for (int i = 0; i < plugin->node_names.size(); ++i)
        {
            const QString& name = plugin->node_names[i];
            if (!tx->insert_node(prefix + name, tap_mode))
                return false;
            const int node = trigger->get_num_nodes() - 1;
            trigger->set_node_alias(node, plugin->node_aliases.value(i).toLocal8Bit().constData());
            if (!SEDQ_TX_MANAGER::is_data_plugin_node(name, plugins))
                trigger->set_node_capture_type(node, SDR_WTYPE_TRIGGER_ONLY);
            if (gen2)
                trigger->set_node_flag(node, GEN2_NODE_FLAG);
        }
        const GROUP_RESULT result =
            make_plugin_group(tx, trigger, first, trigger->get_num_nodes() - 1, plugin, prefix, gen2);
        if (result == GROUP_FAILED)
            return false;
        if (groups != nullptr && result == GROUP_MADE)
            ++*groups;
    }
    return true;
}

bool SEDQ_TX_MANAGER::add_plugin_tables_using_tx_gen1(const QList<SEDQ_PLUGIN_STRUCT*>& plugins,
                                                      const QString& prefix)
{
    SDR_TX_TRIGGER* trigger = m_tx_trigger;
    SDR_TX_SIGNAL_SET* data = m_tx_signals;
    if (trigger == nullptr || data == nullptr)
        return false;
    const SDR_DATA_WIRE_TAP_MODE tap_mode = cfg_is_on("vtl_plugin_add_presynthesis_nodes", false) ? SDR_TAP_PRE_SYNTHESIS
                                            : is_incremental_compile()                           ? SDR_TAP_POST_FITTING
                                                                                                  : SDR_TAP_PRE_SYNTHESIS;
    const int before_setup = data->get_num_nodes();
    int groups = 0;
    bool added = add_setup_plugin_tables(this, trigger, plugins, prefix, tap_mode, false, &groups);
    const int after_setup = data->get_num_nodes();
    // Data-only nodes enter both lists, then the data list takes grouped copies of every data
    // node; the rows they were copied from go again at the end.
    for (SEDQ_PLUGIN_STRUCT* plugin : plugins)
    {
        for (int i = 0; added && !plugin->setup && i < plugin->node_names.size(); ++i)
        {
            const QString& name = plugin->node_names[i];
            if (is_setup_plugin_node(name, plugins))
                continue;
            added = insert_node(prefix + name, tap_mode);
            const int node = trigger->get_num_nodes() - 1;
            if (added)
            {
                trigger->set_node_alias(node, plugin->node_aliases.value(i).toLocal8Bit().constData());
                trigger->set_node_capture_type(node, SDR_WTYPE_DATA_ONLY);
            }
        }
    }
    const int after_data = data->get_num_nodes();
    // The data list takes grouped copies of every data node, but only beside a setup group; the
    // rows the insertions left in it go again, so it shows each node once, inside its data group.
    // A decoder of data tables alone makes no data group. Its rows stay then: a row deleted from
    // the data list is a node deleted, and nothing would be left of an attach that succeeded.
    const bool copied = added && groups > 0;
    if (copied)
    {
        for (SEDQ_PLUGIN_STRUCT* plugin : plugins)
        {
            if (plugin->setup)
                continue;
            for (int i = 0; added && i < plugin->node_names.size(); ++i)
                added = insert_plugin_data_node(prefix + plugin->node_names[i]);
            if (!added)
                break;
            const int group_first = data->get_num_nodes() - plugin->node_names.size();
            added = make_plugin_group(this, data, group_first, data->get_num_nodes() - 1, plugin, prefix, false) !=
                    GROUP_FAILED;
            if (!added)
                break;
        }
    }
    if (after_data > after_setup && (copied || !added))
        data->delete_node(after_setup, after_data - 1);
    if (after_setup > before_setup)
        data->delete_node(before_setup, after_setup - 1);
    update_modified_flag();
    if (!added)
        sedq_show_message(MSG_SEDQ::O::PLUGIN_ADD_NODES_FAILED());
    return added;
}

bool SEDQ_TX_MANAGER::add_plugin_tables_using_tx_gen2(const QList<SEDQ_PLUGIN_STRUCT*>& plugins,
                                                      const QString& prefix)
{
    SDR_TX_TRIGGER* trigger = m_tx_trigger;
    SDR_TX_SIGNAL_SET* data = m_tx_signals;
    if (trigger == nullptr || data == nullptr)
        return false;
    const SDR_DATA_WIRE_TAP_MODE tap_mode =
        cfg_is_on("vtl_plugin_add_postfitting_nodes", false) ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS;
    bool added = add_setup_plugin_tables(this, trigger, plugins, prefix, tap_mode, true, nullptr);
    for (SEDQ_PLUGIN_STRUCT* plugin : plugins)
    {
        if (!added)
            break;
        if (plugin->setup)
            continue;
        const int first = data->get_num_nodes();
        for (int i = 0; added && i < plugin->node_names.size(); ++i)
        {
            added = data->insert_node_gen2((prefix + plugin->node_names[i]).toLocal8Bit().constData(),
                                           GEN2_DATA_NODE_KIND, tap_mode);
            const int node = data->get_num_nodes() - 1;
            if (added)
            {
                data->set_node_alias(node, plugin->node_aliases.value(i).toLocal8Bit().constData());
                data->set_node_capture_type(node, SDR_WTYPE_DATA_ONLY);
                data->set_node_flag(node, GEN2_NODE_FLAG);
            }
        }
        if (added)
            added = make_plugin_group(this, data, first, data->get_num_nodes() - 1, plugin, prefix, true) !=
                    GROUP_FAILED;
    }
    update_modified_flag();
    if (!added)
        sedq_show_message(MSG_SEDQ::O::PLUGIN_ADD_NODES_FAILED());
    return added;
}
