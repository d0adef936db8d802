// SEDQ_JTAG_WIDGET: the SOF Manager's table of embedded programming files, its commands
// (attach, embed, delete, rename, extract, program) and the programming run that lends the
// document's file name to a temporary file.
#include "sedq/frame/sedq_jtag_widget.h"

#include "host/fio.h"
#include "sedq/frame/sedq_name_delegate.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QToolButton>
#include <QTreeView>

#include <cstring>

const char* const SEDQ_TMP_SOF_FILE_NAME = ".morvex_reserved_vtl_temp.sof";

namespace
{
// The attached file's name; a column per instance with its compatibility follows.
constexpr int SOF_NAME_COLUMN = 0;
constexpr int SOF_FIRST_INSTANCE_COLUMN = 1;

QStringList sof_name_filters()
{
    return {QObject::tr("SRAM Object Files (*.sof)"), QStringLiteral("*.sof"),
            QObject::tr("Programmer Object File (*.pof)"), QStringLiteral("*.pof")};
}

QStandardItem* fixed_item(const QString& text)
{
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

// Takes the table's header off the model for the life of the scope: a header on the model
// answers every label set with work over all its sections, so a label per instance would
// cost the square of the instances. Put back, it reads the labels and sizes the columns to
// their contents in one pass.
class HEADER_DETACHED
{
public:
    explicit HEADER_DETACHED(QTreeView* table) : m_table(table) { m_table->header()->setModel(nullptr); }
    ~HEADER_DETACHED()
    {
        QHeaderView* header = m_table->header();
        header->setModel(m_table->model());
        header->setSelectionModel(m_table->selectionModel());
    }
    HEADER_DETACHED(const HEADER_DETACHED&) = delete;
    HEADER_DETACHED& operator=(const HEADER_DETACHED&) = delete;

private:
    QTreeView* m_table;
};
} // namespace

// ---- the table ----------------------------------------------------------------------------------

// The header sizes each instance column to the name's first characters only, as the instance
// list does (SEDQ_NAME_DELEGATE): every column is measured whenever the table's geometry
// changes. The header shows the name elided in the middle (a hierarchy path ends in what tells
// instances apart) and the whole name as its tooltip.
SEDQ_JTAG_WIDGET::SOF_TABLE_HEADER::SOF_TABLE_HEADER(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setTextElideMode(Qt::ElideMiddle);
}

QSize SEDQ_JTAG_WIDGET::SOF_TABLE_HEADER::sectionSizeFromContents(int section) const
{
    const QString title = model() != nullptr
                              ? model()->headerData(section, orientation(), Qt::DisplayRole).toString()
                              : QString();
    if (title.size() <= SEDQ_NAME_DELEGATE::MEASURED_CHARACTERS)
        return QHeaderView::sectionSizeFromContents(section);
    // As the header measures a title: in its own font, in bold.
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = section;
    QFont bold = font();
    bold.setBold(true);
    option.fontMetrics = QFontMetrics(bold);
    option.text = SEDQ_NAME_DELEGATE::measured(title);
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}

// ---- the table model ----------------------------------------------------------------------------

// One row per embedded file; one compatibility column per instance entry that is not a
// power-up view.
void SEDQ_JTAG_WIDGET::SOF_TABLE_MODEL::set_titles(const QStringList& titles)
{
    m_titles = titles;
    if (columnCount() < titles.size())
        setColumnCount(titles.size());
    if (!titles.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, titles.size() - 1);
}

QVariant SEDQ_JTAG_WIDGET::SOF_TABLE_MODEL::headerData(int section, Qt::Orientation orientation,
                                                       int role) const
{
    const bool title = orientation == Qt::Horizontal &&
                       (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole);
    if (title && section >= 0 && section < m_titles.size())
        return m_titles[section];
    return QStandardItemModel::headerData(section, orientation, role);
}

void SEDQ_JTAG_WIDGET::fill_sof_table()
{
    const HEADER_DETACHED detached(m_table);
    m_table_model.clear();
    QStringList headers{tr("Attached SOF Files")};
    QList<int> instances;
    const int count = m_tx->get_num_instances();
    for (int i = 0; i < count; ++i)
    {
        if (m_tx->is_powerup_trigger(i))
            continue;
        instances << i;
        headers << m_tx->get_instance_name_text(i);
    }
    m_table_model.set_titles(headers);
    const SDR_TX_SESSION* session = m_tx->get_tx_session();
    const int files = session != nullptr ? session->get_embedded_sof_file_count() : 0;
    for (int row = 0; row < files; ++row)
        add_sof_row(row, instances);
    // The selection went with the rows.
    on_sof_manager_update_actions();
}

void SEDQ_JTAG_WIDGET::add_sof_row(int row, const QList<int>& instances)
{
    const SDR_TX_SESSION* session = m_tx->get_tx_session();
    const char* name = session->get_embedded_sof_file_name_at(row);
    m_table_model.setItem(row, SOF_NAME_COLUMN,
                          new QStandardItem(style()->standardIcon(QStyle::SP_FileIcon),
                                            QString::fromLocal8Bit(name != nullptr ? name : "")));
    const char* crc = session->get_embedded_sof_inst_id_crc_at(row);
    for (int k = 0; k < instances.size(); ++k)
    {
        QString text;
        if (crc != nullptr)
            text = std::strcmp(m_tx->get_sof_compatibility_state(instances[k], crc), "compatible") == 0
                       ? QStringLiteral("compatible")
                       : QStringLiteral("not compatible");
        m_table_model.setItem(row, SOF_FIRST_INSTANCE_COLUMN + k, fixed_item(text));
    }
}

void SEDQ_JTAG_WIDGET::on_sof_manager_update_actions()
{
    const int selected = m_table->selectionModel()->selectedRows(0).count();
    QString device;
    QString hardware;
    get_jtag_device(&device);
    get_jtag_hardware(&hardware);
    m_tx->enable_action(AFCQ_SEDQ_SOF_DELETE_ACTION, selected > 0);
    m_tx->enable_action(AFCQ_SEDQ_SOF_ATTACH_ACTION, true);
    m_tx->enable_action(AFCQ_SEDQ_SOF_RENAME_ACTION, selected == 1);
    m_tx->enable_action(AFCQ_SEDQ_SOF_EXTRACT_ACTION, selected == 1);
    m_tx->enable_action(AFCQ_SEDQ_SOF_PROGRAM_ACTION,
                        selected == 1 && !device.isEmpty() && !hardware.isEmpty());
}

void SEDQ_JTAG_WIDGET::on_sof_manager_context_menu(QPoint const& pos)
{
    on_sof_manager_update_actions();
    QMenu::exec(m_table->actions(), m_table->mapToGlobal(pos), nullptr, this);
}

// The one selected row, or -1 after reporting.
int SEDQ_JTAG_WIDGET::selected_sof_row()
{
    QItemSelectionModel* selection_model = m_table->selectionModel();
    if (!SEDQ_VERIFY(selection_model != NULL))
        return -1;
    const QModelIndexList selected_rows = selection_model->selectedRows(0);
    if (!SEDQ_VERIFY(selected_rows.count() == 1))
        return -1;
    const int index = selected_rows.first().row();
    if (!SEDQ_VERIFY(index != -1))
        return -1;
    return index;
}

// ---- commands -----------------------------------------------------------------------------------

void SEDQ_JTAG_WIDGET::on_sof_manager_attach()
{
    AFCQ_FILE_DLG dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(sof_name_filters());
    dialog.setWindowTitle(tr("Attach SOF File"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SEDQ_EDIT_SCOPE edit(m_tx, SEDQ_SKIP_COMPILATION_CHECK);
    for (const QString& path : dialog.selectedFiles())
    {
        QString name;
        m_tx->embed_sof_file(path, &name);
    }
}

void SEDQ_JTAG_WIDGET::on_sof_manager_embed()
{
    QString path;
    get_sof_file(&path);
    QString name;
    m_tx->embed_sof_file(path, &name);
}

// From the last row up, so that every removal leaves the rows still to be looked at in place.
void SEDQ_JTAG_WIDGET::on_sof_manager_delete()
{
    const SDR_TX_SESSION* sdr_tx_session = m_tx->get_tx_session();
    if (!SEDQ_VERIFY(sdr_tx_session != NULL))
        return;
    QItemSelectionModel* selection_model = m_table->selectionModel();
    const SEDQ_EDIT_SCOPE edit(m_tx, SEDQ_SKIP_COMPILATION_CHECK);
    for (int row = m_table_model.rowCount() - 1; row >= 0; --row)
        if (selection_model->isSelected(m_table_model.index(row, SOF_NAME_COLUMN)))
            m_tx->remove_embedded_sof(row);
}

void SEDQ_JTAG_WIDGET::on_sof_manager_rename()
{
    const int row = selected_sof_row();
    if (row >= 0)
        m_table->edit(m_table_model.index(row, SOF_NAME_COLUMN));
}

// A name the session refuses (empty or taken) shows the stored name again.
void SEDQ_JTAG_WIDGET::on_sof_manager_item_renamed(QStandardItem* item)
{
    const SDR_TX_SESSION* session = m_tx->get_tx_session();
    if (item == nullptr || item->column() != SOF_NAME_COLUMN || session == nullptr)
        return;
    const int row = item->row();
    const char* stored = session->get_embedded_sof_file_name_at(row);
    const QString stored_name = QString::fromLocal8Bit(stored != nullptr ? stored : "");
    const QString text = item->text();
    if (text == stored_name)
        return;
    if (!text.isEmpty() && m_tx->rename_embedded_sof(row, text.toLocal8Bit().constData()))
        return;
    item->setText(stored_name);
}

bool SEDQ_JTAG_WIDGET::extract_selected(int row, const QString& path)
{
    const SDR_TX_SESSION* sdr_tx_session = m_tx->get_tx_session();
    if (!SEDQ_VERIFY(sdr_tx_session != NULL))
        return false;
    if (sdr_tx_session->extract_sof_file(row, path.toLocal8Bit().constData()))
        return true;
    sedq_show_message(MSG_SEDQ::O::ERROR_EXTRACT_EMBEDDED_SOF_FILE());
    return false;
}

void SEDQ_JTAG_WIDGET::on_sof_manager_extract()
{
    const int row = selected_sof_row();
    if (row < 0)
        return;
    AFCQ_FILE_DLG dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(sof_name_filters());
    dialog.setWindowTitle(tr("Extract SOF File"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList file_list = dialog.selectedFiles();
    if (!SEDQ_VERIFY(file_list.count() == 1))
        return;
    extract_selected(row, file_list.first());
}

// ---- programming run ----------------------------------------------------------------------------

// The embedded file is extracted into the temporary file, whose path is fixed here for the
// whole run, and the document names it until the run ends. While a run is pending the host is
// still programming; a second request waits for it.
void SEDQ_JTAG_WIDGET::on_sof_manager_program()
{
    const int row = selected_sof_row();
    if (row < 0 || is_programming_run_pending() || is_programming())
        return;
    const SDR_TX_SESSION* session = m_tx->get_tx_session();
    const SDR_DATA_SESSION* sdr_data_session = session != nullptr ? session->get_data_session() : nullptr;
    if (!SEDQ_VERIFY(sdr_data_session != NULL))
        return;
    const QString path = QDir::current().absoluteFilePath(QString::fromLatin1(SEDQ_TMP_SOF_FILE_NAME));
    if (!extract_selected(row, path))
        return;
    const char* stored = sdr_data_session->get_sof_file_name();
    m_saved_sof_file_name = QString::fromLocal8Bit(stored != nullptr ? stored : "");
    if (m_saved_sof_file_name.isNull())
        m_saved_sof_file_name = QLatin1String("");
    m_tmp_sof_path = path;
    m_tx->set_sof_file_name(path.toLocal8Bit().constData());
    on_program();
}

// Every end of the run gives the name back: success, failure, a save in between.
void SEDQ_JTAG_WIDGET::on_view_updated(unsigned int flags)
{
    if ((flags & VIEW_CHANGED) == 0)
        return;
    const bool chain_in_use = (flags & (VIEW_PROGRAMMING | VIEW_SCANNING)) != 0;
    if (!chain_in_use && is_programming_run_pending() && !is_programming())
        end_programming_run();
    m_tx->update_all_views(nullptr, chain_in_use ? sedq_hint(SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_WAITING_FOR_JTAG)
                                                 : sedq_hint(SEDQ_UPDATE_INSTANCES));
}

// The document gets its name back only while it still names the temporary file: a name
// chosen during the run stays.
void SEDQ_JTAG_WIDGET::end_programming_run()
{
    if (!is_programming_run_pending())
        return;
    const SDR_TX_SESSION* session = m_tx->get_tx_session();
    const SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    if (data != nullptr && QString::fromLocal8Bit(data->get_sof_file_name()) == m_tmp_sof_path)
        m_tx->set_sof_file_name(m_saved_sof_file_name.toLocal8Bit().constData());
    FIO_FILE_SYSTEM::remove(m_tmp_sof_path.toLocal8Bit().constData());
    m_saved_sof_file_name = QString();
    m_tmp_sof_path.clear();
}
