#pragma once
// The sample <-> x mapping of the waveform column for one window of samples: which samples are
// in view, where the plot starts and how many pixels a sample takes. A plain value: the view
// computes it once per paint or hit test, painting and tests use it without a widget.

#include <algorithm>

struct SEDQ_TIME_AXIS
{
    // The widest window: at zoom level 1 and offset 0 the waveform column shows this many
    // samples.
    static constexpr int ZOOM_BASE = 0x20000;

    int first = 0;            // first visible sample
    int last = 0;             // last visible position (one past the last visible sample)
    int plot_left = 0;        // x of the first visible sample
    double pixels_per_sample = 0.0;

    bool is_empty() const { return pixels_per_sample <= 0.0; }

    // The x of a sample's left edge.
    int find_point(int sample) const { return int(pixels_per_sample * (sample - first) + plot_left); }

    // The sample under x, -1 without a scale. With `nearest` a point past the middle of its
    // sample counts as the next one.
    int find_transition(int x, bool nearest) const
    {
        if (is_empty())
            return -1;
        int sample = first + int((x - plot_left + 1) / pixels_per_sample);
        if (nearest && x > find_point(sample) + pixels_per_sample / 2)
            ++sample;
        return sample;
    }

    // The first and last positions clamped into the data: a paint that comes between loading
    // stored scroll positions and the relayout that clamps them may start past the data.
    SEDQ_TIME_AXIS clamped(int depth) const
    {
        SEDQ_TIME_AXIS axis = *this;
        axis.first = std::clamp(first, 0, std::max(depth, 0));
        axis.last = std::clamp(last, axis.first, std::max(depth, 0));
        return axis;
    }
};
