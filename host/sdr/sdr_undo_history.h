#pragma once
// Undo history of one data instance. One step per outermost edit bracket that changed something;
// a step holds the instance's editable state before and after (copy-on-write blocks, so taking a
// snapshot costs reference counts, not copies), what it did to the document's mnemonic tables
// (see SDR_SHARED_UNDO) and the atomic actions attached in the bracket. Restoring writes the
// saved blocks back into the same objects, so no pointer handed out moves.

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_shared_undo.h"
#include "host/sdr/sdr_tx_tree_object.h"

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
    // The state flow of each trigger that has a state machine object, in the form the object
    // keeps for undo: it belongs to the editor library, which alone reads that form.
    std::vector<std::pair<SDR_TX_TREE_OBJECT*, SDR_TREE_UNDO_STATE_PTR>> state_machines;
};

struct SDR_UNDO_STEP
{
    enum KIND
    {
        EDIT,
        CREATION, // undo removes the instance (and hands its redo to another instance)
        REVIVAL   // in another instance's redo list: redo brings the removed instance back
    };

    SDR_UNDO_STEP(SDR_UNDO_HISTORY* history, KIND step_kind);
    ~SDR_UNDO_STEP();
    SDR_UNDO_STEP(const SDR_UNDO_STEP&) = delete;
    SDR_UNDO_STEP& operator=(const SDR_UNDO_STEP&) = delete;

    KIND kind;
    SDR_STEP_MARK_PTR mark;
    SDR_INSTANCE_SNAPSHOT before;
    SDR_INSTANCE_SNAPSHOT after;
    SDR_TABLE_CHANGES tables;
    std::vector<std::unique_ptr<SDR_TX_UNDO_ACTION_ATOMIC>> actions;
    // REVIVAL: the instance whose creation was undone (parked) and its place in the instance list.
    SDR_DATA_INSTANCE* revived = nullptr;
    int revived_index = 0;
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
    // Puts a step that brings `removed` back (at `index` of the instance list) first in the redo
    // list: the instance whose creation was undone hands its redo to this one.
    void push_revival_step(SDR_DATA_INSTANCE* removed, int index);
    // The tx session removes (or brings back) the instance: its creation step counts as undone
    // (done) again.
    void creation_undone();
    void creation_redone();
    // Drops every step; an open bracket then records nothing.
    void clear();
    int step_count() const { return static_cast<int>(m_steps.size()); }
    int position() const { return m_position; }
    // Steps after the current position (undone, or a revival handed over).
    int redo_count() const { return static_cast<int>(m_steps.size()) - m_position; }

    // For the document-wide undo: whether the instance is still in its document, its name, and
    // the step of the open bracket (null with no bracket open).
    bool is_attached() const { return m_instance->m_session != nullptr; }
    const std::string& instance_name() const { return m_instance->m_state.name; }
    SDR_UNDO_STEP* open_step() { return m_open.get(); }

private:
    SDR_INSTANCE_SNAPSHOT capture() const;
    void restore(const SDR_INSTANCE_SNAPSHOT& snapshot);
    bool plugin_groups_changed(const SDR_INSTANCE_SNAPSHOT& before) const;
    void push(std::unique_ptr<SDR_UNDO_STEP> step);
    void drop_redo_tail();
    void after_restore(bool powerup_was);
    bool undo_creation();
    bool redo_revival(SDR_UNDO_STEP* step);
    bool run_step(SDR_UNDO_STEP* step, bool undo);
    SDR_UNDO_REFUSAL name_refusal(const SDR_INSTANCE_SNAPSHOT& target, bool undo) const;

    SDR_DATA_INSTANCE* m_instance;
    SDR_SHARED_UNDO* m_shared;       // the document's, kept when the instance is parked
    // A vector, not a deque: an instance without undo steps (most of a large document) then
    // holds no memory for them.
    std::vector<std::unique_ptr<SDR_UNDO_STEP>> m_steps;
    int m_position = 0;              // steps [0, m_position) are applied
    int m_max_steps = SDR_DEFAULT_MAX_UNDO_STEPS;
    int m_depth = 0;
    std::unique_ptr<SDR_UNDO_STEP> m_open;
    bool m_open_void = false;        // a structural change happened inside the open bracket
    uint64_t m_changes_at_begin = 0;
    bool m_restoring = false;
};
