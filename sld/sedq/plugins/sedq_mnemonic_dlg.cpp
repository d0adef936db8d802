// SEDQ_MNEMONIC_DLG: the widgets, the working copy's editing, the import, and the writing back.
#include "sedq/plugins/sedq_mnemonic_dlg.h"

#include "host/sdr.h"
#include "host/tst.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/plugins/sedq_mnemonic_dlg_table_view.h"
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"
#include "sedq/plugins/sedq_mnemonic_new_table_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace
{
// The names the table combo is sized for ("fsm|main_controller|state : width = 5" and the like).
constexpr int TABLE_COMBO_CHARACTERS = 40;
} // namespace

SEDQ_MNEMONIC_DLG::SEDQ_MNEMONIC_DLG(QWidget* parent, SEDQ_FRAME_WND* frame)
    : AFCQ_DIALOG(parent), m_tx_manager(frame != nullptr ? frame->get_tx_manager() : nullptr)
{
    on_init_dlg();
    insert_data();
}

SEDQ_MNEMONIC_DLG::~SEDQ_MNEMONIC_DLG() = default;

void SEDQ_MNEMONIC_DLG::on_init_dlg()
{
    setWindowTitle(QStringLiteral("Mnemonic Table Setup"));
    m_table_combo = new QComboBox(this);
    // The combo is as wide as the grid makes it: sizing it to its longest name would lay out
    // every name of a document that holds thousands of tables each time the dialog opens.
    m_table_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_table_combo->setMinimumContentsLength(TABLE_COMBO_CHARACTERS);
    m_view = new SEDQ_MNEMONIC_TABLE_VIEW(this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* entries = new QVBoxLayout;
    entries->setSpacing(0);
    entries->addWidget(new QLabel(tr("Entries:"), this));
    entries->addWidget(m_view);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Table:"), this), 0, 0, 1, 1);
    grid->addWidget(m_table_combo, 0, 1, 1, 5);
    grid->addLayout(entries, 1, 0, 9, 6);
    grid->addWidget(make_buttons(), 0, 6, 10, 2);
    grid->addWidget(m_buttons, 10, 2, 1, 6);
    set_table_buttons_enabled(false);
    connect_widgets();
}

QWidget* SEDQ_MNEMONIC_DLG::make_buttons()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    m_add_table_button = new QPushButton(tr("Add &Table..."), column);
    m_import_button = new QPushButton(tr("&Import Table..."), column);
    m_delete_table_button = new QPushButton(tr("De&lete Table"), column);
    m_add_entry_button = new QPushButton(tr("Add &Entry..."), column);
    m_delete_entry_button = new QPushButton(tr("&Delete Entry"), column);
    for (QPushButton* button : {m_add_table_button, m_import_button, m_delete_table_button, m_add_entry_button,
                                m_delete_entry_button})
        layout->addWidget(button);
    m_legend = new QGroupBox(tr("Pattern Legend"), column);
    auto* legend = new QVBoxLayout(m_legend);
    for (const char* text : {"1 - High", "0 - Low", "H - High", "L - Low", "R - Rising Edge", "F - Falling Edge",
                             "E - Either Edge", "X - Don't Care"})
        legend->addWidget(new QLabel(tr(text), m_legend));
    layout->addWidget(m_legend);
    layout->addStretch(1);
    return column;
}

void SEDQ_MNEMONIC_DLG::connect_widgets()
{
    connect(m_buttons, &QDialogButtonBox::accepted, this, &SEDQ_MNEMONIC_DLG::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &SEDQ_MNEMONIC_DLG::reject);
    connect(m_buttons, &QDialogButtonBox::helpRequested, this, &SEDQ_MNEMONIC_DLG::help_button_clicked);
    connect(m_add_table_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_DLG::on_new);
    connect(m_delete_table_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_DLG::on_delete);
    connect(m_import_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_DLG::on_import);
    connect(m_add_entry_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_DLG::on_add_entry);
    connect(m_delete_entry_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_DLG::on_delete_entry);
    connect(m_table_combo, &QComboBox::currentTextChanged, this,
            &SEDQ_MNEMONIC_DLG::on_table_selection_changed);
    connect(m_view, &SEDQ_MNEMONIC_TABLE_VIEW::doubleClicked, this, &SEDQ_MNEMONIC_DLG::on_view_double_click);
}

// "De&lete Table" and "Add &Entry..." follow whether a table exists; "&Delete Entry" goes off
// with them and comes back only through the view's selection.
void SEDQ_MNEMONIC_DLG::set_table_buttons_enabled(bool enabled)
{
    m_delete_table_button->setEnabled(enabled);
    m_add_entry_button->setEnabled(enabled);
    if (!enabled)
        m_delete_entry_button->setEnabled(false);
}

// ---- the working copy --------------------------------------------------------------------------

const SDR_DATA_MNEMONICS* SEDQ_MNEMONIC_DLG::document_tables() const
{
    if (m_tx_manager == nullptr || m_tx_manager->get_tx_session() == nullptr)
        return nullptr;
    const SDR_DATA_SESSION* data = m_tx_manager->get_tx_session()->get_data_session();
    return data != nullptr ? data->get_mnemonics() : nullptr;
}

// The copy is loaded in one pass (entries of a sorted table go to the tail) and the view built
// once; what was loaded is kept, so that OK can tell an edited copy from an unchanged one.
void SEDQ_MNEMONIC_DLG::insert_data()
{
    show_tables(document_contents());
    m_loaded = m_sets.to_contents();
    m_modified = false;
}

QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> SEDQ_MNEMONIC_DLG::document_contents() const
{
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> tables;
    if (const SDR_DATA_MNEMONICS* mnemonics = document_tables())
    {
        for (int i = 0; i < mnemonics->get_num_tables(); ++i)
            tables.append(mnemonics->get_table(i)->get_content());
    }
    return tables;
}

// The working copy becomes `tables`; the table shown stays the one named `current` when the copy
// still holds it, else it is the first.
void SEDQ_MNEMONIC_DLG::show_tables(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& tables, const QString& current)
{
    const QSignalBlocker blocker(m_table_combo);
    m_table_combo->clear();
    m_sets.load(tables);
    for (const mySET* set = m_sets.get_head(); set != nullptr; set = set->next)
        m_table_combo->addItem(set->name);
    const int shown = m_table_combo->findText(current);
    m_table_combo->setCurrentIndex(shown >= 0 ? shown : 0);
    m_current = m_sets.find(m_table_combo->currentText());
    refresh_list(m_current);
    set_table_buttons_enabled(m_current != nullptr);
}

void SEDQ_MNEMONIC_DLG::cleanup()
{
    m_sets.clear();
    m_current = nullptr;
}

bool SEDQ_MNEMONIC_DLG::add_set(const QString* name, int width)
{
    mySET* set = name != nullptr ? m_sets.add_set(*name, width) : nullptr;
    if (set == nullptr)
        return false;
    m_current = set;
    {
        const QSignalBlocker blocker(m_table_combo);
        m_table_combo->addItem(*name);
    }
    m_modified = true;
    set_table_buttons_enabled(true);
    return true;
}

bool SEDQ_MNEMONIC_DLG::delete_set(const QString* name)
{
    if (m_sets.get_count() == 0)
    {
        set_table_buttons_enabled(false);
        return false;
    }
    if (name == nullptr || !m_sets.delete_set(*name))
        return false;
    m_current = m_sets.get_head();
    m_modified = true;
    if (m_sets.get_count() == 0)
        set_table_buttons_enabled(false);
    return true;
}

bool SEDQ_MNEMONIC_DLG::add_entry(mySET* set, const QString* pattern, const QString* symbol, int width)
{
    if (pattern == nullptr || symbol == nullptr || !SEDQ_MNEMONIC_SETS::add_entry(set, *pattern, *symbol, width))
        return false;
    m_modified = true;
    return true;
}

bool SEDQ_MNEMONIC_DLG::delete_entry(mySET* set, int index)
{
    if (!SEDQ_VERIFY(set != nullptr) || !SEDQ_MNEMONIC_SETS::delete_entry(set, index))
        return false;
    m_modified = true;
    if (set->count == 0)
        m_delete_entry_button->setEnabled(false);
    return true;
}

int SEDQ_MNEMONIC_DLG::refresh_list(const mySET* set)
{
    QVector<QPair<QString, QString>> rows;
    if (set == nullptr)
        m_view->clear_rows();
    else
    {
        rows.reserve(set->count);
        for (const myENTRY* entry = set->head; entry != nullptr; entry = entry->next)
            rows.append({entry->pattern, entry->symbol});
        m_view->set_rows(rows);
    }
    if (set == nullptr || set->count == 0)
        m_delete_entry_button->setEnabled(false);
    return rows.size();
}

bool SEDQ_MNEMONIC_DLG::edit_cell(int row, int column, const QString& text)
{
    if (text == SEDQ_MNEMONIC_TABLE_VIEW::NEW_ROW_TEXT || m_current == nullptr)
        return false;
    const int width = m_current->width;
    const bool pattern_column = column == SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN;
    const QString pattern = pattern_column ? sedq_mnemonic_pattern(text, width) : QString(width, QLatin1Char('X'));
    if (row == m_current->count)
    {
        const QString symbol = pattern_column ? SEDQ_MNEMONIC_NO_SYMBOL : text;
        return add_entry(m_current, &pattern, &symbol, width);
    }
    const bool changed = pattern_column
                             ? SEDQ_MNEMONIC_SETS::set_entry_pattern(m_current, row, pattern)
                             : SEDQ_MNEMONIC_SETS::set_entry_symbol(m_current, row,
                                                                    text.isEmpty() ? SEDQ_MNEMONIC_NO_SYMBOL : text);
    m_modified = m_modified || changed;
    return changed;
}

void SEDQ_MNEMONIC_DLG::make_current(const QString& name)
{
    m_current = m_sets.find(name);
    refresh_list(m_current);
}

// ---- slots --------------------------------------------------------------------------------------

void SEDQ_MNEMONIC_DLG::on_table_selection_changed(const QString& name)
{
    make_current(name);
}

// The width is read once, by the "Add Table" dialog, and that number names and sizes the table.
void SEDQ_MNEMONIC_DLG::on_new()
{
    SEDQ_MNEMONIC_NEW_TABLE_DLG dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.get_name().isEmpty())
        return;
    const QString full_name = dialog.get_full_name();
    add_set(&full_name, dialog.get_width());
    const QSignalBlocker blocker(m_table_combo);
    m_table_combo->setCurrentIndex(m_table_combo->findText(full_name));
    make_current(full_name);
}

void SEDQ_MNEMONIC_DLG::on_delete()
{
    if (m_sets.get_count() == 0)
    {
        sedq_show_message(MSG_SEDQ::O::NOTHING_TO_DELETE());
        return;
    }
    const int index = m_table_combo->currentIndex();
    if (index < 0)
        return;
    const QString name = m_table_combo->currentText();
    {
        const QSignalBlocker blocker(m_table_combo);
        m_table_combo->removeItem(index);
    }
    delete_set(&name);
    make_current(m_table_combo->currentText());
}

void SEDQ_MNEMONIC_DLG::on_add_entry()
{
    if (m_sets.get_count() == 0 || m_current == nullptr || !m_entry_dialog)
        return;
    QString pattern;
    QString symbol;
    if (!m_entry_dialog(this, m_current->width, &pattern, &symbol))
        return;
    add_entry(m_current, &pattern, &symbol, m_current->width);
    refresh_list(m_current);
}

void SEDQ_MNEMONIC_DLG::on_view_double_click()
{
    on_add_entry();
}

void SEDQ_MNEMONIC_DLG::on_delete_entry()
{
    const QModelIndex index = m_view->currentIndex();
    if (!index.isValid() || m_current == nullptr)
        return;
    if (index.row() < m_current->count)
        delete_entry(m_current, index.row());
    refresh_list(m_current);
}

// The import writes into the document at once, as an edit of its own. The working copy then
// takes the tables the import brought and keeps the edits made before it: a table added here
// and not saved yet is replaced only when the user answers the import's question with OK.
void SEDQ_MNEMONIC_DLG::on_import()
{
    AFCQ_FILE_DLG files(this);
    files.setFileMode(QFileDialog::ExistingFile);
    files.setAcceptMode(QFileDialog::AcceptOpen);
    files.setNameFilter(SEDQ_MNEMONIC_IMPORT_DLG::FILE_FILTER);
    if (tst_is_regtest_mode())
        files.setOption(QFileDialog::DontUseNativeDialog);
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
        return;
    const SDR_DATA_SESSION* target = m_tx_manager != nullptr && m_tx_manager->get_tx_session() != nullptr
                                   ? m_tx_manager->get_tx_session()->get_data_session()
                                   : nullptr;
    std::unique_ptr<SEDQ_MNEMONIC_IMPORT_DLG> import;
    {
        const AFCQ_WAIT_CURSOR wait;
        import = std::make_unique<SEDQ_MNEMONIC_IMPORT_DLG>(target, files.selectedFiles().first(), this, m_tx_manager);
    }
    import->set_unsaved_tables(unsaved_table_names());
    if (import->exec() != QDialog::Accepted)
        return;
    keep_edits_after_import(import->get_imported_tables());
}

QStringList SEDQ_MNEMONIC_DLG::unsaved_table_names() const
{
    QSet<QByteArray> saved;
    for (const SDR_DATA_MNEMONICS_TABLE_CONTENT& table : m_loaded)
        saved.insert(table.name);
    QStringList names;
    for (const mySET* set = m_sets.get_head(); set != nullptr; set = set->next)
        if (!saved.contains(set->name.toUtf8()))
            names << set->name;
    return names;
}

void SEDQ_MNEMONIC_DLG::keep_edits_after_import(const QStringList& imported)
{
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> working = m_sets.to_contents();
    const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> document = document_contents();
    QHash<QByteArray, int> working_index;
    for (int i = 0; i < working.size(); ++i)
        working_index.insert(working[i].name, i);
    for (const SDR_DATA_MNEMONICS_TABLE_CONTENT& table : document)
    {
        if (!imported.contains(QString::fromUtf8(table.name)))
            continue;
        const auto own = working_index.constFind(table.name);
        if (own != working_index.constEnd())
            working[own.value()] = table;
        else
            working.append(table);
    }
    show_tables(working, m_current != nullptr ? m_current->name : QString());
    // OK compares with the document as the copy loads it (entries in pattern order).
    SEDQ_MNEMONIC_SETS loaded;
    loaded.load(document);
    m_loaded = loaded.to_contents();
    m_modified = m_sets.to_contents() != m_loaded;
}

// ---- OK ------------------------------------------------------------------------------------------

void SEDQ_MNEMONIC_DLG::accept()
{
    if (!write_tables())
        return;
    AFCQ_DIALOG::accept();
}

// All tables are deleted and made again from the working copy, as one edit, and only when the
// copy differs from what was loaded: an unchanged rewrite would mark the document and make
// this editor the last writer of every table. A table the repository refuses ends the edit
// there and keeps the dialog open; the edit's undo step takes back what was written.
bool SEDQ_MNEMONIC_DLG::write_tables()
{
    const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> tables = m_sets.to_contents();
    if (document_tables() == nullptr || tables == m_loaded)
        return true;
    bool written = false;
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                                   sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
        written = m_tx_manager->replace_mnemonic_tables(tables);
    }
    return written;
}
