// SEDQ_TX_MANAGER: building a node group's mnemonic table from lists of symbols and patterns,
// attaching a table to a group by name, adding a symbol to a group's table, and the label of a
// plug-in bus's decoder table; the setup dialog's tables written back and tables copied from
// another analyzer file. The caller holds the edit bracket: the document's tables take
// changes only inside one, so that they are undone with the node list.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "sedq/model/sedq_verify.h"

bool SEDQ_TX_MANAGER::set_node_mnemonics_table_name(int node, QString const& name)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool set = nodes != nullptr && nodes->set_mnemonics_table_name(node, name.toLocal8Bit().constData());
    if (set)
        update_modified_flag();
    return set;
}

namespace
{
// Every check comes before the first change, so a refused call leaves the document as it was
// (an old table of that name is not deleted for a new one that cannot be made).
bool mnemonic_lists_are_usable(int node_index, QStringList const& mnemonic_list, QStringList const& pattern_list)
{
    const int node_count = mnemonic_list.size();
    if (!SEDQ_VERIFY(node_index >= 0) || !SEDQ_VERIFY(node_count == pattern_list.size()))
        return false;
    // The host makes no table without a width; the first pattern gives it.
    if (!SEDQ_VERIFY(node_count > 0) || !SEDQ_VERIFY(!pattern_list[0].isEmpty()))
        return false;
    const int width = pattern_list[0].size();
    for (int i = 1; i < node_count; ++i)
    {
        if (!SEDQ_VERIFY(pattern_list[i].size() == width))
            return false;
    }
    return true;
}
} // namespace

void SEDQ_TX_MANAGER::create_mnemonic_table(int node_index, QString const& table_name, QStringList const& mnemonic_list,
                                            QStringList const& pattern_list)
{
    if (!mnemonic_lists_are_usable(node_index, mnemonic_list, pattern_list) || !SEDQ_VERIFY(!table_name.isEmpty()))
        return;
    SDR_DATA_SESSION* sdr_data_session = m_tx_session != nullptr ? m_tx_session->get_data_session() : nullptr;
    SDR_DATA_MNEMONICS* sdr_data_mnemonics = sdr_data_session != nullptr ? sdr_data_session->get_mnemonics() : nullptr;
    if (!SEDQ_VERIFY(sdr_data_mnemonics != NULL))
        return;
    const QByteArray name = table_name.toLocal8Bit();
    SDR_DATA_MNEMONICS_TABLE* sdr_data_mnemonics_table = sdr_data_mnemonics->find_table(name.constData());
    if (sdr_data_mnemonics_table != nullptr && !SEDQ_VERIFY(sdr_data_mnemonics->delete_table(sdr_data_mnemonics_table)))
        return;
    sdr_data_mnemonics_table = sdr_data_mnemonics->create_table(name.constData(), pattern_list[0].size());
    if (!SEDQ_VERIFY(sdr_data_mnemonics_table != NULL))
        return;
    for (int i = 0; i < mnemonic_list.size(); ++i)
    {
        SEDQ_VERIFY(sdr_data_mnemonics_table->add_entry(qPrintable(mnemonic_list[i]), qPrintable(pattern_list[i])));
    }
    attach_mnemonic_table(node_index, table_name);
}

// Shows the group through the table: display type mnemonics with the table's name, written only
// where it differs.
void SEDQ_TX_MANAGER::attach_mnemonic_table(int node_index, QString const& table_name)
{
    SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
    if (!SEDQ_VERIFY(this->get_node_group_display_type(node_index, &display_type)))
        return;
    if (display_type == SDR_GTYPE_MNEMONICS)
    {
        SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
        const char* current = nodes != nullptr ? nodes->get_mnemonics_table_name(node_index) : nullptr;
        if (QString::fromLocal8Bit(current != nullptr ? current : "") != table_name)
            SEDQ_VERIFY(this->set_node_mnemonics_table_name(node_index, table_name));
        return;
    }
    if (SEDQ_VERIFY(this->set_node_group_display_type(node_index, SDR_GTYPE_MNEMONICS)))
        SEDQ_VERIFY(this->set_node_mnemonics_table_name(node_index, table_name));
}

// Adds an entry to the table the bus shows its values in; false when the document has no table
// of that name.
bool SEDQ_TX_MANAGER::set_node_mnemonics_symbol(int node_index, QString const& pattern, QString const& symbol)
{
    QString table_name;
    if (!get_node_mnemonics_table_name(node_index, &table_name, nullptr))
    {
        SEDQ_REPORT("this->get_node_mnemonics_table_name(node_index, &table_name)");
        return false;
    }
    SDR_DATA_SESSION* data = m_tx_session != nullptr ? m_tx_session->get_data_session() : nullptr;
    SDR_DATA_MNEMONICS* mnemonics = data != nullptr ? data->get_mnemonics() : nullptr;
    SDR_DATA_MNEMONICS_TABLE* table = mnemonics ? mnemonics->find_table(table_name.toLocal8Bit().constData()) : nullptr;
    if (table == nullptr)
        return false;
    return table->add_entry(symbol.toLocal8Bit().constData(), pattern.toLatin1().constData());
}

// "<table> : width = <bits>" for a bus decoded by a plug-in; false for any other row.
bool SEDQ_TX_MANAGER::get_plugin_mnemonic_table_name_menu_string(QString* text, int node_index,
                                                                 const SDR_TX_SIGNAL_NODES* nodes)
{
    const SDR_TX_SIGNAL_NODES* list = nodes;
    if (list == nullptr)
    {
        SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
        if (!SEDQ_VERIFY(this->get_node_group_display_type(node_index, &display_type)))
            return false;
        if (display_type != SDR_GTYPE_PLUGIN)
            return false;
        list = edit_nodes(SEDQ_CURRENT);
    }
    const SDR_PLUGIN_GROUP* record = list != nullptr ? list->get_plugin_group(node_index) : nullptr;
    if (record == nullptr)
        return false;
    *text = QStringLiteral("%1 : width = %2").arg(QString::fromLocal8Bit(record->get_table_name())).arg(record->get_width());
    return true;
}

// ---- the dialog's working copy written back ------------------------------------------------------

namespace
{
SDR_DATA_MNEMONICS* session_tables(SDR_TX_SESSION* session)
{
    SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    return data != nullptr ? data->get_mnemonics() : nullptr;
}
} // namespace

// A delete or create the repository refuses stops the rewrite and is reported; the edit's undo
// step takes back what was written before it.
bool SEDQ_TX_MANAGER::replace_mnemonic_tables(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& tables)
{
    SDR_DATA_MNEMONICS* mnemonics = session_tables(m_tx_session);
    if (!SEDQ_VERIFY(mnemonics != nullptr))
        return false;
    bool written = true;
    while (written && mnemonics->get_num_tables() > 0)
        written = SEDQ_VERIFY(mnemonics->delete_table(mnemonics->get_table(mnemonics->get_num_tables() - 1)));
    for (int i = 0; written && i < tables.size(); ++i)
    {
        const SDR_DATA_MNEMONICS_TABLE_CONTENT& content = tables[i];
        SDR_DATA_MNEMONICS_TABLE* table = mnemonics->create_table(content.name.constData(), content.width);
        written = SEDQ_VERIFY(table != nullptr) && SEDQ_VERIFY(table->set_content(content));
    }
    update_modified_flag();
    return written;
}

// ---- the document's tables by index ------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_mnemonics_table_name(int index, QString* name)
{
    SDR_DATA_MNEMONICS* mnemonics = session_tables(m_tx_session);
    if (mnemonics == nullptr || index < 0)
        return false;
    if (is_plugin_mnemonic_table(index))
        return true;
    const SDR_DATA_MNEMONICS_TABLE* table = mnemonics->get_table(index);
    if (table == nullptr)
        return false;
    *name = QString::fromUtf8(table->get_name());
    return true;
}

bool SEDQ_TX_MANAGER::is_plugin_mnemonic_table(int index)
{
    SDR_DATA_MNEMONICS* mnemonics = session_tables(m_tx_session);
    return mnemonics != nullptr && index >= mnemonics->get_num_tables();
}

void SEDQ_TX_MANAGER::on_update_mnemonic(bool* enabled)
{
    *enabled = true;
}

void SEDQ_TX_MANAGER::on_mnemonic() {}

// ---- tables copied from another analyzer file ----------------------------------------------------

const SDR_DATA_SESSION* SEDQ_TX_MANAGER::open_mnemonic_source(const QString& path)
{
    SDR_DATA_MANAGER* repository = SDR_DATA_MANAGER::get_data_repository_manager();
    return repository != nullptr ? repository->open_session(path.toLocal8Bit().constData()) : nullptr;
}

// The document's own file may be a source too; its session is the document's and stays open.
bool SEDQ_TX_MANAGER::close_mnemonic_source(const QString& path)
{
    SDR_DATA_MANAGER* repository = SDR_DATA_MANAGER::get_data_repository_manager();
    const QByteArray file = path.toLocal8Bit();
    SDR_DATA_SESSION* session = repository != nullptr ? repository->get_session_opened(file.constData()) : nullptr;
    SDR_DATA_SESSION* own = m_tx_session != nullptr ? m_tx_session->get_data_session() : nullptr;
    if (session == nullptr || session == own)
        return false;
    return repository->close_session(file.constData());
}

// The copy is made with width 0 and cloned, so it takes the source's width. An existing table
// of that name is replaced only when asked; copying a table onto itself changes nothing.
bool SEDQ_TX_MANAGER::import_mnemonic_table(const SDR_DATA_MNEMONICS_TABLE* source, bool replace)
{
    SDR_DATA_MNEMONICS* mnemonics = session_tables(m_tx_session);
    if (!SEDQ_VERIFY(mnemonics != nullptr) || !SEDQ_VERIFY(source != nullptr))
        return false;
    SDR_DATA_MNEMONICS_TABLE* existing = mnemonics->find_table(source->get_name());
    if (existing == source)
        return false;
    if (existing != nullptr && (!replace || !SEDQ_VERIFY(mnemonics->delete_table(existing))))
        return false;
    // A table past the document's limits is refused with the reason, which the edit's end shows.
    SDR_DATA_MNEMONICS_TABLE* table = mnemonics->create_table(source->get_name(), 0);
    const bool copied = table != nullptr && SEDQ_VERIFY(table->clone(source));
    update_modified_flag();
    return copied;
}
