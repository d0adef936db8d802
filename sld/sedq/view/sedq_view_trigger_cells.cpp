// SEDQ_VIEW: what the trigger cells show and how the header combos sit — level types, the
// members of comparisons, a bus's pattern at a level, the actions of group patterns — and the
// level-type combo slot.
#include "sedq/view/sedq_view.h"

#include "host/tst.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QComboBox>
#include <QFontMetrics>

#include <algorithm>

namespace
{
char pattern_character(SDR_DATA_TRIGGER_CONDITION condition)
{
    switch (condition)
    {
    case SDR_CTYPE_HIGH:
        return '1';
    case SDR_CTYPE_LOW:
        return '0';
    case SDR_CTYPE_RISING:
        return 'R';
    case SDR_CTYPE_FALLING:
        return 'F';
    case SDR_CTYPE_EITHER_EDGE:
        return 'E';
    case SDR_CTYPE_DONT_CARE:
        return 'X';
    default:
        return 0;
    }
}

// Whether a pattern of '0', '1' and 'X' reads as digits of `bits` bits, cut from its end:
// every digit all don't-care or free of it.
bool digits_are_whole(const QString& pattern, int bits)
{
    for (int end = pattern.size(); end > 0; end -= bits)
    {
        const QString digit = pattern.mid(std::max(end - bits, 0), end - std::max(end - bits, 0));
        const bool any_x = digit.contains(QLatin1Char('X'));
        const bool any_bit = digit.contains(QLatin1Char('0')) || digit.contains(QLatin1Char('1'));
        if (any_x && any_bit)
            return false;
    }
    return true;
}

// Group patterns 9..17 and the host actions that set them.
const int GROUP_PATTERN_ACTIONS[] = {
    AFCQ_SEDQ_PATTERN_CONDITION_ACTION,         AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION,
    AFCQ_SEDQ_NOT_VALUE_CONDITION_ACTION,       AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION,
    AFCQ_SEDQ_ANY_BIT_FALLING_CONDITION_ACTION, AFCQ_SEDQ_ANY_BIT_EITHER_EDGE_CONDITION_ACTION,
    AFCQ_SEDQ_ANY_BIT_HIGH_CONDITION_ACTION,    AFCQ_SEDQ_ANY_BIT_LOW_CONDITION_ACTION,
    AFCQ_SEDQ_ANY_BIT_CHANGED_CONDITION_ACTION};
} // namespace

// ---- level types -----------------------------------------------------------------------------------

// The type shown in the level's combo; a view without combos (the wizard's) asks the model.
bool SEDQ_VIEW::is_basic_and(int level)
{
    QComboBox* combo = get_level_type_combo(sedq_sq_index(level));
    if (combo == nullptr)
        return m_tx_manager->get_trigger_level_type(level, SEDQ_CURRENT) == SDR_LTYPE_BASIC_AND;
    return combo->currentText().endsWith(QLatin1String("AND"));
}

bool SEDQ_VIEW::is_basic_or(int level)
{
    QComboBox* combo = get_level_type_combo(sedq_sq_index(level));
    if (combo == nullptr)
        return m_tx_manager->get_trigger_level_type(level, SEDQ_CURRENT) == SDR_LTYPE_BASIC_OR;
    return combo->currentText().endsWith(QLatin1String("OR"));
}

bool SEDQ_VIEW::is_comparison(int level)
{
    QComboBox* combo = get_level_type_combo(sedq_sq_index(level));
    if (combo == nullptr)
        return m_tx_manager->get_trigger_level_type(level, SEDQ_CURRENT) == SDR_LTYPE_COMPARISON;
    return combo->currentText().endsWith(QLatin1String("Comparison"));
}

bool SEDQ_VIEW::is_comparison_group_member_on_level(int node, int* nLevel, int first, int end)
{
    if (!SEDQ_VERIFY(nLevel != NULL))
        return false;
    for (int level = first; level < end; ++level)
    {
        if (is_comparison(level) && m_tx_manager->is_comparison_group_member(node, level, SEDQ_CURRENT))
        {
            *nLevel = level;
            return true;
        }
    }
    return false;
}

bool SEDQ_VIEW::is_comparison_group_member_on_any_level(int node, int* level)
{
    return is_comparison_group_member_on_level(node, level, SEDQ_PATTERN_SQ_CONDITIONAL,
                                               m_tx_manager->get_last_trigger_level());
}

bool SEDQ_VIEW::is_comparison_trigger_group_member(int node)
{
    int level = 0;
    return is_comparison_group_member_on_level(node, &level, 0, m_tx_manager->get_last_trigger_level());
}

bool SEDQ_VIEW::is_comparison_storage_qualifier_group_member(int node)
{
    int level = 0;
    return is_comparison_group_member_on_level(node, &level, SEDQ_PATTERN_SQ_CONDITIONAL,
                                               SEDQ_PATTERN_FIRST_LEVEL);
}

// ---- a bus's pattern -----------------------------------------------------------------------------

// The members' conditions as one character each, in member order. `in_radix` tells whether
// the bus's radix can show the pattern: edges cannot, and don't-care only as whole digits of
// hexadecimal, octal or symbolic buses.
bool SEDQ_VIEW::get_trigger_string(int nItem, int level, QString* pattern, bool* in_radix)
{
    pattern->clear();
    *in_radix = true;
    if (!SEDQ_VERIFY(this->is_parent_item(nItem)))
        return true;
    if (m_tx_manager->is_grandparent(nItem))
    {
        *in_radix = false;
        return true;
    }
    SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
    m_tx_manager->get_node_group_display_type(nItem, &type);
    bool lsb_to_msb = false;
    m_tx_manager->get_node_lsb_to_msb(nItem, &lsb_to_msb);
    const int members = m_tx_manager->get_num_leaf_children(nItem);
    bool dont_care = false;
    for (int k = 0; k < members; ++k)
    {
        const int member = lsb_to_msb ? nItem + members - k : nItem + 1 + k;
        SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DISABLED;
        m_tx_manager->get_node(member, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, level,
                               &condition);
        const char symbol = pattern_character(condition);
        if (symbol == 0)
            continue;
        pattern->append(QLatin1Char(symbol));
        *in_radix = *in_radix && symbol != 'R' && symbol != 'F' && symbol != 'E';
        dont_care = dont_care || symbol == 'X';
    }
    if (*in_radix && dont_care)
    {
        const bool digits = type == SDR_GTYPE_MNEMONICS || type == SDR_GTYPE_HEX || type == SDR_GTYPE_OCTAL ||
                            type == SDR_GTYPE_PLUGIN;
        *in_radix = digits && digits_are_whole(*pattern, type == SDR_GTYPE_OCTAL ? 3 : 4);
    }
    if (lsb_to_msb)
        sedq_reverse_string(pattern);
    return true;
}

bool SEDQ_VIEW::get_comparison_expression(int node, int level, std::string* text)
{
    return m_tx_manager->get_comparison_expression(node, level, text, SEDQ_CURRENT);
}

QAction* SEDQ_VIEW::trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION condition)
{
    if (condition < SDR_CTYPE_GROUP_FIRST || condition > SDR_CTYPE_GROUP_LAST)
    {
        SEDQ_REPORT("Unsupported trigger condition used.");
        return nullptr;
    }
    const int id = GROUP_PATTERN_ACTIONS[condition - SDR_CTYPE_GROUP_FIRST];
    return m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant());
}

// ---- group members in the selection ----------------------------------------------------------------

int SEDQ_VIEW::select_all_group_member_items(int node, bool selected)
{
    if (!m_tx_manager->is_group_node(node))
        return 0;
    m_tx_manager->set_node_selection_status(node, selected);
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    int last = node;
    for (int row = node + 1; row < count && m_tx_manager->is_group_member(row); ++row)
    {
        m_tx_manager->set_node_selection_status(row, selected);
        last = row;
    }
    return last;
}

// A bus added by a plug-in is dropped or deleted whole: its members leave the selection, with
// one message. Only rows inside such a bus are touched, never those of a bus that follows it.
void SEDQ_VIEW::unselect_plugin_group_member_items()
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    bool deselected = false;
    for (int row = 0; row < count; ++row)
    {
        SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
        if (!m_tx_manager->is_group_node(row) || !m_tx_manager->get_node_group_display_type(row, &type) ||
            type != SDR_GTYPE_PLUGIN)
            continue;
        const int last = std::min(m_tx_manager->get_last_child_index(row), count - 1);
        for (int member = row + 1; member <= last; ++member)
        {
            if (m_tx_manager->is_group_member(member) && m_tx_manager->get_node_selection_status(member))
            {
                m_tx_manager->set_node_selection_status(member, false);
                deselected = true;
            }
        }
        row = std::max(row, last);
    }
    if (deselected)
        sedq_show_message(MSG_SEDQ::O::PLUGIN_MEM_NODES_EXCLUSION());
}

// ---- the level-type combos -------------------------------------------------------------------------

// Choosing "Advanced" also opens that level's advanced trigger page.
void SEDQ_VIEW::on_sel_change_advanced_trigger_combo(const QString& text)
{
    if (SEDQ_BLOCK::is_blocked() || sender() == nullptr)
        return;
    const int level = sender()->property("trigger level").toInt() + SEDQ_PATTERN_SQ_CONDITIONAL;
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
        int type = 4;
        if (text.endsWith(QLatin1String("AND")))
            type = SDR_LTYPE_BASIC_AND;
        else if (text.endsWith(QLatin1String("OR")))
            type = SDR_LTYPE_BASIC_OR;
        else if (text.endsWith(QLatin1String("Comparison")))
            type = SDR_LTYPE_COMPARISON;
        else if (text == QLatin1String("Advanced"))
            type = SDR_LTYPE_ADVANCED;
        m_tx_manager->set_advanced_trigger(level, SDR_DATA_TRIGGER_LEVEL_TYPE(type));
        if (type == SDR_LTYPE_ADVANCED)
            m_tx_manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, sedq_advanced_page(m_tx_manager, level));
    }
    const int hint = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT);
    SEDQ_LAYOUT_WIDGET* layout = m_frame_wnd != nullptr ? m_frame_wnd->get_layout_widget() : nullptr;
    if (tst_is_regtest_mode() && layout != nullptr)
        layout->on_update(nullptr, hint);
    else
        m_tx_manager->update_all_views(nullptr, hint);
}

// Each shown combo sits in header row 2 of its column, right of the level number.
void SEDQ_VIEW::update_advanced_trigger_combo_positions()
{
    if (m_level_type_combos[0] == nullptr || !m_tx_manager->is_setup_mode() || m_tx_manager->is_empty())
        return;
    const int top = get_row_height(SEDQ_ROW_TITLE) + get_row_height(SEDQ_ROW_COLUMN_TITLES) + 1;
    const QFontMetrics metrics(font());
    QString type;
    m_tx_manager->get_storage_qualifier_type(&type, SEDQ_CURRENT);
    int x = level_combo_start_x(type);
    const auto place = [&](int index, int column, int offset)
    {
        const int width = get_column_width(column);
        m_level_type_combos[index]->setGeometry(
            QRect(QPoint(x + offset, top), QPoint(x + width - 2, top + 18)));
        x += width;
    };
    if (type == QLatin1String("Conditional"))
        place(0, 9, 0);
    else if (type == QLatin1String("Start/Stop"))
    {
        const QRect start = metrics.boundingRect(QStringLiteral("Start"));
        place(1, 10, start.right() - start.left() + 10);
        const QRect stop = metrics.boundingRect(QStringLiteral("Stop"));
        place(2, 11, stop.right() - stop.left() + 10);
    }
    int levels = 0;
    m_tx_manager->get_trigger_level(&levels, SEDQ_CURRENT);
    for (int level = 0; level < std::min(levels, 10); ++level)
    {
        const QRect number = metrics.boundingRect(QString::number(level + 1));
        place(sedq_sq_index(level), 12 + level, number.right() - number.left() + 19);
    }
}

// The right edge of the last enable column before the level columns.
int SEDQ_VIEW::level_combo_start_x(const QString& storage_qualifier_type)
{
    int last = SEDQ_COLUMN_TRIGGER_ENABLE;
    if (storage_qualifier_type == QLatin1String("Transitional"))
        last = SEDQ_COLUMN_TRANSITIONAL;
    else if (storage_qualifier_type == QLatin1String("Conditional") ||
             storage_qualifier_type == QLatin1String("Start/Stop"))
        last = SEDQ_COLUMN_STORAGE_ENABLE;
    int x = get_column_offset();
    for (int column = 0; column <= last; ++column)
        x += get_column_width(column);
    return x;
}

// Group patterns are set through on_trigger_condition; this slot only keeps its place.
void SEDQ_VIEW::on_group_trigger_condition(QAction*) {}
