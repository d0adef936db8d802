#pragma once
// The mnemonic table setup dialog: a working copy of the document's mnemonic tables that the
// user edits; Ok writes the tables back as one undoable change, and only when they changed;
// Cancel leaves the document as it was.

#include "host/afcq.h"
#include "host/sdr/sdr_data_mnemonics.h"

#include <QVector>

class QDialogButtonBox;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_MNEMONIC_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    SEDQ_MNEMONIC_DLG(QWidget* parent, SEDQ_FRAME_WND* frame);
    ~SEDQ_MNEMONIC_DLG() override;
    SEDQ_MNEMONIC_DLG(const SEDQ_MNEMONIC_DLG&) = delete;
    SEDQ_MNEMONIC_DLG& operator=(const SEDQ_MNEMONIC_DLG&) = delete;

    // The working copy, in the document's order; the editing widgets change it.
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& get_tables() { return m_tables; }

public Q_SLOTS:
    void accept() override;

private:
    static QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> read_tables(SDR_DATA_MNEMONICS* mnemonics);
    SDR_DATA_MNEMONICS* document_tables() const;
    bool write_tables();

    SEDQ_TX_MANAGER* m_tx_manager = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> m_tables;
};
