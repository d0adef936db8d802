// SEDQ_MNEMONIC_DLG: the working copy of the mnemonic tables and its writing back.
#include "sedq/plugins/sedq_mnemonic_dlg.h"

#include "host/sdr.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

SEDQ_MNEMONIC_DLG::SEDQ_MNEMONIC_DLG(QWidget* parent, SEDQ_FRAME_WND* frame)
    : AFCQ_DIALOG(parent), m_tx_manager(frame != nullptr ? frame->get_tx_manager() : nullptr)
{
    setWindowTitle(tr("Mnemonic Table Setup"));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &SEDQ_MNEMONIC_DLG::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &SEDQ_MNEMONIC_DLG::reject);
    connect(m_buttons, &QDialogButtonBox::helpRequested, this, &SEDQ_MNEMONIC_DLG::help_button_clicked);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_buttons);
    m_tables = read_tables(document_tables());
}

SEDQ_MNEMONIC_DLG::~SEDQ_MNEMONIC_DLG() = default;

SDR_DATA_MNEMONICS* SEDQ_MNEMONIC_DLG::document_tables() const
{
    if (m_tx_manager == nullptr || m_tx_manager->get_tx_session() == nullptr)
        return nullptr;
    SDR_DATA_SESSION* data = m_tx_manager->get_tx_session()->get_data_session();
    return data != nullptr ? data->get_mnemonics() : nullptr;
}

QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> SEDQ_MNEMONIC_DLG::read_tables(SDR_DATA_MNEMONICS* mnemonics)
{
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> tables;
    for (int i = 0; mnemonics != nullptr && i < mnemonics->get_num_tables(); ++i)
        if (const SDR_DATA_MNEMONICS_TABLE* table = mnemonics->get_table(i))
            tables.append(table->get_content());
    return tables;
}

void SEDQ_MNEMONIC_DLG::accept()
{
    if (!write_tables())
        return;
    AFCQ_DIALOG::accept();
}

// All tables are deleted and made again from the working copy, as one edit. A table the
// repository refuses ends the edit there and keeps the dialog open; the undo step of the
// edit takes back what was written.
bool SEDQ_MNEMONIC_DLG::write_tables()
{
    SDR_DATA_MNEMONICS* mnemonics = document_tables();
    if (mnemonics == nullptr || read_tables(mnemonics) == m_tables)
        return true;
    bool written = false;
    {
        const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION_IF_POWERUP,
                                   sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
        written = m_tx_manager->replace_mnemonic_tables(m_tables);
    }
    SEDQ_VERIFY(written);
    return written;
}
