// Fuzz target of the advanced trigger canvas's commands: each input byte pair is a selection
// step and a command (insert, append, remove, detach, moves, expand, collapse, delete, cut,
// copy, paste, rename, undo, redo) on a generated condition, its dialogs rejected or accepted
// by the input. After every step the graph must be a forest listing each object once with one
// Result and the undo position must lie in the history. Every change a command makes reaches the
// document, which writes the condition's equation again (a change of layout only leaves the
// equation as it was), and each input ends with the canvas painting its scene, whose check
// writes it once more.
//
// The canvas is shown alone, over a model without an editor window: in that window every
// dialog's modal show and hide would visit the window's hundreds of widgets, and its other
// views would follow each change, none of which is the canvas's code. The canvas does not
// paint between the steps: it would repaint inside every dialog's event loop, which costs as
// much as the dialog and finds nothing the paint at the end does not.
//
// Its cost per input is timed on a fixed set of inputs, with scripts/test's sanitizer options
// set, from a copy of the corpus (libFuzzer runs each file once, adds nothing, and stops):
//   perf stat -e task-clock build/fuzz/bin/fuzz_canvas_commands -runs=0 -seed=1 <corpus copy>
// About a quarter of that is libFuzzer's bookkeeping of rare features (entropic scheduling),
// which grows with the features every input reaches, and about a sixth the sanitizers'
// allocator, which records the stack of every allocation and free; profile without the
// sanitizers with -DSEDQ_FUZZ_SANITIZE=OFF.
#include "canvas_fuzz_support.h"
#include "fuzz_run_support.h"

#include "host/standin/qui_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QDialog>
#include <QScrollBar>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

namespace
{
struct EDITOR : SEDQ_FUZZ_CANVAS_PAGE
{
    // The scroll bars stay out of the paint: what they draw is the style's, not the canvas's.
    EDITOR()
    {
        canvas->setUpdatesEnabled(false);
        canvas->get_horizontal_scroll_bar()->setUpdatesEnabled(false);
        canvas->get_vertical_scroll_bar()->setUpdatesEnabled(false);
    }

    SEDQ_OBJECT* add(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent)
    {
        auto* object = new SEDQ_OBJECT(canvas->get_copy(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
        object->set_type(type);
        canvas->get_object_list()->append(object);
        if (parent != nullptr)
        {
            parent->attach(object, true);
            parent->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        }
        return object;
    }

    // A Result over a Logical And of three Comparisons, each of a Bus of two Nodes and a value.
    // On the scene of a Result alone that the window starts with and each input ends with.
    void generate()
    {
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        sedq_fuzz_check(list != nullptr);
        SEDQ_OBJECT* result = list->at(sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT));
        SEDQ_OBJECT* logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result);
        for (int i = 0; i < 3; ++i)
        {
            SEDQ_OBJECT* comparison = add(SEDQ_OBJECT::COMPARISON_OPERATOR, logical);
            SEDQ_OBJECT* bus = add(SEDQ_OBJECT::BUS, comparison);
            add(SEDQ_OBJECT::NODE, bus)->set_name("top|a");
            add(SEDQ_OBJECT::NODE, bus)->set_name("top|b");
            add(SEDQ_OBJECT::BUS_VALUE, comparison);
        }
        canvas->generate_names_for_unnamed_objects();
        canvas->arrange_objects();
        canvas->save_undo_state(true);
    }

    // The objects are looked up in one sorted copy of the list, made once per step: a set
    // would allocate once per object, and a search of the list costs its length per input.
    void check_scene()
    {
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        std::vector<const SEDQ_OBJECT*> listed(list->cbegin(), list->cend());
        std::sort(listed.begin(), listed.end());
        sedq_fuzz_check(std::adjacent_find(listed.cbegin(), listed.cend()) == listed.cend());
        const auto is_listed = [&listed](const SEDQ_OBJECT* object) {
            return std::binary_search(listed.cbegin(), listed.cend(), object);
        };
        int results = 0;
        for (const SEDQ_OBJECT* object : std::as_const(*list))
        {
            results += object->get_type() == SEDQ_OBJECT::LEVEL_RESULT ? 1 : 0;
            int depth = 0;
            for (const SEDQ_OBJECT* up = object->get_parent(); up != nullptr; up = up->get_parent())
                sedq_fuzz_check(++depth <= list->size());
            for (const SEDQ_OBJECT* child : object->get_children())
                sedq_fuzz_check(child->get_parent() == object && is_listed(child));
        }
        sedq_fuzz_check(results == 1);
        sedq_fuzz_check(canvas->get_undo_position() >= 0 &&
                        canvas->get_undo_position() < canvas->get_undo_list()->size());
    }

    // Ends the input: paints the scene it ended with, empties the canvas's clipboard (Copy with
    // nothing selected), drops the answers queued for dialogs that never opened, and puts a new
    // document in place of the edited one, as File > New does, its condition the Result alone
    // with one undo snapshot (not painted: every input would paint the same). The next
    // input then finds the editor as this one did: what it does depends on its own bytes alone,
    // and the records and caches it fills are as they were (an input that ends holding more
    // allocations than it found makes libFuzzer run it again and scan the heap).
    void finish_input()
    {
        // Enabling updates schedules the repaint of the whole canvas, which the window's update
        // request delivers.
        canvas->setUpdatesEnabled(true);
        QCoreApplication::sendPostedEvents(canvas->window(), QEvent::UpdateRequest);
        canvas->setUpdatesEnabled(false);
        for (SEDQ_OBJECT* object : *canvas->get_object_list())
            object->select(false, false, false);
        canvas->copy(nullptr);
        standin::qui::reset();
        reload();
    }
};

EDITOR& editor()
{
    return sedq_fuzz_editor<EDITOR>("fuzz_canvas_commands");
}

void rename(SEDQ_OBJECT_WIDGET* canvas, uint8_t how)
{
    SEDQ_OBJECT* object = canvas->get_selected_item();
    if (object != nullptr)
        canvas->end_rename(object, how % 2 ? QString() : QStringLiteral("alias_%1").arg(how));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SEDQ_FUZZ_RUN run;
    EDITOR& e = editor();
    e.generate();
    void (SEDQ_OBJECT_WIDGET::*const commands[])() = {
        &SEDQ_OBJECT_WIDGET::on_insert,      &SEDQ_OBJECT_WIDGET::on_append,    &SEDQ_OBJECT_WIDGET::on_remove,
        &SEDQ_OBJECT_WIDGET::on_detach,      &SEDQ_OBJECT_WIDGET::on_move_up,   &SEDQ_OBJECT_WIDGET::on_move_down,
        &SEDQ_OBJECT_WIDGET::on_edit_delete, &SEDQ_OBJECT_WIDGET::on_edit_cut,  &SEDQ_OBJECT_WIDGET::on_edit_copy,
        &SEDQ_OBJECT_WIDGET::on_edit_paste,  &SEDQ_OBJECT_WIDGET::on_edit_undo, &SEDQ_OBJECT_WIDGET::on_edit_redo,
        &SEDQ_OBJECT_WIDGET::on_collapse,    &SEDQ_OBJECT_WIDGET::on_expand,    nullptr};
    constexpr size_t COMMANDS = std::size(commands);
    for (size_t i = 0; i + 1 < size && i < 400; i += 2)
    {
        QList<SEDQ_OBJECT*>* list = e.canvas->get_object_list();
        const uint8_t pick = data[i];
        const uint8_t which = data[i + 1];
        // Bit 7 adds to the selection; otherwise the object becomes the only one selected.
        SEDQ_OBJECT* object = list->at(which % list->size());
        if ((which & 0x80) != 0)
            object->select(true, true, false);
        else
            e.canvas->select(object);
        const size_t command = pick % COMMANDS;
        if (commands[command] == &SEDQ_OBJECT_WIDGET::on_insert || commands[command] == &SEDQ_OBJECT_WIDGET::on_append)
            standin::qui::push_dialog_answer("", (pick & 0x80) != 0 ? QDialog::Accepted : QDialog::Rejected);
        if (commands[command] == &SEDQ_OBJECT_WIDGET::on_edit_paste)
            e.canvas->set_last_press_position(QPoint(which * 3, pick * 2));
        if (commands[command] == nullptr)
            rename(e.canvas, which);
        else
            (e.canvas->*commands[command])();
        e.check_scene();
    }
    e.finish_input();
    return 0;
}
