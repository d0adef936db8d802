#pragma once
// One object (box) of an advanced trigger condition diagram. Its inputs are its children;
// parent and children point at each other without owning: every object belongs to its
// condition's object list (SEDQ_TRIGGER_OBJECT). The kind and every setting live in the
// property bag, which is also what the analyzer file stores for the object.

#include "host/sdr/sdr_tx_tree_object.h"
#include "sedq/advanced_trigger/sedq_object_copy.h"
#include "sedq/advanced_trigger/sedq_property.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVarLengthArray>

class QPainter;
class SDR_DATA_MNEMONICS;
enum AFCQ_ICON_ENUM : int;
class SDR_TX_TRIGGER;
class SEDQ_TRIGGER_OBJECT;
class SEDQ_EQUATION_PASS;
class SEDQ_EQUATION_WRITER;
struct SEDQ_EQUATION_PIECE;

// The vertical extent of a subtree per depth: index 0 is the object itself, index k the
// objects k levels below it. Both lists always have the same size. A layout makes one per
// object: the levels of a shallow subtree are held in place, without an allocation.
struct SEDQ_OUTLINE
{
    static constexpr int HELD_LEVELS = 8;
    QVarLengthArray<int, HELD_LEVELS> m_top_array;
    QVarLengthArray<int, HELD_LEVELS> m_bottom_array;

    int size() const;
    // Writes level `level`, first growing both lists with zeros up to it.
    void set(int level, int top, int bottom);
    // Moves every level down by `distance` (up when negative).
    void shift(int distance);
    // Widens each common level to cover `other`'s and appends the levels only `other` has.
    void merge(const SEDQ_OUTLINE& other);
    // Appends `inputs`' levels below the last one.
    void append(const SEDQ_OUTLINE& inputs);
};

class SEDQ_OBJECT : public SDR_TX_TREE_OBJECT
{
public:
    enum SEDQ_OBJECT_TYPE
    {
        UNKNOWN, INCREMENTAL_ROUTE_CONDITION, LEVEL_RESULT, EDGE_LEVEL_DETECTOR, NODE, BUS, BIT_VALUE, BUS_VALUE,
        COMPARISON_OPERATOR, BITWISE_OPERATOR, LOGICAL_OPERATOR, REDUCTION_OPERATOR, SHIFT_OPERATOR,
        COUNTER_OPERATOR, CUSTOM_TRIGGER_HDL,
        OBJECT_TYPE_COUNT
    };
    // The palette entries of the Object Library; each makes one kind with its operator settings.
    enum SEDQ_LIBRARY_TYPE
    {
        LIBRARY_EDGE_LEVEL_DETECTOR, LIBRARY_BIT_VALUE, LIBRARY_BUS_VALUE, LIBRARY_BUS, LIBRARY_LESS_THAN,
        LIBRARY_LESS_THAN_OR_EQUAL, LIBRARY_EQUALITY, LIBRARY_INEQUALITY, LIBRARY_GREATER_THAN_OR_EQUAL,
        LIBRARY_GREATER_THAN, LIBRARY_BITWISE_COMPLEMENT, LIBRARY_BITWISE_AND, LIBRARY_BITWISE_OR,
        LIBRARY_BITWISE_XOR, LIBRARY_LOGICAL_NOT, LIBRARY_LOGICAL_AND, LIBRARY_LOGICAL_OR, LIBRARY_LOGICAL_XOR,
        LIBRARY_REDUCTION_AND, LIBRARY_REDUCTION_OR, LIBRARY_REDUCTION_XOR, LIBRARY_LEFT_SHIFT,
        LIBRARY_RIGHT_SHIFT, LIBRARY_CONTINUOUS_COUNTER, LIBRARY_EVENT_COUNTER, LIBRARY_STATE_COUNTER,
        LIBRARY_CUSTOM_TRIGGER_HDL,
        LIBRARY_TYPE_COUNT
    };
    // The kind refined by the object's settings (a constant or variable value, each comparison,
    // operator, shift and counter of its own), which names it in tooltips and in find. The
    // comparisons are four blocks of eight in the order of SEDQ_COMPARISON_TYPE.
    enum SEDQ_DISPLAY_TYPE
    {
        DISPLAY_UNKNOWN, DISPLAY_INCREMENTAL_ROUTE_CONDITION, DISPLAY_LEVEL_RESULT, DISPLAY_EDGE_LEVEL_DETECTOR,
        DISPLAY_NODE, DISPLAY_BUS, DISPLAY_CONSTANT_HIGH, DISPLAY_CONSTANT_LOW, DISPLAY_VARIABLE_HIGH,
        DISPLAY_VARIABLE_LOW, DISPLAY_CONSTANT_BUS_VALUE, DISPLAY_VARIABLE_BUS_VALUE,
        DISPLAY_CONSTANT_UNSIGNED_LESS_THAN, DISPLAY_CONSTANT_UNSIGNED_LESS_THAN_OR_EQUAL,
        DISPLAY_CONSTANT_UNSIGNED_EQUALITY, DISPLAY_CONSTANT_UNSIGNED_INEQUALITY,
        DISPLAY_CONSTANT_UNSIGNED_GREATER_THAN_OR_EQUAL, DISPLAY_CONSTANT_UNSIGNED_GREATER_THAN,
        DISPLAY_CONSTANT_UNSIGNED_TRUE, DISPLAY_CONSTANT_UNSIGNED_FALSE,
        DISPLAY_VARIABLE_UNSIGNED_LESS_THAN, DISPLAY_VARIABLE_UNSIGNED_LESS_THAN_OR_EQUAL,
        DISPLAY_VARIABLE_UNSIGNED_EQUALITY, DISPLAY_VARIABLE_UNSIGNED_INEQUALITY,
        DISPLAY_VARIABLE_UNSIGNED_GREATER_THAN_OR_EQUAL, DISPLAY_VARIABLE_UNSIGNED_GREATER_THAN,
        DISPLAY_VARIABLE_UNSIGNED_TRUE, DISPLAY_VARIABLE_UNSIGNED_FALSE,
        DISPLAY_CONSTANT_SIGNED_LESS_THAN, DISPLAY_CONSTANT_SIGNED_LESS_THAN_OR_EQUAL,
        DISPLAY_CONSTANT_SIGNED_EQUALITY, DISPLAY_CONSTANT_SIGNED_INEQUALITY,
        DISPLAY_CONSTANT_SIGNED_GREATER_THAN_OR_EQUAL, DISPLAY_CONSTANT_SIGNED_GREATER_THAN,
        DISPLAY_CONSTANT_SIGNED_TRUE, DISPLAY_CONSTANT_SIGNED_FALSE,
        DISPLAY_VARIABLE_SIGNED_LESS_THAN, DISPLAY_VARIABLE_SIGNED_LESS_THAN_OR_EQUAL,
        DISPLAY_VARIABLE_SIGNED_EQUALITY, DISPLAY_VARIABLE_SIGNED_INEQUALITY,
        DISPLAY_VARIABLE_SIGNED_GREATER_THAN_OR_EQUAL, DISPLAY_VARIABLE_SIGNED_GREATER_THAN,
        DISPLAY_VARIABLE_SIGNED_TRUE, DISPLAY_VARIABLE_SIGNED_FALSE,
        DISPLAY_BITWISE_COMPLEMENT, DISPLAY_BITWISE_AND, DISPLAY_BITWISE_OR, DISPLAY_BITWISE_XOR,
        DISPLAY_LOGICAL_NOT, DISPLAY_LOGICAL_AND, DISPLAY_LOGICAL_OR, DISPLAY_LOGICAL_XOR,
        DISPLAY_REDUCTION_AND, DISPLAY_REDUCTION_OR, DISPLAY_REDUCTION_XOR,
        DISPLAY_LOGICAL_LEFT_SHIFT, DISPLAY_LOGICAL_RIGHT_SHIFT, DISPLAY_ROTATE_LEFT_SHIFT,
        DISPLAY_ROTATE_RIGHT_SHIFT, DISPLAY_ARITHMETIC_LEFT_SHIFT, DISPLAY_ARITHMETIC_RIGHT_SHIFT,
        DISPLAY_REGISTERED_CONTINUOUS_COUNTER, DISPLAY_REGISTERED_EVENT_COUNTER,
        DISPLAY_REGISTERED_STATE_COUNTER, DISPLAY_DYNAMIC_CONTINUOUS_COUNTER, DISPLAY_DYNAMIC_EVENT_COUNTER,
        DISPLAY_DYNAMIC_STATE_COUNTER, DISPLAY_CUSTOM_TRIGGER_HDL,
        DISPLAY_TYPE_COUNT
    };
    // The values of `comparison`, in the order of COMPARISON_TYPE_STRING.
    enum SEDQ_COMPARISON_TYPE
    {
        COMPARISON_LESS_THAN, COMPARISON_LESS_THAN_OR_EQUAL, COMPARISON_EQUALITY, COMPARISON_INEQUALITY,
        COMPARISON_GREATER_THAN_OR_EQUAL, COMPARISON_GREATER_THAN, COMPARISON_TRUE, COMPARISON_FALSE,
        COMPARISON_TYPE_COUNT
    };
    enum SEDQ_SIGNED_COMPARISON_TYPE
    {
        UNSIGNED_COMPARISON, SIGNED_COMPARISON
    };
    enum SEDQ_SHIFT_TYPE
    {
        SHIFT_LOGICAL, SHIFT_ROTATE, SHIFT_ARITHMETIC
    };
    enum SEDQ_SHIFT_DIRECTION_TYPE
    {
        SHIFT_LEFT, SHIFT_RIGHT
    };
    // The radix of a bus value (`display_format`).
    enum SEDQ_DISPLAY_FORMAT
    {
        FORMAT_HEXADECIMAL, FORMAT_DECIMAL, FORMAT_OCTAL, FORMAT_BINARY, FORMAT_ASCII
    };
    // What a port carries.
    enum SEDQ_PORT_TYPE
    {
        PORT_BIT, PORT_BUS, PORT_NONE
    };
    // The problems the equation writer and the value conversions report; ERROR_STRING holds
    // the text the canvas shows for each.
    enum SEDQ_ERROR_TYPE
    {
        ERROR_NONE, ERROR_OUTPUT_NOT_SINGLE_BIT, ERROR_INPUT_WIDTH_UNKNOWN, ERROR_INPUT_WIDTH_MISMATCH,
        ERROR_NOT_ENOUGH_INPUTS, ERROR_WRONG_INPUT_COUNT, ERROR_MISSING_NODE_NAME, ERROR_VALUE_OVER_64_BITS,
        ERROR_VALUE_OVER_WIDTH, ERROR_INVALID_NODE_NAME, ERROR_PATTERN_INVALID_CHARACTERS,
        ERROR_PATTERN_TOO_SHORT, ERROR_PATTERN_TOO_LONG, ERROR_COUNTER_NOT_IN_FIRST_CONDITION,
        ERROR_NEGATIVE_VALUE, ERROR_INVALID_MNEMONIC_TABLE, ERROR_INVALID_MNEMONIC_SYMBOL,
        ERROR_INVALID_BUS_VALUE, ERROR_SHIFT_INPUT_TOO_NARROW, ERROR_BUS_DATA_DELAY_INPUTS,
        ERROR_INVALID_COUNTER_VALUE, ERROR_INVALID_MAX_COUNTER_VALUE, ERROR_COUNTER_VALUE_OVER_MAX,
        ERROR_BITSTREAM_INVALID_CHARACTERS, ERROR_MISSING_MODULE_NAME,
        ERROR_TYPE_COUNT
    };
    // How a property's run-time configurability reads on the parameter page.
    enum SEDQ_CONFIGURABLE_TEXT
    {
        CONFIGURABLE_NEVER, CONFIGURABLE_ALWAYS, CONFIGURABLE_NO, CONFIGURABLE_YES
    };

    // The input points on a box's left edge: the upper and lower of a two-input object, the
    // single one in the middle; any other number is the bottom corner.
    enum SEDQ_INPUT_PORT
    {
        UPPER_PORT = 1, MIDDLE_PORT = 2, LOWER_PORT = 3
    };

    // An input count that takes any number of inputs; a precedence that never encloses.
    static constexpr int ANY_INPUT_COUNT = 0x7fffffff;
    static constexpr int NO_PRECEDENCE = 0x7fffffff;
    // Width results: not determinable, and (inputs only) inputs that disagree.
    static constexpr int UNKNOWN_WIDTH = -1;
    static constexpr int MISMATCHED_WIDTH = -2;

    static const QPoint ORIGIN_POINT;

    static const char* const OBJECT_STRING[OBJECT_TYPE_COUNT];
    static const char* const DISPLAY_FORMAT_STRING[5];
    static const char* const BIT_ORDER_STRING[2];
    static const char* const BIT_VALUE_STRING[2];
    static const char* const COMPARISON_TYPE_STRING[8];
    static const char* const SIGNED_COMPARISON_TYPE_STRING[2];
    static const char* const BITWISE_OPERATOR_TYPE_STRING[4];
    static const char* const LOGICAL_OPERATOR_TYPE_STRING[4];
    static const char* const REDUCTION_OPERATOR_TYPE_STRING[3];
    static const char* const SHIFT_DIRECTION_STRING[2];
    static const char* const SHIFT_TYPE_STRING[3];
    static const char* const COUNTER_TYPE_STRING[3];
    static const char* const COUNTER_HOLD_TYPE_STRING[2];
    static const char* const LIBRARY_STRING[LIBRARY_TYPE_COUNT];
    static const char* const CONFIGURABLE_STRING[4];
    static const char* const ERROR_STRING[ERROR_TYPE_COUNT];

    // What a kind is (sedq_object_tables.cpp, one record per kind).
    struct KIND_RECORD
    {
        // Its word in the canvas's clipboard text.
        const char* name;
        // Which properties apply to it: bit i for string property i, bit 8 + j for integer
        // property j (see SEDQ_PROPERTY::is_used).
        unsigned int properties;
        // Writes its own text of an equation (sedq_object_equation_kinds.cpp).
        void (*write_equation)(SEDQ_EQUATION_WRITER& writer);
    };
    static const KIND_RECORD KINDS[OBJECT_TYPE_COUNT];

    // What a display type is (sedq_object_tables.cpp, one record per display type).
    struct DISPLAY_RECORD
    {
        // Its name in tooltips and find, the text in its box, its word in the equation.
        const char* name;
        const char* symbol;
        const char* equation;
        // How many inputs it takes (ANY_INPUT_COUNT: any number) and what its ports carry.
        int input_count;
        SEDQ_PORT_TYPE input_type;
        SEDQ_PORT_TYPE output_type;
        // How tightly it binds in the readable formula (lower binds more loosely).
        int precedence;
        // The host picture of the box and of the palette entry.
        AFCQ_ICON_ENUM bitmap;
    };
    static const DISPLAY_RECORD DISPLAY_TYPES[DISPLAY_TYPE_COUNT];

    SEDQ_OBJECT(SEDQ_OBJECT_COPY copy, QPoint const& position, SEDQ_TRIGGER_OBJECT* owner);
    ~SEDQ_OBJECT() override;
    SEDQ_OBJECT(const SEDQ_OBJECT&) = delete;
    SEDQ_OBJECT& operator=(const SEDQ_OBJECT&) = delete;
    // Deletes the objects (each at most once) in time linear in their number, whatever their
    // order; objects outside that were linked to them lose the links.
    static void delete_objects(const QList<SEDQ_OBJECT*>& objects);

    // Host tree interface.
    SDR_TX_TREE_OBJECT* get_child_object(int index) override;
    int get_child_count() const override;
    SDR_TX_TREE_OBJECT* create_child_object(CHILD_OBJECT_TYPE type) override;
    bool delete_child_object(SDR_TX_TREE_OBJECT* child) override;
    bool get_equation(std::string* equation, const SDR_DATA_MNEMONICS* mnemonics, const SDR_TX_TRIGGER* trigger, int condition,
                      bool is_powerup) override;
    bool duplicate_trigger(bool to_powerup) override;
    void generate_tree(void* factory) override;
    void set_attribute(char const* key, char const* value) override;
    void get_attributes() override;

    SEDQ_OBJECT_TYPE get_type() const;
    void set_type(SEDQ_OBJECT_TYPE type);
    // The kind a palette or dialog word names (a LIBRARY_STRING entry, matched exactly); any
    // other text changes nothing.
    void set_type(const QString& library_text);
    // Kind and operator settings of a palette entry; a value outside the palette changes nothing.
    void set_library_type(SEDQ_LIBRARY_TYPE type);
    SEDQ_COMPARISON_TYPE get_comparison_type() const;
    void set_comparison_type(SEDQ_COMPARISON_TYPE type);
    SEDQ_SIGNED_COMPARISON_TYPE get_signed_comparison_type() const;
    void set_signed_comparison_type(SEDQ_SIGNED_COMPARISON_TYPE type);
    // A signed Comparison, which reads negative decimal values of its inputs.
    bool is_signed_comparison() const;

    SEDQ_OBJECT* get_parent() { return m_parent; }
    const SEDQ_OBJECT* get_parent() const { return m_parent; }
    void set_parent(SEDQ_OBJECT* parent) { m_parent = parent; }
    bool is_root() const { return m_parent == nullptr; }
    const QList<SEDQ_OBJECT*>& get_children() const { return m_children; }

    // Tree queries (sedq_object_tree.cpp).
    bool is_leaf() const { return m_children.isEmpty(); }
    SEDQ_OBJECT* get_root();
    // Whether `other` is this object or lies below it; false for null.
    bool is_descendent(const SEDQ_OBJECT* other) const;
    SEDQ_OBJECT* get_oldest_child();
    const SEDQ_OBJECT* get_oldest_child() const { return const_cast<SEDQ_OBJECT*>(this)->get_oldest_child(); }
    SEDQ_OBJECT* get_youngest_child();
    const SEDQ_OBJECT* get_youngest_child() const { return const_cast<SEDQ_OBJECT*>(this)->get_youngest_child(); }
    // The parent's first / last input; null for a root.
    SEDQ_OBJECT* get_oldest_sibling();
    const SEDQ_OBJECT* get_oldest_sibling() const { return const_cast<SEDQ_OBJECT*>(this)->get_oldest_sibling(); }
    SEDQ_OBJECT* get_youngest_sibling();
    const SEDQ_OBJECT* get_youngest_sibling() const
    {
        return const_cast<SEDQ_OBJECT*>(this)->get_youngest_sibling();
    }
    // Whether `child` may feed this object (null: whether this object may feed its parent),
    // and whether every input of this object is legal.
    bool is_valid_child(const SEDQ_OBJECT* child) const;
    bool is_valid_parent() const;
    // Whether a collapsed ancestor folds the object away. `canvas_cursor` is the canvas's cursor
    // shape: while objects are moved (size-all or open hand) the objects being dragged and
    // those left in place fold apart, each group under its own ancestors.
    bool is_hidden(Qt::CursorShape canvas_cursor) const;
    // The same with the cursor shape the canvas last set (the arrow without a canvas layer).
    bool is_hidden() const;
    // The canvas layer names the cursor shape it keeps; the stored layer only reads it.
    static void set_canvas_cursor_source(const int* shape);
    // The mark of an object taking part in a drag on the canvas.
    bool is_dragging() const { return m_dragging; }
    void drag(bool dragging) { m_dragging = dragging; }
    // Inputs follow the vertical order of their boxes.
    void sort_children();
    // The first `limit` inputs appended to `out`, in the canonical order of their structure
    // texts (commutative inputs are written the same whatever their ports). These three live
    // with the equation writer (sedq_object_equation.cpp), which walks a tree of any depth.
    void get_sorted_children(QList<SEDQ_OBJECT*>* out, int limit) const;
    // The structure text: the equation without run-time settings and names, which orders
    // inputs and compares conditions.
    QString get_structure_equation() const;
    bool operator<(const SEDQ_OBJECT& other) const;
    // Wires `child` as this object's next input (both sides), or detaches it.
    void attach_child(SEDQ_OBJECT* child);
    void detach_child(SEDQ_OBJECT* child);
    // Editing the tree (sedq_object_edit.cpp). With `toggle` the selection becomes the base
    // selection, inverted when `on`; else without `add` it becomes `on`; else `on` adds.
    void select(bool on, bool add, bool toggle);
    void select(QRect rect, bool add, bool toggle);
    bool is_selected() const;
    // The selection at the start of a rubber-band gesture.
    void set_base_selection() { m_base_selected = is_selected(); }
    void select_all_descendents();
    // Makes `child` this object's last input (with `sort`, in vertical order). An ancestor of
    // this object (or the object itself) is refused, so the graph stays a forest.
    void attach(SEDQ_OBJECT* child, bool sort);
    // Takes `child` off this object's inputs; null detaches this object from its parent.
    void detach(SEDQ_OBJECT* child);
    // Hands every input, the last first, to this object's parent; nothing for a root.
    void promote_children();
    // Moves each selected input one place towards the first (older) or last (younger) port.
    void make_selected_children_older();
    void make_selected_children_younger();
    bool has_selected_expanded_children() const;
    bool is_expanded() const;

    // Deep copy of `source` into this object: its properties, wired under `parent` when given,
    // and a copy of every descendant made in this object's condition and appended to `made`.
    void clone(const SEDQ_OBJECT& source, QList<SEDQ_OBJECT*>* made, SEDQ_OBJECT* parent);

    // The equation writer (sedq_object_equation.cpp). Appends this object's equation to
    // `out`. With `error` given every check runs and the last problem met is reported through
    // `error` and `error_object`; with a null `error` the structure text is written. Kind 1's
    // node list is its first text when `first_list` is set, else its second.
    void get_equation(QString* out, const SDR_DATA_MNEMONICS* mnemonics, const SDR_TX_TRIGGER* trigger, SEDQ_ERROR_TYPE* error,
                      SEDQ_OBJECT** error_object, int condition, bool first_list) const;
    // The name with a backslash before every quote and backslash.
    QString get_escaped_name() const;

    // The readable formula of the canvas's equation line (sedq_object_formula.cpp), one layer
    // of two: the parts of objects whose selection state is `selected_part` as text, the others
    // as blanks of the same width. An object binding more loosely than `parent_precedence` is
    // enclosed in parentheses; the canvas starts with 0.
    QString get_equation(bool selected_part, int parent_precedence) const;
    // Both layers in one walk of the tree, appended to `unselected` and `selected`.
    void get_equation_layers(QString* unselected, QString* selected, int parent_precedence) const;
    // What the canvas shows on hovering the object, by the canvas's cursor shape.
    QString get_tooltip(Qt::CursorShape canvas_cursor) const;
    SEDQ_TRIGGER_OBJECT* get_owner() { return m_owner; }
    const SEDQ_TRIGGER_OBJECT* get_owner() const { return m_owner; }
    SEDQ_PROPERTY& get_property() { return m_property; }
    const SEDQ_PROPERTY& get_property() const { return m_property; }

    // Which copy of its condition the object belongs to. A canvas's working copy answers
    // through that canvas, which reports the view of the document it shows.
    void set_copy(SEDQ_OBJECT_COPY copy) { m_copy = copy; }
    SEDQ_OBJECT_COPY get_copy() const { return m_copy; }
    bool is_powerup_trigger() const;
    // The canvas layer answers for its canvases; the stored layer knows them only by id.
    using CANVAS_POWERUP_QUERY = bool (*)(int canvas_id);
    static void set_canvas_powerup_query(CANVAS_POWERUP_QUERY query);

    // Texts (sedq_object_text.cpp).
    const QString& get_name() const { return m_property[SEDQ_PROPERTY::NAME]; }
    const QString& get_alias() const { return m_property[SEDQ_PROPERTY::ALIAS]; }
    const QString& get_bus_name() const { return m_property[SEDQ_PROPERTY::BUS_NAME]; }
    const QString& get_pattern() const { return m_property[SEDQ_PROPERTY::PATTERN]; }
    // The 8-bit setters take text in the local encoding, as the host hands names over.
    void set_name(char const* name);
    void set_bus_name(char const* name);
    void set_pattern(char const* pattern);
    void set_alias(const QString& alias);
    // The leaf of a hierarchical path ("a|b|c" gives "c", or "...c" with the ellipsis); a text
    // without "|" whole. The name is a Bus's alias, any other object's name.
    QString get_short_name(bool with_ellipsis) const;
    QString get_short_bus_name(bool with_ellipsis) const;
    // The text drawn inside the box, with the data delay and pipeline suffixes.
    QString get_symbol() const;

    // Display type and data delay (sedq_object_display.cpp).
    SEDQ_DISPLAY_TYPE get_display_type() const;
    // Whether the property applies to the object's kind.
    bool allows(SEDQ_PROPERTY::SEDQ_INT_PROPERTY property) const;
    // The data delay setting of a Node or Bus ("" for none, "0" included); a Node without one
    // takes its Bus's when `inherit` is set.
    QString get_data_delay(bool inherit) const;
    // Whether get_data_delay(false) is not empty, without writing the text.
    bool has_own_data_delay() const;

    // Port widths (sedq_object_width.cpp), in bits: UNKNOWN_WIDTH when they cannot be
    // determined, MISMATCHED_WIDTH (inputs only) when the inputs disagree.
    int get_output_width(bool ask_consumer) const;
    int get_input_width() const;

    // The bus value (sedq_object_value.cpp). A negative width gives the display text with its
    // radix mark; otherwise the value in decimal checked against `width` bits, or "" with the
    // problem reported through `error` (may be null) and `error_object`.
    QString get_bus_value(int width, const SDR_DATA_MNEMONICS* mnemonics, SEDQ_ERROR_TYPE* error,
                          SEDQ_OBJECT** error_object) const;

    // Counters, shifts, pipeline and data delay texts (sedq_object_operator.cpp).
    QString get_counter_width() const;
    QString get_counter_value(SEDQ_ERROR_TYPE* error, SEDQ_OBJECT** error_object) const;
    QString get_counter_type() const;
    QString get_counter_hold() const;
    QString get_shift_type() const;
    QString get_shift_direction() const;
    QString get_shift_distance() const;
    // The trigger compiler's shifter, on the low `width` bits of the value.
    static unsigned long long lpm_clshift_model(unsigned long long value, int width, SEDQ_SHIFT_TYPE type,
                                                SEDQ_SHIFT_DIRECTION_TYPE direction, int distance);
    // Folds this shift of a constant input into "variable(v)" or "constant(v)" appended to
    // `out`; false (nothing written) when the input is no foldable Bus Value.
    bool input_numerical_value_rolling_of_shift_operator(QString* out, const SDR_DATA_MNEMONICS* mnemonics,
                                                          const SDR_TX_TRIGGER* trigger, SEDQ_ERROR_TYPE* error,
                                                          SEDQ_OBJECT** error_object, int condition,
                                                          bool first_list, SEDQ_OBJECT* input) const;
    QString get_pipeline() const;
    QString append_data_delay_and_pipeline(const QString& text, bool unused = false) const;

    // Geometry (sedq_object_geometry.cpp): the box is 100 wide; its height depends on the kind.
    // Rectangles have inclusive corners, so the right edge is left + 100.
    int get_height() const;
    QRect get_rect() const;
    // The output point, in the middle of the box's right edge.
    QPoint get_head() const;
    // An input point on the box's left edge (SEDQ_INPUT_PORT).
    QPoint get_tail(int port) const;
    void get_input_port(QRect* rect, int port) const;
    void get_output_port(QRect* rect) const;
    // The box that opens and closes the inputs; the null rectangle for a leaf.
    void get_expand_box(QRect* rect) const;
    // Where the name or symbol text goes.
    void get_text_rect(QRect* rect) const;
    bool hit_test(QPoint point) const;
    // Expands every object above this one, so that its box is drawn.
    void ensure_visible();
    // Whether this (dragged) object would connect to `target`: its output port meets a free
    // input port of the visible target.
    bool operator==(const SEDQ_OBJECT& target) const;

    // Moving and dragging: move(x, y) places this object only; the others carry the subtree.
    void move(int x, int y);
    void move(QPoint delta);
    void move_up(int distance);
    void move_down(int distance);
    // Moves the inputs from the last one back to `child` down by `distance`, with their subtrees.
    void move_younger_siblings_down(SEDQ_OBJECT* child, int distance);
    void start_drag(QPoint const& point);
    void end_drag() { m_dragging = false; }
    void on_mouse_move(QPoint point);

    // Layouts (sedq_object_arrange.cpp). The tidy tree packs sibling subtrees as close as
    // their outlines allow; the schematic puts every leaf in one column and keeps this object
    // where it is.
    void get_outline(SEDQ_OUTLINE* outline) const;
    void arrange();
    void arrange_schematic();
    void arrange_schematic(int* next_y);

    // Drawing (sedq_object_draw.cpp); paint functions only read.
    void draw(QPainter* painter, bool multiple_input, bool show_bitmaps, bool has_focus, bool incremental) const;
    void draw_lines(QPainter* painter, bool angled, bool multiple_input, QPoint const& cursor) const;
    void draw_symbol(QPainter* painter, SEDQ_OBJECT_TYPE type, SEDQ_DISPLAY_TYPE display, bool symbol_in_box,
                     bool incremental) const;
    void draw_name_text(QPainter* painter, QRect rect, QString const& text, QColor colour) const;
    void draw_symbol_text(QPainter* painter, SEDQ_DISPLAY_TYPE display, QRect rect) const;
    void draw_pattern_text(QPainter* painter) const;
    void draw_distance_text(QPainter* painter) const;
    void draw_hdl_text(QPainter* painter) const;
    void draw_counter_text(QPainter* painter) const;
    void draw_data_delay_text(QPainter* painter) const;

    // The three texts of a "Condition for Incrementally Routed Nodes" object, written by
    // the document model: the power-up pattern, the normal pattern and the node list.
    void set_incremental_texts(const QString& first, const QString& second, const QString& third);
    const QString& get_incremental_text(int index) const;

private:
    // Whether `child` may feed an object of display type `display`, as this object's input.
    bool takes_input(SEDQ_DISPLAY_TYPE display, const SEDQ_OBJECT* child) const;
    friend class SEDQ_EQUATION_PASS;
    friend class SEDQ_EQUATION_WRITER;
    // This object's own part of an equation: texts, inputs and problems in writing order.
    void get_equation_pieces(const SEDQ_EQUATION_PASS& pass, std::vector<SEDQ_EQUATION_PIECE>* pieces) const;
    // Records a problem for the caller that asked for reports (a null `error` asks for none).
    void report_error(SEDQ_ERROR_TYPE code, SEDQ_ERROR_TYPE* error, SEDQ_OBJECT** error_object) const;
    void add_string_attributes();
    void add_int_attributes();
    // The tidy tree of this subtree; `outline` gets the subtree's outline as it then stands,
    // what get_outline would answer, so that a parent reads each input's outline from its
    // layout instead of walking the subtree again at every level above it.
    void arrange(SEDQ_OUTLINE* outline);
    // Starts `outline` with this object's box as its only level; true when its inputs are shown
    // (their outlines go below).
    bool start_outline(SEDQ_OUTLINE* outline) const;

    SEDQ_OBJECT_COPY m_copy;
    SEDQ_OBJECT* m_parent = nullptr;
    QList<SEDQ_OBJECT*> m_children;
    SEDQ_PROPERTY m_property;
    SEDQ_TRIGGER_OBJECT* m_owner = nullptr;
    QString m_incremental_text[3];
    // The grab point relative to the top-left corner while the object takes part in a drag.
    int m_drag_offset_x = 0;
    int m_drag_offset_y = 0;
    bool m_dragging = false;
    bool m_base_selected = false;
};

// Index of the first object of that kind in the list; -1 for a null or empty list or no match.
int sedq_get_object_index(QList<SEDQ_OBJECT*>* objects, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type);

// The deepest nesting of the trees the objects form, in objects from a root down to a leaf
// (0 for none); without recursion.
int sedq_condition_depth(const QList<SEDQ_OBJECT*>& objects);
// The order of objects from top to bottom: true when a's head lies above b's.
bool sedq_object_compare(SEDQ_OBJECT* a, SEDQ_OBJECT* b);
// The canonical order of inputs: by structure text, then by name.
bool sedq_object_compare_equations(SEDQ_OBJECT* a, SEDQ_OBJECT* b);
// The same comparison with its operands swapped (less with greater); others unchanged.
SEDQ_OBJECT::SEDQ_DISPLAY_TYPE reverse_comparison_type(SEDQ_OBJECT::SEDQ_DISPLAY_TYPE type);
