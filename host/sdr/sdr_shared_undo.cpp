// SDR_SHARED_UNDO: who may change a mnemonic table, which step records it, and whether a step's
// table changes can be undone or redone now.

#include "host/sdr/sdr_shared_undo.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file_limits.h"

#include "host/msg.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_undo_history.h"
#include "host/sdr/sdr_verify.h"

#include <algorithm>

void SDR_UNDO_REFUSAL::show() const
{
    if (format == nullptr)
        return;
    MSG_O message;
    message.fill_args(format, first.c_str(), second.c_str());
    message.show();
}

SDR_SHARED_UNDO::SDR_SHARED_UNDO(SDR_DATA_SESSION* session) : m_session(session) {}

SDR_SHARED_UNDO::~SDR_SHARED_UNDO() = default;

void SDR_SHARED_UNDO::bracket_opened(SDR_UNDO_HISTORY* history)
{
    m_open.push_back(history);
}

void SDR_SHARED_UNDO::bracket_closed(SDR_UNDO_HISTORY* history)
{
    auto it = std::find(m_open.begin(), m_open.end(), history);
    if (it != m_open.end())
        m_open.erase(it);
}

// The first bracket opened records everything until it closes, so the changes of one table never
// interleave between two open steps.
SDR_UNDO_HISTORY* SDR_SHARED_UNDO::recorder()
{
    for (SDR_UNDO_HISTORY* history : m_open)
        if (history->is_attached())
            return history;
    return nullptr;
}

bool SDR_SHARED_UNDO::has_room(bool entries, qint64 more, const QByteArray& first_text, const QByteArray& second_text)
{
    QString problem;
    const SDR_FILE_ELEMENT element = entries ? SDR_FILE_ELEMENT::TABLE_ENTRY : SDR_FILE_ELEMENT::TABLE;
    const char* first = entries ? "the mnemonic symbol" : "the mnemonic table name";
    return SDR_DATA_MANAGER::text_fits(first_text.toStdString(), first) &&
           SDR_DATA_MANAGER::text_fits(second_text.toStdString(), "the mnemonic pattern") &&
           (SDR_FILE_LIMITS::has_room(*m_session, element, more, &problem) || SDR_DATA_MANAGER::refuse(problem));
}

bool SDR_SHARED_UNDO::before_table_change(const QByteArray& name)
{
    SDR_UNDO_HISTORY* history = recorder();
    if (history == nullptr) {
        // Without an editing session there is no history to keep it (a file being read, a
        // document opened only to import from): the change is simply permanent.
        if (m_session->m_tx_user != nullptr)
            return sdr_verify(false, "a mnemonic table changes only inside an edit bracket", __FILE__, __LINE__);
        note_permanent_change(name);
        return true;
    }
    SDR_UNDO_STEP* step = history->open_step();
    // Nobody else can write the table while the recorder's bracket is open (other steps wait
    // while it is on top), so a table this step already wrote has its mark on top.
    if (top_of(name) == step->mark)
        return true;
    SDR_TABLE_CHANGE change;
    change.name = name;
    change.before = m_session->m_mnemonics.table_state(name);
    change.below = top_of(name);
    step->tables.push_back(std::move(change));
    push(name, step->mark);
    return true;
}

// The changes kept move down in one pass: a step may have rewritten tens of thousands of tables
// as they were.
void SDR_SHARED_UNDO::finish(SDR_TABLE_CHANGES* changes, const SDR_STEP_MARK_PTR& mark)
{
    const auto unchanged = [this, &mark](SDR_TABLE_CHANGE& change) {
        change.after = m_session->m_mnemonics.table_state(change.name);
        if (change.after != change.before)
            return false;
        // Nobody else wrote the table while this bracket was open, so the mark is on top.
        STACK& stack = m_writers[change.name];
        if (!stack.empty() && stack.back() == mark)
            stack.pop_back();
        if (stack.empty())
            m_writers.erase(change.name);
        return true;
    };
    changes->erase(std::remove_if(changes->begin(), changes->end(), unchanged), changes->end());
}

bool SDR_SHARED_UNDO::is_live(const SDR_STEP_MARK_PTR& mark)
{
    return mark && mark->history != nullptr && mark->history->is_attached();
}

std::string SDR_SHARED_UNDO::instance_of(const SDR_STEP_MARK_PTR& mark)
{
    return is_live(mark) ? mark->history->instance_name() : std::string();
}

const SDR_SHARED_UNDO::STACK* SDR_SHARED_UNDO::stack_of(const QByteArray& name) const
{
    auto it = m_writers.find(name);
    return it != m_writers.end() ? &it->second : nullptr;
}

SDR_STEP_MARK_PTR SDR_SHARED_UNDO::top_of(const QByteArray& name) const
{
    const STACK* stack = stack_of(name);
    return stack != nullptr && !stack->empty() ? stack->back() : SDR_STEP_MARK_PTR();
}

// Pushes a writer and folds every run of permanent writers into its newest one: only the live
// writers above a step and the identity of the top are ever asked, so the stack stays as small
// as the live steps that wrote the table.
void SDR_SHARED_UNDO::push(const QByteArray& name, const SDR_STEP_MARK_PTR& mark)
{
    STACK& stack = m_writers[name];
    stack.push_back(mark);
    STACK folded;
    folded.reserve(stack.size());
    for (size_t i = 0; i < stack.size(); ++i) {
        const bool run_goes_on = i + 1 < stack.size() && !is_live(stack[i]) && !is_live(stack[i + 1]);
        if (!run_goes_on)
            folded.push_back(stack[i]);
    }
    stack.swap(folded);
}

void SDR_SHARED_UNDO::note_permanent_change(const QByteArray& name)
{
    if (stack_of(name) != nullptr)
        push(name, std::make_shared<SDR_STEP_MARK>());
}

int SDR_SHARED_UNDO::writer_count(const QByteArray& name) const
{
    const STACK* stack = stack_of(name);
    return stack != nullptr ? static_cast<int>(stack->size()) : 0;
}

SDR_SHARED_UNDO::PLAN SDR_SHARED_UNDO::plan(const SDR_TABLE_CHANGES& changes, const SDR_STEP_MARK_PTR& mark,
                                            bool undo) const
{
    PLAN result;
    for (size_t i = 0; i < changes.size(); ++i) {
        bool apply = false;
        result.refusal = undo ? plan_undo(changes[i], mark, &apply) : plan_redo(changes[i], &apply);
        if (!result.refusal.empty())
            return result;
        (apply ? result.apply : result.give_up).push_back(i);
    }
    return result;
}

SDR_UNDO_REFUSAL SDR_SHARED_UNDO::plan_undo(const SDR_TABLE_CHANGE& change, const SDR_STEP_MARK_PTR& mark,
                                            bool* apply) const
{
    const STACK* stack = stack_of(change.name);
    const size_t size = stack != nullptr ? stack->size() : 0;
    size_t position = size;
    for (size_t i = size; i-- > 0;)
        if ((*stack)[i] == mark) {
            position = i;
            break;
        }
    for (size_t i = size; position < size && i-- > position + 1;)
        if (is_live((*stack)[i]))
            return {"Cannot undo this step: mnemonic table \"%1!s!\" was changed later in instance \"%2!s!\". "
                    "Undo that change first./OSDR_UNDO_TABLE_CHANGED_LATER",
                    change.name.toStdString(), instance_of((*stack)[i])};
    // Anything else than "this step wrote the table last" keeps the table as it is.
    *apply = position + 1 == size && m_session->m_mnemonics.table_state(change.name) == change.after;
    return {};
}

SDR_UNDO_REFUSAL SDR_SHARED_UNDO::plan_redo(const SDR_TABLE_CHANGE& change, bool* apply) const
{
    const SDR_STEP_MARK_PTR top = top_of(change.name);
    if (top == change.below) {
        *apply = m_session->m_mnemonics.table_state(change.name) == change.before;
        return {};
    }
    if (is_live(top))
        return {"Cannot redo this step: mnemonic table \"%1!s!\" was changed in instance \"%2!s!\" after this step "
                "was undone. Undo that change first./OSDR_REDO_TABLE_CHANGED_SINCE",
                change.name.toStdString(), instance_of(top)};
    // The state the step was made on comes back only through the redo of the step below it.
    if (!top && is_live(change.below))
        return {"Cannot redo this step: mnemonic table \"%1!s!\" needs a change of instance \"%2!s!\" that was "
                "undone. Redo that change first./OSDR_REDO_TABLE_NEEDS_REDO",
                change.name.toStdString(), instance_of(change.below)};
    *apply = false;
    return {};
}

namespace
{
// Order of the puts of one step, so that positions come out right: tables taken away first,
// from the last position to the first (so that none of the others moves: undoing an import of
// many tables takes them from the end), then tables that stay, then tables that come back, by
// their position.
bool put_before(const SDR_MNEMONICS_TABLE_STATE& now_a, const SDR_MNEMONICS_TABLE_STATE& to_a,
                const SDR_MNEMONICS_TABLE_STATE& now_b, const SDR_MNEMONICS_TABLE_STATE& to_b)
{
    auto rank = [](const SDR_MNEMONICS_TABLE_STATE& now, const SDR_MNEMONICS_TABLE_STATE& to) {
        return !to.exists ? 0 : now.exists ? 1 : 2;
    };
    const int a = rank(now_a, to_a);
    const int b = rank(now_b, to_b);
    if (a != b)
        return a < b;
    return a == 0 ? now_a.index > now_b.index : to_a.index < to_b.index;
}
} // namespace

void SDR_SHARED_UNDO::carry_out(const PLAN& plan, SDR_TABLE_CHANGES* changes, const SDR_STEP_MARK_PTR& mark,
                                bool undo)
{
    std::vector<size_t> order = plan.apply;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const SDR_TABLE_CHANGE& x = (*changes)[a];
        const SDR_TABLE_CHANGE& y = (*changes)[b];
        return undo ? put_before(x.after, x.before, y.after, y.before) : put_before(x.before, x.after, y.before, y.after);
    });
    for (size_t i : order) {
        const SDR_TABLE_CHANGE& change = (*changes)[i];
        const bool moved = change.before.exists && change.after.exists && change.before.index != change.after.index;
        if (undo) {
            m_writers[change.name].pop_back();
            if (m_writers[change.name].empty())
                m_writers.erase(change.name);
        } else {
            push(change.name, mark);
        }
        m_session->m_mnemonics.put_table_state(change.name, undo ? change.before : change.after, moved);
    }
    std::vector<char> dropped(changes->size(), 0);
    for (size_t i : plan.give_up) {
        give_up(changes->at(i).name, mark);
        dropped[i] = 1;
    }
    size_t kept = 0;
    for (size_t i = 0; i < changes->size(); ++i)
        if (!dropped[i])
            (*changes)[kept++] = std::move((*changes)[i]);
    changes->resize(kept);
}

// The step's change of that table has become part of a permanent one: the step stays in the
// table's stack only as a permanent writer, so older steps see it as such.
void SDR_SHARED_UNDO::give_up(const QByteArray& name, const SDR_STEP_MARK_PTR& mark)
{
    auto it = m_writers.find(name);
    if (it == m_writers.end())
        return;
    for (SDR_STEP_MARK_PTR& writer : it->second)
        if (writer == mark)
            writer = std::make_shared<SDR_STEP_MARK>();
}
