#pragma once
// The process-wide scratch buffer of sampled bus rows: one row of one byte per sample for
// every member of a bus. Constructing a SEDQ_BUS only makes sure the shared storage holds
// nitems rows of depth samples; the storage grows, is never shrunk, lives until the library
// unloads, and every SEDQ_BUS object is a view of it that stays valid until the next one is
// constructed. Rows are evenly spaced, at least depth bytes apart (long rows a little more,
// so that reading one sample across many rows does not thrash the cache).

#include <cstddef>

class SEDQ_BUS
{
public:
    // When the storage cannot be had, the object is empty (no rows) and the previous storage
    // is kept; is_valid() tells the caller not to read samples into it.
    SEDQ_BUS(int nitems, int depth);
    virtual ~SEDQ_BUS() = default;

    bool is_valid() const { return m_valid; }
    int get_nitems() const { return m_nitems; }
    int get_depth() const { return m_depth; }
    // One pointer per row, each to at least depth bytes; null for an empty bus.
    bool** get_data() const { return m_data; }
    bool* get_row(int row) const { return row >= 0 && row < m_nitems ? m_data[row] : nullptr; }

private:
    static bool reserve(size_t nitems, size_t depth);

    // Frees the shared storage when the library unloads: a host that loads and unloads the
    // library would otherwise lose the largest buffer it ever needed each time.
    struct STORAGE_RELEASE
    {
        ~STORAGE_RELEASE();
    };
    static STORAGE_RELEASE s_storage_release;

    bool** m_data = nullptr;
    int m_nitems = 0;
    int m_depth = 0;
    bool m_valid = false;

    static bool* s_data;
    static bool** s_return_array;
    static size_t s_max_data_size;
    static size_t s_max_array_size;
    static size_t s_last_sample_depth; // the row stride of the last layout
    static size_t s_last_nitems;
};
