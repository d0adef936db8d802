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

bool is_bitstream(const QString& text)
{
    for (QChar c : text)
        if (c != QLatin1Char('0') && c != QLatin1Char('1'))
            return false;
    return true;
}

// Whether the object writes its inputs in the canonical order of their structure texts, and
// how many of them.
int sorted_input_limit(const SEDQ_OBJECT* object)
{
    switch (object->get_display_type())
    {
    case SEDQ_OBJECT::DISPLAY_BITWISE_AND:
    case SEDQ_OBJECT::DISPLAY_BITWISE_OR:
    case SEDQ_OBJECT::DISPLAY_BITWISE_XOR:
    case SEDQ_OBJECT::DISPLAY_LOGICAL_AND:
    case SEDQ_OBJECT::DISPLAY_LOGICAL_OR:
    case SEDQ_OBJECT::DISPLAY_LOGICAL_XOR:
        return SEDQ_OBJECT::ANY_INPUT_COUNT;
    case SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_TRUE:
    case SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_FALSE:
        return 0;
    default:
        return object->get_type() == SEDQ_OBJECT::COMPARISON_OPERATOR ? 2 : 0;
    }
}
} // namespace

// One writing pass over a tree. Nothing recurses along the tree: the objects are walked with
// a stack of their pieces, and the canonical order of inputs is worked out once per object,
// deepest first, by comparing the structure texts of the inputs while they are walked, never
// holding them. So a chain of any depth is written in time and memory that grow with its size.
struct SEDQ_EQUATION_PIECE
{
    enum KIND
    {
        TEXT,
        INPUT,
        PROBLEM
    };
    KIND kind = TEXT;
    QString text;
    const SEDQ_OBJECT* input = nullptr;
    SEDQ_OBJECT::SEDQ_ERROR_TYPE problem = SEDQ_OBJECT::ERROR_NONE;
};

class SEDQ_EQUATION_PASS
{
public:
    using ORDERS = QHash<const SEDQ_OBJECT*, QList<SEDQ_OBJECT*>>;

    // Checked mode with `error` given, else the structure mode. The canonical orders found are
    // kept in `orders`, which passes over the same objects may share.
    SEDQ_EQUATION_PASS(SDR_DATA_MNEMONICS* mnemonics, SDR_TX_TRIGGER* trigger, SEDQ_OBJECT::SEDQ_ERROR_TYPE* error,
                       SEDQ_OBJECT** error_object, int condition, bool first_list, ORDERS* orders)
        : mnemonics(mnemonics), trigger(trigger), error(error), error_object(error_object), condition(condition),
          first_list(first_list), m_orders(orders)
    {
    }
    // The structure mode over the same orders.
    SEDQ_EQUATION_PASS structure() const
    {
        return SEDQ_EQUATION_PASS(nullptr, nullptr, nullptr, nullptr, 0, true, m_orders);
    }

    // Orders the inputs of every object of the subtree that sorts them, deepest first.
    void order_subtree(const SEDQ_OBJECT* top) const;
    // The first `limit` inputs in canonical order; the subtrees below them must be ordered.
    QList<SEDQ_OBJECT*> sort_inputs(const SEDQ_OBJECT* object, int limit) const;
    // The inputs of an object that sorts them, in canonical order.
    QList<SEDQ_OBJECT*> sorted(const SEDQ_OBJECT* object) const;
    void write(const SEDQ_OBJECT* top, QString* out) const;
    // The order of the structure texts of two ordered subtrees, as QString::compare gives it.
    int compare(const SEDQ_OBJECT* a, const SEDQ_OBJECT* b) const;

    SDR_DATA_MNEMONICS* mnemonics;
    SDR_TX_TRIGGER* trigger;
    SEDQ_OBJECT::SEDQ_ERROR_TYPE* error;
    SEDQ_OBJECT** error_object;
    int condition;
    bool first_list;

private:
    class WALK;
    ORDERS* m_orders;
};

// The text of a subtree piece by piece, each problem reported where the writing meets it.
class SEDQ_EQUATION_PASS::WALK
{
public:
    WALK(const SEDQ_EQUATION_PASS& pass, const SEDQ_OBJECT* top) : m_pass(pass) { enter(top); }

    // The next piece of text; false at the end.
    bool next(QString* text)
    {
        while (!m_stack.empty())
        {
            FRAME& frame = m_stack.back();
            if (frame.next == frame.pieces.size())
            {
                m_stack.pop_back();
                continue;
            }
            const SEDQ_EQUATION_PIECE& piece = frame.pieces[frame.next++];
            if (piece.kind == SEDQ_EQUATION_PIECE::TEXT)
            {
                *text = piece.text;
                return true;
            }
            if (piece.kind == SEDQ_EQUATION_PIECE::INPUT)
            {
                enter(piece.input); // the frame moves: nothing of it is used after this
                continue;
            }
            if (m_pass.error != nullptr)
            {
                *m_pass.error = piece.problem;
                if (m_pass.error_object != nullptr)
                    *m_pass.error_object = const_cast<SEDQ_OBJECT*>(frame.object);
            }
        }
        return false;
    }

private:
    struct FRAME
    {
        const SEDQ_OBJECT* object = nullptr;
        std::vector<SEDQ_EQUATION_PIECE> pieces;
        size_t next = 0;
    };

    void enter(const SEDQ_OBJECT* object)
    {
        m_stack.emplace_back();
        m_stack.back().object = object;
        object->get_equation_pieces(m_pass, &m_stack.back().pieces);
    }

    const SEDQ_EQUATION_PASS& m_pass;
    std::vector<FRAME> m_stack;
};

void SEDQ_EQUATION_PASS::order_subtree(const SEDQ_OBJECT* top) const
{
    struct FRAME
    {
        const SEDQ_OBJECT* object;
        int next;
    };
    if (m_orders->contains(top))
        return;
    std::vector<FRAME> stack{{top, 0}};
    while (!stack.empty())
    {
        FRAME& frame = stack.back();
        const QList<SEDQ_OBJECT*>& inputs = frame.object->get_children();
        if (frame.next < inputs.size())
        {
            const SEDQ_OBJECT* input = inputs.at(frame.next++);
            if (!m_orders->contains(input))
                stack.push_back({input, 0});
            continue;
        }
        const SEDQ_OBJECT* done = frame.object;
        stack.pop_back();
        // Every object gets an entry, so that a subtree is ordered once per pass.
        const int limit = sorted_input_limit(done);
        m_orders->insert(done, limit > 0 ? sort_inputs(done, limit) : QList<SEDQ_OBJECT*>());
    }
}

QList<SEDQ_OBJECT*> SEDQ_EQUATION_PASS::sort_inputs(const SEDQ_OBJECT* object, int limit) const
{
    const QList<SEDQ_OBJECT*>& inputs = object->get_children();
    QList<SEDQ_OBJECT*> sorted = inputs.mid(0, std::min(limit, int(inputs.size())));
    std::stable_sort(sorted.begin(), sorted.end(), [this](const SEDQ_OBJECT* a, const SEDQ_OBJECT* b) {
        const int order = compare(a, b);
        return order != 0 ? order < 0 : a->get_name() < b->get_name();
    });
    return sorted;
}

QList<SEDQ_OBJECT*> SEDQ_EQUATION_PASS::sorted(const SEDQ_OBJECT* object) const
{
    const auto found = m_orders->constFind(object);
    if (found != m_orders->constEnd())
        return *found;
    order_subtree(object);
    return m_orders->value(object);
}

void SEDQ_EQUATION_PASS::write(const SEDQ_OBJECT* top, QString* out) const
{
    order_subtree(top);
    WALK walk(*this, top);
    QString piece;
    while (walk.next(&piece))
        *out += piece;
}

int SEDQ_EQUATION_PASS::compare(const SEDQ_OBJECT* a, const SEDQ_OBJECT* b) const
{
    if (a == b)
        return 0;
    const SEDQ_EQUATION_PASS plain = structure();
    WALK left(plain, a);
    WALK right(plain, b);
    QString x, y;
    int i = 0, j = 0;
    bool more_x = true, more_y = true;
    for (;;)
    {
        while (more_x && i == x.size())
        {
            more_x = left.next(&x);
            i = 0;
        }
        while (more_y && j == y.size())
        {
            more_y = right.next(&y);
            j = 0;
        }
        if (!more_x || !more_y)
            return more_x ? 1 : more_y ? -1 : 0;
        const int n = std::min(x.size() - i, y.size() - j);
        for (int k = 0; k < n; ++k)
            if (x.at(i + k) != y.at(j + k))
                return x.at(i + k).unicode() < y.at(j + k).unicode() ? -1 : 1;
        i += n;
        j += n;
    }
}

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
    SEDQ_EQUATION_PASS::ORDERS orders;
    SEDQ_EQUATION_PASS(mnemonics, trigger, error, error_object, condition, first_list, &orders).write(this, out);
}

void SEDQ_OBJECT::get_sorted_children(QList<SEDQ_OBJECT*>* out, int limit) const
{
    SEDQ_EQUATION_PASS::ORDERS orders;
    const SEDQ_EQUATION_PASS pass(nullptr, nullptr, nullptr, nullptr, 0, true, &orders);
    for (const SEDQ_OBJECT* input : m_children)
        pass.order_subtree(input);
    out->append(pass.sort_inputs(this, limit));
}

QString SEDQ_OBJECT::get_structure_equation() const
{
    QString text;
    get_equation(&text, nullptr, nullptr, nullptr, nullptr, 0, true);
    return text;
}

bool SEDQ_OBJECT::operator<(const SEDQ_OBJECT& other) const
{
    SEDQ_EQUATION_PASS::ORDERS orders;
    const SEDQ_EQUATION_PASS pass(nullptr, nullptr, nullptr, nullptr, 0, true, &orders);
    pass.order_subtree(this);
    pass.order_subtree(&other);
    const int order = pass.compare(this, &other);
    return order != 0 ? order < 0 : get_name() < other.get_name();
}

// The pieces of this object's own part of the equation, in writing order: texts, its inputs
// (written by the walk) and the problems met. A problem met before the first input is reported
// at once; one met later waits at its place among the pieces, so that the caller sees the last
// problem in writing order.
void SEDQ_OBJECT::get_equation_pieces(const SEDQ_EQUATION_PASS& pass, std::vector<SEDQ_EQUATION_PIECE>* pieces) const
{
    const bool checked = pass.error != nullptr;
    bool past_input = false;
    QString text;
    auto flush = [&] {
        if (text.isEmpty())
            return;
        SEDQ_EQUATION_PIECE piece;
        piece.text = text;
        pieces->push_back(std::move(piece));
        text.clear();
    };
    auto report = [&](SEDQ_ERROR_TYPE code) {
        if (!past_input) {
            report_error(code, pass.error, pass.error_object);
            return;
        }
        flush();
        SEDQ_EQUATION_PIECE piece;
        piece.kind = SEDQ_EQUATION_PIECE::PROBLEM;
        piece.problem = code;
        pieces->push_back(std::move(piece));
    };
    auto input = [&](const SEDQ_OBJECT* child) {
        flush();
        SEDQ_EQUATION_PIECE piece;
        piece.kind = SEDQ_EQUATION_PIECE::INPUT;
        piece.input = child;
        pieces->push_back(std::move(piece));
        past_input = true;
    };
    auto inputs = [&](const QList<SEDQ_OBJECT*>& list, const char* separator) {
        for (int i = 0; i < list.size(); ++i) {
            if (i > 0)
                text += QLatin1String(separator);
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
        text += QLatin1Char('(');

    // A Custom Trigger HDL call is always closed, whatever its name.
    bool named = false;
    bool hdl_call = false;
    if (checked && kind != NODE) {
        if (kind == CUSTOM_TRIGGER_HDL) {
            text += QLatin1String("mvx_custom_trigger_hdl(");
            hdl_call = true;
        } else if (!get_name().isEmpty()) {
            text += QLatin1Char('\'') + get_escaped_name() + QLatin1String("':(");
            named = true;
        }
    }

    const QString delay = kind == NODE ? get_data_delay(true) : QString();
    const bool delayed = !delay.isEmpty();
    if (delayed)
        text += QLatin1Char('(');
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
            text += word;
            if (first)
                input(first);
        } else if (kind == BITWISE_OPERATOR) {
            if (!prefixed)
                text += QLatin1Char('(');
            inputs(pass.sorted(this), word.data());
            if (!prefixed)
                text += QLatin1Char(')');
        } else {
            text += word + QLatin1Char('(');
            inputs(pass.sorted(this), ",");
            text += QLatin1Char(')');
        }
        break;
    case REDUCTION_OPERATOR:
        if (!prefixed)
            text += QLatin1Char('(');
        text += word;
        if (first)
            input(first);
        if (!prefixed)
            text += QLatin1Char(')');
        break;
    case SHIFT_OPERATOR:
        if (input_numerical_value_rolling_of_shift_operator(&text, pass.mnemonics, pass.trigger, pass.error,
                                                            pass.error_object, pass.condition, pass.first_list,
                                                            const_cast<SEDQ_OBJECT*>(first)))
            break;
        text += QLatin1String("shift(") + get_shift_type() + QLatin1Char(',');
        if (checked)
            text += get_shift_direction();
        text += QLatin1Char(',');
        if (checked) {
            const QString distance = get_shift_distance();
            text += distance.isEmpty() ? QStringLiteral("0") : distance;
        }
        text += QLatin1Char(',');
        if (first)
            input(first);
        text += QLatin1Char(')');
        if (n == 1 && in_width == 1)
            report(ERROR_SHIFT_INPUT_TOO_NARROW);
        break;
    case COMPARISON_OPERATOR:
    {
        const QList<SEDQ_OBJECT*> sorted = pass.sorted(this);
        const bool swapped = !sorted.isEmpty() && sorted.first() != first;
        const bool variable = m_property[SEDQ_PROPERTY::CONFIGURABLE] == 0;
        text += QLatin1String("compare(");
        if (sorted.size() > 0)
            input(sorted.at(0));
        text += QLatin1Char(',');
        if (checked || !variable)
            text += QLatin1String(DISPLAY_EQUATION[swapped ? reverse_comparison_type(display) : display]);
        text += QLatin1Char(',');
        if (sorted.size() > 1)
            input(sorted.at(1));
        text += variable ? QLatin1String(",vc,") : QLatin1String(",cc,");
        text += is_signed_comparison() ? QLatin1String("sc)") : QLatin1String("uc)");
        break;
    }
    case EDGE_LEVEL_DETECTOR:
    {
        text += QLatin1String("mbpm(");
        const QString& pattern = get_pattern();
        if (checked) {
            if (!pattern.isEmpty())
                text += QLatin1Char('\'') + pattern + QLatin1Char('\'');
            else if (in_width >= 0)
                text += QLatin1Char('\'') + QString(in_width, QLatin1Char('X')) + QLatin1Char('\'');
            if (in_width >= 0 && !pattern.isEmpty()) {
                if (!std::all_of(pattern.begin(), pattern.end(), is_pattern_character))
                    report(ERROR_PATTERN_INVALID_CHARACTERS);
                else if (pattern.size() < in_width)
                    report(ERROR_PATTERN_TOO_SHORT);
                else if (pattern.size() > in_width)
                    report(ERROR_PATTERN_TOO_LONG);
            }
        }
        text += QLatin1Char(',');
        if (n == 1 && first->get_type() == BUS) {
            input(first);
        } else if (n > 0) {
            text += QLatin1Char('{');
            inputs(m_children, ",");
            text += QLatin1Char('}');
        }
        text += QLatin1Char(')');
        break;
    }
    case BUS:
    {
        const bool bus_delayed = !get_data_delay(false).isEmpty();
        const bool lsb_first = m_property[SEDQ_PROPERTY::BIT_ORDER] == 1;
        text += QLatin1Char('{');
        for (int i = 0; i < n; ++i) {
            const SEDQ_OBJECT* bit = m_children.at(lsb_first ? n - 1 - i : i);
            const SEDQ_OBJECT_TYPE bit_kind = bit->get_type();
            if (bus_delayed && bit_kind != NODE && bit_kind != BIT_VALUE && bit_kind != BUS_VALUE)
                report(ERROR_BUS_DATA_DELAY_INPUTS);
            if (i > 0)
                text += QLatin1Char(',');
            input(bit);
        }
        text += QLatin1Char('}');
        break;
    }
    case NODE:
        if (get_name().isEmpty()) {
            report(ERROR_MISSING_NODE_NAME);
            break;
        }
        text += QLatin1Char('\'') + get_escaped_name() + QLatin1Char('\'');
        if (checked && pass.trigger != nullptr &&
            !pass.trigger->is_valid_node_name(get_name().toLocal8Bit().constData()))
            report(ERROR_INVALID_NODE_NAME);
        break;
    case BUS_VALUE:
    {
        const bool variable = display == DISPLAY_VARIABLE_BUS_VALUE;
        if (variable)
            text += QLatin1String("variable(");
        if (checked || !variable) {
            const int width = get_output_width(true);
            const QString value = width == UNKNOWN_WIDTH
                                      ? QString()
                                      : get_bus_value(width, pass.mnemonics, pass.error, pass.error_object);
            text += value.isEmpty() ? QStringLiteral("0") : value;
        }
        if (variable)
            text += QLatin1Char(')');
        break;
    }
    case BIT_VALUE:
        if (display == DISPLAY_VARIABLE_HIGH || display == DISPLAY_VARIABLE_LOW) {
            text += QLatin1String("variable(");
            if (checked)
                text += display == DISPLAY_VARIABLE_HIGH ? QLatin1Char('1') : QLatin1Char('0');
            text += QLatin1Char(')');
        } else {
            text += word;
        }
        break;
    case INCREMENTAL_ROUTE_CONDITION:
    {
        // Its texts: the power-up pattern, the normal pattern and the node list.
        const QString& pattern = m_incremental_text[pass.first_list ? 0 : 1];
        const QString& nodes = m_incremental_text[2];
        text += QLatin1String("imbpm(");
        if (!pattern.isEmpty() || !nodes.isEmpty()) {
            if (checked)
                text += QLatin1Char('\'') + pattern + QLatin1Char('\'');
            text += QLatin1String(",{") + nodes + QLatin1Char('}');
        }
        text += QLatin1Char(')');
        break;
    }
    case COUNTER_OPERATOR:
        text += QLatin1String("ec(") + get_counter_width() + QLatin1Char(',');
        if (checked) {
            const QString value = get_counter_value(pass.error, pass.error_object);
            text += value.isEmpty() ? QStringLiteral("1") : value;
        }
        text += QLatin1Char(',');
        if (checked)
            text += get_counter_type();
        text += QLatin1Char(',');
        if (checked)
            text += get_counter_hold();
        text += QLatin1Char(',');
        if (first)
            input(first);
        text += QLatin1Char(')');
        if (checked && pass.condition > 1)
            report(ERROR_COUNTER_NOT_IN_FIRST_CONDITION);
        break;
    case CUSTOM_TRIGGER_HDL:
    {
        const QString& bitstream = m_property[SEDQ_PROPERTY::CONFIG_BITSTREAM];
        const QString& module = m_property[SEDQ_PROPERTY::MODULE_NAME];
        text += QString::number(in_width) + QLatin1Char(',');
        if (first)
            input(first);
        text += QLatin1Char(',') + QString::number(bitstream.size()) + QLatin1String(",'") + bitstream +
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
        text += QLatin1Char(')');
    if (delayed)
        text += QLatin1Char('@') + delay + QLatin1Char(')');
    if (pipelined)
        text += QLatin1String(")#") + pipeline;
    flush();
}
