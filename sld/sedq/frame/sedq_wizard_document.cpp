// SEDQ_WIZARD: the wizard's reads and edits of the open document, each handed to the document
// model (the wizard's one instance is the current one).
#include "sedq/frame/sedq_wizard.h"

#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

// The host brackets its edits by calls rather than by a scope; calls that nest join the
// outermost edit.
void SEDQ_WIZARD::begin_action()
{
    if (document() != nullptr && m_edit_depth++ == 0)
        m_edit = std::make_unique<SEDQ_EDIT_SCOPE>(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
}

void SEDQ_WIZARD::end_action()
{
    if (document() != nullptr && m_edit_depth > 0 && --m_edit_depth == 0)
        m_edit.reset();
}

bool SEDQ_WIZARD::get_trigger_level(int* count)
{
    return document() != nullptr && m_tx_manager->get_trigger_level(count, 0);
}

bool SEDQ_WIZARD::get_trigger_level(QString* text)
{
    return document() != nullptr && m_tx_manager->get_trigger_level(text, SEDQ_CURRENT);
}

bool SEDQ_WIZARD::set_trigger_level(QString const& text)
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_trigger_level(text);
    return true;
}

bool SEDQ_WIZARD::set_trigger_level(int level)
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_wizard_advanced_trigger_level(level);
    return true;
}

bool SEDQ_WIZARD::is_advanced_trigger(int level)
{
    return document() != nullptr && m_tx_manager->is_advanced_trigger(level, 0);
}

bool SEDQ_WIZARD::set_advanced_trigger(int level, bool advanced)
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_advanced_trigger(level, advanced ? SDR_LTYPE_ADVANCED : SDR_LTYPE_BASIC_AND);
    return true;
}

bool SEDQ_WIZARD::get_sample_depth(QString* text)
{
    return document() != nullptr && m_tx_manager->get_sample_depth(text, SEDQ_CURRENT);
}

bool SEDQ_WIZARD::set_sample_depth(QString const& text)
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_sample_depth(text);
    return true;
}

int SEDQ_WIZARD::get_sample_depth()
{
    int depth = 0;
    if (document() == nullptr || !m_tx_manager->get_sample_depth(&depth, 0))
        return 0;
    return depth;
}

bool SEDQ_WIZARD::get_data_nodes_allocated(QString* text)
{
    return document() != nullptr && m_tx_manager->get_tessarelle_data_nodes_allocated(text);
}

int SEDQ_WIZARD::get_data_nodes_allocated()
{
    return document() != nullptr ? m_tx_manager->get_tessarelle_data_nodes_allocated(0) : 0;
}

bool SEDQ_WIZARD::set_data_nodes_allocated(QString const& text)
{
    return document() != nullptr && m_tx_manager->set_tessarelle_data_nodes_allocated(text);
}

bool SEDQ_WIZARD::get_trigger_nodes_allocated(QString* text)
{
    return document() != nullptr && m_tx_manager->get_tessarelle_trigger_nodes_allocated(text);
}

int SEDQ_WIZARD::get_trigger_nodes_allocated()
{
    return document() != nullptr ? m_tx_manager->get_tessarelle_trigger_nodes_allocated(0) : 0;
}

bool SEDQ_WIZARD::set_trigger_nodes_allocated(QString const& text)
{
    return document() != nullptr && m_tx_manager->set_tessarelle_trigger_nodes_allocated(text);
}

bool SEDQ_WIZARD::is_segmented_acquisition_enabled()
{
    return document() != nullptr && m_tx_manager->is_segmented_acquisition_enabled(SEDQ_CURRENT);
}

bool SEDQ_WIZARD::toggle_segmented_acquisition()
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_segmented_acquisition_mode(
        !m_tx_manager->is_segmented_acquisition_enabled(SEDQ_CURRENT));
    return true;
}

bool SEDQ_WIZARD::get_number_of_segments(QString* text)
{
    return document() != nullptr && m_tx_manager->get_number_of_segments(text, SEDQ_CURRENT);
}

bool SEDQ_WIZARD::set_number_of_segments(QString const& text)
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_number_of_segments(text);
    return true;
}

int SEDQ_WIZARD::get_segment_size()
{
    return document() != nullptr ? m_tx_manager->get_segment_size() : 0;
}

bool SEDQ_WIZARD::set_ram_type(QString const& text)
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_ram_type(text);
    return true;
}

bool SEDQ_WIZARD::is_trigger_in_enabled()
{
    return document() != nullptr && m_tx_manager->is_trigger_in_enabled(SEDQ_CURRENT);
}

bool SEDQ_WIZARD::is_trigger_out_enabled()
{
    return document() != nullptr && m_tx_manager->is_trigger_out_enabled(SEDQ_CURRENT);
}

bool SEDQ_WIZARD::toggle_trigger_in()
{
    if (document() == nullptr)
        return false;
    m_tx_manager->enable_trigger_in(!m_tx_manager->is_trigger_in_enabled(SEDQ_CURRENT));
    return true;
}

bool SEDQ_WIZARD::toggle_trigger_out()
{
    if (document() == nullptr)
        return false;
    m_tx_manager->enable_trigger_out(!m_tx_manager->is_trigger_out_enabled(SEDQ_CURRENT));
    return true;
}

bool SEDQ_WIZARD::is_port_storage_qualifier_type()
{
    QString type;
    return document() != nullptr && m_tx_manager->get_storage_qualifier_type(&type, SEDQ_CURRENT) &&
           type == QLatin1String("Input port");
}

bool SEDQ_WIZARD::set_storage_qualifier_type(QString const& text)
{
    if (document() == nullptr)
        return false;
    m_tx_manager->set_storage_qualifier_type(text);
    return true;
}

bool SEDQ_WIZARD::is_record_data_discontinuities_enabled()
{
    return document() != nullptr && m_tx_manager->is_record_data_discontinuities_enabled(SEDQ_CURRENT);
}

bool SEDQ_WIZARD::toggle_record_data_discontinuities()
{
    if (document() == nullptr)
        return false;
    m_tx_manager->enable_data_discontinuities(
        !m_tx_manager->is_record_data_discontinuities_enabled(SEDQ_CURRENT));
    return true;
}

bool SEDQ_WIZARD::insert_node(QString const& name)
{
    return document() != nullptr &&
           m_tx_manager->insert_node(name, SDR_STYPE_INPUT_PIN, SDR_TAP_PRE_SYNTHESIS, false);
}

int SEDQ_WIZARD::insert_nodes(QString const& parent, QStringList const& names, int mode, bool flag)
{
    if (document() == nullptr)
        return -1;
    return m_tx_manager->insert_nodes(parent, names, mode != 0 ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS,
                                      flag);
}

int SEDQ_WIZARD::delete_node(int first, int last)
{
    return document() != nullptr ? m_tx_manager->delete_node(first, last) : 0;
}

bool SEDQ_WIZARD::group_node(int first, int last)
{
    return document() != nullptr && m_tx_manager->group_node(first, last);
}

bool SEDQ_WIZARD::ungroup_node(int node)
{
    return document() != nullptr && m_tx_manager->ungroup_node(node);
}

bool SEDQ_WIZARD::toggle_node(int node)
{
    return document() != nullptr && m_tx_manager->toggle_node(node);
}

void SEDQ_WIZARD::create_mnemonic_table(int node, QString const& table_name, QStringList const& symbols,
                                        QStringList const& patterns)
{
    if (document() != nullptr)
        m_tx_manager->create_mnemonic_table(node, table_name, symbols, patterns);
}
