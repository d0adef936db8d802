// SEDQ_OBJECT: what the canvas says about an object in words: the readable formula of its
// equation line, drawn as two layers (selected and unselected parts), and its tooltip.
#include "sedq/advanced_trigger/sedq_object.h"

#include <algorithm>

namespace
{
// Past this many characters a formula stops listing inputs.
constexpr int FORMULA_LIMIT = 128;

const char* const CONNECT_TIP = "drag and drop onto another object to connect";
const char* const COLLAPSE_TIP = "click to collapse";
const char* const EXPAND_TIP = "click to expand";

// The constant comparisons that always give the same bit read as that bit.
SEDQ_OBJECT::SEDQ_DISPLAY_TYPE formula_display_type(SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display)
{
    switch (display)
    {
    case SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_TRUE:
    case SEDQ_OBJECT::DISPLAY_VARIABLE_UNSIGNED_TRUE:
        return SEDQ_OBJECT::DISPLAY_VARIABLE_HIGH;
    case SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_FALSE:
    case SEDQ_OBJECT::DISPLAY_VARIABLE_UNSIGNED_FALSE:
        return SEDQ_OBJECT::DISPLAY_VARIABLE_LOW;
    default:
        return display;
    }
}

// One object's share of a formula, written into both layers at once. Its own parts go to the
// layer it belongs to and leave blanks of the same width in the other, so that the two layers
// always have the same length and line up character for character; its inputs write their own
// shares in place.
class FORMULA
{
public:
    FORMULA(bool selected, int precedence, QString* unselected_layer, QString* selected_layer)
        : m_own(selected ? selected_layer : unselected_layer), m_other(selected ? unselected_layer : selected_layer),
          m_unselected(unselected_layer), m_selected(selected_layer), m_start(unselected_layer->size()),
          m_precedence(precedence)
    {
    }

    void part(const QString& text)
    {
        m_own->append(text);
        m_other->resize(m_other->size() + text.size(), QLatin1Char(' '));
    }
    void part(const char* text) { part(QString::fromLatin1(text)); }
    void input(const SEDQ_OBJECT* child) { child->get_equation_layers(m_unselected, m_selected, m_precedence); }
    // The inputs with `separator` between them; a long formula ends its list with ",...".
    void inputs(const QList<const SEDQ_OBJECT*>& list, const QString& separator)
    {
        for (int i = 0; i < list.size(); ++i) {
            if (i > 0)
                part(separator);
            input(list.at(i));
            if (m_unselected->size() - m_start > FORMULA_LIMIT && i + 1 < list.size()) {
                part(",...");
                return;
            }
        }
    }

private:
    QString* m_own;
    QString* m_other;
    QString* m_unselected;
    QString* m_selected;
    // Where this object's share starts: the limit counts only its own formula.
    int m_start;
    int m_precedence;
};
} // namespace

QString SEDQ_OBJECT::get_equation(bool selected_part, int parent_precedence) const
{
    QString unselected;
    QString selected;
    get_equation_layers(&unselected, &selected, parent_precedence);
    return selected_part ? selected : unselected;
}

void SEDQ_OBJECT::get_equation_layers(QString* unselected, QString* selected_layer, int parent_precedence) const
{
    const bool selected = m_property[SEDQ_PROPERTY::SELECTED] == 1;
    const SEDQ_DISPLAY_TYPE shown = get_display_type();
    const SEDQ_DISPLAY_TYPE display = formula_display_type(shown);
    const int precedence = DISPLAY_TYPES[display].precedence;
    const int count = DISPLAY_TYPES[display].input_count;
    const bool enclosed = precedence != -1 && precedence < parent_precedence;
    FORMULA formula(selected, precedence, unselected, selected_layer);
    if (enclosed)
        formula.part("(");

    QList<const SEDQ_OBJECT*> inputs;
    for (const SEDQ_OBJECT* child : m_children)
        inputs.append(child);
    const SEDQ_OBJECT_TYPE kind = get_type();
    if (inputs.isEmpty() || count == 0 || m_property[SEDQ_PROPERTY::EXPANDED] != 1) {
        formula.part(get_symbol());
    } else if (kind == SHIFT_OPERATOR) {
        formula.input(inputs.first());
        formula.part(get_symbol() + get_shift_distance());
    } else if (kind == EDGE_LEVEL_DETECTOR || kind == CUSTOM_TRIGGER_HDL) {
        formula.part(get_symbol() + QLatin1Char('('));
        if (inputs.size() == 1 && inputs.first()->get_type() == BUS) {
            formula.input(inputs.first());
        } else {
            formula.part("{");
            formula.inputs(inputs, QStringLiteral(","));
            formula.part("}");
        }
        if (!get_pattern().isEmpty())
            formula.part(QLatin1Char(',') + get_pattern());
        formula.part(")");
    } else if (display == DISPLAY_BITWISE_COMPLEMENT || display == DISPLAY_LOGICAL_NOT || kind == REDUCTION_OPERATOR) {
        formula.part(DISPLAY_TYPES[display].symbol);
        formula.input(inputs.first());
    } else if (kind == COUNTER_OPERATOR) {
        formula.input(inputs.first());
        formula.part(QLatin1Char('*') + get_counter_value(nullptr, nullptr));
    } else if (kind == BUS) {
        if (m_property[SEDQ_PROPERTY::BIT_ORDER] == 1)
            std::reverse(inputs.begin(), inputs.end());
        formula.part("{");
        formula.inputs(inputs, QStringLiteral(","));
        formula.part(append_data_delay_and_pipeline(QStringLiteral("}")));
    } else if (inputs.size() == 1) {
        formula.input(inputs.first());
        formula.part(get_symbol());
    } else {
        formula.inputs(inputs.mid(0, count), get_symbol());
    }

    if (enclosed)
        formula.part(")");
}

QString SEDQ_OBJECT::get_tooltip(Qt::CursorShape canvas_cursor) const
{
    if (canvas_cursor == Qt::CrossCursor)
        return QLatin1String(CONNECT_TIP);
    if (canvas_cursor == Qt::ArrowCursor)
        return QLatin1String(m_property[SEDQ_PROPERTY::EXPANDED] == 1 ? COLLAPSE_TIP : EXPAND_TIP);

    QString tip = QLatin1String(DISPLAY_TYPES[get_display_type()].name);
    auto add = [&tip](const QString& text) {
        if (!text.isEmpty())
            tip += QLatin1String(", ") + text;
    };
    add(get_name());
    switch (get_type())
    {
    case BUS:
        add(get_bus_name());
        break;
    case BUS_VALUE:
        add(get_bus_value(-1, nullptr, nullptr, nullptr));
        break;
    case EDGE_LEVEL_DETECTOR:
        add(get_pattern());
        break;
    case SHIFT_OPERATOR:
        add(get_shift_distance());
        break;
    default:
        break;
    }
    const QString delay = allows(SEDQ_PROPERTY::DATA_DELAY) ? get_data_delay(false) : QString();
    const QString pipeline = allows(SEDQ_PROPERTY::PIPELINE_LENGTH) ? get_pipeline() : QString();
    if (!delay.isEmpty())
        tip += QLatin1String(", data delay ") + delay;
    else if (!pipeline.isEmpty())
        tip += QLatin1String(", pipeline ") + pipeline;
    return tip;
}
