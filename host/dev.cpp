// Device-data stand-in: a small family table with traits and a part table with resources.
#include "host/dev.h"
#include "host/dstr.h"

#include "host/standin/dev_control.h"
#include "host/standin/standin.h"

#include <QString>

#include <map>
#include <set>

namespace
{
struct family_record
{
    int family = 0;
    std::set<int> traits;
};

using family_table = std::map<QString, family_record>; // key: lower-case name

family_table default_table()
{
    family_table table;
    table[QStringLiteral("halcyte")] = {6, {DEV_TRAIT_VANTREL_SUPPORTED}};
    table[QStringLiteral("halcyte ii")] = {11, {DEV_TRAIT_VANTREL_SUPPORTED}};
    table[QStringLiteral("meridian")] = {31, {DEV_TRAIT_VANTREL_SUPPORTED}};
    table[QStringLiteral("meridian ii")] = {33, {DEV_TRAIT_VANTREL_SUPPORTED}};
    table[QStringLiteral("legacy")] = {2, {}};
    return table;
}

family_table& table()
{
    static family_table t = default_table();
    return t;
}

QString key_of(const char* name)
{
    return QString::fromUtf8(name ? name : "").toLower();
}

struct part_record
{
    int part = 0;
    std::map<int, int> resources; // kind -> count
};

using part_table = std::map<QString, part_record>; // key: lower-case name

part_table& parts()
{
    static part_table t;
    return t;
}

void reset()
{
    table() = default_table();
    parts().clear();
}

const standin::reset_registrar registrar(&reset);
} // namespace

DEV_FAMILY_MANAGER* DEV_FAMILY_MANAGER::get_instance()
{
    static DEV_FAMILY_MANAGER manager;
    return &manager;
}

bool DEV_FAMILY_MANAGER::exists_family_enum_by_string(const char* name)
{
    return table().count(key_of(name)) != 0;
}

DEV_FAMILY_ENUM DEV_FAMILY_MANAGER::get_family_enum_by_string(const char* name)
{
    const auto it = table().find(key_of(name));
    return it == table().end() ? DEV_FAMILY_UNKNOWN : DEV_FAMILY_ENUM(it->second.family);
}

bool DEV_FAMILY_MANAGER::test_trait_of(DEV_FAMILY_ENUM family, int trait)
{
    for (const auto& entry : table())
        if (entry.second.family == family)
            return entry.second.traits.count(trait) != 0;
    return false;
}

DEV_PART_MANAGER* DEV_PART_MANAGER::get_instance()
{
    static DEV_PART_MANAGER manager;
    return &manager;
}

int DEV_PART_MANAGER::get_device_resource_count_of(DEV_PART_ENUM part, int kind)
{
    for (const auto& entry : parts())
    {
        if (entry.second.part != part)
            continue;
        const auto it = entry.second.resources.find(kind);
        return it == entry.second.resources.end() ? 0 : it->second;
    }
    return 0;
}

DEV_PART_ENUM dstr_get_dev_part_enum_by_string(const char* name)
{
    const auto it = parts().find(key_of(name));
    return it == parts().end() ? DEV_PART_GENERIC : DEV_PART_ENUM(it->second.part);
}

namespace standin::dev
{
void set_family(const std::string& name, int family, const std::vector<int>& traits)
{
    table()[key_of(name.c_str())] = {family, std::set<int>(traits.begin(), traits.end())};
}

void remove_family(const std::string& name)
{
    table().erase(key_of(name.c_str()));
}

int set_part(const std::string& name, const std::map<int, int>& resources)
{
    part_record& record = parts()[key_of(name.c_str())];
    if (record.part == DEV_PART_GENERIC)
        record.part = static_cast<int>(parts().size());
    record.resources = resources;
    return record.part;
}

void clear_parts()
{
    parts().clear();
}
} // namespace standin::dev
