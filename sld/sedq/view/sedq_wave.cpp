// The shared, grow-only sample buffers of one waveform and of its valid mask.
#include "sedq/view/sedq_wave.h"

#include "sedq/model/sedq_verify.h"

#include <cstdlib>

template <class KIND> bool* SEDQ_SAMPLE_BUFFER<KIND>::s_data = nullptr;
template <class KIND> size_t SEDQ_SAMPLE_BUFFER<KIND>::s_max_sample_depth = 0;

// The new block is had before the old one is freed, so a failed allocation leaves the buffer as
// it was.
template <class KIND> SEDQ_SAMPLE_BUFFER<KIND>::SEDQ_SAMPLE_BUFFER(int depth)
{
    if (!SEDQ_VERIFY(depth >= 0))
        return;
    if (size_t(depth) > s_max_sample_depth)
    {
        bool* bigger = static_cast<bool*>(std::calloc(size_t(depth), 1));
        if (bigger == nullptr)
            return;
        std::free(s_data);
        s_data = bigger;
        s_max_sample_depth = size_t(depth);
    }
    m_valid = true;
}

template <class KIND> void SEDQ_SAMPLE_BUFFER<KIND>::release()
{
    std::free(s_data);
    s_data = nullptr;
    s_max_sample_depth = 0;
}

template class SEDQ_SAMPLE_BUFFER<SEDQ_WAVE>;
template class SEDQ_SAMPLE_BUFFER<SEDQ_WAVE_MASK>;

namespace
{
// Frees both buffers when the library unloads: a host that loads and unloads the library would
// otherwise lose the largest buffers it ever needed each time.
struct STORAGE_RELEASE
{
    ~STORAGE_RELEASE()
    {
        SEDQ_WAVE::release();
        SEDQ_WAVE_MASK::release();
    }
} s_storage_release;
} // namespace
