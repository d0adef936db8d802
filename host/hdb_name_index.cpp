// Flat look-up table of the netlist database stand-in (see hdb_name_index.h).
#include "host/hdb_name_index.h"

#include "host/hdb.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace
{
constexpr size_t FIRST_CAPACITY = 64;
constexpr size_t HUGE_PAGE = size_t(2) << 20;
} // namespace

HDB_NAME_INDEX::HDB_NAME_INDEX(std::string HDB_INSTANCE_NAME::*key) : m_key(key)
{
    allocate(FIRST_CAPACITY);
}

HDB_NAME_INDEX::~HDB_NAME_INDEX()
{
    std::free(m_slots);
}

uint64_t HDB_NAME_INDEX::hash_of(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

// The slot holding the key, or the free slot where it belongs.
size_t HDB_NAME_INDEX::slot_of(uint64_t hash, std::string_view key) const
{
    const size_t mask = m_capacity - 1;
    for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask)
    {
        const SLOT& slot = m_slots[i];
        if (slot.name == nullptr || (slot.hash == hash && slot.name->*m_key == key))
            return i;
    }
}

HDB_INSTANCE_NAME* HDB_NAME_INDEX::find(std::string_view key) const
{
    return m_slots[slot_of(hash_of(key), key)].name;
}

void HDB_NAME_INDEX::insert(HDB_INSTANCE_NAME* name)
{
    if (2 * (m_size + 1) > m_capacity)
        grow();
    const std::string_view key = name->*m_key;
    const uint64_t hash = hash_of(key);
    SLOT& slot = m_slots[slot_of(hash, key)];
    m_size += slot.name == nullptr ? 1 : 0;
    slot = {hash, name};
}

void HDB_NAME_INDEX::allocate(size_t capacity)
{
    const size_t bytes = capacity * sizeof(SLOT);
    const bool huge = bytes >= HUGE_PAGE;
    void* memory = std::aligned_alloc(huge ? HUGE_PAGE : alignof(SLOT), bytes);
    if (memory == nullptr)
        throw std::bad_alloc();
    if (huge)
        madvise(memory, bytes, MADV_HUGEPAGE);
    std::memset(memory, 0, bytes);
    m_slots = static_cast<SLOT*>(memory);
    m_capacity = capacity;
}

void HDB_NAME_INDEX::grow()
{
    SLOT* old = m_slots;
    const size_t old_capacity = m_capacity;
    allocate(m_capacity * 2);
    for (size_t i = 0; i < old_capacity; ++i)
    {
        if (old[i].name != nullptr)
            m_slots[slot_of(old[i].hash, old[i].name->*m_key)] = old[i];
    }
    std::free(old);
}
