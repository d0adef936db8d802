// SEDQ_OBJECT: each kind's own text in the trigger compiler's equation, one writer per kind
// (the kind records name them). The shared opening and closing around it, and the walk that
// writes the inputs in their places, are the equation writer's (sedq_object_equation.cpp).
#include "sedq/advanced_trigger/sedq_object_equation.h"

#include "host/sdr/sdr_tx_trigger.h"

#include <algorithm>

namespace
{
using OBJECT = SEDQ_OBJECT;
using P = SEDQ_PROPERTY;

bool is_pattern_character(QChar c)
{
    return QStringLiteral("XLFRHExlfrhe01").contains(c);
}

bool is_bitstream(const QString& text)
{
    for (QChar c : text)
        if (c != QLatin1Char('0') && c != QLatin1Char('1'))
            return false;
    return true;
}

// The one-input operators: the word, then the input.
void write_unary(SEDQ_EQUATION_WRITER& w)
{
    w.text += w.word;
    if (w.first_input)
        w.input(w.first_input);
}

bool is_unary(OBJECT::SEDQ_DISPLAY_TYPE display)
{
    return display == OBJECT::DISPLAY_BITWISE_COMPLEMENT || display == OBJECT::DISPLAY_LOGICAL_NOT;
}

// The detector's pattern, or as many don't-cares as its inputs have bits; checked against them.
void write_detector_pattern(SEDQ_EQUATION_WRITER& w)
{
    const QString& pattern = w.object.get_pattern();
    const int width = w.input_width;
    if (!pattern.isEmpty())
        w.text += QLatin1Char('\'') + pattern + QLatin1Char('\'');
    else if (width >= 0)
        w.text += QLatin1Char('\'') + QString(width, QLatin1Char('X')) + QLatin1Char('\'');
    if (width < 0 || pattern.isEmpty())
        return;
    if (!std::all_of(pattern.begin(), pattern.end(), is_pattern_character))
        w.report(OBJECT::ERROR_PATTERN_INVALID_CHARACTERS);
    else if (pattern.size() < width)
        w.report(OBJECT::ERROR_PATTERN_TOO_SHORT);
    else if (pattern.size() > width)
        w.report(OBJECT::ERROR_PATTERN_TOO_LONG);
}

// The run-time settings of a shift and of a counter are written only in checked text; the
// commas stand in the structure text all the same.
void add_checked(SEDQ_EQUATION_WRITER& w, const QString& setting)
{
    if (w.checked)
        w.text += setting;
    w.text += QLatin1Char(',');
}

QString shift_distance(const OBJECT& shift)
{
    const QString distance = shift.get_shift_distance();
    return distance.isEmpty() ? QStringLiteral("0") : distance;
}
} // namespace

namespace sedq_equation
{
void write_nothing(SEDQ_EQUATION_WRITER&) {}

void write_level_result(SEDQ_EQUATION_WRITER& w)
{
    if (w.first_input)
        w.input(w.first_input);
}

void write_detector(SEDQ_EQUATION_WRITER& w)
{
    w.text += QLatin1String("mbpm(");
    if (w.checked)
        write_detector_pattern(w);
    w.text += QLatin1Char(',');
    if (w.input_count == 1 && w.first_input->get_type() == OBJECT::BUS)
    {
        w.input(w.first_input);
    }
    else if (w.input_count > 0)
    {
        w.text += QLatin1Char('{');
        w.inputs(w.object.get_children(), ",");
        w.text += QLatin1Char('}');
    }
    w.text += QLatin1Char(')');
}

void write_node(SEDQ_EQUATION_WRITER& w)
{
    const OBJECT& node = w.object;
    if (node.get_name().isEmpty())
    {
        w.report(OBJECT::ERROR_MISSING_NODE_NAME);
        return;
    }
    w.text += QLatin1Char('\'');
    w.text += node.get_escaped_name();
    w.text += QLatin1Char('\'');
    if (w.checked && w.pass.trigger != nullptr &&
        !w.pass.trigger->is_valid_node_name(node.get_name().toLocal8Bit().constData()))
        w.report(OBJECT::ERROR_INVALID_NODE_NAME);
}

// The bits in the order of the bit order setting; a bus with a data delay takes only nodes and
// values.
void write_bus(SEDQ_EQUATION_WRITER& w)
{
    const QList<OBJECT*>& bits = w.object.get_children();
    const int n = w.input_count;
    const bool bus_delayed = w.object.has_own_data_delay();
    const bool lsb_first = w.object.get_property()[P::BIT_ORDER] == 1;
    w.text += QLatin1Char('{');
    for (int i = 0; i < n; ++i)
    {
        const OBJECT* bit = bits.at(lsb_first ? n - 1 - i : i);
        const OBJECT::SEDQ_OBJECT_TYPE bit_kind = bit->get_type();
        if (bus_delayed && bit_kind != OBJECT::NODE && bit_kind != OBJECT::BIT_VALUE &&
            bit_kind != OBJECT::BUS_VALUE)
            w.report(OBJECT::ERROR_BUS_DATA_DELAY_INPUTS);
        if (i > 0)
            w.text += QLatin1Char(',');
        w.input(bit);
    }
    w.text += QLatin1Char('}');
}

void write_bit_value(SEDQ_EQUATION_WRITER& w)
{
    if (w.display != OBJECT::DISPLAY_VARIABLE_HIGH && w.display != OBJECT::DISPLAY_VARIABLE_LOW)
    {
        w.text += w.word;
        return;
    }
    w.text += QLatin1String("variable(");
    if (w.checked)
        w.text += w.display == OBJECT::DISPLAY_VARIABLE_HIGH ? QLatin1Char('1') : QLatin1Char('0');
    w.text += QLatin1Char(')');
}

void write_bus_value(SEDQ_EQUATION_WRITER& w)
{
    const bool variable = w.display == OBJECT::DISPLAY_VARIABLE_BUS_VALUE;
    if (variable)
        w.text += QLatin1String("variable(");
    if (w.checked || !variable)
    {
        const int width = w.object.get_output_width(true);
        const QString value =
            width == OBJECT::UNKNOWN_WIDTH
                ? QString()
                : w.object.get_bus_value(width, w.pass.mnemonics, w.pass.error, w.pass.error_object);
        w.text += value.isEmpty() ? QStringLiteral("0") : value;
    }
    if (variable)
        w.text += QLatin1Char(')');
}

// Its inputs in canonical order; when that swaps them, the comparison is mirrored. A variable
// comparison leaves its operator out of the structure text.
void write_comparison(SEDQ_EQUATION_WRITER& w)
{
    const QList<OBJECT*> sorted = w.pass.sorted(&w.object);
    const bool swapped = !sorted.isEmpty() && sorted.first() != w.first_input;
    const bool variable = w.object.get_property()[P::CONFIGURABLE] == 0;
    w.text += QLatin1String("compare(");
    if (sorted.size() > 0)
        w.input(sorted.at(0));
    w.text += QLatin1Char(',');
    if (w.checked || !variable)
        w.text += QLatin1String(
            OBJECT::DISPLAY_TYPES[swapped ? reverse_comparison_type(w.display) : w.display].equation);
    w.text += QLatin1Char(',');
    if (sorted.size() > 1)
        w.input(sorted.at(1));
    w.text += variable ? QLatin1String(",vc,") : QLatin1String(",cc,");
    w.text += w.object.is_signed_comparison() ? QLatin1String("sc)") : QLatin1String("uc)");
}

void write_bitwise(SEDQ_EQUATION_WRITER& w)
{
    if (is_unary(w.display))
    {
        write_unary(w);
        return;
    }
    if (!w.prefixed)
        w.text += QLatin1Char('(');
    w.inputs(w.pass.sorted(&w.object), w.word.data());
    if (!w.prefixed)
        w.text += QLatin1Char(')');
}

void write_logical(SEDQ_EQUATION_WRITER& w)
{
    if (is_unary(w.display))
    {
        write_unary(w);
        return;
    }
    w.text += w.word + QLatin1Char('(');
    w.inputs(w.pass.sorted(&w.object), ",");
    w.text += QLatin1Char(')');
}

void write_reduction(SEDQ_EQUATION_WRITER& w)
{
    if (!w.prefixed)
        w.text += QLatin1Char('(');
    write_unary(w);
    if (!w.prefixed)
        w.text += QLatin1Char(')');
}

// A shift of a constant value is folded into the value it gives.
void write_shift(SEDQ_EQUATION_WRITER& w)
{
    const SEDQ_EQUATION_PASS& pass = w.pass;
    if (w.object.input_numerical_value_rolling_of_shift_operator(
            &w.text, pass.mnemonics, pass.trigger, pass.error, pass.error_object, pass.condition,
            pass.first_list, const_cast<OBJECT*>(w.first_input)))
        return;
    w.text += QLatin1String("shift(") + w.object.get_shift_type() + QLatin1Char(',');
    add_checked(w, w.checked ? w.object.get_shift_direction() : QString());
    add_checked(w, w.checked ? shift_distance(w.object) : QString());
    if (w.first_input)
        w.input(w.first_input);
    w.text += QLatin1Char(')');
    if (w.input_count == 1 && w.input_width == 1)
        w.report(OBJECT::ERROR_SHIFT_INPUT_TOO_NARROW);
}

// Counters count only in the first condition.
void write_counter(SEDQ_EQUATION_WRITER& w)
{
    const OBJECT& counter = w.object;
    w.text += QLatin1String("ec(") + counter.get_counter_width() + QLatin1Char(',');
    if (w.checked)
    {
        const QString value = counter.get_counter_value(w.pass.error, w.pass.error_object);
        add_checked(w, value.isEmpty() ? QStringLiteral("1") : value);
        add_checked(w, counter.get_counter_type());
        add_checked(w, counter.get_counter_hold());
    }
    else
    {
        w.text += QLatin1String(",,,");
    }
    if (w.first_input)
        w.input(w.first_input);
    w.text += QLatin1Char(')');
    if (w.checked && w.pass.condition > 1)
        w.report(OBJECT::ERROR_COUNTER_NOT_IN_FIRST_CONDITION);
}

// The arguments of the custom module call, which the shared opening has begun.
void write_custom_hdl(SEDQ_EQUATION_WRITER& w)
{
    const QString& bitstream = w.object.get_property()[P::CONFIG_BITSTREAM];
    const QString& module = w.object.get_property()[P::MODULE_NAME];
    w.text += QString::number(w.input_width) + QLatin1Char(',');
    if (w.first_input)
        w.input(w.first_input);
    w.text += QLatin1Char(',') + QString::number(bitstream.size()) + QLatin1String(",'") + bitstream +
              QLatin1String("',") + (w.pipeline.isEmpty() ? QStringLiteral("0") : w.pipeline) +
              QLatin1Char(',') + module;
    if (w.checked && !bitstream.isEmpty() && !is_bitstream(bitstream))
        w.report(OBJECT::ERROR_BITSTREAM_INVALID_CHARACTERS);
    if (w.checked && module.isEmpty())
        w.report(OBJECT::ERROR_MISSING_MODULE_NAME);
}

// Its texts: the power-up pattern, the normal pattern and the node list.
void write_incremental_route(SEDQ_EQUATION_WRITER& w)
{
    const QString& pattern = w.object.get_incremental_text(w.pass.first_list ? 0 : 1);
    const QString& nodes = w.object.get_incremental_text(2);
    w.text += QLatin1String("imbpm(");
    if (!pattern.isEmpty() || !nodes.isEmpty())
    {
        if (w.checked)
            w.text += QLatin1Char('\'') + pattern + QLatin1Char('\'');
        w.text += QLatin1String(",{") + nodes + QLatin1Char('}');
    }
    w.text += QLatin1Char(')');
}
} // namespace sedq_equation
