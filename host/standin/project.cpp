// The project fixture: opens the project in the stand-ins (assignments, project manager,
// partitions, netlists) and keeps the design's signal stimuli for the simulated device.
#include "host/standin/project_control.h"

#include "host/chi_private.h"
#include "host/fio.h"
#include "host/hdb.h"
#include "host/idu.h"
#include "host/standin/acf_control.h"
#include "host/standin/dev_control.h"
#include "host/standin/fixture_json.h"
#include "host/standin/gen_control.h"
#include "host/standin/hdb_control.h"
#include "host/standin/ice_control.h"
#include "host/standin/idu_control.h"
#include "host/standin/qtk_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <map>

namespace standin::project
{
namespace
{
// Far above any hand-written or generated fixture: generators make large netlists, not files.
constexpr int64_t MAX_FIXTURE_SIZE = int64_t(64) << 20;
using fixture::fail;

struct project_state
{
    bool loaded = false;
    std::string top;
    std::string path;
    std::string dir;
    std::map<std::string, stimulus> stimuli;
    std::vector<std::string> order;
};

project_state& state()
{
    static project_state s;
    return s;
}

void forget()
{
    state() = project_state();
}

const reset_registrar registrar(&forget);

bool read_project(const QJsonObject& p, const std::string& dir, std::string* error)
{
    if (!fixture::check_keys(p, {"top_entity", "revision", "dir", "open", "incremental_mode", "qhd", "partial_reconfig",
                                 "relayne_supported"},
                             "project", error))
        return false;
    const std::string top = p.value("top_entity").toString().toStdString();
    if (top.empty() || top.find('|') != std::string::npos)
        return fail("project", "\"top_entity\" must name the design's top entity", error);
    std::string project_dir = p.contains("dir") ? p.value("dir").toString().toStdString() : dir;
    if (!project_dir.empty() && QDir::isRelativePath(QString::fromStdString(project_dir)))
        project_dir = QDir(QString::fromStdString(dir)).filePath(QString::fromStdString(project_dir)).toStdString();
    const bool open = p.value("open").toBool(true);
    int mode = 0;
    if (p.contains("incremental_mode") && !fixture::read_int(p.value("incremental_mode"), 0, 100, &mode))
        return fail("project", "\"incremental_mode\" must be a small integer", error);
    acf::set_project(open, project_dir);
    qui::set_project(true, open, top, p.value("revision").toString(QString::fromStdString(top)).toStdString(),
                     project_dir);
    idu::set_manager_present(p.contains("incremental_mode"));
    idu::set_incremental_compilation_mode(mode);
    gen::set_is_qhd(p.value("qhd").toBool(false));
    // The compiled databases (keypoint files among them) live in "db" of the project.
    if (!project_dir.empty())
        gen::set_db_dir_path(QDir(QString::fromStdString(project_dir)).filePath("db").toStdString() + "/");
    qtk::set_relayne_supported(p.value("relayne_supported").toBool(false));
    ice::set_partial_reconfig(p.value("partial_reconfig").toBool(false));
    state().top = top;
    state().dir = project_dir;
    return true;
}

bool read_assignments(const QJsonArray& list, std::string* error)
{
    for (int i = 0; i < list.size(); ++i)
    {
        const std::string where = "assignments[" + std::to_string(i) + "]";
        const QJsonObject entry = list[i].toObject();
        int variable = 0;
        if (!fixture::check_keys(entry, {"var", "value", "args"}, where, error))
            return false;
        if (!fixture::read_int(entry.value("var"), 0, 1 << 20, &variable))
            return fail(where, "\"var\" must be a variable type number", error);
        std::map<int, std::string> arguments;
        const QJsonObject args = entry.value("args").toObject();
        for (auto it = args.begin(); it != args.end(); ++it)
        {
            bool ok = false;
            const int index = it.key().toInt(&ok);
            if (!ok || index < 0 || index > 14)
                return fail(where, "argument \"" + it.key().toStdString() + "\" is not 0 to 14", error);
            arguments[index] = it.value().toString().toStdString();
        }
        acf::set_assignment(variable, entry.value("value").toString().toStdString(), arguments);
    }
    return true;
}

bool read_partition(const QJsonObject& entry, const std::string& where, std::string* error)
{
    if (!fixture::check_keys(entry, {"id", "path", "type", "netlist_type"}, where, error))
        return false;
    int id = 0;
    int type = 0;
    int netlist_type = 0;
    const std::string path = entry.value("path").toString().toStdString();
    if (!fixture::read_int(entry.value("id"), 0, 1 << 20, &id))
        return fail(where, "\"id\" must be a partition number (0 = top)", error);
    if (path.empty())
        return fail(where, "\"path\" must name the partition's root (\"|\" for the top)", error);
    if (entry.contains("type") && !fixture::read_int(entry.value("type"), 0, 255, &type))
        return fail(where, "\"type\" must be a small integer", error);
    if (!fixture::read_int(entry.value("netlist_type"), 0, 255, &netlist_type))
        return fail(where, "\"netlist_type\" must be a small integer", error);
    if (IDU_PARTITION_MANAGER::get_instance() != nullptr &&
        IDU_PARTITION_MANAGER::get_instance()->get_partition_by_short_hpath(path.c_str()) != nullptr)
        return fail(where, "another partition has the path \"" + path + "\"", error);
    idu::add_partition(id, path, type, netlist_type);
    return true;
}

// "partitions" and "partition_faults" (operations of a modification that fail).
bool read_partitions(const QJsonObject& root, std::string* error)
{
    const QJsonArray list = root.value("partitions").toArray();
    for (int i = 0; i < list.size(); ++i)
    {
        if (!read_partition(list[i].toObject(), "partitions[" + std::to_string(i) + "]", error))
            return false;
    }
    const QJsonArray faults = root.value("partition_faults").toArray();
    for (int i = 0; i < faults.size(); ++i)
    {
        const QString operation = faults[i].toString();
        if (operation != "begin_modify" && operation != "set_netlist_type" && operation != "end_modify")
            return fail("partition_faults[" + std::to_string(i) + "]",
                        "must be \"begin_modify\", \"set_netlist_type\" or \"end_modify\"", error);
        idu::fail_operation(operation.toStdString());
    }
    return true;
}

// "parts": the device parts the project may name, with their resource counts by kind.
bool read_parts(const QJsonArray& list, std::string* error)
{
    for (int i = 0; i < list.size(); ++i)
    {
        const std::string where = "parts[" + std::to_string(i) + "]";
        const QJsonObject entry = list[i].toObject();
        if (!fixture::check_keys(entry, {"name", "family", "resources"}, where, error))
            return false;
        const std::string name = entry.value("name").toString().toStdString();
        if (name.empty())
            return fail(where, "\"name\" must name the part", error);
        std::map<int, int> resources;
        const QJsonObject counts = entry.value("resources").toObject();
        for (auto it = counts.begin(); it != counts.end(); ++it)
        {
            bool ok = false;
            const int kind = it.key().toInt(&ok);
            int count = 0;
            if (!ok || kind < 0 || !fixture::read_int(it.value(), 0, 1 << 20, &count))
                return fail(where, "resource \"" + it.key().toStdString() + "\" needs a kind number and a count", error);
            resources[kind] = count;
        }
        dev::set_part(name, resources);
    }
    return true;
}

// Stimuli live on the pre-synthesis instances, the design as written.
bool read_stimuli(const QJsonArray& instances, std::string* error)
{
    for (int i = 0; i < instances.size(); ++i)
    {
        const QJsonObject entry = instances[i].toObject();
        if (!entry.contains("stimulus"))
            continue;
        const std::string where = "netlists.pre.instances[" + std::to_string(i) + "].stimulus";
        stimulus parsed;
        if (!stimulus::parse(entry.value("stimulus").toObject(), where, &parsed, error))
            return false;
        HDB_NAMESPACE* names = hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
        HDB_INSTANCE_NAME* name =
            names ? names->get_instance_name(entry.value("path").toString().toStdString().c_str()) : nullptr;
        const std::string key = name != nullptr ? name->short_hpath() : std::string();
        if (key.empty() || state().stimuli.count(key) != 0)
            return fail(where, "a stimulus needs an instance of its own", error);
        state().stimuli[key] = parsed;
        state().order.push_back(key);
    }
    return true;
}

// "post" may copy "pre" and add flags to every name of the copy.
QJsonObject post_description(const QJsonObject& netlists, unsigned* extra_flags, std::string* error, bool* ok)
{
    QJsonObject post = netlists.value("post").toObject();
    *ok = true;
    if (!post.contains("copy_of"))
        return post;
    if (post.value("copy_of").toString() != "pre")
    {
        *ok = fail("netlists.post", "\"copy_of\" can only name \"pre\"", error);
        return post;
    }
    if (post.contains("add_flags") && !fixture::read_flags(post.value("add_flags"), extra_flags))
        *ok = fail("netlists.post", "\"add_flags\" is not a 32-bit flag word", error);
    const QJsonObject pre = netlists.value("pre").toObject();
    for (const char* key : {"case_sensitive", "assignment_350"})
    {
        if (!post.contains(key) && pre.contains(key))
            post.insert(key, pre.value(key));
    }
    QJsonArray instances = pre.value("instances").toArray();
    for (const QJsonValue& own : post.value("instances").toArray())
        instances.append(own);
    post.insert("instances", instances);
    post.remove("copy_of");
    post.remove("add_flags");
    return post;
}

bool read_netlists(const QJsonObject& netlists, std::string* error)
{
    if (!fixture::check_keys(netlists, {"pre", "post"}, "netlists", error))
        return false;
    const std::string top = state().top;
    long names_left = hdb::fixture_name_limit();
    if (netlists.contains("pre") && !hdb::load_netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS,
                                                       netlists.value("pre").toObject(), top, 0, &names_left, error))
        return false;
    if (netlists.contains("post"))
    {
        unsigned extra_flags = 0;
        bool ok = true;
        const QJsonObject post = post_description(netlists, &extra_flags, error, &ok);
        if (!ok || !hdb::load_netlist(HDB_NAMESPACE::PDB_POST_FIT, post, top, extra_flags, &names_left, error))
            return false;
    }
    return read_stimuli(netlists.value("pre").toObject().value("instances").toArray(), error);
}

// Design units {entity, file, line} of the project's sources, known to both netlists.
bool read_design_units(const QJsonArray& units, std::string* error)
{
    for (int i = 0; i < units.size(); ++i)
    {
        const std::string where = "design_units[" + std::to_string(i) + "]";
        const QJsonObject unit = units[i].toObject();
        int line = 0;
        if (!fixture::check_keys(unit, {"entity", "file", "line"}, where, error))
            return false;
        const std::string entity = unit.value("entity").toString().toStdString();
        if (entity.empty())
            return fail(where, "\"entity\" is missing or empty", error);
        if (unit.contains("line") && !fixture::read_int(unit.value("line"), 0, 100000000, &line))
            return fail(where, "\"line\" is not a line number", error);
        for (int type : {HDB_NAMESPACE::PDB_PRE_SYNTHESIS, HDB_NAMESPACE::PDB_POST_FIT})
            if (HDB_NAMESPACE* names = hdb::netlist(type))
                names->add_design_unit(entity, unit.value("file").toString().toStdString(), line);
    }
    return true;
}

bool read_document(const QJsonObject& root, const std::string& dir, std::string* error)
{
    if (!root.value("project").isObject())
        return fail("project", "the section is missing", error);
    return read_project(root.value("project").toObject(), dir, error) &&
           read_assignments(root.value("assignments").toArray(), error) && read_partitions(root, error) &&
           read_parts(root.value("parts").toArray(), error) &&
           read_netlists(root.value("netlists").toObject(), error) &&
           read_design_units(root.value("design_units").toArray(), error) &&
           ice::load_memory(root.value("memory"), error) &&
           chi_detail::load_fixture(root, state().dir, error);
}

std::string short_path_of(const std::string& name)
{
    const std::string prefix = state().top + "|";
    return name.compare(0, prefix.size(), prefix) == 0 ? name.substr(prefix.size()) : name;
}

// "a[3]" -> ("a", 3); false when the name does not end in an index.
bool split_index(const std::string& name, std::string* base, int* index)
{
    if (name.empty() || name.back() != ']')
        return false;
    const size_t open = name.rfind('[');
    if (open == std::string::npos || open + 2 > name.size() - 1)
        return false;
    bool ok = false;
    *index = QString::fromStdString(name.substr(open + 1, name.size() - open - 2)).toInt(&ok);
    *base = name.substr(0, open);
    return ok;
}
} // namespace

bool load_json(const QByteArray& text, const std::string& dir, std::string* error)
{
    unload();
    QJsonParseError parse_error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse_error);
    if (document.isNull() || !document.isObject())
        return fail("line 1", parse_error.error != QJsonParseError::NoError
                                  ? "not JSON (" + parse_error.errorString().toStdString() + " at offset " +
                                        std::to_string(parse_error.offset) + ")"
                                  : "the fixture must be a JSON object",
                    error);
    if (!read_document(document.object(), dir, error))
    {
        unload();
        return false;
    }
    state().loaded = true;
    return true;
}

bool load(const std::string& path, std::string* error)
{
    std::string text;
    std::string reason;
    if (!fio_read_regular_file(path, MAX_FIXTURE_SIZE, &text, &reason))
    {
        unload();
        return fail(path, "cannot be read (" + reason + ")", error);
    }
    std::string detail;
    const QFileInfo info(QString::fromStdString(path));
    if (!load_json(QByteArray::fromStdString(text), info.absolutePath().toStdString(), &detail))
        return fail(path, detail, error);
    state().path = info.absoluteFilePath().toStdString();
    return true;
}

bool load_for_document(const std::string& document_path, std::string* error)
{
    const QByteArray named = qgetenv("CORVANE_STANDIN_PROJECT");
    if (!named.isEmpty())
        return load(named.toStdString(), error);
    if (document_path.empty())
        return true;
    const QString beside = QFileInfo(QString::fromStdString(document_path)).absoluteDir().filePath("standin_project.json");
    return !QFileInfo::exists(beside) || load(beside.toStdString(), error);
}

void unload()
{
    const bool was_loaded = state().loaded || !state().top.empty();
    forget();
    if (!was_loaded)
        return;
    hdb::remove_netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    hdb::remove_netlist(HDB_NAMESPACE::PDB_POST_FIT);
    acf::set_project(false);
    qui::set_project(false, false);
    idu::set_manager_present(true);
    idu::set_incremental_compilation_mode(0);
    idu::clear_partitions();
    idu::fail_operation("begin_modify", false);
    idu::fail_operation("set_netlist_type", false);
    idu::fail_operation("end_modify", false);
    gen::set_is_qhd(false);
    gen::set_db_dir_path("");
    dev::clear_parts();
    qtk::set_relayne_supported(false);
    ice::reset();
    chi_detail::unload_fixture();
}

bool is_loaded()
{
    return state().loaded;
}

std::string top_entity()
{
    return state().top;
}

std::string fixture_path()
{
    return state().path;
}

const stimulus* find_stimulus(const std::string& name)
{
    const auto it = state().stimuli.find(short_path_of(name));
    return it == state().stimuli.end() ? nullptr : &it->second;
}

bool resolve_signal(const std::string& name, signal_drive* drive)
{
    const std::string path = short_path_of(name);
    *drive = signal_drive();
    if ((drive->source = find_stimulus(path)) != nullptr)
        return true;
    std::string base;
    int bit = 0;
    if (split_index(path, &base, &bit) && bit >= 0)
    {
        std::string outer;
        int row = 0;
        drive->bit = bit;
        if ((drive->source = find_stimulus(base)) != nullptr)
            return true;
        if (!split_index(base, &outer, &row) || row < 0)
            return false;
        drive->offset = row;
        drive->source = find_stimulus(outer);
        return drive->source != nullptr;
    }
    const size_t dot = path.rfind('.');
    const stimulus* machine = dot == std::string::npos ? nullptr : find_stimulus(path.substr(0, dot));
    if (machine == nullptr || machine->kind() != stimulus::FSM)
        return false;
    drive->state = machine->state_index(path.substr(dot + 1));
    drive->source = drive->state >= 0 ? machine : nullptr;
    return drive->source != nullptr;
}

int signal_value(const std::string& name, int64_t sample)
{
    signal_drive drive;
    if (!resolve_signal(name, &drive))
        return -1;
    if (drive.state >= 0)
        return int(drive.source->state_at(sample) == drive.state);
    return int((drive.source->value(sample + drive.offset) >> (drive.bit % 64)) & 1u);
}

std::vector<std::string> stimulus_names()
{
    return state().order;
}
} // namespace standin::project
