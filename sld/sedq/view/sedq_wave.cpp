// The shared, grow-only sample buffers of one waveform and of its valid mask.
#include "sedq/view/sedq_wave.h"

#include "sedq/model/sedq_verify.h"

#include <cstdlib>

bool* SEDQ_WAVE::s_data = nullptr;
size_t SEDQ_WAVE::s_max_sample_depth = 0;
bool* SEDQ_WAVE_MASK::s_data = nullptr;
size_t SEDQ_WAVE_MASK::s_max_sample_depth = 0;

namespace
{
// Grows `*data` to at least `depth` zeroed bytes. The new block is had before the old one is
// freed, so a failed allocation leaves the buffer as it was.
bool grow(bool** data, size_t* size, int depth)
{
    if (!SEDQ_VERIFY(depth >= 0))
        return false;
    if (size_t(depth) <= *size)
        return true;
    bool* bigger = static_cast<bool*>(std::calloc(size_t(depth), 1));
    if (bigger == nullptr)
        return false;
    std::free(*data);
    *data = bigger;
    *size = size_t(depth);
    return true;
}
} // namespace

// Frees both buffers when the library unloads: a host that loads and unloads the library would
// otherwise lose the largest buffers it ever needed each time.
struct SEDQ_WAVE_STORAGE_RELEASE
{
    ~SEDQ_WAVE_STORAGE_RELEASE()
    {
        std::free(SEDQ_WAVE::s_data);
        std::free(SEDQ_WAVE_MASK::s_data);
        SEDQ_WAVE::s_data = SEDQ_WAVE_MASK::s_data = nullptr;
        SEDQ_WAVE::s_max_sample_depth = SEDQ_WAVE_MASK::s_max_sample_depth = 0;
    }
};
static SEDQ_WAVE_STORAGE_RELEASE s_wave_storage_release;

SEDQ_WAVE::SEDQ_WAVE(int depth) : m_valid(grow(&s_data, &s_max_sample_depth, depth)) {}

SEDQ_WAVE_MASK::SEDQ_WAVE_MASK(int depth) : m_valid(grow(&s_data, &s_max_sample_depth, depth)) {}
