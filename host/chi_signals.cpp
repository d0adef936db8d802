// Signal sources of a run and the generation of their sample rows. A row is built 64 samples a
// word in the stimulus's own time (so a source that reads its stimulus some samples ahead costs
// nothing extra): periodic bits generate one period and copy it, random values are expanded
// block by block, everything else walks from one change of the bit to the next. The words are
// then shifted into the packed row of the log.
#include "host/chi_private.h"

#include "host/standin/project_control.h"

#include <QJsonObject>

#include <algorithm>
#include <climits>
#include <cstring>
#include <numeric>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "rows are copied from words byte by byte");

namespace chi_detail
{
namespace
{
constexpr int64_t NEVER = INT64_MAX;
// Generating one period of a bit and copying it pays off up to this many words.
constexpr size_t MAX_SPAN_WORDS = size_t(1) << 20;
// Random values are made this many at a time, in a buffer that stays in the cache.
constexpr size_t VALUE_CHUNK = 512;

// "a[3]" -> 3; -1 when the name does not end in an index.
int trailing_index(const std::string& name)
{
    if (name.size() < 3 || name.back() != ']')
        return -1;
    const size_t open = name.rfind('[');
    if (open == std::string::npos || open + 2 > name.size() - 1)
        return -1;
    int index = 0;
    for (size_t i = open + 1; i + 1 < name.size(); ++i)
    {
        if (name[i] < '0' || name[i] > '9' || index > (1 << 24))
            return -1;
        index = index * 10 + (name[i] - '0');
    }
    return index;
}

uint32_t name_hash(const std::string& name)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

standin::stimulus parsed(const QJsonObject& description)
{
    standin::stimulus result;
    std::string error;
    standin::stimulus::parse(description, "default", &result, &error);
    return result;
}

// Sets bits [from, to) of a word array.
void set_bits(uint64_t* words, int64_t from, int64_t to)
{
    const int64_t first = from >> 6;
    const int64_t last = (to - 1) >> 6;
    const uint64_t head = ~uint64_t(0) << (from & 63);
    const uint64_t tail = ~uint64_t(0) >> (63 - ((to - 1) & 63));
    if (first == last)
    {
        words[first] |= head & tail;
        return;
    }
    words[first] |= head;
    std::fill(words + first + 1, words + last, ~uint64_t(0));
    words[last] |= tail;
}

// Bit `bit` (0..7) of each of `count` bytes, packed LSB first: the bit is moved to the top
// of each byte and the tops of 16 (or, with AVX2, 32) bytes are read at once.
#if defined(__x86_64__)
__attribute__((target("avx2"))) size_t gather_bit_avx2(const uint8_t* bytes, size_t count, int bit, uint64_t* out)
{
    const __m128i to_top = _mm_cvtsi32_si128(7 - bit);
    size_t j = 0;
    for (; j + 32 <= count; j += 32)
    {
        const __m256i v = _mm256_sll_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + j)), to_top);
        out[j / 64] |= uint64_t(uint32_t(_mm256_movemask_epi8(v))) << (j % 64);
    }
    return j;
}
#endif

void gather_bit(const uint8_t* bytes, size_t count, int bit, uint64_t* out)
{
    size_t j = 0;
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        j = gather_bit_avx2(bytes, count, bit, out);
#endif
#if defined(__SSE2__)
    const __m128i to_top = _mm_cvtsi32_si128(7 - bit);
    for (; j + 16 <= count; j += 16)
    {
        const __m128i v = _mm_sll_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + j)), to_top);
        out[j / 64] |= uint64_t(unsigned(_mm_movemask_epi8(v)) & 0xffffu) << (j % 64);
    }
#endif
    for (; j < count; ++j)
        out[j / 64] |= uint64_t((bytes[j] >> bit) & 1u) << (j % 64);
}

// The bits of `in` from bit `shift` on, as `bytes` bytes (in holds one word more than needed).
void shift_words(const uint64_t* in, int shift, size_t bytes, unsigned char* out)
{
    const size_t whole = bytes / 8;
    if (shift == 0)
    {
        std::memcpy(out, in, bytes);
        return;
    }
    for (size_t i = 0; i < whole; ++i)
    {
        const uint64_t word = (in[i] >> shift) | (in[i + 1] << (64 - shift));
        std::memcpy(out + i * 8, &word, 8);
    }
    if (bytes % 8 != 0)
    {
        const uint64_t word = (in[whole] >> shift) | (in[whole + 1] << (64 - shift));
        std::memcpy(out + whole * 8, &word, bytes % 8);
    }
}

// Clears the bits from `from` to the end of the first `count` words.
void clear_bits_from(uint64_t* words, int64_t from, size_t count)
{
    if (from % 64 != 0)
        words[from / 64] &= (uint64_t(1) << (from % 64)) - 1;
    for (size_t w = size_t((from + 63) / 64); w < count; ++w)
        words[w] = 0;
}

// Copies the first `length` bits of the array to bit `at` (at >= length); the bits from `at`
// on are clear.
void copy_bits(uint64_t* words, int64_t at, int64_t length)
{
    const int shift = int(at % 64);
    const int64_t to = at / 64;
    for (int64_t w = 0; w * 64 < length; ++w)
    {
        const int64_t left = length - w * 64;
        const uint64_t bits = left >= 64 ? words[w] : words[w] & ((uint64_t(1) << left) - 1);
        words[to + w] |= bits << shift;
        if (shift != 0 && (left > 64 - shift))
            words[to + w + 1] |= bits >> (64 - shift);
    }
}

// Each bit of a byte repeated `every` (1, 2, 4 or 8) times: a byte of blocks gives `every`
// bytes of samples.
struct expansion
{
    uint64_t bytes[4][256];
    expansion()
    {
        for (int e = 0; e < 4; ++e)
            for (int b = 0; b < 256; ++b)
            {
                uint64_t out = 0;
                const int width = 1 << e;
                for (int i = 0; i < 8; ++i)
                    if ((b >> i) & 1)
                        out |= ((width == 64 ? ~uint64_t(0) : (uint64_t(1) << width) - 1)) << (i * width);
                bytes[e][b] = out;
            }
    }
};

template <int EVERY>
void expand_bytes(const unsigned char* in, size_t in_bytes, const uint64_t* table, unsigned char* out)
{
    for (size_t i = 0; i < in_bytes; ++i)
    {
        const uint64_t expanded = table[in[i]];
        std::memcpy(out + i * EVERY, &expanded, EVERY);
    }
}

template <typename UNIT>
void fill_units(const uint64_t* bits, size_t blocks, unsigned char* out)
{
    for (size_t j = 0; j < blocks; ++j)
    {
        const UNIT unit = UNIT(0) - UNIT((bits[j / 64] >> (j % 64)) & 1u);
        std::memcpy(out + j * sizeof(UNIT), &unit, sizeof(UNIT));
    }
}

void expand_blocks(const uint64_t* bits, int every, size_t count, uint64_t* words)
{
    static const expansion table;
    const auto* in = reinterpret_cast<const unsigned char*>(bits);
    auto* out = reinterpret_cast<unsigned char*>(words);
    const size_t in_bytes = every <= 8 ? count * 8 / size_t(every) : 0;
    switch (every)
    {
    case 1:
        std::memcpy(out, in, in_bytes);
        return;
    case 2:
        return expand_bytes<2>(in, in_bytes, table.bytes[1], out);
    case 4:
        return expand_bytes<4>(in, in_bytes, table.bytes[2], out);
    case 8:
        return expand_bytes<8>(in, in_bytes, table.bytes[3], out);
    default:
        break;
    }
    // Blocks of 16, 32 or 64 samples: a unit of ones or zeros per block.
    const size_t blocks = count * 64 / size_t(every);
    if (every == 16)
        return fill_units<uint16_t>(bits, blocks, out);
    if (every == 32)
        return fill_units<uint32_t>(bits, blocks, out);
    fill_units<uint64_t>(bits, blocks, out);
}

// Each bit of a byte repeated `every` (3 to 7) times.
struct stretching
{
    uint64_t bytes[8][256] = {};
    stretching()
    {
        for (int e = 3; e < 8; ++e)
            for (unsigned b = 0; b < 256; ++b)
                for (int i = 0; i < 8; ++i)
                    if ((b >> i) & 1u)
                        bytes[e][b] |= ((uint64_t(1) << e) - 1) << (i * e);
    }
};

// Blocks of `every` (< 64) samples, the first `into` samples of the first block already past.
// Each block's samples (eight blocks' at once for blocks under 8 samples) are appended to the
// word being filled; the state stays in locals so it lives in registers.
void pack_blocks(const uint64_t* bits, int every, int into, size_t count, uint64_t* words)
{
    static const stretching tables;
    const uint64_t block_mask = (uint64_t(1) << every) - 1;
    const uint64_t* stretch = tables.bytes[every < 8 ? every : 0];
    uint64_t word = 0;
    int filled = 0;
    size_t w = 0;
    auto append = [&](uint64_t run, int length) {
        word |= run << filled;
        filled += length;
        if (filled >= 64)
        {
            words[w++] = word;
            filled -= 64;
            word = filled > 0 ? run >> (length - filled) : 0;
        }
    };
    auto block = [bits](size_t j) { return (bits[j / 64] >> (j % 64)) & 1u; };
    append((0 - block(0)) & (block_mask >> into), every - into);
    size_t j = 1;
    for (; every < 8 && w < count && j % 8 != 0; ++j)
        append((0 - block(j)) & block_mask, every);
    for (; every < 8 && w < count; j += 8)
        append(stretch[(bits[j / 64] >> (j % 64)) & 0xffu], 8 * every);
    for (; w < count; ++j)
        append((0 - block(j)) & block_mask, every);
}
} // namespace

int signal_bank::add_stimulus(const standin::stimulus* stimulus)
{
    const auto found = m_stimulus_index.find(stimulus);
    if (found != m_stimulus_index.end())
        return found->second;
    m_stimuli.push_back(*stimulus);
    const int index = int(m_stimuli.size()) - 1;
    m_stimulus_index[stimulus] = index;
    return index;
}

int signal_bank::add_signal(const std::string& name)
{
    signal_source source;
    standin::project::signal_drive drive;
    const int index = trailing_index(name);
    if (standin::project::resolve_signal(name, &drive))
    {
        source.stimulus = add_stimulus(drive.source);
        source.bit = drive.bit % 64;
        source.offset = drive.offset;
        source.state = drive.state;
    }
    else if (index >= 0)
    {
        // A bus bit the design gives no stimulus counts like bit k of a free-running counter.
        static const standin::stimulus counter = parsed(QJsonObject{{"kind", "counter"}});
        source.stimulus = add_stimulus(&counter);
        source.bit = index % 64;
    }
    else
    {
        m_stimuli.push_back(parsed(QJsonObject{{"kind", "random"},
                                               {"seed", int(name_hash(name) & 0x3fffffff)},
                                               {"every", 16}}));
        source.stimulus = int(m_stimuli.size()) - 1;
    }
    m_sources.push_back(source);
    return int(m_sources.size()) - 1;
}

int signal_bank::add_low()
{
    m_sources.push_back(signal_source());
    return int(m_sources.size()) - 1;
}

bool signal_bank::bit(int source, int64_t sample) const
{
    const signal_source& s = m_sources[size_t(source)];
    if (s.stimulus < 0)
        return false;
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    if (s.state >= 0)
        return st.state_at(sample + s.offset) == s.state;
    return (st.value(sample + s.offset) >> s.bit) & 1u;
}

void signal_bank::share_stimulus(compare_term* term) const
{
    term->stimulus = -1;
    term->bits.clear();
    for (int source : term->sources)
    {
        const signal_source& s = m_sources[size_t(source)];
        if (s.stimulus < 0 || s.state >= 0 || (!term->bits.empty() && (s.stimulus != term->stimulus || s.offset != term->offset)))
        {
            term->stimulus = -1;
            term->bits.clear();
            return;
        }
        term->stimulus = s.stimulus;
        term->offset = s.offset;
        term->bits.push_back(s.bit);
    }
    term->lowest_bit = term->bits.empty() ? 0 : *std::min_element(term->bits.begin(), term->bits.end());
    term->field = !term->bits.empty() && term->bits.size() < 63;
    for (size_t i = 0; term->field && i < term->bits.size(); ++i)
        term->field = term->bits[i] == term->lowest_bit + int(term->bits.size() - 1 - i);
}

uint64_t signal_bank::stimulus_value(int stimulus, int64_t sample) const
{
    return m_stimuli[size_t(stimulus)].value(sample);
}

int64_t signal_bank::stimulus_next_change(int stimulus, int64_t sample, int bit) const
{
    return m_stimuli[size_t(stimulus)].next_change(sample, bit);
}

int64_t signal_bank::next_change(int source, int64_t sample) const
{
    const signal_source& s = m_sources[size_t(source)];
    if (s.stimulus < 0)
        return NEVER;
    const int64_t next = m_stimuli[size_t(s.stimulus)].next_change(sample + s.offset, s.bit);
    return next == NEVER ? NEVER : next - s.offset;
}

void signal_bank::fill_row(int source, int64_t first, int depth, unsigned char* row, row_scratch* scratch) const
{
    if (depth <= 0)
        return;
    const signal_source& s = m_sources[size_t(source)];
    const int64_t start = first + s.offset;
    const int64_t aligned = start & ~int64_t(63);
    const int shift = int(start - aligned);
    const size_t count = size_t((shift + int64_t(depth) + 63) / 64);
    const size_t bytes = size_t(depth + 7) / 8;
    const size_t span = periodic_span(s, count);
    // A periodic row is made of one period, copied; its shifted words are periodic as well.
    const size_t words = span != 0 ? span : count;
    scratch->words.assign(words + 1, 0);
    if (span != 0)
    {
        if (s.stimulus >= 0)
            fill_period(s, aligned, span, scratch->words.data());
        scratch->words[span] = scratch->words[0];
    }
    else
    {
        fill_words(s, aligned, count, scratch);
    }
    const uint64_t* in = scratch->words.data();
    const size_t made = std::min(bytes, words * 8);
    shift_words(in, shift, made, row);
    for (size_t have = made; have < bytes;)
    {
        const size_t n = std::min(have, bytes - have);
        std::memcpy(row + have, row, n);
        have += n;
    }
    if (depth % 8 != 0)
        row[bytes - 1] &= static_cast<unsigned char>((1u << (depth % 8)) - 1u);
}

// The words of one period of the source when copying it fills most of the row (0 when not).
size_t signal_bank::periodic_span(const signal_source& s, size_t count) const
{
    if (s.stimulus < 0)
        return 1;
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    if (st.kind() == standin::stimulus::RANDOM && s.state < 0)
        return 0;
    const int64_t period = st.bit_period(s.state >= 0 ? 0 : s.bit);
    if (period <= 0)
        return 0;
    const size_t span = size_t(period / std::gcd(period, int64_t(64)));
    return span <= MAX_SPAN_WORDS && span * 2 <= count ? span : 0;
}

// `first` is a sample of the stimulus's own time, a multiple of 64.
void signal_bank::fill_words(const signal_source& s, int64_t first, size_t count, row_scratch* scratch) const
{
    if (s.stimulus < 0)
        return;
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    if (st.kind() == standin::stimulus::RANDOM && s.state < 0)
        return fill_blocks(s, first, count, scratch);
    fill_runs(s, first, count, scratch->words.data());
}

// One span of a periodic source (a whole number of periods and of words): the first period
// sample by sample, then copies of it, each doubling what is there.
void signal_bank::fill_period(const signal_source& s, int64_t first, size_t span, uint64_t* words) const
{
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    const int64_t period = st.bit_period(s.state >= 0 ? 0 : s.bit);
    const int64_t total = int64_t(span) * 64;
    fill_runs(s, first, size_t((period + 63) / 64), words);
    clear_bits_from(words, period, size_t((period + 63) / 64));
    for (int64_t have = period; have < total;)
    {
        const int64_t n = std::min(have, total - have);
        copy_bits(words, have, n);
        have += n;
    }
}

void signal_bank::fill_runs(const signal_source& s, int64_t first, size_t count, uint64_t* words) const
{
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    const int64_t end = first + int64_t(count) * 64;
    for (int64_t t = first; t < end;)
    {
        const int64_t next = std::min(st.next_change(t, s.bit), end);
        const bool high = s.state >= 0 ? st.state_at(t) == s.state : ((st.value(t) >> s.bit) & 1u) != 0;
        if (high)
            set_bits(words, t - first, next - first);
        t = next;
    }
}

// Byte `byte` of the values of a random stimulus for blocks first_block .. last_block, kept
// for the other bits of its bus (which read the same blocks, or a few rows ahead).
const row_scratch::block_bytes& signal_bank::block_bytes(int stimulus, int byte, int64_t first_block,
                                                         int64_t last_block, row_scratch* scratch) const
{
    row_scratch::block_bytes& cache = scratch->blocks[{stimulus, byte}];
    const int64_t have = int64_t(cache.bytes.size());
    if (first_block < cache.first || last_block >= cache.first + have)
    {
        const int64_t margin = 64;
        cache.first = std::max<int64_t>(0, first_block - margin);
        const size_t count = size_t(last_block + margin - cache.first + 1);
        cache.bytes.resize(count);
        uint64_t values[VALUE_CHUNK];
        for (size_t done = 0; done < count; done += VALUE_CHUNK)
        {
            const size_t n = std::min(VALUE_CHUNK, count - done);
            m_stimuli[size_t(stimulus)].random_blocks(cache.first + int64_t(done), n, values);
            for (size_t i = 0; i < n; ++i)
                cache.bytes[done + i] = uint8_t(values[i] >> (byte * 8));
        }
    }
    return cache;
}

// A random value holds for `every` samples. The chosen bit of each block's value is gathered
// first; then each word takes 64 / every blocks when that divides 64, shorter blocks are
// packed one after the other, and longer ones are runs.
void signal_bank::fill_blocks(const signal_source& s, int64_t first, size_t count, row_scratch* scratch) const
{
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    const int64_t every = st.every();
    const int64_t end = first + int64_t(count) * 64;
    const int64_t first_block = first / every;
    const size_t blocks = size_t((end - 1) / every - first_block + 1);
    const row_scratch::block_bytes& cache = block_bytes(s.stimulus, s.bit / 8, first_block, (end - 1) / every, scratch);
    scratch->block_bits.assign(blocks / 64 + 2, 0);
    gather_bit(cache.bytes.data() + (first_block - cache.first), blocks, s.bit % 8, scratch->block_bits.data());
    const uint64_t* bits = scratch->block_bits.data();
    uint64_t* words = scratch->words.data();
    if (64 % every == 0)
        return expand_blocks(bits, int(every), count, words);
    if (every < 64)
        return pack_blocks(bits, int(every), int(first - first_block * every), count, words);
    for (int64_t block = first_block, t = first; t < end; ++block)
    {
        const int64_t next = std::min((block + 1) * every, end);
        const size_t j = size_t(block - first_block);
        if ((bits[j / 64] >> (j % 64)) & 1u)
            set_bits(words, t - first, next - first);
        t = next;
    }
}
} // namespace chi_detail
