// Netlist-database stand-in: what locating a name reads — the declaration place of an
// instance, the entity it is made of with the design unit declaring it, the name manager's
// identifiers and the opaque managers clients register.
#include "host/hdb.h"

#include <string>

HDB_DESIGN_UNIT::HDB_DESIGN_UNIT(std::string file, int line) : m_file(std::move(file))
{
    if (!m_file.empty())
        m_location.set_node_name((m_file + ":" + std::to_string(line)).c_str());
}

// FNV-1a of the full name: the same name gives the same identifier in every run.
unsigned int HDB_NAME_MGR::get_iname_id(const HDB_INSTANCE_NAME* name)
{
    if (name == nullptr)
        return 0;
    unsigned int hash = 2166136261u;
    for (unsigned char c : name->get_hpath_to_root())
        hash = (hash ^ c) * 16777619u;
    return hash;
}

void* hdb_get_cmp_manager()
{
    static int manager;
    return &manager;
}

void* hdb_get_ui_name_mgr()
{
    static int manager;
    return &manager;
}

// A schema of the one node `name`, made on first use; null for an empty name.
static MSG_GEN_LOCATION_SCHEMA* one_node_schema(std::unique_ptr<MSG_GEN_LOCATION_SCHEMA>* schema,
                                                const std::string& name)
{
    if (name.empty())
        return nullptr;
    if (!*schema)
    {
        *schema = std::make_unique<MSG_GEN_LOCATION_SCHEMA>();
        (*schema)->set_node_name(name.c_str());
    }
    return schema->get();
}

MSG_GEN_LOCATION_SCHEMA* HDB_INSTANCE_NAME::get_location()
{
    return one_node_schema(&m_location_schema, m_location);
}

MSG_GEN_LOCATION_SCHEMA* HDB_INSTANCE_NAME::get_design_file_schema()
{
    return one_node_schema(&m_entity_schema, m_entity);
}

HDB_DESIGN_UNIT* HDB_NAMESPACE::find_entity(const char* name, bool)
{
    if (name == nullptr)
        return nullptr;
    const auto found = m_design_units.find(name);
    return found == m_design_units.end() ? nullptr : found->second.get();
}

void HDB_NAMESPACE::add_design_unit(const std::string& entity, const std::string& file, int line)
{
    m_design_units[entity] = std::make_unique<HDB_DESIGN_UNIT>(file, line);
}
