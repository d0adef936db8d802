#pragma once
// The equation writer's inside, shared by its pass over a tree (sedq_object_equation.cpp) and
// the writers of each kind's own text (sedq_object_equation_kinds.cpp), which the kind records
// name (SEDQ_OBJECT::KINDS).

#include "sedq/advanced_trigger/sedq_object.h"

#include <QHash>
#include <QLatin1String>

#include <unordered_map>
#include <vector>

// One piece of an object's own part of an equation: a text, an input (written by the walk in
// its place) or a problem met there.
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

// One writing pass over a tree. Nothing recurses along the tree: the objects are walked with
// a stack of their pieces, and the canonical order of inputs is worked out once per object,
// deepest first, by comparing the structure texts of the inputs while they are walked, never
// holding them. So a chain of any depth is written in time and memory that grow with its size.
// The comparisons walk each object's own structure pieces, made once per pass: a sort compares
// an input several times, and writing its pieces is most of a comparison's cost.
class SEDQ_EQUATION_PASS
{
public:
    // What the passes over one tree share: the canonical orders found, and the structure
    // pieces of each object a comparison walked (each object's own part, so the whole stays
    // as large as the tree, however deep).
    struct MEMORY
    {
        QHash<const SEDQ_OBJECT*, QList<SEDQ_OBJECT*>> orders;
        std::unordered_map<const SEDQ_OBJECT*, std::vector<SEDQ_EQUATION_PIECE>> structure_pieces;
    };

    // Checked mode with `error` given, else the structure mode. What a pass works out is kept
    // in `memory`, which passes over the same unchanged objects may share.
    SEDQ_EQUATION_PASS(const SDR_DATA_MNEMONICS* mnemonics, const SDR_TX_TRIGGER* trigger,
                       SEDQ_OBJECT::SEDQ_ERROR_TYPE* error, SEDQ_OBJECT** error_object, int condition,
                       bool first_list, MEMORY* memory)
        : mnemonics(mnemonics), trigger(trigger), error(error), error_object(error_object),
          condition(condition), first_list(first_list), m_memory(memory)
    {
    }
    // The structure mode over the same memory, keeping the pieces it writes.
    SEDQ_EQUATION_PASS structure() const
    {
        SEDQ_EQUATION_PASS pass(nullptr, nullptr, nullptr, nullptr, 0, true, m_memory);
        pass.m_keeps_pieces = true;
        return pass;
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

    const SDR_DATA_MNEMONICS* mnemonics;
    const SDR_TX_TRIGGER* trigger;
    SEDQ_OBJECT::SEDQ_ERROR_TYPE* error;
    SEDQ_OBJECT** error_object;
    int condition;
    bool first_list;

private:
    class WALK;
    // The object's own pieces as this pass writes them: kept in the memory for a structure
    // pass, else written into `own`.
    const std::vector<SEDQ_EQUATION_PIECE>& pieces_of(const SEDQ_OBJECT* object,
                                                     std::vector<SEDQ_EQUATION_PIECE>* own) const;

    MEMORY* m_memory;
    bool m_keeps_pieces = false;
};

// Writes one object's own part of an equation as pieces. The part every kind shares is done
// here: the checks of the inputs' widths and number, and the pipeline, name or custom module
// call and data delay around the text. Between them the writer of the object's kind record
// adds the kind's own text. A problem met before the first input is reported at once; one met
// later waits at its place among the pieces, so that the caller sees the last problem in
// writing order.
class SEDQ_EQUATION_WRITER
{
public:
    SEDQ_EQUATION_WRITER(const SEDQ_OBJECT& object, const SEDQ_EQUATION_PASS& pass,
                         std::vector<SEDQ_EQUATION_PIECE>* pieces);
    void write();

    // What a kind's writer adds: text (to `text`), problems, and inputs in writing order.
    void report(SEDQ_OBJECT::SEDQ_ERROR_TYPE code);
    void input(const SEDQ_OBJECT* child);
    void inputs(const QList<SEDQ_OBJECT*>& list, const char* separator);

    const SEDQ_OBJECT& object;
    const SEDQ_EQUATION_PASS& pass;
    // Every check runs (else the structure text is written).
    const bool checked;
    const SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display;
    // The kind whose writer runs: a constant unsigned comparison that always or never holds is
    // written as the bit it is.
    const SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind;
    const int input_count; // the inputs the object has
    const int input_width;
    const SEDQ_OBJECT* const first_input;
    // The display type's word in the equation.
    const QLatin1String word;
    // The pipeline length ("" for none), and whether the text already stands in parentheses
    // of a pipeline, a name, a custom module call or a data delay.
    QString pipeline;
    bool prefixed = false;
    QString text;

private:
    void open();
    void check_input_width();
    void check_input_count();
    void close();
    void flush();

    std::vector<SEDQ_EQUATION_PIECE>* m_pieces;
    bool m_past_input = false;
    bool m_named = false;
    bool m_hdl_call = false;
    QString m_delay;
};

// The writers of each kind's own text (sedq_object_equation_kinds.cpp).
namespace sedq_equation
{
void write_nothing(SEDQ_EQUATION_WRITER& w);
void write_level_result(SEDQ_EQUATION_WRITER& w);
void write_detector(SEDQ_EQUATION_WRITER& w);
void write_node(SEDQ_EQUATION_WRITER& w);
void write_bus(SEDQ_EQUATION_WRITER& w);
void write_bit_value(SEDQ_EQUATION_WRITER& w);
void write_bus_value(SEDQ_EQUATION_WRITER& w);
void write_comparison(SEDQ_EQUATION_WRITER& w);
void write_bitwise(SEDQ_EQUATION_WRITER& w);
void write_logical(SEDQ_EQUATION_WRITER& w);
void write_reduction(SEDQ_EQUATION_WRITER& w);
void write_shift(SEDQ_EQUATION_WRITER& w);
void write_counter(SEDQ_EQUATION_WRITER& w);
void write_custom_hdl(SEDQ_EQUATION_WRITER& w);
void write_incremental_route(SEDQ_EQUATION_WRITER& w);
} // namespace sedq_equation
