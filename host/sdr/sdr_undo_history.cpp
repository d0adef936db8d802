// SDR_UNDO_HISTORY: brackets, steps, snapshots and their restoration.

#include "host/sdr/sdr_undo_history.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_tree_object.h"
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

SDR_UNDO_STEP::SDR_UNDO_STEP(SDR_UNDO_HISTORY* history, KIND step_kind)
    : kind(step_kind), mark(std::make_shared<SDR_STEP_MARK>())
{
    mark->history = history;
}

// Tables this step wrote keep its mark: with the step gone, their change is permanent.
SDR_UNDO_STEP::~SDR_UNDO_STEP()
{
    mark->history = nullptr;
}

SDR_UNDO_HISTORY::SDR_UNDO_HISTORY(SDR_DATA_INSTANCE* instance)
    : m_instance(instance),
      m_shared(instance->m_session != nullptr ? instance->m_session->m_shared_undo.get() : nullptr)
{
}

SDR_UNDO_HISTORY::~SDR_UNDO_HISTORY()
{
    if (m_depth > 0 && m_shared != nullptr)
        m_shared->bracket_closed(this);
}

bool SDR_UNDO_HISTORY::begin()
{
    standin::sdr::detail::count_bracket_opened();
    if (m_depth++ > 0)
        return true;
    m_open = std::make_unique<SDR_UNDO_STEP>(this, SDR_UNDO_STEP::EDIT);
    m_open->before = capture();
    // An atomic action that edits while its step is being undone or redone must not record a
    // step of its own: that would drop the redo tail, and with it the step being run.
    m_open_void = m_restoring;
    m_changes_at_begin = m_instance->m_change_count;
    if (m_shared != nullptr)
        m_shared->bracket_opened(this);
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
    if (m_shared != nullptr) {
        m_shared->bracket_closed(this);
        m_shared->finish(&step->tables, step->mark);
    }
    // A step that is not kept takes its table changes with it: they become permanent.
    if (m_open_void || m_instance->m_session == nullptr)
        return true;
    bool changed = m_instance->m_change_count != m_changes_at_begin || !step->tables.empty() ||
                   plugin_groups_changed(step->before);
    if (!changed && step->actions.empty())
        return true;
    step->after = capture();
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
           m_steps[m_position]->kind != SDR_UNDO_STEP::CREATION;
}

bool SDR_UNDO_HISTORY::undo()
{
    if (!can_undo() || m_instance->m_session == nullptr)
        return false;
    SDR_UNDO_STEP* step = m_steps[m_position - 1].get();
    standin::sdr::detail::count_undo();
    if (step->kind == SDR_UNDO_STEP::CREATION)
        return undo_creation();
    return run_step(step, true);
}

bool SDR_UNDO_HISTORY::redo()
{
    if (!can_redo() || m_instance->m_session == nullptr)
        return false;
    SDR_UNDO_STEP* step = m_steps[m_position].get();
    standin::sdr::detail::count_redo();
    if (step->kind == SDR_UNDO_STEP::REVIVAL)
        return redo_revival(step);
    return run_step(step, false);
}

// Checks first (instance name, document-wide tables), so that a refused step changes nothing.
bool SDR_UNDO_HISTORY::run_step(SDR_UNDO_STEP* step, bool undo)
{
    SDR_UNDO_REFUSAL refusal = name_refusal(undo ? step->before : step->after, undo);
    SDR_SHARED_UNDO::PLAN plan;
    if (refusal.empty() && m_shared != nullptr) {
        plan = m_shared->plan(step->tables, step->mark, undo);
        refusal = plan.refusal;
    }
    if (!refusal.empty()) {
        refusal.show();
        return false;
    }
    m_restoring = true;
    bool powerup_was = m_instance->m_state.powerup_enabled;
    restore(undo ? step->before : step->after);
    if (m_shared != nullptr)
        m_shared->carry_out(plan, &step->tables, step->mark, undo);
    m_position += undo ? -1 : 1;
    // The data must already be restored when the actions run (they re-check or relayout it).
    if (undo) {
        for (auto it = step->actions.rbegin(); it != step->actions.rend(); ++it)
            (*it)->undo();
    } else {
        for (const auto& action : step->actions)
            action->redo();
    }
    m_restoring = false;
    after_restore(powerup_was);
    return true;
}

// Instance names are unique in the document: a step cannot give back a name another instance
// took since.
SDR_UNDO_REFUSAL SDR_UNDO_HISTORY::name_refusal(const SDR_INSTANCE_SNAPSHOT& target, bool undo) const
{
    const std::string& name = target.instance.name;
    if (name == m_instance->m_state.name)
        return {};
    SDR_DATA_INSTANCE* other = m_instance->m_session->find_instance(name.c_str());
    if (other == nullptr || other == m_instance)
        return {};
    return {undo ? "Cannot undo this step: instance name \"%1!s!\" is now used by another instance./OSDR_UNDO_NAME_TAKEN"
                 : "Cannot redo this step: instance name \"%1!s!\" is now used by another instance./OSDR_REDO_NAME_TAKEN",
            name, std::string()};
}

bool SDR_UNDO_HISTORY::undo_creation()
{
    SDR_TX_SESSION* tx = m_instance->m_session->m_tx_user;
    // The instance goes away with its history; it is parked, so this object stays alive until
    // the call returns, but nothing of it may be touched after the removal.
    return tx != nullptr && tx->undo_instance_creation(m_instance);
}

void SDR_UNDO_HISTORY::creation_undone()
{
    if (m_position > 0)
        --m_position;
}

void SDR_UNDO_HISTORY::creation_redone()
{
    if (!m_steps.empty() && m_steps.front()->kind == SDR_UNDO_STEP::CREATION && m_position == 0)
        m_position = 1;
}

bool SDR_UNDO_HISTORY::redo_revival(SDR_UNDO_STEP* step)
{
    SDR_DATA_SESSION* session = m_instance->m_session;
    SDR_DATA_INSTANCE* removed = step->revived;
    if (session->m_tx_user == nullptr)
        return false;
    if (session->find_instance(removed->m_state.name.c_str()) != nullptr) {
        SDR_UNDO_REFUSAL{"Cannot bring back instance \"%1!s!\": another instance has that name now./"
                         "OSDR_REDO_INSTANCE_NAME_TAKEN",
                         removed->m_state.name, std::string()}
            .show();
        return false;
    }
    const int index = step->revived_index;
    // The step goes back to the instance it came from: it leaves this history (no redo tail of
    // this instance is lost, the position stays).
    m_steps.erase(m_steps.begin() + m_position);
    session->m_tx_user->revive_instance(removed, index);
    return true;
}

void SDR_UNDO_HISTORY::push_revival_step(SDR_DATA_INSTANCE* removed, int index)
{
    auto step = std::make_unique<SDR_UNDO_STEP>(this, SDR_UNDO_STEP::REVIVAL);
    step->revived = removed;
    step->revived_index = index;
    m_steps.insert(m_steps.begin() + m_position, std::move(step));
    set_max_steps(m_max_steps);
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
    const int surplus = static_cast<int>(m_steps.size()) - m_max_steps;
    if (surplus <= 0)
        return;
    // The oldest applied steps go first, then the far end of the redo tail.
    const int oldest = std::min(surplus, m_position);
    m_steps.erase(m_steps.begin(), m_steps.begin() + oldest);
    m_position -= oldest;
    m_steps.resize(size_t(m_max_steps));
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
    auto step = std::make_unique<SDR_UNDO_STEP>(this, SDR_UNDO_STEP::EDIT);
    step->before = capture();
    step->after = step->before;
    step->actions.emplace_back(action);
    push(std::move(step));
}

void SDR_UNDO_HISTORY::push_creation_step()
{
    auto step = std::make_unique<SDR_UNDO_STEP>(this, SDR_UNDO_STEP::CREATION);
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

SDR_INSTANCE_SNAPSHOT SDR_UNDO_HISTORY::capture() const
{
    SDR_INSTANCE_SNAPSHOT snapshot;
    snapshot.instance = m_instance->m_state;
    // Taken twice for every key typed in a flow: the lists are sized once, not grown.
    size_t triggers = 0;
    for (const auto& set : m_instance->m_signal_sets)
        triggers += set->m_triggers.size();
    snapshot.signal_sets.reserve(m_instance->m_signal_sets.size());
    snapshot.triggers.reserve(triggers);
    for (const auto& set : m_instance->m_signal_sets) {
        snapshot.signal_sets.push_back(set->m_state);
        for (const auto& trigger : set->m_triggers) {
            snapshot.triggers.push_back(trigger->m_state);
            if (trigger->m_state_machine_object != nullptr)
                snapshot.state_machines.emplace_back(trigger->m_state_machine_object,
                                                     trigger->m_state_machine_object->get_undo_state());
            for (const auto& log : trigger->m_logs)
                snapshot.log_names.emplace_back(log.get(), log->m_name);
        }
    }
    for (const auto& group : m_instance->m_plugin_groups)
        snapshot.plugin_groups.emplace_back(group.get(), *group);
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
    for (const auto& entry : snapshot.log_names) {
        entry.first->m_name = entry.second;
        if (entry.first->get_trigger() != nullptr)
            entry.first->get_trigger()->m_log_names.forget();
    }
    for (const auto& entry : snapshot.state_machines)
        entry.first->set_undo_state(entry.second);
    for (const auto& entry : snapshot.plugin_groups) {
        // The live plug-in handle is not document data: keep it across the restore.
        void* handle = entry.first->get_table_handle();
        *entry.first = entry.second;
        entry.first->set_table_handle(handle);
    }
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
