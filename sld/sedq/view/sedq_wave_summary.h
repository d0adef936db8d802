#pragma once
// What the waveform painting reads instead of the data log: per log the valid, trigger and break
// marks; per signal node its samples as bits; per bus its values packed sample by sample with
// the samples where the value changes; per chart its values with their minimum and maximum per
// block. Every bit row carries the summary levels of SEDQ_BIT_LEVELS, so a window of any width
// is painted, searched or labelled in time that grows with its pixels, not its samples.
//
// Rows are read from the document model on first use, once per log, and kept while what they
// were read from stays: the log's rows with the log object, its depth and the version of its
// samples (a new acquisition may reuse the log object; it brings a new version), and each
// node's, bus's or chart's rows with the log channels, inversions and bit order of its
// members. A refresh of the document that changes none of these keeps them; the view clears
// them only when the document is rebuilt.

#include "sedq/model/sedq_packed_bus.h"
#include "sedq/view/sedq_bit_levels.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class SEDQ_TX_MANAGER;
class SDR_DATA_LOG;

class SEDQ_WAVE_SUMMARY
{
public:
    // The marks of the log: which samples are valid, triggers, breaks of the storage qualifier.
    struct LOG_ROWS
    {
        int depth = 0;
        std::vector<uint64_t> valid;
        std::vector<uint64_t> trigger;
        std::vector<uint64_t> breaks;
        std::vector<int> breaks_before; // breaks in the words before each word
        SEDQ_BIT_LEVELS valid_levels, invalid_levels, valid_end_levels, trigger_levels, break_levels;

        bool is_valid(int sample) const { return bit(valid, sample); }
        bool is_trigger(int sample) const { return bit(trigger, sample); }
        bool is_break(int sample) const { return bit(breaks, sample); }
        // Breaks in samples [0, last].
        int count_breaks(int last) const;

        uint64_t valid_word(int k) const { return word(valid, k); }
        // Bit j: valid(j - 1); sample -1 counts as not valid.
        uint64_t valid_before_word(int k) const
        {
            return (word(valid, k) << 1) | (k > 0 ? word(valid, k - 1) >> 63 : 0);
        }
        uint64_t invalid_word(int k) const { return ~word(valid, k) & tail_mask(k); }
        // Bit j: the valid run before j ends at j - 1 (sample j - 1 valid, j not).
        uint64_t valid_end_word(int k) const { return valid_before_word(k) & invalid_word(k); }
        uint64_t tail_mask(int k) const;

        static bool bit(const std::vector<uint64_t>& row, int i)
        {
            return i >= 0 && size_t(i / 64) < row.size() && ((row[size_t(i / 64)] >> (i % 64)) & 1u);
        }
        static uint64_t word(const std::vector<uint64_t>& row, int k)
        {
            return k >= 0 && size_t(k) < row.size() ? row[size_t(k)] : 0;
        }
    };

    // One signal node's samples (inverted as the node shows them).
    struct NODE_ROWS
    {
        const LOG_ROWS* log = nullptr;
        std::vector<uint64_t> values;
        int channel = -1;
        bool inverted = false;
        SEDQ_BIT_LEVELS high_levels, low_levels, edge_levels;

        bool value(int sample) const { return LOG_ROWS::bit(values, sample); }
        // Valid ones, valid zeros.
        uint64_t high_word(int k) const { return LOG_ROWS::word(values, k) & log->valid_word(k); }
        uint64_t low_word(int k) const { return ~LOG_ROWS::word(values, k) & log->valid_word(k); }
        // Bit j: sample j differs from sample j - 1 (sample 0 never does), valid or not.
        uint64_t change_word(int k) const;
        // A change between two valid samples: where a waveform draws an edge.
        uint64_t edge_word(int k) const
        {
            return change_word(k) & log->valid_word(k) & log->valid_before_word(k);
        }
    };

    // A bus or group: its members' values packed per sample and where the value changes.
    struct BUS_ROWS
    {
        const LOG_ROWS* log = nullptr;
        std::vector<int> members;
        std::vector<int> channels;
        std::vector<bool> inverted;
        bool lsb_to_msb = false;
        SEDQ_PACKED_BUS values;
        std::vector<uint64_t> changes; // bit j: the value at j differs from the value at j - 1
        SEDQ_BIT_LEVELS edge_levels, start_levels;

        uint64_t edge_word(int k) const
        {
            return LOG_ROWS::word(changes, k) & log->valid_word(k) & log->valid_before_word(k);
        }
        bool is_edge(int sample) const { return sample >= 0 && ((edge_word(sample / 64) >> (sample % 64)) & 1u); }
        // Bit j: a run of equal valid values starts at j.
        uint64_t start_word(int k) const
        {
            return log->valid_word(k) & (~log->valid_before_word(k) | edge_word(k));
        }
    };

    // The values a chart plots: its members (at most 25) read with the first as the most
    // significant bit, as unsigned or two's complement numbers.
    struct CHART_ROWS
    {
        const LOG_ROWS* log = nullptr;
        std::vector<int> members;
        std::vector<int> channels;
        std::vector<bool> inverted;
        bool is_signed = false;
        std::vector<int> values;
        // Minimum and maximum of the valid values of each block of 64 and of 4096 samples
        // (INT_MAX and INT_MIN for a block without valid samples).
        std::vector<int> minimum[2], maximum[2];

        // The least and largest valid value in [first, last]; false when none is valid.
        bool range(int first, int last, int* low, int* high) const;
    };

    SEDQ_WAVE_SUMMARY() = default;
    SEDQ_WAVE_SUMMARY(const SEDQ_WAVE_SUMMARY&) = delete;
    SEDQ_WAVE_SUMMARY& operator=(const SEDQ_WAVE_SUMMARY&) = delete;

    void clear();
    // The rows of the manager's current log; null without data.
    const LOG_ROWS* get_log(SEDQ_TX_MANAGER* tx);
    // Null when the node has no samples (not in the log, not connected).
    const NODE_ROWS* get_node(SEDQ_TX_MANAGER* tx, int node);
    // `members`: the rows of the members in increasing order; null when one has no samples.
    const BUS_ROWS* get_bus(SEDQ_TX_MANAGER* tx, int node, const std::vector<int>& members, bool lsb_to_msb);
    // `members`: the rows in chart order (first row most significant, at most 25).
    const CHART_ROWS* get_chart(SEDQ_TX_MANAGER* tx, int node, const std::vector<int>& members, bool is_signed);

private:
    bool same_log(SEDQ_TX_MANAGER* tx);
    template <class ROWS, class BUILD>
    const ROWS* cached(std::map<int, std::unique_ptr<ROWS>>* entries, SEDQ_TX_MANAGER* tx, int node,
                       const std::vector<int>& members, bool ROWS::*option, bool value, BUILD build);
    static std::vector<bool> inversions(SEDQ_TX_MANAGER* tx, const std::vector<int>& rows);
    bool read_member_bits(SEDQ_TX_MANAGER* tx, int row, std::vector<uint64_t>* bits);
    std::unique_ptr<BUS_ROWS> build_bus(SEDQ_TX_MANAGER* tx, const std::vector<int>& members, bool lsb_to_msb);
    std::unique_ptr<CHART_ROWS> build_chart(SEDQ_TX_MANAGER* tx, const std::vector<int>& members, bool is_signed);

    const SDR_DATA_LOG* m_log_id = nullptr;
    unsigned long long m_log_version = 0;
    std::unique_ptr<LOG_ROWS> m_log;
    std::map<int, std::unique_ptr<NODE_ROWS>> m_nodes;
    std::map<int, std::unique_ptr<BUS_ROWS>> m_buses;
    std::map<int, std::unique_ptr<CHART_ROWS>> m_charts;
};
