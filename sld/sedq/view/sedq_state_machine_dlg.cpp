// SEDQ_STATE_MACHINE_DLG: construction, the netlist and overwrite controls, and Ok, which adds
// the chosen machines with their mnemonic tables as one undoable edit.
#include "sedq/view/sedq_state_machine_dlg.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_database_manager.h"
#include "sedq/view/sedq_kpt_manager.h"
#include "sedq/view/sedq_state_machine_table_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>

namespace
{
using TABLE = SEDQ_STATE_MACHINE_TABLE_VIEW;
// Node view, hierarchy and configuration panes refresh: nodes were added.
constexpr int STATE_MACHINES_ADDED_HINT = 0x20000007;
} // namespace

void sedq_remove_entity_name(QString* name)
{
    const int colon = name->indexOf(QLatin1Char(':'));
    if (colon >= 0)
        name->remove(0, colon + 1);
}

void sedq_remove_entity_name(QStringList* names)
{
    for (QString& name : *names)
        sedq_remove_entity_name(&name);
}

SEDQ_STATE_MACHINE_DLG::SEDQ_STATE_MACHINE_DLG(SEDQ_FRAME_WND* frame, bool recreate, QWidget* parent)
    : AFCQ_DIALOG(parent), m_frame(frame), m_recreate(recreate)
{
    on_init_dlg();
}

SEDQ_STATE_MACHINE_DLG::~SEDQ_STATE_MACHINE_DLG()
{
    delete m_kpt_manager;
}

int SEDQ_STATE_MACHINE_DLG::run(SEDQ_FRAME_WND* frame, bool recreate, QWidget* parent)
{
    SEDQ_STATE_MACHINE_DLG dialog(frame, recreate, parent);
    return dialog.exec();
}

SEDQ_TX_MANAGER* SEDQ_STATE_MACHINE_DLG::manager() const
{
    return m_frame != nullptr ? m_frame->get_tx_manager() : nullptr;
}

int SEDQ_STATE_MACHINE_DLG::get_netlist_index() const
{
    return m_netlist_combo != nullptr ? m_netlist_combo->currentIndex() : -1;
}

void SEDQ_STATE_MACHINE_DLG::set_kpt_manager(SEDQ_KPT_MANAGER* manager)
{
    if (manager != m_kpt_manager)
        delete m_kpt_manager;
    m_kpt_manager = manager;
}

void SEDQ_STATE_MACHINE_DLG::on_init_dlg()
{
    SEDQ_VERIFY(this->m_frame != NULL && this->m_frame->get_tx_manager() != NULL);
    setWindowTitle(m_recreate ? QStringLiteral("Recreate State Machine Mnemonics")
                              : QStringLiteral("Add State Machine Nodes"));
    make_widgets();
    connect_widgets();
    m_button_box->button(QDialogButtonBox::Ok)->setEnabled(false);
    m_netlist_combo->setCurrentIndex(0);
    on_state_machine_filter_combo_changed(0);
    if (m_recreate)
        m_overwrite_check_box->setChecked(true);
    else
        m_overwrite_check_box->hide();
}

void SEDQ_STATE_MACHINE_DLG::make_widgets()
{
    m_netlist_label = new QLabel(QStringLiteral("Netlist: "), this);
    m_netlist_combo = new QComboBox(this);
    m_netlist_combo->addItem(QStringLiteral("Pre-synthesis"));
    m_netlist_combo->addItem(QStringLiteral("Post-fitting"));
    m_overwrite_check_box = new QCheckBox(QStringLiteral("Overwrite existing mnemonic table"), this);
    m_button_box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
                                        Qt::Horizontal, this);
    m_found_label = new QLabel(QStringLiteral("State machine nodes found:"), this);
    m_table = new SEDQ_STATE_MACHINE_TABLE_VIEW(this);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_netlist_label, 0, 0, 1, 1);
    layout->addWidget(m_netlist_combo, 0, 1, 1, 3);
    layout->setColumnStretch(1, 1);
    layout->addWidget(m_overwrite_check_box, 0, 5, 1, 1, Qt::AlignRight);
    layout->addWidget(m_found_label, 3, 0, 1, 6, Qt::AlignBottom);
    layout->addWidget(m_table, 4, 0, 6, 6);
    layout->addWidget(m_button_box, 10, 5, 1, 1);
}

void SEDQ_STATE_MACHINE_DLG::connect_widgets()
{
    connect(m_button_box, &QDialogButtonBox::accepted, this, &SEDQ_STATE_MACHINE_DLG::accept);
    connect(m_button_box, &QDialogButtonBox::rejected, this, &SEDQ_STATE_MACHINE_DLG::reject);
    connect(m_button_box, &QDialogButtonBox::helpRequested, this,
            &SEDQ_STATE_MACHINE_DLG::help_button_clicked);
    connect(m_netlist_combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SEDQ_STATE_MACHINE_DLG::on_state_machine_filter_combo_changed);
    connect(m_table, &SEDQ_STATE_MACHINE_TABLE_VIEW::doubleClicked, this,
            &SEDQ_STATE_MACHINE_DLG::on_double_click_state_machine_node_list);
    connect(m_overwrite_check_box, &QCheckBox::stateChanged, this,
            &SEDQ_STATE_MACHINE_DLG::on_state_machine_overwrite_table_check_box);
}

void SEDQ_STATE_MACHINE_DLG::on_state_machine_filter_combo_changed(int index)
{
    if (index == -1)
        return;
    m_table->reset_model();
    m_button_box->button(QDialogButtonBox::Ok)->setEnabled(false);
    {
        SEDQ_DATABASE_MANAGER database(this);
        QStringList& names = index == 0 ? m_pre_synthesis_names : m_post_fitting_names;
        // A netlist is read once per dialog, unless it had nothing to offer.
        if (names.isEmpty())
            database.get_state_machine_list(&names);
        update_state_machine_node_list(names);
    }
    const bool empty = m_table->get_model()->rowCount() == 0;
    m_overwrite_check_box->setEnabled(!empty);
    if (empty)
        add_empty_list_row(index);
}

void SEDQ_STATE_MACHINE_DLG::add_empty_list_row(int netlist)
{
    QString text;
    if (m_recreate)
        text = netlist == 0 ? QStringLiteral("No pre-synthesis state machines tapped")
                            : QStringLiteral("No post-fitting state machines tapped");
    else
        text = netlist == 0 ? QStringLiteral("No pre-synthesis state machines found")
                            : QStringLiteral("No post-fitting state machines found");
    QStandardItemModel* model = m_table->get_model();
    model->appendRow({new QStandardItem(text), new QStandardItem(QString())});
    for (int column = 0; column < TABLE::COLUMN_COUNT; ++column)
    {
        QStandardItem* item = model->item(0, column);
        item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
        item->setForeground(QColor(Qt::gray));
    }
    m_table->resizeRowToContents(0);
}

void SEDQ_STATE_MACHINE_DLG::on_state_machine_overwrite_table_check_box(int)
{
    on_state_machine_filter_combo_changed(m_netlist_combo->currentIndex());
}

void SEDQ_STATE_MACHINE_DLG::on_double_click_state_machine_node_list()
{
    if (m_button_box->button(QDialogButtonBox::Ok)->isEnabled())
        accept();
}

// Adds (or, in recreate mode, finds) the machine of one selected row and builds its table.
// False when the row yields no table; the reason has been reported.
bool SEDQ_STATE_MACHINE_DLG::add_state_machine(SEDQ_DATABASE_MANAGER* database, int row)
{
    QStandardItemModel* model = m_table->get_model();
    const QString state_machine_name = model->item(row, TABLE::MACHINE_COLUMN)->text();
    if (!SEDQ_VERIFY(state_machine_name != ""))
        return false;
    QStringList nodes;
    database->get_node_list(state_machine_name, &nodes);
    const SDR_DATA_WIRE_TAP_MODE tap_mode = is_post_fitting() ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS;
    const int group_index = m_recreate ? find_group_of(nodes)
                                       : manager()->insert_nodes(state_machine_name, nodes, tap_mode, true);
    const QString mnemonic_table_name = model->item(row, TABLE::TABLE_COLUMN) != nullptr
                                            ? model->item(row, TABLE::TABLE_COLUMN)->text()
                                            : QString();
    if (!SEDQ_VERIFY(mnemonic_table_name != ""))
        return false;
    // A machine that could not be added (or was not found) has no group to show the table.
    if (!SEDQ_VERIFY(group_index >= 0))
        return false;
    QStringList state_names;
    QStringList patterns;
    get_usable_mnemonic_list(database, state_machine_name, nodes.size(), &state_names, &patterns, true);
    if (!SEDQ_VERIFY(!patterns.isEmpty()))
        return false;
    manager()->create_mnemonic_table(group_index, mnemonic_table_name, state_names, patterns);
    return true;
}

void SEDQ_STATE_MACHINE_DLG::accept()
{
    const int current_selection = get_netlist_index();
    if (!SEDQ_VERIFY(current_selection != -1) || !SEDQ_VERIFY(this->manager() != NULL))
        return;
    SEDQ_DATABASE_MANAGER database(this);
    SEDQ_TX_MANAGER* tx = manager();
    {
        const SEDQ_EDIT_SCOPE edit(tx, SEDQ_CHECK_COMPILATION, STATE_MACHINES_ADDED_HINT);
        QItemSelectionModel* selection = m_table->selectionModel();
        for (int row = 0; row < m_table->get_model()->rowCount(); ++row)
        {
            if (selection->isSelected(m_table->get_model()->index(row, TABLE::MACHINE_COLUMN)))
                add_state_machine(&database, row);
        }
    }
    QDialog::accept();
}
