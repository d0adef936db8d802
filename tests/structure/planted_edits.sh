#!/usr/bin/env bash
# The edit check itself: each planted line (\n splits it), added to its own copy of a view source
# in a copy of the library, must be reported at its first line (or, for a model call, must not
# be), by file, line and reason.
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
  "call split over two lines|void planted(SDR_TX_SIGNAL_NODES* nodes) { nodes\\n    ->set_node_inverted(0, true); }|repository written past the model (set_node_inverted)"
  "declaration split over two lines|void planted(SDR_TX_SIGNAL_NODES*\\n    nodes) { nodes->set_node_inverted(0, true); }|repository written past the model (set_node_inverted)"
  "pointer through a type alias|using NODES = SDR_TX_SIGNAL_NODES; void planted(NODES* nodes) { nodes->set_node_inverted(0, true); }|repository written past the model (set_node_inverted)"
  "generic lambda taking auto*|void planted(SDR_TX_SIGNAL_NODES* n) { [](auto* nodes) { nodes->set_node_inverted(0, true); }(n); }|repository written past the model (set_node_inverted)"
  "const taken off the session|void planted(SEDQ_TX_MANAGER* m) { const_cast<SDR_TX_SESSION*>(m->get_tx_session())->set_global_data(\"k\", 1); }|const taken off a repository object (const_cast)"
  "const taken off through a type alias|using TRIGGER = SDR_TX_TRIGGER; void planted(const TRIGGER* t) { const_cast<TRIGGER*>(t)->set_num_levels(2); }|const taken off a repository object (const_cast)"
  "const taken off a node list split over two lines|void planted(SEDQ_TX_MANAGER* m) { auto* nodes = const_cast<\n    SDR_TX_SIGNAL_NODES*>(m->get_nodes(-1)); (void)nodes; }|const taken off a repository object (const_cast)"
  "write through a pointer member of a read-only log|void planted(const SDR_DATA_LOG* log) { log->m_signal_set->set_name(\"x\"); }|repository written past the model (set_name)"
  "write through an element of a read-only session's owning list|void planted(const SDR_DATA_SESSION* session) { session->m_instances[0]->set_name(\"x\"); }|repository written past the model (set_name)"
  "field written through a pointer member of a read-only log|void planted(const SDR_DATA_LOG* log) { log->m_signal_set->m_name = \"x\"; }|repository field written past the model (m_name)"
  "field counted up through a pointer member|void planted(const SDR_DATA_LOG* log) { log->m_signal_set->m_count += 1; }|repository field written past the model (m_count)"
  "member of a field's element set through a pointer member|void planted(const SDR_DATA_LOG* log) { log->m_signal_set->m_levels[0].type = 2; }|repository field written past the model (m_levels)"
  "field of a getter's result set|void planted(const SDR_DATA_TRIGGER* t) { t->get_instance()->m_name = \"x\"; }|repository field written past the model (m_name)"
  "a pane's comparison of a field|void planted(const SDR_DATA_LOG* log) { bool same = log->m_signal_set->m_name == \"x\"; (void)same; }|"
  "const cast of a pane's own object|void planted(const QWidget* w) { const_cast<QWidget*>(w)->update(); }|"
  "generic lambda calling a model setter|void planted(SEDQ_TX_MANAGER* m) { [](auto* model) { model->set_sample_depth(QString()); }(m); }|"
)

root=$work/root
mkdir -p "$root"
ln -s "$source_root/host" "$root/host"
cp -r "$source_root/sld" "$root/sld"
# Each case planted at the end of its own copy of a view source; the check runs once over all.
view=sld/sedq/view
plants=()
for i in "${!cases[@]}"; do
  IFS='|' read -r _ line _ <<<"${cases[$i]}"
  target=$view/planted_$i.cpp
  cp "$source_root/$view/sedq_view_commands.cpp" "$root/$target"
  plants+=("$target:$(($(wc -l <"$root/$target") + 1))")
  printf '%b\n' "$line" >>"$root/$target"
done
set +e
output=$(bash "$check" "$root" 2>&1)
status=$?
set -e
[ "$status" -eq 1 ] || { echo "FAILED: expected exit 1, got $status:"; echo "$output"; failures=$((failures + 1)); }
for i in "${!cases[@]}"; do
  IFS='|' read -r name _ reason <<<"${cases[$i]}"
  if [ -n "$reason" ]; then
    expected="${plants[$i]}: $reason"
    if ! grep -qF "$expected" <<<"$output"; then
      echo "FAILED $name: expected \"$expected\""
      failures=$((failures + 1))
    fi
  elif grep -qF "$view/planted_$i.cpp:" <<<"$output"; then
    echo "FAILED $name: expected no report, got:"
    grep -F "$view/planted_$i.cpp:" <<<"$output"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || echo "$output"
[ "$failures" -eq 0 ] && echo "planted violations: all ${#cases[@]} cases as expected"
exit "$failures"
