// SDR_UNDO_HISTORY: brackets, steps, snapshots and their restoration.

#include "host/sdr/sdr_undo_history.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_undo_action_atomic.h"
#include "host/standin/sdr_control.h"

#include <QHash>

#include <algorithm>

namespace
{
// Selection and validity marks are view state, not part of what a step restores: the rows that
// exist now keep their marks across a restore (matched by link id), rows that come back keep the
// marks they had. The restored block is detached only when some mark really differs.
template <class STATE>
void restore_keeping_marks(QSharedDataPointer<STATE>& block, const QSharedDataPointer<STATE>& saved,
                           SDR_NODE_LIST STATE::*list)
{
    const SDR_NODE_LIST now = (*block.constData()).*list;
    block = saved;
    QHash<int, const SDR_NODE_ROW*> by_link;
    for (const SDR_NODE_ROW& row : now)
        if (row.link_id != 0 && !by_link.contains(row.link_id))
            by_link.insert(row.link_id, &row);
    std::vector<std::pair<int, const SDR_NODE_ROW*>> changes;
    const SDR_NODE_LIST& restored = (*block.constData()).*list;
    for (int i = 0; i < restored.size(); ++i) {
        const SDR_NODE_ROW* current = by_link.value(restored[i].link_id, nullptr);
        if (current != nullptr && (current->selected != restored[i].selected || current->invalid != restored[i].invalid))
            changes.emplace_back(i, current);
    }
    if (changes.empty())
        return;
    SDR_NODE_LIST& rows = (*block).*list;
    for (const auto& change : changes) {
        rows[change.first].selected = change.second->selected;
        rows[change.first].invalid = change.second->invalid;
    }
}
} // namespace

SDR_UNDO_HISTORY::SDR_UNDO_HISTORY(SDR_DATA_INSTANCE* instance) : m_instance(instance) {}

SDR_UNDO_HISTORY::~SDR_UNDO_HISTORY() = default;

bool SDR_UNDO_HISTORY::begin()
{
    standin::sdr::detail::count_bracket_opened();
    if (m_depth++ > 0)
        return true;
    m_open = std::make_unique<SDR_UNDO_STEP>();
    m_open->before = capture(true);
    // An atomic action that edits while its step is being undone or redone must not record a
    // step of its own: that would drop the redo tail, and with it the step being run.
    m_open_void = m_restoring;
    m_changes_at_begin = m_instance->m_change_count;
    m_mnemonics_at_begin = m_instance->m_session != nullptr ? m_instance->m_session->m_mnemonics.get_change_count() : 0;
    return true;
}

bool SDR_UNDO_HISTORY::end()
{
    if (m_depth == 0) {
        standin::sdr::detail::count_unbalanced_end();
        return false;
    }
    standin::sdr::detail::count_bracket_closed();
    if (--m_depth > 0)
        return true;
    std::unique_ptr<SDR_UNDO_STEP> step = std::move(m_open);
    if (m_open_void || m_instance->m_session == nullptr)
        return true;
    bool mnemonics_changed = m_instance->m_session->m_mnemonics.get_change_count() != m_mnemonics_at_begin;
    bool changed = m_instance->m_change_count != m_changes_at_begin || mnemonics_changed ||
                   plugin_groups_changed(step->before);
    if (!changed && step->actions.empty())
        return true;
    step->after = capture(mnemonics_changed);
    if (!mnemonics_changed) {
        step->before.has_mnemonics = false;
        step->before.mnemonics.clear();
    }
    push(std::move(step));
    return true;
}

void SDR_UNDO_HISTORY::push(std::unique_ptr<SDR_UNDO_STEP> step)
{
    drop_redo_tail();
    m_steps.push_back(std::move(step));
    m_position = static_cast<int>(m_steps.size());
    set_max_steps(m_max_steps);
    m_instance->m_modified_since_save = true;
}

void SDR_UNDO_HISTORY::drop_redo_tail()
{
    while (static_cast<int>(m_steps.size()) > m_position)
        m_steps.pop_back();
}

bool SDR_UNDO_HISTORY::can_undo() const
{
    return m_depth == 0 && m_position > 0 && !m_restoring;
}

bool SDR_UNDO_HISTORY::can_redo() const
{
    return m_depth == 0 && m_position < static_cast<int>(m_steps.size()) && !m_restoring &&
           !m_steps[m_position]->creation;
}

bool SDR_UNDO_HISTORY::undo()
{
    if (!can_undo() || m_instance->m_session == nullptr)
        return false;
    SDR_UNDO_STEP* step = m_steps[m_position - 1].get();
    standin::sdr::detail::count_undo();
    if (step->creation) {
        // The instance goes away with its history; it is parked, so this object stays alive
        // until the call returns, but nothing of it may be touched after the removal.
        SDR_DATA_SESSION* session = m_instance->m_session;
        --m_position;
        if (session->m_tx_user != nullptr)
            session->m_tx_user->undo_instance_creation(m_instance);
        else
            session->remove_instance(m_instance);
        return true;
    }
    m_restoring = true;
    bool powerup_was = m_instance->m_state.powerup_enabled;
    restore(step->before);
    --m_position;
    for (auto it = step->actions.rbegin(); it != step->actions.rend(); ++it)
        (*it)->undo();
    m_restoring = false;
    after_restore(powerup_was);
    return true;
}

bool SDR_UNDO_HISTORY::redo()
{
    if (!can_redo() || m_instance->m_session == nullptr)
        return false;
    SDR_UNDO_STEP* step = m_steps[m_position].get();
    standin::sdr::detail::count_redo();
    m_restoring = true;
    bool powerup_was = m_instance->m_state.powerup_enabled;
    restore(step->after);
    ++m_position;
    for (const auto& action : step->actions)
        action->redo();
    m_restoring = false;
    after_restore(powerup_was);
    return true;
}

void SDR_UNDO_HISTORY::after_restore(bool powerup_was)
{
    m_instance->m_modified_since_save = true;
    SDR_DATA_SESSION* session = m_instance->m_session;
    if (session != nullptr && session->m_tx_user != nullptr &&
        powerup_was != m_instance->m_state.powerup_enabled)
        session->m_tx_user->rebuild_entries();
}

void SDR_UNDO_HISTORY::set_max_steps(int steps)
{
    m_max_steps = std::max(0, steps);
    while (static_cast<int>(m_steps.size()) > m_max_steps) {
        if (m_position > 0) {
            m_steps.pop_front();
            --m_position;
        } else {
            m_steps.pop_back();
        }
    }
}

void SDR_UNDO_HISTORY::append_atomic_action(SDR_TX_UNDO_ACTION_ATOMIC* action)
{
    if (action == nullptr)
        return;
    if (m_restoring) {
        delete action; // nothing can be recorded while a step runs (see begin)
        return;
    }
    if (m_depth > 0 && m_open) {
        m_open->actions.emplace_back(action);
        return;
    }
    // Outside a bracket the action becomes a step of its own around the current state.
    auto step = std::make_unique<SDR_UNDO_STEP>();
    step->before = capture(false);
    step->after = step->before;
    step->actions.emplace_back(action);
    push(std::move(step));
}

void SDR_UNDO_HISTORY::push_creation_step()
{
    auto step = std::make_unique<SDR_UNDO_STEP>();
    step->creation = true;
    m_steps.clear();
    m_steps.push_back(std::move(step));
    m_position = 1;
    set_max_steps(m_max_steps);
}

void SDR_UNDO_HISTORY::clear()
{
    m_steps.clear();
    m_position = 0;
    if (m_depth > 0)
        m_open_void = true;
}

SDR_INSTANCE_SNAPSHOT SDR_UNDO_HISTORY::capture(bool with_mnemonics) const
{
    SDR_INSTANCE_SNAPSHOT snapshot;
    snapshot.instance = m_instance->m_state;
    for (const auto& set : m_instance->m_signal_sets) {
        snapshot.signal_sets.push_back(set->m_state);
        for (const auto& trigger : set->m_triggers) {
            snapshot.triggers.push_back(trigger->m_state);
            for (const auto& log : trigger->m_logs)
                snapshot.log_names.emplace_back(log.get(), log->m_name);
        }
    }
    for (const auto& group : m_instance->m_plugin_groups)
        snapshot.plugin_groups.emplace_back(group.get(), *group);
    SDR_DATA_SESSION* session = m_instance->m_session;
    if (with_mnemonics && session != nullptr) {
        snapshot.has_mnemonics = true;
        snapshot.mnemonics = session->m_mnemonics.snapshot();
    }
    return snapshot;
}

void SDR_UNDO_HISTORY::restore(const SDR_INSTANCE_SNAPSHOT& snapshot)
{
    m_instance->m_state = snapshot.instance;
    size_t set_index = 0;
    size_t trigger_index = 0;
    // Structural changes clear the history, so the object lists match the snapshot; the bounds
    // checks only keep a broken invariant from reading past the end.
    for (const auto& set : m_instance->m_signal_sets) {
        if (set_index < snapshot.signal_sets.size())
            restore_keeping_marks(set->m_state, snapshot.signal_sets[set_index++], &SDR_SIGNAL_SET_STATE::data_list);
        for (const auto& trigger : set->m_triggers)
            if (trigger_index < snapshot.triggers.size())
                restore_keeping_marks(trigger->m_state, snapshot.triggers[trigger_index++],
                                      &SDR_TRIGGER_STATE::trigger_list);
    }
    for (const auto& entry : snapshot.log_names)
        entry.first->m_name = entry.second;
    for (const auto& entry : snapshot.plugin_groups) {
        // The live plug-in handle is not document data: keep it across the restore.
        void* handle = entry.first->get_table_handle();
        *entry.first = entry.second;
        entry.first->set_table_handle(handle);
    }
    if (snapshot.has_mnemonics && m_instance->m_session != nullptr)
        m_instance->m_session->m_mnemonics.restore(snapshot.mnemonics);
}

bool SDR_UNDO_HISTORY::plugin_groups_changed(const SDR_INSTANCE_SNAPSHOT& before) const
{
    if (before.plugin_groups.size() != m_instance->m_plugin_groups.size())
        return true;
    for (const auto& entry : before.plugin_groups)
        if (*entry.first != entry.second)
            return true;
    return false;
}
