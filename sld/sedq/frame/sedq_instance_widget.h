#pragma once
// The instance manager pane. For now it holds only the status texts that the library renders
// when it loads: each is the visible text of the status message of the same name, and
// sedq_text_to_msg finds that message again from the text (for the status help). The 33
// texts are pairwise different.

#include <QString>

class SEDQ_INSTANCE_WIDGET
{
public:
    // Instance list status.
    static const QString SEDQ_NO_INSTANCES_STR;
    static const QString SEDQ_NO_NODES_STR;
    static const QString SEDQ_READY_TO_ACQUIRE_STR;
    static const QString SEDQ_NOT_RUNNING_STR;
    static const QString SEDQ_ACQUISITION_IN_PROGRESS_STR;
    static const QString SEDQ_WAITING_FOR_CLOCK_STR;
    static const QString SEDQ_COMPILE_DESIGN_STR;
    static const QString SEDQ_RECOMPILE_DESIGN_STR;
    static const QString SEDQ_REROUTE_DESIGN_STR;
    static const QString SEDQ_PROGRAM_DEVICE_STR;
    static const QString SEDQ_ACQUIRING_PRE_TRIGGER_DATA_STR;
    static const QString SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR;
    static const QString SEDQ_OFFLOADING_DATA_STR;
    static const QString SEDQ_WAITING_FOR_TRIGGER_STR;
    static const QString SEDQ_TRIGGER_IN_MET_STR;
    static const QString SEDQ_TRIGGER_LEVEL_STR;
    static const QString SEDQ_INVALID_JTAG_CONFIGURATION_STR;
    static const QString SEDQ_JTAG_COMMUNICATION_ERROR_STR;
    static const QString SEDQ_JTAG_COMMUNICATION_BUSY_STR;
    static const QString SEDQ_WAITING_FOR_JTAG_STR;
    static const QString SEDQ_POWERUP_WAITING_FOR_CLOCK_STR;
    static const QString SEDQ_POWERUP_WAITING_FOR_TRIGGER_STR;
    static const QString SEDQ_POWERUP_ACQUIRING_PRE_TRIGGER_DATA_STR;
    static const QString SEDQ_POWERUP_ACQUIRING_POST_TRIGGER_DATA_STR;
    static const QString SEDQ_POWERUP_OFFLOADING_DATA_STR;

    // Acquisition errors reported by the JTAG engine.
    static const QString SEDQ_JTAG_ERR_VERSION_DIFF_STR;
    static const QString SEDQ_JTAG_ERR_VERSION_MISMATCH_STR;
    static const QString SEDQ_JTAG_ERR_NO_HARDWARE_STR;
    static const QString SEDQ_JTAG_ERR_HANDWARE_CHANGED_STR;
    static const QString SEDQ_JTAG_ERR_HANDWARE_BUSY_STR;
    static const QString SEDQ_JTAG_ERR_NO_SLD_NODE_STR;
    static const QString SEDQ_JTAG_ERR_JTAG_ERROR_STR;
    static const QString SEDQ_JTAG_ERR_SOF_INCOMPATIBLE_STR;
};
