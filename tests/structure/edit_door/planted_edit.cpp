// A pane's source with one planted way around the edit door, chosen by PLANTED_CASE. Every
// case but the allowed one must fail to compile: the modified mark and the close of an edit
// bracket are the edit scope's alone, however the call is spelled.
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"

void planted(SEDQ_TX_MANAGER* manager)
{
#if PLANTED_CASE == 0 // allowed: an edit through the scope and a model setter, and a read
    const SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
    manager->set_instance_enabled(SEDQ_CURRENT, !manager->instance_is_enabled(SEDQ_CURRENT));
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
#endif
}
