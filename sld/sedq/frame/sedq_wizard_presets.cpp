// SEDQ_WIZARD: the wizard's presets, written straight into the reserved session's signal set
// and trigger before a document opens over them.
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
    m_signal_set->set_tessarelle_data_node_size(n);
    return true;
}

// Each trigger input of the generated instance is a wire "acq_trigger_in[i]" of the signal set.
bool SEDQ_WIZARD::initialize_trigger_nodes_allocated(int n)
{
    if (!has_preset_target(false) || n < 0 || n > MAX_NODES)
        return false;
    m_signal_set->set_tessarelle_trigger_node_size(n);
    for (int i = 0; i < n; ++i)
    {
        const QByteArray name = QStringLiteral("acq_trigger_in[%1]").arg(i).toLocal8Bit();
        SDR_DATA_WIRE* wire = m_signal_set->create_wire(name.constData(), SDR_WTYPE_DATA_AND_TRIGGER,
                                                        SDR_TAP_PRE_SYNTHESIS, true, nullptr, false);
        if (wire == nullptr || !m_signal_set->append(wire, true))
            return false;
    }
    return true;
}

bool SEDQ_WIZARD::initialize_sample_depth(int depth)
{
    if (!has_preset_target(false))
        return false;
    m_signal_set->set_sample_depth(depth);
    return true;
}

bool SEDQ_WIZARD::initialize_segment_size(int size)
{
    if (!has_preset_target(true))
        return false;
    m_trigger->set_segment_size(size);
    m_trigger->set_trigger_type(size != 0 ? 1 : 0);
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
    m_signal_set->set_ram_type(SDR_HALCYTE_RAM_TYPE(type));
    return true;
}

bool SEDQ_WIZARD::initialize_trigger_level(int n)
{
    if (!has_preset_target(true))
        return false;
    for (int i = 0; i < n; ++i)
        m_trigger->append_new_level(true);
    return true;
}

bool SEDQ_WIZARD::initialize_trigger_in(bool on)
{
    if (!has_preset_target(false))
        return false;
    m_signal_set->set_trigger_in_enabled(on);
    return true;
}

bool SEDQ_WIZARD::initialize_trigger_out(bool on)
{
    if (!has_preset_target(false))
        return false;
    m_signal_set->set_trigger_out_enabled(on);
    return true;
}

// An empty expression or "NONE" makes the level a basic condition.
bool SEDQ_WIZARD::initialize_advanced_trigger_expression(int level, QString const& expr)
{
    if (!has_preset_target(true))
        return false;
    if (expr.isEmpty() || expr == QLatin1String("NONE"))
        return m_trigger->set_trigger_level_cond_expr_type(level, true);
    if (!m_trigger->set_trigger_level_cond_expr_type(level, false))
        return false;
    return m_trigger->set_advanced_trigger_expression(level, expr.toLocal8Bit().constData(), false);
}

bool SEDQ_WIZARD::initialize_storage_qualifier_type(QString const& text)
{
    if (!has_preset_target(true))
        return false;
    if (text == QLatin1String("OFF"))
        m_trigger->set_sq_type(SDR_SQTYPE_CONTINUOUS);
    else if (text == QLatin1String("PORT"))
        m_trigger->set_sq_type(SDR_SQTYPE_INPUT_PORT);
    else
        return false;
    return true;
}

bool SEDQ_WIZARD::initialize_record_data_discontinuities(bool on)
{
    if (!has_preset_target(true))
        return false;
    m_trigger->set_record_discontinuities(on);
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
