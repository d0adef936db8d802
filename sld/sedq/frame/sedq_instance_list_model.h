#pragma once
// The rows of the instance manager's list: one row per instance entry, and the entry's power-up
// view (the next entry) as the one child row of its instance. Each row is one small record of
// the values the pane shows, read by the view through data(); a document may hold tens of
// thousands of instances, and an item object per cell made such a list take longer to build
// and to tear down than everything else the window holds for them.
//
// Columns: the name (editable, the instance icon), the status (text and background), the
// Enabled box, then the five resource usage texts. The power-up row has the name column only.
// The pane writes through the setters below, which never emit edited(); a name typed in or a
// box clicked in the view comes through setData() and emits edited().

#include <QAbstractItemModel>
#include <QBrush>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <vector>

// Item data roles of the list: the entry index of a row (on a power-up row the index of the
// power-up view), and whether the row is a power-up trigger row.
constexpr int SEDQ_INSTANCE_ROLE = Qt::UserRole + 1;
constexpr int SEDQ_POWERUP_ROLE = Qt::UserRole + 2;

// Columns of the list: name, status, the Enabled box, then the resource usage.
constexpr int SEDQ_INSTANCE_COLUMN_NAME = 0;
constexpr int SEDQ_INSTANCE_COLUMN_STATUS = 1;
constexpr int SEDQ_INSTANCE_COLUMN_ENABLED = 2;
constexpr int SEDQ_INSTANCE_COLUMN_FIRST_USAGE = 3;
constexpr int SEDQ_INSTANCE_COLUMN_COUNT = 8;

class SEDQ_INSTANCE_LIST_MODEL : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr int USAGE_COLUMNS = SEDQ_INSTANCE_COLUMN_COUNT - SEDQ_INSTANCE_COLUMN_FIRST_USAGE;
    using USAGE = std::array<QString, USAGE_COLUMNS>;

    // What a new row is made from.
    struct ENTRY
    {
        int instance = 0; // the entry index; its power-up view is instance + 1
        QString name;
        bool enabled = true;  // the Enabled box
        bool powerup = false; // the entry has a power-up view
    };

    explicit SEDQ_INSTANCE_LIST_MODEL(QObject* parent = nullptr);

    // The icons of the name column (another instance, the current one), the background of a
    // power-up row (another view, the current one) and the text a new row's status starts with.
    struct LOOK
    {
        QIcon icons[2];
        QBrush powerup_backgrounds[2];
        QString first_status;
    };
    void set_look(const LOOK& look) { m_look = look; }

    // Replaces every row. `current` is the entry shown: its row has the current icon, or, for a
    // power-up view, its power-up row the current background. Boxes are enabled per `boxes`.
    void set_rows(const std::vector<ENTRY>& entries, int current, bool boxes);

    // ---- reading -----------------------------------------------------------------------------
    int instance_at(int row) const { return m_rows[size_t(row)].instance; }
    bool has_powerup(int row) const { return m_rows[size_t(row)].powerup; }
    const QString& name_at(int row) const { return m_rows[size_t(row)].name; }
    const USAGE& usage_at(int row) const { return m_rows[size_t(row)].usage; }
    // The top-level row of an entry; -1 when no row stands for it.
    int row_of(int instance) const;

    // ---- what the pane writes ----------------------------------------------------------------
    // Each tells the views of what it changed only: the pane refreshes on every edit of the
    // document, and a change notice repaints the list.
    void set_name(int row, const QString& name);
    void set_status(int row, const QString& text, const QBrush& background);
    // The Enabled boxes of every row: checked as `checked` answers for its entry, enabled or not.
    template <class CHECKED> void set_boxes(CHECKED checked, bool enabled)
    {
        bool changed = false;
        for (ROW& row : m_rows)
        {
            const bool now = checked(row.instance);
            changed = changed || row.checked != now || row.box_enabled != enabled;
            row.checked = now;
            row.box_enabled = enabled;
        }
        if (changed)
            column_changed(SEDQ_INSTANCE_COLUMN_ENABLED);
    }
    void set_boxes_enabled(bool enabled);
    // Icons by the current entry, power-up backgrounds by the current view.
    void mark_current(int current);
    // The current icon on row `current_row` only, every power-up row on the other background.
    void mark_row(int current_row);
    // True when a text changed; one change notice for all rows.
    bool set_usage(const std::vector<USAGE>& usage);
    // The header texts; true when one changed.
    bool set_headers(const QStringList& texts);
    void set_header_tooltip(int column, const QString& tip);

    // ---- the item model ----------------------------------------------------------------------
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A name or a status text (display or edit role), or the Enabled box (check state role).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The user changed a row in the view: its name or its Enabled box.
    void edited(const QModelIndex& index);

private:
    struct ROW
    {
        int instance = 0;
        QString name;
        QString status;
        QVariant status_background; // none until a status is shown in colour
        USAGE usage;
        bool powerup = false;
        bool current = false;         // the current icon
        bool powerup_current = false; // the power-up row's current background
        bool checked = true;
        bool box_enabled = true;
    };

    QVariant name_data(const ROW& row, int role) const;
    QVariant cell_data(const ROW& row, int column, int role) const;
    QVariant powerup_data(const ROW& row, int role) const;
    // Sets each row's current icon and power-up background as the two answer for it.
    template <class CURRENT, class POWERUP_CURRENT> void mark(CURRENT current, POWERUP_CURRENT powerup_current);
    void cell_changed(int row, int column);
    void column_changed(int column);
    void powerup_rows_changed();

    LOOK m_look;
    std::vector<ROW> m_rows;
    QStringList m_headers;
    std::vector<QString> m_header_tips;
};
