#pragma once
// The summary levels above a row of one bit per sample: bit j of level 1 tells whether word j of
// the row has a bit set, bit j of level 2 whether word j of level 1 has, and so on up to a
// single word. Blocks are 64, 4096, 262144 ... samples, so whether a range of any length holds
// a set bit, and where the next or previous one is, takes a few word operations per level.
// The row itself is not stored here: the queries read its words through a callable
// `uint64_t words(int index)`, so a row derived from others (valid ones, valid zeros, changes
// between valid samples) is computed word by word and never kept.

#include <cstddef>
#include <cstdint>
#include <vector>

class SEDQ_BIT_LEVELS
{
public:
    static int word_count(int bits) { return (bits + 63) / 64; }

    // Summarises `bits` bits read through `words` (the bits past the end must read as 0).
    template <class WORDS> void build(WORDS words, int bits)
    {
        m_bits = bits;
        m_levels.clear();
        int count = word_count(bits);
        std::vector<uint64_t> level(size_t(word_count(count)), 0);
        for (int index = 0; index < count; ++index)
            if (words(index) != 0)
                level[size_t(index / 64)] |= uint64_t(1) << (index % 64);
        while (true)
        {
            count = int(level.size());
            m_levels.push_back(std::move(level));
            if (count <= 1)
                break;
            const std::vector<uint64_t>& below = m_levels.back();
            level.assign(size_t(word_count(count)), 0);
            for (int index = 0; index < count; ++index)
                if (below[size_t(index)] != 0)
                    level[size_t(index / 64)] |= uint64_t(1) << (index % 64);
        }
    }

    int size() const { return m_bits; }

    // Whether a bit in [first, last] is set; the range is clamped to the row.
    template <class WORDS> bool any(WORDS words, int first, int last) const
    {
        if (first < 0)
            first = 0;
        if (last > m_bits - 1)
            last = m_bits - 1;
        if (first > last)
            return false;
        const int w0 = first / 64;
        const int w1 = last / 64;
        if (w0 == w1)
            return (words(w0) & span_mask(first % 64, last % 64)) != 0;
        if ((words(w0) & span_mask(first % 64, 63)) != 0 || (words(w1) & span_mask(0, last % 64)) != 0)
            return true;
        return level_any(0, w0 + 1, w1 - 1);
    }

    // The first set bit in [from, end), `end` when there is none.
    template <class WORDS> int next(WORDS words, int from, int end) const
    {
        if (from < 0)
            from = 0;
        if (end > m_bits)
            end = m_bits;
        if (from >= end)
            return end;
        const int w = from / 64;
        const uint64_t bits = words(w) & span_mask(from % 64, 63);
        int found = -1;
        if (bits != 0)
            found = w * 64 + __builtin_ctzll(bits);
        else
        {
            const int word = level_next(0, w + 1);
            if (word >= 0)
                found = word * 64 + __builtin_ctzll(words(word));
        }
        return found >= 0 && found < end ? found : end;
    }

    // The last set bit in [begin, from], `begin - 1` when there is none.
    template <class WORDS> int previous(WORDS words, int from, int begin) const
    {
        if (begin < 0)
            begin = 0;
        if (from > m_bits - 1)
            from = m_bits - 1;
        if (from < begin)
            return begin - 1;
        const int w = from / 64;
        const uint64_t bits = words(w) & span_mask(0, from % 64);
        int found = -1;
        if (bits != 0)
            found = w * 64 + 63 - __builtin_clzll(bits);
        else
        {
            const int word = level_previous(0, w - 1);
            if (word >= 0)
                found = word * 64 + 63 - __builtin_clzll(words(word));
        }
        return found >= begin ? found : begin - 1;
    }

    // Bits first..last set (0 <= first <= last <= 63).
    static uint64_t span_mask(int first, int last)
    {
        const uint64_t high = last == 63 ? ~uint64_t(0) : (uint64_t(1) << (last + 1)) - 1;
        return high & (~uint64_t(0) << first);
    }

private:
    // Whether any of bits [first, last] of level `level` is set (they stand for words of the
    // level below).
    bool level_any(int level, int first, int last) const
    {
        if (first > last || level >= int(m_levels.size()))
            return false;
        const std::vector<uint64_t>& bits = m_levels[size_t(level)];
        const int w0 = first / 64;
        const int w1 = last / 64;
        if (w0 == w1)
            return (bits[size_t(w0)] & span_mask(first % 64, last % 64)) != 0;
        if ((bits[size_t(w0)] & span_mask(first % 64, 63)) != 0 ||
            (bits[size_t(w1)] & span_mask(0, last % 64)) != 0)
            return true;
        return level_any(level + 1, w0 + 1, w1 - 1);
    }

    // The index of the first set bit at or after `from` in level `level`, -1 when none.
    int level_next(int level, int from) const
    {
        if (level >= int(m_levels.size()))
            return -1;
        const std::vector<uint64_t>& bits = m_levels[size_t(level)];
        const int w = from / 64;
        if (from < 0 || w >= int(bits.size()))
            return -1;
        const uint64_t here = bits[size_t(w)] & span_mask(from % 64, 63);
        if (here != 0)
            return w * 64 + __builtin_ctzll(here);
        const int word = level_next(level + 1, w + 1);
        return word < 0 ? -1 : word * 64 + __builtin_ctzll(bits[size_t(word)]);
    }

    int level_previous(int level, int from) const
    {
        if (from < 0 || level >= int(m_levels.size()))
            return -1;
        const std::vector<uint64_t>& bits = m_levels[size_t(level)];
        const int w = from / 64;
        if (w >= int(bits.size()))
            return -1;
        const uint64_t here = bits[size_t(w)] & span_mask(0, from % 64);
        if (here != 0)
            return w * 64 + 63 - __builtin_clzll(here);
        const int word = level_previous(level + 1, w - 1);
        return word < 0 ? -1 : word * 64 + 63 - __builtin_clzll(bits[size_t(word)]);
    }

    int m_bits = 0;
    std::vector<std::vector<uint64_t>> m_levels;
};
