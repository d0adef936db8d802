// Every global of the library that other files can name and that runs code when the library
// loads or unloads, in the one order in which they are built; unload destroys them in the
// reverse order. Keep them in this file: across files the order of
// construction would be unspecified, and two orderings matter here: the status texts need
// the empty text-to-message map, and the garbage collector, defined after the map, frees
// the map's messages just before the map itself goes.
#include "sedq/model/sedq_globals.h"

#include "sedq/advanced_trigger/sedq_global_qstrings.h"
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"
#include "sedq/frame/sedq_auto_sedq_tcl_init.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/plugins/sedq_mnemonic_dlg_sets.h"
#include "sedq/plugins/sedq_mnemonic_dlg_table_view.h"
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"
#include "sedq/plugins/sedq_plugin_entry.h"
#include "sedq/plugins/sedq_plugin_hierarchy_dlg.h"
#include "sedq/plugins/sedq_plugin_option_dlg.h"
#include "sedq/model/sedq_util.h"
#include "sedq/view/sedq_drawing.h"
#include "sedq/view/sedq_view_ntfq_handler.h"

#include "host/mem.h"
#include "host/msg.h"
#include "host/ntfq.h"

namespace
{
// The default palette whose base area is left unfilled in every colour group.
QPalette make_grey_base_palette()
{
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(Qt::NoBrush));
    return palette;
}
} // namespace

// Texts are built on the heap (not as literals in this library's read-only data) so that a
// copy the host still holds after the library is unloaded does not point into unmapped memory.

// Registers the library with the host's memory bookkeeping before anything else exists.
MEM_INITIALIZER mem_initializer("SEDQ");

const QString SEDQ_LOCK_MODE_ALLOW_ALL_STRING = QString::fromLatin1("Allow all changes");
const QString SEDQ_LOCK_MODE_ALLOW_INCREMENTAL_STRING =
    QString::fromLatin1("Allow incremental route changes only");
const QString SEDQ_LOCK_MODE_ALLOW_TRIGGER_STRING =
    QString::fromLatin1("Allow trigger condition changes only");
const QMap<QString, SEDQ_LOCK_MODE> SEDQ_LOCK_MODE_MAP = sedq_get_lock_mode_map();

const QBrush SEDQ_POWERUP_BRUSH(QColor(153, 204, 255), Qt::SolidPattern);
const QPen SEDQ_CONDITION_NAME_PEN(QColor(128, 0, 128));
const QPen SEDQ_DOTTED_PEN = sedq_get_dotted_pen();

const QPalette SEDQ_GREY_BASE_PALETTE = make_grey_base_palette();
const QPalette SEDQ_YELLOW_BASE_PALETTE = sedq_get_palette(QPalette::Base, Qt::yellow);
const QPalette SEDQ_GREEN_BASE_PALETTE = sedq_get_palette(QPalette::Base, Qt::green);
const QPalette SEDQ_RED_BASE_PALETTE = sedq_get_palette(QPalette::Base, Qt::red);
const QPalette SEDQ_RED_TEXT_PALETTE = sedq_get_palette(QPalette::Text, Qt::red);

SEDQ_AUTO_SEDQ_TCL_INIT sedq_auto_sedq_tcl_init;

// The document model runs the decoder plug-in dialogs through these.
SEDQ_TX_MANAGER::PLUGIN_HIERARCHY_CHOICE SEDQ_TX_MANAGER::s_choose_plugin_hierarchy = &SEDQ_PLUGIN_HIERARCHY_DLG::choose;
SEDQ_TX_MANAGER::PLUGIN_OPTIONS_EDIT SEDQ_TX_MANAGER::s_edit_plugin_options = &SEDQ_PLUGIN_OPTION_DLG::edit;

// The memory-block families of the target devices, smallest first. Each name is distinct
// and none contains another, since the wizard matches them by substring.
const QString SEDQ_RAM_TYPE_DISPLAY_STR_AUTO = QString::fromLatin1("Auto");
const QString SEDQ_RAM_TYPE_DISPLAY_STR_SMALL = QString::fromLatin1("VLAB");
const QString SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM = QString::fromLatin1("V20K");
const QString SEDQ_RAM_TYPE_DISPLAY_STR_LARGE = QString::fromLatin1("V144K");

QMap<QString, MSG_BASE*> SEDQ_TEXT_TO_MSG_MAP;
SEDQ_GARBAGE_COLLECTOR sedq_garbage_collector;

// Status texts. They are compared with what the panes show, so they are rendered from
// messages built whatever the user has suppressed: a suppressed message would render empty.
const QString SEDQ_INSTANCE_WIDGET::SEDQ_NO_INSTANCES_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::NO_INSTANCES());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_NO_NODES_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::NO_NODES());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::READY_TO_ACQUIRE());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_NOT_RUNNING_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::NOT_RUNNING());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_ACQUISITION_IN_PROGRESS_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::ACQUISITION_IN_PROGRESS());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_CLOCK_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::WAITING_FOR_CLOCK());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::COMPILE_DESIGN());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_RECOMPILE_DESIGN_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::RECOMPILE_DESIGN());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_REROUTE_DESIGN_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::REROUTE_DESIGN());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::PROGRAM_DEVICE());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_ACQUIRING_PRE_TRIGGER_DATA_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::ACQUIRING_PRE_TRIGGER_DATA());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::ACQUIRING_POST_TRIGGER_DATA());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_OFFLOADING_DATA_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::OFFLOADING_DATA());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_TRIGGER_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::WAITING_FOR_TRIGGER());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_TRIGGER_IN_MET_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::TRIGGER_IN_MET());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_TRIGGER_LEVEL_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::TRIGGER_LEVEL());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_INVALID_JTAG_CONFIGURATION_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::INVALID_JTAG_CONFIGURATION());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_COMMUNICATION_ERROR_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::JTAG_COMMUNICATION_ERROR());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_COMMUNICATION_BUSY_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::JTAG_COMMUNICATION_BUSY());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_JTAG_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::WAITING_FOR_JTAG());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_POWERUP_WAITING_FOR_CLOCK_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::POWERUP_WAITING_FOR_CLOCK());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_POWERUP_WAITING_FOR_TRIGGER_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::POWERUP_WAITING_FOR_TRIGGER());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_POWERUP_ACQUIRING_PRE_TRIGGER_DATA_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::POWERUP_ACQUIRING_PRE_TRIGGER_DATA());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_POWERUP_ACQUIRING_POST_TRIGGER_DATA_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::POWERUP_ACQUIRING_POST_TRIGGER_DATA());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_POWERUP_OFFLOADING_DATA_STR =
    sedq_msg_to_text(MSG_SEDQ::unsuppressed::I::POWERUP_OFFLOADING_DATA());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_VERSION_DIFF_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_VERSION_DIFF());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_VERSION_MISMATCH_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_VERSION_MISMATCH());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_NO_HARDWARE_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_NO_HARDWARE());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_HANDWARE_CHANGED_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_HANDWARE_CHANGED());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_HANDWARE_BUSY_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_HANDWARE_BUSY());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_NO_SLD_NODE_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_NO_SLD_NODE());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_JTAG_ERROR_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_JTAG_ERROR());
const QString SEDQ_INSTANCE_WIDGET::SEDQ_JTAG_ERR_SOF_INCOMPATIBLE_STR =
    sedq_msg_to_text(MSG_SEDQ::E::JTAG_ERR_SOF_INCOMPATIBLE());

// Result texts of the trigger objects' text getters, one per getter.
QString sedq_global_qstring1;
QString sedq_global_qstring2;
QString sedq_global_qstring3;
QString sedq_global_qstring4;
QString sedq_global_qstring5;
QString sedq_global_qstring6;
QString sedq_global_qstring7;
QString sedq_global_qstring8;
QString sedq_global_qstring9;
QString sedq_global_qstring10;
QString sedq_global_qstring11;
QString sedq_global_qstring12;

QMap<QString, SEDQ_PLUGIN_ENTRY*> s_sedq_plugin_map;

NTFQ_NOTIFY_MAP_ENTRY SEDQ_VIEW_NTFQ_HANDLER::m_notify_map_entries[1] = {
    {ntfq_get_message("NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED"),
     &ntfq_handler<SEDQ_VIEW_NTFQ_HANDLER, &SEDQ_VIEW_NTFQ_HANDLER::on_settings_changed>},
};

MSG_ID_REGISTRAR sedq_msg_id_registrar(sedq_msg_ids, sedq_msg_id_types, SEDQ_MSG_ID_COUNT);

const QString SEDQ_STATE_MACHINE_NOT_TAPPED_STRING = QString::fromLatin1("Not tapped");
const QString SEDQ_STATE_MACHINE_MNEMONICS_UNCHANGED_STRING = QString::fromLatin1("Mnemonics unchanged");
const QString SEDQ_STATE_MACHINE_ALREADY_TAPPED_STRING = QString::fromLatin1("Already tapped");
const QString SEDQ_STATE_MACHINE_UNTAPPABLE_STRING =
    QString::fromLatin1("Untappable due to register push-back");
const QString SEDQ_STATE_MACHINE_NO_PRE_SYNTHESIS_FOUND_STRING =
    QString::fromLatin1("No pre-synthesis state machines found");
const QString SEDQ_STATE_MACHINE_NO_POST_FITTING_FOUND_STRING =
    QString::fromLatin1("No post-fitting state machines found");
const QString SEDQ_STATE_MACHINE_NO_PRE_SYNTHESIS_TAPPED_STRING =
    QString::fromLatin1("No pre-synthesis state machines tapped");
const QString SEDQ_STATE_MACHINE_NO_POST_FITTING_TAPPED_STRING =
    QString::fromLatin1("No post-fitting state machines tapped");

const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_PATTERN_STR = get_pattern_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BUS_VALUE_STR = get_bus_value_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BUS_NAME_STR = get_bus_name_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_COMPARISON_TYPE_STR = get_comparison_type_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_SIGNED_COMPARISON_TYPE_STR =
    get_signed_comparison_type_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BIT_VALUE_STR = get_bit_value_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_SHIFT_TYPE_STR = get_shift_type_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_SHIFT_DIRECTION_STR = get_shift_direction_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_SHIFT_DISTANCE_STR = get_shift_distance_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BUS_DISPLAY_FORMAT_STR =
    get_bus_display_format_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BIT_ORDER_STR = get_bit_order_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_PIPELINE_STR = get_pipeline_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_DATA_DELAY_STR = get_data_delay_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BITWISE_OPERATOR_TYPE_STR =
    get_bitwise_operator_type_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_LOGICAL_OPERATOR_TYPE_STR =
    get_logical_operator_type_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_REDUCTION_OPERATOR_TYPE_STR =
    get_reduction_operator_type_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_COUNTER_TYPE_STR = get_counter_type_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_COUNTER_WIDTH_STR = get_counter_width_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_COUNTER_VALUE_STR = get_counter_value_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_COUNTER_HOLD_STR = get_counter_hold_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_MODULE_NAME_STR = get_module_name_message();
const QString SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BITSTREAM_STR = get_bitstream_message();

// The mnemonic table dialogs: the symbol a new pattern row shows, the entry row of a table and
// the file filter of the import dialog.
const QString SEDQ_MNEMONIC_NO_SYMBOL = QString::fromLatin1("<enter symbol>");
const QString SEDQ_MNEMONIC_TABLE_VIEW::NEW_ROW_TEXT = QString::fromLatin1("<<new>>");
const QString SEDQ_MNEMONIC_IMPORT_DLG::FILE_FILTER = QString::fromLatin1("Vantrel File (*.vtl)");

// Frees the bus scratch buffers when the library unloads.
SEDQ_BUS::STORAGE_RELEASE SEDQ_BUS::s_storage_release;
