// Memory blocks and the name store of the netlist database stand-in (see hdb_name_store.h).
#include "host/hdb_name_store.h"

#include "host/hdb.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
constexpr size_t HUGE_PAGE = size_t(2) << 20;
constexpr size_t LINE = 64;
constexpr size_t FIRST_NAMES = 64;
// Blocks stop doubling here (a few huge pages each), so the unused end of the last one stays small.
constexpr size_t MOST_BLOCK_BYTES = size_t(8) << 20;
// A multiple of 16 keeps a name's first 16 bytes (what a look-up reads) on one cache line.
constexpr size_t STRIDE = (sizeof(HDB_INSTANCE_NAME) + 15) / 16 * 16;
} // namespace

HDB_BLOCK HDB_BLOCK::allocate(size_t bytes)
{
    const bool huge = bytes >= HUGE_PAGE;
    const size_t alignment = huge ? HUGE_PAGE : LINE;
    const size_t rounded = (bytes + alignment - 1) / alignment * alignment;
    void* memory = std::aligned_alloc(alignment, rounded);
    if (memory == nullptr)
        throw std::bad_alloc();
    if (huge)
        madvise(memory, rounded, MADV_HUGEPAGE);
    std::memset(memory, 0, rounded);
    return {memory, rounded};
}

void HDB_BLOCK::release()
{
    std::free(memory);
    memory = nullptr;
    bytes = 0;
}

HDB_NAME_STORE::~HDB_NAME_STORE()
{
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block)
    {
        char* base = static_cast<char*>(block->block.memory);
        for (size_t i = block->used; i-- > 0;)
            reinterpret_cast<HDB_INSTANCE_NAME*>(base + i * STRIDE)->~HDB_INSTANCE_NAME();
        block->block.release();
    }
}

HDB_INSTANCE_NAME* HDB_NAME_STORE::create()
{
    if (m_blocks.empty() || m_blocks.back().used == m_blocks.back().capacity)
    {
        m_blocks.reserve(m_blocks.size() + 1);
        const size_t bytes = m_blocks.empty() ? FIRST_NAMES * STRIDE
                                              : std::min(m_blocks.back().block.bytes * 2, MOST_BLOCK_BYTES);
        const HDB_BLOCK block = HDB_BLOCK::allocate(bytes);
        m_blocks.push_back({block, block.bytes / STRIDE, 0});
    }
    FILLED_BLOCK& block = m_blocks.back();
    void* place = static_cast<char*>(block.block.memory) + block.used * STRIDE;
    HDB_INSTANCE_NAME* name = new (place) HDB_INSTANCE_NAME();
    ++block.used;
    return name;
}
