// SEDQ_DATABASE_MANAGER: choice of the netlist reader and forwarding to it.
#include "sedq/view/sedq_database_manager.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_hdb_manager.h"
#include "sedq/view/sedq_kpt_manager.h"
#include "sedq/view/sedq_state_machine_dlg.h"

SEDQ_DATABASE_MANAGER::SEDQ_DATABASE_MANAGER(SEDQ_STATE_MACHINE_DLG* dialog)
    : m_current_selection(dialog != nullptr ? dialog->get_netlist_index() : -1)
{
    if (!SEDQ_VERIFY(this->m_current_selection != -1))
        return;
    if (m_current_selection == 0)
    {
        m_sedq_base_manager = new SEDQ_HDB_MANAGER(0);
        m_owns_reader = true;
        return;
    }
    if (dialog->get_kpt_manager() == nullptr)
        dialog->set_kpt_manager(new SEDQ_KPT_MANAGER);
    m_sedq_base_manager = dialog->get_kpt_manager();
}

SEDQ_DATABASE_MANAGER::SEDQ_DATABASE_MANAGER(int netlist) : m_current_selection(netlist)
{
    if (!SEDQ_VERIFY(this->m_current_selection != -1))
        return;
    if (m_current_selection == 0)
        m_sedq_base_manager = new SEDQ_HDB_MANAGER(0);
    else
        m_sedq_base_manager = new SEDQ_KPT_MANAGER;
    m_owns_reader = true;
}

SEDQ_DATABASE_MANAGER::~SEDQ_DATABASE_MANAGER()
{
    if (m_owns_reader)
        delete m_sedq_base_manager;
}

bool SEDQ_DATABASE_MANAGER::has_reader()
{
    return SEDQ_VERIFY(this->m_sedq_base_manager != NULL);
}

// Without a reader the out lists are still emptied: callers read them whatever happened.
void SEDQ_DATABASE_MANAGER::get_state_machine_list(QStringList* list)
{
    list->clear();
    if (has_reader())
        m_sedq_base_manager->get_state_machine_list(list);
}

void SEDQ_DATABASE_MANAGER::get_node_list(const QString& state_machine, QStringList* nodes)
{
    nodes->clear();
    if (has_reader())
        m_sedq_base_manager->get_node_list(state_machine, nodes);
}

void SEDQ_DATABASE_MANAGER::get_mnemonic_list(const QString& state_machine, QStringList* names, QStringList* values)
{
    names->clear();
    values->clear();
    if (has_reader())
        m_sedq_base_manager->get_mnemonic_list(state_machine, names, values);
}

void SEDQ_DATABASE_MANAGER::dump()
{
    if (has_reader())
        m_sedq_base_manager->dump();
}

bool SEDQ_DATABASE_MANAGER::is_database_loaded()
{
    return has_reader() && m_sedq_base_manager->is_database_loaded();
}
