// SEDQ_WIZARD: the wizard's presets, written by the model into the reserved session's signal
// set and trigger before a document opens over them.
#include "sedq/frame/sedq_wizard.h"

#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

namespace
{
// An instance holds at most this many nodes; more trigger inputs could never be tapped.
constexpr int MAX_NODES = 4096;

// The memory-type display texts in the order of their values.
const QString* const RAM_TYPE_TEXTS[] = {&SEDQ_RAM_TYPE_DISPLAY_STR_AUTO, &SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM,
                                         &SEDQ_RAM_TYPE_DISPLAY_STR_SMALL, &SEDQ_RAM_TYPE_DISPLAY_STR_LARGE};
} // namespace

// Presets need the objects create_session made; before it (or once the document that took them
// is gone) there are none to write to.
bool SEDQ_WIZARD::has_preset_target(bool needs_trigger)
{
    if (!SEDQ_VERIFY(this->m_signal_set != NULL))
        return false;
    return !needs_trigger || SEDQ_VERIFY(this->m_trigger != NULL);
}

bool SEDQ_WIZARD::initialize_data_nodes_allocated(int n)
{
    if (!has_preset_target(false))
        return false;
    SEDQ_TX_MANAGER::preset_data_nodes_allocated(m_signal_set, n);
    return true;
}

// Each trigger input of the generated instance is a wire "acq_trigger_in[i]" of the signal set.
bool SEDQ_WIZARD::initialize_trigger_nodes_allocated(int n)
{
    if (!has_preset_target(false) || n < 0 || n > MAX_NODES)
        return false;
    return SEDQ_TX_MANAGER::preset_trigger_nodes_allocated(m_signal_set, n);
}

bool SEDQ_WIZARD::initialize_sample_depth(int depth)
{
    if (!has_preset_target(false))
        return false;
    SEDQ_TX_MANAGER::preset_sample_depth(m_signal_set, depth);
    return true;
}

bool SEDQ_WIZARD::initialize_segment_size(int size)
{
    if (!has_preset_target(true))
        return false;
    SEDQ_TX_MANAGER::preset_segment_size(m_trigger, size);
    return true;
}

// "Auto" exactly, else the first of the mid-size, small and large texts that holds the text.
bool SEDQ_WIZARD::initialize_ram_type(QString const& text)
{
    if (!has_preset_target(false))
        return false;
    int type = SDR_RAM_AUTO;
    if (text.compare(SEDQ_RAM_TYPE_DISPLAY_STR_AUTO, Qt::CaseInsensitive) != 0)
        for (int candidate : {SDR_RAM_MID_SIZE, SDR_RAM_SMALL, SDR_RAM_LARGE})
            if (RAM_TYPE_TEXTS[candidate]->contains(text, Qt::CaseInsensitive))
            {
                type = candidate;
                break;
            }
    SEDQ_TX_MANAGER::preset_ram_type(m_signal_set, SDR_HALCYTE_RAM_TYPE(type));
    return true;
}

bool SEDQ_WIZARD::initialize_trigger_level(int n)
{
    if (!has_preset_target(true))
        return false;
    SEDQ_TX_MANAGER::preset_trigger_levels(m_trigger, n);
    return true;
}

bool SEDQ_WIZARD::initialize_trigger_in(bool on)
{
    if (!has_preset_target(false))
        return false;
    SEDQ_TX_MANAGER::preset_trigger_in(m_signal_set, on);
    return true;
}

bool SEDQ_WIZARD::initialize_trigger_out(bool on)
{
    if (!has_preset_target(false))
        return false;
    SEDQ_TX_MANAGER::preset_trigger_out(m_signal_set, on);
    return true;
}

// An empty expression or "NONE" makes the level a basic condition.
bool SEDQ_WIZARD::initialize_advanced_trigger_expression(int level, QString const& expr)
{
    if (!has_preset_target(true))
        return false;
    const bool basic = expr.isEmpty() || expr == QLatin1String("NONE");
    return SEDQ_TX_MANAGER::preset_advanced_trigger_expression(m_trigger, level,
                                                              basic ? QByteArray() : expr.toLocal8Bit());
}

bool SEDQ_WIZARD::initialize_storage_qualifier_type(QString const& text)
{
    if (!has_preset_target(true))
        return false;
    if (text == QLatin1String("OFF"))
        SEDQ_TX_MANAGER::preset_storage_qualifier_type(m_trigger, SDR_SQTYPE_CONTINUOUS);
    else if (text == QLatin1String("PORT"))
        SEDQ_TX_MANAGER::preset_storage_qualifier_type(m_trigger, SDR_SQTYPE_INPUT_PORT);
    else
        return false;
    return true;
}

bool SEDQ_WIZARD::initialize_record_data_discontinuities(bool on)
{
    if (!has_preset_target(true))
        return false;
    SEDQ_TX_MANAGER::preset_record_discontinuities(m_trigger, on);
    return true;
}

// ---- memory types -----------------------------------------------------------------------------

bool SEDQ_WIZARD::get_ram_type(QString* text)
{
    if (!SEDQ_VERIFY(text != NULL) || document() == nullptr)
        return false;
    const int type = m_tx_manager->get_halcyte_ram_type(0);
    *text = type >= SDR_RAM_AUTO && type <= SDR_RAM_LARGE ? *RAM_TYPE_TEXTS[type] : QString();
    return true;
}

void SEDQ_WIZARD::get_all_ram_types(QStringList* list)
{
    if (!SEDQ_VERIFY(list != NULL))
        return;
    list->clear();
    for (const QString* text : RAM_TYPE_TEXTS)
        *list << *text;
}
