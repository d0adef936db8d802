// SEDQ_WIZARD: generating the advanced trigger levels (descriptions and latency delays) and what
// the wizard asks about them afterwards.
#include "sedq/frame/sedq_wizard.h"

#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <algorithm>
#include <string>

namespace
{
// The trigger compiler's result node of a level; null for a basic level or one that did not parse.
SCI_ADVANCED_TRIGGER_OUTPUT* level_root(SDR_DATA_TRIGGER* trigger, int level)
{
    SCI_ADVANCED_TRIGGER_FACTORY* factory = trigger->get_advanced_trigger_factory(level, false);
    return factory != nullptr ? dynamic_cast<SCI_ADVANCED_TRIGGER_OUTPUT*>(factory->get_root()) : nullptr;
}
} // namespace

// Levels past the tenth cannot be lined up with the others: they are reported and left out.
void SEDQ_WIZARD::create_triggers(QString const& prefix, QString const& path)
{
    SDR_DATA_TRIGGER* trigger = data_trigger();
    if (!SEDQ_VERIFY(trigger != NULL))
        return;
    destroy_triggers();
    m_tx_manager->finalize_wizard_triggers(trigger);
    int count = 0;
    get_trigger_level(&count);
    if (!SEDQ_VERIFY(count <= MAX_LEVELS))
        count = MAX_LEVELS;
    for (int level = 0; level < count; ++level)
    {
        if (trigger->is_trigger_level_basic_condition(level))
            continue;
        m_advanced_trigger_used = true;
        m_roots[level] = level_root(trigger, level);
    }
    SCI_ADVANCED_TRIGGER_UTILITY::set_coordinated_latency_delay(m_roots, m_delays, count);
    const bool use_encryption = true;
    const QString szPath = path;
    for (int level = 0; level < count; ++level)
    {
        if (m_roots[level] == nullptr)
            continue;
        const QString name = QStringLiteral("%1_level_%2").arg(prefix).arg(level + 1);
        SCI_ADVANCED_TRIGGER_OUTPUT* root = m_roots[level];
        if (!SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl(
                qPrintable(name), root, false, use_encryption, false, qPrintable(szPath)))
            SEDQ_REPORT("SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl(qPrintable(name), "
                        "factory->get_root(), false, use_encryption, false, qPrintable(szPath))");
    }
}

bool SEDQ_WIZARD::destroy_triggers()
{
    std::fill(std::begin(m_roots), std::end(m_roots), nullptr);
    std::fill(std::begin(m_delays), std::end(m_delays), 0);
    m_advanced_trigger_used = false;
    return true;
}

int SEDQ_WIZARD::get_delay(int level)
{
    return is_level(level) ? m_delays[level] : 0;
}

int SEDQ_WIZARD::get_pipeline_latency(int level)
{
    SDR_DATA_TRIGGER* trigger = data_trigger();
    SCI_ADVANCED_TRIGGER_OUTPUT* root =
        trigger != nullptr && is_level(level) ? level_root(trigger, level) : nullptr;
    return root != nullptr ? root->get_pipeline_latency() : 1;
}

bool SEDQ_WIZARD::get_trigger_expression(int level, QString* text)
{
    if (!SEDQ_VERIFY(text != NULL))
        return false;
    text->clear();
    SDR_DATA_TRIGGER* trigger = data_trigger();
    const char* expression = trigger != nullptr ? trigger->get_advanced_trigger_expression(level) : nullptr;
    if (expression == nullptr || *expression == '\0')
        return false;
    *text = QString::fromUtf8(expression);
    return true;
}

bool SEDQ_WIZARD::is_advanced_trigger_complete(int level)
{
    if (document() == nullptr)
        return false;
    int count = 0;
    m_tx_manager->get_trigger_level(&count, SEDQ_CURRENT);
    if (count < 1)
        return true;
    SDR_TX_TRIGGER* trigger = m_tx_session != nullptr ? m_tx_session->get_trigger_at(0, false) : nullptr;
    for (int i = 0; i < count; ++i)
    {
        if ((level != -1 && i != level) || !m_tx_manager->is_advanced_trigger(i, SEDQ_CURRENT))
            continue;
        SEDQ_TRIGGER_OBJECT* condition = sedq_advanced_trigger_root(trigger, i);
        std::string equation;
        if (condition == nullptr || !condition->get_equation(&equation, nullptr, trigger, i + 1, false))
            return false;
    }
    return true;
}
