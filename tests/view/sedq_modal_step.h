#pragma once
// Acting on a modal dialog that a command opens, without waiting on it: the host's modal
// responder runs a Tcl command on the dialog's first event-loop turn; that command hands the
// dialog to the test's step, and the responder then accepts it (or rejects it when it refuses).

#include "host/atcl.h"
#include "host/qui.h"
#include "host/standin/tst_control.h"

#include <QApplication>
#include <QDialog>

#include <functional>

inline std::function<void()>& modal_step_function()
{
    static std::function<void()> step;
    return step;
}

inline int modal_step_command(ClientData, Tcl_Interp*, int, const char**)
{
    std::function<void()> step;
    step.swap(modal_step_function());
    if (step)
        step();
    return TCL_OK;
}

// `step` receives the next modal dialog as DIALOG (null when it is of another class).
template <class DIALOG> void on_next_modal(std::function<void(DIALOG*)> step)
{
    standin::tst::set_regtest_mode(true);
    Tcl_CreateCommand(atcl_get_interpreter(), "sedq_test_modal_step", modal_step_command, nullptr, nullptr);
    modal_step_function() = [step] { step(qobject_cast<DIALOG*>(QApplication::activeModalWidget())); };
    qui_prepare_for_modal_dlg_if_in_test("sedq_test_modal_step", 0);
}
