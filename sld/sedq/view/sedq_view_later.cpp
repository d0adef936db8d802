// SEDQ_VIEW: the commands, menu rules and input handlers of the view that are not built yet.
// Each body here is a deliberate no-op (or answers "not possible", which keeps its host action
// disabled), so that no menu entry, button or key reaches unfinished code; the change that
// builds a command moves its body into the source of its concern.
#include "sedq/view/sedq_view.h"

#include <QEvent>

// ---- selection commands and their menu rules -----------------------------------------------------

