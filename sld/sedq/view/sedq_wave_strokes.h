#pragma once
// The two things every data cell's painting needs: where each sample lands (SEDQ_SAMPLE_STEPS)
// and a buffer of one-pixel strokes drawn in one call per pen (SEDQ_WAVE_STROKES).
//
// Strokes are kept as rectangles: horizontal and vertical runs of pixels, filled without a pen,
// which the raster engine draws many times faster than one-pixel lines; only slanted lines stay
// lines. Runs on the same row or of the same height side by side merge as they arrive, so a walk
// sample by sample and a walk pixel column by pixel column that cover the same pixels draw the
// same picture. Pens are drawn in order: pen 0's strokes, then pen 1's over them.

#include <QColor>
#include <QLine>
#include <QRect>

#include <vector>

class QPainter;

// Samples [begin, end) of a cell and their x: sample `begin` at `left` (left + 1 when the
// cell starts at sample 0 of the data), each later one `step` pixels on, truncated, and never
// on `left` itself, which belongs to the first sample alone.
struct SEDQ_SAMPLE_STEPS
{
    int begin = 0;
    int end = 0;
    int depth = 0;
    int left = 0;
    double step = 0.0;
    bool starts_at_data = false;

    int x(int sample) const
    {
        if (sample <= begin)
            return starts_at_data ? left + 1 : left;
        const int at = int(left + (sample - begin) * step);
        return at > left ? at : left + 1;
    }
    // The first sample in [begin, end] whose x is at least `at`; end + 1 when none is.
    int first_at_or_after(int at) const;
    bool ends_at_depth() const { return end >= depth; }
};

// A value text of a bus band, drawn once the band's lines are: its box, the sample whose value
// it shows, and whether this is the second drawing, as the next crossing meets the run.
struct SEDQ_BAND_TEXT
{
    QRect box;
    int sample;
    bool at_crossing;
};

class SEDQ_WAVE_STROKES
{
public:
    enum
    {
        PENS = 2
    };

    void reset(QColor first, QColor second);
    // A run of row y from x0 to x1, inclusive, in either order.
    void add_row(int pen, int y, int x0, int x1);
    // A run of column x from y0 to y1, inclusive, in either order.
    void add_column(int pen, int x, int y0, int y1);
    // A one-pixel line; level and upright ones become runs.
    void add_line(int pen, int x0, int y0, int x1, int y1);
    void draw(QPainter* painter);

private:
    struct PEN
    {
        QColor colour;
        std::vector<QRect> rects;
        std::vector<QLine> lines;
        // The last run of each row (y, index into rects), for merging.
        std::vector<std::pair<int, size_t>> open_rows;
        // The last column run (index into rects), -1 when none.
        long last_column = -1;
    };
    PEN m_pens[PENS];
};
