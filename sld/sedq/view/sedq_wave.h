#pragma once
// The process-wide scratch buffers of one sampled signal: SEDQ_WAVE holds one byte per sample
// of a node's waveform, SEDQ_WAVE_MASK one byte per sample telling whether the sample is
// valid. Constructing one only makes sure its shared storage holds `depth` samples; the
// storage grows (zero-filled), is never shrunk and lives until the library unloads, so painting,
// printing and searching allocate nothing once the largest depth has been seen. One user at a
// time: the GUI thread paints or searches one thing after the other.

#include <cstddef>

// The storage of one kind of buffer; each kind (the derived class) has its own.
template <class KIND> class SEDQ_SAMPLE_BUFFER
{
public:
    // When the storage cannot be had the object is empty (is_valid() false) and the previous
    // storage is kept.
    explicit SEDQ_SAMPLE_BUFFER(int depth);
    virtual ~SEDQ_SAMPLE_BUFFER() = default;

    bool is_valid() const { return m_valid; }
    // At least `depth` bytes; null for an empty object.
    bool* get_data() const { return m_valid ? s_data : nullptr; }
    static size_t get_max_sample_depth() { return s_max_sample_depth; }
    // Frees the storage (the library unloading).
    static void release();

private:
    bool m_valid = false;
    static bool* s_data;
    static size_t s_max_sample_depth;
};

class SEDQ_WAVE : public SEDQ_SAMPLE_BUFFER<SEDQ_WAVE>
{
public:
    explicit SEDQ_WAVE(int depth) : SEDQ_SAMPLE_BUFFER<SEDQ_WAVE>(depth) {}
};

class SEDQ_WAVE_MASK : public SEDQ_SAMPLE_BUFFER<SEDQ_WAVE_MASK>
{
public:
    explicit SEDQ_WAVE_MASK(int depth) : SEDQ_SAMPLE_BUFFER<SEDQ_WAVE_MASK>(depth) {}
};

extern template class SEDQ_SAMPLE_BUFFER<SEDQ_WAVE>;
extern template class SEDQ_SAMPLE_BUFFER<SEDQ_WAVE_MASK>;
