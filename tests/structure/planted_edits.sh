#!/usr/bin/env bash
# The edit check itself: each planted line, added to a copy of the library, must be reported
# (or, for a model call, must not be), by file, line and reason.
set -euo pipefail
source_root=$1
check=$source_root/scripts/check-edits
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# name | line planted at the end of a view source | expected reason, empty when allowed
cases=(
  "bracket by hand|void planted(SEDQ_TX_MANAGER* m) { m->begin_action(-1); }|edit bracket opened or closed by hand"
  "bracket closed by hand|void planted(SEDQ_TX_MANAGER* m) { m->end_action(SEDQ_CHECK_COMPILATION, -1); }|edit bracket opened or closed by hand"
  "write on a declared repository object|void planted(SDR_TX_SIGNAL_NODES* nodes) { nodes->set_node_inverted(0, true); }|repository written past the model (set_node_inverted)"
  "write on a getter's result|void planted(SEDQ_TX_MANAGER* m) { m->get_tx_session()->set_global_data(\"k\", 1); }|repository written past the model (set_global_data)"
  "model setter of the same name|void planted(SEDQ_TX_MANAGER* m_tx_manager) { m_tx_manager->set_sample_depth(QString()); }|"
  "repository read|void planted(SDR_TX_SIGNAL_NODES* nodes) { nodes->is_node_inverted(0); }|"
)

root=$work/root
mkdir -p "$root"
ln -s "$source_root/host" "$root/host"
cp -r "$source_root/sld" "$root/sld"
target=$root/sld/sedq/view/sedq_view_commands.cpp
for entry in "${cases[@]}"; do
  IFS='|' read -r name line reason <<<"$entry"
  cp "$source_root/sld/sedq/view/sedq_view_commands.cpp" "$target"
  echo "$line" >>"$target"
  planted=$(wc -l <"$target")
  set +e
  output=$(bash "$check" "$root" 2>&1)
  status=$?
  set -e
  if [ -n "$reason" ]; then
    expected="sld/sedq/view/sedq_view_commands.cpp:$planted: $reason"
    if [ "$status" -ne 1 ] || ! grep -qF "$expected" <<<"$output"; then
      echo "FAILED $name: expected exit 1 and \"$expected\", got exit $status:"
      echo "$output"
      failures=$((failures + 1))
    fi
  elif [ "$status" -ne 0 ]; then
    echo "FAILED $name: expected no report, got exit $status:"
    echo "$output"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "planted violations: all ${#cases[@]} cases as expected"
exit "$failures"
