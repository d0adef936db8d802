// Message catalogue: the table of every message, the factories built from it and the registrar tables.
#include "sedq/model/msg_sedq.h"

#include "sedq/model/sedq_verify.h"

#include <iterator>
#include <type_traits>

// clang-format off

// The one table of messages: X(kind, name, id, argument kinds, text). Argument kinds: NONE, or
// one letter per placeholder in order, S a string and D an int. Every table and factory in this
// file is expanded from these rows, so a message's id and text exist exactly once.
#define SEDQ_MSG_ROWS(X)                                                                                     \
    X(O, SAVE_TO_OPEN_FILE, 268000, NONE,                                                                    \
      "Cannot save to the file that is currently open in the Corvane software.  This file is not "           \
      "saved.  Please save as a different file name./OSEDQ_SAVE_TO_OPEN_FILE")                               \
    X(O, CANNOT_SAVE, 268001, NONE,                                                                          \
      "Cannot save file.  Please save as a different file name or to a different "                           \
      "path./OSEDQ_CANNOT_SAVE")                                                                             \
    X(O, AUTO_RENAME_STRIPPED, 11974, NONE,                                                                  \
      "You opened a Vantrel file of which the content was automatically stripped by the Corvane "            \
      "software after a compilation.  The file name is restored back to its original name when you "         \
      "saved this file/OSEDQ_AUTO_RENAME_STRIPPED")                                                          \
    X(O, AUTO_RENAME_STRIPPED_ERR, 11975, NONE,                                                              \
      "The file with the same name is already open.  Close the open file before opening this "               \
      "file/OSEDQ_AUTO_RENAME_STRIPPED_ERR")                                                                 \
    X(O, INVALID_SOF_FILE_TO_EMBED, 268005, S,                                                               \
      "Cannot attach SRAM Object File \"%1!s!\" -- file does not exist or cannot be "                        \
      "read/OSEDQ_INVALID_SOF_FILE_TO_EMBED")                                                                \
    X(O, ERROR_EXTRACT_EMBEDDED_SOF_FILE, 268006, NONE,                                                      \
      "Cannot extract SRAM Object File. Attached SOF in Vantrel File is corrupt, or you do not have "        \
      "permission to write to SOF./OSEDQ_ERROR_EXTRACT_EMBEDDED_SOF_FILE")                                   \
    X(O, ERROR_IN_ADVANCED_TRIGGER, 268008, DS,                                                              \
      "Advanced Trigger %1!d! in instance \"%2!s!\" is incomplete or has an error that can cause "           \
      "compilation errors/OSEDQ_ERROR_IN_ADVANCED_TRIGGER")                                                  \
    X(O, INVALID_POST_FITTING_NODE_ASSIGNMENTS, 268010, NONE,                                                \
      "Post-fitting nodes may not be tappable when incremental compilation is not enabled for the "          \
      "project.  See the Messages window for more "                                                          \
      "information./OSEDQ_INVALID_POST_FITTING_NODE_ASSIGNMENTS")                                            \
    X(O, PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS, 268011, NONE,                                          \
      "Pre-synthesis nodes should be added to partitions with a netlist type of Source File.  See the "      \
      "Messages window for more information./OSEDQ_PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS")             \
    X(O, POST_FITTING_INVALID_PARTITION_ASSIGNMENTS, 268012, NONE,                                           \
      "Post-fitting nodes should be added to partitions with a netlist type of Post-Fit, Post-Fit "          \
      "(Strict), or Post-Fit (Import-based).  See the Messages window for more "                             \
      "information./OSEDQ_POST_FITTING_INVALID_PARTITION_ASSIGNMENTS")                                       \
    X(O, MISSING_VANTREL_CLOCK_ASSIGNMENT_ITEM, 268015, NONE,                                                \
      "No node assigned as clock signal -- pin generated for clock "                                         \
      "signal/OSEDQ_MISSING_VANTREL_CLOCK_ASSIGNMENT_ITEM")                                                  \
    X(O, INVALID_VANTREL_TRIGGER_OUT_ASSIGNMENT_ITEM, 268016, S,                                             \
      "Cannot use node \"%1!s!\" as a Trigger Out "                                                          \
      "signal/OSEDQ_INVALID_VANTREL_TRIGGER_OUT_ASSIGNMENT_ITEM")                                            \
    X(O, CANT_CLOSE_VTL_FILE, 268017, NONE,                                                                  \
      "Cannot perform action -- Vantrel Logic Analyzer data acquisition is in "                              \
      "progress/OSEDQ_CANT_CLOSE_VTL_FILE")                                                                  \
    X(O, CANT_DELETE_INSTANCE, 268018, NONE,                                                                 \
      "Cannot delete an instance while acquisition is in progress/OSEDQ_CANT_DELETE_INSTANCE")               \
    X(O, NEWER_VERSION, 268020, NONE,                                                                        \
      "Vantrel File contains an instance created in a newer version of the Corvane software. You must "      \
      "use a newer version of the Corvane software to open this file./OSEDQ_NEWER_VERSION")                  \
    X(O, CLK_CONFLICT, 268021, S,                                                                            \
      "Cannot define signal \"%1!s!\" as both clock signal and Vantrel signal -- removing "                  \
      "duplicate/OSEDQ_CLK_CONFLICT")                                                                        \
    X(O, CONVERSION_OVER_BOUNDS, 268022, D,                                                                  \
      "Value exceeds %1!d! bit(s) long when converted to binary/OSEDQ_CONVERSION_OVER_BOUNDS")               \
    X(O, NO_NAME, 268023, NONE, "Mnemonic table must have a name/OSEDQ_NO_NAME")                             \
    X(O, NO_MNEMONIC_NAME, 268024, NONE,                                                                     \
      "Mnemonic table entry must contain mnemonic name/OSEDQ_NO_MNEMONIC_NAME")                              \
    X(O, NO_VALUE, 268025, NONE, "Mnemonic entry must contain a value/OSEDQ_NO_VALUE")                       \
    X(O, NOTHING_TO_DELETE, 268026, NONE, "Cannot delete -- no tables exist/OSEDQ_NOTHING_TO_DELETE")        \
    X(O, LIST_NOT_WRITTEN, 268027, NONE, "Cannot create List File/OSEDQ_LIST_NOT_WRITTEN")                   \
    X(O, LIMIT_PASSED, 268068, NONE,                                                                         \
      "Specify a maximum of 4096 nodes in a Vantrel instance/OSEDQ_LIMIT_PASSED")                            \
    X(O, DUPLICATE_NAME, 268069, NONE, "Ignored duplicate name/OSEDQ_DUPLICATE_NAME")                        \
    X(O, ZERO_INPUT, 268070, S, "Input \"%1!s!\" is empty/OSEDQ_ZERO_INPUT")                                 \
    X(O, ZERO_INSTANCES, 268071, NONE, "File contains no instances/OSEDQ_ZERO_INSTANCES")                    \
    X(O, SUCCESSFUL_EXPORT, 268072, S,                                                                       \
      "Successfully exported data to file \"%1!s!\"/OSEDQ_SUCCESSFUL_EXPORT")                                \
    X(O, FAILED_EXPORT, 268073, NONE, "Cannot export data -- data log contains no data/OSEDQ_FAILED_EXPORT") \
    X(O, EXPORT_NOT_WRITTEN, 268164, S, "Cannot export data to file \"%1!s!\"/OSEDQ_EXPORT_NOT_WRITTEN")      \
    X(O, UNUSED_POST_FITTING_TRIGGERS, 268074, S,                                                            \
      "One or more trigger input nodes for instance \"%1!s!\" are incrementally routed, and all "            \
      "Trigger Levels are set to Advanced. However, the incrementally routed trigger input nodes are "       \
      "not used in any of the Advanced Trigger levels. The Condition for Incrementally Routed Nodes "        \
      "object must be connected to the Result object in at least one Advanced Trigger "                      \
      "level./OSEDQ_UNUSED_POST_FITTING_TRIGGERS")                                                           \
    X(O, FILE_NOT_FOUND, 268081, S, "Cannot find Vantrel File \"%1!s!\"/OSEDQ_FILE_NOT_FOUND")               \
    X(O, INVALID_VTL_FILE_STRUCTURE, 268082, S,                                                              \
      "Invalid Vantrel File \"%1!s!\"/OSEDQ_INVALID_VTL_FILE_STRUCTURE")                                     \
    X(O, VANTREL_NOT_SUPPORTED, 268103, NONE,                                                                \
      "Vantrel is not supported for the currently selected device/OSEDQ_VANTREL_NOT_SUPPORTED")              \
    X(O, PLUGIN_MISSING_NODE_NAMES, 268104, NONE,                                                            \
      "The Add Nodes with Plug-In command could not be completed because you need to run an Analysis "       \
      "and Elaboration first./OSEDQ_PLUGIN_MISSING_NODE_NAMES")                                              \
    X(O, PLUGIN_ADD_NODES_FAILED, 268105, NONE,                                                              \
      "The Add Nodes with Plug-In command could not be completed because the nodes couldn't be added "       \
      "to the current design./OSEDQ_PLUGIN_ADD_NODES_FAILED")                                                \
    X(O, PLUGIN_MISSING_HIERARCHY, 268106, NONE,                                                             \
      "The Add Nodes with Plug-In command could not be completed because the selected IP could not be "      \
      "found in the current design./OSEDQ_PLUGIN_MISSING_HIERARCHY")                                         \
    X(O, PLUGIN_MEM_NODES_EXCLUSION, 268107, NONE,                                                           \
      "The selected member nodes of the bus added with Plug-In command are excluded from this "              \
      "operation.  Please select a bus node of this type only./OSEDQ_PLUGIN_MEM_NODES_EXCLUSION")            \
    X(O, OLD_INCREMENTAL_ROUTE_USED, 268108, NONE,                                                           \
      "The incremental routing feature is used in this VTL file.  The current release of the Corvane "       \
      "software no longer supports this feature.  If the VTL file contains log entries, please read "        \
      "the system message for all entries affected./OSEDQ_OLD_INCREMENTAL_ROUTE_USED")                       \
    X(O, FIND_BUS_VALUE_NO_BUS_SELECTED, 268110, NONE,                                                       \
      "Please select a bus before using the Find Bus Value "                                                 \
      "command./OSEDQ_FIND_BUS_VALUE_NO_BUS_SELECTED")                                                       \
    X(O, FIND_BUS_VALUE_NO_BUS_DATA, 268111, NONE, "Bus data not found./OSEDQ_FIND_BUS_VALUE_NO_BUS_DATA")   \
    X(O, FIND_BUS_VALUE_NOT_FOUND, 268112, NONE, "Bus value not found./OSEDQ_FIND_BUS_VALUE_NOT_FOUND")      \
    X(O, PRE_SYNTHESIS_PARTITION_NOT_SUPPORTED, 268117, NONE,                                                \
      "Could not set the netlist type of the corresponding partition to Source File. See the Messages "      \
      "window for more information./OSEDQ_PRE_SYNTHESIS_PARTITION_NOT_SUPPORTED")                            \
    X(O, POST_FITTING_PARTITION_NOT_SUPPORTED, 268122, NONE,                                                 \
      "Could not set the Netlist Type of the corresponding partition to Post-Fit or Post-Fit "               \
      "(Import-based). See the Messages window for more "                                                    \
      "information./OSEDQ_POST_FITTING_PARTITION_NOT_SUPPORTED")                                             \
    X(O, STATE_BASED_STORAGE_QUALIFIER_NOT_AVAILABLE, 268123, NONE,                                          \
      "The state-based storage qualifier is only available when using the state-based trigger flow "         \
      "control./OSEDQ_STATE_BASED_STORAGE_QUALIFIER_NOT_AVAILABLE")                                          \
    X(O, NO_BUS_NODE_ALLOWED, 268124, NONE,                                                                  \
      "Cannot choose a bus.  Please select a single bit node instead./OSEDQ_NO_BUS_NODE_ALLOWED")            \
    X(O, VALUE_OUT_OF_RANGE, 268126, SS, "Enter a value between %1!s! and %2!s!/OSEDQ_VALUE_OUT_OF_RANGE")   \
    X(O, CONDITION_TOO_DEEP, 268076, D,                                                                      \
      "The advanced trigger condition would nest more than %1!d! objects deep, the most a condition can "    \
      "hold.  The change is not made./OSEDQ_CONDITION_TOO_DEEP")                                             \
    X(O, ON_NODE_ADD_TRIGGER_LOCK, 14503, NONE,                                                              \
      "You are currently in the Trigger Only lock-mode and have attempted to add more nodes.  This is "      \
      "not allowed, and therefore no nodes will be added./OSEDQ_ON_NODE_ADD_TRIGGER_LOCK")                   \
    X(O, ON_NODE_ADD_PRE_SYN_INCR_LOCK_MODE, 14504, NONE,                                                    \
      "You are in the Incremental Route lock-mode and have attempted to add one or more Pre-Synthesis "      \
      "nodes.  This is not allowed, and therefore no nodes will be "                                         \
      "added/OSEDQ_ON_NODE_ADD_PRE_SYN_INCR_LOCK_MODE")                                                      \
    X(O, ON_NODE_ADD_OVERRUN_MAXIMUM, 14926, D,                                                              \
      "You have attempted to add more than the maximum number of nodes (%1!d!) to the current Vantrel "      \
      "instance./OSEDQ_ON_NODE_ADD_OVERRUN_MAXIMUM")                                                         \
    X(O, PAST_FILE_LIMIT, 268162, S, "The change is not made: %1!s!./OSEDQ_PAST_FILE_LIMIT")                    \
    X(O, RUN_PAST_FILE_LIMIT, 268163, S,                                                                     \
      "The acquisition does not start: %1!s!. Delete data logs to make room./OSEDQ_RUN_PAST_FILE_LIMIT")     \
    X(O, DAMAGED_LOGS, 268160, NONE,                                                                         \
      "The samples of the following data logs are damaged and cannot be shown. Saving the file keeps "       \
      "them as they are stored; delete a log to leave it out of the file./OSEDQ_DAMAGED_LOGS")               \
    X(OC, OVERWRITE_OR_NOT, 268075, S,                                                                       \
      "Mnemonic table \"%1!s!\" already exists. Do you want to overwrite it?/OCSEDQ_OVERWRITE_OR_NOT")       \
    X(OC, ON_NODE_ADD_OVER_RUN_ALLOCATION, 14500, NONE,                                                      \
      "You are in the Incremental Route lock-mode and have attempted to add more nodes than likely "         \
      "allocated with the current compile.  Do you wish to continue "                                        \
      "anyways?/OCSEDQ_ON_NODE_ADD_OVER_RUN_ALLOCATION")                                                     \
    X(OC, SAVE_WITHOUT_UNREADABLE_LOGS, 268161, NONE,                                                        \
      "The samples of the following data logs can no longer be read from the file they were opened "         \
      "from. Click OK to save the document without these logs, or Cancel to save "                           \
      "nothing./OCSEDQ_SAVE_WITHOUT_UNREADABLE_LOGS")                                                        \
    X(YN, UPDATE_VERSION, 268019, NONE,                                                                      \
      "Vantrel File contains an instance created in a previous version of the Corvane software. You "        \
      "must update it to compile the current project with the VTL File. If you need to acquire data "        \
      "from the SRAM Object File generated in a previous version, make a copy of the file.  Do you "         \
      "want to update the file?/YNSEDQ_UPDATE_VERSION")                                                      \
    X(YN, NO_UNDO_SUPPORT, 268067, NONE,                                                                     \
      "This modification to the Vantrel File cannot be undone.  Do you still want to "                       \
      "continue?/YNSEDQ_NO_UNDO_SUPPORT")                                                                    \
    X(YN, START_OF_DOCUMENT_REACHED, 268078, NONE,                                                           \
      "Reached start of document. Do you want to continue searching from end of "                            \
      "document?/YNSEDQ_START_OF_DOCUMENT_REACHED")                                                          \
    X(YN, END_OF_DOCUMENT_REACHED, 268079, NONE,                                                             \
      "Reached end of document. Do you want to continue searching from start of "                            \
      "document?/YNSEDQ_END_OF_DOCUMENT_REACHED")                                                            \
    X(YN, PRE_SYNTHESIS_INVALID_TOP_PARTITION_ASSIGNMENT, 268113, NONE,                                      \
      "Do you want to set the netlist type of the Top partition to Source File since you are adding "        \
      "pre-synthesis nodes? See the Messages window for more "                                               \
      "information./YNSEDQ_PRE_SYNTHESIS_INVALID_TOP_PARTITION_ASSIGNMENT")                                  \
    X(YN, PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS, 268114, NONE,                                         \
      "Do you want to set the netlist type of the corresponding partition to Source File since you are "     \
      "adding pre-synthesis nodes? See the Messages window for more "                                        \
      "information./YNSEDQ_PRE_SYNTHESIS_INVALID_PARTITION_ASSIGNMENTS")                                     \
    X(YN, POST_FITTING_INVALID_TOP_PARTITION_ASSIGNMENT, 268118, NONE,                                       \
      "Do you want to set the Netlist Type of the Top partition to Post-Fit since you are adding "           \
      "post-fitting nodes? See the Messages window for more "                                                \
      "information./YNSEDQ_POST_FITTING_INVALID_TOP_PARTITION_ASSIGNMENT")                                   \
    X(YN, POST_FITTING_INVALID_PARTITION_ASSIGNMENTS, 268119, NONE,                                          \
      "Do you want to set the Netlist Type of the corresponding partition to Post-Fit since you are "        \
      "adding post-fitting nodes? See the Messages window for more "                                         \
      "information./YNSEDQ_POST_FITTING_INVALID_PARTITION_ASSIGNMENTS")                                      \
    X(YN, POST_FITTING_INVALID_OTHER_PARTITION_ASSIGNMENTS, 268127, NONE,                                    \
      "Do you want to set the Netlist Type of all the other partitions to "                                  \
      "Post-Fit?/YNSEDQ_POST_FITTING_INVALID_OTHER_PARTITION_ASSIGNMENTS")                                   \
    X(YNC, ENABLE_CURRENT_VANTREL_FILE_ON_SAVE, 268080, S,                                                   \
      "Do you want to enable Vantrel File \"%1!s!\" for the current "                                        \
      "project?/YNCSEDQ_ENABLE_CURRENT_VANTREL_FILE_ON_SAVE")                                                \
    X(E, JTAG_ERR_VERSION_DIFF, 268059, NONE, "Version not supported/ESEDQ_JTAG_ERR_VERSION_DIFF")           \
    X(E, JTAG_ERR_VERSION_MISMATCH, 268060, NONE,                                                            \
      "Instance version mismatch/ESEDQ_JTAG_ERR_VERSION_MISMATCH")                                           \
    X(E, JTAG_ERR_NO_HARDWARE, 268061, NONE, "Invalid JTAG hardware/ESEDQ_JTAG_ERR_NO_HARDWARE")             \
    X(E, JTAG_ERR_HANDWARE_CHANGED, 268062, NONE, "Invalid data received/ESEDQ_JTAG_ERR_HANDWARE_CHANGED")   \
    X(E, JTAG_ERR_HANDWARE_BUSY, 268063, NONE, "JTAG communication in use/ESEDQ_JTAG_ERR_HANDWARE_BUSY")     \
    X(E, JTAG_ERR_NO_SLD_NODE, 268064, NONE, "Instance not found/ESEDQ_JTAG_ERR_NO_SLD_NODE")                \
    X(E, JTAG_ERR_JTAG_ERROR, 268065, NONE, "Unexpected JTAG communication error/ESEDQ_JTAG_ERR_JTAG_ERROR") \
    X(E, JTAG_ERR_SOF_INCOMPATIBLE, 268066, NONE,                                                            \
      "Not compatible with the device/ESEDQ_JTAG_ERR_SOF_INCOMPATIBLE")                                      \
    X(I, INVALID_VANTREL_NODE_ASSIGNMENT_ITEM, 268007, S,                                                    \
      "Node \"%1!s!\"/ISEDQ_INVALID_VANTREL_NODE_ASSIGNMENT_ITEM")                                           \
    X(I, PRE_SYNTHESIS_NODE_ASSIGNMENT_ITEM, 268009, S,                                                      \
      "Post-fitting node \"%1!s!\"/ISEDQ_PRE_SYNTHESIS_NODE_ASSIGNMENT_ITEM")                                \
    X(I, PRE_SYNTHESIS_INVALID_PARTITION_ITEM, 268013, S,                                                    \
      "Pre-synthesis node \"%1!s!\"/ISEDQ_PRE_SYNTHESIS_INVALID_PARTITION_ITEM")                             \
    X(I, POST_FITTING_INVALID_PARTITION_ITEM, 268014, S,                                                     \
      "Post-fitting node \"%1!s!\"/ISEDQ_POST_FITTING_INVALID_PARTITION_ITEM")                               \
    X(I, NO_INSTANCES, 268028, NONE, "Create an instance/ISEDQ_NO_INSTANCES")                                \
    X(I, NO_NODES, 268029, NONE, "Add nodes to the current instance/ISEDQ_NO_NODES")                         \
    X(I, INVALID_JTAG_CONFIGURATION, 268030, NONE,                                                           \
      "Invalid JTAG configuration/ISEDQ_INVALID_JTAG_CONFIGURATION")                                         \
    X(I, READY_TO_ACQUIRE, 268031, NONE, "Ready to acquire/ISEDQ_READY_TO_ACQUIRE")                          \
    X(I, NOT_RUNNING, 268032, NONE, "Not running/ISEDQ_NOT_RUNNING")                                         \
    X(I, ACQUISITION_IN_PROGRESS, 268033, NONE, "Acquisition in progress/ISEDQ_ACQUISITION_IN_PROGRESS")     \
    X(I, COMPILE_DESIGN, 268034, NONE, "Compile the project to continue/ISEDQ_COMPILE_DESIGN")               \
    X(I, RECOMPILE_DESIGN, 14992, NONE, "Start Relayne to continue/ISEDQ_RECOMPILE_DESIGN")                  \
    X(I, REROUTE_DESIGN, 268035, NONE, "Start Relayne to Reroute the design/ISEDQ_REROUTE_DESIGN")           \
    X(I, PROGRAM_DEVICE, 268036, NONE, "Program the device to continue/ISEDQ_PROGRAM_DEVICE")                \
    X(I, WAITING_FOR_CLOCK, 268037, NONE, "Waiting for clock/ISEDQ_WAITING_FOR_CLOCK")                       \
    X(I, ACQUIRING_PRE_TRIGGER_DATA, 268038, NONE,                                                           \
      "Acquiring pre-trigger data/ISEDQ_ACQUIRING_PRE_TRIGGER_DATA")                                         \
    X(I, ACQUIRING_POST_TRIGGER_DATA, 268039, NONE,                                                          \
      "Acquiring post-trigger data/ISEDQ_ACQUIRING_POST_TRIGGER_DATA")                                       \
    X(I, OFFLOADING_DATA, 268040, NONE, "Offloading acquired data/ISEDQ_OFFLOADING_DATA")                    \
    X(I, WAITING_FOR_TRIGGER, 268041, NONE, "Waiting for trigger/ISEDQ_WAITING_FOR_TRIGGER")                 \
    X(I, POWERUP_WAITING_FOR_CLOCK, 268042, NONE,                                                            \
      "Power-up trigger waiting for clock/ISEDQ_POWERUP_WAITING_FOR_CLOCK")                                  \
    X(I, POWERUP_WAITING_FOR_TRIGGER, 268043, NONE,                                                          \
      "Waiting for power-up trigger/ISEDQ_POWERUP_WAITING_FOR_TRIGGER")                                      \
    X(I, POWERUP_ACQUIRING_PRE_TRIGGER_DATA, 268044, NONE,                                                   \
      "Acquiring power-up pre-trigger data/ISEDQ_POWERUP_ACQUIRING_PRE_TRIGGER_DATA")                        \
    X(I, POWERUP_ACQUIRING_POST_TRIGGER_DATA, 268045, NONE,                                                  \
      "Acquiring power-up post-trigger data/ISEDQ_POWERUP_ACQUIRING_POST_TRIGGER_DATA")                      \
    X(I, POWERUP_OFFLOADING_DATA, 268046, NONE,                                                              \
      "Offloading acquired power-up data/ISEDQ_POWERUP_OFFLOADING_DATA")                                     \
    X(I, TRIGGER_IN_MET, 268047, NONE, "Trigger in conditions met/ISEDQ_TRIGGER_IN_MET")                     \
    X(I, TRIGGER_LEVEL, 268048, NONE, "Trigger level met/ISEDQ_TRIGGER_LEVEL")                               \
    X(I, WAITING_FOR_JTAG, 268049, NONE, "Waiting for JTAG/ISEDQ_WAITING_FOR_JTAG")                          \
    X(I, JTAG_READY, 268050, NONE, "JTAG ready/ISEDQ_JTAG_READY")                                            \
    X(I, JTAG_RUNNING, 268051, NONE, "Acquisition in progress/ISEDQ_JTAG_RUNNING")                           \
    X(I, JTAG_LOOKING_FOR_DEVICES, 268052, NONE, "Looking for devices/ISEDQ_JTAG_LOOKING_FOR_DEVICES")       \
    X(I, JTAG_PROGRAMMING_DEVICE, 268053, NONE, "Programming device/ISEDQ_JTAG_PROGRAMMING_DEVICE")          \
    X(I, JTAG_NO_DEVICE_SELECTED, 268054, NONE, "No device is selected/ISEDQ_JTAG_NO_DEVICE_SELECTED")       \
    X(I, JTAG_NO_DEVICES_DETECTED, 268055, NONE, "No devices detected/ISEDQ_JTAG_NO_DEVICES_DETECTED")       \
    X(I, JTAG_SELECTED_DEVICE_NOT_FOUND, 268056, NONE,                                                       \
      "Selected device not found/ISEDQ_JTAG_SELECTED_DEVICE_NOT_FOUND")                                      \
    X(I, JTAG_COMMUNICATION_ERROR, 268057, NONE, "JTAG communication error/ISEDQ_JTAG_COMMUNICATION_ERROR")  \
    X(I, JTAG_COMMUNICATION_BUSY, 268058, NONE,                                                              \
      "JTAG is busy.  Wait until JTAG chain is available./ISEDQ_JTAG_COMMUNICATION_BUSY")                    \
    X(I, PARAMETER_SHIFT_TYPE, 268083, NONE,                                                                 \
      "Specifies the format of the shifter. The default value is \"Logical\". The sign bit is extended "     \
      "for \"Arithmetic\". For a \"Logical\" right shift, zeros are always shifted into the "                \
      "MSB./ISEDQ_PARAMETER_SHIFT_TYPE")                                                                     \
    X(I, PARAMETER_SHIFT_DISTANCE, 268084, NONE,                                                             \
      "Specifies the number of positions to shift the data[] input in the direction specified by the "       \
      "direction port./ISEDQ_PARAMETER_SHIFT_DISTANCE")                                                      \
    X(I, PARAMETER_PIPELINE, 268085, NONE,                                                                   \
      "Specifies the number of clock cycles of latency associated with the result[] output. A value of "     \
      "zero indicates that no latency exists, and that a purely combinational function will be "             \
      "instantiated. You can increase performance of this parameter by specifying a value of three or "      \
      "less. This parameter does not change the logic function. The pipeline will be automatically "         \
      "applied to the rest of the objects in the advanced trigger condition during implementation of "       \
      "the advanced trigger condition./ISEDQ_PARAMETER_PIPELINE")                                            \
    X(I, PARAMETER_COMPARISON_TYPE, 268086, NONE,                                                            \
      "Specifies the comparison type used when comparing inputs. For example, Greater Than defines "         \
      "input a > input b./ISEDQ_PARAMETER_COMPARISON_TYPE")                                                  \
    X(I, PARAMETER_SIGNED_COMPARISON_TYPE, 268087, NONE,                                                     \
      "Specifies whether the inputs to the comparison will be signed or unsigned "                           \
      "integers./ISEDQ_PARAMETER_SIGNED_COMPARISON_TYPE")                                                    \
    X(I, PARAMETER_PATTERN, 268088, NONE,                                                                    \
      "Specifies the pattern used to compare with inputs. Create patterns using the following legal "        \
      "characters: 1=High, 0=Low, H=High, L=Low, R=Rising Edge, F=Falling Edge, E=Either Edge, X=Don't "     \
      "Care./ISEDQ_PARAMETER_PATTERN")                                                                       \
    X(I, PARAMETER_BITSTREAM, 14761, NONE,                                                                   \
      "Specifies a runtime configurable bit string that will be fed to the 'pattern_in' input of your "      \
      "custom trigger HDL.  The length of your bit string should match the width of your 'pattern_in' "      \
      "input of your module, and should only contain the characters '1' and '0'. An empty bit string "       \
      "implies a module without a 'pattern_in' input./ISEDQ_PARAMETER_BITSTREAM")                            \
    X(I, PARAMETER_MODULE_NAME, 14762, NONE,                                                                 \
      "Specifies the module name of the custom trigger HDL./ISEDQ_PARAMETER_MODULE_NAME")                    \
    X(I, PARAMETER_BUS_DISPLAY_FORMAT, 268089, NONE,                                                         \
      "Specifies the radix of the Bus Value parameter setting./ISEDQ_PARAMETER_BUS_DISPLAY_FORMAT")          \
    X(I, PARAMETER_BIT_ORDER, 268090, NONE,                                                                  \
      "Specifies the bit order used to concatenate the bus value. The bit order is from top to bottom "      \
      "among the objects connected to the Bus object in the Advanced Trigger Condition Editor. For "         \
      "example, the LSB to MSB setting specifies that the top-most, first bit connected to the Bus "         \
      "object in the Advanced Trigger Condition Editor is the least significant "                            \
      "bit./ISEDQ_PARAMETER_BIT_ORDER")                                                                      \
    X(I, PARAMETER_DATA_DELAY, 268091, NONE,                                                                 \
      "Specifies the number of acquisition clock cycles prior to the current acquisition clock cycle "       \
      "to sample the value of the signal./ISEDQ_PARAMETER_DATA_DELAY")                                       \
    X(I, PARAMETER_BUS_VALUE, 268092, NONE,                                                                  \
      "Specifies the bus value. The radix of the bus value can be specified using the Bus Radix "            \
      "parameter./ISEDQ_PARAMETER_BUS_VALUE")                                                                \
    X(I, PARAMETER_BUS_NAME, 268093, NONE,                                                                   \
      "Specifies the original node name of the bus generated by the Compiler./ISEDQ_PARAMETER_BUS_NAME")     \
    X(I, PARAMETER_BIT_VALUE, 268094, NONE, "Specifies the bit value./ISEDQ_PARAMETER_BIT_VALUE")            \
    X(I, PARAMETER_SHIFT_DIRECTION, 268095, NONE,                                                            \
      "Specifies the direction to shift the data[] input. Left specifies a shift towards the MSB. "          \
      "Right specifies a shift towards the LSB./ISEDQ_PARAMETER_SHIFT_DIRECTION")                            \
    X(I, PARAMETER_BITWISE_OPERATOR_TYPE, 268096, NONE,                                                      \
      "Specifies the bitwise operator type./ISEDQ_PARAMETER_BITWISE_OPERATOR_TYPE")                          \
    X(I, PARAMETER_LOGICAL_OPERATOR_TYPE, 268097, NONE,                                                      \
      "Specifies the logical operator type./ISEDQ_PARAMETER_LOGICAL_OPERATOR_TYPE")                          \
    X(I, PARAMETER_REDUCTION_OPERATOR_TYPE, 268098, NONE,                                                    \
      "Specifies the reduction operator type./ISEDQ_PARAMETER_REDUCTION_OPERATOR_TYPE")                      \
    X(I, PARAMETER_COUNTER_TYPE, 268099, NONE,                                                               \
      "Specifies the type of counter in the Advanced Trigger condition. The default type is \"Event\". "     \
      "The \"Continuous\" counter type counts consecutive high values. The \"Event\" counter type "          \
      "counts sequential high values. The \"State\" counter type counts low to high "                        \
      "transitions./ISEDQ_PARAMETER_COUNTER_TYPE")                                                           \
    X(I, PARAMETER_COUNTER_WIDTH, 268100, NONE,                                                              \
      "This message specifies the maximum number of events that can be specified for the Counter Value "     \
      "setting. The maximum number of events must be between 1 and 2^31-1. The default value is "            \
      "255./ISEDQ_PARAMETER_COUNTER_WIDTH")                                                                  \
    X(I, PARAMETER_COUNTER_VALUE, 268101, NONE,                                                              \
      "Specifies the number of events that must occur before the Counter object triggers. The default "      \
      "value is 1. The Counter Value setting cannot exceed the Max Counter Value "                           \
      "setting./ISEDQ_PARAMETER_COUNTER_VALUE")                                                              \
    X(I, PARAMETER_COUNTER_HOLD, 268102, NONE,                                                               \
      "Specifies whether or not the output stays high after reaching the maximum counter "                   \
      "value./ISEDQ_PARAMETER_COUNTER_HOLD")                                                                 \
    X(I, PRE_SYNTHESIS_VALID_PARTITION_LIST, 268115, NONE,                                                   \
      "The netlist type of the partitions of the following nodes have been set to Source "                   \
      "File./ISEDQ_PRE_SYNTHESIS_VALID_PARTITION_LIST")                                                      \
    X(I, PRE_SYNTHESIS_VALID_PARTITION_ITEM, 268116, S,                                                      \
      "Pre-synthesis node \"%1!s!\"/ISEDQ_PRE_SYNTHESIS_VALID_PARTITION_ITEM")                               \
    X(I, POST_FITTING_VALID_PARTITION_LIST, 268120, NONE,                                                    \
      "The netlist type of the partitions of the following nodes have been set to Post-Fit or Post-Fit "     \
      "(Import-based)./ISEDQ_POST_FITTING_VALID_PARTITION_LIST")                                             \
    X(I, POST_FITTING_VALID_PARTITION_ITEM, 268121, S,                                                       \
      "Post-fitting node \"%1!s!\"/ISEDQ_POST_FITTING_VALID_PARTITION_ITEM")                                 \
    X(W, INVALID_VANTREL_NODE_ASSIGNMENT_LIST, 268002, NONE,                                                 \
      "The following post-fitting nodes may not be tappable because incremental compilation is not "         \
      "enabled for the project./WSEDQ_INVALID_VANTREL_NODE_ASSIGNMENT_LIST")                                 \
    X(W, PRE_SYNTHESIS_INVALID_PARTITION_LIST, 268003, NONE,                                                 \
      "The netlist type of the partitions of the following nodes should be set to Source "                   \
      "File./WSEDQ_PRE_SYNTHESIS_INVALID_PARTITION_LIST")                                                    \
    X(W, POST_FITTING_INVALID_PARTITION_LIST, 268004, NONE,                                                  \
      "The netlist type of the partitions of the following nodes should be set to Post-Fit, Post-Fit "       \
      "(Strict), or Post-Fit (Import-based)./WSEDQ_POST_FITTING_INVALID_PARTITION_LIST")                     \
    X(W, OLD_INCREMENTAL_ROUTE_USED_SYS, 268109, SSS,                                                        \
      "The incremental routing feature is used in the instance: %1!s!, the signal set: %2!s!, and the "      \
      "trigger: %3!s!.  The current release of the Corvane software no longer supports this "                \
      "feature./WSEDQ_OLD_INCREMENTAL_ROUTE_USED_SYS")                                                       \
    X(W, DECODED_VALUES_NOT_KEPT, 268165, SS,                                                                \
      "The decoded values of data log \"%1!s!\" are not kept in the document: %2!s!. The decoder shows "     \
      "them while it is loaded; delete data logs to make room./WSEDQ_DECODED_VALUES_NOT_KEPT")

// The E, I and W identifiers in the order the host registers them.
#define SEDQ_MSG_REGISTERED(X) \
    X(268002) X(268003) X(268004) \
    X(268007) X(268009) X(268013) X(268014) \
    X(268028) X(268029) X(268030) X(268031) X(268032) X(268033) X(268034) X(14992) \
    X(268035) X(268036) X(268037) X(268038) X(268039) X(268040) X(268041) X(268042) \
    X(268043) X(268044) X(268045) X(268046) X(268047) X(268048) X(268049) X(268050) \
    X(268051) X(268052) X(268053) X(268054) X(268055) X(268056) X(268057) X(268058) \
    X(268059) X(268060) X(268061) X(268062) X(268063) X(268064) X(268065) X(268066) \
    X(268083) X(268084) X(268085) X(268086) X(268087) X(268088) X(14761) X(14762) \
    X(268089) X(268090) X(268091) X(268092) X(268093) X(268094) X(268095) X(268096) \
    X(268097) X(268098) X(268099) X(268100) X(268101) X(268102) \
    X(268109) \
    X(268115) X(268116) X(268120) X(268121) \
    X(268165)

// clang-format on

namespace
{
using MSG_SEDQ::KIND;
using MSG_SEDQ::ROW;

#define SEDQ_MSG_ARGUMENTS_NONE ""
#define SEDQ_MSG_ARGUMENTS_S "s"
#define SEDQ_MSG_ARGUMENTS_D "d"
#define SEDQ_MSG_ARGUMENTS_DS "ds"
#define SEDQ_MSG_ARGUMENTS_SS "ss"
#define SEDQ_MSG_ARGUMENTS_SSS "sss"

#define SEDQ_MSG_ROW(K, N, ID, SIG, TEXT) {#N, ID, KIND::K, TEXT, SEDQ_MSG_ARGUMENTS_##SIG},
constexpr ROW ROWS[] = {SEDQ_MSG_ROWS(SEDQ_MSG_ROW)};

#define SEDQ_MSG_INDEX(K, N, ID, SIG, TEXT) ROW_##K##_##N,
enum ROW_INDEX
{
    SEDQ_MSG_ROWS(SEDQ_MSG_INDEX) ROW_COUNT
};
static_assert(ROW_COUNT == std::size(ROWS), "one index per row");

// The host reads one value per placeholder through varargs: strings must arrive as
// `char const*`, never as std::string objects.
template <typename MESSAGE, typename... VALUES> MESSAGE* build(ROW_INDEX index, VALUES... values)
{
    static_assert(((std::is_same_v<VALUES, const char*> || std::is_same_v<VALUES, int>)&&...),
                  "placeholder values are character pointers or ints");
    const ROW& row = ROWS[index];
    auto* message = new MESSAGE(nullptr);
    message->fill_args(row.text, values...);
    message->set_id(row.id);
    return message;
}

bool is_suppressed(ROW_INDEX index)
{
    const MSG_INDEX* host_index = MSG_INDEX::get_default_index();
    if (!SEDQ_VERIFY(host_index != NULL))
        return false;
    return host_index->is_suppressed(ROWS[index].id);
}

// Only E, I and W rows are registered; any other id makes the registrar table fail to compile.
constexpr MSG_POST_TYPE post_type_of(unsigned int id)
{
    for (const ROW& row : ROWS)
    {
        if (row.id != id)
            continue;
        if (row.kind == KIND::E)
            return MSG_POST_TYPE_ERROR;
        if (row.kind == KIND::I)
            return MSG_POST_TYPE_INFO;
        if (row.kind == KIND::W)
            return MSG_POST_TYPE_WARNING;
    }
    throw "not the id of an E, I or W message";
}

#define SEDQ_MSG_REGISTERED_ID(ID) ID,
constexpr unsigned int REGISTERED[] = {SEDQ_MSG_REGISTERED(SEDQ_MSG_REGISTERED_ID)};

// Every registered id is an E, I or W row (post_type_of); with no id twice and as many ids as
// such rows, each of them is registered exactly once.
constexpr bool registers_each_e_i_w_row_once()
{
    size_t rows = 0;
    for (const ROW& row : ROWS)
        rows += row.kind == KIND::E || row.kind == KIND::I || row.kind == KIND::W;
    for (size_t i = 0; i < std::size(REGISTERED); ++i)
    {
        for (size_t j = i + 1; j < std::size(REGISTERED); ++j)
        {
            if (REGISTERED[i] == REGISTERED[j])
                return false;
        }
    }
    return rows == SEDQ_MSG_ID_COUNT && std::size(REGISTERED) == SEDQ_MSG_ID_COUNT;
}
static_assert(registers_each_e_i_w_row_once(), "every E, I and W message registered once");
} // namespace

namespace MSG_SEDQ
{
const char* kind_letters(KIND kind)
{
    switch (kind)
    {
    case KIND::O:
        return "O";
    case KIND::OC:
        return "OC";
    case KIND::YN:
        return "YN";
    case KIND::YNC:
        return "YNC";
    case KIND::E:
        return "E";
    case KIND::I:
        return "I";
    case KIND::W:
        return "W";
    }
    return "";
}

ROW_RANGE catalogue()
{
    return {ROWS, ROWS + ROW_COUNT};
}

const ROW* find_row(unsigned int id)
{
    for (const ROW& row : ROWS)
    {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

MSG_I* detail(const std::string& text)
{
    auto* message = new MSG_I();
    // The text is a value, never scanned for placeholders or a help key.
    message->fill_args("%1!s!", text.c_str());
    return message;
}
} // namespace MSG_SEDQ

const unsigned int sedq_msg_ids[SEDQ_MSG_ID_COUNT] = {SEDQ_MSG_REGISTERED(SEDQ_MSG_REGISTERED_ID)};

#define SEDQ_MSG_REGISTERED_TYPE(ID) std::integral_constant<MSG_POST_TYPE, post_type_of(ID)>::value,
const MSG_POST_TYPE sedq_msg_id_types[SEDQ_MSG_ID_COUNT] = {SEDQ_MSG_REGISTERED(SEDQ_MSG_REGISTERED_TYPE)};

// The factories. Parameters and the values handed to the host, per argument kinds.
#define SEDQ_MSG_PARAMS_NONE ()
#define SEDQ_MSG_PARAMS_S (const std::string& s1)
#define SEDQ_MSG_PARAMS_D (int d1)
#define SEDQ_MSG_PARAMS_DS (int d1, const std::string& s2)
#define SEDQ_MSG_PARAMS_SS (const std::string& s1, const std::string& s2)
#define SEDQ_MSG_PARAMS_SSS (const std::string& s1, const std::string& s2, const std::string& s3)
#define SEDQ_MSG_VALUES_NONE
#define SEDQ_MSG_VALUES_S , s1.c_str()
#define SEDQ_MSG_VALUES_D , d1
#define SEDQ_MSG_VALUES_DS , d1, s2.c_str()
#define SEDQ_MSG_VALUES_SS , s1.c_str(), s2.c_str()
#define SEDQ_MSG_VALUES_SSS , s1.c_str(), s2.c_str(), s3.c_str()

#define SEDQ_MSG_BUILD(K, N, SIG) build<MSG_##K>(ROW_##K##_##N SEDQ_MSG_VALUES_##SIG)

#define SEDQ_MSG_PLAIN(K, N, SIG)                                                                            \
    MSG_##K* MSG_SEDQ::K::N SEDQ_MSG_PARAMS_##SIG                                                            \
    {                                                                                                        \
        return SEDQ_MSG_BUILD(K, N, SIG);                                                                    \
    }

// The suppressible kinds: the factory is the unsuppressed builder behind one suppression check.
#define SEDQ_MSG_SUPPRESSIBLE(K, N, SIG)                                                                     \
    MSG_##K* MSG_SEDQ::unsuppressed::K::N SEDQ_MSG_PARAMS_##SIG                                              \
    {                                                                                                        \
        return SEDQ_MSG_BUILD(K, N, SIG);                                                                    \
    }                                                                                                        \
    MSG_##K* MSG_SEDQ::K::N SEDQ_MSG_PARAMS_##SIG                                                            \
    {                                                                                                        \
        if (is_suppressed(ROW_##K##_##N))                                                                    \
            return new MSG_##K##_NULL();                                                                     \
        return SEDQ_MSG_BUILD(K, N, SIG);                                                                    \
    }

#define SEDQ_MSG_FACTORY_O SEDQ_MSG_PLAIN
#define SEDQ_MSG_FACTORY_OC SEDQ_MSG_PLAIN
#define SEDQ_MSG_FACTORY_YN SEDQ_MSG_PLAIN
#define SEDQ_MSG_FACTORY_YNC SEDQ_MSG_PLAIN
#define SEDQ_MSG_FACTORY_E SEDQ_MSG_PLAIN
#define SEDQ_MSG_FACTORY_I SEDQ_MSG_SUPPRESSIBLE
#define SEDQ_MSG_FACTORY_W SEDQ_MSG_SUPPRESSIBLE
#define SEDQ_MSG_FACTORY(K, N, ID, SIG, TEXT) SEDQ_MSG_FACTORY_##K(K, N, SIG)

SEDQ_MSG_ROWS(SEDQ_MSG_FACTORY)
