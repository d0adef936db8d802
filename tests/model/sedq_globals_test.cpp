// Load-time globals: lock modes, status texts and their messages, drawing objects, parameter
// texts, registrations with the host and the static Tcl package.
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"
#include "sedq/frame/sedq_entry_points.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/plugins/sedq_plugin_entry.h"
#include "sedq/model/sedq_util.h"
#include "sedq/view/sedq_view_ntfq_handler.h"

#include "host/atcl.h"
#include "host/standin/atcl_control.h"
#include "host/standin/mem_control.h"
#include "host/standin/msg_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace
{
struct text_row
{
    const char* name;
    const QString* text;
    unsigned int id;
};

#define SEDQ_STATUS(NAME, ID)                                                                                \
    {                                                                                                        \
#NAME, &SEDQ_INSTANCE_WIDGET::SEDQ_##NAME##_STR, ID                                                  \
    }
const std::vector<text_row>& status_rows()
{
    static const std::vector<text_row> rows = {
        SEDQ_STATUS(NO_INSTANCES, 268028),
        SEDQ_STATUS(NO_NODES, 268029),
        SEDQ_STATUS(READY_TO_ACQUIRE, 268031),
        SEDQ_STATUS(NOT_RUNNING, 268032),
        SEDQ_STATUS(ACQUISITION_IN_PROGRESS, 268033),
        SEDQ_STATUS(WAITING_FOR_CLOCK, 268037),
        SEDQ_STATUS(COMPILE_DESIGN, 268034),
        SEDQ_STATUS(RECOMPILE_DESIGN, 14992),
        SEDQ_STATUS(REROUTE_DESIGN, 268035),
        SEDQ_STATUS(PROGRAM_DEVICE, 268036),
        SEDQ_STATUS(ACQUIRING_PRE_TRIGGER_DATA, 268038),
        SEDQ_STATUS(ACQUIRING_POST_TRIGGER_DATA, 268039),
        SEDQ_STATUS(OFFLOADING_DATA, 268040),
        SEDQ_STATUS(WAITING_FOR_TRIGGER, 268041),
        SEDQ_STATUS(TRIGGER_IN_MET, 268047),
        SEDQ_STATUS(TRIGGER_LEVEL, 268048),
        SEDQ_STATUS(INVALID_JTAG_CONFIGURATION, 268030),
        SEDQ_STATUS(JTAG_COMMUNICATION_ERROR, 268057),
        SEDQ_STATUS(JTAG_COMMUNICATION_BUSY, 268058),
        SEDQ_STATUS(WAITING_FOR_JTAG, 268049),
        SEDQ_STATUS(POWERUP_WAITING_FOR_CLOCK, 268042),
        SEDQ_STATUS(POWERUP_WAITING_FOR_TRIGGER, 268043),
        SEDQ_STATUS(POWERUP_ACQUIRING_PRE_TRIGGER_DATA, 268044),
        SEDQ_STATUS(POWERUP_ACQUIRING_POST_TRIGGER_DATA, 268045),
        SEDQ_STATUS(POWERUP_OFFLOADING_DATA, 268046),
        SEDQ_STATUS(JTAG_ERR_VERSION_DIFF, 268059),
        SEDQ_STATUS(JTAG_ERR_VERSION_MISMATCH, 268060),
        SEDQ_STATUS(JTAG_ERR_NO_HARDWARE, 268061),
        SEDQ_STATUS(JTAG_ERR_HANDWARE_CHANGED, 268062),
        SEDQ_STATUS(JTAG_ERR_HANDWARE_BUSY, 268063),
        SEDQ_STATUS(JTAG_ERR_NO_SLD_NODE, 268064),
        SEDQ_STATUS(JTAG_ERR_JTAG_ERROR, 268065),
        SEDQ_STATUS(JTAG_ERR_SOF_INCOMPATIBLE, 268066),
    };
    return rows;
}
#undef SEDQ_STATUS

#define SEDQ_PARAMETER(NAME, ID)                                                                             \
    {                                                                                                        \
#NAME, &SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_##NAME##_STR, ID                                 \
    }
const std::vector<text_row>& parameter_rows()
{
    static const std::vector<text_row> rows = {
        SEDQ_PARAMETER(PATTERN, 268088),
        SEDQ_PARAMETER(BUS_VALUE, 268092),
        SEDQ_PARAMETER(BUS_NAME, 268093),
        SEDQ_PARAMETER(COMPARISON_TYPE, 268086),
        SEDQ_PARAMETER(SIGNED_COMPARISON_TYPE, 268087),
        SEDQ_PARAMETER(BIT_VALUE, 268094),
        SEDQ_PARAMETER(SHIFT_TYPE, 268083),
        SEDQ_PARAMETER(SHIFT_DIRECTION, 268095),
        SEDQ_PARAMETER(SHIFT_DISTANCE, 268084),
        SEDQ_PARAMETER(BUS_DISPLAY_FORMAT, 268089),
        SEDQ_PARAMETER(BIT_ORDER, 268090),
        SEDQ_PARAMETER(PIPELINE, 268085),
        SEDQ_PARAMETER(DATA_DELAY, 268091),
        SEDQ_PARAMETER(BITWISE_OPERATOR_TYPE, 268096),
        SEDQ_PARAMETER(LOGICAL_OPERATOR_TYPE, 268097),
        SEDQ_PARAMETER(REDUCTION_OPERATOR_TYPE, 268098),
        SEDQ_PARAMETER(COUNTER_TYPE, 268099),
        SEDQ_PARAMETER(COUNTER_WIDTH, 268100),
        SEDQ_PARAMETER(COUNTER_VALUE, 268101),
        SEDQ_PARAMETER(COUNTER_HOLD, 268102),
        SEDQ_PARAMETER(MODULE_NAME, 14762),
        SEDQ_PARAMETER(BITSTREAM, 14761),
    };
    return rows;
}
#undef SEDQ_PARAMETER

// The visible sentence of a catalogue row: its text before the "/KIND..." key.
QString sentence_of(unsigned int id)
{
    const MSG_SEDQ::ROW* row = MSG_SEDQ::find_row(id);
    if (!row)
        return QString();
    const std::string text = row->text;
    return QString::fromStdString(text.substr(0, text.rfind('/')));
}

const QPalette::ColorGroup all_groups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};
} // namespace

TEST(sedq_globals, lock_mode_map_holds_exactly_the_three_modes)
{
    EXPECT_EQ(SEDQ_LOCK_MODE_MAP.size(), 3);
    EXPECT_EQ(SEDQ_LOCK_MODE_MAP.value("Allow all changes", SEDQ_LOCK_MODE(-1)), SEDQ_LOCK_MODE_ALLOW_ALL);
    EXPECT_EQ(SEDQ_LOCK_MODE_MAP.value("Allow incremental route changes only", SEDQ_LOCK_MODE(-1)),
              SEDQ_LOCK_MODE_ALLOW_INCREMENTAL);
    EXPECT_EQ(SEDQ_LOCK_MODE_MAP.value("Allow trigger condition changes only", SEDQ_LOCK_MODE(-1)),
              SEDQ_LOCK_MODE_ALLOW_TRIGGER);
    EXPECT_EQ(SEDQ_LOCK_MODE_MAP.keys(),
              (QStringList{SEDQ_LOCK_MODE_ALLOW_ALL_STRING, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL_STRING,
                           SEDQ_LOCK_MODE_ALLOW_TRIGGER_STRING}));
}

TEST(sedq_globals, status_texts_are_the_messages_sentences_and_pairwise_different)
{
    ASSERT_EQ(status_rows().size(), 33u);
    std::set<QString> seen;
    for (const text_row& row : status_rows())
    {
        EXPECT_FALSE(row.text->isEmpty()) << row.name;
        EXPECT_EQ(*row.text, sentence_of(row.id)) << row.name;
        EXPECT_TRUE(seen.insert(*row.text).second) << row.name << " repeats " << row.text->toStdString();
    }
    EXPECT_EQ(SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_JTAG_STR, QString("Waiting for JTAG"));
}

TEST(sedq_globals, each_status_text_finds_its_own_message)
{
    for (const text_row& row : status_rows())
    {
        MSG_BASE* message = sedq_text_to_msg(*row.text);
        ASSERT_NE(message, nullptr) << row.name;
        EXPECT_EQ(message->get_id(), row.id) << row.name;
        EXPECT_EQ(QString::fromLatin1(message->text()), *row.text) << row.name;
    }
    EXPECT_EQ(sedq_text_to_msg("Not running")->get_id(), 268032u);
    EXPECT_EQ(SEDQ_TEXT_TO_MSG_MAP.size(), 33);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sedq_globals, unknown_text_reports_and_leaves_the_map_unchanged)
{
    EXPECT_EQ(sedq_text_to_msg("Acquisition in progress, maybe"), nullptr);
    EXPECT_EQ(sedq_text_to_msg(QString()), nullptr);
    ASSERT_EQ(standin::msg::internal_errors().size(), 2u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "SEDQ_TEXT_TO_MSG_MAP.contains(text)");
    EXPECT_EQ(standin::msg::internal_errors()[0].module, "SEDQ");
    EXPECT_EQ(SEDQ_TEXT_TO_MSG_MAP.size(), 33);
    EXPECT_FALSE(SEDQ_TEXT_TO_MSG_MAP.contains(QString()));
}

TEST(sedq_globals, parameter_texts_are_the_messages_sentences)
{
    ASSERT_EQ(parameter_rows().size(), 22u);
    for (const text_row& row : parameter_rows())
    {
        EXPECT_FALSE(row.text->isEmpty()) << row.name;
        EXPECT_EQ(*row.text, sentence_of(row.id)) << row.name;
    }
    EXPECT_EQ(SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BIT_VALUE_STR, QString("Specifies the bit value."));
}

TEST(sedq_globals, parameter_message_functions_ignore_suppression)
{
    standin::msg::suppress(268088);
    standin::msg::suppress(14761);
    EXPECT_EQ(get_pattern_message(), SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_PATTERN_STR);
    EXPECT_EQ(get_bitstream_message(), SEDQ_PARAMETER_SETTING_VIEW::SEDQ_PARAMETER_BITSTREAM_STR);
}

TEST(sedq_globals, brush_and_pens_have_their_colours_and_styles)
{
    EXPECT_EQ(SEDQ_POWERUP_BRUSH.style(), Qt::SolidPattern);
    EXPECT_EQ(SEDQ_POWERUP_BRUSH.color(), QColor(153, 204, 255));
    EXPECT_EQ(SEDQ_CONDITION_NAME_PEN, QPen(QColor(128, 0, 128)));
    EXPECT_EQ(SEDQ_DOTTED_PEN.style(), Qt::CustomDashLine);
    EXPECT_EQ(SEDQ_DOTTED_PEN.dashPattern(), (QVector<qreal>{1, 1}));
    EXPECT_EQ(SEDQ_DOTTED_PEN.capStyle(), Qt::SquareCap);
    EXPECT_EQ(SEDQ_DOTTED_PEN.joinStyle(), Qt::BevelJoin);
    EXPECT_DOUBLE_EQ(SEDQ_DOTTED_PEN.widthF(), 1.0);
}

TEST(sedq_globals, palettes_set_their_role_in_every_colour_group)
{
    struct palette_row
    {
        const char* name;
        const QPalette* palette;
        QPalette::ColorRole role;
        QColor colour;
    };
    const palette_row rows[] = {
        {"yellow base", &SEDQ_YELLOW_BASE_PALETTE, QPalette::Base, Qt::yellow},
        {"green base", &SEDQ_GREEN_BASE_PALETTE, QPalette::Base, Qt::green},
        {"red base", &SEDQ_RED_BASE_PALETTE, QPalette::Base, Qt::red},
        {"red text", &SEDQ_RED_TEXT_PALETTE, QPalette::Text, Qt::red},
    };
    for (const palette_row& row : rows)
        for (QPalette::ColorGroup group : all_groups)
        {
            EXPECT_EQ(row.palette->brush(group, row.role).style(), Qt::SolidPattern)
                << row.name << " " << group;
            EXPECT_EQ(row.palette->color(group, row.role), row.colour) << row.name << " " << group;
        }
    for (QPalette::ColorGroup group : all_groups)
        EXPECT_EQ(SEDQ_GREY_BASE_PALETTE.brush(group, QPalette::Base).style(), Qt::NoBrush) << group;
}

TEST(sedq_globals, ram_type_names_can_be_told_apart_by_substring)
{
    EXPECT_EQ(SEDQ_RAM_TYPE_DISPLAY_STR_AUTO, QString("Auto"));
    const QStringList names = {SEDQ_RAM_TYPE_DISPLAY_STR_SMALL, SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM,
                               SEDQ_RAM_TYPE_DISPLAY_STR_LARGE, SEDQ_RAM_TYPE_DISPLAY_STR_AUTO};
    for (const QString& name : names)
    {
        EXPECT_FALSE(name.isEmpty());
        for (const QString& other : names)
        {
            if (&name == &other)
                continue;
            EXPECT_FALSE(name.contains(other, Qt::CaseInsensitive)) << name.toStdString();
        }
    }
}

TEST(sedq_globals, state_machine_texts)
{
    EXPECT_EQ(SEDQ_STATE_MACHINE_NOT_TAPPED_STRING, QString("Not tapped"));
    EXPECT_EQ(SEDQ_STATE_MACHINE_UNTAPPABLE_STRING, QString("Untappable due to register push-back"));
    EXPECT_EQ(SEDQ_STATE_MACHINE_NO_POST_FITTING_TAPPED_STRING,
              QString("No post-fitting state machines tapped"));
}

TEST(sedq_globals, registrar_received_the_75_ids_in_order)
{
    const auto& registered = standin::msg::registered_ids();
    ASSERT_EQ(registered.size(), static_cast<size_t>(SEDQ_MSG_ID_COUNT));
    for (int i = 0; i < SEDQ_MSG_ID_COUNT; ++i)
    {
        EXPECT_EQ(registered[i].first, sedq_msg_ids[i]) << i;
        EXPECT_EQ(registered[i].second, static_cast<int>(sedq_msg_id_types[i])) << i;
    }
    EXPECT_EQ(registered.front(), (std::pair<unsigned int, int>(268002, MSG_POST_TYPE_WARNING)));
    EXPECT_EQ(registered.back(), (std::pair<unsigned int, int>(268165, MSG_POST_TYPE_WARNING)));
}

TEST(sedq_globals, host_registrations_made_at_load)
{
    const std::vector<std::string> modules = standin::mem::live_modules();
    EXPECT_NE(std::find(modules.begin(), modules.end(), "SEDQ"), modules.end());
    EXPECT_EQ(SEDQ_VIEW_NTFQ_HANDLER::m_notify_map_entries[0].id,
              ntfq_get_message("NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED"));
    const SEDQ_VIEW_NTFQ_HANDLER handler;
    const NTFQ_NOTIFY_MAP* map = handler.get_notify_map();
    ASSERT_EQ(map->count, 1);
    EXPECT_EQ(map->entries, SEDQ_VIEW_NTFQ_HANDLER::m_notify_map_entries);
    EXPECT_EQ(map->get_base_map(), NTFQ_NOTIFY_TARGET::get_base_notify_map());
    EXPECT_TRUE(s_sedq_plugin_map.isEmpty());
}

TEST(sedq_globals, static_package_provides_the_tcl_package)
{
    std::string result;
    EXPECT_EQ(standin::atcl::eval("package present ::corvane::sedq", &result), TCL_ERROR);
    EXPECT_EQ(atcl_package_require(atcl_get_interpreter(), "sedq", nullptr, true, true), TCL_OK);
    EXPECT_EQ(standin::atcl::eval("package present ::corvane::sedq", &result), TCL_OK);
    EXPECT_EQ(result, "1.0");
    EXPECT_EQ(Sedq_Unload(), TCL_OK);
    EXPECT_EQ(standin::atcl::eval("package present ::corvane::sedq", &result), TCL_ERROR);
}

TEST(sedq_globals, sedq_init_registers_the_package_in_the_host_interpreter)
{
    EXPECT_EQ(Sedq_Init(nullptr), TCL_OK);
    std::string result;
    EXPECT_EQ(standin::atcl::eval("package present ::corvane::sedq", &result), TCL_OK);
    EXPECT_EQ(result, "1.0");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
