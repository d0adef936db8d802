#pragma once
// Values that pass between the document model and the panes: the bits of a change
// notification, the end-of-bracket status, the acquisition state flags of an instance and the
// small argument enumerations of the model's setters. The numbers are a contract with every
// pane: never renumber them.

#include <QString>

// The int sent with SEDQ_TX_MANAGER::updated(QObject*, int). Low bits choose the receivers,
// high bits the kind of update.
enum SEDQ_UPDATE_HINT : unsigned int
{
    SEDQ_UPDATE_NODE_VIEW = 0x1,               // node view, state flow panes
    SEDQ_UPDATE_HIERARCHY = 0x2,
    SEDQ_UPDATE_CONFIGURATION = 0x4,           // only together with SEDQ_UPDATE_REFRESH
    SEDQ_UPDATE_LOG = 0x8,
    SEDQ_UPDATE_INSTANCES = 0x10,
    SEDQ_UPDATE_JTAG = 0x20,
    SEDQ_UPDATE_LAYOUT = 0x40,
    SEDQ_UPDATE_TRIGGER_CANVAS = 0x100,
    SEDQ_UPDATE_FLOW_TEXT = 0x200,             // a flow's text typed: with 0x1 its refresh (only the
                                               // text changed), with 0x10 the compile check after it
    SEDQ_UPDATE_VALIDITY = 0x400,              // sent, tested by no receiver
    SEDQ_UPDATE_WAITING_FOR_JTAG = 0x800,      // with 0x10: only the waiting-for-JTAG status
    SEDQ_UPDATE_SWITCH_POWERUP_VIEW = 0x400000,
    SEDQ_UPDATE_NO_REPAINT = 0x800000,
    SEDQ_UPDATE_TO_POWERUP = 0x2000000,        // with 0x400000: the target is the power-up view
    SEDQ_UPDATE_ACQUISITION_STOPPED = 0x4000000,
    SEDQ_UPDATE_ACQUISITION_RUNNING = 0x8000000,
    SEDQ_UPDATE_REBUILD = 0x10000000,
    SEDQ_UPDATE_REFRESH = 0x20000000,
    SEDQ_UPDATE_RELOAD_POSITIONS = 0x40000000, // with 0x20000000
    SEDQ_UPDATE_MODIFIED = 0x80000000u         // sent, tested by no receiver
};

// The hint as the int that updated() carries (0x80000000 and up are negative there).
constexpr int sedq_hint(unsigned int bits)
{
    return static_cast<int>(bits);
}

// Status argument of SEDQ_TX_MANAGER::end_action.
enum SEDQ_CHECK_COMPILATION_STATUS
{
    SEDQ_SKIP_COMPILATION_CHECK = 0,
    SEDQ_CHECK_COMPILATION = 1,          // the instance manager re-evaluates its status
    SEDQ_CHECK_COMPILATION_IF_POWERUP = 2 // the same, only while the instance shows its power-up trigger
};

// Flag word of an instance's acquisition, as the acquisition callback reports it.
enum SEDQ_ACQ_STATE : unsigned int
{
    SEDQ_ACQ_STATE_TRIGGER_PROGRESS_1 = 0x2000,
    SEDQ_ACQ_STATE_PRE_TRIGGER = 0x4000,
    SEDQ_ACQ_STATE_TRIGGER_PROGRESS_2 = 0x8000,
    SEDQ_ACQ_STATE_POST_TRIGGER = 0x10000,
    SEDQ_ACQ_STATE_OFFLOADING = 0x20000,
    SEDQ_ACQ_STATE_NOT_RUNNING = 0x40000,
    SEDQ_ACQ_STATE_ERROR = 0x80000,
    SEDQ_ACQ_STATE_WAITING_FOR_CLOCK = 0x200000,
    SEDQ_ACQ_STATE_DATA_READY = 0x400000,
    SEDQ_ACQ_STATE_RUNNING = 0x800000,
    SEDQ_ACQ_STATE_JTAG_BUSY = 0x1000000,
    SEDQ_ACQ_STATE_POWERUP = 0x2000000, // modifier, never stored
    SEDQ_ACQ_STATE_MASK = 0x1ffe000     // the bits the model keeps per instance
};

// Number of instance entries the acquisition state table has room for.
constexpr int SEDQ_MAX_ACQ_STATES = 128;

// Which netlist a clock, trigger-input or storage-qualifier node comes from.
enum SEDQ_IS_POST_FITTING_TYPE
{
    SEDQ_POST_FITTING = 0,
    SEDQ_PRE_SYNTHESIS = 1,
    SEDQ_KEEP_POST_FITTING_TYPE = 2
};

// Type of one state of the state-based trigger flow, kept in the state machine object.
typedef int SEDQ_STATE_TYPE;

// The host's verdict on the state flow text, with the error placed in the per-state blocks.
struct SEDQ_STATE_MACHINE_ERROR
{
    bool m_is_error = false;
    QString m_message;
    int m_line = 0;          // line in the unified flow text
    int m_state = 0;         // state whose block holds the line
    int m_line_in_state = 0; // 0 = the state's header line
};

// The trailing instance (or trigger) argument of the model's getters and setters: the one the
// editor shows. Other argument positions keep their own sentinels.
constexpr int SEDQ_CURRENT = -1;

// Pattern numbers address the conditions of a trigger: 0 and up are the trigger levels, the
// three below them the storage-qualifier patterns, which the repository keeps at index
// pattern - SEDQ_PATTERN_SQ_CONDITIONAL of its storage-qualifier table.
enum SEDQ_PATTERN : int
{
    SEDQ_PATTERN_ANY_LEVEL = -4,      // node enable queries only: trigger enabled on any level
    SEDQ_PATTERN_SQ_CONDITIONAL = -3, // the "Conditional" storage qualifier
    SEDQ_PATTERN_SQ_START = -2,       // the "Start/Stop" storage qualifier: start
    SEDQ_PATTERN_SQ_STOP = -1,        // and stop
    SEDQ_PATTERN_FIRST_LEVEL = 0
};

constexpr bool sedq_is_sq_pattern(int pattern)
{
    return pattern >= SEDQ_PATTERN_SQ_CONDITIONAL && pattern <= SEDQ_PATTERN_SQ_STOP;
}

// The index of a storage-qualifier pattern in the repository's storage-qualifier table.
constexpr int sedq_sq_index(int pattern)
{
    return pattern - SEDQ_PATTERN_SQ_CONDITIONAL;
}

// Most nodes an instance holds.
constexpr int SEDQ_MAX_NODES = 4096;
