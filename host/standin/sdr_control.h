#pragma once
// Test seams of the analyzer data repository: build a document in code, dump it as text, compare
// two documents; counters of brackets, undo steps, saves, opens and tree-object calls; fault
// injection; scripted flow-check verdicts. Library code never includes this header.

#include "host/sdr.h"

#include <map>
#include <string>
#include <vector>

namespace standin::sdr
{
// ---- building documents -------------------------------------------------------------------

// A new data session (not registered) with `instances` default instances.
std::unique_ptr<SDR_DATA_SESSION> make_session(const std::string& name, int instances = 1);

// Leaf row for add_node; defaults as a node added by the editor.
struct node_spec
{
    std::string name;
    SDR_DATA_SIGNAL_TYPE signal_type = SDR_STYPE_PLAIN;
    SDR_DATA_WIRE_CAPTURE_TYPE capture = SDR_WTYPE_DATA_AND_TRIGGER;
    SDR_DATA_WIRE_TAP_MODE tap = SDR_TAP_PRE_SYNTHESIS;
    std::string alias;
};

// Appends a leaf row to the trigger list (and a linked row to the data list of the trigger's
// signal set when the capture type takes data). Returns the trigger-list row index. Not an edit:
// counts nothing and records no undo step.
int add_node(SDR_DATA_TRIGGER* trigger, const node_spec& desc);
// Makes rows first..last of the trigger list members of a new group row inserted before `first`.
// Returns the group row index, -1 for a bad range. Not an edit.
int add_group(SDR_DATA_TRIGGER* trigger, int first, int last, const std::string& name,
              SDR_DATA_GROUP_DISPLAY_TYPE radix = SDR_GTYPE_HEX);
// Sets the level count (appending default levels; each row's conditions follow). Not an edit.
void set_levels(SDR_DATA_TRIGGER* trigger, int count);
// Recomputes display types, depths and subtree ends of a list in one pass.
void recompute_tree(SDR_NODE_LIST& list);

// Acquired data of make_log. Bit strings hold '0'/'1' per sample (index = sample); rows shorter
// than depth are padded with '0'. Empty validity means "all valid"; empty connection means "all
// connected".
struct log_spec
{
    std::string name;                // "" = next free "log_<n>"
    int depth = 0;
    std::vector<std::string> channels;
    std::string valid;
    std::string trigger;
    std::string breaks;
    std::vector<bool> connected;
    int segment_size = 0;
    int trigger_position = -1;
    std::vector<int> segment_trigger_positions;
    int state_value = -1;
    std::vector<unsigned char> flags;
    std::vector<unsigned> counters;
    bool power_up = false;
};

// Appends a log with that payload to the trigger and makes it the active log of the normal (or
// power-up) entry. Not an edit.
SDR_DATA_LOG* make_log(SDR_DATA_TRIGGER* trigger, const log_spec& desc);
// The packed payload of a log description (for the acquisition engine and benchmarks).
std::shared_ptr<const SDR_LOG_PAYLOAD> make_payload(const log_spec& desc);

// ---- inspecting documents -------------------------------------------------------------------

// Every persistent field of the session as text, one "path: value" line each, in a stable order.
// Transient marks (selection, validity) and tree-object handles are left out; stored trees are in.
std::string dump_document(const SDR_DATA_SESSION& session);
// "" when the two dumps are equal, otherwise the first differing line of each.
std::string compare_documents(const SDR_DATA_SESSION& a, const SDR_DATA_SESSION& b);

// ---- counters -------------------------------------------------------------------------------

struct counters
{
    int brackets_opened = 0;
    int brackets_closed = 0;
    int unbalanced_ends = 0;         // end_action without begin_action
    int unbalanced_at_close = 0;     // brackets still open when a session closed
    int undos = 0;
    int redos = 0;
    int saves = 0;                   // successful save_session calls
    int opens = 0;                   // successful open_session calls
    std::map<std::string, int> tree_calls; // by operation name: "create_child_object", ...
};
const counters& get_counters();

// ---- fault injection ------------------------------------------------------------------------

void fail_next_save();
void fail_next_create_new_log();
void fail_rename_stripped(bool fail);
// Operations named here refuse (answer false / do nothing): "set_node_alias", any setter name
// the node lists check with is_write_refused.
void refuse_write(const std::string& operation, bool refuse = true);
bool is_write_refused(const std::string& operation);

// ---- scripted flow check --------------------------------------------------------------------

void set_flow_error(bool error, const std::string& message, int line);
void clear_flow_error();
// True when a verdict is scripted; then fills the three outputs.
bool scripted_flow_error(bool* error, std::string* message, int* line);

// ---- file-flag fixtures ---------------------------------------------------------------------

// Marks an instance as written by a newer / an older version (is_newer_version and friends).
void set_instance_version_state(SDR_DATA_INSTANCE* instance, bool newer, bool older);
void set_stripped(SDR_DATA_SESSION* session, const std::string& original_name);
void set_incremental_route(SDR_DATA_INSTANCE* instance, bool available, bool used);

void reset();

// Used by the repository itself to keep the counters; tests only read them.
namespace detail
{
void count_bracket_opened();
void count_bracket_closed();
void count_unbalanced_end();
void count_unbalanced_at_close(int open);
void count_undo();
void count_redo();
void count_save();
void count_open();
void count_tree_call(const std::string& operation);
bool take_save_failure();
bool take_create_log_failure();
bool rename_stripped_fails();
} // namespace detail
} // namespace standin::sdr
