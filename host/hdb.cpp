// Netlist-database stand-in: instance-name trees of the project fixture, looked up through one
// hash of short paths; bus members generated from the declared dimensions.
#include "host/hdb.h"

#include "host/standin/hdb_control.h"
#include "host/standin/standin.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

namespace
{
std::map<int, std::unique_ptr<HDB_NAMESPACE>>& netlists()
{
    static std::map<int, std::unique_ptr<HDB_NAMESPACE>> n;
    return n;
}

struct hdb_counters
{
    long lookups = 0;
};

hdb_counters& counters()
{
    static hdb_counters c;
    return c;
}

void reset()
{
    netlists().clear();
    counters() = hdb_counters();
}

const standin::reset_registrar registrar(&reset);

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool same_char(char a, char b, bool case_sensitive)
{
    return case_sensitive ? a == b : lower(a) == lower(b);
}

// "*" matches any run (the hierarchy separator included), "?" one character. Greedy with one
// remembered star, so the cost stays linear in the text for every pattern with one star and
// at worst text x pattern.
bool wildcard_match(std::string_view text, std::string_view pattern, bool case_sensitive)
{
    size_t t = 0;
    size_t p = 0;
    size_t star = std::string_view::npos;
    size_t star_text = 0;
    while (t < text.size())
    {
        if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same_char(pattern[p], text[t], case_sensitive))))
        {
            ++t;
            ++p;
        }
        else if (p < pattern.size() && pattern[p] == '*')
        {
            star = p++;
            star_text = t;
        }
        else if (star != std::string_view::npos)
        {
            p = star + 1;
            t = ++star_text;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

const std::pair<HDB_INSTANCE_NAME_FLAG::FLAG, const char*> FLAG_NAMES[] = {
    {HDB_INSTANCE_NAME_FLAG::INPUT_PIN, "input pin"},
    {HDB_INSTANCE_NAME_FLAG::OUTPUT_PIN, "output pin"},
    {HDB_INSTANCE_NAME_FLAG::BIDIRECTIONAL_PIN, "bidirectional pin"},
    {HDB_INSTANCE_NAME_FLAG::MEMORY, "memory"},
    {HDB_INSTANCE_NAME_FLAG::REGISTER, "register"},
    {HDB_INSTANCE_NAME_FLAG::COMBINATIONAL, "combinational"},
    {HDB_INSTANCE_NAME_FLAG::STATE_MACHINE, "state machine"},
    {HDB_INSTANCE_NAME_FLAG::HIDDEN_FROM_PLUGINS, "hidden from plug-ins"},
    {HDB_INSTANCE_NAME_FLAG::POST_FITTING, "post-fitting"},
    {HDB_INSTANCE_NAME_FLAG::TAPPABLE, "tappable"}};

std::string indexed(const std::string& base, int index)
{
    return base + "[" + std::to_string(index) + "]";
}

// first, first +- 1, ..., second: both bounds included, stepping towards the second.
std::vector<int> indices_of(std::pair<int, int> bounds)
{
    std::vector<int> out;
    const int step = bounds.first <= bounds.second ? 1 : -1;
    for (int i = bounds.first;; i += step)
    {
        out.push_back(i);
        if (i == bounds.second)
            break;
    }
    return out;
}
} // namespace

// ---- iterators -------------------------------------------------------------------------------

HDB_DESCENDANT_ITERATOR::HDB_DESCENDANT_ITERATOR(HDB_INSTANCE_NAME* start) : m_start(start), m_current(start) {}

// Pre-order step without a stack: first child, else the next sibling of the nearest level
// that has one, never leaving the subtree of the start.
HDB_DESCENDANT_ITERATOR& HDB_DESCENDANT_ITERATOR::operator++()
{
    if (m_current == nullptr)
        return *this;
    if (!m_current->m_children.empty())
    {
        m_current = m_current->m_children.front();
        return *this;
    }
    HDB_INSTANCE_NAME* node = m_current;
    while (node != m_start && node->m_parent != nullptr)
    {
        const auto& siblings = node->m_parent->m_children;
        if (node->m_index + 1 < siblings.size())
        {
            m_current = siblings[node->m_index + 1];
            return *this;
        }
        node = node->m_parent;
    }
    m_current = nullptr;
    return *this;
}

// ---- instance names --------------------------------------------------------------------------

std::string HDB_INSTANCE_NAME_FLAG::describe() const
{
    std::string text;
    unsigned rest = m_flags;
    const auto append = [&text](const std::string& word) { text += (text.empty() ? "" : ", ") + word; };
    for (const auto& [flag, name] : FLAG_NAMES)
    {
        if ((m_flags & flag) == 0)
            continue;
        append(name);
        rest &= ~unsigned(flag);
    }
    if (rest != 0)
    {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08x", rest);
        append(hex);
    }
    return text;
}

std::string_view HDB_INSTANCE_NAME::own_name() const
{
    const std::string_view path = m_short_path;
    if (m_parent == nullptr)
        return path;
    const size_t bar = path.rfind('|');
    return bar == std::string_view::npos ? path : path.substr(bar + 1);
}

std::string HDB_INSTANCE_NAME::get_hpath_to_root() const
{
    if (m_parent == nullptr || m_namespace == nullptr)
        return m_short_path;
    return m_namespace->root_name() + "|" + m_short_path;
}

bool HDB_INSTANCE_NAME::get_is_case_sensitive() const
{
    return m_namespace == nullptr || m_namespace->is_case_sensitive();
}

void HDB_INSTANCE_NAME::get_short_hpath(std::string* out, int) const
{
    if (out != nullptr)
        *out = m_short_path;
}

HDB_INSTANCE_NAME* HDB_INSTANCE_NAME::find_in_descendants(const char* name, bool, int)
{
    return if_descendant(m_namespace ? m_namespace->get_instance_name(name) : nullptr);
}

void HDB_INSTANCE_NAME::find_all_in_descendants(const char* const* names, size_t count, HDB_INSTANCE_NAME** found)
{
    if (m_namespace == nullptr)
    {
        std::fill(found, found + count, nullptr);
        return;
    }
    m_namespace->get_instance_names(names, count, found);
    for (size_t i = 0; i < count; ++i)
        found[i] = if_descendant(found[i]);
}

HDB_INSTANCE_NAME* HDB_INSTANCE_NAME::if_descendant(HDB_INSTANCE_NAME* found) const
{
    // Every other name of the netlist lies below its root: no walk up the hierarchy.
    if (m_parent == nullptr)
        return found != this ? found : nullptr;
    for (const HDB_INSTANCE_NAME* up = found ? found->m_parent : nullptr; up; up = up->m_parent)
    {
        if (up == this)
            return found;
    }
    return nullptr;
}

bool HDB_INSTANCE_NAME::find_descendants_matching_wildcard(const char* pattern, std::list<HDB_INSTANCE_NAME*>* out)
{
    if (pattern == nullptr || out == nullptr)
        return false;
    const bool case_sensitive = get_is_case_sensitive();
    const size_t before = out->size();
    HDB_DESCENDANT_ITERATOR it = begin_descendant(nullptr, 0);
    for (++it; it != end_descendant(nullptr, 0); ++it)
    {
        if (wildcard_match((*it)->m_short_path, pattern, case_sensitive))
            out->push_back(*it);
    }
    return out->size() > before;
}

void HDB_INSTANCE_NAME::get_members(std::vector<HDB_INSTANCE_NAME*>* members) const
{
    if (members == nullptr)
        return;
    members->clear();
    if (m_dimensions == 0)
        return;
    members->assign(m_children.begin(), m_children.end());
}

std::pair<int, int> HDB_INSTANCE_NAME::get_dimension(int index) const
{
    if (index < 0 || index >= m_dimensions)
        return {0, 0};
    return {m_bounds[index][0], m_bounds[index][1]};
}

int HDB_INSTANCE_NAME::get_leaf_count() const
{
    if (m_dimensions == 0)
        return 1;
    int leaves = 0;
    for (const HDB_INSTANCE_NAME* member : m_children)
        leaves += member->get_leaf_count();
    return leaves;
}

void HDB_INSTANCE_NAME::get_unit_name_str(std::string* out) const
{
    if (out != nullptr)
        *out = get_unit_name();
}

const char* HDB_INSTANCE_NAME::get_unit_name() const
{
    if (!m_unit.empty() || m_parent == nullptr)
        return m_unit.empty() ? m_short_path.c_str() : m_unit.c_str();
    // The own name is the tail of the short path, so it ends the stored string.
    return m_short_path.c_str() + (m_short_path.size() - own_name().size());
}

HDB_NAME_ITERATOR HDB_INSTANCE_NAME::begin_child(int) const
{
    return HDB_NAME_ITERATOR(m_children.begin());
}

HDB_NAME_ITERATOR HDB_INSTANCE_NAME::end_child(int) const
{
    return HDB_NAME_ITERATOR(m_children.end());
}

HDB_DESCENDANT_ITERATOR HDB_INSTANCE_NAME::begin_descendant(void*, int)
{
    return HDB_DESCENDANT_ITERATOR(this);
}

HDB_DESCENDANT_ITERATOR HDB_INSTANCE_NAME::end_descendant(void*, int)
{
    return HDB_DESCENDANT_ITERATOR(nullptr);
}

// ---- namespaces ------------------------------------------------------------------------------

HDB_NAMESPACE::HDB_NAMESPACE(const std::string& root_name, bool case_sensitive)
    : m_root(m_names.create()), m_case_sensitive(case_sensitive),
      m_by_short_path(case_sensitive ? &HDB_INSTANCE_NAME::m_short_path : &HDB_INSTANCE_NAME::m_key)
{
    m_root->m_short_path = root_name;
    m_root->m_namespace = this;
}

HDB_NAMESPACE::~HDB_NAMESPACE() = default;

std::string HDB_NAMESPACE::key_of(std::string_view short_path) const
{
    std::string key(short_path);
    if (!m_case_sensitive)
    {
        for (char& c : key)
            c = lower(c);
    }
    return key;
}

std::string_view HDB_NAMESPACE::strip_root(std::string_view name) const
{
    const std::string& root = m_root->m_short_path;
    if (name.size() <= root.size() || name[root.size()] != '|')
        return name;
    for (size_t i = 0; i < root.size(); ++i)
    {
        if (!same_char(name[i], root[i], m_case_sensitive))
            return name;
    }
    return name.substr(root.size() + 1);
}

HDB_INSTANCE_NAME* HDB_NAMESPACE::get_instance_name(const char* name)
{
    if (name == nullptr)
        return nullptr;
    ++counters().lookups;
    const std::string_view path = strip_root(name);
    if (HDB_INSTANCE_NAME* found = m_case_sensitive ? m_by_short_path.find(path) : m_by_short_path.find(key_of(path)))
        return found;
    const bool is_root = m_case_sensitive ? path == root_name() : key_of(path) == key_of(root_name());
    return is_root ? m_root : nullptr;
}

void HDB_NAMESPACE::get_instance_names(const char* const* names, size_t count, HDB_INSTANCE_NAME** found)
{
    counters().lookups += long(count);
    std::vector<std::string_view> keys(count, std::string_view(""));
    std::vector<std::string> lowered(m_case_sensitive ? 0 : count);
    for (size_t i = 0; i < count; ++i)
    {
        if (names[i] == nullptr)
            continue;
        keys[i] = strip_root(names[i]);
        if (!m_case_sensitive)
        {
            lowered[i] = key_of(keys[i]);
            keys[i] = lowered[i];
        }
    }
    m_by_short_path.find_all(keys.data(), count, found);
    // A null name's empty key may match nothing but the root check below, which it must not.
    const std::string root_key = key_of(root_name());
    for (size_t i = 0; i < count; ++i)
    {
        if (names[i] == nullptr)
            found[i] = nullptr;
        else if (found[i] == nullptr && keys[i] == root_key)
            found[i] = m_root;
    }
}

HDB_ASSIGNMENT* HDB_NAMESPACE::find_assignment(int variable_type)
{
    const auto it = m_assignments.find(variable_type);
    return it == m_assignments.end() ? nullptr : it->second.get();
}

void HDB_NAMESPACE::set_assignment(int variable_type, const std::string& value)
{
    m_assignments[variable_type] = std::make_unique<HDB_ASSIGNMENT>(value);
}

HDB_INSTANCE_NAME* HDB_NAMESPACE::add_child(HDB_INSTANCE_NAME* parent, std::string short_path, unsigned flags)
{
    HDB_INSTANCE_NAME* child = m_names.create();
    child->m_short_path = std::move(short_path);
    child->m_flags = flags;
    child->m_parent = parent;
    child->m_namespace = this;
    child->m_index = parent->m_children.size();
    if (!m_case_sensitive)
        child->m_key = key_of(child->m_short_path);
    parent->m_children.push_back(child);
    m_by_short_path.insert(child);
    return child;
}

HDB_INSTANCE_NAME* HDB_NAMESPACE::add_name(const std::string& path, unsigned flags)
{
    const std::string_view short_path = strip_root(path);
    if (short_path.empty())
        return nullptr;
    HDB_INSTANCE_NAME* node = m_root;
    size_t start = 0;
    for (;;)
    {
        const size_t bar = short_path.find('|', start);
        const std::string_view prefix = short_path.substr(0, bar);
        HDB_INSTANCE_NAME* found = m_by_short_path.find(m_case_sensitive ? std::string(prefix) : key_of(prefix));
        node = found != nullptr ? found : add_child(node, std::string(prefix), 0);
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    node->m_flags = flags;
    return node;
}

bool HDB_NAMESPACE::make_bus(HDB_INSTANCE_NAME* bus, const std::vector<std::pair<int, int>>& bounds, unsigned flags)
{
    if (bus == nullptr || bus == m_root || !bus->m_children.empty() || bounds.empty() || bounds.size() > 2)
        return false;
    fill_dimension(bus, bounds, 0, flags);
    return true;
}

void HDB_NAMESPACE::fill_dimension(HDB_INSTANCE_NAME* bus, const std::vector<std::pair<int, int>>& bounds,
                                   size_t level, unsigned flags)
{
    bus->m_dimensions = int(bounds.size() - level);
    for (int d = 0; d < bus->m_dimensions; ++d)
    {
        bus->m_bounds[d][0] = bounds[level + size_t(d)].first;
        bus->m_bounds[d][1] = bounds[level + size_t(d)].second;
    }
    const std::vector<int> indices = indices_of(bounds[level]);
    bus->m_children.reserve(indices.size());
    for (int i : indices)
    {
        HDB_INSTANCE_NAME* member = add_child(bus, indexed(bus->m_short_path, i), flags);
        if (level + 1 < bounds.size())
            fill_dimension(member, bounds, level + 1, flags);
    }
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

HDB_INSTANCE_NAME* add_name(int type, const std::string& path, unsigned flags)
{
    HDB_NAMESPACE* names = netlist(type);
    return names != nullptr ? names->add_name(path, flags) : nullptr;
}

HDB_INSTANCE_NAME* add_bus(int type, const std::string& path, const std::vector<std::pair<int, int>>& bounds,
                           unsigned flags)
{
    HDB_NAMESPACE* names = netlist(type);
    HDB_INSTANCE_NAME* bus = names != nullptr ? names->add_name(path, flags) : nullptr;
    return bus != nullptr && names->make_bus(bus, bounds, flags) ? bus : nullptr;
}

long lookup_count()
{
    return counters().lookups;
}
} // namespace standin::hdb
