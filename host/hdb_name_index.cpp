// Flat look-up table of the netlist database stand-in (see hdb_name_index.h).
#include "host/hdb_name_index.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <new>

namespace
{
constexpr size_t FIRST_CAPACITY = 64;
constexpr size_t FIRST_ARENA_BYTES = 4096;
constexpr size_t WORD = 8;
// How many keys `find_all` works ahead between fetching a line and reading it: enough to cover
// a memory latency with the work on the others, few enough that the line is still in the
// first-level cache when read.
constexpr size_t AHEAD = 8;
constexpr size_t HASHES_KEPT = 2 * AHEAD + 1;

size_t words_for(size_t bytes)
{
    return (bytes + WORD - 1) / WORD;
}

uint32_t tag_of(uint64_t hash)
{
    return uint32_t(hash >> 32);
}
} // namespace

HDB_NAME_INDEX::HDB_NAME_INDEX(std::string HDB_INSTANCE_NAME::*key) : m_key(key)
{
    m_slot_block = HDB_BLOCK::allocate(FIRST_CAPACITY * sizeof(SLOT));
    m_slots = static_cast<SLOT*>(m_slot_block.memory);
    m_capacity = FIRST_CAPACITY;
    m_arena = HDB_BLOCK::allocate(FIRST_ARENA_BYTES);
    m_arena_words = 1;
}

HDB_NAME_INDEX::~HDB_NAME_INDEX()
{
    m_slot_block.release();
    m_arena.release();
}

uint64_t HDB_NAME_INDEX::hash_of(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

const HDB_NAME_INDEX::ENTRY& HDB_NAME_INDEX::entry_at(uint32_t word) const
{
    return *reinterpret_cast<const ENTRY*>(static_cast<const char*>(m_arena.memory) + size_t(word) * WORD);
}

// The slot holding the key, or the free slot where it belongs.
size_t HDB_NAME_INDEX::slot_of(uint64_t hash, std::string_view key) const
{
    const size_t mask = m_capacity - 1;
    const uint32_t tag = tag_of(hash);
    for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask)
    {
        const SLOT slot = m_slots[i];
        if (slot.entry == 0)
            return i;
        if (slot.tag != tag)
            continue;
        const ENTRY& entry = entry_at(slot.entry);
        if (entry.hash == hash && entry.length == key.size() &&
            std::memcmp(reinterpret_cast<const char*>(&entry + 1), key.data(), key.size()) == 0)
            return i;
    }
}

HDB_INSTANCE_NAME* HDB_NAME_INDEX::find(std::string_view key) const
{
    const SLOT slot = m_slots[slot_of(hash_of(key), key)];
    return slot.entry == 0 ? nullptr : entry_at(slot.entry).name;
}

void HDB_NAME_INDEX::find_all(const std::string_view* keys, size_t count, HDB_INSTANCE_NAME** found) const
{
    // A pipeline: while key i is hashed and its first slot fetched, the entry of key i - AHEAD
    // (whose slot has arrived) is fetched, and key i - 2 * AHEAD (whose entry has arrived) is
    // compared and its name fetched.
    const size_t mask = m_capacity - 1;
    uint64_t hashes[HASHES_KEPT];
    for (size_t i = 0; i < count + 2 * AHEAD; ++i)
    {
        if (i < count)
        {
            const uint64_t hash = hash_of(keys[i]);
            hashes[i % HASHES_KEPT] = hash;
            __builtin_prefetch(&m_slots[size_t(hash) & mask]);
        }
        if (i >= AHEAD && i - AHEAD < count)
        {
            const size_t k = i - AHEAD;
            const uint64_t hash = hashes[k % HASHES_KEPT];
            const SLOT slot = m_slots[size_t(hash) & mask];
            if (slot.entry != 0 && slot.tag == tag_of(hash))
            {
                // The entry's header and the end of its key bytes.
                const char* entry = reinterpret_cast<const char*>(&entry_at(slot.entry));
                __builtin_prefetch(entry);
                __builtin_prefetch(entry + sizeof(ENTRY) + keys[k].size());
            }
        }
        if (i >= 2 * AHEAD)
        {
            const size_t k = i - 2 * AHEAD;
            const SLOT slot = m_slots[slot_of(hashes[k % HASHES_KEPT], keys[k])];
            found[k] = slot.entry == 0 ? nullptr : entry_at(slot.entry).name;
        }
    }
}

void HDB_NAME_INDEX::insert(HDB_INSTANCE_NAME* name)
{
    if (2 * (m_size + 1) > m_capacity)
        grow_slots();
    const std::string_view key = name->*m_key;
    const uint64_t hash = hash_of(key);
    SLOT& slot = m_slots[slot_of(hash, key)];
    if (slot.entry != 0)
    {
        reinterpret_cast<ENTRY*>(static_cast<char*>(m_arena.memory) + size_t(slot.entry) * WORD)->name = name;
        return;
    }
    slot = {tag_of(hash), append_entry(hash, name, key)};
    ++m_size;
}

// Copies the entry to the arena's end, doubling the arena when it is full; its place in words.
uint32_t HDB_NAME_INDEX::append_entry(uint64_t hash, HDB_INSTANCE_NAME* name, std::string_view key)
{
    const size_t words = words_for(sizeof(ENTRY) + key.size());
    if (m_arena_words + words > std::numeric_limits<uint32_t>::max())
        throw std::bad_alloc();
    if ((m_arena_words + words) * WORD > m_arena.bytes)
    {
        HDB_BLOCK larger = HDB_BLOCK::allocate(std::max(m_arena.bytes * 2, (m_arena_words + words) * WORD));
        std::memcpy(larger.memory, m_arena.memory, m_arena_words * WORD);
        m_arena.release();
        m_arena = larger;
    }
    char* at = static_cast<char*>(m_arena.memory) + m_arena_words * WORD;
    const ENTRY entry{hash, name, key.size()};
    std::memcpy(at, &entry, sizeof entry);
    std::memcpy(at + sizeof entry, key.data(), key.size());
    const uint32_t place = uint32_t(m_arena_words);
    m_arena_words += words;
    return place;
}

// Doubles the table; every entry goes to its slot again by the hash kept in the arena.
void HDB_NAME_INDEX::grow_slots()
{
    HDB_BLOCK old = m_slot_block;
    const SLOT* old_slots = m_slots;
    const size_t old_capacity = m_capacity;
    m_slot_block = HDB_BLOCK::allocate(m_capacity * 2 * sizeof(SLOT));
    m_slots = static_cast<SLOT*>(m_slot_block.memory);
    m_capacity *= 2;
    const size_t mask = m_capacity - 1;
    for (size_t s = 0; s < old_capacity; ++s)
    {
        if (old_slots[s].entry == 0)
            continue;
        size_t i = size_t(entry_at(old_slots[s].entry).hash) & mask;
        while (m_slots[i].entry != 0)
            i = (i + 1) & mask;
        m_slots[i] = old_slots[s];
    }
    old.release();
}
