#pragma once
// Fixture of the waveform tests: a document whose rows and log are described by a WAVE_DOCUMENT
// (channels of '0'/'1' per sample, validity, trigger and break marks), opened on the data tab;
// helpers that set the zoom and scroll position, paint one waveform cell through the view's item
// painting, and paint the same cell sample by sample from window buffers filled from the
// description (the reference the cell painting must match pixel for pixel).

#include "sedq_view_test_support.h"

#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_node.h"
#include "sedq/view/sedq_wave.h"

#include <QScrollBar>

#include <random>

// A row of the node list: a leaf reading one channel, or a group over the next `members` rows.
struct WAVE_ROW
{
    std::string name;
    int members = 0;
    SDR_DATA_GROUP_DISPLAY_TYPE radix = SDR_GTYPE_HEX;
    bool lsb_to_msb = false;
};

struct WAVE_DOCUMENT
{
    int depth = 0;
    std::vector<WAVE_ROW> rows;
    std::vector<std::string> channels; // one per leaf, in row order
    std::string valid;
    std::string trigger;
    std::string breaks;
    int segment_size = 0;
    int trigger_position = -1;
    std::vector<int> timebars;
};

class waveform_test : public view_test
{
protected:
    // Opens the document on the data tab.
    void open_waves(const WAVE_DOCUMENT& document, QSize size = QSize(1200, 700))
    {
        m_document = document;
        open(write_document([&document](SDR_DATA_SESSION& s) { build(s, document); }), size);
        show_data_tab(true);
        refresh();
    }

    static void build(SDR_DATA_SESSION& s, const WAVE_DOCUMENT& document)
    {
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        std::vector<int> group_rows;
        for (const WAVE_ROW& row : document.rows)
            if (row.members == 0)
                add_leaves(trigger, {row.name});
        // Groups are inserted from the last one back, so earlier row numbers stay put.
        int leaf = 0;
        std::vector<std::pair<int, const WAVE_ROW*>> groups;
        for (const WAVE_ROW& row : document.rows)
        {
            if (row.members > 0)
                groups.push_back({leaf, &row});
            else
                ++leaf;
        }
        for (auto it = groups.rbegin(); it != groups.rend(); ++it)
        {
            const int first = it->first;
            const int group = standin::sdr::add_group(trigger, first, first + it->second->members - 1,
                                                      it->second->name, it->second->radix);
            trigger->edit_transient().trigger_list[group].lsb_to_msb = it->second->lsb_to_msb;
        }
        standin::sdr::log_spec log;
        log.depth = document.depth;
        log.channels = document.channels;
        log.valid = document.valid;
        log.trigger = document.trigger;
        log.breaks = document.breaks;
        log.segment_size = document.segment_size;
        log.trigger_position = document.trigger_position;
        standin::sdr::make_log(trigger, log);
        if (!document.timebars.empty())
            s.m_instances[0]->m_position_data[0]["timebars"] = document.timebars;
    }

    // The fitted window zoomed in `steps` times, scrolled to `first` (clamped by the view).
    void set_window(int steps, int first)
    {
        view()->on_fit_in_window();
        for (int i = 0; i < steps; ++i)
            view()->zoom_in(nullptr, nullptr);
        view()->get_horizontal_scroll_bar()->setValue(first);
    }

    int node_row(const std::string& name)
    {
        for (int node = 0; node < tx()->get_node_count(-1); ++node)
            if (QString::fromLocal8Bit(SEDQ_NODE(tx(), node, -1).get_name()).endsWith(QString::fromStdString(name)))
                return node;
        ADD_FAILURE() << "no row " << name;
        return -1;
    }

    // The channel of a leaf row (leaves are numbered in row order).
    const std::string& channel_of(int node)
    {
        int leaf = 0;
        for (int row = 0; row < node; ++row)
            if (!SEDQ_NODE(tx(), row, -1).is_parent())
                ++leaf;
        return m_document.channels[size_t(leaf)];
    }

    bool valid_at(int sample) const
    {
        return m_document.valid.empty() || (size_t(sample) < m_document.valid.size() && m_document.valid[size_t(sample)] == '1');
    }

    // The sample a window buffer entry reads: the window clamped to the data, as get_wave does.
    int clamp_sample(int sample) const { return std::clamp(sample, 0, m_document.depth - 1); }

    // Window buffers of the visible samples and one beyond each side: entry k is sample first - 1 + k.
    int window_entries() { return view_last() - view_first() + 2; }
    int view_first() { return std::clamp(view()->get_first_transition(), 0, m_document.depth); }
    int view_last() { return std::clamp(view()->get_last_transition(), view_first(), m_document.depth); }

    void fill_wave(int node, bool* data, bool* mask)
    {
        const std::string& bits = channel_of(node);
        for (int k = 0; k < window_entries(); ++k)
        {
            const int sample = clamp_sample(view_first() - 1 + k);
            data[k] = size_t(sample) < bits.size() && bits[size_t(sample)] == '1';
            mask[k] = valid_at(sample);
        }
    }

    // Bus rows of the members in the given order.
    void fill_bus(const std::vector<int>& members, SEDQ_BUS* bus, bool* mask)
    {
        for (size_t m = 0; m < members.size(); ++m)
            fill_wave(members[m], bus->get_row(int(m)), mask);
    }

    QImage blank() const
    {
        QImage image(const_cast<waveform_test*>(this)->view()->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        return image;
    }

    // The waveform cell of a node row painted as the view paints it.
    QImage paint_cell(int node, bool selected)
    {
        QImage image = blank();
        QPainter painter(&image);
        SEDQ_PAINT_CONTEXT context;
        context.painter = &painter;
        context.setup_enabled = true;
        context.trigger_enabled = true;
        context.sequential = true;
        SEDQ_PAINT_ROW row;
        row.row = node + 3;
        row.selected = selected;
        view()->draw_item(context, row, 23, inner_cell(node + 3, 23));
        return image;
    }

    WAVE_DOCUMENT m_document;
};

// Random bits in runs whose lengths average `mean_run` samples.
inline std::string random_runs(int depth, int mean_run, unsigned seed)
{
    std::mt19937 random(seed);
    std::geometric_distribution<int> run(1.0 / std::max(mean_run, 1));
    std::string bits;
    char bit = random() & 1 ? '1' : '0';
    while (int(bits.size()) < depth)
    {
        bits.append(size_t(run(random) + 1), bit);
        bit = bit == '1' ? '0' : '1';
    }
    bits.resize(size_t(depth));
    return bits;
}

// The members' channels of a bus whose value holds for runs of about `mean_run` samples: member 0
// the most significant bit.
inline std::vector<std::string> random_bus(int depth, int width, int mean_run, unsigned seed)
{
    std::mt19937 random(seed);
    std::geometric_distribution<int> run(1.0 / std::max(mean_run, 1));
    std::vector<std::string> channels(size_t(width), std::string(size_t(depth), '0'));
    for (int sample = 0; sample < depth;)
    {
        const unsigned value = unsigned(random());
        const int length = run(random) + 1;
        for (int s = sample; s < std::min(depth, sample + length); ++s)
            for (int m = 0; m < width; ++m)
                channels[size_t(m)][size_t(s)] = (value >> (width - 1 - m)) & 1u ? '1' : '0';
        sample += length;
    }
    return channels;
}
