#pragma once
// The project fixture: one JSON file per test project ("standin_project.json" in the project
// directory) that opens a project in the stand-ins and describes its design. Sections read so
// far (other sections are left to the stand-ins that need them and ignored here):
//   "project":  {"top_entity" (required), "revision" (default: the top entity), "dir"
//                (default: the fixture's directory), "open" (default true),
//                "incremental_mode" (absent: the host runs without a partition manager),
//                "qhd" (bool), "relayne_supported" (bool), "partial_reconfig" (bool)}; the
//                project's compiled databases are read from "<dir>/db/" (the keypoint files
//                "<revision>.map.kpt" and "<revision>.cmp.kpt", see kpt_control.h)
//   "netlists": {"pre": NETLIST, "post": NETLIST}; a NETLIST is {"case_sensitive" (default
//                true), "assignment_350" (text), "instances": [INSTANCE or GENERATOR ...]}, and
//                "post" may instead copy "pre": {"copy_of": "pre", "add_flags": "0x2000",
//                "instances": [further entries]}
//   INSTANCE:   {"path" ("top|a|b" or "a|b"), "unit", "flags" (number or "0x..."), "kind",
//                "dims" ([[first, second]] or two such pairs: members name[i] (name[i][j]) from
//                the first bound to the second), "stimulus" (see stimulus.h), "location",
//                "entity"}
//   GENERATOR:  {"generate": "bus", "path", "width", "flags"} | {"generate": "tree", "path",
//                "fanout", "depth", "leaf_flags"} | {"generate": "fsm", "path", "states", "flags"}
//   "assignments": [{"var", "value", "args": {"0".."14": text}}]
//   "partitions": [{"id" (0 = top), "path" (short path of the root, "|" for the top), "type",
//                "netlist_type"}]; "partition_faults": operations of a partition modification
//                that fail ("begin_modify", "set_netlist_type", "end_modify")
//   "parts":    [{"name", "family", "resources": {"<kind>": count}}]; kind 32 counts the hard
//                processor system blocks
//   "jtag":     the simulated chain: {"hardware": [names], "devices": [names], "connected"
//                (default true), "pace_ms" (between reports, default 20), "busy_reports",
//                "busy_then_error", "error" (1..8: every run ends with it), "clock_stopped",
//                the faults "trigger_in_after" (a stuck trigger in, met that many samples after
//                the search starts), "fixed_distance" with "advanced_after" (advanced levels and
//                flows met that many samples on), "sq_invalid_every" (every k-th place of the
//                memory reads invalid), "disconnected": [node names]}; absent: no JTAG hardware
//   "memory":   the device's memory blocks for the estimates (see ice_control.h): {"init_ok",
//                "types": [{"type" (0 small, 1 medium, 2 large), "capacity_bits", "max_width",
//                "total", "used"}]}
//   "compiled": null, or {"sof": programming file (relative to the project), "programmed":
//                whether the device holds it}
// Flag bits: 0x4 input pin, 0x8 output pin (usable as trigger out), 0x10 bidirectional, 0x20
// memory, 0x40 register, 0x80 combinational, 0x400 state machine, 0x200 hidden from plug-ins,
// 0x2000 post-fitting node, 0x80000000 tappable.

#include "host/standin/stimulus.h"

#include <QByteArray>

#include <string>
#include <vector>

namespace standin::project
{
// Loads the fixture file, replacing the project loaded before. False with a message naming the
// file and the entry at fault; nothing stays loaded then.
bool load(const std::string& path, std::string* error);
// The same from text; `dir` stands for the fixture's directory.
bool load_json(const QByteArray& text, const std::string& dir, std::string* error);
// The project of a document: the fixture named by CORVANE_STANDIN_PROJECT, else
// standin_project.json beside the document (an empty path: a new document, which has none).
// True when there is none (no project is opened), false when there is one that cannot be read.
bool load_for_document(const std::string& document_path, std::string* error);
void unload();
bool is_loaded();
std::string top_entity();
// The fixture file of the loaded project, "" when it came from text.
std::string fixture_path();

// The stimulus kept for a design name (full name or short path), or null.
const stimulus* find_stimulus(const std::string& name);
// How the design drives one signal: a bit of a stimulus value some samples ahead, or whether an
// fsm stimulus is in one state.
struct signal_drive
{
    const stimulus* source = nullptr;
    int bit = 0;                     // bit of the value (taken modulo 64)
    int64_t offset = 0;              // the value this many samples later
    int state = -1;                  // >= 0: high while the fsm is in this state
};
// The drive of a design signal: its own stimulus, a bus member's bit of the bus stimulus
// ("a[k]": bit k; "a[i][j]": bit j of the value i samples later), or a state register
// "<machine>.<state>" of an fsm stimulus. False when the design gives the signal no stimulus.
// The stimulus belongs to the loaded project.
bool resolve_signal(const std::string& name, signal_drive* drive);
// The level of a design signal at a sample through its drive; -1 without one.
int signal_value(const std::string& name, int64_t sample);
// Short paths that carry a stimulus, in fixture order.
std::vector<std::string> stimulus_names();
} // namespace standin::project
