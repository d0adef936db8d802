// SEDQ_OBJECT: the equation writer. Walking down from an object it writes the trigger
// compiler's text of the subtree and checks it; without an error out-parameter it writes the
// structure text (no run-time settings, no names), which orders commutative inputs. Here is
// what every kind shares; each kind's own text is its writer's (sedq_object_equation_kinds.cpp).
#include "sedq/advanced_trigger/sedq_object_equation.h"

#include <QVarLengthArray>

#include <algorithm>
#include <memory>

namespace
{
bool kind_allows(SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind, SEDQ_PROPERTY::SEDQ_INT_PROPERTY property)
{
    return (SEDQ_OBJECT::KINDS[kind].properties & (1u << (8 + property))) != 0;
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

// The text of a subtree piece by piece, each problem reported where the writing meets it.
class SEDQ_EQUATION_PASS::WALK
{
public:
    WALK(const SEDQ_EQUATION_PASS& pass, const SEDQ_OBJECT* top) : m_pass(pass) { enter(top); }

    // The next piece of text; false at the end.
    bool next(QString* text)
    {
        while (!m_stack.isEmpty())
        {
            FRAME& frame = m_stack.last();
            if (frame.next == frame.pieces->size())
            {
                m_stack.removeLast();
                continue;
            }
            const SEDQ_EQUATION_PIECE& piece = (*frame.pieces)[frame.next++];
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
        const std::vector<SEDQ_EQUATION_PIECE>* pieces = nullptr; // kept by the pass, or `own`
        size_t next = 0;
    };

    // The frames' own pieces live apart from the frames, one list per depth made on first
    // use: a frame pointing into one stays valid when the stack of frames grows. A pass that
    // keeps the pieces (a comparison's) has no own pieces.
    void enter(const SEDQ_OBJECT* object)
    {
        FRAME frame;
        frame.object = object;
        if (m_pass.m_keeps_pieces)
        {
            frame.pieces = &m_pass.pieces_of(object, nullptr);
            m_stack.append(frame);
            return;
        }
        const size_t depth = size_t(m_stack.size());
        if (m_own.size() <= depth)
            m_own.push_back(std::make_unique<std::vector<SEDQ_EQUATION_PIECE>>());
        std::vector<SEDQ_EQUATION_PIECE>& own = *m_own[depth];
        own.clear();
        frame.pieces = &m_pass.pieces_of(object, &own);
        m_stack.append(frame);
    }

    const SEDQ_EQUATION_PASS& m_pass;
    // Most trees are shallow: their walks keep the stack in place.
    QVarLengthArray<FRAME, 16> m_stack;
    std::vector<std::unique_ptr<std::vector<SEDQ_EQUATION_PIECE>>> m_own;
};

void SEDQ_EQUATION_PASS::order_subtree(const SEDQ_OBJECT* top) const
{
    struct FRAME
    {
        const SEDQ_OBJECT* object;
        int next;
    };
    if (m_memory->orders.contains(top))
        return;
    std::vector<FRAME> stack{{top, 0}};
    while (!stack.empty())
    {
        FRAME& frame = stack.back();
        const QList<SEDQ_OBJECT*>& inputs = frame.object->get_children();
        if (frame.next < inputs.size())
        {
            const SEDQ_OBJECT* input = inputs.at(frame.next++);
            // An input without inputs has nothing to order: it needs no entry (about half the
            // objects of a condition are such leaves).
            if (!input->is_leaf() && !m_memory->orders.contains(input))
                stack.push_back({input, 0});
            continue;
        }
        const SEDQ_OBJECT* done = frame.object;
        stack.pop_back();
        // Every object with inputs gets an entry, so that a subtree is ordered once per pass.
        const int limit = sorted_input_limit(done);
        m_memory->orders.insert(done, limit > 0 ? sort_inputs(done, limit) : QList<SEDQ_OBJECT*>());
    }
}

QList<SEDQ_OBJECT*> SEDQ_EQUATION_PASS::sort_inputs(const SEDQ_OBJECT* object, int limit) const
{
    const QList<SEDQ_OBJECT*>& inputs = object->get_children();
    QList<SEDQ_OBJECT*> sorted = inputs.mid(0, std::min(limit, int(inputs.size())));
    const auto before = [this](const SEDQ_OBJECT* a, const SEDQ_OBJECT* b) {
        const int order = compare(a, b);
        return order != 0 ? order < 0 : a->get_name() < b->get_name();
    };
    // An object has a few inputs as a rule: they are sorted in place, stably, without the
    // buffer a merge sort takes.
    constexpr int FEW = 8;
    if (sorted.size() > FEW)
    {
        std::stable_sort(sorted.begin(), sorted.end(), before);
        return sorted;
    }
    for (int i = 1; i < sorted.size(); ++i)
        for (int j = i; j > 0 && before(sorted.at(j), sorted.at(j - 1)); --j)
            sorted.swapItemsAt(j, j - 1);
    return sorted;
}

QList<SEDQ_OBJECT*> SEDQ_EQUATION_PASS::sorted(const SEDQ_OBJECT* object) const
{
    const auto found = m_memory->orders.constFind(object);
    if (found != m_memory->orders.constEnd())
        return *found;
    order_subtree(object);
    return m_memory->orders.value(object);
}

const std::vector<SEDQ_EQUATION_PIECE>& SEDQ_EQUATION_PASS::pieces_of(const SEDQ_OBJECT* object,
                                                                      std::vector<SEDQ_EQUATION_PIECE>* own) const
{
    if (!m_keeps_pieces)
    {
        object->get_equation_pieces(*this, own);
        return *own;
    }
    const auto found = m_memory->structure_pieces.find(object);
    if (found != m_memory->structure_pieces.end())
        return found->second;
    // Writing the pieces may order (and so compare) the subtrees below first, which adds to
    // the kept pieces: the element is made afterwards. Elements of the map never move.
    std::vector<SEDQ_EQUATION_PIECE> pieces;
    object->get_equation_pieces(*this, &pieces);
    return m_memory->structure_pieces.emplace(object, std::move(pieces)).first->second;
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

// A name without a quote or a backslash, as names are, is its own escaped form: it is shared,
// not written again character by character.
QString SEDQ_OBJECT::get_escaped_name() const
{
    const QString& name = get_name();
    if (name.isEmpty())
        return QString();
    const auto special = [](QChar c) { return c == QLatin1Char('\'') || c == QLatin1Char('\\'); };
    if (std::none_of(name.cbegin(), name.cend(), special))
        return name;
    QString escaped;
    escaped.reserve(2 * name.size());
    for (QChar c : name) {
        if (special(c))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

void SEDQ_OBJECT::get_equation(QString* out, const SDR_DATA_MNEMONICS* mnemonics, const SDR_TX_TRIGGER* trigger,
                               SEDQ_ERROR_TYPE* error, SEDQ_OBJECT** error_object, int condition,
                               bool first_list) const
{
    SEDQ_EQUATION_PASS::MEMORY memory;
    SEDQ_EQUATION_PASS(mnemonics, trigger, error, error_object, condition, first_list, &memory).write(this, out);
}

void SEDQ_OBJECT::get_sorted_children(QList<SEDQ_OBJECT*>* out, int limit) const
{
    SEDQ_EQUATION_PASS::MEMORY memory;
    const SEDQ_EQUATION_PASS pass(nullptr, nullptr, nullptr, nullptr, 0, true, &memory);
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
    SEDQ_EQUATION_PASS::MEMORY memory;
    const SEDQ_EQUATION_PASS pass(nullptr, nullptr, nullptr, nullptr, 0, true, &memory);
    pass.order_subtree(this);
    pass.order_subtree(&other);
    const int order = pass.compare(this, &other);
    return order != 0 ? order < 0 : get_name() < other.get_name();
}

// This object's own part of the equation, in writing order: texts, its inputs (written by the
// walk) and the problems met.
void SEDQ_OBJECT::get_equation_pieces(const SEDQ_EQUATION_PASS& pass, std::vector<SEDQ_EQUATION_PIECE>* pieces) const
{
    SEDQ_EQUATION_WRITER(*this, pass, pieces).write();
}

namespace
{
SEDQ_OBJECT::SEDQ_OBJECT_TYPE written_kind(const SEDQ_OBJECT& object, SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display)
{
    const bool constant_bit = display == SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_TRUE ||
                              display == SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_FALSE;
    return constant_bit ? SEDQ_OBJECT::BIT_VALUE : object.get_type();
}
} // namespace

SEDQ_EQUATION_WRITER::SEDQ_EQUATION_WRITER(const SEDQ_OBJECT& object, const SEDQ_EQUATION_PASS& pass,
                                           std::vector<SEDQ_EQUATION_PIECE>* pieces)
    : object(object), pass(pass), checked(pass.error != nullptr), display(object.get_display_type()),
      kind(written_kind(object, display)), input_count(object.get_children().size()),
      input_width(object.get_input_width()),
      first_input(object.get_children().isEmpty() ? nullptr : object.get_children().first()),
      word(SEDQ_OBJECT::DISPLAY_TYPES[display].equation), m_pieces(pieces)
{
}

void SEDQ_EQUATION_WRITER::write()
{
    // A text around and between the inputs, as a rule: one allocation for the lot.
    m_pieces->reserve(size_t(2 * input_count + 1));
    open();
    SEDQ_OBJECT::KINDS[kind].write_equation(*this);
    close();
}

void SEDQ_EQUATION_WRITER::report(SEDQ_OBJECT::SEDQ_ERROR_TYPE code)
{
    if (!m_past_input)
    {
        object.report_error(code, pass.error, pass.error_object);
        return;
    }
    flush();
    SEDQ_EQUATION_PIECE piece;
    piece.kind = SEDQ_EQUATION_PIECE::PROBLEM;
    piece.problem = code;
    m_pieces->push_back(std::move(piece));
}

void SEDQ_EQUATION_WRITER::input(const SEDQ_OBJECT* child)
{
    flush();
    SEDQ_EQUATION_PIECE piece;
    piece.kind = SEDQ_EQUATION_PIECE::INPUT;
    piece.input = child;
    m_pieces->push_back(std::move(piece));
    m_past_input = true;
}

void SEDQ_EQUATION_WRITER::inputs(const QList<SEDQ_OBJECT*>& list, const char* separator)
{
    for (int i = 0; i < list.size(); ++i)
    {
        if (i > 0)
            text += QLatin1String(separator);
        input(list.at(i));
    }
}

void SEDQ_EQUATION_WRITER::flush()
{
    if (text.isEmpty())
        return;
    SEDQ_EQUATION_PIECE piece;
    piece.text = text;
    m_pieces->push_back(std::move(piece));
    text.clear();
}

// The checks of the inputs, and the parentheses of a pipeline, a name (a Custom Trigger HDL
// call instead, always closed whatever its name) and a node's data delay.
void SEDQ_EQUATION_WRITER::open()
{
    check_input_width();
    pipeline = kind_allows(kind, SEDQ_PROPERTY::PIPELINE_LENGTH) ? object.get_pipeline() : QString();
    if (!pipeline.isEmpty())
        text += QLatin1Char('(');
    if (checked && kind != SEDQ_OBJECT::NODE)
    {
        if (kind == SEDQ_OBJECT::CUSTOM_TRIGGER_HDL)
        {
            text += QLatin1String("mvx_custom_trigger_hdl(");
            m_hdl_call = true;
        }
        else if (!object.get_name().isEmpty())
        {
            text += QLatin1Char('\'');
            text += object.get_escaped_name();
            text += QLatin1String("':(");
            m_named = true;
        }
    }
    m_delay = kind == SEDQ_OBJECT::NODE ? object.get_data_delay(true) : QString();
    if (!m_delay.isEmpty())
        text += QLatin1Char('(');
    prefixed = !pipeline.isEmpty() || m_named || m_hdl_call || !m_delay.isEmpty();
    check_input_count();
}

void SEDQ_EQUATION_WRITER::check_input_width()
{
    const SEDQ_OBJECT::DISPLAY_RECORD& type = SEDQ_OBJECT::DISPLAY_TYPES[display];
    if (type.input_type != SEDQ_OBJECT::PORT_BUS && type.input_count != SEDQ_OBJECT::ANY_INPUT_COUNT)
        return;
    if (input_width == SEDQ_OBJECT::UNKNOWN_WIDTH)
        report(SEDQ_OBJECT::ERROR_INPUT_WIDTH_UNKNOWN);
    else if (input_width == SEDQ_OBJECT::MISMATCHED_WIDTH)
        report(SEDQ_OBJECT::ERROR_INPUT_WIDTH_MISMATCH);
}

void SEDQ_EQUATION_WRITER::check_input_count()
{
    const int expected = SEDQ_OBJECT::DISPLAY_TYPES[display].input_count;
    if (expected == SEDQ_OBJECT::ANY_INPUT_COUNT && input_count == 0)
        report(SEDQ_OBJECT::ERROR_NOT_ENOUGH_INPUTS);
    else if (expected != SEDQ_OBJECT::ANY_INPUT_COUNT && expected != input_count)
        report(SEDQ_OBJECT::ERROR_WRONG_INPUT_COUNT);
    else if (!object.is_valid_parent())
        report(SEDQ_OBJECT::ERROR_WRONG_INPUT_COUNT);
}

void SEDQ_EQUATION_WRITER::close()
{
    if (m_named || m_hdl_call)
        text += QLatin1Char(')');
    if (!m_delay.isEmpty())
        text += QLatin1Char('@') + m_delay + QLatin1Char(')');
    if (!pipeline.isEmpty())
        text += QLatin1String(")#") + pipeline;
    flush();
}
