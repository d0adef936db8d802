// SDR_TX_SESSION: session-wide data: UI state, JTAG settings, embedded programming files and the
// compilation check (the resource estimates live with the node lists).

#include "host/sdr/sdr_tx_session.h"

#include "host/fio.h"
#include "host/sdr/sdr_compiled_design.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_tx_session_entry.h"
#include "host/standin/sdr_control.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <algorithm>

namespace
{
QString qpath(const char* path)
{
    return QString::fromLocal8Bit(path);
}
} // namespace

// ---- UI state ---------------------------------------------------------------------------------

int SDR_TX_SESSION::get_global_data(const char* key) const
{
    int value = -1;
    return get_global_data(key, &value, 1) > 0 ? value : -1;
}

int SDR_TX_SESSION::get_global_data(const char* key, int* values, int capacity) const
{
    return m_data != nullptr ? sdr_read_int_data(m_data->m_global_data, key, values, capacity) : -1;
}

bool SDR_TX_SESSION::set_global_data(const char* key, int value)
{
    return set_global_data(key, &value, 1);
}

// UI state (sizes, column widths, lock mode...): saved, but no reason to ask for a save.
bool SDR_TX_SESSION::set_global_data(const char* key, const int* values, int count)
{
    return m_data != nullptr && sdr_write_int_data(&m_data->m_global_data, key, values, count);
}

// ---- JTAG settings ----------------------------------------------------------------------------

namespace
{
void store_text(SDR_DATA_SESSION* data, std::string* field, const char* value)
{
    std::string text = value != nullptr ? value : "";
    if (*field == text)
        return;
    *field = text;
    data->mark_modified();
}
} // namespace

const char* SDR_TX_SESSION::get_jtag_chain_name() const
{
    return m_data != nullptr ? m_data->m_jtag_chain_name.c_str() : "";
}

void SDR_TX_SESSION::set_jtag_chain_name(const char* name)
{
    if (m_data != nullptr)
        store_text(m_data, &m_data->m_jtag_chain_name, name);
}

const char* SDR_TX_SESSION::get_jtag_device_name() const
{
    return m_data != nullptr ? m_data->m_jtag_device_name.c_str() : "";
}

void SDR_TX_SESSION::set_jtag_device_name(const char* name)
{
    if (m_data != nullptr)
        store_text(m_data, &m_data->m_jtag_device_name, name);
}

const char* SDR_TX_SESSION::get_sof_file_name() const
{
    return m_data != nullptr ? m_data->get_sof_file_name() : "";
}

void SDR_TX_SESSION::set_sof_file_name(const char* name)
{
    if (m_data != nullptr)
        m_data->set_sof_file_name(name);
}

// ---- embedded programming files ---------------------------------------------------------------

bool SDR_TX_SESSION::embed_sof_file(const char* path, const char* name)
{
    if (m_data == nullptr || path == nullptr || name == nullptr || *name == '\0')
        return false;
    // Never more than the file reader takes back: a saved document must open again.
    std::string bytes;
    std::string reason;
    if (!fio_read_regular_file(path, SDR_FILE_LIMITS::MAX_EMBEDDED_FILE_SIZE, &bytes, &reason))
        return false;
    SDR_EMBEDDED_FILE embedded;
    embedded.name = name;
    embedded.bytes = QByteArray::fromStdString(bytes);
    auto same_name = [name](const SDR_EMBEDDED_FILE& f) { return f.name == name; };
    auto it = std::find_if(m_data->m_embedded_files.begin(), m_data->m_embedded_files.end(), same_name);
    const bool replaces = it != m_data->m_embedded_files.end();
    if (!SDR_DATA_MANAGER::text_fits(name, "the name of an embedded file") ||
        !has_room(SDR_FILE_ELEMENT::EMBEDDED_FILE, replaces ? 0 : 1) ||
        !has_payload_room(embedded.bytes.size() - (replaces ? it->bytes.size() : 0)))
        return false;
    if (it != m_data->m_embedded_files.end())
        *it = embedded; // embedding again under a name replaces the stored file
    else
        m_data->m_embedded_files.push_back(embedded);
    m_data->mark_modified();
    return true;
}

int SDR_TX_SESSION::get_embedded_sof_file_count() const
{
    return m_data != nullptr ? static_cast<int>(m_data->m_embedded_files.size()) : 0;
}

namespace
{
SDR_EMBEDDED_FILE* embedded_at(SDR_DATA_SESSION* data, int index)
{
    if (data == nullptr || index < 0 || index >= static_cast<int>(data->m_embedded_files.size()))
        return nullptr;
    return &data->m_embedded_files[index];
}
} // namespace

const char* SDR_TX_SESSION::get_embedded_sof_file_name_at(int index) const
{
    SDR_EMBEDDED_FILE* file = embedded_at(m_data, index);
    return file != nullptr ? file->name.c_str() : nullptr;
}

void SDR_TX_SESSION::set_embedded_sof_inst_id_crc_at(int index, const char* info)
{
    SDR_EMBEDDED_FILE* file = embedded_at(m_data, index);
    if (file == nullptr)
        return;
    file->has_inst_id_crc_info = info != nullptr;
    file->inst_id_crc_info = info != nullptr ? info : "";
    m_data->mark_modified();
}

const char* SDR_TX_SESSION::get_embedded_sof_inst_id_crc_at(int index) const
{
    SDR_EMBEDDED_FILE* file = embedded_at(m_data, index);
    return file != nullptr && file->has_inst_id_crc_info ? file->inst_id_crc_info.c_str() : nullptr;
}

bool SDR_TX_SESSION::remove_embedded_sof_at(int index)
{
    if (embedded_at(m_data, index) == nullptr)
        return false;
    m_data->m_embedded_files.erase(m_data->m_embedded_files.begin() + index);
    m_data->mark_modified();
    return true;
}

bool SDR_TX_SESSION::rename_embedded_sof_filename_at(int index, const char* name)
{
    SDR_EMBEDDED_FILE* file = embedded_at(m_data, index);
    if (file == nullptr || name == nullptr || *name == '\0')
        return false;
    for (const SDR_EMBEDDED_FILE& other : m_data->m_embedded_files)
        if (&other != file && other.name == name)
            return false;
    file->name = name;
    m_data->mark_modified();
    return true;
}

bool SDR_TX_SESSION::extract_sof_file(int index, const char* path) const
{
    SDR_EMBEDDED_FILE* file = embedded_at(m_data, index);
    if (file == nullptr || path == nullptr)
        return false;
    // Written beside the target and renamed over it, so a failed write leaves no torn file.
    QSaveFile out(qpath(path));
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(file->bytes) != file->bytes.size())
        return false;
    return out.commit();
}

// ---- compilation ----------------------------------------------------------------

bool SDR_TX_SESSION::check_instance_compilation_type_at(int index, bool* recompile, bool* reroute)
{
    SDR_DATA_INSTANCE* instance = data_instance_at(index);
    if (instance == nullptr)
        return false;
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    derive_equations(trigger);
    SDR_COMPILED_DESIGN::INSTANCE compiled;
    bool known = SDR_COMPILED_DESIGN::find(instance->m_state.name, &compiled);
    bool pre_changed = !known || compiled.pre_fit_crc != compute_trigger_crc(trigger, true);
    bool full_changed = !known || compiled.crc != compute_trigger_crc(trigger);
    if (recompile != nullptr)
        *recompile = pre_changed;
    if (reroute != nullptr)
        *reroute = !pre_changed && full_changed;
    return true;
}
