#pragma once
// Host trigger compiler: the data types the analyzer exchanges with it, the parse trees of
// advanced trigger equations and the generator of their hardware descriptions.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Parts of a state-based trigger flow that can be changed at run time without a recompile.
enum SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION : int
{
    SCI_RUNTIME_CONFIG_GOTO_STATE = 1,
    SCI_RUNTIME_CONFIG_COMPARISON_VALUES = 2,
    SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS = 4,
    SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS = 8
};

// Operations of logical, bitwise and reduction nodes.
enum SCI_LOGICAL_TYPE : int
{
    SCI_LTYPE_AND = 0,
    SCI_LTYPE_OR = 2,
    SCI_LTYPE_XOR = 4,
    SCI_LTYPE_NOT = 6
};

enum SCI_COMPARE_TYPE : int
{
    SCI_CTYPE_GREATER_THAN = 0,
    SCI_CTYPE_GREATER_THAN_OR_EQUAL_TO = 1,
    SCI_CTYPE_LESS_THAN = 2,
    SCI_CTYPE_LESS_THAN_OR_EQUAL_TO = 3,
    SCI_CTYPE_EQUAL_TO = 4,
    SCI_CTYPE_NOT_EQUAL_TO = 5,
    SCI_CTYPE_FALSE = 6,
    SCI_CTYPE_TRUE = 7
};

enum SCI_SHIFT_TYPE : int
{
    SCI_STYPE_ROTATE = 0,
    SCI_STYPE_ARITHMETIC = 1,
    SCI_STYPE_LOGICAL = 2
};

enum SCI_EVENT_COUNTER_TYPE : int
{
    SCI_ETYPE_CONTINUOUS = 0,
    SCI_ETYPE_EVENT = 1,
    SCI_ETYPE_STATE = 2
};

// What a parse-tree node is. A constant feeding a node of kind 0, 6, 10 or 14 (the nodes that
// take single bits) reads as a bit when it is one bit wide.
enum SCI_NODE_KIND : int
{
    SCI_KIND_LOGICAL = 0,
    SCI_KIND_UNARY = 1,
    SCI_KIND_CUSTOM_HDL = 2,
    SCI_KIND_BITWISE = 3,
    SCI_KIND_COMPARE_CONSTANT = 4,
    SCI_KIND_COMPARE_VARIABLE = 5,
    SCI_KIND_OUTPUT = 6,
    SCI_KIND_SHIFT = 7,
    SCI_KIND_INPUT_WIRE = 8,
    SCI_KIND_INPUT_CONSTANT = 9,
    SCI_KIND_EVENT_COUNTER = 10,
    SCI_KIND_INPUT_VARIABLE = 11,
    SCI_KIND_CONCATENATE = 12,
    SCI_KIND_IMBPM = 13,
    SCI_KIND_MBPM = 14
};

class SCI_ADVANCED_TRIGGER_LOGICAL;
class SCI_ADVANCED_TRIGGER_UNARY;
class SCI_ADVANCED_TRIGGER_CUSTOM_HDL;
class SCI_ADVANCED_TRIGGER_BITWISE;
class SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT;
class SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE;
class SCI_ADVANCED_TRIGGER_SHIFT;
class SCI_ADVANCED_TRIGGER_OUTPUT;
class SCI_ADVANCED_TRIGGER_INPUT_WIRE;
class SCI_ADVANCED_TRIGGER_INPUT_CONSTANT;
class SCI_ADVANCED_TRIGGER_INPUT_VARIABLE;
class SCI_ADVANCED_TRIGGER_CONCATENATE;
class SCI_ADVANCED_TRIGGER_MBPM;
class SCI_ADVANCED_TRIGGER_IMBPM;
class SCI_ADVANCED_TRIGGER_EVENT_COUNTER;
// Nodes of state-based flows; they never occur in a condition's parse tree.
class SCI_FLOW_CONTROL_STATE_MACHINE;
class SCI_FLOW_CONTROL_STATE_BODY;
class SCI_FLOW_CONTROL_BRANCH;
class SCI_FLOW_CONTROL_CONDITION;
class SCI_FLOW_CONTROL_ACTION_LIST;
class SCI_FLOW_CONTROL_ACTION_COUNTER;
class SCI_FLOW_CONTROL_ACTION_FLAG;
class SCI_FLOW_CONTROL_ACTION_TRIGGER;
class SCI_FLOW_CONTROL_ACTION_TRANSITION;
class SCI_FLOW_CONTROL_ACTION_STORE;
class SCI_FLOW_CONTROL_RESOURCE_LIST;
class SCI_FLOW_CONTROL_RESOURCE_COUNTER;
class SCI_FLOW_CONTROL_RESOURCE_FLAG;
class SCI_FLOW_CONTROL_RESOURCE_CONDITION;

// Walks a parse tree: each node calls back the visit of its own class.
class SCI_ADVANCED_TRIGGER_VISITOR
{
public:
    virtual ~SCI_ADVANCED_TRIGGER_VISITOR() = default;
    virtual void visit(SCI_ADVANCED_TRIGGER_LOGICAL* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_UNARY* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_CUSTOM_HDL* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_BITWISE* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_SHIFT* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_OUTPUT* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_INPUT_WIRE* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_INPUT_CONSTANT* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_INPUT_VARIABLE* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_CONCATENATE* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_MBPM* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_IMBPM* node) = 0;
    virtual void visit(SCI_ADVANCED_TRIGGER_EVENT_COUNTER* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_STATE_MACHINE* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_STATE_BODY* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_BRANCH* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_CONDITION* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_ACTION_LIST* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_ACTION_COUNTER* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_ACTION_FLAG* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_ACTION_TRIGGER* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_ACTION_TRANSITION* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_ACTION_STORE* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_RESOURCE_LIST* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_RESOURCE_COUNTER* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_RESOURCE_FLAG* node) = 0;
    virtual void visit(SCI_FLOW_CONTROL_RESOURCE_CONDITION* node) = 0;
};

// One node of a parsed advanced trigger equation. Inputs are owned by the factory that parsed
// them; a node keeps its inputs in order and the one node it feeds.
class SCI_ADVANCED_TRIGGER_BASE
{
public:
    SCI_ADVANCED_TRIGGER_BASE(const SCI_ADVANCED_TRIGGER_BASE&) = delete;
    SCI_ADVANCED_TRIGGER_BASE& operator=(const SCI_ADVANCED_TRIGGER_BASE&) = delete;
    virtual ~SCI_ADVANCED_TRIGGER_BASE() = default;

    // The name the equation gave the node ('name':(...)), a wire's name; "" when none.
    const char* get_name() const { return m_name.c_str(); }
    // Registers the equation added behind this node: a pipeline "(...)#n" or a wire's data
    // delay "('wire'@n)".
    int get_delay() const { return m_delay; }
    // Clock cycles from the inputs to this node's result: the deepest sum of delays (and of
    // custom modules' own pipelines) along any path below it; the output adds the final
    // register, so a level without any delay has latency 1. A custom module answers its own
    // pipeline.
    virtual int get_pipeline_latency() const;
    SCI_ADVANCED_TRIGGER_BASE* get_input_connection_at(int index) const;
    SCI_ADVANCED_TRIGGER_BASE* get_output_connection() const { return m_output; }
    int get_input_count() const { return static_cast<int>(m_inputs.size()); }
    virtual int get_bit_width() const;
    SCI_NODE_KIND get_kind() const { return m_kind; }
    virtual void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) = 0;

    // ---- building (the parser) ----------------------------------------------------------------
    void set_name(const std::string& name) { m_name = name; }
    void set_delay(int delay) { m_delay = delay; }
    void add_input(SCI_ADVANCED_TRIGGER_BASE* input);
    // Delays of the deepest path through this node, its own included.
    int get_path_delay() const;

protected:
    explicit SCI_ADVANCED_TRIGGER_BASE(SCI_NODE_KIND kind) : m_kind(kind) {}
    // Latency a node adds beyond its delay (a custom module's pipeline).
    virtual int own_latency() const { return 0; }

    std::vector<SCI_ADVANCED_TRIGGER_BASE*> m_inputs;

private:
    SCI_NODE_KIND m_kind;
    std::string m_name;
    int m_delay = 0;
    SCI_ADVANCED_TRIGGER_BASE* m_output = nullptr;
};

// and(...), or(...), xor(...) and the logical not "!x".
class SCI_ADVANCED_TRIGGER_LOGICAL : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    explicit SCI_ADVANCED_TRIGGER_LOGICAL(SCI_LOGICAL_TYPE operation)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_LOGICAL), m_operation(operation)
    {
    }
    SCI_LOGICAL_TYPE get_operation() const { return m_operation; }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    SCI_LOGICAL_TYPE m_operation;
};

// Reductions "(&x)", "(|x)", "(^x)".
class SCI_ADVANCED_TRIGGER_UNARY : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    explicit SCI_ADVANCED_TRIGGER_UNARY(SCI_LOGICAL_TYPE operation)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_UNARY), m_operation(operation)
    {
    }
    SCI_LOGICAL_TYPE get_operation() const { return m_operation; }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    SCI_LOGICAL_TYPE m_operation;
};

// A user's own trigger module: mvx_custom_trigger_hdl(width, input, length, 'bits', pipeline, module).
class SCI_ADVANCED_TRIGGER_CUSTOM_HDL : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    SCI_ADVANCED_TRIGGER_CUSTOM_HDL(int input_width, std::string bitstream, int pipeline, std::string module)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_CUSTOM_HDL), m_input_width(input_width),
          m_bitstream(std::move(bitstream)), m_pipeline(pipeline), m_module(std::move(module))
    {
    }
    const char* get_module_name() const { return m_module.c_str(); }
    const char* get_bitstream() const { return m_bitstream.c_str(); }
    int get_input_width() const { return m_input_width; }
    int get_pipeline_latency() const override { return m_pipeline; }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

protected:
    int own_latency() const override { return m_pipeline; }

private:
    int m_input_width;
    std::string m_bitstream;
    int m_pipeline;
    std::string m_module;
};

// Bitwise "a & b & c", "a | b", "a ^ b" and the complement "~x".
class SCI_ADVANCED_TRIGGER_BITWISE : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    explicit SCI_ADVANCED_TRIGGER_BITWISE(SCI_LOGICAL_TYPE operation)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_BITWISE), m_operation(operation)
    {
    }
    SCI_LOGICAL_TYPE get_operation() const { return m_operation; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    SCI_LOGICAL_TYPE m_operation;
};

// compare(a, op, b, cc, sc|uc): a comparison compiled into the trigger.
class SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT(SCI_COMPARE_TYPE operation, bool is_signed)
        : SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT(SCI_KIND_COMPARE_CONSTANT, operation, is_signed)
    {
    }
    SCI_COMPARE_TYPE get_operation() const { return m_operation; }
    int get_signed_mode() const { return m_signed ? 1 : 0; }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

protected:
    SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT(SCI_NODE_KIND kind, SCI_COMPARE_TYPE operation, bool is_signed)
        : SCI_ADVANCED_TRIGGER_BASE(kind), m_operation(operation), m_signed(is_signed)
    {
    }

private:
    SCI_COMPARE_TYPE m_operation;
    bool m_signed;
};

// compare(a, op, b, vc, ...): a comparison whose operator can be changed at run time.
class SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE : public SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT
{
public:
    SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE(SCI_COMPARE_TYPE operation, bool is_signed)
        : SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT(SCI_KIND_COMPARE_VARIABLE, operation, is_signed)
    {
    }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }
};

// shift(logical|rotate|arithmetic, left|right, distance, x).
class SCI_ADVANCED_TRIGGER_SHIFT : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    SCI_ADVANCED_TRIGGER_SHIFT(SCI_SHIFT_TYPE operation, bool right, int amount)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_SHIFT), m_operation(operation), m_right(right), m_amount(amount)
    {
    }
    SCI_SHIFT_TYPE get_operation() const { return m_operation; }
    // true: to the right.
    bool get_shift_direction() const { return m_right; }
    int get_shift_amount() const { return m_amount; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    SCI_SHIFT_TYPE m_operation;
    bool m_right;
    int m_amount;
};

// The result of a level: the root of every parsed level equation, with the equation it came from.
class SCI_ADVANCED_TRIGGER_OUTPUT : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    explicit SCI_ADVANCED_TRIGGER_OUTPUT(std::string expression)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_OUTPUT), m_expression(std::move(expression))
    {
    }
    const char* get_expression() const { return m_expression.c_str(); }
    int get_pipeline_latency() const override { return 1 + get_path_delay(); }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    std::string m_expression;
};

// A node of the design: 'name'.
class SCI_ADVANCED_TRIGGER_INPUT_WIRE : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    explicit SCI_ADVANCED_TRIGGER_INPUT_WIRE(const std::string& name)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_INPUT_WIRE)
    {
        set_name(name);
    }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }
};

// A whole number of an equation, as wide as it is written (a bus value may be as wide as its
// bus): its two's complement, least significant word first, in as few words as hold it; every
// bit above the last word is the sign.
struct SCI_NUMBER
{
    std::vector<std::uint64_t> words{0};
    bool negative = false;

    // The number whose magnitude is `magnitude` (least significant word first), negated when
    // `negative`.
    static SCI_NUMBER of_magnitude(std::vector<std::uint64_t> magnitude, bool negative);
    static SCI_NUMBER of(std::int64_t value);
    // The bits it needs (two's complement for a negative one); at least 1.
    int bit_width() const;
};

// A value compiled into the trigger: 5, constant(5).
class SCI_ADVANCED_TRIGGER_INPUT_CONSTANT : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    explicit SCI_ADVANCED_TRIGGER_INPUT_CONSTANT(SCI_NUMBER value)
        : SCI_ADVANCED_TRIGGER_INPUT_CONSTANT(SCI_KIND_INPUT_CONSTANT, std::move(value))
    {
    }
    // The low 64 bits of the value.
    std::int64_t get_value() const { return static_cast<std::int64_t>(m_value.words.front()); }
    // The whole value.
    const SCI_NUMBER& get_number() const { return m_value; }
    int get_bit_width() const override { return m_value.bit_width(); }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

protected:
    SCI_ADVANCED_TRIGGER_INPUT_CONSTANT(SCI_NODE_KIND kind, SCI_NUMBER value)
        : SCI_ADVANCED_TRIGGER_BASE(kind), m_value(std::move(value))
    {
    }

private:
    SCI_NUMBER m_value;
};

// A value that can be changed at run time: variable(5).
class SCI_ADVANCED_TRIGGER_INPUT_VARIABLE : public SCI_ADVANCED_TRIGGER_INPUT_CONSTANT
{
public:
    explicit SCI_ADVANCED_TRIGGER_INPUT_VARIABLE(SCI_NUMBER value)
        : SCI_ADVANCED_TRIGGER_INPUT_CONSTANT(SCI_KIND_INPUT_VARIABLE, std::move(value))
    {
    }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }
};

// A bus of its inputs, most significant first: {a, b, c}.
class SCI_ADVANCED_TRIGGER_CONCATENATE : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    SCI_ADVANCED_TRIGGER_CONCATENATE() : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_CONCATENATE) {}
    int get_bit_width() const override;
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }
};

// The edge and level detector: mbpm('pattern', {inputs}).
class SCI_ADVANCED_TRIGGER_MBPM : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    explicit SCI_ADVANCED_TRIGGER_MBPM(std::string pattern)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_MBPM), m_pattern(std::move(pattern))
    {
    }
    const char* get_pattern() const { return m_pattern.c_str(); }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    std::string m_pattern;
};

// The condition on incrementally routed nodes: imbpm('pattern', {nodes}), one pattern symbol
// per node of the list, most significant first.
class SCI_ADVANCED_TRIGGER_IMBPM : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    SCI_ADVANCED_TRIGGER_IMBPM(std::string pattern, std::string nodes)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_IMBPM), m_pattern(std::move(pattern)), m_nodes(std::move(nodes))
    {
    }
    const char* get_pattern() const { return m_pattern.c_str(); }
    // The node list as written between the braces: names separated by commas, each may be quoted.
    const char* get_nodes() const { return m_nodes.c_str(); }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    std::string m_pattern;
    std::string m_nodes;
};

// ec(width, value, c|e|s, hold, x): true once its input has counted up to the value.
class SCI_ADVANCED_TRIGGER_EVENT_COUNTER : public SCI_ADVANCED_TRIGGER_BASE
{
public:
    SCI_ADVANCED_TRIGGER_EVENT_COUNTER(int width, std::uint64_t value, SCI_EVENT_COUNTER_TYPE mode, bool hold)
        : SCI_ADVANCED_TRIGGER_BASE(SCI_KIND_EVENT_COUNTER), m_width(width), m_value(value), m_mode(mode),
          m_hold(hold)
    {
    }
    int get_counter_width() const { return m_width; }
    std::uint64_t get_counter_value() const { return m_value; }
    SCI_EVENT_COUNTER_TYPE get_mode() const { return m_mode; }
    bool get_hold_status() const { return m_hold; }
    int get_bit_width() const override { return 1; }
    void accept(SCI_ADVANCED_TRIGGER_VISITOR& visitor) override { visitor.visit(this); }

private:
    int m_width;
    std::uint64_t m_value;
    SCI_EVENT_COUNTER_TYPE m_mode;
    bool m_hold;
};

// The parse of one level equation: owns every node; the root is the level's output.
class SCI_ADVANCED_TRIGGER_FACTORY
{
public:
    SCI_ADVANCED_TRIGGER_FACTORY() = default;
    SCI_ADVANCED_TRIGGER_FACTORY(const SCI_ADVANCED_TRIGGER_FACTORY&) = delete;
    SCI_ADVANCED_TRIGGER_FACTORY& operator=(const SCI_ADVANCED_TRIGGER_FACTORY&) = delete;

    // Parses a level equation in the analyzer's equation language; null, with the reason and
    // its offset in `error`, when the text is not one.
    static std::unique_ptr<SCI_ADVANCED_TRIGGER_FACTORY> parse(const char* equation, std::string* error);

    SCI_ADVANCED_TRIGGER_BASE* get_root() const { return m_root; }

    // ---- building (the parser) ----------------------------------------------------------------
    template <class NODE, class... ARGS> NODE* make(ARGS&&... args)
    {
        auto node = std::make_unique<NODE>(std::forward<ARGS>(args)...);
        NODE* result = node.get();
        m_nodes.push_back(std::move(node));
        return result;
    }
    void set_root(SCI_ADVANCED_TRIGGER_BASE* root) { m_root = root; }

private:
    std::vector<std::unique_ptr<SCI_ADVANCED_TRIGGER_BASE>> m_nodes;
    SCI_ADVANCED_TRIGGER_BASE* m_root = nullptr;
};

class SCI_ADVANCED_TRIGGER_UTILITY
{
public:
    // For each of `count` levels, the registers that delay its result so that every level's
    // result arrives with the slowest one: the largest latency minus the level's own. A level
    // without a root (a basic condition) has latency 1.
    static void set_coordinated_latency_delay(SCI_ADVANCED_TRIGGER_OUTPUT** roots, int* delays, int count);
    // Writes the hardware description of a level to "<path>/<name>.hdl", replacing the file
    // only once it is whole; false when there is no root or name, or the file cannot be written.
    static bool create_advanced_trigger_hdl(const char* name, SCI_ADVANCED_TRIGGER_OUTPUT* root, bool flag,
                                            bool encrypt, bool flag2, const char* path);
};
