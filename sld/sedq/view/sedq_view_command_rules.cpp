// SEDQ_VIEW: when the node commands may run — the rules the column menus and the Edit menu
// apply to their host actions just before they show, and the bus display format submenu with
// one entry per mnemonic table and per plug-in bus of the selection.
#include "sedq/view/sedq_view.h"

#include "host/acf.h"
#include "host/sdr.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace
{
// The fixed entries of the bus display format submenu and the radix each shows.
constexpr std::pair<int, SDR_DATA_GROUP_DISPLAY_TYPE> FORMAT_ACTIONS[] = {
    {AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION, SDR_GTYPE_HEX},
    {AFCQ_SEDQ_BUS_UNSIGNED_ACTION, SDR_GTYPE_UNSIGNED},
    {AFCQ_SEDQ_BUS_TWOS_COMPLEMENT_ACTION, SDR_GTYPE_TWOS_COMPLEMENT},
    {AFCQ_SEDQ_BUS_SIGNED_MAGNITUDE_ACTION, SDR_GTYPE_SIGNED_MAGNITUDE},
    {AFCQ_SEDQ_BUS_FLOAT_ACTION, SDR_GTYPE_FLOAT},
    {AFCQ_SEDQ_BUS_DOUBLE_ACTION, SDR_GTYPE_DOUBLE},
    {AFCQ_SEDQ_BUS_OCTAL_ACTION, SDR_GTYPE_OCTAL},
    {AFCQ_SEDQ_BUS_BINARY_ACTION, SDR_GTYPE_BINARY},
    {AFCQ_SEDQ_BUS_ASCII_ACTION, SDR_GTYPE_ASCII},
    {AFCQ_SEDQ_BUS_BAR_CHART_ACTION, SDR_GTYPE_CHART_8},
    {AFCQ_SEDQ_BUS_LINE_CHART_ACTION, SDR_GTYPE_CHART_9},
    {AFCQ_SEDQ_BUS_SIGNED_BAR_CHART_ACTION, SDR_GTYPE_CHART_10},
    {AFCQ_SEDQ_BUS_SIGNED_LINE_CHART_ACTION, SDR_GTYPE_CHART_11}};
} // namespace

QAction* SEDQ_VIEW::host_action(int id)
{
    return m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant());
}

bool SEDQ_VIEW::any_selected_row(const std::function<bool(int)>& test)
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
        if (is_item_selected(row) && test(row))
            return true;
    return false;
}

// ---- column menus --------------------------------------------------------------------------------

// The enable entry of a pair while a selected row is off or partly on, the disable entry while
// one is on.
void SEDQ_VIEW::enable_pair(int enable_id, int disable_id, bool allowed,
                            bool (SEDQ_NODE::*is_on)(bool* partially) const)
{
    enable(enable_id, allowed && any_selected_row([&](int row) {
                          bool partially = false;
                          return !(SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).*is_on)(&partially) ||
                                 partially;
                      }));
    enable(disable_id, allowed && any_selected_row(
                                      [&](int row) {
                                          return (SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).*is_on)(nullptr);
                                      }));
}

void SEDQ_VIEW::on_update_data_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    enable_pair(AFCQ_SEDQ_DATA_ENABLE_ACTION, AFCQ_SEDQ_DATA_DISABLE_ACTION, is_setup_enabled(true),
                &SEDQ_NODE::is_data_enabled);
}

// The first selected row that is a comparison group's member or could change decides: a
// comparison's member keeps its trigger enable.
void SEDQ_VIEW::on_update_trigger_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    const bool allowed = is_setup_enabled(true);
    const auto first_decides = [this](bool want_enabled)
    {
        const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
        for (int row = 0; row < count; ++row)
        {
            if (!is_item_selected(row))
                continue;
            int level = 0;
            const bool member = is_comparison_group_member_on_any_level(row, &level);
            bool partially = false;
            const bool enabled = SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT)
                                     .is_trigger_enabled(&partially, SEDQ_PATTERN_ANY_LEVEL);
            const bool changes = want_enabled ? !enabled || partially : enabled;
            if (member || changes)
                return !member;
        }
        return false;
    };
    enable(AFCQ_SEDQ_TRIGGER_ENABLE_ACTION, allowed && first_decides(true));
    enable(AFCQ_SEDQ_TRIGGER_DISABLE_ACTION, allowed && first_decides(false));
}

void SEDQ_VIEW::on_update_storage_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    enable_pair(AFCQ_SEDQ_STORAGE_ENABLE_ACTION, AFCQ_SEDQ_STORAGE_DISABLE_ACTION,
                is_setup_enabled(true) && get_column_width(SEDQ_COLUMN_STORAGE_ENABLE) >= 1,
                &SEDQ_NODE::is_storage_enabled);
}

void SEDQ_VIEW::on_update_transition_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    enable_pair(AFCQ_SEDQ_TRANSITION_ENABLE_ACTION, AFCQ_SEDQ_TRANSITION_DISABLE_ACTION,
                is_setup_enabled(false) && get_column_width(SEDQ_COLUMN_TRANSITIONAL) >= 1,
                &SEDQ_NODE::is_transition_enabled);
}

void SEDQ_VIEW::on_update_alias_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    const bool one = on_update_node_set_alias();
    enable(AFCQ_SEDQ_SET_ALIAS_ACTION, one);
    enable(AFCQ_SEDQ_PASTE_ALIAS_ACTION, one);
    enable(AFCQ_SEDQ_REMOVE_ALIAS_ACTION, on_update_node_remove_alias());
}

// The Edit entries of the menu follow the Edit menu's rules; then inversion, alignment, tap
// mode and the text list.
void SEDQ_VIEW::on_update_name_menu()
{
    if (!holds_focus())
        return;
    on_update_edit_menu();
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf_mgr != NULL))
        return;
    QAction* invert = host_action(AFCQ_SEDQ_INVERT_SIGNAL_ACTION);
    invert->setEnabled(on_update_invert_signal(invert));
    on_update_alignment();
    on_update_node_tap_mode();
    enable(AFCQ_SEDQ_CREATE_LIST_FILE_ACTION,
           m_tx_manager->get_trigger() != nullptr &&
               m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr) &&
               m_tx_manager->is_data_mode(SEDQ_CURRENT));
}

// ---- rules of single commands ----------------------------------------------------------------------

bool SEDQ_VIEW::on_update_invert_signal(QAction* action)
{
    const bool enabled = m_tx_manager->is_data_mode(SEDQ_CURRENT) && get_selection_count() > 0;
    action->setCheckable(true);
    action->setChecked(enabled && any_selected_row([this](int row) {
                           bool partially = false;
                           return SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).is_signal_inverted(&partially) ||
                                  partially;
                       }));
    return enabled;
}

bool SEDQ_VIEW::on_update_alignment()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return false;
    const bool document = !m_tx_manager->is_empty();
    set_checked_in_group({AFCQ_SEDQ_ALIGN_LEFT_ACTION, AFCQ_SEDQ_ALIGN_RIGHT_ACTION},
                         !document                    ? AFCQ_ACTION_NONE
                         : m_tx_manager->m_align_left ? AFCQ_SEDQ_ALIGN_LEFT_ACTION
                                                      : AFCQ_SEDQ_ALIGN_RIGHT_ACTION);
    enable(AFCQ_SEDQ_ALIGN_LEFT_ACTION, document);
    enable(AFCQ_SEDQ_ALIGN_RIGHT_ACTION, document);
    return document;
}

// A bus counts by its leaves; a selection both all pre-synthesis and all post-fitting can only
// be one without any leaf, which the model should never hold.
bool SEDQ_VIEW::on_update_node_tap_mode()
{
    const bool enabled = !m_tx_manager->is_empty() && get_selection_count() > 0;
    bool all_pre = enabled;
    bool all_post = enabled;
    for_each_selected_row([&](int row) {
        all_pre = all_pre && item_is_pre_syn(row);
        all_post = all_post && item_is_post_fit(row);
    });
    if (all_pre && all_post)
    {
        SEDQ_REPORT("All nodes can't be Pre-Synthesis & Post-Fit at the same time.");
        all_pre = all_post = false;
    }
    set_checked_in_group({AFCQ_SEDQ_PRE_SYNTHESIS_ACTION, AFCQ_SEDQ_POST_FITTING_ACTION},
                         all_pre    ? AFCQ_SEDQ_PRE_SYNTHESIS_ACTION
                         : all_post ? AFCQ_SEDQ_POST_FITTING_ACTION
                                    : AFCQ_ACTION_NONE);
    enable(AFCQ_SEDQ_PRE_SYNTHESIS_ACTION, enabled);
    enable(AFCQ_SEDQ_POST_FITTING_ACTION, enabled);
    return enabled;
}

// Checks `checked` (0 none) among actions of one exclusive group; an exclusive group keeps
// one entry checked unless it is released while the others are cleared.
void SEDQ_VIEW::set_checked_in_group(std::initializer_list<int> ids, int checked)
{
    for (int id : ids)
    {
        QAction* action = host_action(id);
        action->setCheckable(true);
        QActionGroup* group = action->actionGroup();
        const bool exclusive = group != nullptr && group->isExclusive();
        if (exclusive)
            group->setExclusive(false);
        action->setChecked(id == checked);
        if (exclusive)
            group->setExclusive(true);
    }
}

bool SEDQ_VIEW::on_update_bus_order(AFCQ_ACTION_ENUM id)
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return false;
    const bool want_lsb_to_msb = id == AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION;
    bool any_bus = false;
    bool matches = false;
    bool differs = false;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int i = 0; i < count && !(matches && differs); ++i)
    {
        if (!is_selected_parent(i))
            continue;
        any_bus = true;
        bool type = false;
        if (!SEDQ_VERIFY(this->m_tx_manager->get_node_lsb_to_msb(i, &type)))
            continue;
        (type == want_lsb_to_msb ? matches : differs) = true;
    }
    const bool enabled = !m_tx_manager->is_advanced_mode(nullptr) && any_bus;
    set_checked_in_group({int(id)}, enabled && matches && !differs ? int(id) : 0);
    return enabled;
}

bool SEDQ_VIEW::grouping_allowed()
{
    return !m_tx_manager->is_advanced_mode(nullptr) &&
           (m_tx_manager->get_lock_mode(false) == SEDQ_LOCK_MODE_ALLOW_ALL || m_tx_manager->is_tessarelle_generated());
}

bool SEDQ_VIEW::on_update_node_group()
{
    return grouping_allowed() && m_tx_manager->is_valid_selection_for_grouping();
}

bool SEDQ_VIEW::on_update_node_ungroup()
{
    return grouping_allowed() && any_selected_row([this](int row) { return is_parent_item(row); });
}

bool SEDQ_VIEW::on_update_node_ungroup_nested_groups()
{
    return grouping_allowed() && m_tx_manager->has_nested_groups();
}

// The one selected row is remembered: the editor opens on it.
bool SEDQ_VIEW::on_update_node_rename()
{
    m_edit_row = get_selected_item();
    return m_edit_row != -1 && !m_tx_manager->is_wizard_mode() && !m_tx_manager->is_advanced_mode(nullptr) &&
           !m_tx_manager->is_tessarelle_generated();
}

bool SEDQ_VIEW::on_update_node_set_alias()
{
    m_edit_row = get_selected_item();
    return m_edit_row != -1;
}

bool SEDQ_VIEW::on_update_node_remove_alias()
{
    return any_selected_row([this](int row) {
        QString alias;
        m_tx_manager->get_node_alias(row, &alias);
        return !alias.isEmpty();
    });
}

bool SEDQ_VIEW::on_update_plugin_options()
{
    return !m_tx_manager->is_advanced_mode(nullptr) && get_selection_count() > 0 &&
           any_selected_row([this](int row) {
               QString text;
               return is_parent_item(row) &&
                      m_tx_manager->get_plugin_mnemonic_table_name_menu_string(&text, row, nullptr);
           });
}

// ---- the bus display format submenu ------------------------------------------------------------

// Whether every selected bus or group has exactly `width` single-bit members (at least one bus
// selected).
bool SEDQ_VIEW::are_only_simple_buses_in_specified_width_selected(int width)
{
    bool any = false;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
    {
        if (!is_selected_parent(row))
            continue;
        any = true;
        if (m_tx_manager->get_num_leaf_children(row) != width)
            return false;
    }
    return any;
}

// The radix and table the selected buses share; 15 and an empty name when they differ.
void SEDQ_VIEW::common_bus_display_format(SDR_DATA_GROUP_DISPLAY_TYPE* common, QString* common_name,
                                          bool* any_bus)
{
    *common = SDR_GTYPE_INVALID;
    common_name->clear();
    *any_bus = false;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
    {
        if (!is_selected_parent(row))
            continue;
        SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
        m_tx_manager->get_node_group_display_type(row, &type);
        QString name;
        const bool symbolic = type == SDR_GTYPE_MNEMONICS || type == SDR_GTYPE_PLUGIN;
        if (symbolic)
            m_tx_manager->get_node_mnemonics_table_name(row, &name, nullptr);
        if (!*any_bus)
        {
            *any_bus = true;
            *common = type;
            *common_name = name;
        }
        else if (type != *common || (symbolic && name != *common_name))
        {
            *common = SDR_GTYPE_INVALID;
            common_name->clear();
            return;
        }
    }
}

void SEDQ_VIEW::on_update_bus_display_format_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    host_action(AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION)->setChecked(false);
    SDR_DATA_GROUP_DISPLAY_TYPE common = SDR_GTYPE_INVALID;
    QString common_name;
    bool any_bus = false;
    common_bus_display_format(&common, &common_name, &any_bus);
    QMenu* sub_menu = m_frame_wnd->get_bus_display_format_menu();
    if (!SEDQ_VERIFY(sub_menu != nullptr))
        return;
    QList<QAction*> actions = sub_menu->actions();
    if (!SEDQ_VERIFY(actions.count() > 0))
        return;
    QActionGroup* group = actions.first()->actionGroup();
    for (int i = actions.count() - 1; i >= m_frame_wnd->get_num_bus_display_actions(); --i)
    {
        QAction* current_action = actions[i];
        if (!SEDQ_VERIFY(current_action != nullptr))
            continue;
        sub_menu->removeAction(current_action);
        if (group != nullptr)
            group->removeAction(current_action);
        delete current_action;
    }
    add_mnemonic_table_entries(sub_menu, group, common_name);
    const bool editable = any_bus && !m_tx_manager->is_advanced_mode(nullptr);
    const bool data = m_tx_manager->is_data_mode(SEDQ_CURRENT);
    for (const auto& entry : FORMAT_ACTIONS)
    {
        bool on = editable;
        if (entry.first == AFCQ_SEDQ_BUS_FLOAT_ACTION)
            on = on && are_only_simple_buses_in_specified_width_selected(32);
        else if (entry.first == AFCQ_SEDQ_BUS_DOUBLE_ACTION)
            on = on && are_only_simple_buses_in_specified_width_selected(64);
        else if (entry.second >= SDR_GTYPE_CHART_8 && entry.second <= SDR_GTYPE_CHART_11)
            on = on && data;
        QAction* action = host_action(entry.first);
        action->setEnabled(on);
        action->setCheckable(true);
        if (editable && common == entry.second)
            action->setChecked(true);
    }
}

// One entry per named table of the document, then one disabled entry per selected plug-in bus,
// after one separator.
void SEDQ_VIEW::add_mnemonic_table_entries(QMenu* sub_menu, QActionGroup* group, const QString& common_name)
{
    const SDR_TX_SESSION* session = m_tx_manager->get_tx_session();
    if (!SEDQ_VERIFY(session != NULL))
        return;
    const SDR_DATA_SESSION* data_session = session->get_data_session();
    if (!SEDQ_VERIFY(data_session != NULL))
        return;
    const SDR_DATA_MNEMONICS* mnemonics = data_session->get_mnemonics();
    if (!SEDQ_VERIFY(mnemonics != NULL))
        return;
    bool separated = false;
    const auto add_entry = [&](const QString& text, int type, bool enabled) {
        if (!separated)
        {
            QAction* separator = sub_menu->addSeparator();
            if (group != nullptr)
                group->addAction(separator);
            separated = true;
        }
        QAction* action = sub_menu->addAction(text);
        action->setCheckable(true);
        action->setData(type);
        action->setEnabled(enabled);
        if (group != nullptr)
            group->addAction(action);
        action->setChecked(text == common_name);
    };
    for (int i = 0; i < mnemonics->get_num_tables(); ++i)
    {
        const SDR_DATA_MNEMONICS_TABLE* table = mnemonics->get_table(i);
        if (!SEDQ_VERIFY(table != NULL))
            continue;
        const QString name = QString::fromLocal8Bit(table->get_name());
        if (!name.isEmpty())
            add_entry(name, SDR_GTYPE_MNEMONICS, true);
    }
    for_each_selected_row([&](int row) {
        QString text;
        if (is_parent_item(row) && m_tx_manager->get_plugin_mnemonic_table_name_menu_string(&text, row, nullptr))
            add_entry(text, SDR_GTYPE_PLUGIN, false);
    });
}
