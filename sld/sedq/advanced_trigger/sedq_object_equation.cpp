// SEDQ_OBJECT: the equation writer. Walking down from an object it writes the trigger
// compiler's text of the subtree and checks it; without an error out-parameter it writes the
// structure text (no run-time settings, no names), which orders commutative inputs. A second
// writer renders the canvas's readable formula.
#include "sedq/advanced_trigger/sedq_object.h"

#include "host/sdr/sdr_tx_trigger.h"

#include <QHash>

#include <algorithm>

namespace
{
bool kind_allows(SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind, SEDQ_PROPERTY::SEDQ_INT_PROPERTY property)
{
    return (SEDQ_OBJECT::OBJECT_PROPERTY[kind] & (1u << (8 + property))) != 0;
}

bool is_pattern_character(QChar c)
{
    return QStringLiteral("XLFRHExlfrhe01").contains(c);
}

// The structure text of every object written so far in one writing pass: inputs are ordered
// by these texts at every level, so each is written once per pass rather than once per level.
// The outermost call of a pass owns the cache.
thread_local QHash<const SEDQ_OBJECT*, QString>* structure_cache = nullptr;

struct STRUCTURE_PASS
{
    STRUCTURE_PASS()
    {
        if (structure_cache == nullptr)
            structure_cache = &m_cache;
    }
    ~STRUCTURE_PASS()
    {
        if (structure_cache == &m_cache)
            structure_cache = nullptr;
    }
    QHash<const SEDQ_OBJECT*, QString> m_cache;
};

bool is_bitstream(const QString& text)
{
    for (QChar c : text)
        if (c != QLatin1Char('0') && c != QLatin1Char('1'))
            return false;
    return true;
}
} // namespace

QString SEDQ_OBJECT::get_escaped_name() const
{
    QString escaped;
    for (QChar c : get_name()) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

void SEDQ_OBJECT::get_equation(QString* out, SDR_DATA_MNEMONICS* mnemonics, SDR_TX_TRIGGER* trigger,
                               SEDQ_ERROR_TYPE* error, SEDQ_OBJECT** error_object, int condition,
                               bool first_list) const
{
    const bool checked = error != nullptr;
    STRUCTURE_PASS pass;
    const int start = out->size();
    if (!checked) {
        const auto cached = structure_cache->constFind(this);
        if (cached != structure_cache->constEnd()) {
            *out += *cached;
            return;
        }
    }
    auto report = [&](SEDQ_ERROR_TYPE code) { report_error(code, error, error_object); };
    auto input = [&](const SEDQ_OBJECT* child) {
        child->get_equation(out, mnemonics, trigger, error, error_object, condition, first_list);
    };
    auto inputs = [&](const QList<SEDQ_OBJECT*>& list, const char* separator) {
        for (int i = 0; i < list.size(); ++i) {
            if (i > 0)
                *out += QLatin1String(separator);
            input(list.at(i));
        }
    };

    const SEDQ_DISPLAY_TYPE display = get_display_type();
    const bool constant_bit = display == DISPLAY_CONSTANT_UNSIGNED_TRUE || display == DISPLAY_CONSTANT_UNSIGNED_FALSE;
    const SEDQ_OBJECT_TYPE kind = constant_bit ? BIT_VALUE : get_type();
    const int count = DISPLAY_INPUT_COUNT[display];
    const int n = m_children.size();
    const int in_width = get_input_width();
    const SEDQ_OBJECT* first = m_children.isEmpty() ? nullptr : m_children.first();

    if (DISPLAY_INPUT_TYPE[display] == PORT_BUS || count == ANY_INPUT_COUNT) {
        if (in_width == UNKNOWN_WIDTH)
            report(ERROR_INPUT_WIDTH_UNKNOWN);
        else if (in_width == MISMATCHED_WIDTH)
            report(ERROR_INPUT_WIDTH_MISMATCH);
    }

    const QString pipeline = kind_allows(kind, SEDQ_PROPERTY::PIPELINE_LENGTH) ? get_pipeline() : QString();
    const bool pipelined = !pipeline.isEmpty();
    if (pipelined)
        *out += QLatin1Char('(');

    // A Custom Trigger HDL call is always closed, whatever its name.
    bool named = false;
    bool hdl_call = false;
    if (checked && kind != NODE) {
        if (kind == CUSTOM_TRIGGER_HDL) {
            *out += QLatin1String("mvx_custom_trigger_hdl(");
            hdl_call = true;
        } else if (!get_name().isEmpty()) {
            *out += QLatin1Char('\'') + get_escaped_name() + QLatin1String("':(");
            named = true;
        }
    }

    const QString delay = kind == NODE ? get_data_delay(true) : QString();
    const bool delayed = !delay.isEmpty();
    if (delayed)
        *out += QLatin1Char('(');
    const bool prefixed = pipelined || named || hdl_call || delayed;

    if (count == ANY_INPUT_COUNT && n == 0)
        report(ERROR_NOT_ENOUGH_INPUTS);
    else if (count != ANY_INPUT_COUNT && count != n)
        report(ERROR_WRONG_INPUT_COUNT);
    else if (!is_valid_parent())
        report(ERROR_WRONG_INPUT_COUNT);

    const QLatin1String word(DISPLAY_EQUATION[display]);
    switch (kind)
    {
    case LEVEL_RESULT:
        if (first)
            input(first);
        break;
    case BITWISE_OPERATOR:
    case LOGICAL_OPERATOR:
        if (display == DISPLAY_BITWISE_COMPLEMENT || display == DISPLAY_LOGICAL_NOT) {
            *out += word;
            if (first)
                input(first);
        } else if (kind == BITWISE_OPERATOR) {
            QList<SEDQ_OBJECT*> sorted;
            get_sorted_children(&sorted, ANY_INPUT_COUNT);
            if (!prefixed)
                *out += QLatin1Char('(');
            inputs(sorted, word.data());
            if (!prefixed)
                *out += QLatin1Char(')');
        } else {
            QList<SEDQ_OBJECT*> sorted;
            get_sorted_children(&sorted, ANY_INPUT_COUNT);
            *out += word + QLatin1Char('(');
            inputs(sorted, ",");
            *out += QLatin1Char(')');
        }
        break;
    case REDUCTION_OPERATOR:
        if (!prefixed)
            *out += QLatin1Char('(');
        *out += word;
        if (first)
            input(first);
        if (!prefixed)
            *out += QLatin1Char(')');
        break;
    case SHIFT_OPERATOR:
        if (input_numerical_value_rolling_of_shift_operator(out, mnemonics, trigger, error, error_object, condition,
                                                            first_list, const_cast<SEDQ_OBJECT*>(first)))
            break;
        *out += QLatin1String("shift(") + get_shift_type() + QLatin1Char(',');
        if (checked)
            *out += get_shift_direction();
        *out += QLatin1Char(',');
        if (checked) {
            const QString distance = get_shift_distance();
            *out += distance.isEmpty() ? QStringLiteral("0") : distance;
        }
        *out += QLatin1Char(',');
        if (first)
            input(first);
        *out += QLatin1Char(')');
        if (n == 1 && in_width == 1)
            report(ERROR_SHIFT_INPUT_TOO_NARROW);
        break;
    case COMPARISON_OPERATOR:
    {
        QList<SEDQ_OBJECT*> sorted;
        get_sorted_children(&sorted, 2);
        const bool swapped = !sorted.isEmpty() && sorted.first() != first;
        const bool variable = m_property[SEDQ_PROPERTY::CONFIGURABLE] == 0;
        *out += QLatin1String("compare(");
        if (sorted.size() > 0)
            input(sorted.at(0));
        *out += QLatin1Char(',');
        if (checked || !variable)
            *out += QLatin1String(DISPLAY_EQUATION[swapped ? reverse_comparison_type(display) : display]);
        *out += QLatin1Char(',');
        if (sorted.size() > 1)
            input(sorted.at(1));
        *out += variable ? QLatin1String(",vc,") : QLatin1String(",cc,");
        *out += is_signed_comparison() ? QLatin1String("sc)") : QLatin1String("uc)");
        break;
    }
    case EDGE_LEVEL_DETECTOR:
    {
        *out += QLatin1String("mbpm(");
        const QString& pattern = get_pattern();
        if (checked) {
            if (!pattern.isEmpty())
                *out += QLatin1Char('\'') + pattern + QLatin1Char('\'');
            else if (in_width >= 0)
                *out += QLatin1Char('\'') + QString(in_width, QLatin1Char('X')) + QLatin1Char('\'');
            if (in_width >= 0 && !pattern.isEmpty()) {
                if (!std::all_of(pattern.begin(), pattern.end(), is_pattern_character))
                    report(ERROR_PATTERN_INVALID_CHARACTERS);
                else if (pattern.size() < in_width)
                    report(ERROR_PATTERN_TOO_SHORT);
                else if (pattern.size() > in_width)
                    report(ERROR_PATTERN_TOO_LONG);
            }
        }
        *out += QLatin1Char(',');
        if (n == 1 && first->get_type() == BUS) {
            input(first);
        } else if (n > 0) {
            *out += QLatin1Char('{');
            inputs(m_children, ",");
            *out += QLatin1Char('}');
        }
        *out += QLatin1Char(')');
        break;
    }
    case BUS:
    {
        const bool bus_delayed = !get_data_delay(false).isEmpty();
        const bool lsb_first = m_property[SEDQ_PROPERTY::BIT_ORDER] == 1;
        *out += QLatin1Char('{');
        for (int i = 0; i < n; ++i) {
            const SEDQ_OBJECT* bit = m_children.at(lsb_first ? n - 1 - i : i);
            const SEDQ_OBJECT_TYPE bit_kind = bit->get_type();
            if (bus_delayed && bit_kind != NODE && bit_kind != BIT_VALUE && bit_kind != BUS_VALUE)
                report(ERROR_BUS_DATA_DELAY_INPUTS);
            if (i > 0)
                *out += QLatin1Char(',');
            input(bit);
        }
        *out += QLatin1Char('}');
        break;
    }
    case NODE:
        if (get_name().isEmpty()) {
            report(ERROR_MISSING_NODE_NAME);
            break;
        }
        *out += QLatin1Char('\'') + get_escaped_name() + QLatin1Char('\'');
        if (checked && trigger != nullptr && !trigger->is_valid_node_name(get_name().toLocal8Bit().constData()))
            report(ERROR_INVALID_NODE_NAME);
        break;
    case BUS_VALUE:
    {
        const bool variable = display == DISPLAY_VARIABLE_BUS_VALUE;
        if (variable)
            *out += QLatin1String("variable(");
        if (checked || !variable) {
            const int width = get_output_width(true);
            const QString value = width == UNKNOWN_WIDTH ? QString()
                                                         : get_bus_value(width, mnemonics, error, error_object);
            *out += value.isEmpty() ? QStringLiteral("0") : value;
        }
        if (variable)
            *out += QLatin1Char(')');
        break;
    }
    case BIT_VALUE:
        if (display == DISPLAY_VARIABLE_HIGH || display == DISPLAY_VARIABLE_LOW) {
            *out += QLatin1String("variable(");
            if (checked)
                *out += display == DISPLAY_VARIABLE_HIGH ? QLatin1Char('1') : QLatin1Char('0');
            *out += QLatin1Char(')');
        } else {
            *out += word;
        }
        break;
    case INCREMENTAL_ROUTE_CONDITION:
    {
        // Its texts: the power-up pattern, the normal pattern and the node list.
        const QString& pattern = m_incremental_text[first_list ? 0 : 1];
        const QString& nodes = m_incremental_text[2];
        *out += QLatin1String("imbpm(");
        if (!pattern.isEmpty() || !nodes.isEmpty()) {
            if (checked)
                *out += QLatin1Char('\'') + pattern + QLatin1Char('\'');
            *out += QLatin1String(",{") + nodes + QLatin1Char('}');
        }
        *out += QLatin1Char(')');
        break;
    }
    case COUNTER_OPERATOR:
        *out += QLatin1String("ec(") + get_counter_width() + QLatin1Char(',');
        if (checked) {
            const QString value = get_counter_value(error, error_object);
            *out += value.isEmpty() ? QStringLiteral("1") : value;
        }
        *out += QLatin1Char(',');
        if (checked)
            *out += get_counter_type();
        *out += QLatin1Char(',');
        if (checked)
            *out += get_counter_hold();
        *out += QLatin1Char(',');
        if (first)
            input(first);
        *out += QLatin1Char(')');
        if (checked && condition > 1)
            report(ERROR_COUNTER_NOT_IN_FIRST_CONDITION);
        break;
    case CUSTOM_TRIGGER_HDL:
    {
        const QString& bitstream = m_property[SEDQ_PROPERTY::CONFIG_BITSTREAM];
        const QString& module = m_property[SEDQ_PROPERTY::MODULE_NAME];
        *out += QString::number(in_width) + QLatin1Char(',');
        if (first)
            input(first);
        *out += QLatin1Char(',') + QString::number(bitstream.size()) + QLatin1String(",'") + bitstream +
                QLatin1String("',") + (pipeline.isEmpty() ? QStringLiteral("0") : pipeline) + QLatin1Char(',') +
                module;
        if (checked && !bitstream.isEmpty() && !is_bitstream(bitstream))
            report(ERROR_BITSTREAM_INVALID_CHARACTERS);
        if (checked && module.isEmpty())
            report(ERROR_MISSING_MODULE_NAME);
        break;
    }
    default:
        break;
    }

    if (named || hdl_call)
        *out += QLatin1Char(')');
    if (delayed)
        *out += QLatin1Char('@') + delay + QLatin1Char(')');
    if (pipelined)
        *out += QLatin1String(")#") + pipeline;
    if (!checked)
        structure_cache->insert(this, out->mid(start));
}
