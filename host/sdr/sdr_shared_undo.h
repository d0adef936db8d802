#pragma once
// Undo of the data a document keeps outside its instances: the mnemonic tables. Histories are
// kept per instance, so a step of one instance can change a table that a later step of another
// instance changes again. A step therefore holds, per table it changed, the table before and
// after, and every table keeps the stack of applied steps that wrote it, oldest first. A step
// undoes its part of a table only while it is the top of that stack, and redoes it only while
// the table is in the state the step was made on: when a later step that can still be undone
// (or the redo of the step it was made on) stands in the way, the whole undo or redo is refused
// with a message that names the instance to go to first. A later change that can never be
// undone (its step fell off a history: the step limit, an edit that clears the history, a
// removed instance) keeps the table as it is, and the step gives up its part of that table.
// A table is never overwritten.
//
// While an editing session is attached, every table change must happen inside an edit bracket
// (of any instance); one made outside is refused and reported, so nothing changes behind the
// histories. The first bracket opened records every table change made while it stays open.

#include "host/sdr/sdr_data_mnemonics.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class SDR_DATA_SESSION;
class SDR_UNDO_HISTORY;
struct SDR_UNDO_STEP;

// Identity of one step for the tables it wrote. It outlives the step, so a table still knows
// who wrote it last when that step is gone (the change has become permanent).
struct SDR_STEP_MARK
{
    SDR_UNDO_HISTORY* history = nullptr; // null once the step is gone
};
using SDR_STEP_MARK_PTR = std::shared_ptr<SDR_STEP_MARK>;

// What one step did to one table.
struct SDR_TABLE_CHANGE
{
    QByteArray name;
    SDR_MNEMONICS_TABLE_STATE before;
    SDR_MNEMONICS_TABLE_STATE after;
    SDR_STEP_MARK_PTR below; // the applied writer the change was made on; null: none since the open
};
using SDR_TABLE_CHANGES = std::vector<SDR_TABLE_CHANGE>;

// Why an undo or redo cannot run now: a host message with up to two values, shown to the user.
struct SDR_UNDO_REFUSAL
{
    const char* format = nullptr; // null: no refusal
    std::string first;
    std::string second;

    bool empty() const { return format == nullptr; }
    void show() const;
};

class SDR_SHARED_UNDO : public SDR_DATA_MNEMONICS_WATCHER
{
public:
    explicit SDR_SHARED_UNDO(SDR_DATA_SESSION* session);
    SDR_SHARED_UNDO(const SDR_SHARED_UNDO&) = delete;
    SDR_SHARED_UNDO& operator=(const SDR_SHARED_UNDO&) = delete;
    ~SDR_SHARED_UNDO();

    // Brackets of the session's histories, in the order they open.
    void bracket_opened(SDR_UNDO_HISTORY* history);
    void bracket_closed(SDR_UNDO_HISTORY* history);

    bool before_table_change(const QByteArray& name) override;
    bool has_room(bool entries, qint64 more, const QByteArray& first_text, const QByteArray& second_text) override;

    // End of a bracket: fills in the tables as the step leaves them and drops the changes that
    // left their table as it was (taking the step off those tables).
    void finish(SDR_TABLE_CHANGES* changes, const SDR_STEP_MARK_PTR& mark);

    // Undo (or redo) of a step's table changes in two phases, so that a refusal changes nothing:
    // `plan` decides per change, `carry_out` applies the plan and drops the changes given up.
    struct PLAN
    {
        std::vector<size_t> apply;   // changes to undo (redo)
        std::vector<size_t> give_up; // changes whose table keeps a permanent later change
        SDR_UNDO_REFUSAL refusal;    // set: why the whole step must wait
    };
    PLAN plan(const SDR_TABLE_CHANGES& changes, const SDR_STEP_MARK_PTR& mark, bool undo) const;
    void carry_out(const PLAN& plan, SDR_TABLE_CHANGES* changes, const SDR_STEP_MARK_PTR& mark, bool undo);

    // Applied writers of a table, oldest first (for tests and checks).
    int writer_count(const QByteArray& name) const;

private:
    using STACK = std::vector<SDR_STEP_MARK_PTR>;

    static bool is_live(const SDR_STEP_MARK_PTR& mark);
    static std::string instance_of(const SDR_STEP_MARK_PTR& mark);
    SDR_UNDO_HISTORY* recorder();
    const STACK* stack_of(const QByteArray& name) const;
    SDR_STEP_MARK_PTR top_of(const QByteArray& name) const;
    void push(const QByteArray& name, const SDR_STEP_MARK_PTR& mark);
    void note_permanent_change(const QByteArray& name);
    SDR_UNDO_REFUSAL plan_undo(const SDR_TABLE_CHANGE& change, const SDR_STEP_MARK_PTR& mark, bool* apply) const;
    SDR_UNDO_REFUSAL plan_redo(const SDR_TABLE_CHANGE& change, bool* apply) const;
    void give_up(const QByteArray& name, const SDR_STEP_MARK_PTR& mark);

    SDR_DATA_SESSION* m_session;
    std::vector<SDR_UNDO_HISTORY*> m_open;
    std::map<QByteArray, STACK> m_writers;
};
