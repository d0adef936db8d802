// The shared, grow-only scratch buffer of sampled bus rows.
#include "sedq/model/sedq_bus.h"

#include "sedq/model/sedq_verify.h"

#include <cstdlib>

bool* SEDQ_BUS::s_data = nullptr;
bool** SEDQ_BUS::s_return_array = nullptr;
size_t SEDQ_BUS::s_max_data_size = 0;
size_t SEDQ_BUS::s_max_array_size = 0;
size_t SEDQ_BUS::s_last_sample_depth = 0;
size_t SEDQ_BUS::s_last_nitems = 0;

SEDQ_BUS::STORAGE_RELEASE::~STORAGE_RELEASE()
{
    std::free(s_data);
    std::free(s_return_array);
    s_data = nullptr;
    s_return_array = nullptr;
    s_max_data_size = s_max_array_size = s_last_sample_depth = s_last_nitems = 0;
}

SEDQ_BUS::SEDQ_BUS(int nitems, int depth)
{
    if (!SEDQ_VERIFY(nitems >= 0 && depth >= 0))
        return;
    // Both sizes come from int, so their product (below 2^62) cannot overflow size_t.
    if (!SEDQ_VERIFY(reserve(size_t(nitems), size_t(depth))))
        return;
    m_data = s_return_array;
    m_nitems = nitems;
    m_depth = depth;
    m_valid = true;
}

namespace
{
// Bytes from one row to the next. A bus value is read across the rows at one sample, one
// cache line per row; with a stride of a whole power of two (sample depths usually are) every
// row's line falls into the same few cache sets and they evict each other. A stride of an odd
// number of lines spreads them over all sets; short rows, which share lines, stay packed.
size_t row_stride(size_t depth)
{
    constexpr size_t LINE = 64;
    if (depth < 4 * LINE)
        return depth;
    return ((depth + LINE - 1) / LINE | 1) * LINE;
}
} // namespace

// Grows the storage for nitems rows of depth bytes. New storage is allocated before the old is
// given up, so a failed allocation leaves the previous rows exactly as they were.
bool SEDQ_BUS::reserve(size_t nitems, size_t depth)
{
    size_t stride = row_stride(depth);
    size_t data_size = nitems * stride;
    bool* data = s_data;
    bool** rows = s_return_array;
    if (data_size > s_max_data_size && !(data = static_cast<bool*>(std::calloc(data_size, 1))))
        return false;
    if (nitems > s_max_array_size && !(rows = static_cast<bool**>(std::calloc(nitems, sizeof(bool*)))))
    {
        if (data != s_data)
            std::free(data);
        return false;
    }
    bool grown = data != s_data || rows != s_return_array;
    if (data != s_data)
    {
        std::free(s_data);
        s_data = data;
        s_max_data_size = data_size;
    }
    if (rows != s_return_array)
    {
        std::free(s_return_array);
        s_return_array = rows;
        s_max_array_size = nitems;
    }
    // Smaller requests keep the larger stride of the last layout, which still fits.
    if (grown || stride > s_last_sample_depth || nitems > s_last_nitems)
    {
        for (size_t row = 0; row < nitems; ++row)
            s_return_array[row] = s_data + row * stride;
        s_last_sample_depth = stride;
        s_last_nitems = nitems;
    }
    return true;
}
