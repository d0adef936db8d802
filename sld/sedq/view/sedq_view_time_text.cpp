// SEDQ_VIEW: the texts of the time axis — sample positions as sample numbers or times in the
// chosen unit, positions relative to the trigger of their segment, storage-qualifier segment
// numbers, and the two-line labels of the time bars.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"

#include <algorithm>
#include <cmath>

namespace
{
QString smaller_unit(const QString& unit)
{
    if (unit == QLatin1String("s"))
        return QStringLiteral("ms");
    if (unit == QLatin1String("ms"))
        return QStringLiteral("us");
    if (unit == QLatin1String("us"))
        return QStringLiteral("ns");
    return QStringLiteral("ps");
}

QString larger_unit(const QString& unit)
{
    if (unit == QLatin1String("ps"))
        return QStringLiteral("ns");
    if (unit == QLatin1String("ns"))
        return QStringLiteral("us");
    if (unit == QLatin1String("us"))
        return QStringLiteral("ms");
    return QStringLiteral("s");
}

// Whether the value is whole to the precision a time text shows.
bool is_whole(double value)
{
    return std::fabs(value - std::round(value)) < 1e-9 * std::max(1.0, std::fabs(value));
}
} // namespace

void SEDQ_VIEW::set_time_units(bool show_time, double value, const QString& unit)
{
    m_show_time = show_time;
    m_time_unit_value = value;
    m_time_unit_text = unit;
    update();
}

// Samples as numbers, or as times scaled into the unit that keeps the value between 1 and 1000
// ("MHz" gives times in microseconds); signed texts carry "+" for zero and positive values.
bool SEDQ_VIEW::get_time_units_string(QString* text, int value, bool signed_form, bool samples_only)
{
    const bool frequency = m_time_unit_text == QLatin1String("MHz");
    if (value == 0)
    {
        if (!signed_form)
            *text = QStringLiteral("0");
        else
            *text = m_show_time ? QStringLiteral("+0") + (frequency ? QStringLiteral("us") : m_time_unit_text)
                                : QStringLiteral("+0");
        return true;
    }
    const QString sign = signed_form && value >= 0 ? QStringLiteral("+") : QString();
    double time = frequency ? value / m_time_unit_value : value * m_time_unit_value;
    if (!m_show_time || samples_only || !std::isfinite(time))
    {
        *text = sign + QString::number(value);
        return true;
    }
    QString unit = frequency ? QStringLiteral("us") : m_time_unit_text;
    double magnitude = std::fabs(time);
    while (magnitude < 1.0 && unit != QLatin1String("ps"))
    {
        magnitude *= 1000.0;
        unit = smaller_unit(unit);
    }
    while (magnitude >= 1000.0 && unit != QLatin1String("s"))
    {
        magnitude /= 1000.0;
        unit = larger_unit(unit);
    }
    time = time < 0 ? -magnitude : magnitude;
    const int decimals = is_whole(time) ? 0 : is_whole(time * 10.0) ? 1 : 2;
    *text = sign + QString::number(time, 'f', decimals) + unit;
    return true;
}

// The sample's place after the trigger of its segment (before it: negative). The scan stops at
// the end of the data when the last segment is cut short.
int SEDQ_VIEW::get_offset_sample_number(int sample, int* segment)
{
    const int size = m_tx_manager->get_data_segment_size();
    const int number = size != 0 ? sample / size : 0;
    const int offset = size != 0 ? sample % size : sample;
    if (segment != nullptr)
        *segment = number;
    const SEDQ_WAVE_SUMMARY::LOG_ROWS* log = m_wave_summary.get_log(m_tx_manager);
    if (log == nullptr || sample >= log->depth || size <= 0)
        return offset;
    const int start = number * size;
    const auto words = [log](int k) { return SEDQ_WAVE_SUMMARY::LOG_ROWS::word(log->trigger, k); };
    const int end = std::min(start + size, log->depth);
    const int trigger = log->trigger_levels.next(words, start, end);
    return trigger < end ? offset - (trigger - start) : offset;
}

int SEDQ_VIEW::get_storage_qualifier_segment_number(int sample)
{
    const SEDQ_WAVE_SUMMARY::LOG_ROWS* log = m_wave_summary.get_log(m_tx_manager);
    return log == nullptr || sample < 0 ? 0 : log->count_breaks(sample);
}

// The master is labelled from the trigger (of its segment, or with its storage-qualifier segment),
// the other bars from the master.
void SEDQ_VIEW::get_timebar_string(int index, QString* first_line, QString* second_line)
{
    if (index < 0 || index >= m_timebar_count)
        return;
    int trigger = 0;
    m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT);
    const int master = m_timebars[0];
    const int bar = m_timebars[index];
    const bool row1 = get_row_height(SEDQ_ROW_COLUMN_TITLES) != 0;
    const int size = m_tx_manager->get_data_segment_size();
    int position = 0;
    int segment = 0;
    if (row1 && size > 0)
    {
        int master_segment = 0;
        const int master_position = get_offset_sample_number(master, &master_segment);
        position = get_offset_sample_number(bar, &segment);
        if (index == 0)
            segment = master_segment;
        else
        {
            position -= master_position;
            segment -= master_segment;
        }
    }
    else if (row1 && m_wave_summary.get_log(m_tx_manager) != nullptr)
    {
        const int master_position = master - trigger;
        const int master_segment = get_storage_qualifier_segment_number(master);
        position = index == 0 ? master_position : (bar - trigger) - master_position;
        segment = index == 0 ? master_segment : get_storage_qualifier_segment_number(bar) - master_segment;
    }
    else
        position = index == 0 ? master - trigger : bar - master;
    get_timebar_string(position, segment, index != 0, first_line, second_line);
}

void SEDQ_VIEW::get_timebar_string(const QPoint& point, QString* first_line, QString* second_line)
{
    const int index = find_timebar(point);
    if (index != -1)
        get_timebar_string(index, first_line, second_line);
}

void SEDQ_VIEW::get_timebar_string(int position, int segment, bool signed_form, QString* first_line,
                                   QString* second_line)
{
    if (first_line != nullptr)
        get_time_units_string(first_line, position, signed_form, false);
    if (second_line != nullptr && get_row_height(SEDQ_ROW_COLUMN_TITLES) != 0)
        get_time_units_string(second_line, segment, signed_form, true);
}
