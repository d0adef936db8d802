#pragma once
// The look-up table of a netlist database: names by key in one flat table of (hash, name)
// slots, probed linearly and kept at most half full. A look-up reads one slot (two for a rare
// collision) and, on a hash match, the name's key; a name the netlist lacks usually costs the
// slot alone. A large table asks for huge pages, so that look-ups in a netlist of millions of
// names do not each pay a walk of the page tables. Internal to the database stand-in.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class HDB_INSTANCE_NAME;

class HDB_NAME_INDEX
{
public:
    // Each name's key is the string member `key` of the name.
    explicit HDB_NAME_INDEX(std::string HDB_INSTANCE_NAME::*key);
    ~HDB_NAME_INDEX();
    HDB_NAME_INDEX(const HDB_NAME_INDEX&) = delete;
    HDB_NAME_INDEX& operator=(const HDB_NAME_INDEX&) = delete;

    HDB_INSTANCE_NAME* find(std::string_view key) const;
    // Adds the name under its key, replacing a name stored under the same key.
    void insert(HDB_INSTANCE_NAME* name);
    size_t size() const { return m_size; }

private:
    struct SLOT
    {
        uint64_t hash;
        HDB_INSTANCE_NAME* name; // null: free
    };

    static uint64_t hash_of(std::string_view key);
    size_t slot_of(uint64_t hash, std::string_view key) const;
    void grow();
    void allocate(size_t capacity);

    std::string HDB_INSTANCE_NAME::*m_key;
    SLOT* m_slots = nullptr;
    size_t m_capacity = 0; // a power of two
    size_t m_size = 0;
};
