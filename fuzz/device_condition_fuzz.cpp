// Fuzzes the simulated device's advanced levels: the input builds an equation from the
// parser's grammar (wires with data delays, pipeline delays, constants, logical, bitwise,
// reduction, comparison, shift, bus, detector and counter forms) over wires that are bits of
// free-running counters, and a start sample. The device's evaluation must agree at every sample
// with a deliberately naive evaluator here, which recomputes every value from the signals,
// sample by sample, from scratch; a search split in two must find the same first sample.
// A flow text made of the same bytes must be read or refused without a crash.
#include "host/chi_private.h"
#include "host/sci.h"

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{
void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

struct bytes
{
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    int next(int range) { return range <= 0 ? 0 : at < size ? data[at++] % range : 0; }
};

// The reference tree: what the text says, kept for the naive evaluator.
struct node
{
    enum kind { WIRE, CONSTANT, AND, OR, NOT, BAND, BOR, BXOR, BNOT, RAND, ROR, COMPARE, SHIFT, BUS, DETECT, COUNTER, PIPE };
    kind what = CONSTANT;
    std::string name;
    int delay = 0;
    uint64_t value = 0;
    int width = 1;
    int op = 0;
    char symbol = 'X';
    std::vector<std::unique_ptr<node>> in;
};

const char* const WIRES[] = {"w[0]", "w[1]", "w[2]", "w[3]", "w[5]"};

std::unique_ptr<node> wire(bytes& b, std::string* text)
{
    auto n = std::make_unique<node>();
    n->what = node::WIRE;
    n->name = WIRES[b.next(5)];
    // Short delays, and ones that reach across a block of 64 samples.
    const int delays[] = {0, 0, 1, 2, 63, 64, 65};
    n->delay = delays[b.next(7)];
    *text += n->delay > 0 ? "('" + n->name + "'@" + std::to_string(n->delay) + ")" : "'" + n->name + "'";
    return n;
}

// A bus of 2 to 4 wires.
std::unique_ptr<node> bus(bytes& b, std::string* text)
{
    auto n = std::make_unique<node>();
    n->what = node::BUS;
    const int count = 2 + b.next(3);
    *text += "{";
    for (int i = 0; i < count; ++i)
    {
        if (i > 0)
            *text += ", ";
        n->in.push_back(wire(b, text));
    }
    *text += "}";
    n->width = count;
    return n;
}

std::unique_ptr<node> bit_expr(bytes& b, std::string* text, int depth);

std::unique_ptr<node> bus_expr(bytes& b, std::string* text, int depth)
{
    if (depth > 3)
        return bus(b, text);
    switch (b.next(4))
    {
    case 0:
    {
        auto n = std::make_unique<node>();
        n->what = node::BNOT;
        *text += "~";
        n->in.push_back(bus(b, text));
        n->width = n->in[0]->width;
        return n;
    }
    case 1:
    {
        auto n = std::make_unique<node>();
        const int op = b.next(3);
        n->what = op == 0 ? node::BAND : op == 1 ? node::BOR : node::BXOR;
        *text += "(";
        n->in.push_back(bus(b, text));
        *text += op == 0 ? " & " : op == 1 ? " | " : " ^ ";
        n->in.push_back(bus(b, text));
        *text += ")";
        n->width = std::max(n->in[0]->width, n->in[1]->width);
        return n;
    }
    case 2:
    {
        auto n = std::make_unique<node>();
        n->what = node::SHIFT;
        n->op = b.next(3);
        n->symbol = b.next(2) ? 'r' : 'l';
        n->value = uint64_t(b.next(5));
        *text += std::string("shift(") + (n->op == 0 ? "rotate" : n->op == 1 ? "arithmetic" : "logical") + ", " +
                 (n->symbol == 'r' ? "right" : "left") + ", " + std::to_string(n->value) + ", ";
        n->in.push_back(bus(b, text));
        *text += ")";
        n->width = n->in[0]->width;
        return n;
    }
    default:
        return bus(b, text);
    }
}

std::unique_ptr<node> bit_expr(bytes& b, std::string* text, int depth)
{
    auto n = std::make_unique<node>();
    const int choice = depth > 3 ? b.next(2) : b.next(11);
    switch (choice)
    {
    case 0:
        return wire(b, text);
    case 1:
        n->what = node::CONSTANT;
        n->value = uint64_t(b.next(2));
        *text += std::to_string(n->value);
        return n;
    case 2:
    case 3:
    {
        n->what = choice == 2 ? node::AND : node::OR;
        *text += choice == 2 ? "and(" : "or(";
        const int count = 1 + b.next(3);
        for (int i = 0; i < count; ++i)
        {
            if (i > 0)
                *text += ", ";
            n->in.push_back(bit_expr(b, text, depth + 1));
        }
        *text += ")";
        return n;
    }
    case 4:
        n->what = node::NOT;
        *text += "!";
        n->in.push_back(bit_expr(b, text, depth + 1));
        return n;
    case 5:
        n->what = b.next(2) ? node::RAND : node::ROR;
        *text += n->what == node::RAND ? "(&" : "(|";
        n->in.push_back(bus_expr(b, text, depth + 1));
        *text += ")";
        return n;
    case 6:
    {
        n->what = node::COMPARE;
        n->op = b.next(6);
        n->symbol = b.next(2) ? 's' : 'u';
        *text += "compare(";
        n->in.push_back(bus_expr(b, text, depth + 1));
        const char* ops[] = {">", ">=", "<", "<=", "==", "!="};
        auto constant = std::make_unique<node>();
        constant->what = node::CONSTANT;
        constant->value = uint64_t(b.next(16));
        *text += std::string(", ") + ops[n->op] + ", " + std::to_string(constant->value) + ", cc, " +
                 (n->symbol == 's' ? "sc" : "uc") + ")";
        n->in.push_back(std::move(constant));
        return n;
    }
    case 7:
    {
        n->what = node::DETECT;
        const char symbols[] = {'X', '0', '1', 'R', 'F', 'E'};
        n->symbol = symbols[b.next(6)];
        *text += std::string("mbpm('") + n->symbol + "', ";
        n->in.push_back(wire(b, text));
        *text += ")";
        return n;
    }
    case 8:
    {
        n->what = node::COUNTER;
        n->op = b.next(3);
        n->value = uint64_t(b.next(6));
        n->width = 2 + b.next(3);
        n->symbol = b.next(2) ? 'h' : '-';
        *text += "ec(" + std::to_string(n->width) + ", " + std::to_string(n->value) + ", " + "ces"[n->op] + ", " +
                 (n->symbol == 'h' ? "1" : "0") + ", ";
        n->in.push_back(wire(b, text));
        *text += ")";
        return n;
    }
    case 9:
    {
        n->what = node::PIPE;
        const int delays[] = {1, 2, 63, 64, 65, 129};
        n->delay = delays[b.next(6)];
        *text += "(";
        n->in.push_back(bit_expr(b, text, depth + 1));
        *text += ")#" + std::to_string(n->delay);
        // On a wire the register delays the wire itself: its level that many samples earlier.
        if (n->in[0]->what == node::WIRE)
        {
            n->in[0]->delay += n->delay;
            return std::move(n->in[0]);
        }
        return n;
    }
    default:
        return wire(b, text);
    }
}

uint64_t mask(int width)
{
    return width >= 64 ? ~uint64_t(0) : (uint64_t(1) << width) - 1;
}

// The naive evaluator: a value at sample t computed from nothing but the signals.
struct reference
{
    int64_t from;

    bool level(const std::string& name, int64_t t) const
    {
        const int k = name[2] - '0';
        return ((t < 0 ? 0 : t) >> k) & 1;
    }

    uint64_t eval(const node& n, int64_t t) const
    {
        switch (n.what)
        {
        case node::WIRE: return level(n.name, std::max<int64_t>(0, t - n.delay)) ? 1 : 0;
        case node::CONSTANT: return n.value;
        case node::AND:
            for (const auto& i : n.in)
                if (eval(*i, t) == 0)
                    return 0;
            return 1;
        case node::OR:
            for (const auto& i : n.in)
                if (eval(*i, t) != 0)
                    return 1;
            return 0;
        case node::NOT: return eval(*n.in[0], t) == 0 ? 1 : 0;
        case node::BAND: return eval(*n.in[0], t) & eval(*n.in[1], t);
        case node::BOR: return eval(*n.in[0], t) | eval(*n.in[1], t);
        case node::BXOR: return eval(*n.in[0], t) ^ eval(*n.in[1], t);
        case node::BNOT: return ~eval(*n.in[0], t) & mask(n.width);
        case node::RAND: return eval(*n.in[0], t) == mask(n.in[0]->width) ? 1 : 0;
        case node::ROR: return eval(*n.in[0], t) != 0 ? 1 : 0;
        case node::BUS:
        {
            uint64_t v = 0;
            for (const auto& i : n.in)
                v = v << 1 | eval(*i, t);
            return v;
        }
        case node::SHIFT:
        {
            // Bit by bit, one place at a time.
            const int w = n.width;
            uint64_t v = eval(*n.in[0], t);
            for (uint64_t step = 0; step < n.value; ++step)
            {
                const uint64_t top = (v >> (w - 1)) & 1;
                const uint64_t bottom = v & 1;
                if (n.symbol == 'l')
                    v = ((v << 1) | (n.op == 0 ? top : 0)) & mask(w);
                else
                    v = (v >> 1) | ((n.op == 0 ? bottom : n.op == 1 ? top : 0) << (w - 1));
            }
            return v;
        }
        case node::COMPARE:
        {
            const int w = n.in[0]->width;
            const uint64_t a = eval(*n.in[0], t) & mask(w);
            const uint64_t c = n.in[1]->value & mask(w);
            int64_t x = int64_t(a), y = int64_t(c);
            if (n.symbol == 's')
            {
                if ((a >> (w - 1)) & 1)
                    x -= int64_t(1) << w;
                if ((c >> (w - 1)) & 1)
                    y -= int64_t(1) << w;
            }
            switch (n.op)
            {
            case 0: return x > y;
            case 1: return x >= y;
            case 2: return x < y;
            case 3: return x <= y;
            case 4: return x == y;
            default: return x != y;
            }
        }
        case node::DETECT:
        {
            const uint64_t now = eval(*n.in[0], t);
            const uint64_t before = eval(*n.in[0], t - 1);
            switch (n.symbol)
            {
            case '0': return now == 0;
            case '1': return now == 1;
            case 'R': return now == 1 && before == 0;
            case 'F': return now == 0 && before == 1;
            case 'E': return now != before;
            default: return 1;
            }
        }
        case node::PIPE: return t - n.delay < from ? 0 : eval(*n.in[0], t - n.delay);
        case node::COUNTER:
        {
            uint64_t count = 0;
            bool reached = false;
            for (int64_t s = from; s <= t; ++s)
            {
                const bool high = eval(*n.in[0], s) != 0;
                const bool was = eval(*n.in[0], s - 1) != 0;
                if (n.op == 0)
                    count = high ? count + 1 : 0;
                else if (n.op == 1)
                    count += high ? 1 : 0;
                else
                    count += high && !was ? 1 : 0;
                count &= mask(n.width);
                reached = reached || count == n.value;
            }
            return (n.symbol == 'h' ? reached : count == n.value) ? 1 : 0;
        }
        }
        return 0;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    bytes b{data, size};
    const int64_t from = b.next(40);
    std::string text;
    std::unique_ptr<node> tree = bit_expr(b, &text, 0);

    std::string error;
    auto parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(text.c_str(), &error);
    check(parsed != nullptr);
    chi_detail::signal_bank bank;
    chi_detail::advanced_level level;
    check(level.compile(parsed->get_root(), [&bank](const std::string& name) { return bank.add_signal(name); }, &error));
    chi_detail::advanced_level::state registers;
    const reference naive{from};
    // Sample by sample, across block boundaries; then, on fresh registers, the first sample the
    // search finds must be the naive one's first.
    const int64_t end = from + 160;
    int64_t first = -1;
    for (int64_t t = from; t < end; ++t)
    {
        check(bank.bit(bank.add_signal("w[3]"), t) == naive.level("w[3]", t));
        const bool expected = naive.eval(*tree, t) != 0;
        check(level.holds(bank, t, &registers) == expected);
        if (expected && first < 0)
            first = t;
    }
    chi_detail::advanced_level::state searched;
    const int64_t split = from + b.next(100);
    int64_t found = level.first_holding(bank, from, split, &searched);
    if (found < 0)
        found = level.first_holding(bank, split, end, &searched);
    check(found == first);

    // The rest of the bytes as a flow over two levels, a flag and a counter.
    const std::string flow(reinterpret_cast<const char*>(data + b.at), size - b.at);
    chi_detail::flow_program::resources names;
    names.levels = {"L1", "L2"};
    names.flags = {"f"};
    names.flag_initial = {0};
    names.counters = {"n"};
    names.counter_width = {3};
    names.counter_initial = {5};
    chi_detail::flow_program program;
    if (program.read(flow, names, &error))
    {
        // The interpreted step and the table of actions per state agree sample by sample.
        chi_detail::flow_program::state s, tabled;
        program.start(&s);
        program.start(&tabled);
        for (int64_t t = 0; t < 64; ++t)
        {
            const bool triggered = program.step({char(t & 1), char((t >> 2) & 1)}, t, &s);
            check(program.step_bits(uint64_t(t & 1) | uint64_t((t >> 2) & 1) << 1, t, &tabled) == triggered);
            check(s.current == tabled.current && s.flags == tabled.flags && s.counters == tabled.counters &&
                  s.gaps == tabled.gaps && s.storing == tabled.storing);
            if (triggered)
                break;
            for (uint64_t c : s.counters)
                check(c < 8);
        }
    }
    return 0;
}
