// SEDQ_OBJECT_WIDGET: the Properties command, running the object properties dialog.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_tx_session.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/model/sedq_tx_manager.h"


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
// condition changed.
bool SEDQ_OBJECT_WIDGET::show_properties(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool insert)
{
    if (m_object_list == nullptr)
        fetch_condition();
    if (m_object_list == nullptr)
        return false;
    SEDQ_OBJECT_PROPERTIES_DLG dialog(this, m_object_list, document_mnemonics(m_tx), type, insert,
                                      m_tx->get_lock_mode(false), is_powerup_trigger());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    generate_names_for_unnamed_objects();
    arrange_objects();
    update_picture();
    save_undo_state(true);
    return true;
}
