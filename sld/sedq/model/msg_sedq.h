#pragma once
// The analyzer's message catalogue: one factory per user message, grouped in one namespace
// per message kind (MSG_SEDQ::O::SAVE_TO_OPEN_FILE, MSG_SEDQ::YN::UPDATE_VERSION, ...).
//
// Every factory returns a new host message object that the caller owns: show it (and read
// the answer), post it, or read its text, then delete it. The result is never null. The
// text handed to the host is the sentence, "/", the kind's letters and "SEDQ_" plus the
// factory's name; placeholders are numbered in argument order ("%1!s!" a string, "%1!d!"
// an int). String values are user data and come out verbatim, "%" and "%1!s!" included.
//
// Answers: OC 1 = OK, 2 = Cancel; YN 6 = Yes, anything else No; YNC 6 = Yes, 2 = Cancel,
// anything else No.
//
// Suppression: the I and W factories ask the host's message index and return a null
// message (MSG_I_NULL, MSG_W_NULL: no text, no id, shows and posts nothing) when the user
// has suppressed that id; callers use it like any other message. O, OC, YN, YNC and E are
// never suppressed.
//
// Texts rendered once when the library loads (the instance status texts and the parameter
// help texts) must not depend on what the user had suppressed at that moment, or a status
// would render empty and every later status comparison would fail. Build those messages
// with MSG_SEDQ::unsuppressed::I::<NAME>() (and ::W::), which take the same arguments as
// the factory of the same name and always return the real message, for example
//     sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::WAITING_FOR_JTAG());
// E messages are never suppressed: use MSG_SEDQ::E::<NAME>() directly.
//
// MSG_SEDQ::catalogue() is the one table of rows (name, id, kind, text, argument kinds)
// that every factory reads its id and text from.

#include "host/msg.h"

#include <string>

namespace MSG_SEDQ
{
enum class KIND
{
    O,
    OC,
    YN,
    YNC,
    E,
    I,
    W
};

// "O", "OC", "YN", "YNC", "E", "I" or "W".
const char* kind_letters(KIND kind);

// One message of the catalogue.
struct ROW
{
    const char* name; // the factory's name, e.g. "WAITING_FOR_JTAG"
    unsigned int id;
    KIND kind;
    const char* text;      // as handed to the host, with placeholders and the "/<KIND>SEDQ_<NAME>" key
    const char* arguments; // one letter per placeholder, in order: 's' string, 'd' int
};

struct ROW_RANGE
{
    const ROW* first;
    const ROW* last; // one past the end
    const ROW* begin() const { return first; }
    const ROW* end() const { return last; }
    int size() const { return static_cast<int>(last - first); }
};

// Every row, grouped by kind in the order O, OC, YN, YNC, E, I, W.
ROW_RANGE catalogue();

// The row of an identifier, or null when no message has it.
const ROW* find_row(unsigned int id);

// A text of the host's own, such as the repository's reason for a failed open or save, as a
// message to add as a child of a catalogue message (MSG_BASE::add_child): it has no id, and
// the host shows it below its parent's text.
MSG_I* detail(const std::string& text);

// Message boxes with an OK button.
namespace O
{
MSG_O* SAVE_TO_OPEN_FILE();
MSG_O* CANNOT_SAVE();
MSG_O* AUTO_RENAME_STRIPPED();
MSG_O* AUTO_RENAME_STRIPPED_ERR();
MSG_O* INVALID_SOF_FILE_TO_EMBED(const std::string& file_name);
MSG_O* ERROR_EXTRACT_EMBEDDED_SOF_FILE();
MSG_O* ERROR_IN_ADVANCED_TRIGGER(int level, const std::string& instance_name);
MSG_O* INVALID_POST_FITTING_NODE_ASSIGNMENTS();
MSG_O* PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS();
MSG_O* POST_FITTING_INVALID_PARTITION_ASSIGNMENTS();
MSG_O* MISSING_VANTREL_CLOCK_ASSIGNMENT_ITEM();
MSG_O* INVALID_VANTREL_TRIGGER_OUT_ASSIGNMENT_ITEM(const std::string& node_name);
MSG_O* CANT_CLOSE_VTL_FILE();
MSG_O* CANT_DELETE_INSTANCE();
MSG_O* NEWER_VERSION();
MSG_O* CLK_CONFLICT(const std::string& signal_name);
MSG_O* CONVERSION_OVER_BOUNDS(int bit_count);
MSG_O* NO_NAME();
MSG_O* NO_MNEMONIC_NAME();
MSG_O* NO_VALUE();
MSG_O* NOTHING_TO_DELETE();
MSG_O* LIST_NOT_WRITTEN();
MSG_O* LIMIT_PASSED();
MSG_O* DUPLICATE_NAME();
MSG_O* ZERO_INPUT(const std::string& input_name);
MSG_O* ZERO_INSTANCES();
MSG_O* SUCCESSFUL_EXPORT(const std::string& file_name);
MSG_O* FAILED_EXPORT();
MSG_O* EXPORT_NOT_WRITTEN(const std::string& file_name);
MSG_O* UNUSED_POST_FITTING_TRIGGERS(const std::string& instance_name);
MSG_O* FILE_NOT_FOUND(const std::string& file_name);
MSG_O* INVALID_VTL_FILE_STRUCTURE(const std::string& file_name);
MSG_O* VANTREL_NOT_SUPPORTED();
MSG_O* PLUGIN_MISSING_NODE_NAMES();
MSG_O* PLUGIN_ADD_NODES_FAILED();
MSG_O* PLUGIN_MISSING_HIERARCHY();
MSG_O* PLUGIN_MEM_NODES_EXCLUSION();
MSG_O* OLD_INCREMENTAL_ROUTE_USED();
MSG_O* FIND_BUS_VALUE_NO_BUS_SELECTED();
MSG_O* FIND_BUS_VALUE_NO_BUS_DATA();
MSG_O* FIND_BUS_VALUE_NOT_FOUND();
MSG_O* PRE_SYNTHESIS_PARTITION_NOT_SUPPORTED();
MSG_O* POST_FITTING_PARTITION_NOT_SUPPORTED();
MSG_O* STATE_BASED_STORAGE_QUALIFIER_NOT_AVAILABLE();
MSG_O* NO_BUS_NODE_ALLOWED();
MSG_O* VALUE_OUT_OF_RANGE(const std::string& minimum, const std::string& maximum);
MSG_O* CONDITION_TOO_DEEP(int limit);
MSG_O* ON_NODE_ADD_TRIGGER_LOCK();
MSG_O* ON_NODE_ADD_PRE_SYN_INCR_LOCK_MODE();
MSG_O* ON_NODE_ADD_OVERRUN_MAXIMUM(int maximum);
MSG_O* DAMAGED_LOGS();
MSG_O* PAST_FILE_LIMIT(const std::string& reason);
MSG_O* RUN_PAST_FILE_LIMIT(const std::string& reason);
} // namespace O

// Questions answered OK (1) or Cancel (2).
namespace OC
{
MSG_OC* OVERWRITE_OR_NOT(const std::string& table_name);
MSG_OC* ON_NODE_ADD_OVER_RUN_ALLOCATION();
MSG_OC* SAVE_WITHOUT_UNREADABLE_LOGS();
} // namespace OC

// Questions answered Yes (6) or No.
namespace YN
{
MSG_YN* UPDATE_VERSION();
MSG_YN* NO_UNDO_SUPPORT();
MSG_YN* START_OF_DOCUMENT_REACHED();
MSG_YN* END_OF_DOCUMENT_REACHED();
MSG_YN* PRE_SYNTHESIS_INVALID_TOP_PARTITION_ASSIGNMENT();
MSG_YN* PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS();
MSG_YN* POST_FITTING_INVALID_TOP_PARTITION_ASSIGNMENT();
MSG_YN* POST_FITTING_INVALID_PARTITION_ASSIGNMENTS();
MSG_YN* POST_FITTING_INVALID_OTHER_PARTITION_ASSIGNMENTS();
} // namespace YN

// Questions answered Yes (6), Cancel (2) or No.
namespace YNC
{
MSG_YNC* ENABLE_CURRENT_VANTREL_FILE_ON_SAVE(const std::string& file_name);
} // namespace YNC

// Error texts, rendered into acquisition status texts.
namespace E
{
MSG_E* JTAG_ERR_VERSION_DIFF();
MSG_E* JTAG_ERR_VERSION_MISMATCH();
MSG_E* JTAG_ERR_NO_HARDWARE();
MSG_E* JTAG_ERR_HANDWARE_CHANGED();
MSG_E* JTAG_ERR_HANDWARE_BUSY();
MSG_E* JTAG_ERR_NO_SLD_NODE();
MSG_E* JTAG_ERR_JTAG_ERROR();
MSG_E* JTAG_ERR_SOF_INCOMPATIBLE();
} // namespace E

// Information: a null MSG_I_NULL when suppressed. Items are children of a W list.
namespace I
{
MSG_I* INVALID_VANTREL_NODE_ASSIGNMENT_ITEM(const std::string& node_name);
MSG_I* PRE_SYNTHESIS_NODE_ASSIGNMENT_ITEM(const std::string& node_name);
MSG_I* PRE_SYNTHESIS_INVALID_PARTITION_ITEM(const std::string& node_name);
MSG_I* POST_FITTING_INVALID_PARTITION_ITEM(const std::string& node_name);
MSG_I* NO_INSTANCES();
MSG_I* NO_NODES();
MSG_I* INVALID_JTAG_CONFIGURATION();
MSG_I* READY_TO_ACQUIRE();
MSG_I* NOT_RUNNING();
MSG_I* ACQUISITION_IN_PROGRESS();
MSG_I* COMPILE_DESIGN();
MSG_I* RECOMPILE_DESIGN();
MSG_I* REROUTE_DESIGN();
MSG_I* PROGRAM_DEVICE();
MSG_I* WAITING_FOR_CLOCK();
MSG_I* ACQUIRING_PRE_TRIGGER_DATA();
MSG_I* ACQUIRING_POST_TRIGGER_DATA();
MSG_I* OFFLOADING_DATA();
MSG_I* WAITING_FOR_TRIGGER();
MSG_I* POWERUP_WAITING_FOR_CLOCK();
MSG_I* POWERUP_WAITING_FOR_TRIGGER();
MSG_I* POWERUP_ACQUIRING_PRE_TRIGGER_DATA();
MSG_I* POWERUP_ACQUIRING_POST_TRIGGER_DATA();
MSG_I* POWERUP_OFFLOADING_DATA();
MSG_I* TRIGGER_IN_MET();
MSG_I* TRIGGER_LEVEL();
MSG_I* WAITING_FOR_JTAG();
MSG_I* JTAG_READY();
MSG_I* JTAG_RUNNING();
MSG_I* JTAG_LOOKING_FOR_DEVICES();
MSG_I* JTAG_PROGRAMMING_DEVICE();
MSG_I* JTAG_NO_DEVICE_SELECTED();
MSG_I* JTAG_NO_DEVICES_DETECTED();
MSG_I* JTAG_SELECTED_DEVICE_NOT_FOUND();
MSG_I* JTAG_COMMUNICATION_ERROR();
MSG_I* JTAG_COMMUNICATION_BUSY();
MSG_I* PARAMETER_SHIFT_TYPE();
MSG_I* PARAMETER_SHIFT_DISTANCE();
MSG_I* PARAMETER_PIPELINE();
MSG_I* PARAMETER_COMPARISON_TYPE();
MSG_I* PARAMETER_SIGNED_COMPARISON_TYPE();
MSG_I* PARAMETER_PATTERN();
MSG_I* PARAMETER_BITSTREAM();
MSG_I* PARAMETER_MODULE_NAME();
MSG_I* PARAMETER_BUS_DISPLAY_FORMAT();
MSG_I* PARAMETER_BIT_ORDER();
MSG_I* PARAMETER_DATA_DELAY();
MSG_I* PARAMETER_BUS_VALUE();
MSG_I* PARAMETER_BUS_NAME();
MSG_I* PARAMETER_BIT_VALUE();
MSG_I* PARAMETER_SHIFT_DIRECTION();
MSG_I* PARAMETER_BITWISE_OPERATOR_TYPE();
MSG_I* PARAMETER_LOGICAL_OPERATOR_TYPE();
MSG_I* PARAMETER_REDUCTION_OPERATOR_TYPE();
MSG_I* PARAMETER_COUNTER_TYPE();
MSG_I* PARAMETER_COUNTER_WIDTH();
MSG_I* PARAMETER_COUNTER_VALUE();
MSG_I* PARAMETER_COUNTER_HOLD();
MSG_I* PRE_SYNTHESIS_VALID_PARTITION_LIST();
MSG_I* PRE_SYNTHESIS_VALID_PARTITION_ITEM(const std::string& node_name);
MSG_I* POST_FITTING_VALID_PARTITION_LIST();
MSG_I* POST_FITTING_VALID_PARTITION_ITEM(const std::string& node_name);
} // namespace I

// Warnings: a null MSG_W_NULL when suppressed.
namespace W
{
MSG_W* INVALID_VANTREL_NODE_ASSIGNMENT_LIST();
MSG_W* PRE_SYNTHESIS_INVALID_PARTITION_LIST();
MSG_W* POST_FITTING_INVALID_PARTITION_LIST();
MSG_W* OLD_INCREMENTAL_ROUTE_USED_SYS(const std::string& instance_name, const std::string& signal_set_name,
                                      const std::string& trigger_name);
MSG_W* DECODED_VALUES_NOT_KEPT(const std::string& log_name, const std::string& reason);
} // namespace W

// The I and W messages built whatever the user has suppressed; for load-time texts.
namespace unsuppressed
{
namespace I
{
MSG_I* INVALID_VANTREL_NODE_ASSIGNMENT_ITEM(const std::string& node_name);
MSG_I* PRE_SYNTHESIS_NODE_ASSIGNMENT_ITEM(const std::string& node_name);
MSG_I* PRE_SYNTHESIS_INVALID_PARTITION_ITEM(const std::string& node_name);
MSG_I* POST_FITTING_INVALID_PARTITION_ITEM(const std::string& node_name);
MSG_I* NO_INSTANCES();
MSG_I* NO_NODES();
MSG_I* INVALID_JTAG_CONFIGURATION();
MSG_I* READY_TO_ACQUIRE();
MSG_I* NOT_RUNNING();
MSG_I* ACQUISITION_IN_PROGRESS();
MSG_I* COMPILE_DESIGN();
MSG_I* RECOMPILE_DESIGN();
MSG_I* REROUTE_DESIGN();
MSG_I* PROGRAM_DEVICE();
MSG_I* WAITING_FOR_CLOCK();
MSG_I* ACQUIRING_PRE_TRIGGER_DATA();
MSG_I* ACQUIRING_POST_TRIGGER_DATA();
MSG_I* OFFLOADING_DATA();
MSG_I* WAITING_FOR_TRIGGER();
MSG_I* POWERUP_WAITING_FOR_CLOCK();
MSG_I* POWERUP_WAITING_FOR_TRIGGER();
MSG_I* POWERUP_ACQUIRING_PRE_TRIGGER_DATA();
MSG_I* POWERUP_ACQUIRING_POST_TRIGGER_DATA();
MSG_I* POWERUP_OFFLOADING_DATA();
MSG_I* TRIGGER_IN_MET();
MSG_I* TRIGGER_LEVEL();
MSG_I* WAITING_FOR_JTAG();
MSG_I* JTAG_READY();
MSG_I* JTAG_RUNNING();
MSG_I* JTAG_LOOKING_FOR_DEVICES();
MSG_I* JTAG_PROGRAMMING_DEVICE();
MSG_I* JTAG_NO_DEVICE_SELECTED();
MSG_I* JTAG_NO_DEVICES_DETECTED();
MSG_I* JTAG_SELECTED_DEVICE_NOT_FOUND();
MSG_I* JTAG_COMMUNICATION_ERROR();
MSG_I* JTAG_COMMUNICATION_BUSY();
MSG_I* PARAMETER_SHIFT_TYPE();
MSG_I* PARAMETER_SHIFT_DISTANCE();
MSG_I* PARAMETER_PIPELINE();
MSG_I* PARAMETER_COMPARISON_TYPE();
MSG_I* PARAMETER_SIGNED_COMPARISON_TYPE();
MSG_I* PARAMETER_PATTERN();
MSG_I* PARAMETER_BITSTREAM();
MSG_I* PARAMETER_MODULE_NAME();
MSG_I* PARAMETER_BUS_DISPLAY_FORMAT();
MSG_I* PARAMETER_BIT_ORDER();
MSG_I* PARAMETER_DATA_DELAY();
MSG_I* PARAMETER_BUS_VALUE();
MSG_I* PARAMETER_BUS_NAME();
MSG_I* PARAMETER_BIT_VALUE();
MSG_I* PARAMETER_SHIFT_DIRECTION();
MSG_I* PARAMETER_BITWISE_OPERATOR_TYPE();
MSG_I* PARAMETER_LOGICAL_OPERATOR_TYPE();
MSG_I* PARAMETER_REDUCTION_OPERATOR_TYPE();
MSG_I* PARAMETER_COUNTER_TYPE();
MSG_I* PARAMETER_COUNTER_WIDTH();
MSG_I* PARAMETER_COUNTER_VALUE();
MSG_I* PARAMETER_COUNTER_HOLD();
MSG_I* PRE_SYNTHESIS_VALID_PARTITION_LIST();
MSG_I* PRE_SYNTHESIS_VALID_PARTITION_ITEM(const std::string& node_name);
MSG_I* POST_FITTING_VALID_PARTITION_LIST();
MSG_I* POST_FITTING_VALID_PARTITION_ITEM(const std::string& node_name);
} // namespace I
namespace W
{
MSG_W* INVALID_VANTREL_NODE_ASSIGNMENT_LIST();
MSG_W* PRE_SYNTHESIS_INVALID_PARTITION_LIST();
MSG_W* POST_FITTING_INVALID_PARTITION_LIST();
MSG_W* OLD_INCREMENTAL_ROUTE_USED_SYS(const std::string& instance_name, const std::string& signal_set_name,
                                      const std::string& trigger_name);
MSG_W* DECODED_VALUES_NOT_KEPT(const std::string& log_name, const std::string& reason);
} // namespace W
} // namespace unsuppressed
} // namespace MSG_SEDQ

// The identifiers of every E, I and W message with the host post type of each, in the
// order the host registers them (through one MSG_ID_REGISTRAR built when the library loads).
// Both tables are constant data, so they are complete before any load-time code runs.
constexpr int SEDQ_MSG_ID_COUNT = 75;
extern const unsigned int sedq_msg_ids[SEDQ_MSG_ID_COUNT];
extern const MSG_POST_TYPE sedq_msg_id_types[SEDQ_MSG_ID_COUNT];
