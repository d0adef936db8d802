// An advanced level on the simulated device: the parse tree flattened into steps that run in
// order, each on its inputs' values at a sample (and, for edges, at the sample before). They
// run 64 samples at a time: a value over a block is one word per bit, bit i for sample i of the
// block, so that most steps are a few word operations per block; only the event counters go
// sample by sample.
//
// What each form does on the device:
//   'node'                 the node's level; ('node'@n) its level n samples earlier
//   (...)#n                the group's result n samples later (pipeline registers, 0 at start)
//   and/or/xor(...), !x    logical: an input is true when any of its bits is 1
//   a & b, a | b, a ^ b, ~x  bitwise over the widest input; constants take that width
//   (&x), (|x), (^x)       reductions over the bits of x
//   compare(a, op, b, vc|cc, sc|uc)  over the wider side; sc: both sides two's complement
//   shift(type, dir, n, x) over the width of x, as the condition objects shift a constant
//   {a, b, ...}            a bus, most significant first, of any width
//   mbpm('pattern', x)     one symbol per bit of x, most significant first: X don't care,
//                          0/L low, 1/H high, R rising, F falling, E either edge
//   imbpm('p', {nodes})    the same over the named trigger nodes (names separated by commas,
//                          each may be quoted)
//   ec(w, v, c|e|s, hold, x)  a w-bit counter of x: "c" consecutive samples where x holds
//                          (back to 0 where it does not), "e" every sample where it holds, "s"
//                          each rise of x; true where the count equals v, and with hold from
//                          the first time on. Counters count from the start of the level's search.
//   variable(n), constant(n), numbers   the value as compiled, of any width, as wide as what
//                          takes it (zero-extended, or sign-extended when negative)
// Values are held as one word per bit, so no form is limited to 64 bits.
// A user's own trigger module (mvx_custom_trigger_hdl) cannot be simulated: compiling the
// level fails with its name.
#include "host/chi_condition.h"
#include "host/chi_private.h"
#include "host/sci.h"
#include "host/sdr/sdr_file_limits.h"

#include <algorithm>

namespace chi_detail
{
namespace
{
uint64_t mask_of(int width)
{
    return width >= 64 ? ~uint64_t(0) : (uint64_t(1) << width) - 1;
}

// The names of an imbpm node list: separated by commas outside quotes, quotes taken off.
std::vector<std::string> node_names(const std::string& list)
{
    std::vector<std::string> names;
    std::string name;
    bool quoted = false;
    bool any = false;
    for (char c : list)
    {
        if (c == '\'')
        {
            quoted = !quoted;
            any = true;
        }
        else if (c == ',' && !quoted)
        {
            names.push_back(name);
            name.clear();
            any = false;
        }
        else if (quoted || (c != ' ' && c != '\t'))
        {
            name += c;
            any = true;
        }
    }
    if (any || !names.empty())
        names.push_back(name);
    return names;
}

std::string pattern_of(const std::string& text)
{
    std::string pattern;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != ',' && c != '\'')
            pattern += c;
    return pattern;
}
} // namespace

bool advanced_level::compile(const SCI_ADVANCED_TRIGGER_BASE* root, const source_of& sources, std::string* error)
{
    m_steps.clear();
    m_inputs.clear();
    m_readers.clear();
    m_counters = 0;
    m_rings = 0;
    m_words = 0;
    if (root == nullptr)
    {
        *error = "no equation";
        return false;
    }
    if (add(root, sources, 0, error) < 0)
        return false;
    // Slices are laid out once every width is known (a constant takes the width of its user).
    for (step& each : m_steps)
    {
        each.slot = m_words;
        m_words += std::max(1, each.width);
    }
    // A logical and is 0 wherever one input is: the inputs after one that is 0 over a whole
    // block need not be worked out there, when nothing under them carries a value to the next
    // block (a counter, a delay, an edge).
    for (step& each : m_steps)
    {
        each.pure = each.ring < 0 && each.what != COUNTER && each.what != NODE_DETECT &&
                    (each.what != DETECT || !each.edges);
        for (int k = 0; k < each.count && each.pure; ++k)
            each.pure = m_steps[size_t(m_inputs[size_t(each.first + k)])].pure;
    }
    for (size_t a = 0; a < m_steps.size(); ++a)
    {
        const step& gate = m_steps[a];
        if (gate.what != LOGICAL_AND)
            continue;
        for (int k = 1; k < gate.count; ++k)
        {
            const int root = m_inputs[size_t(gate.first + k)];
            step& first = m_steps[size_t(m_steps[size_t(root)].subtree_first)];
            if (m_steps[size_t(root)].pure && first.guard_and < 0)
            {
                first.guard_and = int(a);
                first.guard_input = k;
                first.guard_end = root;
            }
        }
    }
    return true;
}

namespace
{
enum symbol : uint8_t
{
    ANY,
    HIGH,
    LOW,
    RISE,
    FALL,
    EITHER
};
} // namespace

bool advanced_level::read_pattern(const std::string& pattern, int width, std::vector<uint8_t>* symbols, bool* edges,
                                  std::string* error) const
{
    if (int(pattern.size()) != width)
    {
        *error = "pattern '" + pattern + "' has " + std::to_string(pattern.size()) + " symbols for " +
                 std::to_string(width) + " bits";
        return false;
    }
    symbols->assign(size_t(width), ANY);
    for (int i = 0; i < width; ++i)
    {
        uint8_t& at = (*symbols)[size_t(width - 1 - i)];
        switch (pattern[size_t(i)])
        {
        case 'X': case 'x': break;
        case '0': case 'L': case 'l': at = LOW; break;
        case '1': case 'H': case 'h': at = HIGH; break;
        case 'R': case 'r': at = RISE; break;
        case 'F': case 'f': at = FALL; break;
        case 'E': case 'e': at = EITHER; break;
        default:
            *error = std::string("pattern '") + pattern + "' holds '" + pattern[size_t(i)] + "'";
            return false;
        }
        *edges = *edges || at >= RISE;
    }
    return true;
}

// A constant feeding a bus operation is as wide as the operation; a negative one is its two's
// complement in that width.
void advanced_level::fit_constants(const step& parent, int width)
{
    for (int i = 0; i < parent.count; ++i)
    {
        step& input = m_steps[size_t(m_inputs[size_t(parent.first + i)])];
        if (input.what == CONSTANT && input.delay == 0)
            input.width = width;
    }
}

// What each form of the parse compiles into: one record per form, whether it reads inputs of
// the parse and how it fills in its step. A compiler returns false with the reason in `error`.
struct advanced_level::forms
{
    struct context
    {
        advanced_level& level;
        const SCI_ADVANCED_TRIGGER_BASE* node;
        const source_of& sources;
        const std::vector<int>& inputs;
        step& s;
        std::string* error;

        int width_of(int i) const { return level.m_steps[size_t(inputs[size_t(i)])].width; }
        bool is_constant(int i) const { return level.m_steps[size_t(inputs[size_t(i)])].what == CONSTANT; }
        int width_sum() const
        {
            int width = 0;
            for (int i = 0; i < int(inputs.size()); ++i)
                width += width_of(i);
            return width;
        }
        // The width of a bus operation: its widest input that is not a constant (else the widest).
        int bus_width() const
        {
            int width = 0;
            for (int pass = 0; pass < 2 && width == 0; ++pass)
                for (int i = 0; i < int(inputs.size()); ++i)
                    if (pass == 1 || !is_constant(i))
                        width = std::max(width, width_of(i));
            return std::max(width, 1);
        }
        bool need_inputs(int low, int high) const
        {
            if (int(inputs.size()) >= low && int(inputs.size()) <= high)
                return true;
            *error = "an operation has " + std::to_string(inputs.size()) + " inputs";
            return false;
        }
    };
    struct record
    {
        bool reads_inputs;
        bool (*compile)(context& c);
    };
    static const record* of(SCI_NODE_KIND kind);

    static bool output(context& c);
    static bool wire(context& c);
    static bool constant(context& c);
    static bool logical(context& c);
    static bool reduction(context& c);
    static bool bitwise(context& c);
    static bool compare(context& c);
    static bool shift(context& c);
    static bool concatenate(context& c);
    static bool detector(context& c);
    static bool node_detector(context& c);
    static bool counter(context& c);
    static bool custom_hdl(context& c);
};

const advanced_level::forms::record* advanced_level::forms::of(SCI_NODE_KIND kind)
{
    // In the order of SCI_NODE_KIND.
    static const record records[] = {
        {true, logical},        // SCI_KIND_LOGICAL
        {true, reduction},      // SCI_KIND_UNARY
        {true, custom_hdl},     // SCI_KIND_CUSTOM_HDL
        {true, bitwise},        // SCI_KIND_BITWISE
        {true, compare},        // SCI_KIND_COMPARE_CONSTANT
        {true, compare},        // SCI_KIND_COMPARE_VARIABLE
        {true, output},         // SCI_KIND_OUTPUT
        {true, shift},          // SCI_KIND_SHIFT
        {false, wire},          // SCI_KIND_INPUT_WIRE
        {false, constant},      // SCI_KIND_INPUT_CONSTANT
        {true, counter},        // SCI_KIND_EVENT_COUNTER
        {false, constant},      // SCI_KIND_INPUT_VARIABLE
        {true, concatenate},    // SCI_KIND_CONCATENATE
        {false, node_detector}, // SCI_KIND_IMBPM
        {true, detector},       // SCI_KIND_MBPM
    };
    const size_t index = size_t(kind);
    return index < sizeof(records) / sizeof(records[0]) ? &records[index] : nullptr;
}

bool advanced_level::forms::output(context& c)
{
    if (!c.need_inputs(1, 1))
        return false;
    c.s.what = RESULT;
    return true;
}

bool advanced_level::forms::wire(context& c)
{
    c.s.what = WIRE;
    c.s.source = c.sources(c.node->get_name());
    return true;
}

bool advanced_level::forms::constant(context& c)
{
    const auto* constant = static_cast<const SCI_ADVANCED_TRIGGER_INPUT_CONSTANT*>(c.node);
    step& s = c.s;
    s.what = CONSTANT;
    s.width = std::max(1, constant->get_bit_width());
    s.words = constant->get_number().words;
    // A negative constant keeps its sign when a wider operation takes it.
    s.flag = constant->get_number().negative;
    return true;
}

bool advanced_level::forms::logical(context& c)
{
    const SCI_LOGICAL_TYPE op = static_cast<const SCI_ADVANCED_TRIGGER_LOGICAL*>(c.node)->get_operation();
    if (!c.need_inputs(1, op == SCI_LTYPE_NOT ? 1 : 1 << 20))
        return false;
    c.s.what = op == SCI_LTYPE_AND   ? LOGICAL_AND
               : op == SCI_LTYPE_OR  ? LOGICAL_OR
               : op == SCI_LTYPE_XOR ? LOGICAL_XOR
                                     : LOGICAL_NOT;
    return true;
}

bool advanced_level::forms::reduction(context& c)
{
    if (!c.need_inputs(1, 1))
        return false;
    const SCI_LOGICAL_TYPE op = static_cast<const SCI_ADVANCED_TRIGGER_UNARY*>(c.node)->get_operation();
    c.s.what = op == SCI_LTYPE_AND ? REDUCE_AND : op == SCI_LTYPE_OR ? REDUCE_OR : REDUCE_XOR;
    c.s.width = 1;
    return true;
}

bool advanced_level::forms::bitwise(context& c)
{
    const SCI_LOGICAL_TYPE op = static_cast<const SCI_ADVANCED_TRIGGER_BITWISE*>(c.node)->get_operation();
    if (!c.need_inputs(1, op == SCI_LTYPE_NOT ? 1 : 1 << 20))
        return false;
    step& s = c.s;
    s.what = op == SCI_LTYPE_AND   ? BIT_AND
             : op == SCI_LTYPE_OR  ? BIT_OR
             : op == SCI_LTYPE_XOR ? BIT_XOR
                                   : BIT_NOT;
    s.width = c.bus_width();
    c.level.fit_constants(s, s.width);
    return true;
}

bool advanced_level::forms::compare(context& c)
{
    if (!c.need_inputs(2, 2))
        return false;
    const auto* compare = static_cast<const SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT*>(c.node);
    step& s = c.s;
    s.what = COMPARE;
    s.operation = compare->get_operation();
    s.flag = compare->get_signed_mode() != 0;
    s.value = uint64_t(c.bus_width()); // the width both sides are read in
    c.level.fit_constants(s, int(s.value));
    s.width = 1;
    return true;
}

bool advanced_level::forms::shift(context& c)
{
    if (!c.need_inputs(1, 1))
        return false;
    const auto* shift = static_cast<const SCI_ADVANCED_TRIGGER_SHIFT*>(c.node);
    step& s = c.s;
    s.what = SHIFT;
    s.operation = shift->get_operation();
    s.flag = shift->get_shift_direction();
    s.value = uint64_t(shift->get_shift_amount());
    s.width = c.width_of(0);
    return true;
}

bool advanced_level::forms::concatenate(context& c)
{
    c.s.what = CONCATENATE;
    c.s.width = c.width_sum();
    return true;
}

bool advanced_level::forms::detector(context& c)
{
    step& s = c.s;
    s.what = DETECT;
    const int width = c.width_sum();
    std::vector<uint8_t> symbols;
    if (!c.level.read_pattern(static_cast<const SCI_ADVANCED_TRIGGER_MBPM*>(c.node)->get_pattern(), width,
                              &symbols, &s.edges, c.error))
        return false;
    // The last input holds the least significant bits.
    int at = 0;
    for (int i = int(c.inputs.size()) - 1; i >= 0; --i)
        for (int b = 0; b < c.width_of(i); ++b, ++at)
            if (symbols[size_t(at)] != ANY)
                s.taps.push_back({i, b, symbols[size_t(at)]});
    s.value = uint64_t(width);
    s.width = 1;
    return true;
}

bool advanced_level::forms::node_detector(context& c)
{
    const auto* detector = static_cast<const SCI_ADVANCED_TRIGGER_IMBPM*>(c.node);
    step& s = c.s;
    s.what = NODE_DETECT;
    for (const std::string& name : node_names(detector->get_nodes()))
    {
        if (name.empty())
        {
            *c.error = std::string("an empty node name in {") + detector->get_nodes() + "}";
            return false;
        }
        s.nodes.push_back(c.sources(name));
    }
    std::vector<uint8_t> symbols;
    if (!c.level.read_pattern(pattern_of(detector->get_pattern()), int(s.nodes.size()), &symbols, &s.edges,
                              c.error))
        return false;
    // The first node is the most significant.
    s.node_symbols.assign(symbols.rbegin(), symbols.rend());
    s.width = 1;
    return true;
}

bool advanced_level::forms::counter(context& c)
{
    if (!c.need_inputs(1, 1))
        return false;
    const auto* counter = static_cast<const SCI_ADVANCED_TRIGGER_EVENT_COUNTER*>(c.node);
    step& s = c.s;
    s.what = COUNTER;
    s.operation = counter->get_mode();
    s.flag = counter->get_hold_status();
    s.value = counter->get_counter_value();
    // The value is compared in the counter's own width.
    s.source = counter->get_counter_width();
    s.counter = c.level.m_counters++;
    s.width = 1;
    return true;
}

bool advanced_level::forms::custom_hdl(context& c)
{
    *c.error = std::string("the custom trigger module \"") +
               static_cast<const SCI_ADVANCED_TRIGGER_CUSTOM_HDL*>(c.node)->get_module_name() +
               "\" cannot run on the simulated device";
    return false;
}

int advanced_level::add(const SCI_ADVANCED_TRIGGER_BASE* node, const source_of& sources, int depth, std::string* error)
{
    // The parse is no deeper than a condition may be; this guards the stack all the same.
    if (depth > SDR_FILE_LIMITS::MAX_CONDITION_DEPTH)
    {
        *error = "equation nested too deeply";
        return -1;
    }
    const forms::record* form = forms::of(node->get_kind());
    const int subtree_first = int(m_steps.size());
    std::vector<int> inputs;
    for (int i = 0; (form == nullptr || form->reads_inputs) && i < node->get_input_count(); ++i)
    {
        const int input = add(node->get_input_connection_at(i), sources, depth + 1, error);
        if (input < 0)
            return -1;
        inputs.push_back(input);
    }
    step s;
    s.first = int(m_inputs.size());
    s.count = int(inputs.size());
    s.delay = node->get_delay();
    m_inputs.insert(m_inputs.end(), inputs.begin(), inputs.end());
    if (form == nullptr)
    {
        *error = "an unknown object";
        return -1;
    }
    forms::context c{*this, node, sources, inputs, s, error};
    if (!form->compile(c))
        return -1;
    s.subtree_first = subtree_first;
    return place(std::move(s));
}

// Gives a step its ring of delayed blocks and its signal reads, and appends it.
int advanced_level::place(step s)
{
    if (s.delay > 0 && s.what != WIRE)
    {
        s.ring = m_rings++;
        s.ring_blocks = int64_t(s.delay) / 64 + 2;
    }
    if (s.what == WIRE && s.source >= 0)
    {
        // A wire named twice with the same delay is read once.
        for (size_t r = 0; r < m_readers.size() && s.reader < 0; ++r)
            if (m_readers[r].source == s.source && m_readers[r].delay == s.delay && !m_readers[r].node)
                s.reader = int(r);
        if (s.reader < 0)
        {
            s.reader = int(m_readers.size());
            m_readers.push_back({s.source, s.delay, false});
        }
    }
    if (s.what == NODE_DETECT)
    {
        s.reader = int(m_readers.size());
        for (int source : s.nodes)
            m_readers.push_back({source, 0, true});
    }
    m_steps.push_back(std::move(s));
    return int(m_steps.size()) - 1;
}

namespace
{
constexpr int BLOCK = 64;
// A signal is read from the bank a row of this many samples at a time.
constexpr int ROW_SAMPLES = 16384;
constexpr uint64_t ALL = ~uint64_t(0);

uint64_t any_of(const uint64_t* slices, int width)
{
    uint64_t v = 0;
    for (int b = 0; b < width; ++b)
        v |= slices[b];
    return v;
}

// The words of the sample before each sample of a block: this block's bits one place up and
// the last bit of the block before.
uint64_t prior_of(uint64_t word, uint64_t last)
{
    return (word << 1) | (last >> 63);
}

// Samples where a (zero-extended to `width`) is less than / equal to b, bit serially from the
// most significant bit; a signed comparison flips both sign bits.
void compare_slices(const uint64_t* a, int a_width, const uint64_t* b, int b_width, int width, bool is_signed,
                    uint64_t* less, uint64_t* equal)
{
    uint64_t lt = 0, eq = ALL;
    for (int bit = width - 1; bit >= 0; --bit)
    {
        uint64_t x = bit < a_width ? a[bit] : 0;
        uint64_t y = bit < b_width ? b[bit] : 0;
        if (is_signed && bit == width - 1)
        {
            x = ~x;
            y = ~y;
        }
        lt |= eq & ~x & y;
        eq &= ~(x ^ y);
    }
    *less = lt;
    *equal = eq;
}

uint64_t compared_slices(SCI_COMPARE_TYPE op, uint64_t less, uint64_t equal)
{
    switch (op)
    {
    case SCI_CTYPE_GREATER_THAN: return ~less & ~equal;
    case SCI_CTYPE_GREATER_THAN_OR_EQUAL_TO: return ~less;
    case SCI_CTYPE_LESS_THAN: return less;
    case SCI_CTYPE_LESS_THAN_OR_EQUAL_TO: return less | equal;
    case SCI_CTYPE_EQUAL_TO: return equal;
    case SCI_CTYPE_NOT_EQUAL_TO: return ~equal;
    case SCI_CTYPE_TRUE: return ALL;
    default: return 0;
    }
}

// One bit of a detector over a block: where the bit does what its pattern symbol asks, now
// and at the sample before.
uint64_t detected(uint64_t now, uint64_t prior, uint8_t symbol)
{
    switch (symbol)
    {
    case HIGH: return now;
    case LOW: return ~now;
    case RISE: return now & ~prior;
    case FALL: return ~now & prior;
    case EITHER: return now ^ prior;
    default: return ALL;
    }
}
} // namespace

// The signal of a reader over the 64 samples from `at` (before sample 0 it holds sample 0's level).
uint64_t advanced_level::row_word(const signal_bank& bank, int index, int64_t at, state* s) const
{
    const int source = m_readers[size_t(index)].source;
    if (source < 0)
        return 0;
    if (at < 0)
    {
        uint64_t v = 0;
        for (int i = 0; i < BLOCK; ++i)
            v |= uint64_t(bank.bit(source, std::max<int64_t>(0, at + i)) ? 1 : 0) << i;
        return v;
    }
    std::vector<uint64_t>& row = s->rows[size_t(index)];
    int64_t& first = s->row_first[size_t(index)];
    if (row.empty() || at < first || at + BLOCK > first + ROW_SAMPLES || (at - first) % BLOCK != 0)
    {
        row.assign(ROW_SAMPLES / BLOCK, 0);
        first = at;
        bank.fill_row(source, first, ROW_SAMPLES, reinterpret_cast<unsigned char*>(row.data()),
                      static_cast<row_scratch*>(s->scratch.get()));
    }
    return row[size_t((at - first) / BLOCK)];
}

// A delayed step gives out its results `delay` samples later, 0 before that many were made.
void advanced_level::delay_block(const step& st, uint64_t* out, state* s) const
{
    std::vector<uint64_t>& ring = s->delayed[size_t(st.ring)];
    const int width = std::max(1, st.width);
    const int64_t k = s->block;
    const int64_t q = int64_t(st.delay) / BLOCK;
    const int r = st.delay % BLOCK;
    auto made = [&](int64_t block, int bit) -> uint64_t {
        return block < 0 ? 0 : ring[size_t((block % st.ring_blocks) * width + bit)];
    };
    for (int b = 0; b < width; ++b)
    {
        ring[size_t((k % st.ring_blocks) * width + b)] = out[b];
        out[b] = r == 0 ? made(k - q, b) : (made(k - q, b) << r) | (made(k - q - 1, b) >> (BLOCK - r));
    }
}

uint64_t advanced_level::counter_block(const step& st, uint64_t high, uint64_t prior, state* s) const
{
    uint64_t& count = s->counts[size_t(st.counter)];
    char& reached = s->reached[size_t(st.counter)];
    const uint64_t mask = mask_of(st.source);
    const auto mode = SCI_EVENT_COUNTER_TYPE(st.operation);
    // Once a holding counter has reached its value, its count no longer shows.
    if (st.flag && reached != 0)
        return ALL;
    const uint64_t counted = mode == SCI_ETYPE_CONTINUOUS || mode == SCI_ETYPE_EVENT ? high : high & ~prior;
    if (counted == 0 && (mode != SCI_ETYPE_CONTINUOUS || count == 0))
    {
        const bool equal = count == st.value;
        reached = reached != 0 || equal ? 1 : 0;
        return equal ? ALL : 0;
    }
    uint64_t v = 0;
    for (int i = 0; i < BLOCK; ++i)
    {
        const bool step_up = ((counted >> i) & 1) != 0;
        if (mode == SCI_ETYPE_CONTINUOUS)
            count = step_up ? (count + 1) & mask : 0;
        else if (step_up)
            count = (count + 1) & mask;
        const bool equal = count == st.value;
        reached = reached != 0 || equal ? 1 : 0;
        if (st.flag ? reached != 0 : equal)
            v |= uint64_t(1) << i;
    }
    return v;
}

void advanced_level::start(const signal_bank& bank, int64_t sample, state* s) const
{
    if (s->scratch == nullptr)
        s->scratch = std::make_shared<row_scratch>();
    s->rows.assign(m_readers.size(), {});
    s->row_first.assign(m_readers.size(), 0);
    s->row_last.assign(m_readers.size(), 0);
    s->words.assign(size_t(m_words), 0);
    s->last.assign(size_t(m_words), 0);
    s->truths.assign(m_steps.size(), 0);
    s->counts.assign(size_t(m_counters), 0);
    s->reached.assign(size_t(m_counters), 0);
    s->delayed.assign(size_t(m_rings), {});
    for (const step& each : m_steps)
        if (each.ring >= 0)
            s->delayed[size_t(each.ring)].assign(size_t(each.ring_blocks * std::max(1, each.width)), 0);
    // The sample before gives the edges of the first one; no counter counts on it. Its values
    // go in as the last bit of the block before the first.
    if (sample > 0)
        evaluate_before(bank, sample - 1, s);
    for (size_t r = 0; r < m_readers.size(); ++r)
        if (m_readers[r].source >= 0)
            s->row_last[r] = uint64_t(bank.bit(m_readers[r].source, std::max<int64_t>(0, sample - 1)) ? 1 : 0) << 63;
    s->first = sample;
    s->block = -1;
    s->result = 0;
    s->result_before = 0;
    s->next = sample;
}

uint64_t advanced_level::holds_block(const signal_bank& bank, int64_t sample, state* s) const
{
    if (s->next != sample)
        start(bank, sample, s);
    const int64_t offset = (sample - s->first) % BLOCK;
    const int64_t last_block = (sample - s->first) / BLOCK + (offset != 0 ? 1 : 0);
    while (s->block < last_block)
        evaluate_block(bank, s);
    s->next = sample + BLOCK;
    return offset == 0 ? s->result : (s->result_before >> offset) | (s->result << (BLOCK - offset));
}

bool advanced_level::holds(const signal_bank& bank, int64_t sample, state* s) const
{
    if (s->next != sample)
        start(bank, sample, s);
    while (s->first + (s->block + 1) * BLOCK <= sample)
        evaluate_block(bank, s);
    s->next = sample + 1;
    return !m_steps.empty() && ((s->result >> ((sample - s->first) % BLOCK)) & 1) != 0;
}

int64_t advanced_level::first_holding(const signal_bank& bank, int64_t from, int64_t limit, state* s) const
{
    if (s->next != from)
        start(bank, from, s);
    int64_t sample = from;
    while (sample < limit && !m_steps.empty())
    {
        while (s->first + (s->block + 1) * BLOCK <= sample)
            evaluate_block(bank, s);
        const int64_t block_first = s->first + s->block * BLOCK;
        const int64_t end = std::min(limit, block_first + BLOCK);
        uint64_t word = s->result >> (sample - block_first);
        const int64_t span = end - sample;
        if (span < 64)
            word &= (uint64_t(1) << span) - 1;
        if (word != 0)
        {
            const int64_t found = sample + __builtin_ctzll(word);
            s->next = found + 1;
            return found;
        }
        sample = end;
    }
    s->next = std::max(from, limit);
    return -1;
}

// The values at the one sample before a search starts, each as the last bit of the block before
// the first: every step over that one sample, its edges taken against 0, no counter counting and
// no delayed step giving out a result yet.
void advanced_level::evaluate_before(const signal_bank& bank, int64_t sample, state* s) const
{
    std::fill(s->last.begin(), s->last.end(), 0);
    evaluate_steps(bank, sample, true, s);
    for (uint64_t& word : s->words)
        word = (word & 1) << 63;
}

// One block of 64 samples, every step over all of them at once.
void advanced_level::evaluate_block(const signal_bank& bank, state* s) const
{
    const int64_t k = ++s->block;
    s->last.swap(s->words);
    evaluate_steps(bank, s->first + k * BLOCK, false, s);
    s->result_before = s->result;
    s->result = m_steps.empty() ? 0 : s->truths[m_steps.size() - 1];
}

// What each kind of step does over a block: one function per kind, in the order of `kind`,
// each writing the step's slices `out` (`width` of them) from its inputs `args`.
struct advanced_level::kinds
{
    struct context
    {
        const advanced_level& self;
        const signal_bank& bank;
        int64_t first;
        bool before;
        state* s;
        uint64_t* words;
        const uint64_t* last;
        const step* steps;
        uint64_t* truths;

        int width_of(int index) const { return std::max(1, steps[index].width); }
        const uint64_t* slices(int index) const { return words + steps[index].slot; }
        uint64_t truth(int index) const { return truths[index]; }
        uint64_t level(int source, int64_t at) const
        {
            return source >= 0 && bank.bit(source, std::max<int64_t>(0, at)) ? ALL : uint64_t(0);
        }
    };
    using run = void (*)(const context& c, const step& st, const int* args, int width, uint64_t* out);
    static const run runs[];

    // Whether an input before this pure subtree in its logical and is 0 over the whole block.
    static bool skipped(const context& c, const int* in, const step& st)
    {
        const int* gate_inputs = in + c.steps[st.guard_and].first;
        for (int k = 0; k < st.guard_input; ++k)
            if (c.truths[gate_inputs[k]] == 0)
                return true;
        return false;
    }

    static void wire(const context& c, const step& st, const int*, int, uint64_t* out)
    {
        out[0] = c.before        ? c.level(st.source, c.first - st.delay)
                 : st.reader < 0 ? 0
                                 : c.self.row_word(c.bank, st.reader, c.first - st.delay, c.s);
    }
    static void constant(const context&, const step& st, const int*, int width, uint64_t* out)
    {
        for (int b = 0; b < width; ++b)
        {
            const size_t word = size_t(b) / 64;
            out[b] = (word < st.words.size() ? ((st.words[word] >> (b % 64)) & 1) != 0 : st.flag) ? ALL : 0;
        }
    }
    static void logical_and(const context& c, const step& st, const int* args, int, uint64_t* out)
    {
        out[0] = ALL;
        for (int a = 0; a < st.count; ++a)
            out[0] &= c.truth(args[a]);
    }
    static void logical_or(const context& c, const step& st, const int* args, int, uint64_t* out)
    {
        out[0] = 0;
        for (int a = 0; a < st.count; ++a)
            out[0] |= c.truth(args[a]);
    }
    static void logical_xor(const context& c, const step& st, const int* args, int, uint64_t* out)
    {
        out[0] = 0;
        for (int a = 0; a < st.count; ++a)
            out[0] ^= c.truth(args[a]);
    }
    static void logical_not(const context& c, const step&, const int* args, int, uint64_t* out)
    {
        out[0] = ~c.truth(args[0]);
    }
    static void bit_and(const context& c, const step& st, const int* args, int width, uint64_t* out)
    {
        std::fill(out, out + width, ALL);
        for (int a = 0; a < st.count; ++a)
        {
            const uint64_t* x = c.slices(args[a]);
            const int w = std::min(width, c.width_of(args[a]));
            for (int b = 0; b < w; ++b)
                out[b] &= x[b];
            std::fill(out + w, out + width, 0);
        }
    }
    static void bit_or(const context& c, const step& st, const int* args, int width, uint64_t* out)
    {
        std::fill(out, out + width, 0);
        for (int a = 0; a < st.count; ++a)
        {
            const uint64_t* x = c.slices(args[a]);
            const int w = std::min(width, c.width_of(args[a]));
            for (int b = 0; b < w; ++b)
                out[b] |= x[b];
        }
    }
    static void bit_xor(const context& c, const step& st, const int* args, int width, uint64_t* out)
    {
        std::fill(out, out + width, 0);
        for (int a = 0; a < st.count; ++a)
        {
            const uint64_t* x = c.slices(args[a]);
            const int w = std::min(width, c.width_of(args[a]));
            for (int b = 0; b < w; ++b)
                out[b] ^= x[b];
        }
    }
    static void bit_not(const context& c, const step&, const int* args, int width, uint64_t* out)
    {
        for (int b = 0; b < width; ++b)
            out[b] = b < c.width_of(args[0]) ? ~c.slices(args[0])[b] : ALL;
    }
    static void reduce_and(const context& c, const step&, const int* args, int, uint64_t* out)
    {
        uint64_t v = ALL;
        for (int b = 0; b < c.width_of(args[0]); ++b)
            v &= c.slices(args[0])[b];
        out[0] = v;
    }
    static void reduce_or(const context& c, const step&, const int* args, int, uint64_t* out)
    {
        out[0] = c.truth(args[0]);
    }
    static void reduce_xor(const context& c, const step&, const int* args, int, uint64_t* out)
    {
        uint64_t v = 0;
        for (int b = 0; b < c.width_of(args[0]); ++b)
            v ^= c.slices(args[0])[b];
        out[0] = v;
    }
    static void compare(const context& c, const step& st, const int* args, int, uint64_t* out)
    {
        const int compare_width = int(st.value);
        uint64_t less = 0, equal = 0;
        compare_slices(c.slices(args[0]), std::min(c.width_of(args[0]), compare_width), c.slices(args[1]),
                       std::min(c.width_of(args[1]), compare_width), compare_width, st.flag, &less, &equal);
        out[0] = compared_slices(SCI_COMPARE_TYPE(st.operation), less, equal);
    }
    static void shift(const context& c, const step& st, const int* args, int width, uint64_t* out)
    {
        const uint64_t* x = c.slices(args[0]);
        const auto type = SCI_SHIFT_TYPE(st.operation);
        const bool right = st.flag;
        for (int b = 0; b < width; ++b)
        {
            if (type == SCI_STYPE_ROTATE)
            {
                const int turns = int(st.value % uint64_t(width));
                out[b] = x[right ? (b + turns) % width : (b - turns + width) % width];
            }
            else if (type == SCI_STYPE_ARITHMETIC && right)
            {
                const uint64_t from_bit = uint64_t(b) + std::min<uint64_t>(st.value, uint64_t(width));
                out[b] = from_bit < uint64_t(width) ? x[from_bit] : x[width - 1];
            }
            else if (st.value >= uint64_t(width))
                out[b] = 0;
            else if (right)
                out[b] = b + int(st.value) < width ? x[b + int(st.value)] : 0;
            else
                out[b] = b - int(st.value) >= 0 ? x[b - int(st.value)] : 0;
        }
    }
    static void concatenate(const context& c, const step& st, const int* args, int width, uint64_t* out)
    {
        int at = 0;
        for (int a = st.count - 1; a >= 0; --a)
            for (int b = 0; b < c.width_of(args[a]) && at < width; ++b)
                out[at++] = c.slices(args[a])[b];
    }
    static void detect(const context& c, const step& st, const int* args, int, uint64_t* out)
    {
        uint64_t v = ALL;
        for (const step::tap& t : st.taps)
        {
            const int slot = c.steps[args[t.input]].slot + t.bit;
            v &= detected(c.words[slot], prior_of(c.words[slot], c.last[slot]), t.symbol);
        }
        out[0] = v;
    }
    static void node_detect(const context& c, const step& st, const int*, int, uint64_t* out)
    {
        uint64_t v = ALL;
        for (size_t n = 0; n < st.nodes.size(); ++n)
        {
            const int r = st.reader + int(n);
            if (c.before)
            {
                v &= detected(c.level(st.nodes[n], c.first), c.level(st.nodes[n], c.first - 1),
                              st.node_symbols[n]);
                continue;
            }
            const uint64_t now = c.self.row_word(c.bank, r, c.first, c.s);
            v &= detected(now, prior_of(now, c.s->row_last[size_t(r)]), st.node_symbols[n]);
            c.s->row_last[size_t(r)] = now;
        }
        out[0] = v;
    }
    // No counter counts on the sample before a search.
    static void counter(const context& c, const step& st, const int* args, int, uint64_t* out)
    {
        if (c.before)
        {
            out[0] = 0;
            return;
        }
        const int input = args[0];
        const uint64_t high = c.truth(input);
        const uint64_t prior = prior_of(high, any_of(c.last + c.steps[input].slot, c.width_of(input)));
        out[0] = c.self.counter_block(st, high, prior, c.s);
    }
    static void result(const context& c, const step&, const int* args, int, uint64_t* out)
    {
        out[0] = c.truth(args[0]);
    }
};

const advanced_level::kinds::run advanced_level::kinds::runs[] = {
    wire,        // WIRE
    constant,    // CONSTANT
    logical_and, // LOGICAL_AND
    logical_or,  // LOGICAL_OR
    logical_xor, // LOGICAL_XOR
    logical_not, // LOGICAL_NOT
    bit_and,     // BIT_AND
    bit_or,      // BIT_OR
    bit_xor,     // BIT_XOR
    bit_not,     // BIT_NOT
    reduce_and,  // REDUCE_AND
    reduce_or,   // REDUCE_OR
    reduce_xor,  // REDUCE_XOR
    compare,     // COMPARE
    shift,       // SHIFT
    concatenate, // CONCATENATE
    detect,      // DETECT
    node_detect, // NODE_DETECT
    counter,     // COUNTER
    result,      // RESULT
};

void advanced_level::evaluate_steps(const signal_bank& bank, int64_t first, bool before, state* s) const
{
    const kinds::context c{*this,           bank,           first,          before,          s,
                           s->words.data(), s->last.data(), m_steps.data(), s->truths.data()};
    static_assert(sizeof(kinds::runs) / sizeof(kinds::runs[0]) == RESULT + 1,
                  "one function per kind of step");
    const int* in = m_inputs.data();
    for (size_t i = 0; i < m_steps.size(); ++i)
    {
        const step& st = m_steps[i];
        if (st.guard_and >= 0 && kinds::skipped(c, in, st))
        {
            c.truths[st.guard_end] = 0;
            i = size_t(st.guard_end);
            continue;
        }
        const int width = std::max(1, st.width);
        uint64_t* out = c.words + st.slot;
        kinds::runs[st.what](c, st, in + st.first, width, out);
        if (st.ring >= 0)
        {
            if (before)
                std::fill(out, out + width, 0);
            else
                delay_block(st, out, s);
        }
        c.truths[i] = width == 1 ? out[0] : any_of(out, width);
    }
}
} // namespace chi_detail
