// SEDQ_OBJECT_WIDGET: the Properties command, running the object properties dialog.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_tx_session.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QAction>

namespace
{
SDR_DATA_MNEMONICS* document_mnemonics(SEDQ_TX_MANAGER* tx)
{
    SDR_TX_SESSION* session = tx->get_tx_session();
    SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    return data != nullptr ? data->get_mnemonics() : nullptr;
}
} // namespace

void SEDQ_OBJECT_WIDGET::connect_properties_action()
{
    if (m_tx == nullptr)
        return;
    QAction* properties = m_tx->get_action(AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, QVariant());
    properties->setShortcut(QKeySequence(Qt::ALT | Qt::KeypadModifier | Qt::Key_Enter));
    properties->setShortcutContext(Qt::WidgetShortcut);
    addAction(properties);
    connect(properties, &QAction::triggered, this, &SEDQ_OBJECT_WIDGET::on_properties);
}

void SEDQ_OBJECT_WIDGET::on_update_properties()
{
    m_tx->enable_action(AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, get_selection_count() > 0);
}

void SEDQ_OBJECT_WIDGET::on_properties()
{
    show_properties(SEDQ_OBJECT::UNKNOWN, false);
}

// The dialog edits the objects in place on OK; the model then learns that the condition changed,
// inside one edit, so the document is marked modified and the panes refresh.
bool SEDQ_OBJECT_WIDGET::show_properties(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool insert)
{
    if (m_object_list == nullptr)
        m_object_list = m_tx->get_object_array();
    if (m_object_list == nullptr)
        return false;
    SEDQ_OBJECT_PROPERTIES_DLG dialog(this, m_object_list, document_mnemonics(m_tx), type, insert,
                                      m_tx->get_lock_mode(false), is_powerup_trigger());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    {
        const SEDQ_EDIT_SCOPE edit(m_tx, SEDQ_CHECK_COMPILATION);
        m_tx->update_advanced_modified_flag(true, true);
    }
    update();
    return true;
}
