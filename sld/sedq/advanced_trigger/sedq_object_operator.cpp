// SEDQ_OBJECT: the words a counter and a shift write into the equation, the trigger compiler's
// shifter that folds a shifted constant, and the data delay and pipeline suffixes.
#include "sedq/advanced_trigger/sedq_object.h"

#include <algorithm>

namespace
{
// The widest counter the trigger compiler builds.
constexpr int MAX_COUNTER_WIDTH = 31;
constexpr int MAX_COUNTER_FOR_FULL_WIDTH = 0x7ffffffe;

int bit_length(unsigned int value)
{
    int bits = 0;
    for (; value != 0; value >>= 1)
        ++bits;
    return bits;
}

QString setting_text(const SEDQ_PROPERTY& property, SEDQ_PROPERTY::SEDQ_INT_PROPERTY which)
{
    QString text;
    property.get_setting_text(which, &text, SEDQ_PROPERTY::BY_CONTEXT);
    return text;
}

// All ones over the width; the whole word from 64 bits on.
unsigned long long width_mask(int width)
{
    if (width < 1)
        return 0;
    return width >= 64 ? ~0ull : (1ull << width) - 1;
}

unsigned long long rotate(unsigned long long v, int width, bool left, int distance)
{
    const unsigned long long mask = width_mask(width);
    const unsigned long long msb = 1ull << (width - 1);
    for (int i = distance % width; i > 0; --i)
        v = left ? ((v << 1) | ((v & msb) ? 1 : 0)) & mask : (v >> 1) | ((v & 1) ? msb : 0);
    return v;
}
// Each step keeps the sign bit, so the top `distance` bits all take its value.
unsigned long long arithmetic_right(unsigned long long v, unsigned long long mask, unsigned long long msb, int bits,
                                    int distance)
{
    const unsigned long long fill = (v & msb) ? mask : 0;
    if (distance >= bits)
        return fill;
    return (v >> distance) | (fill & ~(mask >> distance));
}
} // namespace

// The bits it takes to count up to the maximum (at least 1).
QString SEDQ_OBJECT::get_counter_width() const
{
    const int max = std::max(m_property[SEDQ_PROPERTY::MAX_COUNTER_VALUE], 1);
    const int width = max >= MAX_COUNTER_FOR_FULL_WIDTH ? MAX_COUNTER_WIDTH : bit_length(unsigned(max));
    return QString::number(width);
}

// The value clamped into 1..maximum; the last problem met is reported.
QString SEDQ_OBJECT::get_counter_value(SEDQ_ERROR_TYPE* error, SEDQ_OBJECT** error_object) const
{
    const QString text = setting_text(m_property, SEDQ_PROPERTY::COUNTER_VALUE);
    if (text.isEmpty())
        return text;
    int max = m_property[SEDQ_PROPERTY::MAX_COUNTER_VALUE];
    if (max < 1)
    {
        max = 1;
        report_error(ERROR_INVALID_MAX_COUNTER_VALUE, error, error_object);
    }
    int value = m_property[SEDQ_PROPERTY::COUNTER_VALUE];
    if (value > max)
    {
        value = max;
        report_error(ERROR_COUNTER_VALUE_OVER_MAX, error, error_object);
    }
    else if (value < 1)
    {
        value = 1;
        report_error(ERROR_INVALID_COUNTER_VALUE, error, error_object);
    }
    return QString::number(value);
}

QString SEDQ_OBJECT::get_counter_type() const
{
    return setting_text(m_property, SEDQ_PROPERTY::COUNTER_TYPE).left(1).toLower();
}

QString SEDQ_OBJECT::get_counter_hold() const
{
    return setting_text(m_property, SEDQ_PROPERTY::COUNTER_HOLD) == QLatin1String("Yes")
               ? QStringLiteral("1")
               : QStringLiteral("0");
}

QString SEDQ_OBJECT::get_shift_type() const
{
    return setting_text(m_property, SEDQ_PROPERTY::SHIFT_TYPE).toLower();
}

QString SEDQ_OBJECT::get_shift_direction() const
{
    return setting_text(m_property, SEDQ_PROPERTY::SHIFT_DIRECTION).toLower();
}

// No further than the input is wide, when that width is known.
QString SEDQ_OBJECT::get_shift_distance() const
{
    const int distance = m_property[SEDQ_PROPERTY::SHIFT_DISTANCE];
    if (distance < 1)
        return QStringLiteral("0");
    const int width = get_input_width();
    return QString::number(width >= 0 ? std::min(distance, width) : distance);
}

// Shifting by the width or more leaves nothing of the value: zeros, or the sign fill of an
// arithmetic right shift.
unsigned long long SEDQ_OBJECT::lpm_clshift_model(unsigned long long value, int width, SEDQ_SHIFT_TYPE type,
                                                  SEDQ_SHIFT_DIRECTION_TYPE direction, int distance)
{
    const unsigned long long mask = width_mask(width);
    unsigned long long v = value & mask;
    if (mask == 0 || distance < 1 || (direction != SHIFT_LEFT && direction != SHIFT_RIGHT))
        return v;
    const int bits = std::min(width, 64);
    const unsigned long long msb = 1ull << (bits - 1);
    switch (type)
    {
    case SHIFT_ROTATE:
        return rotate(v, bits, direction == SHIFT_LEFT, distance);
    case SHIFT_ARITHMETIC:
        if (direction == SHIFT_RIGHT)
            return arithmetic_right(v, mask, msb, bits, distance);
        [[fallthrough]];
    case SHIFT_LOGICAL:
        if (distance >= bits)
            return 0;
        return direction == SHIFT_LEFT ? (v << distance) & mask : v >> distance;
    default:
        return v;
    }
}

// Only a Bus Value in decimal (or empty, which counts as 0) folds, and only at a known width:
// at an undetermined one there is nothing to shift within, so the generic shift is written.
bool SEDQ_OBJECT::input_numerical_value_rolling_of_shift_operator(QString* out, const SDR_DATA_MNEMONICS*,
                                                                  const SDR_TX_TRIGGER*, SEDQ_ERROR_TYPE*,
                                                                  SEDQ_OBJECT**, int, bool,
                                                                  SEDQ_OBJECT* input) const
{
    if (out == nullptr || input == nullptr || input->get_type() != BUS_VALUE)
        return false;
    const QString text = input->get_bus_value(-1, nullptr, nullptr, nullptr);
    bool ok = true;
    const long long number = text.isEmpty() ? 0 : text.toLongLong(&ok, 10);
    const int width = input->get_output_width(true);
    if (!ok || width < 1)
        return false;
    const unsigned long long shifted = lpm_clshift_model(
        static_cast<unsigned long long>(number), width,
        SEDQ_SHIFT_TYPE(m_property[SEDQ_PROPERTY::SHIFT_TYPE]),
        SEDQ_SHIFT_DIRECTION_TYPE(m_property[SEDQ_PROPERTY::SHIFT_DIRECTION]), get_shift_distance().toInt());
    const bool variable = input->get_property()[SEDQ_PROPERTY::CONFIGURABLE] == 0;
    *out += (variable ? QLatin1String("variable(") : QLatin1String("constant(")) + QString::number(shifted) +
            QLatin1Char(')');
    return true;
}

QString SEDQ_OBJECT::get_pipeline() const
{
    const QString text = setting_text(m_property, SEDQ_PROPERTY::PIPELINE_LENGTH);
    return text == QLatin1String("0") ? QString() : text;
}

QString SEDQ_OBJECT::append_data_delay_and_pipeline(const QString& text, bool) const
{
    QString result = text;
    const QString delay = get_data_delay(false);
    if (!delay.isEmpty())
        result += QLatin1Char('@') + delay;
    const QString pipeline = allows(SEDQ_PROPERTY::PIPELINE_LENGTH) ? get_pipeline() : QString();
    if (!pipeline.isEmpty())
        result += QLatin1Char('#') + pipeline;
    return result;
}
