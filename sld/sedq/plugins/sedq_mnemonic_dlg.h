#pragma once
// The mnemonic table setup dialog: a working copy of the document's mnemonic tables that the
// user edits (tables added, imported and deleted, entries kept in pattern order); OK writes
// the tables back as one undoable change, and only when they differ from what was loaded;
// Cancel leaves the document as it was. An import writes at once, as an edit of its own; the
// working copy then takes the imported tables and keeps the user's other edits.

#include "host/afcq.h"
#include "sedq/plugins/sedq_mnemonic_dlg_sets.h"

#include <QVector>

#include <functional>

class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QPushButton;
class SEDQ_FRAME_WND;
class SEDQ_MNEMONIC_TABLE_VIEW;
class SEDQ_TX_MANAGER;
class SDR_DATA_MNEMONICS;

class SEDQ_MNEMONIC_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    // Runs the entry dialog for a table of `width`: true on OK, with the pattern (`width`
    // symbols) and the mnemonic. The node view supplies the value dialog of its own layer.
    using ENTRY_DIALOG = std::function<bool(QWidget* parent, int width, QString* pattern, QString* symbol)>;

    SEDQ_MNEMONIC_DLG(QWidget* parent, SEDQ_FRAME_WND* frame);
    ~SEDQ_MNEMONIC_DLG() override;
    SEDQ_MNEMONIC_DLG(const SEDQ_MNEMONIC_DLG&) = delete;
    SEDQ_MNEMONIC_DLG& operator=(const SEDQ_MNEMONIC_DLG&) = delete;

    void set_entry_dialog(ENTRY_DIALOG dialog) { m_entry_dialog = std::move(dialog); }

    // The working copy; each call keeps the combo box, the view's buttons and the modified flag
    // in step.
    bool add_set(const QString* name, int width);
    bool delete_set(const QString* name);
    bool add_entry(mySET* set, const QString* pattern, const QString* symbol, int width);
    bool delete_entry(mySET* set, int index);
    int refresh_list(const mySET* set);
    void insert_data();
    void cleanup();
    // A cell of the entry table took `text` (row `row`, the "<<new>>" row at the entry count);
    // false when the working copy did not change.
    bool edit_cell(int row, int column, const QString& text);

    const SEDQ_MNEMONIC_SETS& get_sets() const { return m_sets; }
    mySET* get_current_set() const { return m_current; }
    bool is_modified() const { return m_modified; }

    QComboBox* get_table_combo() const { return m_table_combo; }
    SEDQ_MNEMONIC_TABLE_VIEW* get_view() const { return m_view; }
    QPushButton* get_add_table_button() const { return m_add_table_button; }
    QPushButton* get_import_button() const { return m_import_button; }
    QPushButton* get_delete_table_button() const { return m_delete_table_button; }
    QPushButton* get_add_entry_button() const { return m_add_entry_button; }
    QPushButton* get_delete_entry_button() const { return m_delete_entry_button; }
    QGroupBox* get_legend() const { return m_legend; }
    QDialogButtonBox* get_button_box() const { return m_buttons; }

public Q_SLOTS:
    void on_new();
    void on_delete();
    void on_import();
    void on_add_entry();
    void on_delete_entry();
    void on_table_selection_changed(const QString& name);
    void on_view_double_click();
    void accept() override;

private:
    void on_init_dlg();
    QWidget* make_buttons();
    void connect_widgets();
    void make_current(const QString& name);
    void set_table_buttons_enabled(bool enabled);
    const SDR_DATA_MNEMONICS* document_tables() const;
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> document_contents() const;
    void show_tables(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& tables, const QString& current = QString());
    QStringList unsaved_table_names() const;
    void keep_edits_after_import(const QStringList& imported);
    bool write_tables();

    SEDQ_TX_MANAGER* m_tx_manager = nullptr;
    ENTRY_DIALOG m_entry_dialog;
    SEDQ_MNEMONIC_SETS m_sets;
    // What the working copy held when it was loaded: OK writes only when the copy differs.
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> m_loaded;
    mySET* m_current = nullptr;
    bool m_modified = false;

    QComboBox* m_table_combo = nullptr;
    SEDQ_MNEMONIC_TABLE_VIEW* m_view = nullptr;
    QPushButton* m_add_table_button = nullptr;
    QPushButton* m_import_button = nullptr;
    QPushButton* m_delete_table_button = nullptr;
    QPushButton* m_add_entry_button = nullptr;
    QPushButton* m_delete_entry_button = nullptr;
    QGroupBox* m_legend = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
