#pragma once
// The "Data Log" pane of one instance: the logging switch, the command that saves the current
// acquisition as a log, and the tree of the instance's signal sets, their triggers and their
// logs, from which the user chooses what the editor shows, renames and deletes. Each item
// carries its path of names (instance, signal set, trigger, log); every command finds the
// document object by that path and acts on the pane's own instance, whichever is current.
// A refresh keeps the items of logs that stay: it adds the logs appended since (an autorun
// adds one per run to a trigger that may keep hundreds of thousands) and makes a trigger's
// items anew only when logs it held changed.

#include <QFrame>
#include <QHash>
#include <QPersistentModelIndex>
#include <QStandardItemModel>
#include <QStringList>

#include <vector>

class QCheckBox;
class QHBoxLayout;
class QItemSelection;
class QModelIndex;
class QTreeView;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_LOG_WIDGET : public QFrame
{
    Q_OBJECT
public:
    // The item role that holds an item's path of names.
    static constexpr int PATH_ROLE = Qt::UserRole + 1;
    // The role of a trigger item that holds the stamp of the trigger's logs its items show
    // (SEDQ_TX_MANAGER::get_log_list_stamp).
    static constexpr int STAMP_ROLE = Qt::UserRole + 2;
    // The role that holds the host icon an item shows.
    static constexpr int ICON_ROLE = Qt::UserRole + 3;
    // The length of an item's path: an instance, its signal sets, their triggers, their logs.
    enum PATH_DEPTH
    {
        INSTANCE_DEPTH = 1,
        SIGNAL_SET_DEPTH = 2,
        TRIGGER_DEPTH = 3,
        LOG_DEPTH = 4
    };

    SEDQ_LOG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);
    ~SEDQ_LOG_WIDGET() override;

    int get_instance() const { return m_instance; }
    QCheckBox* get_logging_check_box() const { return m_logging; }
    QTreeView* get_tree() const { return m_tree; }
    QStandardItemModel* get_tree_model() { return &m_model; }

public Q_SLOTS:
    void update_log_tree();
    void on_update(QObject* sender, int hint);
    void on_item_changed(QStandardItem* item);
    void on_double_clicked(QModelIndex const& index);
    void on_collapsed(QModelIndex const& index);
    void on_expanded(QModelIndex const& index);
    void on_selection_changed(QItemSelection const& selected);
    void on_data_log_delete();
    void on_data_log_rename();
    void on_data_log_select_all();

private:
    // The names the tree marks as shown: the current ones of the pane's instance.
    struct SHOWN_NAMES
    {
        QString signal_set;
        QString trigger;
        QString log;
    };

    QHBoxLayout* make_title_row();
    void make_tree_actions();
    QStandardItem* make_item(const QString& text, int icon, const QStringList& path);
    void rebuild_log_tree(const SHOWN_NAMES& shown);
    bool has_the_documents_shape();
    void follow_logs(const SHOWN_NAMES& shown);
    void add_signal_set(QStandardItem* parent, int set, const SHOWN_NAMES& shown);
    void add_logs(QStandardItem* trigger_item, int set, int trigger, int first);
    void mark_shown_log(QStandardItem* trigger_item, const QString& log);
    void set_icon(QStandardItem* item, int icon);
    SHOWN_NAMES shown_names();
    bool is_own_instance_current();
    bool is_already_shown(const QStringList& path, const QString& text);
    void set_expanded_state(QModelIndex const& index, bool expanded);
    bool refuse_delete_while_acquiring(const QModelIndexList& rows);
    void remove_selected(const QModelIndexList& rows);
    void sync_logging_switch();

    QTreeView* m_tree = nullptr;
    QStandardItemModel m_model;
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
    QCheckBox* m_logging = nullptr;
    // The row of each log item by name, per trigger item; and the log items marked as shown.
    QHash<const QStandardItem*, QHash<QString, int>> m_log_rows;
    std::vector<QPersistentModelIndex> m_marked_logs;
    // Set while the pane changes its own items: those are no renames.
    bool m_following = false;
    // An item's text was typed in: the next refresh makes the tree anew, as the document
    // names everything after the rename (or its refusal).
    bool m_edited = false;
};
