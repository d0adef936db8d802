#pragma once
// Undo history of one data instance. One step per outermost edit bracket that changed something;
// a step holds the instance's editable state before and after (copy-on-write blocks, so taking a
// snapshot costs reference counts, not copies) plus the atomic actions attached in the bracket.
// Restoring writes the saved blocks back into the same objects, so no pointer handed out moves.

#include "host/sdr/sdr_data_model.h"

#include <deque>
#include <memory>
#include <vector>

class SDR_TX_UNDO_ACTION_ATOMIC;

// The editable state of an instance at one moment (what undo restores).
struct SDR_INSTANCE_SNAPSHOT
{
    SDR_INSTANCE_STATE instance;
    std::vector<QSharedDataPointer<SDR_SIGNAL_SET_STATE>> signal_sets;  // in instance order
    std::vector<QSharedDataPointer<SDR_TRIGGER_STATE>> triggers;        // set by set, in order
    std::vector<std::pair<SDR_DATA_LOG*, std::string>> log_names;
    // Plug-in records are plain values changed in place through their pointers, so a snapshot
    // keeps a copy of each (they are few) and a bracket compares them to see a change.
    std::vector<std::pair<SDR_PLUGIN_GROUP*, SDR_PLUGIN_GROUP>> plugin_groups;
    // The session's mnemonic tables; kept in a step only when they changed inside its bracket.
    bool has_mnemonics = false;
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> mnemonics;
};

struct SDR_UNDO_STEP
{
    bool creation = false;           // undo removes the instance; cannot be redone
    SDR_INSTANCE_SNAPSHOT before;
    SDR_INSTANCE_SNAPSHOT after;
    std::vector<std::unique_ptr<SDR_TX_UNDO_ACTION_ATOMIC>> actions;
};

class SDR_UNDO_HISTORY
{
public:
    explicit SDR_UNDO_HISTORY(SDR_DATA_INSTANCE* instance);
    ~SDR_UNDO_HISTORY();

    // Nestable by count; true when a bracket was opened (or joined).
    bool begin();
    // Closes one level; at the outermost level records a step when something changed. False for
    // an end without a begin (counted as unbalanced).
    bool end();
    int depth() const { return m_depth; }
    bool undo();
    bool redo();
    bool can_undo() const;
    bool can_redo() const;
    void set_max_steps(int steps);
    int max_steps() const { return m_max_steps; }
    // Takes ownership; joins the open bracket's step (or becomes a step of its own).
    void append_atomic_action(SDR_TX_UNDO_ACTION_ATOMIC* action);
    // Records the undoable creation of the instance as the first step.
    void push_creation_step();
    // Drops every step; an open bracket then records nothing.
    void clear();
    int step_count() const { return static_cast<int>(m_steps.size()); }
    int position() const { return m_position; }

private:
    SDR_INSTANCE_SNAPSHOT capture(bool with_mnemonics) const;
    void restore(const SDR_INSTANCE_SNAPSHOT& snapshot);
    bool plugin_groups_changed(const SDR_INSTANCE_SNAPSHOT& before) const;
    void push(std::unique_ptr<SDR_UNDO_STEP> step);
    void drop_redo_tail();
    void after_restore(bool powerup_was);

    SDR_DATA_INSTANCE* m_instance;
    std::deque<std::unique_ptr<SDR_UNDO_STEP>> m_steps;
    int m_position = 0;              // steps [0, m_position) are applied
    int m_max_steps = SDR_DEFAULT_MAX_UNDO_STEPS;
    int m_depth = 0;
    std::unique_ptr<SDR_UNDO_STEP> m_open;
    bool m_open_void = false;        // a structural change happened inside the open bracket
    uint64_t m_changes_at_begin = 0;
    unsigned long long m_mnemonics_at_begin = 0;
    bool m_restoring = false;
};
