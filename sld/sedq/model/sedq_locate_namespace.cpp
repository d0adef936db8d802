// SEDQ_LOCATE_NAMESPACE: asking the host for the netlist of its locate tools and giving it back.
#include "sedq/model/sedq_locate_namespace.h"

#include "host/dbmui.h"
#include "host/qhd.h"

SEDQ_LOCATE_NAMESPACE::SEDQ_LOCATE_NAMESPACE(const char* client, HDB_NAMESPACE::PDB_FILE_TYPE type)
    : m_client(client)
{
    m_manager = DBMUI_MANAGER::get_dbmui_manager(0xabcd);
    if (m_manager == nullptr)
        return;
    m_manager->register_manager(hdb_get_cmp_manager());
    m_manager->register_manager(hdb_get_ui_name_mgr());
    m_manager->register_manager(qhd_get_qhd_dbmui_manager());
    m_names = m_manager->get_hdb_cmp_action_pt_instance(client, type, false, nullptr, false);
}

SEDQ_LOCATE_NAMESPACE::~SEDQ_LOCATE_NAMESPACE()
{
    if (m_names != nullptr)
        m_manager->unget_hdb_cmp_action_pt_instance(&m_names, m_client);
}

HDB_INSTANCE_NAME* SEDQ_LOCATE_NAMESPACE::find(const QString& name) const
{
    return m_names != nullptr && !name.isEmpty() ? m_names->get_instance_name(name.toLocal8Bit().constData())
                                                 : nullptr;
}
