// The waveform cells painted from the log's summary, a pixel column at a time where columns hold
// several samples, against the same cells painted sample by sample from window buffers: at every
// zoom, scroll position and kind of row (one-bit waves, bands with value texts, the four charts),
// selected or not, over data with gaps of invalid samples, the two pictures are the same.
#include "sedq_waveform_test_support.h"

namespace
{
constexpr int DEPTH = 40000;

// Fast, slow and middling one-bit nodes; two buses (one changing slowly enough for its values to
// show); the four chart forms, one of them with its least significant member first.
WAVE_DOCUMENT mixed_document()
{
    WAVE_DOCUMENT d;
    d.depth = DEPTH;
    const auto leaf = [&d](const std::string& name, const std::string& bits)
    {
        d.rows.push_back({name});
        d.channels.push_back(bits);
    };
    leaf("top|fast", random_runs(DEPTH, 2, 1));
    leaf("top|slow", random_runs(DEPTH, 900, 2));
    leaf("top|mid", random_runs(DEPTH, 40, 3));
    const auto group = [&d](const std::string& name, SDR_DATA_GROUP_DISPLAY_TYPE radix, bool lsb_to_msb,
                            const std::vector<std::string>& members)
    {
        d.rows.push_back({name, int(members.size()), radix, lsb_to_msb});
        for (size_t m = 0; m < members.size(); ++m)
        {
            d.rows.push_back({name + "[" + std::to_string(m) + "]"});
            d.channels.push_back(members[m]);
        }
    };
    group("top|data", SDR_GTYPE_HEX, false, random_bus(DEPTH, 8, 700, 4));
    group("top|dense", SDR_GTYPE_UNSIGNED, false, random_bus(DEPTH, 12, 3, 5));
    group("top|bars", SDR_GTYPE_CHART_8, false, random_bus(DEPTH, 8, 20, 6));
    group("top|lines", SDR_GTYPE_CHART_9, true, random_bus(DEPTH, 8, 6, 7));
    group("top|signed_bars", SDR_GTYPE_CHART_10, false, random_bus(DEPTH, 8, 9, 8));
    group("top|signed_lines", SDR_GTYPE_CHART_11, false, random_bus(DEPTH, 6, 30, 9));
    d.valid.assign(DEPTH, '1');
    for (int s : {1000, 1001, 1002, 5000, 12345})
        d.valid[size_t(s)] = '0';
    std::fill(d.valid.begin() + 20000, d.valid.begin() + 20200, '0');
    std::fill(d.valid.begin() + 39900, d.valid.end(), '0');
    return d;
}

class waveform_match_test : public waveform_test
{
protected:
    // The reference: the cell painted sample by sample from buffers of the visible window.
    QImage paint_reference(int node, bool selected)
    {
        QImage image = blank();
        QPainter painter(&image);
        const QRect inner = inner_cell(node + 3, 23);
        const int entries = window_entries();
        SEDQ_WAVE_MASK mask(entries);
        if (!SEDQ_NODE(tx(), node, -1).is_parent())
        {
            SEDQ_WAVE wave(entries);
            fill_wave(node, wave.get_data(), mask.get_data());
            view()->draw_wave(wave.get_data(), mask.get_data(), selected, inner, &painter, 23);
            return image;
        }
        const int count = tx()->get_wave_count(sedq_row_of_node(node));
        std::vector<int> members;
        for (int k = 1; k <= count; ++k)
            members.push_back(node + k);
        SDR_DATA_GROUP_DISPLAY_TYPE type = SDR_GTYPE_INVALID;
        bool lsb_to_msb = false;
        tx()->get_node_group_display_type(node, &type);
        tx()->get_node_lsb_to_msb(node, &lsb_to_msb);
        const bool chart = type >= SDR_GTYPE_CHART_8 && type <= SDR_GTYPE_CHART_11;
        if (chart && lsb_to_msb)
            std::reverse(members.begin(), members.end());
        if (chart)
            members.resize(std::min<size_t>(members.size(), 25));
        SEDQ_BUS bus(int(members.size()), entries);
        fill_bus(members, &bus, mask.get_data());
        const int width = int(members.size());
        switch (int(type))
        {
        case SDR_GTYPE_CHART_8: view()->draw_bar_chart(node, bus, mask.get_data(), width, selected, inner, &painter); break;
        case SDR_GTYPE_CHART_9: view()->draw_line_chart(node, bus, mask.get_data(), width, selected, inner, &painter); break;
        case SDR_GTYPE_CHART_10: view()->draw_signed_bar_chart(node, bus, mask.get_data(), width, selected, inner, &painter); break;
        case SDR_GTYPE_CHART_11: view()->draw_signed_line_chart(node, bus, mask.get_data(), width, selected, inner, &painter); break;
        default: view()->draw_bus(node, bus, mask.get_data(), selected, inner, &painter, 23);
        }
        return image;
    }

    // Pixels that differ between the two pictures of a cell, with the first one's position.
    static int differences(const QImage& a, const QImage& b, QPoint* first)
    {
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0)
                    *first = QPoint(x, y);
        return count;
    }

    // The group rows shown collapsed, so that every row fits the view.
    void collapse_groups()
    {
        for (int node = tx()->get_node_count(-1) - 1; node >= 0; --node)
            if (SEDQ_NODE(tx(), node, -1).is_parent() && tx()->is_node_expanded(node))
                view()->toggle_item(node, true);
        refresh();
    }
};
} // namespace

TEST_F(waveform_match_test, summary_columns_paint_what_the_sample_walk_paints)
{
    open_waves(mixed_document(), QSize(1300, 1500));
    collapse_groups();
    const std::vector<int> rows = {node_row("fast"), node_row("slow"), node_row("mid"), node_row("data"),
                                   node_row("dense"), node_row("bars"), node_row("lines"),
                                   node_row("signed_bars"), node_row("signed_lines")};
    struct WINDOW
    {
        int zoom;
        int first;
    };
    const WINDOW windows[] = {{0, 0}, {1, 0}, {1, 19000}, {2, 9000}, {3, 36000}, {4, 4997}, {5, 1000}, {7, 39800}};
    int compared_columns = 0;
    for (const WINDOW& window : windows)
    {
        set_window(window.zoom, window.first);
        if (view()->get_transition_width() <= 0.5)
            ++compared_columns;
        for (int node : rows)
            for (bool selected : {false, true})
            {
                const QImage cell = paint_cell(node, selected);
                const QImage reference = paint_reference(node, selected);
                QPoint at;
                const int differing = differences(cell, reference, &at);
                EXPECT_EQ(differing, 0) << "row " << SEDQ_NODE(tx(), node, -1).get_name() << ", zoom " << window.zoom
                                        << ", first " << view()->get_first_transition() << ", selected " << selected
                                        << ": first difference at " << at.x() << "," << at.y();
                if (differing != 0)
                {
                    cell.save(QString(SEDQ_BINARY_DIR) + "/waveform_match_cell.png");
                    reference.save(QString(SEDQ_BINARY_DIR) + "/waveform_match_reference.png");
                    return;
                }
            }
    }
    EXPECT_GE(compared_columns, 4) << "most windows hold several samples per pixel column";
    EXPECT_TRUE(internal_errors().empty());
}
