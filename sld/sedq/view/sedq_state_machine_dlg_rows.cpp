// SEDQ_STATE_MACHINE_DLG: the rows of the list (status or proposed table name, colours, cached
// tips) and what they are decided by: the netlists, the current node list and the document's
// mnemonic tables.
#include "sedq/view/sedq_state_machine_dlg.h"

#include "host/sdr.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_database_manager.h"
#include "sedq/view/sedq_hdb_manager.h"
#include "sedq/view/sedq_state_machine_table_view.h"

#include <QCheckBox>
#include <QSet>
#include <QStandardItemModel>

namespace
{
const QString NOT_TAPPED = QStringLiteral("Not tapped");
const QString MNEMONICS_UNCHANGED = QStringLiteral("Mnemonics unchanged");
const QString ALREADY_TAPPED = QStringLiteral("Already tapped");
const QString UNTAPPABLE = QStringLiteral("Untappable due to register push-back");
const QString VALID = QStringLiteral("Valid");

bool is_status_text(const QString& text)
{
    return text == NOT_TAPPED || text == MNEMONICS_UNCHANGED || text == ALREADY_TAPPED || text == UNTAPPABLE;
}

bool is_empty_list_text(const QString& text)
{
    return text == QLatin1String("No pre-synthesis state machines found") ||
           text == QLatin1String("No post-fitting state machines found") ||
           text == QLatin1String("No pre-synthesis state machines tapped") ||
           text == QLatin1String("No post-fitting state machines tapped");
}

QString cell_text(QStandardItemModel* model, int row, int column)
{
    const QStandardItem* item = model->item(row, column);
    return item != nullptr ? item->text() : QString();
}

void make_gray(QStandardItem* item, bool selectable)
{
    if (!selectable)
        item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    item->setForeground(QColor(Qt::gray));
}

// One line per state: its pattern, five blanks, its name.
QString encoding_lines(const QStringList& names, const QStringList& patterns)
{
    QString text;
    for (int k = 0; k < names.size() && k < patterns.size(); ++k)
        text += patterns[k] + QStringLiteral("     ") + names[k] + QLatin1Char('\n');
    return text;
}
} // namespace

bool SEDQ_STATE_MACHINE_DLG::is_state_machine_name_disabled(int row)
{
    return is_empty_list_text(cell_text(m_table->get_model(), row, 0));
}

bool SEDQ_STATE_MACHINE_DLG::is_mnemonic_table_name_disabled(int row)
{
    const QString text = cell_text(m_table->get_model(), row, 1);
    return text.isEmpty() || is_status_text(text);
}

void SEDQ_STATE_MACHINE_DLG::update_state_machine_node_list(const QStringList& names)
{
    SEDQ_DATABASE_MANAGER database(this);
    bool evaluated_post_fitting = false;
    QStandardItemModel* model = m_table->get_model();
    for (int i = 0; i < names.size(); ++i)
    {
        const QString& name = names[i];
        const int row = model->rowCount();
        model->appendRow({new QStandardItem(name), new QStandardItem(QString())});
        QStringList nodes;
        database.get_node_list(name, &nodes);
        model->item(row, 0)->setData(nodes.join(QLatin1Char('\n')), SEDQ_STATE_MACHINE_TABLE_VIEW::NODES_ROLE);
        int group = -1;
        const QString status =
            m_recreate ? recreate_mode_status(name, &nodes, &group) : add_mode_status(i, name, &nodes, &evaluated_post_fitting);
        if (!status.isEmpty())
            show_status(row, status);
        else
            show_proposal(row, name, proposed_table_name(name, group), nodes, &database);
        m_table->resizeRowToContents(row);
    }
    if (evaluated_post_fitting)
        m_post_fitting_statuses_known = true;
}

// Recreate mode: the status of a machine, or "" when its table can be rebuilt (`group` then
// holds its group).
QString SEDQ_STATE_MACHINE_DLG::recreate_mode_status(const QString& name, QStringList* nodes, int* group)
{
    *group = find_group_of(*nodes);
    if (*group == -1)
        return NOT_TAPPED;
    if (is_mnemonic_table_already_in_document(*group, name))
        return MNEMONICS_UNCHANGED;
    return QString();
}

// Add mode: the status of the machine of name index `index`, or "" when it can be added. Post-fitting statuses are
// worked out once per dialog; the keypoint answers do not change while it is open.
QString SEDQ_STATE_MACHINE_DLG::add_mode_status(int index, const QString& name, QStringList* nodes, bool* evaluated)
{
    const bool post_fitting = is_post_fitting();
    if (post_fitting && m_post_fitting_statuses_known && index < m_post_fitting_statuses.size())
    {
        const QString& known = m_post_fitting_statuses[index];
        return known == VALID ? QString() : known;
    }
    QString status;
    if (!is_state_machine_in_hdb(name, nodes))
        status = UNTAPPABLE;
    else if (is_state_machine_in_document(name, nodes))
        status = ALREADY_TAPPED;
    if (post_fitting)
    {
        if (index < m_post_fitting_statuses.size())
            m_post_fitting_statuses[index] = status.isEmpty() ? VALID : status;
        else
            m_post_fitting_statuses.append(status.isEmpty() ? VALID : status);
        *evaluated = true;
    }
    return status;
}

void SEDQ_STATE_MACHINE_DLG::show_status(int row, const QString& status)
{
    QStandardItemModel* model = m_table->get_model();
    model->item(row, 1)->setText(status);
    make_gray(model->item(row, 0), false);
    make_gray(model->item(row, 1), false);
}

QString SEDQ_STATE_MACHINE_DLG::proposed_table_name(const QString& name, int group)
{
    QString table_name;
    if (m_recreate && m_overwrite_check_box->isChecked() && manager() != nullptr &&
        manager()->get_node_mnemonics_table_name(group, &table_name, nullptr))
        return table_name;
    get_unique_mnemonic_table_name(name, &table_name);
    return table_name;
}

void SEDQ_STATE_MACHINE_DLG::show_proposal(int row, const QString& name, const QString& table_name,
                                           const QStringList& nodes, SEDQ_DATABASE_MANAGER* database)
{
    QStandardItemModel* model = m_table->get_model();
    model->item(row, 1)->setText(table_name);
    QStringList state_names;
    QStringList patterns;
    get_usable_mnemonic_list(database, name, nodes.size(), &state_names, &patterns, false);
    model->item(row, 1)->setData(encoding_lines(state_names, patterns), SEDQ_STATE_MACHINE_TABLE_VIEW::MNEMONICS_ROLE);
    if (is_state_machine_name_disabled(row) || is_mnemonic_table_name_disabled(row))
    {
        make_gray(model->item(row, 0), true);
        make_gray(model->item(row, 1), true);
        return;
    }
    const int current_selection = get_netlist_index();
    SEDQ_VERIFY(current_selection != -1);
    model->item(row, 0)->setForeground(current_selection > 0 ? QColor(0, 0, 255) : QColor(Qt::black));
}

void SEDQ_STATE_MACHINE_DLG::get_usable_mnemonic_list(SEDQ_DATABASE_MANAGER* database, const QString& name,
                                                      int register_count, QStringList* names, QStringList* patterns,
                                                      bool report)
{
    QStringList all_names;
    QStringList all_patterns;
    database->get_mnemonic_list(name, &all_names, &all_patterns);
    names->clear();
    patterns->clear();
    bool dropped = false;
    for (int k = 0; k < all_names.size() && k < all_patterns.size(); ++k)
    {
        if (all_patterns[k].size() == register_count)
        {
            names->append(all_names[k]);
            patterns->append(all_patterns[k]);
        }
        else
            dropped = true;
    }
    if (report && (dropped || all_names.size() != all_patterns.size()))
        SEDQ_REPORT("pattern_list[i].size() == register_count");
}

// ---- what the netlists and the document hold -------------------------------------------------

bool SEDQ_STATE_MACHINE_DLG::is_state_machine_in_hdb(const QString&, QStringList* nodes)
{
    if (!is_post_fitting())
        return true;
    if (nodes->isEmpty())
        return false;
    SEDQ_HDB_MANAGER post_fit(1);
    return post_fit.verify_node_list(*nodes);
}

bool SEDQ_STATE_MACHINE_DLG::is_state_machine_in_document(const QString&, QStringList* nodes)
{
    SEDQ_TX_MANAGER* tx = manager();
    if (tx == nullptr)
        return false;
    sedq_remove_entity_name(nodes);
    const QSet<QString> machine_nodes(nodes->begin(), nodes->end());
    const int count = tx->get_node_count(SEDQ_CURRENT);
    for (int i = 0; i < count; ++i)
    {
        if (tx->is_parent_item(i, SEDQ_CURRENT))
            continue;
        QString node_name = QString::fromLocal8Bit(SEDQ_NODE(tx, i, SEDQ_CURRENT).get_name());
        sedq_remove_entity_name(&node_name);
        if (machine_nodes.contains(node_name))
            return true;
    }
    return false;
}

int SEDQ_STATE_MACHINE_DLG::find_state_machine_in_document(const QString& name)
{
    SEDQ_DATABASE_MANAGER database(this);
    QStringList nodes;
    database.get_node_list(name, &nodes);
    return find_group_of(nodes);
}

int SEDQ_STATE_MACHINE_DLG::find_group_of(const QStringList& machine_nodes)
{
    SEDQ_TX_MANAGER* tx = manager();
    if (tx == nullptr || machine_nodes.isEmpty())
        return -1;
    QStringList nodes = machine_nodes;
    sedq_remove_entity_name(&nodes);
    const SDR_DATA_WIRE_TAP_MODE tap_mode = is_post_fitting() ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS;
    const int count = tx->get_node_count(SEDQ_CURRENT);
    for (int i = 0; i < count; ++i)
    {
        if (!tx->is_parent_item(i, SEDQ_CURRENT) || tx->get_child_item_count(i, SEDQ_CURRENT) != nodes.size())
            continue;
        bool same = true;
        for (int k = 0; same && k < nodes.size() && i + 1 + k < count; ++k)
        {
            SEDQ_NODE child(tx, i + 1 + k, SEDQ_CURRENT);
            QString child_name = QString::fromLocal8Bit(child.get_name());
            sedq_remove_entity_name(&child_name);
            same = child.get_tap_mode() == tap_mode && child_name == nodes[k];
        }
        if (same)
            return i;
    }
    return -1;
}

bool SEDQ_STATE_MACHINE_DLG::is_mnemonic_table_already_in_document(int group, const QString& name)
{
    QString table_name;
    if (!SEDQ_VERIFY(group != -1) || manager() == nullptr ||
        !manager()->get_node_mnemonics_table_name(group, &table_name, nullptr))
        return false;
    const SDR_DATA_MNEMONICS* mnemonics = get_sdr_data_mnemonics();
    const SDR_DATA_MNEMONICS_TABLE* table =
        mnemonics != nullptr ? mnemonics->find_table(table_name.toLocal8Bit().constData()) : nullptr;
    if (table == nullptr)
        return false;
    SEDQ_DATABASE_MANAGER database(this);
    QStringList nodes;
    database.get_node_list(name, &nodes);
    QStringList state_names;
    QStringList patterns;
    get_usable_mnemonic_list(&database, name, nodes.size(), &state_names, &patterns, false);
    if (table->get_num_entries() != patterns.size())
        return false;
    for (int k = 0; k < patterns.size(); ++k)
    {
        const char* value = table->get_value(state_names[k].toLocal8Bit().constData());
        if (value == nullptr || QString::fromLocal8Bit(value) != patterns[k])
            return false;
    }
    return true;
}

bool SEDQ_STATE_MACHINE_DLG::find_table(const QString& table_name)
{
    QStandardItemModel* model = m_table->get_model();
    for (int row = 0; row < model->rowCount(); ++row)
    {
        const QString text = cell_text(model, row, 1);
        if (!text.isEmpty() && text == table_name)
            return true;
    }
    return false;
}

void SEDQ_STATE_MACHINE_DLG::get_unique_mnemonic_table_name(const QString& name, QString* table_name)
{
    const QString base = name.mid(name.lastIndexOf(QLatin1Char('|')) + 1);
    const SDR_DATA_MNEMONICS* mnemonics = get_sdr_data_mnemonics();
    auto taken = [&](const QString& candidate) {
        return (mnemonics != nullptr && mnemonics->find_table(candidate.toLocal8Bit().constData()) != nullptr) ||
               find_table(candidate);
    };
    *table_name = base + QStringLiteral("_table");
    // Each taken candidate is a table or a row, so the search ends within their number.
    for (int n = 1; taken(*table_name); ++n)
        *table_name = base + QStringLiteral("_table (%1)").arg(n);
}

const SDR_DATA_MNEMONICS* SEDQ_STATE_MACHINE_DLG::get_sdr_data_mnemonics()
{
    const SDR_TX_SESSION* sdr_tx_session = manager() != nullptr ? manager()->get_tx_session() : nullptr;
    if (!SEDQ_VERIFY(sdr_tx_session != NULL))
        return nullptr;
    const SDR_DATA_SESSION* sdr_data_session = sdr_tx_session->get_data_session();
    if (!SEDQ_VERIFY(sdr_data_session != NULL))
        return nullptr;
    const SDR_DATA_MNEMONICS* return_value = sdr_data_session->get_mnemonics();
    SEDQ_VERIFY(return_value != NULL);
    return return_value;
}
