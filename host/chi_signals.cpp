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

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "rows are copied from words byte by byte");

namespace chi_detail
{
namespace
{
constexpr int64_t NEVER = INT64_MAX;
// Generating one period of a bit and copying it pays off up to this many words.
constexpr size_t MAX_SPAN_WORDS = size_t(1) << 20;

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

// Repeats the first `span` words over the first `count` words.
void repeat_span(uint64_t* words, size_t span, size_t count)
{
    for (size_t have = span; have < count;)
    {
        const size_t n = std::min(have, count - have);
        std::memcpy(words + have, words, n * sizeof(uint64_t));
        have += n;
    }
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

int64_t signal_bank::next_change(int source, int64_t sample) const
{
    const signal_source& s = m_sources[size_t(source)];
    if (s.stimulus < 0)
        return NEVER;
    const int64_t next = m_stimuli[size_t(s.stimulus)].next_change(sample + s.offset, s.bit);
    return next == NEVER ? NEVER : next - s.offset;
}

void signal_bank::fill_row(int source, int64_t first, int depth, unsigned char* row,
                           std::vector<uint64_t>* scratch) const
{
    if (depth <= 0)
        return;
    const signal_source& s = m_sources[size_t(source)];
    const int64_t start = first + s.offset;
    const int64_t aligned = start & ~int64_t(63);
    const int shift = int(start - aligned);
    const size_t count = size_t((shift + int64_t(depth) + 63) / 64);
    scratch->assign(count + 1, 0);
    uint64_t* words = scratch->data();
    fill_words(s, aligned, count, words);
    const size_t bytes = size_t(depth + 7) / 8;
    for (size_t i = 0; i * 8 < bytes; ++i)
    {
        const uint64_t out = shift == 0 ? words[i] : (words[i] >> shift) | (words[i + 1] << (64 - shift));
        std::memcpy(row + i * 8, &out, std::min<size_t>(8, bytes - i * 8));
    }
    if (depth % 8 != 0)
        row[bytes - 1] &= static_cast<unsigned char>((1u << (depth % 8)) - 1u);
}

// `first` is a sample of the stimulus's own time, a multiple of 64.
void signal_bank::fill_words(const signal_source& s, int64_t first, size_t count, uint64_t* words) const
{
    if (s.stimulus < 0)
        return;
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    const int64_t period = st.bit_period(s.state >= 0 ? 0 : s.bit);
    if (period > 0)
    {
        const size_t span = size_t(period / std::gcd(period, int64_t(64)));
        if (span <= MAX_SPAN_WORDS && span * 2 <= count)
        {
            fill_runs(s, first, span, words);
            repeat_span(words, span, count);
            return;
        }
    }
    if (!fill_blocks(s, first, count, words))
        fill_runs(s, first, count, words);
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

// A random value holds for `every` samples; when that divides 64 each word takes 64 / every
// values whole, without looking for changes.
bool signal_bank::fill_blocks(const signal_source& s, int64_t first, size_t count, uint64_t* words) const
{
    const standin::stimulus& st = m_stimuli[size_t(s.stimulus)];
    const int64_t every = st.every();
    if (st.kind() != standin::stimulus::RANDOM || every > 32 || 64 % every != 0)
        return false;
    const int per_word = int(64 / every);
    const uint64_t block_mask = (uint64_t(1) << every) - 1;
    int64_t t = first;
    for (size_t w = 0; w < count; ++w)
    {
        uint64_t word = 0;
        for (int k = 0; k < per_word; ++k, t += every)
            word |= (0 - ((st.value(t) >> s.bit) & 1u)) & (block_mask << (k * every));
        words[w] = word;
    }
    return true;
}
} // namespace chi_detail
