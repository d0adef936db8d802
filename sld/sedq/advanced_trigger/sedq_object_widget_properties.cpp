// SEDQ_OBJECT_WIDGET: the Properties command, running the object properties dialog.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_tx_session.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/model/sedq_tx_manager.h"

#include <memory>

namespace
{
const SDR_DATA_MNEMONICS* document_mnemonics(SEDQ_TX_MANAGER* tx)
{
    const SDR_TX_SESSION* session = tx->get_tx_session();
    const SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    return data != nullptr ? data->get_mnemonics() : nullptr;
}
} // namespace

void SEDQ_OBJECT_WIDGET::on_properties()
{
    show_properties(SEDQ_OBJECT::UNKNOWN, false);
}

// The dialog edits the objects in place on OK; the snapshot that follows tells the model the
// condition changed. The canvas keeps its dialog and opens it again on the new selection:
// building a dialog and its window costs as much as all the rest of an Insert. It follows the
// window from one document to the next; a new one is made for another lock mode or trigger,
// and a call from inside the open dialog's event loop gets one of its own.
bool SEDQ_OBJECT_WIDGET::show_properties(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool insert)
{
    if (m_object_list == nullptr)
        fetch_condition();
    if (m_object_list == nullptr)
        return false;
    const SDR_DATA_MNEMONICS* mnemonics = document_mnemonics(m_tx);
    const unsigned int lock_mode = m_tx->get_lock_mode(false);
    const bool powerup = is_powerup_trigger();
    std::unique_ptr<SEDQ_OBJECT_PROPERTIES_DLG> nested;
    SEDQ_OBJECT_PROPERTIES_DLG* dialog = m_properties_dialog;
    if (dialog != nullptr && dialog->isVisible())
    {
        nested = std::make_unique<SEDQ_OBJECT_PROPERTIES_DLG>(this, m_object_list, mnemonics, type, insert, lock_mode,
                                                              powerup);
        dialog = nested.get();
    }
    else if (dialog != nullptr && dialog->is_made_for(lock_mode, powerup))
    {
        dialog->reopen(m_object_list, mnemonics, type, insert);
    }
    else
    {
        delete dialog;
        dialog = new SEDQ_OBJECT_PROPERTIES_DLG(this, m_object_list, mnemonics, type, insert, lock_mode, powerup);
        m_properties_dialog = dialog;
    }
    if (dialog->exec() != QDialog::Accepted)
        return false;
    generate_names_for_unnamed_objects();
    arrange_objects();
    update_picture();
    save_undo_state(true);
    return true;
}
