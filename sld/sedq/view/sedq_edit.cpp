// The node table's in-cell editors: opening over a cell, the keys that end an edit, and the
// commits of names, aliases, level names, bus trigger values and bus comparisons; the reading of
// a typed comparison.
#include "sedq/view/sedq_edit.h"

#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/view/sedq_drawing.h"
#include "sedq/view/sedq_trigger_compare_dlg.h"
#include "sedq/view/sedq_view.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <string>

namespace
{
constexpr int NAME_INDENT = 30;

// The cell's rectangle inside its frame; false when the cell lies outside the view.
bool cell_rect(SEDQ_VIEW* view, int row, int column, QRect* rect)
{
    if (!view->get_item_rect(row, column, rect) || !rect->intersects(view->rect()))
        return false;
    rect->setLeft(rect->left() + 2);
    rect->setTop(rect->top() + 2);
    rect->setRight(rect->right() - 3);
    rect->setBottom(rect->bottom() - 3);
    return true;
}

// Appends one decimal digit, keeping values above `max` at max + 1 so no digit string overflows.
void add_digit(int64_t* value, char digit, int max)
{
    *value = std::min<int64_t>(*value * 10 + (digit - '0'), int64_t(max) + 1);
}

bool read_single(const QByteArray& bytes, int max, SEDQ_COMPARISON* comparison)
{
    std::string operator_text;
    int64_t value = 0;
    for (const char c : bytes)
    {
        if (c == ' ' || c == '\t')
            continue;
        if (c >= '0' && c <= '9')
            add_digit(&value, c, max);
        else if (c == '<' || c == '=' || c == '>')
            operator_text += c;
        else
            return false;
    }
    if (value > max)
        return false;
    comparison->operand_a = SDR_DATA_GLOBAL_ENUM::convert_string_to_enum(operator_text.c_str());
    comparison->operand_b = SDR_CTYPE_COMPARE_TRUE;
    comparison->value_a = int(value);
    comparison->value_b = 0;
    return true;
}

bool read_interval(const QByteArray& bytes, int max, SEDQ_COMPARISON* comparison)
{
    int64_t values[2] = {0, 0};
    int current = 0;
    for (const char c : bytes)
    {
        if (c == ' ' || c == '\t')
            continue;
        if (c == '(' || c == '[')
            comparison->operand_a = c == '(' ? SDR_CTYPE_COMPARE_GREATER_THAN : SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO;
        else if (c == ')' || c == ']')
            comparison->operand_b = c == ')' ? SDR_CTYPE_COMPARE_LESS_THAN : SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO;
        else if (c == ',')
            current = 1;
        else if (c >= '0' && c <= '9')
            add_digit(&values[current], c, max);
        else
            return false;
    }
    if (values[0] > max || values[1] > max || values[0] >= values[1])
        return false;
    comparison->value_a = int(values[0]);
    comparison->value_b = int(values[1]);
    return true;
}
} // namespace

bool sedq_parse_comparison(const QString& text, int max, SEDQ_COMPARISON* comparison)
{
    static const QRegularExpression single(QStringLiteral("(>(=)?|==|<(=)?)\\s*\\d+"));
    static const QRegularExpression interval(QStringLiteral("(\\[|\\()\\s*\\d+\\s*,\\s*\\d+\\s*(\\]|\\))"));
    *comparison = SEDQ_COMPARISON();
    if (max < 0)
        return false;
    const QByteArray bytes = text.toUtf8();
    if (single.match(text).hasMatch())
        return read_single(bytes, max, comparison);
    if (interval.match(text).hasMatch())
        return read_interval(bytes, max, comparison);
    return false;
}

// ---- what both editors share ----------------------------------------------------------------------

SEDQ_CELL_EDIT::SEDQ_CELL_EDIT(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx, int node, int column)
    : QLineEdit(view), m_view(view), m_tx_manager(tx), m_node(node), m_column(column)
{
    setFocusPolicy(Qt::ClickFocus);
    setFrame(false);
    setAttribute(Qt::WA_DeleteOnClose);
    // The line edit's own menu would take the focus, and losing it ends the edit.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void SEDQ_CELL_EDIT::open(const QString& text, bool visible, Qt::Alignment alignment)
{
    m_initial_text = text;
    setText(text);
    if (!visible)
    {
        m_finished = true;
        close();
        return;
    }
    set_registered(true);
    m_registered = true;
    setAlignment(alignment | Qt::AlignVCenter);
    setGeometry(m_rect);
    show();
    // Shown first: a hidden widget that takes the focus in a window not yet active (the click that
    // opens the editor is the one that activates it) leaves the window's focus on the view.
    setFocus(Qt::OtherFocusReason);
}

// Escape keeps the model as it is, Return and Enter commit; both end the edit by dropping the
// focus (an editor that never had it ends at once).
void SEDQ_CELL_EDIT::keyPressEvent(QKeyEvent* event)
{
    switch (event->key())
    {
    case Qt::Key_Escape:
        m_initial_text = text();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    default:
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (hasFocus())
        clearFocus();
    else
        finish();
}

void SEDQ_CELL_EDIT::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    finish();
}

// Runs once, however the edit ends: a message box the commit shows takes the focus again
// without a second commit.
void SEDQ_CELL_EDIT::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (!m_tx_manager.isNull() && text() != m_initial_text)
        commit();
    if (m_registered)
        set_registered(false);
    m_registered = false;
    close();
}

// ---- SEDQ_EDIT ---------------------------------------------------------------------------------

SEDQ_EDIT::SEDQ_EDIT(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx, int node, int column)
    : SEDQ_CELL_EDIT(view, tx, node, column)
{
    const QString text = opening_text();
    open(text, place(), column == SEDQ_COLUMN_NAME ? Qt::AlignLeft : Qt::AlignHCenter);
}

SEDQ_EDIT::~SEDQ_EDIT()
{
    if (m_registered)
        set_registered(false);
}

void SEDQ_EDIT::set_registered(bool registered)
{
    if (registered)
        m_view->set_edit(this);
    else if (m_view->get_edit() == this)
        m_view->set_edit(nullptr);
}

QString SEDQ_EDIT::opening_text()
{
    QString text;
    if (m_column == SEDQ_COLUMN_ALIAS)
        m_tx_manager->get_node_alias(m_node, &text);
    else if (m_column == SEDQ_COLUMN_NAME)
        m_tx_manager->get_node(m_node, nullptr, &text, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    else if (m_node == -1)
        text = m_tx_manager->get_trigger_level_name(sedq_pattern_of_column(m_column), SEDQ_CURRENT);
    else
    {
        const int level = sedq_pattern_of_column(m_column);
        QString pattern;
        bool in_radix = true;
        m_view->get_trigger_string(m_node, level, &pattern, &in_radix);
        const char* value = "";
        SEDQ_NUMBER(pattern).get_string(m_tx_manager, m_node, &value, in_radix, false, nullptr, level);
        text = QString::fromLocal8Bit(value);
    }
    return text;
}

// A name starts right of its tree lines (and of the expand box of a group); a level name outside
// sequential flow takes the lower half of its header cell, below the level number.
bool SEDQ_EDIT::place()
{
    const int row = m_node == -1 ? SEDQ_ROW_COLUMN_TITLES : sedq_row_of_node(m_node);
    if (!cell_rect(m_view, row, m_column, &m_rect))
        return false;
    if (m_column == SEDQ_COLUMN_NAME)
    {
        const int indent = m_tx_manager->get_node_depth(m_node) * NAME_INDENT;
        m_rect.setLeft(m_rect.left() + indent + (m_view->is_parent_item(m_node) ? 21 : 0));
        sedq_inflate_rect(&m_rect, 1, 1);
    }
    else if (m_node == -1 && !m_tx_manager->is_sequential_mode(SEDQ_CURRENT))
        m_rect.setTop(m_rect.bottom() - (m_rect.bottom() - m_rect.top() + 1) / 2);
    return true;
}

void SEDQ_EDIT::commit()
{
    const QString value = text();
    if (m_column == SEDQ_COLUMN_ALIAS)
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
        m_tx_manager->set_node_alias(m_node, value);
    }
    else if (m_column == SEDQ_COLUMN_NAME)
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
        if (m_view->is_parent_item(m_node))
            m_tx_manager->rename_group(m_node, value);
        else
            m_tx_manager->rename_node(m_node, value);
    }
    else if (m_node == -1)
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP);
        m_tx_manager->set_trigger_level_name(value, sedq_pattern_of_column(m_column), SEDQ_CURRENT);
    }
    else
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                                   sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
        SEDQ_NUMBER(value).set_string(m_tx_manager, m_node, sedq_pattern_of_column(m_column), SEDQ_CURRENT);
    }
    // Names and aliases send no refresh: the cell under the editor repaints from the model.
    m_view->update();
}

// ---- SEDQ_COMPARISON_EDIT -----------------------------------------------------------------------

SEDQ_COMPARISON_EDIT::SEDQ_COMPARISON_EDIT(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx, int node, int column)
    : SEDQ_CELL_EDIT(view, tx, node, column)
{
    std::string expression;
    m_view->get_comparison_expression(m_node, sedq_pattern_of_column(m_column), &expression);
    const bool visible = cell_rect(m_view, sedq_row_of_node(m_node), m_column, &m_rect);
    open(QString::fromLocal8Bit(expression.c_str()), visible, Qt::AlignHCenter);
}

SEDQ_COMPARISON_EDIT::~SEDQ_COMPARISON_EDIT()
{
    if (m_registered)
        set_registered(false);
}

void SEDQ_COMPARISON_EDIT::set_registered(bool registered)
{
    if (registered)
        m_view->set_comparison_edit(this);
    else if (m_view->get_comparison_edit() == this)
        m_view->set_comparison_edit(nullptr);
}

// A text out of form or range, or a bus without a trigger-enabled member, changes nothing and
// says nothing. The values can reach 2^members - 1, at most the largest int.
void SEDQ_COMPARISON_EDIT::commit()
{
    const int members = m_view->get_trigger_input_child_item_count(m_node);
    SEDQ_COMPARISON comparison;
    if (members < 1 || !sedq_parse_comparison(text(), sedq_comparison_max(members), &comparison) ||
        !m_tx_manager->is_comparison_operand_condition(comparison.operand_a) ||
        !m_tx_manager->is_comparison_operand_condition(comparison.operand_b))
        return;
    m_view->set_comparison_trigger(m_node, sedq_pattern_of_column(m_column), comparison);
}
