// An advanced level on the simulated device: the parse tree flattened into steps that run in
// order once per sample, each on its inputs' values at that sample (and, for edges, at the
// sample before).
//
// What each form does on the device:
//   'node'                 the node's level; ('node'@n) its level n samples earlier
//   (...)#n                the group's result n samples later (pipeline registers, 0 at start)
//   and/or/xor(...), !x    logical: an input is true when any of its bits is 1
//   a & b, a | b, a ^ b, ~x  bitwise over the widest input; constants take that width
//   (&x), (|x), (^x)       reductions over the bits of x
//   compare(a, op, b, vc|cc, sc|uc)  over the wider side; sc: both sides two's complement
//   shift(type, dir, n, x) over the width of x, as the condition objects shift a constant
//   {a, b, ...}            a bus, most significant first; at most 64 bits
//   mbpm('pattern', x)     one symbol per bit of x, most significant first: X don't care,
//                          0/L low, 1/H high, R rising, F falling, E either edge
//   imbpm('p', {nodes})    the same over the named trigger nodes (names separated by commas,
//                          each may be quoted)
//   ec(w, v, c|e|s, hold, x)  a w-bit counter of x: "c" consecutive samples where x holds
//                          (back to 0 where it does not), "e" every sample where it holds, "s"
//                          each rise of x; true where the count equals v, and with hold from
//                          the first time on. Counters count from the start of the level's search.
//   variable(n), constant(n), numbers   the value as compiled
// A user's own trigger module (mvx_custom_trigger_hdl) cannot be simulated: compiling the
// level fails with its name.
#include "host/chi_condition.h"
#include "host/chi_private.h"
#include "host/sci.h"

#include <algorithm>

namespace chi_detail
{
namespace
{
uint64_t mask_of(int width)
{
    return width >= 64 ? ~uint64_t(0) : (uint64_t(1) << width) - 1;
}

int64_t signed_of(uint64_t value, int width)
{
    if (width >= 64)
        return int64_t(value);
    const uint64_t sign = uint64_t(1) << (width - 1);
    return int64_t((value ^ sign) - sign);
}

int parity(uint64_t v)
{
    return __builtin_popcountll(v) & 1;
}

uint64_t shifted(uint64_t value, int width, SCI_SHIFT_TYPE type, bool right, uint64_t distance)
{
    const uint64_t mask = mask_of(width);
    uint64_t v = value & mask;
    const uint64_t msb = width >= 1 ? uint64_t(1) << (width - 1) : 0;
    if (type == SCI_STYPE_ROTATE)
    {
        const uint64_t turns = width > 0 ? distance % uint64_t(width) : 0;
        for (uint64_t i = 0; i < turns; ++i)
            v = right ? (v >> 1) | ((v & 1) != 0 ? msb : 0) : ((v << 1) | ((v & msb) != 0 ? 1 : 0)) & mask;
        return v;
    }
    if (type == SCI_STYPE_ARITHMETIC && right)
    {
        for (uint64_t i = 0; i < std::min<uint64_t>(distance, 64); ++i)
            v = (v >> 1) | (v & msb);
        return v;
    }
    if (distance >= 64)
        return 0;
    return right ? v >> distance : (v << distance) & mask;
}

bool compared(SCI_COMPARE_TYPE op, uint64_t a, uint64_t b, bool is_signed, int width)
{
    const bool less = is_signed ? signed_of(a, width) < signed_of(b, width) : a < b;
    const bool equal = a == b;
    switch (op)
    {
    case SCI_CTYPE_GREATER_THAN: return !less && !equal;
    case SCI_CTYPE_GREATER_THAN_OR_EQUAL_TO: return !less;
    case SCI_CTYPE_LESS_THAN: return less;
    case SCI_CTYPE_LESS_THAN_OR_EQUAL_TO: return less || equal;
    case SCI_CTYPE_EQUAL_TO: return equal;
    case SCI_CTYPE_NOT_EQUAL_TO: return !equal;
    case SCI_CTYPE_TRUE: return true;
    default: return false;
    }
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
    m_counters = 0;
    m_rings = 0;
    if (root == nullptr)
    {
        *error = "no equation";
        return false;
    }
    return add(root, sources, 0, error) >= 0;
}

bool advanced_level::set_pattern(step* s, const std::string& pattern, int width, std::string* error) const
{
    if (int(pattern.size()) != width)
    {
        *error = "pattern '" + pattern + "' has " + std::to_string(pattern.size()) + " symbols for " +
                 std::to_string(width) + " bits";
        return false;
    }
    for (int i = 0; i < width; ++i)
    {
        const uint64_t bit = uint64_t(1) << (width - 1 - i);
        switch (pattern[size_t(i)])
        {
        case 'X': case 'x': break;
        case '0': case 'L': case 'l': s->low |= bit; break;
        case '1': case 'H': case 'h': s->high |= bit; break;
        case 'R': case 'r': s->rise |= bit; break;
        case 'F': case 'f': s->fall |= bit; break;
        case 'E': case 'e': s->either |= bit; break;
        default:
            *error = std::string("pattern '") + pattern + "' holds '" + pattern[size_t(i)] + "'";
            return false;
        }
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
        {
            input.value &= mask_of(width);
            input.width = width;
        }
    }
}

int advanced_level::add(const SCI_ADVANCED_TRIGGER_BASE* node, const source_of& sources, int depth, std::string* error)
{
    if (depth > 400)
    {
        *error = "equation nested too deeply";
        return -1;
    }
    std::vector<int> inputs;
    const bool leaf_kind = node->get_kind() == SCI_KIND_INPUT_WIRE || node->get_kind() == SCI_KIND_INPUT_CONSTANT ||
                           node->get_kind() == SCI_KIND_INPUT_VARIABLE || node->get_kind() == SCI_KIND_IMBPM;
    for (int i = 0; !leaf_kind && i < node->get_input_count(); ++i)
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
    auto width_of = [this, &inputs](int i) { return m_steps[size_t(inputs[size_t(i)])].width; };
    auto is_constant = [this, &inputs](int i) { return m_steps[size_t(inputs[size_t(i)])].what == CONSTANT; };
    // The width of a bus operation: its widest input that is not a constant (else the widest).
    auto bus_width = [&]() {
        int width = 0;
        for (int pass = 0; pass < 2 && width == 0; ++pass)
            for (int i = 0; i < int(inputs.size()); ++i)
                if (pass == 1 || !is_constant(i))
                    width = std::max(width, width_of(i));
        return std::max(width, 1);
    };
    auto need_inputs = [&](int low, int high) {
        if (int(inputs.size()) >= low && int(inputs.size()) <= high)
            return true;
        *error = "an operation has " + std::to_string(inputs.size()) + " inputs";
        return false;
    };
    switch (node->get_kind())
    {
    case SCI_KIND_OUTPUT:
        if (!need_inputs(1, 1))
            return -1;
        s.what = RESULT;
        break;
    case SCI_KIND_INPUT_WIRE:
        s.what = WIRE;
        s.source = sources(node->get_name());
        break;
    case SCI_KIND_INPUT_CONSTANT:
    case SCI_KIND_INPUT_VARIABLE:
    {
        const auto* constant = static_cast<const SCI_ADVANCED_TRIGGER_INPUT_CONSTANT*>(node);
        s.what = CONSTANT;
        s.width = std::min(constant->get_bit_width(), BUS_LIMIT);
        s.value = uint64_t(constant->get_value()) & mask_of(s.width);
        // A negative constant keeps its sign when a wider operation takes it.
        s.flag = constant->get_value() < 0;
        if (s.flag)
            s.value = uint64_t(constant->get_value());
        break;
    }
    case SCI_KIND_LOGICAL:
    {
        const SCI_LOGICAL_TYPE op = static_cast<const SCI_ADVANCED_TRIGGER_LOGICAL*>(node)->get_operation();
        if (!need_inputs(op == SCI_LTYPE_NOT ? 1 : 1, op == SCI_LTYPE_NOT ? 1 : 1 << 20))
            return -1;
        s.what = op == SCI_LTYPE_AND ? LOGICAL_AND : op == SCI_LTYPE_OR ? LOGICAL_OR : op == SCI_LTYPE_XOR ? LOGICAL_XOR
                                                                                                         : LOGICAL_NOT;
        break;
    }
    case SCI_KIND_UNARY:
    {
        if (!need_inputs(1, 1))
            return -1;
        const SCI_LOGICAL_TYPE op = static_cast<const SCI_ADVANCED_TRIGGER_UNARY*>(node)->get_operation();
        s.what = op == SCI_LTYPE_AND ? REDUCE_AND : op == SCI_LTYPE_OR ? REDUCE_OR : REDUCE_XOR;
        s.width = 1;
        break;
    }
    case SCI_KIND_BITWISE:
    {
        const SCI_LOGICAL_TYPE op = static_cast<const SCI_ADVANCED_TRIGGER_BITWISE*>(node)->get_operation();
        if (!need_inputs(1, op == SCI_LTYPE_NOT ? 1 : 1 << 20))
            return -1;
        s.what = op == SCI_LTYPE_AND ? BIT_AND : op == SCI_LTYPE_OR ? BIT_OR : op == SCI_LTYPE_XOR ? BIT_XOR : BIT_NOT;
        s.width = bus_width();
        fit_constants(s, s.width);
        break;
    }
    case SCI_KIND_COMPARE_CONSTANT:
    case SCI_KIND_COMPARE_VARIABLE:
    {
        if (!need_inputs(2, 2))
            return -1;
        const auto* compare = static_cast<const SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT*>(node);
        s.what = COMPARE;
        s.operation = compare->get_operation();
        s.flag = compare->get_signed_mode() != 0;
        s.value = uint64_t(bus_width()); // the width both sides are read in
        fit_constants(s, int(s.value));
        s.width = 1;
        break;
    }
    case SCI_KIND_SHIFT:
    {
        if (!need_inputs(1, 1))
            return -1;
        const auto* shift = static_cast<const SCI_ADVANCED_TRIGGER_SHIFT*>(node);
        s.what = SHIFT;
        s.operation = shift->get_operation();
        s.flag = shift->get_shift_direction();
        s.value = uint64_t(shift->get_shift_amount());
        s.width = width_of(0);
        break;
    }
    case SCI_KIND_CONCATENATE:
    {
        s.what = CONCATENATE;
        s.width = 0;
        for (int i = 0; i < int(inputs.size()); ++i)
            s.width += width_of(i);
        if (s.width > BUS_LIMIT)
        {
            *error = "a bus of " + std::to_string(s.width) + " bits is wider than the " + std::to_string(BUS_LIMIT) +
                     " bits the device takes";
            return -1;
        }
        break;
    }
    case SCI_KIND_MBPM:
    {
        s.what = DETECT;
        int width = 0;
        for (int i = 0; i < int(inputs.size()); ++i)
            width += width_of(i);
        if (width > BUS_LIMIT)
        {
            *error = "a detector of " + std::to_string(width) + " bits is wider than the " +
                     std::to_string(BUS_LIMIT) + " bits the device takes";
            return -1;
        }
        if (!set_pattern(&s, static_cast<const SCI_ADVANCED_TRIGGER_MBPM*>(node)->get_pattern(), width, error))
            return -1;
        s.value = uint64_t(width);
        s.width = 1;
        break;
    }
    case SCI_KIND_IMBPM:
    {
        const auto* detector = static_cast<const SCI_ADVANCED_TRIGGER_IMBPM*>(node);
        s.what = NODE_DETECT;
        for (const std::string& name : node_names(detector->get_nodes()))
        {
            if (name.empty())
            {
                *error = std::string("an empty node name in {") + detector->get_nodes() + "}";
                return -1;
            }
            s.nodes.push_back(sources(name));
        }
        if (int(s.nodes.size()) > BUS_LIMIT)
        {
            *error = "a detector of " + std::to_string(s.nodes.size()) + " nodes is wider than the " +
                     std::to_string(BUS_LIMIT) + " bits the device takes";
            return -1;
        }
        if (!set_pattern(&s, pattern_of(detector->get_pattern()), int(s.nodes.size()), error))
            return -1;
        s.width = 1;
        break;
    }
    case SCI_KIND_EVENT_COUNTER:
    {
        if (!need_inputs(1, 1))
            return -1;
        const auto* counter = static_cast<const SCI_ADVANCED_TRIGGER_EVENT_COUNTER*>(node);
        s.what = COUNTER;
        s.operation = counter->get_mode();
        s.flag = counter->get_hold_status();
        s.value = counter->get_counter_value();
        // The value is compared in the counter's own width.
        s.source = counter->get_counter_width();
        s.counter = m_counters++;
        s.width = 1;
        break;
    }
    case SCI_KIND_CUSTOM_HDL:
        *error = std::string("the custom trigger module \"") +
                 static_cast<const SCI_ADVANCED_TRIGGER_CUSTOM_HDL*>(node)->get_module_name() +
                 "\" cannot run on the simulated device";
        return -1;
    default:
        *error = "an unknown object";
        return -1;
    }
    if (s.delay > 0 && s.what != WIRE)
        s.ring = m_rings++;
    m_steps.push_back(std::move(s));
    return int(m_steps.size()) - 1;
}

// Wires are read a block of samples at a time: one fill of the bank's row per block instead of
// one look-up per sample.
constexpr int WIRE_BLOCK = 4096;

bool advanced_level::wire_level(const signal_bank& bank, size_t index, int64_t sample, state* s) const
{
    int64_t& first = s->block_first[index];
    std::vector<unsigned char>& block = s->blocks[index];
    if (block.empty() || sample < first || sample >= first + WIRE_BLOCK)
    {
        block.assign(WIRE_BLOCK / 8, 0);
        first = sample;
        bank.fill_row(m_steps[index].source, first, WIRE_BLOCK, block.data(),
                      static_cast<row_scratch*>(s->scratch.get()));
    }
    const int64_t at = sample - first;
    return (block[size_t(at / 8)] >> (at % 8)) & 1;
}

void advanced_level::start(const signal_bank& bank, int64_t sample, state* s) const
{
    s->block_first.assign(m_steps.size(), 0);
    s->blocks.assign(m_steps.size(), {});
    if (s->scratch == nullptr)
        s->scratch = std::make_shared<row_scratch>();
    s->now.assign(m_steps.size(), 0);
    s->before.assign(m_steps.size(), 0);
    s->counts.assign(size_t(m_counters), 0);
    s->reached.assign(size_t(m_counters), 0);
    s->history.assign(size_t(m_rings), {});
    for (const step& each : m_steps)
        if (each.ring >= 0)
            s->history[size_t(each.ring)].assign(size_t(each.delay), 0);
    // The sample before gives the edges of the first one; no counter counts on it.
    if (sample > 0)
        evaluate(bank, sample - 1, s, false);
    s->next = sample;
}

bool advanced_level::holds(const signal_bank& bank, int64_t sample, state* s) const
{
    if (s->next != sample)
        start(bank, sample, s);
    evaluate(bank, sample, s, true);
    s->next = sample + 1;
    return !m_steps.empty() && s->now.back() != 0;
}

void advanced_level::evaluate(const signal_bank& bank, int64_t sample, state* s, bool counting) const
{
    s->before.swap(s->now);
    uint64_t* now = s->now.data();
    const uint64_t* before = s->before.data();
    const int* in = m_inputs.data();
    for (size_t i = 0; i < m_steps.size(); ++i)
    {
        const step& st = m_steps[i];
        const int* args = in + st.first;
        uint64_t v = 0;
        switch (st.what)
        {
        case WIRE:
            v = st.source < 0 ? 0 : wire_level(bank, i, std::max<int64_t>(0, sample - st.delay), s) ? 1 : 0;
            break;
        case CONSTANT:
            v = st.value;
            break;
        case LOGICAL_AND:
            v = 1;
            for (int k = 0; k < st.count && v != 0; ++k)
                v = now[args[k]] != 0 ? 1 : 0;
            break;
        case LOGICAL_OR:
            for (int k = 0; k < st.count && v == 0; ++k)
                v = now[args[k]] != 0 ? 1 : 0;
            break;
        case LOGICAL_XOR:
            for (int k = 0; k < st.count; ++k)
                v ^= now[args[k]] != 0 ? 1 : 0;
            break;
        case LOGICAL_NOT:
            v = now[args[0]] == 0 ? 1 : 0;
            break;
        case BIT_AND:
            v = mask_of(st.width);
            for (int k = 0; k < st.count; ++k)
                v &= now[args[k]];
            break;
        case BIT_OR:
            for (int k = 0; k < st.count; ++k)
                v |= now[args[k]];
            break;
        case BIT_XOR:
            for (int k = 0; k < st.count; ++k)
                v ^= now[args[k]];
            break;
        case BIT_NOT:
            v = ~now[args[0]] & mask_of(st.width);
            break;
        case REDUCE_AND:
        {
            const int width = m_steps[size_t(args[0])].width;
            v = (now[args[0]] & mask_of(width)) == mask_of(width) ? 1 : 0;
            break;
        }
        case REDUCE_OR:
            v = now[args[0]] != 0 ? 1 : 0;
            break;
        case REDUCE_XOR:
            v = uint64_t(parity(now[args[0]]));
            break;
        case COMPARE:
        {
            const int width = int(st.value);
            v = compared(SCI_COMPARE_TYPE(st.operation), now[args[0]] & mask_of(width), now[args[1]] & mask_of(width),
                         st.flag, width)
                    ? 1
                    : 0;
            break;
        }
        case SHIFT:
            v = shifted(now[args[0]], st.width, SCI_SHIFT_TYPE(st.operation), st.flag, st.value);
            break;
        case CONCATENATE:
            for (int k = 0; k < st.count; ++k)
            {
                const int width = m_steps[size_t(args[k])].width;
                v = (width >= 64 ? 0 : v << width) | (now[args[k]] & mask_of(width));
            }
            break;
        case DETECT:
        case NODE_DETECT:
        {
            uint64_t bus = 0;
            uint64_t prior = 0;
            if (st.what == DETECT)
            {
                for (int k = 0; k < st.count; ++k)
                {
                    const int width = m_steps[size_t(args[k])].width;
                    bus = (width >= 64 ? 0 : bus << width) | (now[args[k]] & mask_of(width));
                    prior = (width >= 64 ? 0 : prior << width) | (before[args[k]] & mask_of(width));
                }
            }
            else
            {
                for (int node : st.nodes)
                {
                    bus = bus << 1 | (bank.bit(node, sample) ? 1 : 0);
                    prior = prior << 1 | (bank.bit(node, sample > 0 ? sample - 1 : 0) ? 1 : 0);
                }
            }
            v = (bus & st.high) == st.high && (~bus & st.low) == st.low && (bus & ~prior & st.rise) == st.rise &&
                        (~bus & prior & st.fall) == st.fall && ((bus ^ prior) & st.either) == st.either
                    ? 1
                    : 0;
            break;
        }
        case COUNTER:
        {
            if (!counting)
                break;
            const bool high = now[args[0]] != 0;
            uint64_t& count = s->counts[size_t(st.counter)];
            const uint64_t mask = mask_of(st.source);
            switch (SCI_EVENT_COUNTER_TYPE(st.operation))
            {
            case SCI_ETYPE_CONTINUOUS: count = high ? (count + 1) & mask : 0; break;
            case SCI_ETYPE_EVENT: count = high ? (count + 1) & mask : count; break;
            default: count = high && before[args[0]] == 0 ? (count + 1) & mask : count; break;
            }
            const bool equal = count == st.value;
            char& reached = s->reached[size_t(st.counter)];
            reached = reached != 0 || equal ? 1 : 0;
            v = (st.flag ? reached != 0 : equal) ? 1 : 0;
            break;
        }
        case RESULT:
            v = now[args[0]] != 0 ? 1 : 0;
            break;
        }
        if (st.ring >= 0)
        {
            // The ring holds the last `delay` results; the oldest is the one that comes out.
            std::vector<uint64_t>& ring = s->history[size_t(st.ring)];
            const size_t slot = size_t(sample % int64_t(ring.size()));
            const uint64_t out = ring[slot];
            if (counting)
                ring[slot] = v;
            v = counting ? out : 0;
        }
        now[i] = v;
    }
}
} // namespace chi_detail
