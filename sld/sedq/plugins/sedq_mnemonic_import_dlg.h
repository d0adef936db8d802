#pragma once
// "Import Table": copies chosen mnemonic tables of another analyzer file into the document. The
// other file is opened as a second data session (by its full path) and stays open until another
// file replaces it; the document's own session is never closed here. On OK every chosen table
// is copied, asking before a table of the same name is overwritten, as one undoable edit.

#include "host/afcq.h"

#include <QSet>
#include <QString>
#include <QStringList>

class QDialogButtonBox;
class QListView;
class QPushButton;
class SDR_DATA_SESSION;
class SEDQ_TX_MANAGER;

class SEDQ_MNEMONIC_IMPORT_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    static const QString FILE_FILTER; // "Vantrel File (*.vtl)"

    // `file` is the path of the file to copy from; `model` is the document's, which writes.
    SEDQ_MNEMONIC_IMPORT_DLG(const SDR_DATA_SESSION* target, QString file, QWidget* parent, SEDQ_TX_MANAGER* model);

    AFCQ_LINE_EDIT_BROWSE_BUTTON* get_browse() const { return m_browse; }
    QListView* get_available_list() const { return m_available; }
    QListView* get_selected_list() const { return m_selected; }
    QPushButton* get_select_button() const { return m_select_button; }
    QPushButton* get_select_all_button() const { return m_select_all_button; }
    QPushButton* get_unselect_button() const { return m_unselect_button; }
    QPushButton* get_unselect_all_button() const { return m_unselect_all_button; }
    QDialogButtonBox* get_button_box() const { return m_buttons; }
    const SDR_DATA_SESSION* get_source() const { return m_source; }

    // Names of tables the opener holds, unsaved, that the document lacks: a chosen table of such
    // a name asks before it replaces the opener's, as for a table of the document.
    void set_unsaved_tables(const QStringList& names) { m_unsaved_tables = QSet<QString>(names.begin(), names.end()); }
    // The tables OK copied into the document.
    const QStringList& get_imported_tables() const { return m_imported; }

public Q_SLOTS:
    void selected_file_change();
    void on_select();
    void on_select_all();
    void on_unselect();
    void on_unselect_all();
    void accept() override;
    void refresh();

private:
    void make_widgets();
    void connect_widgets();
    void open_source(const QString& path);
    bool copy_selected_tables();

    SEDQ_TX_MANAGER* m_model;
    const SDR_DATA_SESSION* m_target;
    const SDR_DATA_SESSION* m_source = nullptr;
    QString m_file_path; // the source's full path; the field shows its name without directory
    QString m_file_name;
    QSet<QString> m_unsaved_tables;
    QStringList m_imported;

    AFCQ_LINE_EDIT_BROWSE_BUTTON* m_browse = nullptr;
    QListView* m_available = nullptr;
    QListView* m_selected = nullptr;
    QPushButton* m_select_button = nullptr;
    QPushButton* m_select_all_button = nullptr;
    QPushButton* m_unselect_button = nullptr;
    QPushButton* m_unselect_all_button = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
