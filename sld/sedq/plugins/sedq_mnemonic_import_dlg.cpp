// SEDQ_MNEMONIC_IMPORT_DLG: the source file, the two lists of table names and the copy on OK.
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"

#include "host/fio.h"
#include "host/sdr.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"

#include <QAbstractListModel>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSet>

#include <algorithm>
#include <functional>
#include <vector>

namespace
{
// The answer of an OK/Cancel question that means OK.
constexpr int ANSWER_OK = 1;

QString name_without_directory(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

const SDR_DATA_MNEMONICS* tables_of(const SDR_DATA_SESSION* session)
{
    return session != nullptr ? session->get_mnemonics() : nullptr;
}

// The names a list shows, as plain texts: a source of tens of thousands of tables then costs no
// item object per name to fill, select or tear down.
class NAME_LIST final : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_names.size();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const bool text = role == Qt::DisplayRole || role == Qt::EditRole;
        return text && index.isValid() && index.row() < m_names.size() ? QVariant(m_names.at(index.row()))
                                                                        : QVariant();
    }

    const QStringList& names() const { return m_names; }
    void set(const QStringList& names)
    {
        beginResetModel();
        m_names = names;
        endResetModel();
    }
    void append(const QStringList& names)
    {
        if (names.isEmpty())
            return;
        beginInsertRows(QModelIndex(), m_names.size(), m_names.size() + names.size() - 1);
        m_names += names;
        endInsertRows();
    }
    // Removes the rows given, in any order, one run of neighbouring rows at a time.
    void remove(std::vector<int> rows)
    {
        std::sort(rows.begin(), rows.end(), std::greater<int>());
        for (size_t at = 0; at < rows.size();)
        {
            size_t end = at + 1;
            while (end < rows.size() && rows[end] == rows[end - 1] - 1)
                ++end;
            const int first = rows[end - 1], last = rows[at];
            beginRemoveRows(QModelIndex(), first, last);
            m_names.erase(m_names.begin() + first, m_names.begin() + last + 1);
            endRemoveRows();
            at = end;
        }
    }

private:
    QStringList m_names;
};

NAME_LIST* names_of(const QListView* list)
{
    return static_cast<NAME_LIST*>(list->model());
}

// The rows chosen in `list`, each once, in the order they were chosen: read off the selection's
// ranges, as a whole list chosen is one range.
std::vector<int> chosen_rows(const QListView* list)
{
    std::vector<int> rows;
    std::vector<bool> seen(size_t(list->model()->rowCount()));
    for (const QItemSelectionRange& range : list->selectionModel()->selection())
        for (int row = std::max(range.top(), 0); row <= range.bottom() && size_t(row) < seen.size(); ++row)
            if (!seen[size_t(row)])
            {
                seen[size_t(row)] = true;
                rows.push_back(row);
            }
    return rows;
}

// Every row holds one line of the same font, so the rows are as high as the first: a source of
// tens of thousands of tables would otherwise have each name laid out to measure its row.
QListView* make_list(QWidget* parent)
{
    auto* list = new QListView(parent);
    list->setModel(new NAME_LIST(list));
    list->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    list->setLineWidth(2);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setUniformItemSizes(true);
    return list;
}

QPushButton* make_arrow(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFixedSize(30, 25);
    return button;
}
} // namespace

SEDQ_MNEMONIC_IMPORT_DLG::SEDQ_MNEMONIC_IMPORT_DLG(const SDR_DATA_SESSION* target, QString file, QWidget* parent,
                                                   SEDQ_TX_MANAGER* model)
    : AFCQ_DIALOG(parent), m_model(model), m_target(target)
{
    make_widgets();
    connect_widgets();
    m_file_path = file;
    m_file_name = name_without_directory(file);
    m_source = m_model != nullptr ? m_model->open_mnemonic_source(file) : nullptr;
    if (m_source == nullptr)
    {
        sedq_show_message(MSG_SEDQ::O::INVALID_VTL_FILE_STRUCTURE(m_file_name.toLocal8Bit().toStdString()));
        return;
    }
    m_browse->get_line_edit()->setText(m_file_name);
    refresh();
}

void SEDQ_MNEMONIC_IMPORT_DLG::make_widgets()
{
    setWindowTitle(QStringLiteral("Import Table"));
    m_browse = new AFCQ_LINE_EDIT_BROWSE_BUTTON(this);
    m_browse->set_read_only(true);
    m_browse->set_edit_palette(SEDQ_GREY_BASE_PALETTE);
    m_browse->set_filters({FILE_FILTER});
    m_available = make_list(this);
    m_selected = make_list(this);
    m_select_button = make_arrow(tr("&>"), this);
    m_select_all_button = make_arrow(tr(">>"), this);
    m_unselect_button = make_arrow(tr("&<"), this);
    m_unselect_all_button = make_arrow(tr("<<"), this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Table from: "), this), 0, 0, 1, 1);
    grid->addWidget(m_browse, 0, 1, 1, 4);
    grid->addWidget(new QLabel(tr("Available tables: "), this), 1, 0, 1, 5);
    grid->addWidget(m_available, 2, 0, 10, 5);
    grid->addWidget(m_select_button, 6, 5, 1, 1);
    grid->addWidget(m_select_all_button, 7, 5, 1, 1);
    grid->addWidget(m_unselect_button, 8, 5, 1, 1);
    grid->addWidget(m_unselect_all_button, 9, 5, 1, 1);
    grid->addWidget(new QLabel(tr("Selected tables: "), this), 1, 6, 1, 5);
    grid->addWidget(m_selected, 2, 6, 10, 5);
    grid->addWidget(m_buttons, 12, 6, 1, 5);
}

void SEDQ_MNEMONIC_IMPORT_DLG::connect_widgets()
{
    connect(m_buttons, &QDialogButtonBox::accepted, this, &SEDQ_MNEMONIC_IMPORT_DLG::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &SEDQ_MNEMONIC_IMPORT_DLG::reject);
    connect(m_buttons, &QDialogButtonBox::helpRequested, this, &SEDQ_MNEMONIC_IMPORT_DLG::help_button_clicked);
    connect(m_browse, &AFCQ_LINE_EDIT_BROWSE_BUTTON::browse_editing_finished, this,
            &SEDQ_MNEMONIC_IMPORT_DLG::selected_file_change);
    connect(m_select_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_IMPORT_DLG::on_select);
    connect(m_select_all_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_IMPORT_DLG::on_select_all);
    connect(m_unselect_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_IMPORT_DLG::on_unselect);
    connect(m_unselect_all_button, &QPushButton::clicked, this, &SEDQ_MNEMONIC_IMPORT_DLG::on_unselect_all);
    connect(m_available, &QListView::doubleClicked, this, &SEDQ_MNEMONIC_IMPORT_DLG::on_select);
    connect(m_selected, &QListView::doubleClicked, this, &SEDQ_MNEMONIC_IMPORT_DLG::on_unselect);
}

void SEDQ_MNEMONIC_IMPORT_DLG::refresh()
{
    const SDR_DATA_MNEMONICS* tables = tables_of(m_source);
    QStringList names;
    for (int i = 0; tables != nullptr && i < tables->get_num_tables(); ++i)
        names << QString::fromUtf8(tables->get_table(i)->get_name());
    names_of(m_selected)->set(QStringList());
    names_of(m_available)->set(names);
}

// The field holds the full path the user browsed to; the source is opened and closed by that
// path (a bare name would resolve against the working directory), and the field then shows
// the name without directory.
void SEDQ_MNEMONIC_IMPORT_DLG::selected_file_change()
{
    const QString text = m_browse->get_line_edit()->text();
    if (!FIO_FILE_SYSTEM::exists(text.toLocal8Bit().constData()))
    {
        m_browse->get_line_edit()->setText(m_file_name);
        sedq_show_message(MSG_SEDQ::O::FILE_NOT_FOUND(text.toLocal8Bit().toStdString()));
        return;
    }
    open_source(text);
}

void SEDQ_MNEMONIC_IMPORT_DLG::open_source(const QString& path)
{
    if (m_source != nullptr && m_model != nullptr)
        m_model->close_mnemonic_source(m_file_path);
    m_source = m_model != nullptr ? m_model->open_mnemonic_source(path) : nullptr;
    const QString name = name_without_directory(path);
    m_file_path = m_source != nullptr ? path : QString();
    m_file_name = m_source != nullptr ? name : QString();
    m_browse->get_line_edit()->setText(m_file_name);
    refresh();
    if (m_source == nullptr)
        sedq_show_message(MSG_SEDQ::O::INVALID_VTL_FILE_STRUCTURE(name.toLocal8Bit().toStdString()));
}

// The names already chosen are looked up in a set and the new ones added in one go: a source
// of many thousand tables would otherwise cost a search of the list per name. A source names
// each table once, and each row comes once, so the new names need no set of their own.
void SEDQ_MNEMONIC_IMPORT_DLG::on_select()
{
    const QStringList& selected = names_of(m_selected)->names();
    const QSet<QString> chosen(selected.begin(), selected.end());
    const QStringList& available = names_of(m_available)->names();
    QStringList added;
    for (int row : chosen_rows(m_available))
        if (!chosen.contains(available.at(row)))
            added << available.at(row);
    names_of(m_selected)->append(added);
}

void SEDQ_MNEMONIC_IMPORT_DLG::on_select_all()
{
    m_available->selectAll();
    on_select();
}

void SEDQ_MNEMONIC_IMPORT_DLG::on_unselect()
{
    names_of(m_selected)->remove(chosen_rows(m_selected));
}

void SEDQ_MNEMONIC_IMPORT_DLG::on_unselect_all()
{
    names_of(m_selected)->set(QStringList());
}

void SEDQ_MNEMONIC_IMPORT_DLG::accept()
{
    if (names_of(m_selected)->names().isEmpty())
    {
        reject();
        return;
    }
    if (m_target != nullptr && m_source != nullptr && m_model != nullptr)
        copy_selected_tables();
    AFCQ_DIALOG::accept();
}

// Every question is asked before anything is written, so the copies go in as one edit. A name
// the source no longer holds is skipped; a table is never copied onto itself. The row a question
// is about is made current for it (only then: moving the current row through tens of thousands of
// rows would lay the list out for each).
bool SEDQ_MNEMONIC_IMPORT_DLG::copy_selected_tables()
{
    const SDR_DATA_MNEMONICS* target = tables_of(m_target);
    const SDR_DATA_MNEMONICS* source = tables_of(m_source);
    if (target == nullptr || source == nullptr)
        return false;
    std::vector<std::pair<const SDR_DATA_MNEMONICS_TABLE*, bool>> copies; // table, replacing one
    const QStringList& selected = names_of(m_selected)->names();
    for (int i = 0; i < selected.size(); ++i)
    {
        const QString& text = selected.at(i);
        const QByteArray name = text.toUtf8();
        const SDR_DATA_MNEMONICS_TABLE* from = source->find_table(name.constData());
        const bool in_document = target->find_table(name.constData()) != nullptr;
        if (!in_document && !m_unsaved_tables.contains(text))
        {
            if (from != nullptr)
                copies.emplace_back(from, false);
            continue;
        }
        m_selected->setCurrentIndex(m_selected->model()->index(i, 0));
        const int answer = sedq_show_message(MSG_SEDQ::OC::OVERWRITE_OR_NOT(name.toStdString()));
        if (answer == ANSWER_OK && from != nullptr && target != source)
            copies.emplace_back(from, in_document);
    }
    if (copies.empty())
        return true;
    bool copied = true;
    const SEDQ_EDIT_SCOPE edit(m_model, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                               sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    for (const auto& copy : copies)
    {
        const bool done = m_model->import_mnemonic_table(copy.first, copy.second);
        if (done)
            m_imported << QString::fromUtf8(copy.first->get_name());
        copied = done && copied;
    }
    return copied;
}
