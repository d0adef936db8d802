// Netlists of a project fixture: explicit instances with flags, units and dimensions, and the
// generators that build large netlists without large files.
#include "host/hdb.h"
#include "host/standin/fixture_json.h"
#include "host/standin/hdb_control.h"

#include <QJsonArray>

#include <algorithm>

namespace
{
using standin::fixture::fail;

constexpr unsigned DEFAULT_LEAF_FLAGS = 0x80000040u; // tappable register
constexpr unsigned STATE_MACHINE_FLAG = 0x400u;
constexpr int MAX_BOUND = 1 << 20;
constexpr long MAX_GENERATED = standin::hdb::MAX_FIXTURE_NAMES; // names one generator may make

std::string where_of(int index)
{
    return "instances[" + std::to_string(index) + "]";
}

// The names a path makes at most: one per level.
long names_in_path(const std::string& path)
{
    return long(std::count(path.begin(), path.end(), '|')) + 1;
}

// Takes `cost` names from what the fixture may still make, or refuses the entry before any of
// them is built.
bool spend(long cost, long* names_left, const std::string& where, std::string* error)
{
    if (cost > *names_left)
        return fail(where,
                    "the fixture would make more than " + std::to_string(standin::hdb::fixture_name_limit()) +
                        " names (" +
                        (cost > standin::hdb::fixture_name_limit()
                             ? std::string("this entry alone makes more")
                             : "this entry makes " + std::to_string(cost) + ", " + std::to_string(*names_left) +
                                   " are left") +
                        ")",
                    error);
    *names_left -= cost;
    return true;
}

// The members of a bus: every index of the first dimension, and below each the second.
long bus_size(const std::vector<std::pair<int, int>>& bounds)
{
    long total = 0;
    long level = 1;
    for (const auto& bound : bounds)
    {
        level *= std::abs(long(bound.first) - bound.second) + 1;
        total += level;
    }
    return total;
}

bool read_dims(const QJsonValue& value, const std::string& where, std::vector<std::pair<int, int>>* bounds,
               std::string* error)
{
    const QJsonArray dims = value.toArray();
    if (!value.isArray() || dims.isEmpty() || dims.size() > 2)
        return fail(where, "\"dims\" must hold one or two [first, second] pairs", error);
    long total = 1;
    for (const QJsonValue& dim : dims)
    {
        const QJsonArray pair = dim.toArray();
        int first = 0;
        int second = 0;
        if (pair.size() != 2 || !standin::fixture::read_int(pair[0], -MAX_BOUND, MAX_BOUND, &first) ||
            !standin::fixture::read_int(pair[1], -MAX_BOUND, MAX_BOUND, &second))
            return fail(where, "a dimension must be two integers within +-" + std::to_string(MAX_BOUND), error);
        total *= std::abs(long(first) - second) + 1;
        if (total > MAX_GENERATED)
            return fail(where, "the bus is too large", error);
        bounds->push_back({first, second});
    }
    return true;
}

bool read_instance(HDB_NAMESPACE* names, const QJsonObject& entry, const std::string& where, unsigned extra_flags,
                   long* names_left, std::string* error)
{
    if (!standin::fixture::check_keys(entry, {"path", "unit", "flags", "kind", "dims", "stimulus", "location", "entity"},
                                      where, error))
        return false;
    const std::string path = entry.value("path").toString().toStdString();
    unsigned flags = 0;
    if (path.empty())
        return fail(where, "\"path\" is missing or empty", error);
    if (entry.contains("flags") && !standin::fixture::read_flags(entry.value("flags"), &flags))
        return fail(where, "\"flags\" is not a 32-bit flag word", error);
    int kind = 0;
    if (entry.contains("kind") && !standin::fixture::read_int(entry.value("kind"), 0, 1000, &kind))
        return fail(where, "\"kind\" is not a small integer", error);
    std::vector<std::pair<int, int>> bounds;
    if (entry.contains("dims") && !read_dims(entry.value("dims"), where, &bounds, error))
        return false;
    if (!spend(names_in_path(path) + bus_size(bounds), names_left, where, error))
        return false;
    HDB_INSTANCE_NAME* name = names->add_name(path, flags | extra_flags);
    if (name == nullptr)
        return fail(where, "\"" + path + "\" names the root", error);
    name->m_kind = kind;
    name->m_unit = entry.value("unit").toString().toStdString();
    name->m_location = entry.value("location").toString().toStdString();
    name->m_entity = entry.value("entity").toString().toStdString();
    if (!bounds.empty() && !names->make_bus(name, bounds, flags | extra_flags))
        return fail(where, "\"" + path + "\" is declared twice or has children", error);
    return true;
}

bool read_count(const QJsonObject& entry, const char* key, int minimum, int maximum, const std::string& where,
                int* out, std::string* error)
{
    if (standin::fixture::read_int(entry.value(key), minimum, maximum, out))
        return true;
    return fail(where, "\"" + std::string(key) + "\" must be an integer from " + std::to_string(minimum) + " to " +
                           std::to_string(maximum),
                error);
}

long tree_size(int fanout, int depth);

bool read_generator(int type, const QJsonObject& entry, const std::string& where, unsigned extra_flags,
                    long* names_left, std::string* error)
{
    const QString kind = entry.value("generate").toString();
    const std::string path = entry.value("path").toString().toStdString();
    unsigned flags = DEFAULT_LEAF_FLAGS;
    const char* flag_key = kind == "tree" ? "leaf_flags" : "flags";
    if (entry.contains(flag_key) && !standin::fixture::read_flags(entry.value(flag_key), &flags))
        return fail(where, "\"" + std::string(flag_key) + "\" is not a 32-bit flag word", error);
    flags |= extra_flags;
    if (path.empty())
        return fail(where, "\"path\" is missing or empty", error);
    int a = 0;
    int b = 0;
    const long path_names = names_in_path(path);
    if (kind == "bus")
        return standin::fixture::check_keys(entry, {"generate", "path", "width", "flags"}, where, error) &&
               read_count(entry, "width", 1, MAX_BOUND, where, &a, error) &&
               spend(path_names + a, names_left, where, error) &&
               (standin::hdb::generate_bus(type, path, a, flags) != nullptr ||
                fail(where, "\"" + path + "\" cannot become a bus", error));
    if (kind == "fsm")
        return standin::fixture::check_keys(entry, {"generate", "path", "states", "flags"}, where, error) &&
               read_count(entry, "states", 1, 4096, where, &a, error) &&
               spend(path_names + a, names_left, where, error) &&
               (standin::hdb::generate_fsm(type, path, a, flags) != nullptr ||
                fail(where, "\"" + path + "\" cannot hold a state machine", error));
    if (kind == "tree")
        return standin::fixture::check_keys(entry, {"generate", "path", "fanout", "depth", "leaf_flags"}, where,
                                            error) &&
               read_count(entry, "fanout", 1, 100000, where, &a, error) &&
               read_count(entry, "depth", 1, 12, where, &b, error) &&
               spend(tree_size(a, b) < 0 ? MAX_GENERATED + 1 : path_names + tree_size(a, b), names_left, where,
                     error) &&
               (standin::hdb::generate_tree(type, path, a, b, flags) > 0 ||
                fail(where, "\"" + path + "\" cannot hold a tree", error));
    return fail(where, "unknown generator \"" + kind.toStdString() + "\" (bus, tree or fsm)", error);
}

long tree_size(int fanout, int depth)
{
    long total = 0;
    long level = 1;
    for (int d = 0; d < depth; ++d)
    {
        level *= fanout;
        total += level;
        if (total > MAX_GENERATED)
            return -1;
    }
    return total;
}

void grow_tree(HDB_NAMESPACE* names, HDB_INSTANCE_NAME* parent, int fanout, int depth, unsigned leaf_flags)
{
    parent->m_children.reserve(size_t(fanout));
    for (int i = 0; i < fanout; ++i)
    {
        HDB_INSTANCE_NAME* child =
            names->add_child(parent, parent->m_short_path + "|n" + std::to_string(i), depth == 1 ? leaf_flags : 0);
        if (depth > 1)
            grow_tree(names, child, fanout, depth - 1, leaf_flags);
    }
}
} // namespace

namespace standin::hdb
{
namespace
{
long& name_limit()
{
    static long limit = MAX_FIXTURE_NAMES;
    return limit;
}
} // namespace

long fixture_name_limit()
{
    return name_limit();
}

void set_fixture_name_limit(long names)
{
    name_limit() = names;
}

HDB_INSTANCE_NAME* generate_bus(int type, const std::string& path, int width, unsigned flags)
{
    if (width < 1)
        return nullptr;
    return add_bus(type, path, {{width - 1, 0}}, flags);
}

long generate_tree(int type, const std::string& path, int fanout, int depth, unsigned leaf_flags)
{
    HDB_NAMESPACE* names = netlist(type);
    const long size = tree_size(fanout, depth);
    HDB_INSTANCE_NAME* top = names != nullptr && size > 0 ? names->add_name(path, 0) : nullptr;
    if (top == nullptr || !top->m_children.empty())
        return 0;
    grow_tree(names, top, fanout, depth, leaf_flags);
    return size;
}

HDB_INSTANCE_NAME* generate_fsm(int type, const std::string& path, int states, unsigned flags)
{
    HDB_NAMESPACE* names = netlist(type);
    HDB_INSTANCE_NAME* machine = names != nullptr ? names->add_name(path, flags | STATE_MACHINE_FLAG) : nullptr;
    if (machine == nullptr || states < 1)
        return nullptr;
    const std::string unit = std::string(machine->own_name());
    for (int s = 0; s < states; ++s)
    {
        HDB_INSTANCE_NAME* state = names->add_name(path + ".s" + std::to_string(s), flags);
        state->m_unit = unit + ".s" + std::to_string(s);
    }
    return machine;
}

bool load_netlist(int type, const QJsonObject& description, const std::string& top, std::string* error)
{
    return load_netlist(type, description, top, 0, error);
}

bool load_netlist(int type, const QJsonObject& description, const std::string& top, unsigned extra_flags,
                  std::string* error)
{
    long names_left = fixture_name_limit();
    return load_netlist(type, description, top, extra_flags, &names_left, error);
}

bool load_netlist(int type, const QJsonObject& description, const std::string& top, unsigned extra_flags,
                  long* names_left, std::string* error)
{
    const std::string where = type == HDB_NAMESPACE::PDB_POST_FIT ? "netlists.post" : "netlists.pre";
    if (!fixture::check_keys(description, {"case_sensitive", "assignment_350", "instances", "copy_of", "add_flags"},
                             where, error))
        return false;
    HDB_NAMESPACE* names = set_netlist(type, top, description.value("case_sensitive").toBool(true));
    if (description.contains("assignment_350"))
        names->set_assignment(350, description.value("assignment_350").toString().toStdString());
    const QJsonArray instances = description.value("instances").toArray();
    for (int i = 0; i < instances.size(); ++i)
    {
        const QJsonObject entry = instances[i].toObject();
        const std::string at = where + "." + where_of(i);
        const bool ok = entry.contains("generate") ? read_generator(type, entry, at, extra_flags, names_left, error)
                                                   : read_instance(names, entry, at, extra_flags, names_left, error);
        if (!ok)
        {
            remove_netlist(type);
            return false;
        }
    }
    return true;
}
} // namespace standin::hdb
