// SEDQ_OBJECT_WIDGET: deep copies of object lists and what is built on them: the clipboard,
// the undo snapshots, and the names that keep every object apart.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/sdr/sdr_file_limits.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"

#include <QCursor>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <vector>

void SEDQ_OBJECT_WIDGET::clone_array(QList<SEDQ_OBJECT*>* dest, const QList<SEDQ_OBJECT*>& source,
                                     SEDQ_OBJECT* target)
{
    SEDQ_OBJECT* bus = nullptr;
    for (const SEDQ_OBJECT* root : source)
    {
        if (!root->is_root())
            continue;
        auto* copy = new SEDQ_OBJECT(get_copy(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
        copy->clone(*root, dest, nullptr);
        dest->append(copy);
        if (target != nullptr)
        {
            target->attach(copy, true);
            target->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
            bus = fix_illegal_connection(target, copy, bus);
        }
    }
}

void SEDQ_OBJECT_WIDGET::free_array(QList<SEDQ_OBJECT*>* list)
{
    SEDQ_OBJECT::delete_objects(*list);
    list->clear();
}

QPoint SEDQ_OBJECT_WIDGET::cursor_position() const
{
    QPoint point = mapFromGlobal(QCursor::pos());
    client_to_zoom(&point);
    return point;
}

// ---- the clipboard ---------------------------------------------------------------------------

// The selection with what its collapsed objects hide, each copy remembering where it stood
// from the anchor; the visible inputs of an open object stay out unless selected themselves.
void SEDQ_OBJECT_WIDGET::copy(QPoint* anchor)
{
    free_array(&m_clipboard);
    if (m_object_list == nullptr)
        return;
    const QPoint from = anchor != nullptr ? *anchor : cursor_position();
    clone_array(&m_clipboard, *m_object_list, nullptr);
    delete_unselected_objects(&m_clipboard);
    for (SEDQ_OBJECT* object : m_clipboard)
        if (object->is_root())
            object->start_drag(from);
    for (SEDQ_OBJECT* object : m_clipboard)
        object->end_drag();
}

void SEDQ_OBJECT_WIDGET::cut(QPoint* anchor)
{
    copy(anchor);
    delete_selected_objects(nullptr);
    save_undo_state(true);
}

// The clipboard keeps what it holds: Paste can be repeated. Like a drop, a paste onto an object
// whose inputs are all taken is refused.
void SEDQ_OBJECT_WIDGET::paste(QPoint* at)
{
    if (m_object_list == nullptr || at == nullptr)
        return;
    SEDQ_OBJECT* target = hit_test(*at);
    if (target != nullptr && !has_free_input(*target))
        return;
    select(nullptr);
    for (SEDQ_OBJECT* object : m_clipboard)
        object->on_mouse_move(*at);
    delete_duplicate_names(&m_clipboard);
    const int first_pasted = m_object_list->size();
    clone_array(m_object_list, m_clipboard, target);
    // Pasted onto empty canvas, the copies stand where the user put them.
    QSet<const SEDQ_OBJECT*> placed;
    for (int i = first_pasted; i < m_object_list->size(); ++i)
        if (m_object_list->at(i)->is_root())
            placed.insert(m_object_list->at(i));
    generate_names_for_unnamed_objects();
    arrange_objects_keeping(placed);
    update();
    save_undo_state(true);
    resizeEvent(nullptr);
}

// The copies of the Result and the incremental-routing condition never enter the clipboard,
// nor do their inputs unless selected. Of the rest the selected objects stay, with what a
// selected collapsed object hides; an unselected object stays out even when a collapsed object
// it does not belong to hides it. Which copies stay is decided from the roots down before any
// goes, since dropping a parent makes its inputs roots.
void SEDQ_OBJECT_WIDGET::delete_unselected_objects(QList<SEDQ_OBJECT*>* list)
{
    QSet<SEDQ_OBJECT*> kept;
    // Each object with whether an object above it takes it along; a stack, not recursion, so
    // that the depth of a condition does not matter.
    std::vector<std::pair<SEDQ_OBJECT*, bool>> pending;
    for (SEDQ_OBJECT* object : *list)
        if (object->is_root())
            pending.emplace_back(object, false);
    while (!pending.empty())
    {
        const auto [object, taken_along] = pending.back();
        pending.pop_back();
        const bool copied = !is_kept_kind(*object) && object->is_selected();
        if (copied || (taken_along && !is_kept_kind(*object)))
            kept.insert(object);
        const bool takes_inputs = taken_along || (copied && !object->is_expanded());
        for (SEDQ_OBJECT* input : object->get_children())
            pending.emplace_back(input, takes_inputs);
    }
    QList<SEDQ_OBJECT*> staying;
    QList<SEDQ_OBJECT*> dropped;
    for (SEDQ_OBJECT* object : *list)
        (kept.contains(object) ? staying : dropped).append(object);
    *list = staying;
    free_array(&dropped);
}

void SEDQ_OBJECT_WIDGET::on_edit_copy()
{
    QPoint anchor = m_last_press;
    client_to_zoom(&anchor);
    copy(&anchor);
    on_update_edit_paste();
}

// The frame routes Cut here whatever the canvas's rule said; with nothing to cut it is no edit.
void SEDQ_OBJECT_WIDGET::on_edit_cut()
{
    if (!is_selected() || is_read_only_selection())
        return;
    cut(nullptr);
    on_update_edit_paste();
}

// The frame routes Paste here whatever the canvas's rule said; a paste follows the drop's rule.
void SEDQ_OBJECT_WIDGET::on_edit_paste()
{
    if (m_clipboard.isEmpty() || is_disabled() || !is_unlocked())
        return;
    QPoint at = m_last_press;
    client_to_zoom(&at);
    paste(&at);
}

// ---- names -----------------------------------------------------------------------------------

// Node names are signal paths and may repeat.
void SEDQ_OBJECT_WIDGET::delete_duplicate_names(QList<SEDQ_OBJECT*>* list)
{
    if (m_object_list == nullptr)
        return;
    QSet<QString> taken;
    for (const SEDQ_OBJECT* object : *m_object_list)
        if (object->get_type() != SEDQ_OBJECT::NODE)
            taken.insert(object->get_name());
    for (int i = list->size() - 1; i >= 0; --i)
        if (taken.contains(list->at(i)->get_name()))
            list->at(i)->get_property().set(SEDQ_PROPERTY::NAME, QString());
}

namespace
{
// An unnamed object of a kind with a word of its own, other than the Result.
bool needs_name(const SEDQ_OBJECT* object)
{
    const SEDQ_OBJECT::SEDQ_OBJECT_TYPE type = object->get_type();
    return object->get_name().isEmpty() && type != SEDQ_OBJECT::LEVEL_RESULT &&
           *SEDQ_OBJECT::KINDS[type].name != '\0';
}
} // namespace

// The taken names are gathered once, and within one call a word's search resumes after the
// number it gave last (names are only added meanwhile, so nothing smaller has come free):
// naming n objects stays linear. Kinds without a word of their own (a Node, an unknown
// object) and the Result keep their names. When every object keeps its name (after most
// dialogs), the names are not gathered at all.
void SEDQ_OBJECT_WIDGET::generate_names_for_unnamed_objects()
{
    if (m_object_list == nullptr || std::none_of(m_object_list->cbegin(), m_object_list->cend(), needs_name))
        return;
    QSet<QString> taken;
    for (const SEDQ_OBJECT* object : *m_object_list)
        taken.insert(object->get_name());
    QHash<QString, int> next_number;
    for (int i = m_object_list->size() - 1; i >= 0; --i)
    {
        SEDQ_OBJECT* object = m_object_list->at(i);
        if (!needs_name(object))
            continue;
        const QString word = QString::fromLatin1(SEDQ_OBJECT::KINDS[object->get_type()].name);
        int n = next_number.value(word, 0);
        QString candidate = word + QStringLiteral("_%1").arg(n);
        while (taken.contains(candidate))
            candidate = word + QStringLiteral("_%1").arg(++n);
        next_number.insert(word, n + 1);
        object->get_property().set(SEDQ_PROPERTY::NAME, candidate);
        taken.insert(candidate);
    }
}

bool SEDQ_OBJECT_WIDGET::is_unique_name(const QString& name) const
{
    if (m_object_list == nullptr)
        return true;
    for (const SEDQ_OBJECT* object : *m_object_list)
        if (object->get_name() == name)
            return false;
    return true;
}

// ---- undo snapshots --------------------------------------------------------------------------

void SEDQ_OBJECT_WIDGET::save_undo_state(bool modified)
{
    if (m_undo_list == nullptr || m_object_list == nullptr || refuse_too_deep())
        return;
    auto* snapshot = new QList<SEDQ_OBJECT*>;
    clone_array(snapshot, *m_object_list, nullptr);
    if (m_undo_position != -1)
        while (m_undo_list->size() > m_undo_position + 1)
        {
            QList<SEDQ_OBJECT*>* last = m_undo_list->takeLast();
            free_array(last);
            delete last;
        }
    m_undo_list->append(snapshot);
    drop_oldest_steps();
    m_undo_position = m_undo_list->size() - 1;
    m_tx->set_undo_position(m_undo_position);
    // A change of layout only (Expand, Collapse) is kept for Undo but leaves the document as
    // it was: telling the model would mark it.
    if (m_undo_position != 0 && modified)
    {
        const SEDQ_EDIT_SCOPE edit(m_tx, SEDQ_CHECK_COMPILATION);
        m_tx->update_advanced_modified_flag(true, true);
    }
    on_update_edit_undo();
    on_update_edit_redo();
}

// Every change of the objects ends in a snapshot, so the depth of a condition is checked here:
// a change that nests it deeper than a condition may be is taken back, with the reason.
bool SEDQ_OBJECT_WIDGET::refuse_too_deep()
{
    if (sedq_condition_depth(*m_object_list) <= SDR_FILE_LIMITS::MAX_CONDITION_DEPTH || m_undo_position < 0 ||
        m_undo_position >= m_undo_list->size())
        return false;
    restore_snapshot(m_undo_position);
    sedq_show_message(MSG_SEDQ::O::CONDITION_TOO_DEEP(SDR_FILE_LIMITS::MAX_CONDITION_DEPTH));
    return true;
}

// The history keeps the condition as it was first shown and the editor's number of undo steps
// after it: older steps are let go (Undo then goes from the oldest kept step straight back to
// the first state), so that a long session does not keep every scene it ever showed.
void SEDQ_OBJECT_WIDGET::drop_oldest_steps()
{
    const int kept = qMax(1, m_tx->get_max_undo_steps()) + 1;
    while (m_undo_list->size() > kept)
    {
        QList<SEDQ_OBJECT*>* oldest = m_undo_list->takeAt(1);
        free_array(oldest);
        delete oldest;
    }
}

void SEDQ_OBJECT_WIDGET::restore_snapshot(int position)
{
    if (m_undo_list == nullptr || m_object_list == nullptr || position < 0 || position >= m_undo_list->size())
        return;
    m_error_object = nullptr;
    free_array(m_object_list);
    clone_array(m_object_list, *m_undo_list->at(position), nullptr);
    m_undo_position = position;
    m_tx->set_undo_position(position);
    // The bars place the drawing by its bounds, which the snapshot's positions change.
    resizeEvent(nullptr);
    update();
    {
        const SEDQ_EDIT_SCOPE edit(m_tx, SEDQ_CHECK_COMPILATION);
        m_tx->update_advanced_modified_flag(true, position > 0);
    }
    on_update_edit_undo();
    on_update_edit_redo();
}

void SEDQ_OBJECT_WIDGET::on_edit_undo()
{
    restore_snapshot(m_undo_position - 1);
}

void SEDQ_OBJECT_WIDGET::on_edit_redo()
{
    restore_snapshot(m_undo_position + 1);
}
