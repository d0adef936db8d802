#pragma once
// The look-up table of a netlist database: every key's bytes copied once into one contiguous
// arena (its hash, its name and the key, entry after entry), and a flat table of 8-byte slots
// (a 32-bit piece of the hash and the entry's place in the arena), probed linearly and kept at
// most half full. A key is hashed once; a look-up reads one slot (rarely two) and, on a match of
// the hash piece, one arena entry, which holds the name it answers with. A name the netlist lacks
// usually costs the slot alone. `find_all` works on many keys as a pipeline (hashing one key while
// the slot of an earlier one and the entry of a still earlier one are on their way), so that the
// waits on memory overlap instead of following one another. Slots and arena live in blocks that
// ask for huge pages when large. Internal to the database stand-in; a stored name's key must not
// change while it is indexed.

#include "host/hdb_name_store.h"

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
    // found[i] = find(keys[i]) for every i < count; each found name's first cache line is fetched.
    void find_all(const std::string_view* keys, size_t count, HDB_INSTANCE_NAME** found) const;
    // Adds the name under its key, replacing a name stored under the same key.
    void insert(HDB_INSTANCE_NAME* name);
    size_t size() const { return m_size; }

private:
    struct SLOT
    {
        uint32_t tag;   // the high half of the key's hash
        uint32_t entry; // the entry's place in the arena in 8-byte words; 0: free
    };
    // An arena entry; the key's bytes follow it, and the next entry starts at the next word.
    struct ENTRY
    {
        uint64_t hash;
        HDB_INSTANCE_NAME* name;
        uint64_t length;
    };

    static uint64_t hash_of(std::string_view key);
    const ENTRY& entry_at(uint32_t word) const;
    size_t slot_of(uint64_t hash, std::string_view key) const;
    uint32_t append_entry(uint64_t hash, HDB_INSTANCE_NAME* name, std::string_view key);
    void grow_slots();

    std::string HDB_INSTANCE_NAME::*m_key;
    HDB_BLOCK m_slot_block;
    SLOT* m_slots = nullptr;
    size_t m_capacity = 0; // a power of two
    size_t m_size = 0;
    HDB_BLOCK m_arena;
    size_t m_arena_words = 0; // in use, word 0 included (it stands for "free")
};
