// The simulated compile flow and its programming file: compiling records the design of every
// enabled instance and writes "<project>/output/<revision>.sof", a text file that holds one
// "node-information,CRC" pair per instance (what programming loads into the device) and the
// compile record behind each pair.
#include "host/chi_private.h"

#include "host/fio.h"
#include "host/ice.h"
#include "host/msg.h"
#include "host/qui.h"
#include "host/qui_private.h"
#include "host/sdr/sdr_compiled_design.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <climits>
#include <cstdio>

namespace chi_detail
{
namespace
{
constexpr const char* SOF_HEADER = "VANTREL-STANDIN-SOF 1";
constexpr int FLOW_RELAYNE = 80;
constexpr qint64 MAX_SOF_SIZE = 16 << 20;

std::string hex8(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

bool parse_hex(const QString& text, unsigned* value)
{
    bool ok = false;
    *value = text.toUInt(&ok, 16);
    return ok && text.size() == 8;
}

// The compiled state of one instance: for a fast recompile, an instance whose pre-fitting
// content changed cannot be rerouted and keeps what the last full compile made of it.
sof_instance compile_instance(SDR_DATA_INSTANCE* instance, int flow)
{
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    SDR_TX_SESSION::derive_equations(trigger);
    sof_instance compiled;
    compiled.name = instance->get_name();
    compiled.node_info = node_info_word(instance);
    compiled.crc = SDR_TX_SESSION::compute_trigger_crc(trigger);
    compiled.pre_fit_crc = SDR_TX_SESSION::compute_trigger_crc(trigger, true);
    compiled.incremental_route = instance->is_incremental_route_available();
    SDR_COMPILED_DESIGN::INSTANCE before;
    if (flow == FLOW_RELAYNE && SDR_COMPILED_DESIGN::find(compiled.name, &before) &&
        before.pre_fit_crc != compiled.pre_fit_crc)
    {
        compiled.crc = before.crc;
        compiled.pre_fit_crc = before.pre_fit_crc;
    }
    return compiled;
}

void record_compiled(const std::vector<sof_instance>& instances)
{
    for (const sof_instance& instance : instances)
        if (!instance.name.empty())
            SDR_COMPILED_DESIGN::record(instance.name, {instance.crc, instance.pre_fit_crc, instance.incremental_route});
}

// "# compiled <node-info> <pre-fitting CRC> <incremental 0/1> <name>" (the name may be empty)
bool read_record(const QString& line, sof_instance* instance)
{
    const QStringList parts = line.split(' ');
    if (parts.size() < 5 || parts[1] != "compiled")
        return false;
    unsigned node_info = 0;
    if (!parse_hex(parts[2], &node_info) || node_info != instance->node_info || !parse_hex(parts[3], &instance->pre_fit_crc))
        return false;
    instance->incremental_route = parts[4] == "1";
    instance->name = QStringList(parts.mid(5)).join(' ').toStdString();
    return true;
}

// The blocks of each family one acquisition buffer takes, as the instance manager estimates
// them: a fixed memory type in its own family; an automatic one in the smallest family that
// takes its width, in pieces of half the width (and half again) when none takes it whole.
// False when it fits nowhere.
bool buffer_blocks(ICE_RAM_USAGE_GUI& estimator, int width, int depth, SDR_HALCYTE_RAM_TYPE ram, long long* blocks)
{
    if (ram != SDR_RAM_AUTO)
    {
        ICE_RAM_TYPE type = ram == SDR_RAM_SMALL   ? ICE_RAM_TYPE_SMALL
                            : ram == SDR_RAM_LARGE ? ICE_RAM_TYPE_LARGE
                                                   : ICE_RAM_TYPE_MEDIUM;
        const int count = estimator.num_mem_blocks_used(width, depth, type);
        blocks[type] += count;
        return count >= 0;
    }
    for (int remaining = width; remaining > 0 || width == 0;)
    {
        ICE_RAM_TYPE type = ICE_RAM_TYPE_AUTO;
        int piece = remaining;
        int count = estimator.num_mem_blocks_used(piece, depth, type);
        while (count == -1 && piece > 0)
            count = estimator.num_mem_blocks_used(piece /= 2, depth, type);
        if (count == -1 || (piece == 0 && width != 0))
            return false;
        if (type >= ICE_RAM_TYPE_SMALL && type <= ICE_RAM_TYPE_LARGE)
            blocks[type] += count;
        if (width == 0)
            return true;
        remaining -= piece;
    }
    return true;
}

// False with the reason when the acquisition buffers of the enabled instances need more memory
// blocks of some family than the device has beside what the design uses.
bool fits_device_memory(SDR_DATA_SESSION* session, std::string* error)
{
    static const char* const FAMILIES[] = {"small", "medium", "large"};
    ICE_RAM_USAGE_GUI estimator;
    if (!estimator.init_usage())
        return true; // nothing known to compare with
    long long need[3] = {};
    for (int t = ICE_RAM_TYPE_SMALL; t <= ICE_RAM_TYPE_LARGE; ++t)
        need[t] = estimator.get_used_blocks(ICE_RAM_TYPE(t));
    for (const auto& instance : session->m_instances)
    {
        SDR_DATA_SIGNAL_SET* set = instance->get_active_signal_set();
        const int depth = set != nullptr ? set->state().sample_depth : 0;
        if (!instance->m_state.enabled || depth <= 0)
            continue;
        const int width = int(SDR_TX_SESSION::instance_ram_bits(instance.get()) / unsigned(depth));
        if (!buffer_blocks(estimator, width, depth, set->state().ram_type, need))
        {
            *error = std::string("the acquisition buffer of instance \"") + instance->get_name() + "\" (" +
                     std::to_string(width) + " x " + std::to_string(depth) +
                     " bits) does not fit the device's memory blocks";
            return false;
        }
    }
    for (int t = ICE_RAM_TYPE_SMALL; t <= ICE_RAM_TYPE_LARGE; ++t)
    {
        const int total = estimator.get_total_blocks(ICE_RAM_TYPE(t));
        if (total == INT_MAX || need[t] <= total)
            continue;
        const int used = estimator.get_used_blocks(ICE_RAM_TYPE(t));
        *error = "the analyzer instances need " + std::to_string(need[t] - used) + " " + FAMILIES[t] +
                 " memory blocks, and the device has " + std::to_string(total - used) + " to spare (" +
                 std::to_string(total) + " in all)";
        return false;
    }
    return true;
}

bool read_pair(const QString& line, sof_instance* instance)
{
    const QStringList pair = line.split(',');
    return pair.size() == 2 && parse_hex(pair[0], &instance->node_info) && parse_hex(pair[1], &instance->crc);
}
} // namespace

bool write_sof(const std::string& path, const std::vector<sof_instance>& instances, std::string* error)
{
    QSaveFile file(QString::fromStdString(path));
    if (!QDir().mkpath(QFileInfo(file.fileName()).absolutePath()) || !file.open(QIODevice::WriteOnly))
    {
        *error = path + ": cannot be written (" + file.errorString().toStdString() + ")";
        return false;
    }
    std::string text = std::string(SOF_HEADER) + "\n";
    for (const sof_instance& instance : instances)
    {
        text += hex8(instance.node_info) + "," + hex8(instance.crc) + "\n";
        text += "# compiled " + hex8(instance.node_info) + " " + hex8(instance.pre_fit_crc) + " " +
                (instance.incremental_route ? "1 " : "0 ") + instance.name + "\n";
    }
    file.write(text.data(), qint64(text.size()));
    if (!file.commit())
    {
        *error = path + ": cannot be written (" + file.errorString().toStdString() + ")";
        return false;
    }
    return true;
}

bool read_sof(const std::string& path, std::vector<sof_instance>* instances, std::string* error)
{
    std::string bytes;
    std::string reason;
    if (!fio_read_regular_file(path, MAX_SOF_SIZE, &bytes, &reason))
    {
        *error = path + ": cannot be read (" + reason + ")";
        return false;
    }
    const QStringList lines = QString::fromUtf8(bytes.data(), int(bytes.size())).split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines[0].trimmed() != SOF_HEADER)
    {
        *error = path + ": not a programming file of this design suite";
        return false;
    }
    instances->clear();
    for (int i = 1; i < lines.size(); ++i)
    {
        const QString line = lines[i].trimmed();
        sof_instance instance;
        const bool ok = line.startsWith('#') ? !instances->empty() && read_record(line, &instances->back())
                                             : read_pair(line, &instance);
        if (!ok)
        {
            *error = path + ": line " + std::to_string(i + 1) + " is damaged";
            return false;
        }
        if (!line.startsWith('#'))
            instances->push_back(instance);
    }
    record_compiled(*instances);
    return true;
}

bool compile_session(SDR_DATA_SESSION* session, int flow, const std::string& sof_path, std::string* error)
{
    if (session == nullptr)
    {
        *error = "there is no analyzer document to compile";
        return false;
    }
    if (!fits_device_memory(session, error))
        return false;
    std::vector<sof_instance> compiled;
    for (const auto& instance : session->m_instances)
        if (instance->m_state.enabled)
            compiled.push_back(compile_instance(instance.get(), flow));
    if (flow != FLOW_RELAYNE)
        SDR_COMPILED_DESIGN::clear();
    record_compiled(compiled);
    return write_sof(sof_path, compiled, error);
}

void simulate_flow(QUI_FRAME_WND* frame, int flow)
{
    const qui_detail::qui_state& project = qui_detail::state();
    const std::string document = frame != nullptr ? frame->get_file_path().fullpath() : std::string();
    SDR_DATA_SESSION* session =
        document.empty() ? nullptr : SDR_DATA_MANAGER::get_data_repository_manager()->get_session_opened(document.c_str());
    const char* skipped = session == nullptr       ? "the window holds no saved analyzer document"
                          : !project.project_open     ? "no project is open, so there is no design to compile"
                          : project.project_dir.empty() ? "the project has no folder to write the programming file to"
                                                        : nullptr;
    if (skipped != nullptr)
    {
        standin::record_call("chi:compile_skipped(" + std::to_string(flow) + ")");
        MSG_E message;
        message.fill_args("Compilation not started: %1!s!/ECHI_COMPILE_SKIPPED", skipped);
        message.post();
        return;
    }
    const std::string sof =
        QDir(QString::fromStdString(project.project_dir)).filePath("output/" + QString::fromStdString(project.revision) + ".sof").toStdString();
    std::string error;
    const bool ok = compile_session(session, flow, sof, &error);
    standin::record_call("chi:compile(" + std::to_string(flow) + ",\"" + sof + "\"," + (ok ? "1" : "0") + ")");
    if (!ok)
    {
        MSG_E message;
        message.fill_args("Compilation failed: %1!s!/ECHI_COMPILE_FAILED", error.c_str());
        message.post();
    }
}
} // namespace chi_detail
