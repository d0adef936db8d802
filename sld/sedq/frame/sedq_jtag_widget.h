#pragma once
// The JTAG pane beside the instance manager: the host's chain pane bound to the document (JTAG
// hardware, device and programming file through the model), with status texts from the
// message catalogue, and the SOF Manager, a collapsible table of the programming files
// embedded in the document with a compatibility column per instance. A programming run from
// the SOF Manager lends the document's file name to a temporary file; the name comes back and
// the file goes away when the run ends, before the document is saved, and with the pane.

#include "host/sldq.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QString>

class QAction;
class QGridLayout;
class QItemSelection;
class QPoint;
class QPushButton;
class QToolButton;
class QTreeView;
class QVBoxLayout;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

// The file an embedded programming file is extracted into for a run, in the current folder.
extern const char* const SEDQ_TMP_SOF_FILE_NAME;

class SEDQ_JTAG_WIDGET : public SLDQ_JTAG_WIDGET
{
    Q_OBJECT
public:
    SEDQ_JTAG_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame);
    ~SEDQ_JTAG_WIDGET() override;

    bool set_sof_file(QString const& path) override;
    bool get_sof_file(QString* path) override;
    bool get_jtag_device(QString* name) override;
    bool get_jtag_hardware(QString* name) override;
    bool set_jtag_hardware(QString const& name) override;
    bool set_jtag_device(QString const& name) override;
    void on_view_updated(unsigned int flags) override;
    MSG_BASE* get_ready_message() override;
    MSG_BASE* get_running_message() override;
    MSG_BASE* get_looking_for_device_message() override;
    MSG_BASE* get_programming_device_message() override;
    MSG_BASE* get_no_device_selected_message() override;
    MSG_BASE* get_no_device_detected_message() override;
    MSG_BASE* get_selected_device_not_found_message() override;
    MSG_BASE* get_communication_error_message() override;

    bool is_sof_manager_visible() const;
    // The pane's own View-menu toggle (AFCQ_SEDQ_JTAG_PANE_ACTION).
    QAction* get_toggle_action() const { return m_toggle_action; }
    QTreeView* get_sof_table() const { return m_table; }
    QStandardItemModel* get_sof_model() { return &m_table_model; }
    QToolButton* get_attach_button() const { return m_attach_button; }
    // Whether a programming run from the SOF Manager still holds the document's file name.
    bool is_programming_run_pending() const { return !m_saved_sof_file_name.isNull(); }
    // Gives the document its own file name back and removes the temporary file; the model
    // calls it before the document is saved.
    void end_programming_run();

public Q_SLOTS:
    void on_sof_manager_toggle();
    void on_update(QObject* sender, int hint);
    void on_sof_manager_delete();
    void on_sof_manager_attach();
    void on_sof_manager_rename();
    void on_sof_manager_extract();
    void on_sof_manager_program();
    void on_sof_manager_embed();
    void on_sof_manager_item_renamed(QStandardItem* item);
    void on_sof_manager_context_menu(QPoint const& pos);
    void on_sof_manager_update_actions();
    void on_set_visible(bool visible);

private:
    bool rebuild_file_row(QVBoxLayout* layout);
    bool take_file_row(QGridLayout* grid, QLabel** label, QLayout** browse);
    void make_sof_table(QVBoxLayout* layout);
    void connect_actions();
    void enable_controls(bool enable);
    void refresh_selectors();
    void fill_sof_table();
    void add_sof_row(int row, const QList<int>& instances);
    void move_table_height_to_tabs();
    void move_tabs_height_to_table();
    int selected_sof_row();
    bool extract_selected(int row, const QString& path);

    QPushButton* m_toggle_button = nullptr;
    QToolButton* m_attach_button = nullptr;
    // The SOF table's header, sizing a column to the first characters of its instance's name.
    class SOF_TABLE_HEADER : public QHeaderView
    {
    public:
        explicit SOF_TABLE_HEADER(QWidget* parent);

    protected:
        QSize sectionSizeFromContents(int section) const override;
    };

    // The SOF table: a row per attached file, a column per instance. The column titles are
    // held as one list, not as a header item per column: a document may hold tens of
    // thousands of instances.
    class SOF_TABLE_MODEL : public QStandardItemModel
    {
    public:
        void set_titles(const QStringList& titles);
        QVariant headerData(int section, Qt::Orientation orientation,
                            int role = Qt::DisplayRole) const override;

    private:
        QStringList m_titles;
    };

    QTreeView* m_table = nullptr;
    SOF_TABLE_MODEL m_table_model;
    // Null while no programming run from the SOF Manager is pending; otherwise the name the
    // document held before it (empty, not null, when it held none).
    QString m_saved_sof_file_name;
    // Where the pending run's temporary file is, fixed when the run starts.
    QString m_tmp_sof_path;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx;
    QAction* m_toggle_action = nullptr;
};
