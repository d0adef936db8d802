#pragma once
// Host keypoint databases: what the fitter kept of the design's registers, read from the keypoint
// files of a compiled project revision ("<rev>.map.kpt" after synthesis, "<rev>.cmp.kpt" after
// fitting). A database holds register transformations; one of kind 0x200 is a state machine:
// its state registers and its state table (per state, the value of each state register).
// Databases are kept by name in one manager; a name can be loaded once at a time. Names in the
// files separate hierarchy levels with "/".

#include <memory>
#include <string>
#include <vector>

class KPT_KEYPOINTS_DB;

class KPT_REGISTER_KEYPOINT
{
public:
    explicit KPT_REGISTER_KEYPOINT(std::string name) : m_name(std::move(name)) {}
    const char* get_name() const { return m_name.c_str(); }
    void set_name(std::string name) { m_name = std::move(name); }

private:
    std::string m_name;
};

class KPT_STATE_TABLE
{
public:
    struct STATE
    {
        std::string name;
        std::vector<int> entries; // one per state register
    };

    const char* get_fsm_name() const { return m_fsm_name.c_str(); }
    int get_number_of_states() const { return int(m_states.size()); }
    // State s counts from 1; null outside 1 .. number of states.
    const char* get_state_name(int s) const;
    // The value of state register k (from 1) in state s (from 1): 0, 1 or another code the
    // fitter uses for a register that holds no fixed value; -1 outside the table.
    int get_transformed_entry(int s, int k) const;

    std::string m_fsm_name;
    std::vector<STATE> m_states;
};

class KPT_REGISTER_TRANSFORMATION
{
public:
    KPT_STATE_TABLE* get_state_table() { return &m_state_table; }
    // The number of state registers.
    int get_state_transformed_size() const { return int(m_registers.size()); }
    // State register k, counting from 1; null outside 1 .. size.
    KPT_REGISTER_KEYPOINT* get_transformed(int k);

    KPT_STATE_TABLE m_state_table;
    std::vector<KPT_REGISTER_KEYPOINT> m_registers;
    unsigned m_kind = 0x200;
};

class KPT_TRANSFORMATION_SET
{
public:
    std::vector<std::unique_ptr<KPT_REGISTER_TRANSFORMATION>> m_transformations;
};

// Walks the transformations of one kind in file order: for (it.first(); !it.done(); it.next()).
class KPT_TRANSFORMATION_SET_REGISTER_ITERATOR
{
public:
    explicit KPT_TRANSFORMATION_SET_REGISTER_ITERATOR(KPT_TRANSFORMATION_SET* set, unsigned kind = 0x200);
    void first();
    bool done() const;
    void next();
    KPT_REGISTER_TRANSFORMATION* item() const;

private:
    void skip_other_kinds();

    KPT_TRANSFORMATION_SET* m_set;
    unsigned m_kind;
    size_t m_index = 0;
};

class KPT_KEYPOINTS_DB
{
public:
    explicit KPT_KEYPOINTS_DB(std::string name) : m_name(std::move(name)) {}
    const std::string& get_name() const { return m_name; }
    KPT_TRANSFORMATION_SET* get_transformation_set() { return &m_set; }
    // Applies the renames the other database (a later compile stage) made of registers and
    // machines to this one's names. `name` labels the composition and changes nothing here.
    void compose_on_transformed(KPT_KEYPOINTS_DB* other, const std::string& name);

    // Renames this database passes on to the ones composed on it: (old, new), in file order.
    std::vector<std::pair<std::string, std::string>> m_renames;

private:
    std::string m_name;
    KPT_TRANSFORMATION_SET m_set;
};

class KPT_KEYPOINTS_MANAGER
{
public:
    static KPT_KEYPOINTS_MANAGER* get_instance();

    // Reads a keypoint file and keeps the database under `name`. Null when the file is missing
    // or cannot be read, and when `name` is taken by a database loaded before. A database loaded
    // under the empty name has no name to be destroyed by and stays until the host ends.
    KPT_KEYPOINTS_DB* load_keypoints_db(const std::string& path, const std::string& name);
    // Frees the database kept under `name`; false for "" and for a name not loaded.
    bool destroy_keypoints_db(const std::string& name);
};
