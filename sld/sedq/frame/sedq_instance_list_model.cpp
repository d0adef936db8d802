// SEDQ_INSTANCE_LIST_MODEL: the instance manager's rows, what the view reads of them and what
// the pane and the user write.
#include "sedq/frame/sedq_instance_list_model.h"

namespace
{
const QString POWERUP_ROW_TEXT = QStringLiteral("Power-Up Trigger");
const QString BOX_TEXT = QStringLiteral("    ");

// A power-up row's internal id is its parent's row + 1; an instance row's is 0.
constexpr quintptr TOP_LEVEL = 0;

bool is_text_role(int role)
{
    return role == Qt::DisplayRole || role == Qt::EditRole;
}
} // namespace

SEDQ_INSTANCE_LIST_MODEL::SEDQ_INSTANCE_LIST_MODEL(QObject* parent)
    : QAbstractItemModel(parent), m_header_tips(size_t(SEDQ_INSTANCE_COLUMN_COUNT))
{
}

void SEDQ_INSTANCE_LIST_MODEL::set_rows(const std::vector<ENTRY>& entries, int current, bool boxes)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(entries.size());
    for (const ENTRY& entry : entries)
    {
        ROW row;
        row.instance = entry.instance;
        row.name = entry.name;
        row.status = m_look.first_status;
        row.powerup = entry.powerup;
        row.current = entry.instance == current;
        row.powerup_current = entry.powerup && entry.instance + 1 == current;
        row.checked = entry.enabled;
        row.box_enabled = boxes;
        m_rows.push_back(std::move(row));
    }
    endResetModel();
}

int SEDQ_INSTANCE_LIST_MODEL::row_of(int instance) const
{
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].instance == instance)
            return int(r);
    return -1;
}

// ---- what the pane writes ---------------------------------------------------------------------

void SEDQ_INSTANCE_LIST_MODEL::set_name(int row, const QString& name)
{
    if (m_rows[size_t(row)].name == name)
        return;
    m_rows[size_t(row)].name = name;
    cell_changed(row, SEDQ_INSTANCE_COLUMN_NAME);
}

void SEDQ_INSTANCE_LIST_MODEL::set_status(int row, const QString& text, const QBrush& background)
{
    ROW& r = m_rows[size_t(row)];
    const QVariant brush = background;
    if (r.status == text && r.status_background == brush)
        return;
    r.status = text;
    r.status_background = brush;
    cell_changed(row, SEDQ_INSTANCE_COLUMN_STATUS);
}

void SEDQ_INSTANCE_LIST_MODEL::set_boxes_enabled(bool enabled)
{
    bool changed = false;
    for (ROW& row : m_rows)
    {
        changed = changed || row.box_enabled != enabled;
        row.box_enabled = enabled;
    }
    if (changed)
        column_changed(SEDQ_INSTANCE_COLUMN_ENABLED);
}

void SEDQ_INSTANCE_LIST_MODEL::mark_current(int current)
{
    mark([current](const ROW& row, size_t) { return row.instance == current; },
         [current](const ROW& row) { return row.powerup && row.instance + 1 == current; });
}

void SEDQ_INSTANCE_LIST_MODEL::mark_row(int current_row)
{
    mark([current_row](const ROW&, size_t r) { return int(r) == current_row; }, [](const ROW&) { return false; });
}

template <class CURRENT, class POWERUP_CURRENT>
void SEDQ_INSTANCE_LIST_MODEL::mark(CURRENT current, POWERUP_CURRENT powerup_current)
{
    bool icons = false;
    bool backgrounds = false;
    for (size_t r = 0; r < m_rows.size(); ++r)
    {
        ROW& row = m_rows[r];
        const bool now = current(row, r);
        const bool powerup_now = powerup_current(row);
        icons = icons || row.current != now;
        backgrounds = backgrounds || row.powerup_current != powerup_now;
        row.current = now;
        row.powerup_current = powerup_now;
    }
    if (icons)
        column_changed(SEDQ_INSTANCE_COLUMN_NAME);
    if (backgrounds)
        powerup_rows_changed();
}

bool SEDQ_INSTANCE_LIST_MODEL::set_usage(const std::vector<USAGE>& usage)
{
    bool changed = false;
    for (size_t r = 0; r < m_rows.size() && r < usage.size(); ++r)
    {
        if (m_rows[r].usage == usage[r])
            continue;
        m_rows[r].usage = usage[r];
        changed = true;
    }
    if (changed && !m_rows.empty())
        emit dataChanged(index(0, SEDQ_INSTANCE_COLUMN_FIRST_USAGE),
                         index(rowCount() - 1, SEDQ_INSTANCE_COLUMN_COUNT - 1),
                         {Qt::DisplayRole, Qt::EditRole});
    return changed;
}

bool SEDQ_INSTANCE_LIST_MODEL::set_headers(const QStringList& texts)
{
    if (texts == m_headers)
        return false;
    m_headers = texts;
    emit headerDataChanged(Qt::Horizontal, 0, SEDQ_INSTANCE_COLUMN_COUNT - 1);
    return true;
}

void SEDQ_INSTANCE_LIST_MODEL::set_header_tooltip(int column, const QString& tip)
{
    if (column < 0 || column >= SEDQ_INSTANCE_COLUMN_COUNT || m_header_tips[size_t(column)] == tip)
        return;
    m_header_tips[size_t(column)] = tip;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void SEDQ_INSTANCE_LIST_MODEL::cell_changed(int row, int column)
{
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell);
}

void SEDQ_INSTANCE_LIST_MODEL::column_changed(int column)
{
    if (!m_rows.empty())
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

void SEDQ_INSTANCE_LIST_MODEL::powerup_rows_changed()
{
    for (size_t r = 0; r < m_rows.size(); ++r)
    {
        if (!m_rows[r].powerup)
            continue;
        const QModelIndex row = index(0, SEDQ_INSTANCE_COLUMN_NAME, index(int(r), SEDQ_INSTANCE_COLUMN_NAME));
        emit dataChanged(row, row, {Qt::BackgroundRole});
    }
}

// ---- the item model ---------------------------------------------------------------------------

QModelIndex SEDQ_INSTANCE_LIST_MODEL::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= columnCount(parent) || row >= rowCount(parent))
        return QModelIndex();
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row()) + 1 : TOP_LEVEL);
}

QModelIndex SEDQ_INSTANCE_LIST_MODEL::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == TOP_LEVEL)
        return QModelIndex();
    return createIndex(int(child.internalId() - 1), SEDQ_INSTANCE_COLUMN_NAME, TOP_LEVEL);
}

int SEDQ_INSTANCE_LIST_MODEL::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_rows.size());
    const bool instance_name =
        parent.internalId() == TOP_LEVEL && parent.column() == SEDQ_INSTANCE_COLUMN_NAME;
    return instance_name && m_rows[size_t(parent.row())].powerup ? 1 : 0;
}

int SEDQ_INSTANCE_LIST_MODEL::columnCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return SEDQ_INSTANCE_COLUMN_COUNT;
    return rowCount(parent) > 0 ? 1 : 0;
}

QVariant SEDQ_INSTANCE_LIST_MODEL::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (index.internalId() != TOP_LEVEL)
        return powerup_data(m_rows[size_t(index.internalId() - 1)], role);
    const ROW& row = m_rows[size_t(index.row())];
    return index.column() == SEDQ_INSTANCE_COLUMN_NAME ? name_data(row, role)
                                                       : cell_data(row, index.column(), role);
}

QVariant SEDQ_INSTANCE_LIST_MODEL::name_data(const ROW& row, int role) const
{
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return row.name;
    case Qt::DecorationRole:
        return m_look.icons[row.current ? 1 : 0];
    case SEDQ_INSTANCE_ROLE:
        return row.instance;
    case SEDQ_POWERUP_ROLE:
        return false;
    default:
        return QVariant();
    }
}

QVariant SEDQ_INSTANCE_LIST_MODEL::cell_data(const ROW& row, int column, int role) const
{
    if (column == SEDQ_INSTANCE_COLUMN_STATUS)
    {
        if (role == Qt::BackgroundRole)
            return row.status_background;
        return is_text_role(role) ? QVariant(row.status) : QVariant();
    }
    if (column == SEDQ_INSTANCE_COLUMN_ENABLED)
    {
        switch (role)
        {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return BOX_TEXT;
        case Qt::CheckStateRole:
            return row.checked ? Qt::Checked : Qt::Unchecked;
        case Qt::TextAlignmentRole:
            return int(Qt::AlignLeft);
        case SEDQ_INSTANCE_ROLE:
            return row.instance;
        default:
            return QVariant();
        }
    }
    return is_text_role(role) ? QVariant(row.usage[size_t(column - SEDQ_INSTANCE_COLUMN_FIRST_USAGE)])
                              : QVariant();
}

QVariant SEDQ_INSTANCE_LIST_MODEL::powerup_data(const ROW& row, int role) const
{
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return POWERUP_ROW_TEXT;
    case Qt::BackgroundRole:
        return m_look.powerup_backgrounds[row.powerup_current ? 1 : 0];
    case SEDQ_INSTANCE_ROLE:
        return row.instance + 1;
    case SEDQ_POWERUP_ROLE:
        return true;
    default:
        return QVariant();
    }
}

bool SEDQ_INSTANCE_LIST_MODEL::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.internalId() != TOP_LEVEL)
        return false;
    ROW& row = m_rows[size_t(index.row())];
    QString* text = index.column() == SEDQ_INSTANCE_COLUMN_NAME     ? &row.name
                    : index.column() == SEDQ_INSTANCE_COLUMN_STATUS ? &row.status
                                                                    : nullptr;
    if (text != nullptr && is_text_role(role))
    {
        if (*text == value.toString())
            return true;
        *text = value.toString();
        cell_changed(index.row(), index.column());
        if (index.column() == SEDQ_INSTANCE_COLUMN_NAME)
            emit edited(index);
        return true;
    }
    if (index.column() != SEDQ_INSTANCE_COLUMN_ENABLED || role != Qt::CheckStateRole)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (row.checked != checked)
    {
        row.checked = checked;
        cell_changed(index.row(), index.column());
        emit edited(index);
    }
    return true;
}

Qt::ItemFlags SEDQ_INSTANCE_LIST_MODEL::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags fixed = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.internalId() != TOP_LEVEL)
        return fixed;
    if (index.column() == SEDQ_INSTANCE_COLUMN_NAME)
        return fixed | Qt::ItemIsEditable;
    if (index.column() != SEDQ_INSTANCE_COLUMN_ENABLED)
        return fixed;
    const bool enabled = m_rows[size_t(index.row())].box_enabled;
    return Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | (enabled ? Qt::ItemIsEnabled : Qt::NoItemFlags);
}

QVariant SEDQ_INSTANCE_LIST_MODEL::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= SEDQ_INSTANCE_COLUMN_COUNT)
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_headers.value(section);
    if (role == Qt::ToolTipRole && !m_header_tips[size_t(section)].isEmpty())
        return m_header_tips[size_t(section)];
    return QVariant();
}
