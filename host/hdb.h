#pragma once
// Host netlist hierarchy database: the design hierarchy of one netlist (pre-synthesis or
// post-fit) as a tree of instance names with their flag bits. Full names join the hierarchy
// levels with "|" and start with the root's name ("top|a|b"); a short path leaves the root
// out ("a|b").

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class HDB_INSTANCE_NAME_FLAG
{
public:
    explicit HDB_INSTANCE_NAME_FLAG(unsigned flags = 0) : m_flags(flags) {}
    bool test_flag(unsigned flag) const { return (m_flags & flag) == flag && flag != 0; }
    unsigned get() const { return m_flags; }

private:
    unsigned m_flags;
};

class HDB_INSTANCE_NAME
{
public:
    // The full name from the root ("top|a|b"); the root's own name for the root.
    std::string get_hpath_to_root() const;
    bool get_is_case_sensitive() const;
    // The full name without the root ("a|b"); the root's name for the root.
    void get_short_hpath(std::string* out, int format = 0) const;
    // The descendant whose short path is `name` (scope and flag are accepted and ignored).
    HDB_INSTANCE_NAME* find_in_descendants(const char* name, bool flag, int scope);
    HDB_INSTANCE_NAME* get_parent() const { return m_parent; }
    bool check_flag(unsigned flag) const { return get_flags().test_flag(flag); }
    HDB_INSTANCE_NAME_FLAG get_flags() const { return HDB_INSTANCE_NAME_FLAG(m_flags); }
    // Bus members in fixture order; a scalar has none.
    void get_members(std::vector<HDB_INSTANCE_NAME*>* members) const;
    // 0 for a scalar, else the number of dimensions of the bus.
    int size_dimension() const { return m_members.empty() ? 0 : 1; }

    // --- database internals ---------------------------------------------------------------
    std::string m_name;   // own level name
    unsigned m_flags = 0;
    HDB_INSTANCE_NAME* m_parent = nullptr;
    class HDB_NAMESPACE* m_namespace = nullptr;
    std::vector<std::unique_ptr<HDB_INSTANCE_NAME>> m_children;
    std::vector<HDB_INSTANCE_NAME*> m_members;
};

class HDB_NAMESPACE
{
public:
    enum PDB_FILE_TYPE
    {
        PDB_POST_FIT = 0,
        PDB_PRE_SYNTHESIS = 3
    };

    explicit HDB_NAMESPACE(const std::string& root_name, bool case_sensitive);
    ~HDB_NAMESPACE();
    HDB_NAMESPACE(const HDB_NAMESPACE&) = delete;
    HDB_NAMESPACE& operator=(const HDB_NAMESPACE&) = delete;

    HDB_INSTANCE_NAME* get_rooted_at() { return m_root.get(); }
    // By full name or short path; null when absent.
    HDB_INSTANCE_NAME* get_instance_name(const char* name);

    // --- database internals ---------------------------------------------------------------
    // Adds a name by full or short path, creating the levels above it; returns it.
    HDB_INSTANCE_NAME* add_name(const std::string& path, unsigned flags);
    bool is_case_sensitive() const { return m_case_sensitive; }
    std::string key_of(const std::string& short_path) const;

private:
    std::unique_ptr<HDB_INSTANCE_NAME> m_root;
    bool m_case_sensitive;
    std::unordered_map<std::string, HDB_INSTANCE_NAME*> m_by_short_path;
};
