#pragma once
// "Add Table": asks for the name and the width of a new mnemonic table. It closes with OK only
// on a name and a width of 1 to 1024; the width is read once, here, and the caller takes it
// from get_width() so that the checked number is the one used.

#include "host/afcq.h"

class QLineEdit;
class QDialogButtonBox;

class SEDQ_MNEMONIC_NEW_TABLE_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    static constexpr int MINIMUM_WIDTH = 1;
    static constexpr int MAXIMUM_WIDTH = 1024;

    explicit SEDQ_MNEMONIC_NEW_TABLE_DLG(QWidget* parent);

    QLineEdit* get_name_edit() const { return m_name_edit; }
    QLineEdit* get_width_edit() const { return m_width_edit; }
    QDialogButtonBox* get_button_box() const { return m_buttons; }
    QString get_name() const;
    // The width text read as a decimal number; 0 when it is none.
    int get_width() const;
    // The name the table takes: "<name> : width = <width>".
    QString get_full_name() const;

public Q_SLOTS:
    void accept() override;

private:
    QLineEdit* m_name_edit = nullptr;
    QLineEdit* m_width_edit = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
