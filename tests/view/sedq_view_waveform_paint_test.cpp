// What the waveform cells show, read back from their pixels: state texts in place of samples,
// value texts with spacers, bus crossings and chart bar gaps at wide and narrow samples, signed
// charts at both ends of their range, gaps of invalid samples in waves and bands, the end of a
// wave at and before the end of the data, charts of wide and LSB-first buses, symbols of a bus
// with a mnemonic table.
#include "sedq_waveform_test_support.h"

#include "host/afcq.h"
#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_repository.h"

namespace
{
// A bus whose value changes every sample (member 0 most significant): sample s holds
// `values[s % size]`.
std::vector<std::string> bus_of(int depth, int width, const std::vector<unsigned>& values)
{
    std::vector<std::string> channels(size_t(width), std::string(size_t(depth), '0'));
    for (int s = 0; s < depth; ++s)
        for (int m = 0; m < width; ++m)
            if ((values[size_t(s) % values.size()] >> (width - 1 - m)) & 1u)
                channels[size_t(m)][size_t(s)] = '1';
    return channels;
}

void add_group(WAVE_DOCUMENT* d, const std::string& name, SDR_DATA_GROUP_DISPLAY_TYPE radix, bool lsb_to_msb,
               const std::vector<std::string>& members)
{
    d->rows.push_back({name, int(members.size()), radix, lsb_to_msb});
    for (size_t m = 0; m < members.size(); ++m)
    {
        d->rows.push_back({name + "[" + std::to_string(m) + "]"});
        d->channels.push_back(members[m]);
    }
}

class waveform_paint_test : public waveform_test
{
protected:
    // Resizes the window so that a window of `samples` samples gets `pixels` pixels per sample.
    void set_pixels_per_sample(double pixels, int samples)
    {
        const int wanted = int(pixels * samples) + 6;
        frame()->resize(frame()->width() + wanted - view()->get_column_width(SEDQ_COLUMN_WAVEFORM),
                        frame()->height());
        settle();
        view()->send_resize_event();
    }

    QColor band() { return AFCQ_COLOR(AFCQ_COLOR_BUS_VALUE).get_color(); }

    // Shows the named groups collapsed, so that their band or chart rows come one after another.
    void collapse(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
        {
            const int node = node_row(name);
            if (tx()->is_node_expanded(node))
                view()->toggle_item(node, true);
        }
        refresh();
    }

    // Columns of the cell's row `y` inked in `colour`.
    static std::vector<int> inked_columns(const QImage& image, const QRect& cell, int y, const QColor& colour)
    {
        std::vector<int> columns;
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb())
                columns.push_back(x);
        return columns;
    }

    static int inked_in_column(const QImage& image, int x, int top, int bottom, const QColor& colour)
    {
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            count += image.pixelColor(x, y).rgb() == colour.rgb();
        return count;
    }
};

TEST_F(waveform_paint_test, spacer_every_group_of_characters_from_the_right)
{
    open_waves({});
    struct CASE
    {
        const char* text;
        int group;
        const char* spaced;
    };
    const CASE cases[] = {
        {"0123456789ABCDEFh", 8, "01234567_89ABCDEFh"}, // 16 digits and the radix letter
        {"123456789ABCDEF01h", 8, "1_23456789_ABCDEF01h"},
        {"12345678h", 8, "12345678h"},
        {"123456789", 8, "1_23456789"},
        {"12345678", 8, "12345678"},
        {"1010101010b", 4, "10_1010_1010b"},
        {"", 8, ""},
    };
    for (const CASE& c : cases)
    {
        QString text = QString::fromLatin1(c.text);
        EXPECT_TRUE(view()->add_spacer_character(&text, "_", c.group));
        EXPECT_EQ(text, QString::fromLatin1(c.spaced)) << c.text;
    }
}

TEST_F(waveform_paint_test, state_texts_stand_in_the_first_row_without_samples)
{
    WAVE_DOCUMENT d;
    d.rows = {{"top|a"}, {"top|b"}};
    open_waves(d, QSize(1200, 1400));
    int depth = 0;
    tx()->get_data_sample_depth(&depth, -1);
    ASSERT_GT(depth, 0) << "the configured depth stands without data";
    const QImage image = render();
    const QFont font = view()->font();
    const QColor grey = AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen().color();
    EXPECT_TRUE(shows_text(image, inner_cell(3, 23).adjusted(10, 0, 0, 0), "No samples", font, grey,
                           Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_FALSE(shows_text(image, inner_cell(4, 23).adjusted(10, 0, 0, 0), "No samples", font, grey,
                            Qt::AlignLeft | Qt::AlignVCenter))
        << "only the topmost row";
    tx()->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING);
    EXPECT_TRUE(shows_text(render(), inner_cell(3, 23).adjusted(10, 0, 0, 0), "Acquisition in progress", font,
                           grey, Qt::AlignLeft | Qt::AlignVCenter));
}

TEST_F(waveform_paint_test, trigger_state_texts_with_data)
{
    for (bool met : {true, false})
    {
        m_frames.clear();
        WAVE_DOCUMENT d;
        d.depth = 16;
        d.rows = {{"top|a"}};
        d.channels = {std::string(16, '0')};
        if (met)
        {
            d.trigger_position = 4;
            d.trigger = std::string(16, '0');
            d.trigger[4] = '1';
        }
        open_waves(d, QSize(1200, 1400));
        QImage image = view()->grab().toImage();
        image.fill(Qt::white);
        QPainter painter(&image);
        const QRect cell = inner_cell(3, 23);
        view()->draw_zero_sample_wave(cell, &painter);
        const QFont font = painter.font();
        painter.end();
        EXPECT_TRUE(shows_text(
            image, cell.adjusted(10, 0, 0, 0), met ? "Trigger condition met" : "Trigger condition not met",
            font, AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen().color(), Qt::AlignLeft | Qt::AlignVCenter));
    }
}

// Crossings and bar gaps are six pixels wide where a sample is wider, as wide as the sample
// (whole pixels) below that.
TEST_F(waveform_paint_test, crossings_and_bar_gaps_of_six_and_four_pixels)
{
    WAVE_DOCUMENT d;
    d.depth = 1000;
    add_group(&d, "top|bus", SDR_GTYPE_HEX, false, bus_of(1000, 8, {0x11, 0x11, 0x22, 0x22}));
    add_group(&d, "top|bars", SDR_GTYPE_CHART_8, false, bus_of(1000, 8, {0xFF}));
    open_waves(d, QSize(1200, 1400));
    const int bus = node_row("bus");
    const int bars = node_row("bars");
    collapse({"bus", "bars"});
    struct CASE
    {
        int zoom_steps;
        int window;
        double pixels;
        int width;
    };
    for (const CASE& c : {CASE{3, 125, 9.0, 6}, CASE{2, 250, 4.5, 4}})
    {
        set_pixels_per_sample(c.pixels, c.window);
        set_window(c.zoom_steps, 300);
        ASSERT_NEAR(view()->get_transition_width(), c.pixels, 0.01);
        const int first = view()->get_first_transition();
        const QRect band_cell = inner_cell(bus + 3, 23);
        const QImage image = render();
        const int top = band_cell.top() + 1;
        const int bottom = band_cell.bottom() - 2;
        const int half = c.width / 2;
        for (int s = first + 2; s < first + 10; s += 2) // the value changes at even samples
        {
            const int x = int(band_cell.left() + (s - first) * c.pixels);
            // The crossing's two slants, drawn alone with the band's pen.
            QImage alone(image.size(), QImage::Format_ARGB32);
            alone.fill(background_of(image, QRect(x - half, top + 1, c.width + 1, bottom - top - 1)));
            QPainter painter(&alone);
            painter.setPen(QPen(band(), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter.drawLine(x - half, top, x - half + c.width, bottom);
            painter.drawLine(x - half, bottom, x - half + c.width, top);
            painter.end();
            const QRect inside(QPoint(x - half, top + 1), QPoint(x - half + c.width, bottom - 1));
            EXPECT_EQ(ink(image, inside, band()), ink(alone, inside, band()))
                << "crossing at sample " << s << ", " << c.pixels << " pixels per sample";
        }
        // Each bar spans its sample less the gap: x + half .. x + half + trunc(step) - w.
        const QRect chart = inner_cell(bars + 3, 23);
        std::vector<int> expected;
        for (int s = first; s < view()->get_last_transition(); ++s)
        {
            const int x = s == 0 ? chart.left() + 1 : int(chart.left() + (s - first) * c.pixels);
            for (int column = x + half; column <= x + half + int(c.pixels) - c.width; ++column)
                if (column <= chart.right() - 1)
                    expected.push_back(column);
        }
        EXPECT_EQ(inked_columns(image, chart, chart.bottom() - 2, band()), expected) << c.pixels << " pixels per sample";
    }
}

TEST_F(waveform_paint_test, signed_charts_reach_the_full_height_each_way)
{
    WAVE_DOCUMENT d;
    d.depth = 4;
    add_group(&d, "top|low", SDR_GTYPE_CHART_10, false, bus_of(4, 16, {0x8000}));
    add_group(&d, "top|high", SDR_GTYPE_CHART_10, false, bus_of(4, 16, {0x7FFF}));
    add_group(&d, "top|line", SDR_GTYPE_CHART_11, false, bus_of(4, 16, {0x7FFF}));
    add_group(&d, "top|bit", SDR_GTYPE_CHART_10, false, bus_of(4, 1, {1}));
    open_waves(d, QSize(1200, 1400));
    collapse({"low", "high", "line", "bit"});
    view()->on_fit_in_window();
    const QImage image = render();
    const QColor colour = band();
    const auto check = [&](const char* name, bool below)
    {
        const QRect cell = inner_cell(node_row(name) + 3, 23);
        const int top = cell.top() + 2;
        const int bottom = cell.bottom() - 2;
        const int zero = top + (bottom - top) / 2;
        const int x = cell.left() + int(1.5 * view()->get_transition_width());
        const int above = inked_in_column(image, x, cell.top(), zero - 1, colour);
        const int under = inked_in_column(image, x, zero + 1, cell.bottom(), colour);
        if (below)
        {
            EXPECT_EQ(above, 0) << name;
            EXPECT_GE(under, bottom - zero) << name << ": a full bar below the zero line";
        }
        else
        {
            EXPECT_EQ(under, 0) << name;
            EXPECT_GE(above, zero - top) << name << ": a full bar above the zero line";
        }
        EXPECT_EQ(image.pixelColor(x, zero).rgb(), AFCQ_COLOR(AFCQ_COLOR_CELL_OUTLINE).get_color().rgb())
            << name << ": the zero line";
    };
    check("low", true);
    check("high", false);
    check("bit", true); // a one-bit chart: 1 is -1 of a scale of 1
    const QRect line = inner_cell(node_row("line") + 3, 23);
    const int centre = int(line.left() + view()->get_transition_width()) + int(0.5 * view()->get_transition_width());
    EXPECT_EQ(image.pixelColor(centre, line.top() + 1).rgb(), colour.rgb()) << "the line at full scale";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(waveform_paint_test, an_invalid_sample_leaves_a_gap_in_wave_and_band)
{
    WAVE_DOCUMENT d;
    d.depth = 100;
    d.rows = {{"top|a"}};
    d.channels = {std::string(100, '1')};
    add_group(&d, "top|bus", SDR_GTYPE_HEX, false, bus_of(100, 4, {5}));
    d.valid.assign(100, '1');
    d.valid[50] = '0';
    open_waves(d, QSize(1200, 1400));
    collapse({"bus"});
    set_window(2, 40); // 25 samples across the column
    const double step = view()->get_transition_width();
    ASSERT_GE(step, 8.0);
    const int first = view()->get_first_transition();
    const QImage image = render();
    const QRect wave = inner_cell(node_row("a") + 3, 23);
    const QColor high = AFCQ_PEN(AFCQ_PEN_WAVE_HIGH).get_pen().color();
    const int x50 = int(wave.left() + (50 - first) * step);
    const int x51 = int(wave.left() + (51 - first) * step);
    EXPECT_EQ(image.pixelColor(x50 - 1, wave.top() + 1).rgb(), high.rgb()) << "the level up to the gap";
    for (int x = x50 + 1; x < x51; ++x)
        EXPECT_EQ(inked_in_column(image, x, wave.top(), wave.bottom(), high), 0) << "gap at " << x;
    EXPECT_EQ(image.pixelColor(x51 + 1, wave.top() + 1).rgb(), high.rgb()) << "the level after the gap";

    const QRect cell = inner_cell(node_row("bus") + 3, 23);
    const int top = cell.top() + 1;
    const int bottom = cell.bottom() - 2;
    EXPECT_EQ(inked_in_column(image, x50 + 1, top, bottom, band()), bottom - top + 1) << "closed before the gap";
    for (int x = x50 + 2; x < x51; ++x)
        EXPECT_EQ(inked_in_column(image, x, top, bottom, band()), 0) << "gap at " << x;
    EXPECT_EQ(inked_in_column(image, x51, top, bottom, band()), 2) << "open after the gap: top and bottom only";
}

TEST_F(waveform_paint_test, a_wave_ends_with_an_edge_before_the_depth_and_flat_at_it)
{
    WAVE_DOCUMENT d;
    d.depth = 1000;
    d.rows = {{"top|a"}};
    std::string bits(1000, '0');
    std::fill(bits.begin() + 125, bits.end(), '1');
    bits[999] = '0';
    d.channels = {bits};
    open_waves(d, QSize(1200, 1400));
    set_window(3, 0); // samples 0 .. 124, then sample 125 rises
    const QRect cell = inner_cell(3, 23);
    const double step = view()->get_transition_width();
    QImage image = render();
    const QColor low = AFCQ_PEN(AFCQ_PEN_WAVE_LOW).get_pen().color();
    const int end = int(cell.left() + 125 * step);
    EXPECT_EQ(inked_in_column(image, end, cell.top(), cell.bottom() - 2, low), cell.bottom() - 2 - cell.top() + 1)
        << "an edge up to the cell's top";
    view()->get_horizontal_scroll_bar()->setValue(875); // up to the depth
    image = render();
    const int last = int(cell.left() + 125 * step);
    EXPECT_EQ(inked_in_column(image, last, cell.top(), cell.bottom() - 3, low), 0) << "no edge at the end";
    EXPECT_EQ(image.pixelColor(last, cell.bottom() - 2).rgb(), low.rgb()) << "the level runs on to the end";
}

// A chart plots its first 25 members (the most significant), so a wide bus keeps its scale; a
// bus of LSB-first order is read from its last member down.
TEST_F(waveform_paint_test, charts_take_25_members_from_the_most_significant_end)
{
    WAVE_DOCUMENT d;
    d.depth = 4;
    std::vector<std::string> wide(40, std::string(4, '0'));
    wide[0] = "1111"; // half of full scale
    add_group(&d, "top|wide", SDR_GTYPE_CHART_8, false, wide);
    std::vector<std::string> reversed(40, std::string(4, '0'));
    reversed[39] = "1111"; // the most significant member of an LSB-first bus
    add_group(&d, "top|lsb_first", SDR_GTYPE_CHART_8, true, reversed);
    std::vector<std::string> low_bits(40, std::string(4, '0'));
    low_bits[0] = "1111"; // the least significant member of an LSB-first bus: below the chart's bits
    add_group(&d, "top|low_bits", SDR_GTYPE_CHART_8, true, low_bits);
    open_waves(d, QSize(1200, 1400));
    collapse({"wide", "lsb_first", "low_bits"});
    const QImage image = render();
    for (const char* name : {"wide", "lsb_first", "low_bits"})
    {
        const QRect cell = inner_cell(node_row(name) + 3, 23);
        const int x = cell.left() + int(1.5 * view()->get_transition_width());
        const int height = cell.bottom() - 2 - (cell.top() + 2) + 1;
        const int bar = inked_in_column(image, x, cell.top(), cell.bottom(), band());
        if (std::string(name) == "low_bits")
            EXPECT_LE(bar, 1) << name;
        else
            EXPECT_NEAR(bar, height / 2, 1) << name;
    }
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(waveform_paint_test, a_bus_with_a_mnemonic_table_shows_its_symbols)
{
    WAVE_DOCUMENT d;
    d.depth = 8;
    add_group(&d, "top|state", SDR_GTYPE_MNEMONICS, false, bus_of(8, 2, {0, 0, 0, 0, 1, 1, 1, 1}));
    open(write_document(
        [&d](SDR_DATA_SESSION& s)
        {
            waveform_test::build(s, d);
            SDR_DATA_MNEMONICS_TABLE* table = s.get_mnemonics()->create_table("states", 2);
            ASSERT_NE(table, nullptr);
            ASSERT_TRUE(table->add_entry("IDLE", "00"));
            ASSERT_TRUE(table->add_entry("BUSY", "01"));
            trigger_of(s)->edit_transient().trigger_list[0].mnemonic_table = "states";
        }));
    m_document = d;
    show_data_tab(true);
    refresh();
    const int bus = node_row("state");
    collapse({"state"});
    const QRect cell = inner_cell(bus + 3, 23);
    const int middle = cell.left() + (cell.width() - 1) / 2;
    const QImage image = render();
    const QFont font = view()->font();
    const QColor symbol = AFCQ_PEN(AFCQ_PEN_TEXT).get_pen().color();
    const QColor crossing = AFCQ_COLOR(AFCQ_COLOR_DATA_MNEMONIC).get_color();
    const QRect first_box(QPoint(cell.left(), cell.top() + 2), QPoint(middle - 3, cell.bottom() - 2));
    const QRect second_box(QPoint(middle + 4, cell.top() + 2), QPoint(cell.right() - 1, cell.bottom() - 2));
    const auto inked = [&image](const QRect& box, const QColor& colour)
    {
        int count = 0;
        for (int x = box.left(); x <= box.right(); ++x)
            count += inked_in_column(image, x, box.top(), box.bottom(), colour);
        return count;
    };
    EXPECT_GT(inked(first_box, crossing), 20) << "IDLE meets the crossing in its own colour";
    EXPECT_GT(inked(second_box, symbol), 20) << "BUSY at the end of the data";
    EXPECT_EQ(inked(second_box, crossing), 0);
    QString first_text;
    const char* shown = "";
    SEDQ_NUMBER(QStringLiteral("01")).get_string(tx(), bus, &shown, true, true, nullptr, -1);
    first_text = QString::fromLocal8Bit(shown);
    EXPECT_EQ(first_text, "BUSY");
}
} // namespace

// The rows the painting reads outlive a refresh that changes nothing they were read from, and
// are read again when the log's samples change (a new payload in the same log object) or the
// rows come to read other channels (a row above them deleted): what the painting reads is
// always what the document model gives for the row.
TEST_F(waveform_paint_test, a_refresh_keeps_the_waveform_rows_until_their_samples_or_channels_change)
{
    WAVE_DOCUMENT document;
    document.depth = 64;
    document.rows = {{"a"}, {"b"}, {"c"}};
    document.channels = {std::string(64, '0'), std::string(64, '1'), std::string(32, '0') + std::string(32, '1')};
    open_waves(document);
    SEDQ_WAVE_SUMMARY& summary = view()->get_wave_summary();
    const auto as_read = [&](int row)
    {
        std::string bits;
        if (const SEDQ_WAVE_SUMMARY::NODE_ROWS* rows = summary.get_node(tx(), row))
            for (int s = 0; s < document.depth; ++s)
                bits += rows->value(s) ? '1' : '0';
        return bits;
    };
    const auto from_model = [&](int row)
    {
        SEDQ_WAVE wave(document.depth);
        std::string bits;
        if (tx()->get_wave(row, wave.get_data(), -1, false, -1))
            for (int s = 0; s < document.depth; ++s)
                bits += wave.get_data()[s] ? '1' : '0';
        return bits;
    };
    const int b = node_row("b");
    const SEDQ_WAVE_SUMMARY::NODE_ROWS* kept = summary.get_node(tx(), b);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(as_read(b), std::string(64, '1'));
    refresh();
    EXPECT_EQ(summary.get_node(tx(), b), kept) << "the same samples: the rows are kept";

    const SDR_DATA_LOG* shown = nullptr;
    ASSERT_TRUE(tx()->is_data_available(false, -1, &shown));
    SDR_TX_SESSION* session = SEDQ_REPOSITORY::session(tx());
    SDR_DATA_LOG* log = nullptr;
    for (int i = 0; i < session->get_num_instances() && log != shown; ++i)
        log = session->get_log_at(i, false);
    ASSERT_EQ(log, shown);
    const SDR_PAYLOAD_HANDLE original = log->m_payload;
    auto cleared = std::make_shared<SDR_LOG_PAYLOAD>(*original);
    cleared->channel_bits.fill('\0');
    log->m_payload = cleared;
    refresh();
    EXPECT_EQ(as_read(b), std::string(64, '0')) << "new samples in the same log are read";

    log->m_payload = original;
    for (int row = 0; row < 3; ++row)
        as_read(row);
    ASSERT_TRUE(tx()->delete_node("a"));
    refresh();
    for (int row = 0; row < tx()->get_node_count(-1); ++row)
    {
        EXPECT_FALSE(from_model(row).empty()) << row;
        EXPECT_EQ(as_read(row), from_model(row)) << row;
    }
}
