#!/usr/bin/env bash
# The structure check on copies of sld/ with one include or a few lines planted in each: a row
# that breaks the layering, defines a load-time global outside the statics file or declares a
# member function without a body must fail and name the planted file; a row the rules allow
# must pass.
set -euo pipefail
project=$1
check="$project/scripts/check-structure"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
# Checks one planted copy: $1 the row's name, $2 the planted file, $3 fail or pass.
check_row() {
  local name=$1 file=$2 expected=$3 status=0 output
  output=$(bash "$check" "$work" 2>&1) || status=$?
  if [ "$expected" = fail ]; then
    if [ "$status" -ne 1 ] || ! grep -q "^sld/sedq/$file:" <<<"$output"; then
      echo "FAIL $name: expected exit 1 naming sld/sedq/$file, got $status:"
      echo "$output"
      failures=$((failures + 1))
    fi
  elif [ "$status" -ne 0 ]; then
    echo "FAIL $name: expected a pass, got $status:"
    echo "$output"
    failures=$((failures + 1))
  fi
}
fresh_copy() {
  rm -rf "$work/sld"
  mkdir -p "$work/sld"
  cp -r "$project/sld/sedq" "$work/sld/"
}

# name | file under sld/sedq | planted lines (\n between lines) | expected: fail or pass
while IFS='|' read -r name file lines expected; do
  [ -n "$name" ] || continue
  fresh_copy
  printf '%b\n' "$lines" >>"$work/sld/sedq/$file"
  check_row "$name" "$file" "$expected"
done <<'ROWS'
model includes the view|model/sedq_number.cpp|#include "sedq/view/sedq_view.h"|fail
model includes its window|model/sedq_tx_manager.cpp|#include "sedq/frame/sedq_frame_wnd.h"|fail
model header includes the pane layout|model/sedq_tx_manager.h|#include "sedq/frame/sedq_layout_widget.h"|fail
model includes the run callback of the frame|model/sedq_tx_manager_acquisition.cpp|#include "sedq/frame/sedq_control_cmd_ela_int.h"|fail
load-time statics include a frame class|model/sedq_globals.cpp|#include "sedq/frame/sedq_frame_wnd.h"|pass
model includes the canvas|model/sedq_tx_manager_advanced.cpp|#include "sedq/advanced_trigger/sedq_object_widget.h"|fail
stored object includes the canvas|advanced_trigger/sedq_property.cpp|#include "sedq/advanced_trigger/sedq_object_widget.h"|fail
stored object includes the model|advanced_trigger/sedq_object.h|#include "sedq/model/sedq_tx_manager.h"|fail
canvas includes the state flow|advanced_trigger/sedq_object_widget.cpp|#include "sedq/state_flow/sedq_state_widget.h"|fail
pane includes the model's writable repository|view/sedq_view.cpp|#include "sedq/model/sedq_repository.h"|fail
Tcl command includes the model's writable repository|tcl/sedq_tcl.cpp|#include "sedq/model/sedq_repository.h"|fail
model includes its writable repository|model/sedq_number.cpp|#include "sedq/model/sedq_repository.h"|pass
library includes a test seam|view/sedq_view.cpp|#include "host/standin/msg_control.h"|fail
view asks the frame window|view/sedq_view_update.cpp|#include "sedq/frame/sedq_frame_wnd.h"|pass
model uses a stored object|model/sedq_number.cpp|#include "sedq/advanced_trigger/sedq_object.h"|pass
precondition checks include the model|model/sedq_verify.h|#include "sedq/model/sedq_tx_manager.h"|fail
value types include a model header|model/sedq_types.h|#include "sedq/model/sedq_lock_mode.h"|fail
pane defines a global text|view/sedq_view.cpp|const QString SEDQ_VIEW_PLANTED = QString::fromLatin1("x");|fail
class static text outside the statics|frame/sedq_frame_wnd.cpp|const QString SEDQ_FRAME_WND::PLANTED = QStringLiteral("x");|fail
a file keeps its own text|view/sedq_view.cpp|namespace\n{\nconst QString PLANTED = QStringLiteral("x");\n} // namespace|pass
member function without a body|frame/sedq_layout_widget.h|class SEDQ_PLANTED\n{\npublic:\n    int current_instance() const;\n};|fail
destructor without a body|model/sedq_types.h|struct SEDQ_PLANTED\n{\n    ~SEDQ_PLANTED();\n};|fail
a signal needs no body|model/sedq_tx_manager.h|class SEDQ_PLANTED : public QObject\n{\nQ_SIGNALS:\n    void planted(int n);\n};|pass
ROWS
[ "$failures" -eq 0 ] && echo "planted violations: all rows as expected"
exit "$failures"
