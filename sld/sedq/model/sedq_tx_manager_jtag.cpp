// SEDQ_TX_MANAGER: the JTAG hardware, device and programming file of the document, whether
// the design must be compiled or the device programmed again, programming files embedded in
// the analyzer file and the compatibility of an instance with a programming file.
#include "sedq/model/sedq_tx_manager.h"

#include "host/ice.h"
#include "host/pgmio.h"
#include "host/sdr/sdr_tx_instance.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_verify.h"

namespace
{
QString local_text(const char* text)
{
    return QString::fromLocal8Bit(text != nullptr ? text : "");
}

// The word that identifies an instance on the device: its first field in bits 0..7, the second
// from bit 8, the third (8 bits) from bit 19 and the version from bit 27.
unsigned int node_info_word(SDR_DATA_INSTANCE* instance)
{
    const SDR_DATA_INSTANCE_INFO info = instance->get_node_info();
    const int version = instance->is_version_not_defined() ? instance->get_current_version() : info.m_version;
    return (unsigned(info.m_field1) & 0xffu) | unsigned(info.m_field2) << 8 | (unsigned(info.m_field3) & 0xffu) << 19 |
           unsigned(version) << 27;
}
// The SOF table of the JTAG pane lists the embedded files.
constexpr int SOF_FILES_REFRESH = sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG);
} // namespace

// ---- compile and programming checks -------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_compile_or_reroute_needed(bool* recompile, bool* reroute)
{
    *recompile = false;
    *reroute = false;
    if (is_empty())
        return false;
    if (!SEDQ_VERIFY(m_tx_session != NULL))
        return false;
    const int count = m_tx_session->get_num_instances();
    for (int i = 0; i < count; ++i)
    {
        if (!instance_is_enabled(i))
            continue;
        SDR_TX_TRIGGER* trigger = m_tx_session->get_trigger_at(i, false);
        SDR_DATA_TRIGGER* data_trigger = trigger != nullptr ? trigger->get_data_trigger() : nullptr;
        if (data_trigger != nullptr && !ice_vtl_check_compatibility(data_trigger, false))
        {
            *recompile = true;
            return true;
        }
        bool must_compile = false;
        bool must_reroute = false;
        m_tx_session->check_instance_compilation_type_at(i, &must_compile, &must_reroute);
        *recompile = *recompile || must_compile;
        *reroute = *reroute || must_reroute;
        if (*recompile)
            return true;
    }
    return *recompile || *reroute;
}

bool SEDQ_TX_MANAGER::is_program_needed(CHI_CONTROL_NODES_SCAN* scan)
{
    if (is_empty())
        return false;
    if (!SEDQ_VERIFY(m_tx_session != NULL) || scan == nullptr)
        return false;
    const int count = m_tx_session->get_num_instances();
    for (int i = 0; i < count; ++i)
    {
        SDR_TX_INSTANCE* instance = m_tx_session->get_instance_at(i, false);
        SDR_TX_TRIGGER* trigger = m_tx_session->get_trigger_at(i, false);
        SDR_DATA_TRIGGER* data_trigger = trigger != nullptr ? trigger->get_data_trigger() : nullptr;
        if (!instance_is_enabled(i) || instance == nullptr || data_trigger == nullptr)
            continue;
        const unsigned int crc = data_trigger->get_crc_value(false);
        unsigned int device_crc = 0;
        scan->get_node_crc_value(&instance->get_node_info(), &device_crc);
        if (crc != device_crc)
            return true;
    }
    return false;
}

// ---- JTAG hardware, device, programming file ----------------------------------------------------

bool SEDQ_TX_MANAGER::get_jtag_hardware(QString* out)
{
    *out = m_tx_session != nullptr ? local_text(m_tx_session->get_jtag_chain_name()) : QString();
    return !out->isEmpty();
}

bool SEDQ_TX_MANAGER::get_jtag_device(QString* out)
{
    *out = m_tx_session != nullptr ? local_text(m_tx_session->get_jtag_device_name()) : QString();
    return !out->isEmpty();
}

bool SEDQ_TX_MANAGER::set_jtag_hardware(const QString& name, bool notify)
{
    if (is_empty() || m_tx_session == nullptr)
        return false;
    if (name != local_text(m_tx_session->get_jtag_chain_name()))
    {
        m_tx_session->set_jtag_chain_name(name.toLocal8Bit().constData());
        if (notify)
        {
            update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION));
            update_modified_flag();
        }
    }
    return !name.isEmpty();
}

bool SEDQ_TX_MANAGER::set_jtag_device(const QString& name, bool notify)
{
    if (is_empty() || m_tx_session == nullptr)
        return false;
    if (name != local_text(m_tx_session->get_jtag_device_name()))
    {
        m_tx_session->set_jtag_device_name(name.toLocal8Bit().constData());
        if (notify)
            update_modified_flag();
    }
    return !name.isEmpty();
}

bool SEDQ_TX_MANAGER::get_sof_file_name(QString* out)
{
    out->clear();
    if (is_empty())
        return false;
    if (m_tx_session != nullptr)
        *out = local_text(m_tx_session->get_sof_file_name());
    return true;
}

bool SEDQ_TX_MANAGER::set_jtag_chain(const QString& path)
{
    // Without a document there is nowhere to keep the name.
    if (m_tx_session != nullptr && path != local_text(m_tx_session->get_sof_file_name()))
    {
        m_tx_session->set_sof_file_name(path.toLocal8Bit().constData());
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_JTAG));
        update_modified_flag();
    }
    return !path.isEmpty();
}

void SEDQ_TX_MANAGER::program(const char*)
{
}

void SEDQ_TX_MANAGER::program()
{
    program(m_tx_session != nullptr ? m_tx_session->get_sof_file_name() : "");
}

// ---- embedded programming files and compatibility -----------------------------------------------

bool SEDQ_TX_MANAGER::embed_sof_file(const QString& path, QString* name_out)
{
    QString name = name_out != nullptr ? *name_out : QString();
    if (!path.isEmpty())
    {
        int separator = path.lastIndexOf(QLatin1Char('\\'));
        if (separator < 0)
            separator = path.lastIndexOf(QLatin1Char('/'));
        if (separator >= 0)
            name = path.mid(separator + 1);
    }
    if (name_out != nullptr)
        *name_out = name;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_SKIP_COMPILATION_CHECK);
    if (!path.isEmpty() && m_tx_session != nullptr &&
        m_tx_session->embed_sof_file(path.toLocal8Bit().constData(), name.toLocal8Bit().constData()))
    {
        QString info;
        retrieve_sof_file_info_str(path, &info);
        m_tx_session->set_embedded_sof_inst_id_crc_at(embedded_sof_index(name), info.toLocal8Bit().constData());
        update_modified_flag();
        edit.set_hint(SOF_FILES_REFRESH);
        return true;
    }
    MSG_O* message = MSG_SEDQ::O::INVALID_SOF_FILE_TO_EMBED(path.toLocal8Bit().constData());
    message->show();
    delete message;
    return false;
}

// Embedding under a name already taken replaces that entry in place, so the information
// belongs to the entry of that name, which is not always the last one.
int SEDQ_TX_MANAGER::embedded_sof_index(const QString& name)
{
    const int count = m_tx_session->get_embedded_sof_file_count();
    for (int i = 0; i < count; ++i)
        if (local_text(m_tx_session->get_embedded_sof_file_name_at(i)) == name)
            return i;
    return count - 1;
}

void SEDQ_TX_MANAGER::retrieve_sof_file_info_str(const QString& path, QString* out)
{
    int count = 0;
    std::string text;
    if (pgmio_export_sld_data(FIO_PATH(path.toLocal8Bit().toStdString()), &count, &text) && count != 0)
        *out = QString::fromLocal8Bit(text.c_str());
}

const char* SEDQ_TX_MANAGER::get_sof_compatibility_state(int instance, const char* sof_info)
{
    SDR_TX_INSTANCE* tx_instance = m_tx_session != nullptr ? m_tx_session->get_instance_at(instance, false) : nullptr;
    SDR_DATA_INSTANCE* data_instance = tx_instance != nullptr ? tx_instance->get_data_instance() : nullptr;
    SDR_TX_TRIGGER* trigger = m_tx_session != nullptr ? m_tx_session->get_trigger_at(instance, false) : nullptr;
    SDR_DATA_TRIGGER* data_trigger = trigger != nullptr ? trigger->get_data_trigger() : nullptr;
    if (data_instance == nullptr || data_trigger == nullptr)
        return "";
    const QString key = QStringLiteral("%1,%2")
                            .arg(node_info_word(data_instance), 8, 16, QLatin1Char('0'))
                            .arg(data_trigger->get_crc_value(false), 8, 16, QLatin1Char('0'))
                            .toUpper();
    if (sof_info == nullptr || !QString::fromLocal8Bit(sof_info).contains(key, Qt::CaseSensitive))
        return "";
    bool recompile = false;
    bool reroute = false;
    m_tx_session->check_instance_compilation_type_at(instance, &recompile, &reroute);
    return !recompile && !reroute ? "compatible" : "";
}

// ---- programming files kept in the document ------------------------------------------------------

bool SEDQ_TX_MANAGER::remove_embedded_sof(int row)
{
    SEDQ_EDIT_SCOPE edit(this, SEDQ_SKIP_COMPILATION_CHECK);
    if (m_tx_session == nullptr || !m_tx_session->remove_embedded_sof_at(row))
        return false;
    update_modified_flag();
    edit.set_hint(SOF_FILES_REFRESH);
    return true;
}

// The table shows the name the user typed already: the pane needs no refresh.
bool SEDQ_TX_MANAGER::rename_embedded_sof(int row, const char* name)
{
    const SEDQ_EDIT_SCOPE edit(this, SEDQ_SKIP_COMPILATION_CHECK);
    if (m_tx_session == nullptr || !m_tx_session->rename_embedded_sof_filename_at(row, name))
        return false;
    update_modified_flag();
    return true;
}

bool SEDQ_TX_MANAGER::set_sof_file_name(const char* path)
{
    SDR_DATA_SESSION* data = m_tx_session != nullptr ? m_tx_session->get_data_session() : nullptr;
    if (data == nullptr)
        return false;
    data->set_sof_file_name(path);
    return true;
}
