// Netlist-database stand-in: instance-name trees built by tests, looked up through a hash of
// short paths.
#include "host/hdb.h"

#include "host/standin/hdb_control.h"
#include "host/standin/standin.h"

#include <QString>

#include <map>

namespace
{
std::map<int, std::unique_ptr<HDB_NAMESPACE>>& netlists()
{
    static std::map<int, std::unique_ptr<HDB_NAMESPACE>> n;
    return n;
}

void reset()
{
    netlists().clear();
}

const standin::reset_registrar registrar(&reset);

std::vector<std::string> split_path(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path)
    {
        if (c == '|')
        {
            parts.push_back(part);
            part.clear();
        }
        else
            part += c;
    }
    parts.push_back(part);
    return parts;
}
} // namespace

std::string HDB_INSTANCE_NAME::get_hpath_to_root() const
{
    if (!m_parent)
        return m_name;
    return m_parent->get_hpath_to_root() + "|" + m_name;
}

bool HDB_INSTANCE_NAME::get_is_case_sensitive() const
{
    return m_namespace ? m_namespace->is_case_sensitive() : true;
}

void HDB_INSTANCE_NAME::get_short_hpath(std::string* out, int) const
{
    if (!out)
        return;
    if (!m_parent)
    {
        *out = m_name;
        return;
    }
    std::string path = m_name;
    for (const HDB_INSTANCE_NAME* up = m_parent; up && up->m_parent; up = up->m_parent)
        path = up->m_name + "|" + path;
    *out = path;
}

HDB_INSTANCE_NAME* HDB_INSTANCE_NAME::find_in_descendants(const char* name, bool, int)
{
    HDB_INSTANCE_NAME* found = m_namespace ? m_namespace->get_instance_name(name) : nullptr;
    for (const HDB_INSTANCE_NAME* up = found ? found->m_parent : nullptr; up; up = up->m_parent)
        if (up == this)
            return found;
    return nullptr;
}

void HDB_INSTANCE_NAME::get_members(std::vector<HDB_INSTANCE_NAME*>* members) const
{
    if (members)
        *members = m_members;
}

HDB_NAMESPACE::HDB_NAMESPACE(const std::string& root_name, bool case_sensitive)
    : m_root(new HDB_INSTANCE_NAME), m_case_sensitive(case_sensitive)
{
    m_root->m_name = root_name;
    m_root->m_namespace = this;
}

HDB_NAMESPACE::~HDB_NAMESPACE() = default;

std::string HDB_NAMESPACE::key_of(const std::string& short_path) const
{
    if (m_case_sensitive)
        return short_path;
    return QString::fromStdString(short_path).toLower().toStdString();
}

HDB_INSTANCE_NAME* HDB_NAMESPACE::get_instance_name(const char* name)
{
    if (!name)
        return nullptr;
    std::string path = name;
    const std::string root_prefix = m_root->m_name + "|";
    if (key_of(path.substr(0, root_prefix.size())) == key_of(root_prefix))
        path = path.substr(root_prefix.size());
    const auto it = m_by_short_path.find(key_of(path));
    return it == m_by_short_path.end() ? nullptr : it->second;
}

HDB_INSTANCE_NAME* HDB_NAMESPACE::add_name(const std::string& path, unsigned flags)
{
    std::vector<std::string> parts = split_path(path);
    if (parts.size() > 1 && key_of(parts.front()) == key_of(m_root->m_name))
        parts.erase(parts.begin());
    HDB_INSTANCE_NAME* node = m_root.get();
    std::string short_path;
    for (const std::string& part : parts)
    {
        short_path = short_path.empty() ? part : short_path + "|" + part;
        const auto it = m_by_short_path.find(key_of(short_path));
        if (it != m_by_short_path.end())
        {
            node = it->second;
            continue;
        }
        auto child = std::make_unique<HDB_INSTANCE_NAME>();
        child->m_name = part;
        child->m_parent = node;
        child->m_namespace = this;
        HDB_INSTANCE_NAME* raw = child.get();
        node->m_children.push_back(std::move(child));
        m_by_short_path[key_of(short_path)] = raw;
        node = raw;
    }
    node->m_flags = flags;
    return node;
}

namespace standin::hdb
{
HDB_NAMESPACE* set_netlist(int type, const std::string& root_name, bool case_sensitive)
{
    auto& slot = netlists()[type];
    slot = std::make_unique<HDB_NAMESPACE>(root_name, case_sensitive);
    return slot.get();
}

void remove_netlist(int type)
{
    netlists().erase(type);
}

HDB_NAMESPACE* netlist(int type)
{
    const auto it = netlists().find(type);
    return it == netlists().end() ? nullptr : it->second.get();
}

void add_name(int type, const std::string& path, unsigned flags)
{
    if (HDB_NAMESPACE* names = netlist(type))
        names->add_name(path, flags);
}
} // namespace standin::hdb
