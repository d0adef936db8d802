// SEDQ_WAVE_SUMMARY: the rows of the current log read once from the document model, with their
// summary levels; bus values transposed into sample order by blocks of 64 by 64 bits.
#include "sedq/view/sedq_wave_summary.h"

#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_wave.h"

#include <algorithm>
#include <climits>

namespace
{
// Bit j of the result is set when byte j of the word is not zero.
inline uint64_t byte_bits(uint64_t word)
{
    constexpr uint64_t LOW_SEVEN = 0x7F7F7F7F7F7F7F7FULL;
    const uint64_t high = (((word & LOW_SEVEN) + LOW_SEVEN) | word) & ~LOW_SEVEN;
    return ((high >> 7) * 0x0102040810204080ULL) >> 56;
}

// One bit per byte of `bytes`, eight bytes at a time.
std::vector<uint64_t> pack(const bool* bytes, int count)
{
    std::vector<uint64_t> bits(size_t(SEDQ_BIT_LEVELS::word_count(count)), 0);
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
    int i = 0;
    for (; i + 8 <= count; i += 8)
    {
        uint64_t word = 0;
        std::copy(in + i, in + i + 8, reinterpret_cast<unsigned char*>(&word));
        bits[size_t(i / 64)] |= byte_bits(word) << (i % 64);
    }
    for (; i < count; ++i)
        if (in[i] != 0)
            bits[size_t(i / 64)] |= uint64_t(1) << (i % 64);
    return bits;
}

// Bit j: sample j differs from sample j - 1; sample 0 is compared with itself.
inline uint64_t change_of(const std::vector<uint64_t>& values, int k)
{
    const uint64_t word = SEDQ_WAVE_SUMMARY::LOG_ROWS::word(values, k);
    const uint64_t carry = k > 0 ? SEDQ_WAVE_SUMMARY::LOG_ROWS::word(values, k - 1) >> 63 : word & 1u;
    return word ^ ((word << 1) | carry);
}

// Bit c of word r becomes bit r of word c.
void transpose64(uint64_t* a)
{
    uint64_t mask = 0x00000000FFFFFFFFULL;
    for (int j = 32; j != 0; j >>= 1, mask ^= mask << j)
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j)
        {
            const uint64_t t = ((a[k] >> j) ^ a[k | j]) & mask;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
}

template <class ROWS> auto words_of(const ROWS* rows, uint64_t (ROWS::*word)(int) const)
{
    return [rows, word](int k) { return (rows->*word)(k); };
}
} // namespace

// ---- rows ----------------------------------------------------------------------------------------

int SEDQ_WAVE_SUMMARY::LOG_ROWS::count_breaks(int last) const
{
    if (last < 0)
        return 0;
    last = std::min(last, depth - 1);
    const int k = last / 64;
    if (size_t(k) >= breaks.size())
        return 0;
    return breaks_before[size_t(k)] + __builtin_popcountll(breaks[size_t(k)] & SEDQ_BIT_LEVELS::span_mask(0, last % 64));
}

uint64_t SEDQ_WAVE_SUMMARY::LOG_ROWS::tail_mask(int k) const
{
    if (k < 0 || k >= SEDQ_BIT_LEVELS::word_count(depth))
        return 0;
    return k < depth / 64 ? ~uint64_t(0) : SEDQ_BIT_LEVELS::span_mask(0, depth % 64 - 1);
}

uint64_t SEDQ_WAVE_SUMMARY::NODE_ROWS::change_word(int k) const
{
    return change_of(values, k) & log->tail_mask(k);
}

bool SEDQ_WAVE_SUMMARY::CHART_ROWS::range(int first, int last, int* low, int* high) const
{
    first = std::max(first, 0);
    last = std::min(last, int(values.size()) - 1);
    int least = INT_MAX;
    int largest = INT_MIN;
    for (int i = first; i <= last;)
    {
        const int level = i % 4096 == 0 && i + 4095 <= last ? 1 : i % 64 == 0 && i + 63 <= last ? 0 : -1;
        if (level < 0)
        {
            if (log->is_valid(i))
            {
                least = std::min(least, values[size_t(i)]);
                largest = std::max(largest, values[size_t(i)]);
            }
            ++i;
            continue;
        }
        const int block = level == 1 ? i / 4096 : i / 64;
        least = std::min(least, minimum[level][size_t(block)]);
        largest = std::max(largest, maximum[level][size_t(block)]);
        i += level == 1 ? 4096 : 64;
    }
    *low = least;
    *high = largest;
    return least <= largest;
}

// ---- the cache -----------------------------------------------------------------------------------

void SEDQ_WAVE_SUMMARY::clear()
{
    m_charts.clear();
    m_buses.clear();
    m_nodes.clear();
    m_log.reset();
    m_log_id = nullptr;
    m_log_version = 0;
}

// The log the manager shows now, with the depth and the samples it had when the rows were read.
bool SEDQ_WAVE_SUMMARY::same_log(SEDQ_TX_MANAGER* tx)
{
    const SDR_DATA_LOG* log = nullptr;
    if (tx == nullptr || tx->is_empty() || !tx->is_data_available(false, SEDQ_CURRENT, &log) ||
        log == nullptr)
    {
        clear();
        return false;
    }
    int depth = 0;
    tx->get_data_sample_depth(&depth, SEDQ_CURRENT);
    const unsigned long long version = log->get_data_version();
    if (m_log != nullptr && m_log_id == log && m_log->depth == depth && m_log_version == version)
        return true;
    clear();
    m_log_id = log;
    m_log_version = version;
    return false;
}

const SEDQ_WAVE_SUMMARY::LOG_ROWS* SEDQ_WAVE_SUMMARY::get_log(SEDQ_TX_MANAGER* tx)
{
    if (same_log(tx))
        return m_log.get();
    if (m_log_id == nullptr)
        return nullptr;
    const SDR_DATA_LOG* log = m_log_id;
    auto rows = std::make_unique<LOG_ROWS>();
    tx->get_data_sample_depth(&rows->depth, SEDQ_CURRENT);
    const int depth = rows->depth;
    SEDQ_WAVE_MASK mask(depth);
    if (depth <= 0 || !mask.is_valid() || !tx->get_wave_mask(mask.get_data(), -1, false, SEDQ_CURRENT))
    {
        m_log_id = nullptr;
        return nullptr;
    }
    rows->valid = pack(mask.get_data(), depth);
    rows->trigger.assign(rows->valid.size(), 0);
    rows->breaks.assign(rows->valid.size(), 0);
    for (int i = 0; i < depth; ++i)
    {
        if (log->is_bit_trigger(i))
            rows->trigger[size_t(i / 64)] |= uint64_t(1) << (i % 64);
        if (log->is_break_previous(i))
            rows->breaks[size_t(i / 64)] |= uint64_t(1) << (i % 64);
    }
    rows->breaks_before.assign(rows->breaks.size(), 0);
    for (size_t k = 1; k < rows->breaks.size(); ++k)
        rows->breaks_before[k] = rows->breaks_before[k - 1] + __builtin_popcountll(rows->breaks[k - 1]);
    const LOG_ROWS* r = rows.get();
    rows->valid_levels.build(words_of(r, &LOG_ROWS::valid_word), depth);
    rows->invalid_levels.build(words_of(r, &LOG_ROWS::invalid_word), depth);
    rows->valid_end_levels.build(words_of(r, &LOG_ROWS::valid_end_word), depth);
    rows->trigger_levels.build([r](int k) { return LOG_ROWS::word(r->trigger, k); }, depth);
    rows->break_levels.build([r](int k) { return LOG_ROWS::word(r->breaks, k); }, depth);
    m_log = std::move(rows);
    return m_log.get();
}

std::vector<bool> SEDQ_WAVE_SUMMARY::inversions(SEDQ_TX_MANAGER* tx, const std::vector<int>& rows)
{
    std::vector<bool> inverted;
    inverted.reserve(rows.size());
    for (int row : rows)
        inverted.push_back(SEDQ_NODE(tx, row, SEDQ_CURRENT).is_signal_inverted(nullptr));
    return inverted;
}

bool SEDQ_WAVE_SUMMARY::read_member_bits(SEDQ_TX_MANAGER* tx, int row, std::vector<uint64_t>* bits)
{
    const int depth = m_log->depth;
    SEDQ_WAVE wave(depth);
    if (!wave.is_valid() || !tx->get_wave(row, wave.get_data(), -1, false, SEDQ_CURRENT))
        return false;
    *bits = pack(wave.get_data(), depth);
    return true;
}

const SEDQ_WAVE_SUMMARY::NODE_ROWS* SEDQ_WAVE_SUMMARY::get_node(SEDQ_TX_MANAGER* tx, int node)
{
    const LOG_ROWS* log = get_log(tx);
    if (log == nullptr)
        return nullptr;
    const bool inverted = SEDQ_NODE(tx, node, SEDQ_CURRENT).is_signal_inverted(nullptr);
    const int channel = tx->get_wave_channels({node}, SEDQ_CURRENT).front();
    auto found = m_nodes.find(node);
    if (found != m_nodes.end() && found->second->inverted == inverted && found->second->channel == channel)
        return found->second.get();
    auto rows = std::make_unique<NODE_ROWS>();
    rows->log = log;
    rows->inverted = inverted;
    rows->channel = channel;
    if (!read_member_bits(tx, node, &rows->values))
    {
        m_nodes.erase(node);
        return nullptr;
    }
    const NODE_ROWS* r = rows.get();
    rows->high_levels.build(words_of(r, &NODE_ROWS::high_word), log->depth);
    rows->low_levels.build(words_of(r, &NODE_ROWS::low_word), log->depth);
    rows->edge_levels.build(words_of(r, &NODE_ROWS::edge_word), log->depth);
    return (m_nodes[node] = std::move(rows)).get();
}

// The entry of `node` when it was read from the same members, log channels, inversions and
// `option` (bit order or signedness); else it is built again, and dropped when that fails.
template <class ROWS, class BUILD>
const ROWS* SEDQ_WAVE_SUMMARY::cached(std::map<int, std::unique_ptr<ROWS>>* entries, SEDQ_TX_MANAGER* tx, int node,
                                      const std::vector<int>& members, bool ROWS::*option, bool value, BUILD build)
{
    if (get_log(tx) == nullptr || members.empty())
        return nullptr;
    const std::vector<bool> inverted = inversions(tx, members);
    std::vector<int> read_from = tx->get_wave_channels(members, SEDQ_CURRENT);
    auto found = entries->find(node);
    if (found != entries->end() && found->second->members == members && found->second->inverted == inverted &&
        found->second->channels == read_from && (*found->second).*option == value)
        return found->second.get();
    std::unique_ptr<ROWS> rows = build();
    if (rows == nullptr)
    {
        entries->erase(node);
        return nullptr;
    }
    rows->inverted = inverted;
    rows->channels = std::move(read_from);
    return ((*entries)[node] = std::move(rows)).get();
}

const SEDQ_WAVE_SUMMARY::BUS_ROWS* SEDQ_WAVE_SUMMARY::get_bus(SEDQ_TX_MANAGER* tx, int node,
                                                              const std::vector<int>& members, bool lsb_to_msb)
{
    return cached(&m_buses, tx, node, members, &BUS_ROWS::lsb_to_msb, lsb_to_msb,
                  [&]() { return build_bus(tx, members, lsb_to_msb); });
}

// Members are read 64 at a time and each block of 64 samples is transposed, so every sample's
// value ends up in one place however wide the bus.
std::unique_ptr<SEDQ_WAVE_SUMMARY::BUS_ROWS> SEDQ_WAVE_SUMMARY::build_bus(SEDQ_TX_MANAGER* tx,
                                                                          const std::vector<int>& members,
                                                                          bool lsb_to_msb)
{
    const int depth = m_log->depth;
    const int width = int(members.size());
    auto rows = std::make_unique<BUS_ROWS>();
    rows->log = m_log.get();
    rows->members = members;
    rows->lsb_to_msb = lsb_to_msb;
    if (!rows->values.reset(width, 0, depth, lsb_to_msb))
        return nullptr;
    const int words = SEDQ_BIT_LEVELS::word_count(depth);
    rows->changes.assign(size_t(words), 0);
    std::vector<std::vector<uint64_t>> block(64);
    for (int first_weight = 0; first_weight < width; first_weight += 64)
    {
        for (int k = 0; k < 64; ++k)
        {
            block[size_t(k)].assign(size_t(words), 0);
            const int weight = first_weight + k;
            if (weight >= width)
                continue;
            const int member = members[size_t(lsb_to_msb ? weight : width - 1 - weight)];
            if (!read_member_bits(tx, member, &block[size_t(k)]))
                return nullptr;
            for (int w = 0; w < words; ++w)
                rows->changes[size_t(w)] |= change_of(block[size_t(k)], w);
        }
        uint64_t a[64];
        for (int w = 0; w < words; ++w)
        {
            for (int k = 0; k < 64; ++k)
                a[k] = block[size_t(k)][size_t(w)];
            transpose64(a);
            rows->values.set_block(first_weight / 64, w * 64, a);
        }
    }
    for (int w = 0; w < words; ++w)
        rows->changes[size_t(w)] &= m_log->tail_mask(w);
    const BUS_ROWS* r = rows.get();
    rows->edge_levels.build(words_of(r, &BUS_ROWS::edge_word), depth);
    rows->start_levels.build(words_of(r, &BUS_ROWS::start_word), depth);
    return rows;
}

const SEDQ_WAVE_SUMMARY::CHART_ROWS* SEDQ_WAVE_SUMMARY::get_chart(SEDQ_TX_MANAGER* tx, int node,
                                                                  const std::vector<int>& members, bool is_signed)
{
    return cached(&m_charts, tx, node, members, &CHART_ROWS::is_signed, is_signed,
                  [&]() { return build_chart(tx, members, is_signed); });
}

std::unique_ptr<SEDQ_WAVE_SUMMARY::CHART_ROWS> SEDQ_WAVE_SUMMARY::build_chart(SEDQ_TX_MANAGER* tx,
                                                                              const std::vector<int>& members,
                                                                              bool is_signed)
{
    const int depth = m_log->depth;
    const int width = std::min(int(members.size()), 31);
    auto rows = std::make_unique<CHART_ROWS>();
    rows->log = m_log.get();
    rows->members = members;
    rows->is_signed = is_signed;
    std::vector<unsigned> values(size_t(depth), 0);
    std::vector<uint64_t> bits;
    for (int k = 0; k < width; ++k)
    {
        if (!read_member_bits(tx, members[size_t(k)], &bits))
            return nullptr;
        for (int i = 0; i < depth; ++i)
            values[size_t(i)] = (values[size_t(i)] << 1) | unsigned(LOG_ROWS::bit(bits, i));
    }
    rows->values.resize(size_t(depth));
    for (int i = 0; i < depth; ++i)
    {
        const unsigned v = values[size_t(i)];
        const bool negative = is_signed && width > 0 && ((v >> (width - 1)) & 1u);
        rows->values[size_t(i)] = negative ? int(v) - (1 << width) : int(v);
    }
    const int sizes[2] = {64, 4096};
    for (int level = 0; level < 2; ++level)
    {
        const size_t blocks = size_t((depth + sizes[level] - 1) / sizes[level]);
        rows->minimum[level].assign(blocks, INT_MAX);
        rows->maximum[level].assign(blocks, INT_MIN);
    }
    for (int i = 0; i < depth; ++i)
    {
        if (!m_log->is_valid(i))
            continue;
        for (int level = 0; level < 2; ++level)
        {
            int& low = rows->minimum[level][size_t(i / sizes[level])];
            int& high = rows->maximum[level][size_t(i / sizes[level])];
            low = std::min(low, rows->values[size_t(i)]);
            high = std::max(high, rows->values[size_t(i)]);
        }
    }
    return rows;
}
