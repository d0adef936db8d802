// A pane's source with one planted way around the edit door, chosen by PLANTED_CASE. Every
// case but the allowed one must fail to compile: the modified mark and the close of an edit
// bracket are the edit scope's alone, however the call is spelled (cases 1-6, refused on
// access), and the repository reaches a pane read-only: a write through what the model hands
// out, however reached and however spelled (a copy deduced with auto, a range-for, std::swap,
// a member pointer, std::invoke), is refused on const or on access (cases 7-27).
#include "host/sdr.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"

#include <functional>
#include <utility>

// The data log the model shows, read-only as it hands it out.
const SDR_DATA_LOG* shown_log(SEDQ_TX_MANAGER* manager)
{
    const SDR_DATA_LOG* log = nullptr;
    return manager->is_data_available(false, SEDQ_CURRENT, &log) ? log : nullptr;
}

void planted(SEDQ_TX_MANAGER* manager, SEDQ_MNEMONIC_IMPORT_DLG* import, const SEDQ_OBJECT* object)
{
    const SDR_DATA_LOG* shown = shown_log(manager);
    (void)shown;
    (void)import;
    (void)object;
#if PLANTED_CASE == 0 // allowed: an edit through the scope and a model setter, and a read
    const SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
    manager->set_instance_enabled(SEDQ_CURRENT, !manager->instance_is_enabled(SEDQ_CURRENT));
    const SDR_TX_SESSION* session = manager->get_tx_session();
    const SDR_DATA_LOG* log = nullptr;
    if (session != nullptr && manager->is_data_available(false, SEDQ_CURRENT, &log))
        (void)log->get_data_sample_depth();
    (void)(session != nullptr && session->get_num_instances() > 0);
    (void)manager->get_trigger_nodes(SEDQ_CURRENT)->get_num_levels();
#elif PLANTED_CASE == 1 // the window marked modified by hand
    manager->update_modified_flag();
#elif PLANTED_CASE == 2 // the mark set outright
    manager->set_modified_flag(true);
#elif PLANTED_CASE == 3 // a bracket closed by hand
    manager->end_action(SEDQ_CHECK_COMPILATION, SEDQ_CURRENT);
#elif PLANTED_CASE == 4 // a generic lambda that takes the manager as auto*
    [](auto* model) { model->send_modified(); }(manager);
#elif PLANTED_CASE == 5 // through a type alias, the call split over two lines
    using MODEL = SEDQ_TX_MANAGER;
    MODEL* model = manager;
    model
        ->sync_modified_mark();
#elif PLANTED_CASE == 6 // a guard whose destructor closes the bracket by hand
    struct GUARD
    {
        SEDQ_TX_MANAGER* m;
        ~GUARD() { m->end_action(SEDQ_SKIP_COMPILATION_CHECK, SEDQ_CURRENT); }
    } guard{manager};
#elif PLANTED_CASE == 7 // the session written through the model's getter
    manager->get_tx_session()->set_global_data("key", 1);
#elif PLANTED_CASE == 8 // the current instance's undo taken by hand
    manager->get_tx_instance()->undo();
#elif PLANTED_CASE == 9 // a trigger setting written past the model
    manager->get_trigger_nodes(SEDQ_CURRENT)->set_num_levels(2);
#elif PLANTED_CASE == 10 // a node list written by a generic lambda taking auto*
    [](auto* nodes) { nodes->set_node_inverted(0, true); }(manager->get_nodes(SEDQ_CURRENT));
#elif PLANTED_CASE == 11 // a data object reached through a read-only facade
    manager->get_signal_nodes(SEDQ_CURRENT)->get_data_signal_set()->set_sample_depth(64);
#elif PLANTED_CASE == 12 // kept as a writable pointer through a type alias
    using TRIGGER = SDR_TX_TRIGGER;
    TRIGGER* trigger = manager->get_trigger_nodes(SEDQ_CURRENT);
    trigger->set_position(SDR_TPOS_PRE);
#elif PLANTED_CASE == 13 // the shown data log asked for writable
    SDR_DATA_LOG* log = nullptr;
    manager->is_data_available(false, SEDQ_CURRENT, &log);
#elif PLANTED_CASE == 14 // a mnemonic table created in the document's collection
    manager->get_tx_session()->get_data_session()->get_mnemonics()->create_table("planted", 4);
#elif PLANTED_CASE == 15 // the model's own writable accessor
    manager->edit_trigger_nodes(SEDQ_CURRENT)->set_num_levels(2);
#elif PLANTED_CASE == 16 // the session's root tree object asked for a new child
    manager->get_tx_session()->get_root_object()->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
#elif PLANTED_CASE == 17 // an instance of the read-only session renamed
    manager->get_tx_session()->data_instance_at(0)->set_name("planted");
#elif PLANTED_CASE == 18 // the instance of a read-only trigger renamed
    manager->get_trigger_nodes(SEDQ_CURRENT)->get_data_trigger()->get_instance()->set_name("planted");
#elif PLANTED_CASE == 19 // a table created in the file an import dialog reads from
    import->get_source()->get_mnemonics()->create_table("planted", 4);
#elif PLANTED_CASE == 20 // the read-only log's trigger kept in a copy deduced with auto
    auto trigger = shown->get_trigger();
    trigger->set_name("planted");
#elif PLANTED_CASE == 21 // the read-only log's trigger bound writable by a range-for
    for (SDR_DATA_TRIGGER* trigger : {shown->get_trigger()})
        trigger->set_name("planted");
#elif PLANTED_CASE == 22 // a setting of the read-only log's trigger swapped out
    bool expanded = true;
    std::swap(shown->get_trigger()->m_expanded, expanded);
#elif PLANTED_CASE == 23 // the log's owner taken through a member pointer
    SDR_DATA_TRIGGER* SDR_DATA_LOG::*owner = &SDR_DATA_LOG::m_trigger;
    (shown->*owner)->set_name("planted");
#elif PLANTED_CASE == 24 // the writable getter called through a member function pointer
    SDR_DATA_TRIGGER* (SDR_DATA_LOG::*owner)() = &SDR_DATA_LOG::get_trigger;
    (shown->*owner)()->set_name("planted");
#elif PLANTED_CASE == 25 // a setter of the read-only log's trigger called by std::invoke
    std::invoke(&SDR_DATA_TRIGGER::set_name, shown->get_trigger(), "planted");
#elif PLANTED_CASE == 26 // the log's owner named outright
    shown->m_trigger->set_name("planted");
#elif PLANTED_CASE == 27 // a stored condition object's input cut off from a read-only object
    object->get_oldest_child()->set_parent(nullptr);
#endif
}
