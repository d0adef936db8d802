// Flat look-up table of the netlist database stand-in (see hdb_name_index.h).
#include "host/hdb_name_index.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <new>

namespace
{
constexpr size_t FIRST_CAPACITY = 64;
constexpr size_t FIRST_ARENA_BYTES = 4096;
constexpr size_t HUGE_PAGE = size_t(2) << 20;
constexpr size_t WORD = 8;

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
    m_slot_block = allocate(FIRST_CAPACITY * sizeof(SLOT));
    m_slots = static_cast<SLOT*>(m_slot_block.memory);
    m_capacity = FIRST_CAPACITY;
    m_arena = allocate(FIRST_ARENA_BYTES);
    m_arena_words = 1;
}

HDB_NAME_INDEX::~HDB_NAME_INDEX()
{
    std::free(m_slot_block.memory);
    std::free(m_arena.memory);
}

HDB_NAME_INDEX::BLOCK HDB_NAME_INDEX::allocate(size_t bytes)
{
    const bool huge = bytes >= HUGE_PAGE;
    const size_t alignment = huge ? HUGE_PAGE : 64;
    const size_t rounded = (bytes + alignment - 1) / alignment * alignment;
    void* memory = std::aligned_alloc(alignment, rounded);
    if (memory == nullptr)
        throw std::bad_alloc();
    if (huge)
        madvise(memory, rounded, MADV_HUGEPAGE);
    std::memset(memory, 0, rounded);
    return {memory, rounded};
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
        BLOCK larger = allocate(std::max(m_arena.bytes * 2, (m_arena_words + words) * WORD));
        std::memcpy(larger.memory, m_arena.memory, m_arena_words * WORD);
        std::free(m_arena.memory);
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
    const BLOCK old = m_slot_block;
    const SLOT* old_slots = m_slots;
    const size_t old_capacity = m_capacity;
    m_slot_block = allocate(m_capacity * 2 * sizeof(SLOT));
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
    std::free(old.memory);
}
