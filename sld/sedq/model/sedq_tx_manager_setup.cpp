// SEDQ_TX_MANAGER: acquisition setup of an instance (clock, sample depth, memory type,
// pipeline, segmented acquisition) read and set through the texts the panes show, and the
// project queries about the top entity and incremental compilation.
#include "sedq/model/sedq_tx_manager.h"

#include "host/gen.h"
#include "host/idu.h"
#include "host/qui.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_trigger_edit.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

namespace
{
constexpr int INCREMENTAL_COMPILATION_ON = 2;
constexpr int SEGMENTS_PER_THOUSAND = 1024;
const QString EMPTY_DOCUMENT_DEPTH = QStringLiteral("128");

// The memory-type texts in the order of SDR_HALCYTE_RAM_TYPE.
const QString& ram_type_text(int type)
{
    static const QString* const TEXTS[] = {&SEDQ_RAM_TYPE_DISPLAY_STR_AUTO, &SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM,
                                           &SEDQ_RAM_TYPE_DISPLAY_STR_SMALL,
                                           &SEDQ_RAM_TYPE_DISPLAY_STR_LARGE};
    return *TEXTS[type];
}

bool is_ram_type(int type)
{
    return type >= SDR_RAM_AUTO && type <= SDR_RAM_LARGE;
}

const int SETUP_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
const int LAYOUT_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT | SEDQ_UPDATE_NODE_VIEW);
const int CONFIGURATION_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION);
} // namespace

// ---- the trigger list and its items ------------------------------------------------------------

SDR_TX_TRIGGER* SEDQ_TX_MANAGER::edit_trigger_nodes(int trigger)
{
    SDR_TX_TRIGGER* return_value = m_tx_trigger;
    if (trigger != -1)
        return_value = m_tx_session ? m_tx_session->get_trigger_at(trigger, false) : nullptr;
    SEDQ_VERIFY(return_value);
    return return_value;
}

int SEDQ_TX_MANAGER::get_trigger_node_count(int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    return trigger ? trigger->get_num_nodes() : 0;
}

bool SEDQ_TX_MANAGER::is_parent_item(int node, int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    return trigger != nullptr && sedq_is_group_display(trigger->get_node_display_type(node));
}

bool SEDQ_TX_MANAGER::is_child_item(int node, int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    const SDR_DATA_NODE_DISPLAY_TYPE type =
        trigger ? trigger->get_node_display_type(node) : SDR_NTYPE_STANDALONE;
    return type == SDR_NTYPE_MEMBER || type == SDR_NTYPE_LAST_MEMBER;
}

void SEDQ_TX_MANAGER::sync_upon_capture_type_change()
{
    if (!is_empty() && m_tx_trigger != nullptr)
        m_tx_trigger->sync_upon_capture_type_change();
}

// ---- getters -----------------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_clock(QString* clock, int instance)
{
    clock->clear();
    if (is_empty())
        return false;
    SDR_TX_SIGNAL_SET* set = edit_signal_nodes(instance);
    bool post_fitting = false;
    const char* name = set ? set->get_clock_name(&post_fitting) : nullptr;
    if (name != nullptr)
        *clock = QString::fromLocal8Bit(name);
    return true;
}

bool SEDQ_TX_MANAGER::get_sample_depth(int* depth, int instance)
{
    *depth = 0;
    if (is_empty())
        return false;
    if (SDR_TX_SIGNAL_SET* set = edit_signal_nodes(instance))
        *depth = set->get_sample_depth();
    return true;
}

bool SEDQ_TX_MANAGER::get_sample_depth(QString* depth, int instance)
{
    int samples = 0;
    if (!get_sample_depth(&samples, instance))
    {
        *depth = EMPTY_DOCUMENT_DEPTH;
        return false;
    }
    *depth = convert_to_sample_depth_str(samples);
    return true;
}

bool SEDQ_TX_MANAGER::is_zero_sample_depth()
{
    int depth = 0;
    get_sample_depth(&depth, SEDQ_CURRENT);
    return depth == 0;
}

bool SEDQ_TX_MANAGER::get_ram_type(QString* ram_type, int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    const int type = set ? set->get_ram_type() : SDR_RAM_AUTO;
    if (is_ram_type(type))
        *ram_type = ram_type_text(type);
    return set != nullptr;
}

SDR_HALCYTE_RAM_TYPE SEDQ_TX_MANAGER::get_halcyte_ram_type(int instance)
{
    if (m_tx_session == nullptr)
        return SDR_RAM_AUTO;
    return m_tx_session->get_instance_ram_type_at(instance == -1 ? m_active_instance : instance);
}

bool SEDQ_TX_MANAGER::get_pipeline_level(QString* level, int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    m_pipeline_level_text = QString::number(set ? set->get_pipeline_level() : 0);
    *level = m_pipeline_level_text;
    return set != nullptr;
}

bool SEDQ_TX_MANAGER::is_segmented_acquisition_enabled(int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    return trigger != nullptr && trigger->is_segmented();
}

int SEDQ_TX_MANAGER::get_segment_size()
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, SEDQ_CURRENT);
    return trigger ? trigger->get_segment_size() : 0;
}

// The count of segments as the first word, "K" as the second for thousands: "16  ", "2 K ".
bool SEDQ_TX_MANAGER::get_number_of_segments(QString* segments, int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    const int size = trigger ? trigger->get_segment_size() : 0;
    if (size <= 0)
    {
        *segments = QStringLiteral("0  ");
        return true;
    }
    int depth = 0;
    get_sample_depth(&depth, instance);
    const int count = depth / size;
    *segments = count > SEGMENTS_PER_THOUSAND - 1
                    ? QString::number(count / SEGMENTS_PER_THOUSAND) + QStringLiteral(" K ")
                    : QString::number(count) + QStringLiteral("  ");
    return true;
}

// The acquired data's segment size while data is shown, else the segment size that the next
// acquisition will use; 0 for an acquisition that is not segmented.
int SEDQ_TX_MANAGER::get_data_segment_size()
{
    if (is_empty())
        return 0;
    if (m_tx_log != nullptr && is_data_available(false, SEDQ_CURRENT, nullptr))
        return m_tx_log->get_segment_size();
    SDR_TX_TRIGGER* nodes = edit_trigger_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->is_segmented() ? nodes->get_segment_size() : 0;
}

// ---- setters -----------------------------------------------------------------------------------

void SEDQ_TX_MANAGER::set_clock(QString const& clock, SEDQ_IS_POST_FITTING_TYPE is_post_fitting_type)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(SEDQ_CURRENT);
    if (clock.isEmpty() || set == nullptr || SEDQ_BLOCK::is_blocked())
        return;
    // "Keep" keeps the kind the stored clock has, whichever tab or window is showing.
    bool stored_post_fitting = false;
    const char* stored = set->get_clock_name(&stored_post_fitting);
    const bool post_fitting = is_post_fitting_type == SEDQ_KEEP_POST_FITTING_TYPE
                                  ? stored_post_fitting
                                  : is_post_fitting_type == SEDQ_POST_FITTING;
    const QByteArray name = clock.toLocal8Bit();
    if (stored != nullptr && name == stored && post_fitting == stored_post_fitting)
        return;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    SEDQ_BLOCK block;
    SDR_TX_TRIGGER* trigger = edit_trigger_nodes(SEDQ_CURRENT);
    if (trigger != nullptr && trigger->drop_tapped_node(name.constData()))
    {
        sedq_show_message(MSG_SEDQ::O::CLK_CONFLICT(name.toStdString()));
        update_all_views(nullptr, SETUP_REFRESH);
    }
    if (!set->set_clock(name.constData(), post_fitting))
        return;
    set->clock_changed(0);
    check_node_validity(SEDQ_CURRENT);
    update_modified_flag();
    update_all_views(nullptr, CONFIGURATION_REFRESH);
}

void SEDQ_TX_MANAGER::browse_clock()
{
    QString name;
    SEDQ_IS_POST_FITTING_TYPE kind = SEDQ_KEEP_POST_FITTING_TYPE;
    if (!get_unb_node(&name, NODE_TYPE_CLOCK, &kind))
        return;
    set_clock(name, kind);
    check_node_validity(SEDQ_CURRENT);
    update_all_views(nullptr, CONFIGURATION_REFRESH);
}

void SEDQ_TX_MANAGER::set_sample_depth(QString const& sampleDepth)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(SEDQ_CURRENT);
    if (sampleDepth.isEmpty() || set == nullptr)
        return;
    const int depth = convert_to_sample_depth_int(sampleDepth);
    const int old_depth = set->get_sample_depth();
    if (depth < 0 || depth == old_depth || SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    if (!set->set_sample_depth(depth))
        return;
    // A segmented acquisition keeps at least two segments.
    SDR_TX_TRIGGER* trigger = edit_trigger_nodes(SEDQ_CURRENT);
    if (trigger != nullptr && trigger->is_segmented() && depth <= trigger->get_segment_size())
        trigger->set_segment_size(depth / 2);
    if (depth == 0 || old_depth == 0)
        update_all_views(nullptr, LAYOUT_REFRESH);
    update_modified_flag();
}

void SEDQ_TX_MANAGER::set_ram_type(QString const& ramType)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(SEDQ_CURRENT);
    int type = SDR_RAM_AUTO;
    for (int candidate = SDR_RAM_AUTO; candidate <= SDR_RAM_LARGE; ++candidate)
    {
        if (ramType == ram_type_text(candidate))
            type = candidate;
    }
    if (set == nullptr || set->get_ram_type() == type || SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    if (set->set_ram_type(SDR_HALCYTE_RAM_TYPE(type)))
        update_modified_flag();
}

void SEDQ_TX_MANAGER::set_pipeline_level(QString const& pipelineLevel)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(SEDQ_CURRENT);
    if (pipelineLevel.isEmpty() || set == nullptr)
        return;
    const int level = pipelineLevel.toInt();
    if (level == set->get_pipeline_level() || SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    if (!set->set_pipeline_level(level))
        return;
    update_all_views(nullptr, LAYOUT_REFRESH);
    update_modified_flag();
}

void SEDQ_TX_MANAGER::set_segmented_acquisition_mode(bool bUseSegments)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, SEDQ_CURRENT);
    sedq_edit_trigger(this, trigger == nullptr || trigger->is_segmented() == bUseSegments,
                      SEDQ_TRIGGER_EDIT_MARK::WHEN_ACCEPTED, LAYOUT_REFRESH,
                      [bUseSegments](SDR_TX_TRIGGER* edited) { return edited->set_segmented(bUseSegments); });
}

// Reads the count from the first word of a segment item ("16  256 sample segments", "2 K  64
// sample segments", "0 segments") and divides the depth by it.
void SEDQ_TX_MANAGER::set_number_of_segments(QString const& numberOfSegments)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, SEDQ_CURRENT);
    if (trigger == nullptr)
        return;
    const QStringList parts = numberOfSegments.split(QLatin1Char(' '), Qt::KeepEmptyParts);
    const bool thousands = parts.size() >= 2 && parts[1].startsWith(QLatin1Char('K'));
    int count = 0;
    if (read_count_text(parts.value(0), thousands ? SEGMENTS_PER_THOUSAND : 1, &count) == OUT_OF_RANGE)
        return;
    int depth = 0;
    get_sample_depth(&depth, SEDQ_CURRENT);
    const int size = count == 0 ? 0 : depth / count;
    // More segments than samples would leave segments of no sample.
    if (count > 0 && size == 0)
        return;
    sedq_edit_trigger(this, size == trigger->get_segment_size(), SEDQ_TRIGGER_EDIT_MARK::WHEN_ACCEPTED, 0,
                      [size](SDR_TX_TRIGGER* edited) { return edited->set_segment_size(size); });
}

// ---- project queries ---------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_top_entity_name(QString* name)
{
    name->clear();
    if (is_empty())
        return false;
    SDR_TX_SIGNAL_SET* set = edit_signal_nodes(SEDQ_CURRENT);
    const char* own = set ? set->get_top_entity_name() : nullptr;
    if (own != nullptr && *own != '\0')
    {
        *name = QString::fromLocal8Bit(own);
        return true;
    }
    QUI_PRJ_UI_MGR* project = QUI_PRJ_UI_MGR::get_prj_ui_mgr();
    const char* top = project ? project->get_top_entity_name() : nullptr;
    if (top != nullptr)
        *name = QString::fromLocal8Bit(top);
    return true;
}

bool SEDQ_TX_MANAGER::is_incremental_compile()
{
    if (is_empty())
        return false;
    IDU_PARTITION_MANAGER* partitions = IDU_PARTITION_MANAGER::get_instance();
    if (gen_is_qhd() || partitions == nullptr)
        return true;
    IDU_PROJECT_INFO* idu_info = partitions->get_project_info();
    if (!SEDQ_VERIFY(idu_info))
        return false;
    return idu_info->get_effective_incremental_compilation_mode() == INCREMENTAL_COMPILATION_ON;
}

bool SEDQ_TX_MANAGER::is_incremental_route_available(int instance)
{
    if (is_empty() || !SEDQ_VERIFY(this->m_tx_session != NULL))
        return false;
    SDR_TX_INSTANCE* sdr_tx_instance =
        m_tx_session->get_instance_at(instance == -1 ? m_active_instance : instance, false);
    if (!SEDQ_VERIFY(sdr_tx_instance != NULL))
        return false;
    SDR_DATA_INSTANCE* sdr_data_instance = sdr_tx_instance->get_data_instance();
    if (!SEDQ_VERIFY(sdr_data_instance != NULL))
        return false;
    return sdr_data_instance->is_incremental_route_available();
}

// Whether the node finder starts on the pre-synthesis names: under incremental compilation
// only when the user last picked one, and never while only route changes are allowed.
bool SEDQ_TX_MANAGER::is_using_pre_synthesis_filter()
{
    if (!m_using_pre_synthesis_filter && is_incremental_compile())
        return false;
    return get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_INCREMENTAL;
}
