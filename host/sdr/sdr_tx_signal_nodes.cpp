// SDR_TX_SIGNAL_NODES: row properties, group-row properties and the mirroring of a written
// field into the linked row of the other list.
#include "host/sdr/sdr_tx_signal_nodes.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file_limits.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_verify.h"
#include "host/standin/sdr_control.h"

#include <cstring>

namespace
{
const char* text_or_empty(const char* text)
{
    return text ? text : "";
}

bool is_leaf_field(int what)
{
    return what != 0;
}
} // namespace

SDR_TX_SIGNAL_NODES::SDR_TX_SIGNAL_NODES(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance)
    : m_session(session), m_instance(instance)
{
}

SDR_TX_SIGNAL_NODES::~SDR_TX_SIGNAL_NODES() = default;

const SDR_NODE_ROW* SDR_TX_SIGNAL_NODES::row_at(int row) const
{
    const SDR_NODE_LIST* list = rows();
    if (list == nullptr || row < 0 || row >= list->size())
        return nullptr;
    return &list->at(row);
}

SDR_DATA_TRIGGER* SDR_TX_SIGNAL_NODES::active_trigger()
{
    return m_instance != nullptr && m_instance->m_session != nullptr ? m_instance->get_active_trigger() : nullptr;
}

SDR_DATA_SIGNAL_SET* SDR_TX_SIGNAL_NODES::active_signal_set()
{
    return m_instance != nullptr && m_instance->m_session != nullptr ? m_instance->get_active_signal_set()
                                                                     : nullptr;
}

int SDR_TX_SIGNAL_NODES::next_link_id()
{
    if (m_instance == nullptr || m_instance->m_session == nullptr)
        return 0;
    return m_instance->m_session->m_next_link_id++;
}

bool SDR_TX_SIGNAL_NODES::is_refused(const char* operation) const
{
    return standin::sdr::is_write_refused(operation);
}

bool SDR_TX_SIGNAL_NODES::text_fits(const std::string& value, const char* what) const
{
    return SDR_DATA_MANAGER::text_fits(value, what);
}

bool SDR_TX_SIGNAL_NODES::has_room(SDR_FILE_ELEMENT element, qint64 more) const
{
    QString problem;
    return m_instance == nullptr || m_instance->m_session == nullptr ||
           SDR_FILE_LIMITS::has_room(*m_instance->m_session, element, more, &problem) ||
           SDR_DATA_MANAGER::refuse(problem);
}

bool SDR_TX_SIGNAL_NODES::has_row_room(int more, int more_in_document) const
{
    const SDR_NODE_LIST* list = rows();
    if (list != nullptr && list->size() > SDR_FILE_LIMITS::MAX_ROWS_PER_LIST - more)
        return SDR_DATA_MANAGER::refuse(QStringLiteral("the node list would hold more than %1 rows, the most a list of "
                                                       "an analyzer file may hold")
                                            .arg(SDR_FILE_LIMITS::MAX_ROWS_PER_LIST));
    return has_room(SDR_FILE_ELEMENT::ROW, more_in_document);
}

SDR_NODE_LIST* SDR_TX_SIGNAL_NODES::edit_other_rows()
{
    if (is_data_list())
    {
        SDR_DATA_TRIGGER* trigger = active_trigger();
        return trigger != nullptr ? &trigger->edit().trigger_list : nullptr;
    }
    SDR_DATA_SIGNAL_SET* set = active_signal_set();
    return set != nullptr ? &set->edit().data_list : nullptr;
}

bool SDR_TX_SIGNAL_NODES::write_row(int row, int what, const ROW_WRITE& apply)
{
    if (row_at(row) == nullptr)
        return false;
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST* list = edit_rows(true);
    if (list == nullptr)
        return false;
    SDR_NODE_ROW& target = (*list)[row];
    apply(target);
    row_changed(target, what);
    return true;
}

void SDR_TX_SIGNAL_NODES::copy_field(const SDR_NODE_ROW& from, SDR_NODE_ROW* to, int what)
{
    if (what & FIELD_NAME)
        to->name = from.name;
    if (what & FIELD_ALIAS)
        to->alias = from.alias;
    if (what & FIELD_CAPTURE)
        to->capture_type = from.capture_type;
    if (what & FIELD_TAP)
        to->tap_mode = from.tap_mode;
    if (what & FIELD_STORAGE)
        to->storage_enabled = from.storage_enabled;
    if (what & FIELD_TRANSITION)
        to->transition_enabled = from.transition_enabled;
    if (what & FIELD_INVERTED)
        to->inverted = from.inverted;
    if (what & FIELD_RADIX)
        to->radix = from.radix;
    if (what & FIELD_ORDER)
        to->lsb_to_msb = from.lsb_to_msb;
    if (what & FIELD_MNEMONICS)
        to->mnemonic_table = from.mnemonic_table;
    if (what & FIELD_FLAG)
        to->node_flag = from.node_flag;
    if (what & FIELD_LINK)
    {
        to->link_mask = from.link_mask;
        to->link_mask2 = from.link_mask2;
        to->link_type = from.link_type;
    }
}

// Leaves of the two lists are one node seen twice: every field follows. Group rows follow
// only where their link mask says so (0x1 name, 0x8 radix and alias, 0x2 bit order,
// 0x4 mnemonic table).
void SDR_TX_SIGNAL_NODES::row_changed(const SDR_NODE_ROW& row, int what)
{
    if (row.link_id == 0 || row.data_tab_only || !is_leaf_field(what))
        return;
    int mirrored = what;
    if (is_group_row(row))
    {
        // Groups made in both lists at once carry only a link type.
        const int mask = row.link_mask != 0 ? row.link_mask : row.link_type;
        int allowed = FIELD_LINK;
        if (mask & 0x1)
            allowed |= FIELD_NAME;
        if (mask & 0x8)
            allowed |= FIELD_RADIX | FIELD_ALIAS;
        if (mask & 0x2)
            allowed |= FIELD_ORDER;
        if (mask & 0x4)
            allowed |= FIELD_MNEMONICS;
        mirrored &= allowed;
        if (mirrored == 0)
            return;
    }
    const SDR_NODE_ROW copy = row;
    SDR_NODE_LIST* other = edit_other_rows();
    if (other == nullptr)
        return;
    for (SDR_NODE_ROW& linked : *other)
    {
        if (linked.link_id == copy.link_id)
            copy_field(copy, &linked, mirrored);
    }
}

// ---- rows ------------------------------------------------------------------------------------

int SDR_TX_SIGNAL_NODES::get_num_nodes() const
{
    const SDR_NODE_LIST* list = rows();
    return list != nullptr ? list->size() : 0;
}

SDR_DATA_NODE_DISPLAY_TYPE SDR_TX_SIGNAL_NODES::get_node_display_type(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->display_type : SDR_NTYPE_STANDALONE;
}

const char* SDR_TX_SIGNAL_NODES::get_node_name(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->name.c_str() : nullptr;
}

SDR_DATA_SIGNAL_TYPE SDR_TX_SIGNAL_NODES::get_node_signal_type(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->signal_type : SDR_STYPE_PLAIN;
}

const char* SDR_TX_SIGNAL_NODES::get_node_alias(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->alias.c_str() : "";
}

const char* SDR_TX_SIGNAL_NODES::get_node_debug_port_out(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->has_debug_port_out ? r->debug_port_out.c_str() : nullptr;
}

bool SDR_TX_SIGNAL_NODES::is_node_debug_port_out_enabled(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->debug_port_out_enabled;
}

SDR_DATA_WIRE_CAPTURE_TYPE SDR_TX_SIGNAL_NODES::get_node_capture_type(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->capture_type : SDR_WTYPE_UNSET;
}

bool SDR_TX_SIGNAL_NODES::set_node_capture_type(int row, SDR_DATA_WIRE_CAPTURE_TYPE type)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || type < SDR_WTYPE_UNSET || type > SDR_WTYPE_NEITHER || is_refused("set_node_capture_type"))
        return false;
    if (r->capture_type == type)
        return true;
    return write_row(row, FIELD_CAPTURE, [type](SDR_NODE_ROW& w) { w.capture_type = type; });
}

SDR_DATA_WIRE_TAP_MODE SDR_TX_SIGNAL_NODES::get_node_tap_mode(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->tap_mode : SDR_TAP_PRE_SYNTHESIS;
}

bool SDR_TX_SIGNAL_NODES::set_node_tap_mode(int row, SDR_DATA_WIRE_TAP_MODE mode)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || is_refused("set_node_tap_mode"))
        return false;
    if (r->tap_mode == mode)
        return true;
    return write_row(row, FIELD_TAP, [mode](SDR_NODE_ROW& w) { w.tap_mode = mode; });
}

bool SDR_TX_SIGNAL_NODES::is_node_storage_enabled(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->storage_enabled;
}

bool SDR_TX_SIGNAL_NODES::set_node_storage_enabled(int row, bool on)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || r->storage_enabled == on)
        return false;
    return write_row(row, FIELD_STORAGE, [on](SDR_NODE_ROW& w) { w.storage_enabled = on; });
}

bool SDR_TX_SIGNAL_NODES::is_node_transition_enabled(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->transition_enabled;
}

bool SDR_TX_SIGNAL_NODES::set_node_transition_enabled(int row, bool on)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || r->transition_enabled == on)
        return false;
    return write_row(row, FIELD_TRANSITION, [on](SDR_NODE_ROW& w) { w.transition_enabled = on; });
}

bool SDR_TX_SIGNAL_NODES::is_node_inverted(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->inverted;
}

bool SDR_TX_SIGNAL_NODES::set_node_inverted(int row, bool on)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr)
        return false;
    if (r->inverted == on)
        return true;
    return write_row(row, FIELD_INVERTED, [on](SDR_NODE_ROW& w) { w.inverted = on; });
}

bool SDR_TX_SIGNAL_NODES::get_node_selection_status(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->selected;
}

void SDR_TX_SIGNAL_NODES::set_node_selection_status(int row, bool selected)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || r->selected == selected)
        return;
    if (SDR_NODE_LIST* list = edit_rows(false))
        (*list)[row].selected = selected;
}

int SDR_TX_SIGNAL_NODES::get_node_depth(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->depth : 0;
}

bool SDR_TX_SIGNAL_NODES::is_node_data_tab_only(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->data_tab_only;
}

int SDR_TX_SIGNAL_NODES::get_node_wire_index(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && is_data_list() && !is_group_row(*r) ? r->wire_index : -1;
}

bool SDR_TX_SIGNAL_NODES::is_node_invalid(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->invalid;
}

void SDR_TX_SIGNAL_NODES::set_node_invalid(int row, bool invalid)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || r->invalid == invalid)
        return;
    if (SDR_NODE_LIST* list = edit_rows(false))
        (*list)[row].invalid = invalid;
}

bool SDR_TX_SIGNAL_NODES::is_node_deletable(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr)
        return false;
    if (r->deletable_override >= 0)
        return r->deletable_override != 0;
    const int parent = get_parent_index(row, 1);
    return parent < 0 || row_at(parent)->radix != SDR_GTYPE_PLUGIN;
}

// ---- group rows ------------------------------------------------------------------------------

SDR_DATA_GROUP_DISPLAY_TYPE SDR_TX_SIGNAL_NODES::get_group_display_type(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && is_group_row(*r) ? r->radix : SDR_GTYPE_INVALID;
}

bool SDR_TX_SIGNAL_NODES::set_group_display_type(int row, SDR_DATA_GROUP_DISPLAY_TYPE type)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r) || type < SDR_GTYPE_MNEMONICS || type >= SDR_GTYPE_INVALID)
        return false;
    SDR_EDIT_SCOPE scope(m_instance); // the new record and the radix are one step
    if (type == SDR_GTYPE_PLUGIN && r->plugin_group == nullptr && create_plugin_group(row) == nullptr)
        return false;
    if (row_at(row)->radix == type)
        return true;
    return write_row(row, FIELD_RADIX, [type](SDR_NODE_ROW& w) { w.radix = type; });
}

bool SDR_TX_SIGNAL_NODES::is_lsb_to_msb(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->lsb_to_msb;
}

bool SDR_TX_SIGNAL_NODES::set_lsb_to_msb(int row, bool on)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r))
        return false;
    if (r->lsb_to_msb == on)
        return true;
    return write_row(row, FIELD_ORDER, [on](SDR_NODE_ROW& w) { w.lsb_to_msb = on; });
}

const char* SDR_TX_SIGNAL_NODES::get_mnemonics_table_name(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->mnemonic_table.c_str() : "";
}

bool SDR_TX_SIGNAL_NODES::set_mnemonics_table_name(int row, const char* name)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r))
        return false;
    const std::string value = text_or_empty(name);
    if (r->mnemonic_table == value)
        return true;
    if (!text_fits(value, "the mnemonic table name"))
        return false;
    return write_row(row, FIELD_MNEMONICS, [&value](SDR_NODE_ROW& w) { w.mnemonic_table = value; });
}

SDR_PLUGIN_GROUP* SDR_TX_SIGNAL_NODES::get_plugin_group(int row)
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->plugin_group : nullptr;
}

SDR_PLUGIN_GROUP* SDR_TX_SIGNAL_NODES::create_plugin_group(int row)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r))
        return nullptr;
    if (r->plugin_group != nullptr)
        return r->plugin_group;
    if (!has_room(SDR_FILE_ELEMENT::PLUGIN_GROUP, 1))
        return nullptr;
    SDR_PLUGIN_GROUP* record = m_instance->create_plugin_group_record();
    write_row(row, 0, [record](SDR_NODE_ROW& w) { w.plugin_group = record; });
    return record;
}

bool SDR_TX_SIGNAL_NODES::set_group_node_name(int row, const char* name)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r) || name == nullptr || *name == '\0' || is_refused("set_group_node_name"))
        return false;
    // Group names are unique in the trigger list only; the data list may repeat one (a bus of
    // duplicate state-machine nodes is named there before its trigger-list twin).
    const SDR_NODE_LIST& list = *rows();
    for (int i = 0; i < list.size() && !is_data_list(); ++i)
    {
        if (i != row && is_group_row(list[i]) && list[i].name == name)
            return false;
    }
    if (r->name == name)
        return true;
    const std::string value = name;
    if (!text_fits(value, "the group name"))
        return false;
    return write_row(row, FIELD_NAME, [&value](SDR_NODE_ROW& w) { w.name = value; });
}

bool SDR_TX_SIGNAL_NODES::set_group_node_alias(int row, const char* alias)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r))
        return false;
    const std::string value = text_or_empty(alias);
    if (r->alias == value)
        return true;
    if (!text_fits(value, "the group alias"))
        return false;
    return write_row(row, FIELD_ALIAS, [&value](SDR_NODE_ROW& w) { w.alias = value; });
}

bool SDR_TX_SIGNAL_NODES::set_group_node_link(int row, int mask, int mask_with_mnemonics)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r))
        return false;
    if (r->link_mask == mask && r->link_mask2 == mask_with_mnemonics)
        return true;
    // A new link brings the linked row in line with this one at once.
    const int all = FIELD_LINK | FIELD_NAME | FIELD_RADIX | FIELD_ALIAS | FIELD_ORDER | FIELD_MNEMONICS;
    return write_row(row, all, [mask, mask_with_mnemonics](SDR_NODE_ROW& w) {
        w.link_mask = mask;
        w.link_mask2 = mask_with_mnemonics;
    });
}

bool SDR_TX_SIGNAL_NODES::set_group_node_link_type(int row, int link_type)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r))
        return false;
    if (r->link_type == link_type)
        return true;
    return write_row(row, FIELD_LINK, [link_type](SDR_NODE_ROW& w) { w.link_type = link_type; });
}

// ---- leaf rows -------------------------------------------------------------------------------

bool SDR_TX_SIGNAL_NODES::set_node_alias(int row, const char* alias)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || is_refused("set_node_alias"))
        return false;
    const std::string value = text_or_empty(alias);
    if (!text_fits(value, "the alias"))
        return false;
    if (!value.empty())
    {
        const SDR_NODE_LIST& list = *rows();
        for (int i = 0; i < list.size(); ++i)
        {
            if (i != row && list[i].alias == value)
                return false;
        }
    }
    if (r->alias == value)
        return true;
    return write_row(row, FIELD_ALIAS, [&value](SDR_NODE_ROW& w) { w.alias = value; });
}

bool SDR_TX_SIGNAL_NODES::set_node_name(int row, const char* name)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || is_group_row(*r) || name == nullptr || *name == '\0' || is_refused("set_node_name"))
        return false;
    if (r->name == name)
        return true;
    const std::string value = name;
    if (!text_fits(value, "the node name"))
        return false;
    return write_row(row, FIELD_NAME, [&value](SDR_NODE_ROW& w) { w.name = value; });
}

bool SDR_TX_SIGNAL_NODES::set_node_flag(int row, int value)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr)
        return false;
    if (r->node_flag == value)
        return true;
    return write_row(row, FIELD_FLAG, [value](SDR_NODE_ROW& w) { w.node_flag = value; });
}
