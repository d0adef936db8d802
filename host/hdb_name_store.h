#pragma once
// Memory of the netlist database stand-in. A netlist of millions of names spreads them over far
// more memory than the address translation caches cover, so each look-up would pay a walk of the
// page tables: blocks large enough ask for huge pages. The store owns a netlist's names, built in
// place in such blocks. Internal to the database stand-in.

#include <cstddef>
#include <vector>

class HDB_INSTANCE_NAME;

// Zeroed memory aligned to a cache line, or to a huge page (and asking for huge pages) when the
// block is large enough for one. Throws std::bad_alloc.
struct HDB_BLOCK
{
    void* memory = nullptr;
    size_t bytes = 0;

    static HDB_BLOCK allocate(size_t bytes);
    void release();
};

// The names of one netlist, made in blocks of growing size: a name's address never changes, names
// made one after another lie side by side, and a name's first 16 bytes share one cache line.
// Every name is destroyed with the store, the last made first.
class HDB_NAME_STORE
{
public:
    HDB_NAME_STORE() = default;
    ~HDB_NAME_STORE();
    HDB_NAME_STORE(const HDB_NAME_STORE&) = delete;
    HDB_NAME_STORE& operator=(const HDB_NAME_STORE&) = delete;

    // A new, default-constructed name.
    HDB_INSTANCE_NAME* create();

private:
    struct FILLED_BLOCK
    {
        HDB_BLOCK block;
        size_t capacity; // names
        size_t used;
    };
    std::vector<FILLED_BLOCK> m_blocks;
};
