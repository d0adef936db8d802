#pragma once
// Host netlist hierarchy database: the design hierarchy of one netlist (pre-synthesis or
// post-fit) as a tree of instance names with their flag bits. Full names join the hierarchy
// levels with "|" and start with the root's name ("top|a|b"); a short path leaves the root
// out ("a|b"). A bus is an instance with one or two dimensions whose members are its children
// ("a|cnt" holds "a|cnt[7]" .. "a|cnt[0]"; a member of a two-dimensional bus is itself a bus).
// Every name is reachable through one hash of short paths, so a look-up costs the same in a
// netlist of ten names and of millions.

#include "host/hdb_name_index.h"
#include "host/hdb_name_store.h"
#include "host/msg.h"

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class HDB_INSTANCE_NAME;
class HDB_NAMESPACE;

// A design unit of the project's sources: the file that declares an entity and where.
class HDB_DESIGN_UNIT
{
public:
    HDB_DESIGN_UNIT(std::string file, int line);
    // Null when the unit has no source file.
    const char* get_file() const { return m_file.empty() ? nullptr : m_file.c_str(); }
    // The place of the declaration as one "file:line" node.
    MSG_GEN_LOCATION_SCHEMA* get_location() { return &m_location; }

private:
    std::string m_file;
    MSG_GEN_LOCATION_SCHEMA m_location;
};

// The host's name manager: identifiers of hierarchy names that stay the same for a name.
class HDB_NAME_MGR
{
public:
    static unsigned int get_iname_id(const HDB_INSTANCE_NAME* name);
};

// Opaque managers a client registers with the netlist database UI manager.
void* hdb_get_cmp_manager();
void* hdb_get_ui_name_mgr();

// The flag bits of a netlist name. The named bits are the kinds of node the project fixture
// makes; a netlist may carry others, which have no name here.
class HDB_INSTANCE_NAME_FLAG
{
public:
    enum FLAG : unsigned
    {
        INPUT_PIN = 0x4,
        OUTPUT_PIN = 0x8,
        BIDIRECTIONAL_PIN = 0x10,
        MEMORY = 0x20,
        REGISTER = 0x40,
        COMBINATIONAL = 0x80,
        HIDDEN_FROM_PLUGINS = 0x200,
        STATE_MACHINE = 0x400,
        POST_FITTING = 0x2000,
        TAPPABLE = 0x80000000u
    };

    explicit HDB_INSTANCE_NAME_FLAG(unsigned flags = 0) : m_flags(flags) {}
    bool test_flag(unsigned flag) const { return (m_flags & flag) == flag && flag != 0; }
    unsigned get() const { return m_flags; }
    // The names of the set bits, kinds first ("register, post-fitting, tappable"); bits without
    // a name follow as one hexadecimal number, so nothing the netlist says is hidden.
    std::string describe() const;

private:
    unsigned m_flags;
};

// An assignment the netlist carries for the analyzer (variable type 350 only).
class HDB_ASSIGNMENT
{
public:
    explicit HDB_ASSIGNMENT(std::string value) : m_value(std::move(value)) {}
    const char* get_value_str() const { return m_value.c_str(); }

private:
    std::string m_value;
};

// Forward iteration over children (HDB_NAME_ITERATOR) or over a subtree in pre-order, the
// subtree's own root first (HDB_DESCENDANT_ITERATOR).
class HDB_NAME_ITERATOR
{
public:
    using BASE = std::vector<HDB_INSTANCE_NAME*>::const_iterator;
    explicit HDB_NAME_ITERATOR(BASE it) : m_it(it) {}
    HDB_INSTANCE_NAME* operator*() const { return *m_it; }
    HDB_NAME_ITERATOR& operator++()
    {
        ++m_it;
        return *this;
    }
    bool operator!=(const HDB_NAME_ITERATOR& other) const { return m_it != other.m_it; }
    bool operator==(const HDB_NAME_ITERATOR& other) const { return m_it == other.m_it; }

private:
    BASE m_it;
};

class HDB_DESCENDANT_ITERATOR
{
public:
    // A null start is the end.
    explicit HDB_DESCENDANT_ITERATOR(HDB_INSTANCE_NAME* start);
    HDB_INSTANCE_NAME* operator*() const { return m_current; }
    HDB_DESCENDANT_ITERATOR& operator++();
    bool operator!=(const HDB_DESCENDANT_ITERATOR& other) const { return m_current != other.m_current; }
    bool operator==(const HDB_DESCENDANT_ITERATOR& other) const { return m_current == other.m_current; }

private:
    HDB_INSTANCE_NAME* m_start;
    HDB_INSTANCE_NAME* m_current;
};

class HDB_INSTANCE_NAME
{
public:
    // The full name from the root ("top|a|b"); the root's own name for the root.
    std::string get_hpath_to_root() const;
    bool get_is_case_sensitive() const;
    // The full name without the root ("a|b"); the root's name for the root.
    void get_short_hpath(std::string* out, int format = 0) const;
    const std::string& short_hpath() const { return m_short_path; }
    // The descendant whose short path (or full name) is `name`; the flag and scope are accepted
    // as the host takes them and do not narrow the search.
    HDB_INSTANCE_NAME* find_in_descendants(const char* name, bool flag, int scope);
    // found[i] = find_in_descendants(names[i], ...) for every i < count, the netlist's memory for
    // all of them fetched together: many look-ups cost little more in a netlist of millions of
    // names than in a small one. A null name finds nothing.
    void find_all_in_descendants(const char* const* names, size_t count, HDB_INSTANCE_NAME** found);
    // Appends, in pre-order, every descendant (this name excluded) whose short path matches the
    // pattern: "*" any run of characters, "?" one character, case as the netlist compares.
    bool find_descendants_matching_wildcard(const char* pattern, std::list<HDB_INSTANCE_NAME*>* out);
    HDB_INSTANCE_NAME* get_parent() const { return m_parent; }
    bool check_flag(unsigned flag) const { return get_flags().test_flag(flag); }
    HDB_INSTANCE_NAME_FLAG get_flags() const { return HDB_INSTANCE_NAME_FLAG(m_flags); }
    // Bus members in fixture order (first bound first); a scalar has none.
    void get_members(std::vector<HDB_INSTANCE_NAME*>* members) const;
    // 0 for a scalar, else the number of dimensions of the bus (1 or 2).
    int size_dimension() const { return m_dimensions; }
    // Bounds (first, second) of dimension 0 or 1 as the design declares them; (0, 0) when absent.
    std::pair<int, int> get_dimension(int index) const;
    // Number of single-bit names below a bus (1 for a scalar).
    int get_leaf_count() const;
    void get_unit_name_str(std::string* out) const;
    const char* get_unit_name() const;
    int get_kind() const { return m_kind; }
    HDB_NAME_ITERATOR begin_child(int scope) const;
    HDB_NAME_ITERATOR end_child(int scope) const;
    HDB_DESCENDANT_ITERATOR begin_descendant(void* filter, int scope);
    HDB_DESCENDANT_ITERATOR end_descendant(void* filter, int scope);
    // Where the instance is declared in a design file ("file:line"); null when the netlist does
    // not say.
    MSG_GEN_LOCATION_SCHEMA* get_location();
    // A schema naming the design entity the instance is made of; null when it names none.
    MSG_GEN_LOCATION_SCHEMA* get_design_file_schema();

    // --- database internals ---------------------------------------------------------------
    // Own level name: the text after the last "|" of the short path.
    std::string_view own_name() const;
    // `found` when it lies below this name, else null.
    HDB_INSTANCE_NAME* if_descendant(HDB_INSTANCE_NAME* found) const;
    // What a look-up reads of the name it finds (its flags, the walk up to a scope) comes first,
    // so that it shares the name's first cache line.
    unsigned m_flags = 0;
    int m_kind = 0;
    HDB_INSTANCE_NAME* m_parent = nullptr;
    std::string m_short_path;
    std::string m_key;        // look-up key (lower case in a case-insensitive netlist, else empty)
    std::string m_unit;       // "" means the own name
    int m_dimensions = 0;
    int m_bounds[2][2] = {{0, 0}, {0, 0}};
    size_t m_index = 0;       // position among the parent's children
    HDB_NAMESPACE* m_namespace = nullptr;
    std::vector<HDB_INSTANCE_NAME*> m_children; // owned by the netlist's store
    std::string m_location;   // "file:line", "" none
    std::string m_entity;     // design entity, "" none
    std::unique_ptr<MSG_GEN_LOCATION_SCHEMA> m_location_schema;
    std::unique_ptr<MSG_GEN_LOCATION_SCHEMA> m_entity_schema;
};

class HDB_NAMESPACE
{
public:
    enum PDB_FILE_TYPE
    {
        PDB_ANY = -1, // no particular type: the netlist the compile has made
        PDB_POST_FIT = 0,
        PDB_PRE_SYNTHESIS = 3
    };

    explicit HDB_NAMESPACE(const std::string& root_name, bool case_sensitive);
    ~HDB_NAMESPACE();
    HDB_NAMESPACE(const HDB_NAMESPACE&) = delete;
    HDB_NAMESPACE& operator=(const HDB_NAMESPACE&) = delete;

    HDB_INSTANCE_NAME* get_rooted_at() { return m_root; }
    // By full name or short path; null when absent.
    HDB_INSTANCE_NAME* get_instance_name(const char* name);
    // found[i] = get_instance_name(names[i]) for every i < count, looked up together.
    void get_instance_names(const char* const* names, size_t count, HDB_INSTANCE_NAME** found);
    // The netlist's assignment of that variable type, or null.
    HDB_ASSIGNMENT* find_assignment(int variable_type);
    // The design unit that declares the entity; null when the project has none of that name.
    HDB_DESIGN_UNIT* find_entity(const char* name, bool flag);

    // --- database internals ---------------------------------------------------------------
    // Adds a name by full or short path, creating the hierarchy levels above it; an existing
    // name gets the new flags. Null for an empty path.
    HDB_INSTANCE_NAME* add_name(const std::string& path, unsigned flags);
    // Makes `bus` a bus of one or two dimensions with generated members "name[i]" (and
    // "name[i][j]"), each carrying `flags`; false when it already has children.
    bool make_bus(HDB_INSTANCE_NAME* bus, const std::vector<std::pair<int, int>>& bounds, unsigned flags);
    // Appends a child with that short path below `parent` (no check for a taken name).
    HDB_INSTANCE_NAME* add_child(HDB_INSTANCE_NAME* parent, std::string short_path, unsigned flags);
    void set_assignment(int variable_type, const std::string& value);
    void add_design_unit(const std::string& entity, const std::string& file, int line);
    bool is_case_sensitive() const { return m_case_sensitive; }
    const std::string& root_name() const { return m_root->m_short_path; }
    size_t size() const { return m_by_short_path.size(); }

private:
    void fill_dimension(HDB_INSTANCE_NAME* bus, const std::vector<std::pair<int, int>>& bounds, size_t level,
                        unsigned flags);
    std::string key_of(std::string_view short_path) const;
    std::string_view strip_root(std::string_view name) const;

    HDB_NAME_STORE m_names; // every name of the netlist, the root first
    HDB_INSTANCE_NAME* m_root;
    bool m_case_sensitive;
    // Keyed by the names' own strings (m_key, or m_short_path when case-sensitive).
    HDB_NAME_INDEX m_by_short_path;
    std::unordered_map<int, std::unique_ptr<HDB_ASSIGNMENT>> m_assignments;
    std::unordered_map<std::string, std::unique_ptr<HDB_DESIGN_UNIT>> m_design_units;
};
