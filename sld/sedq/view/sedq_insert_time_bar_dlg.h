#pragma once
// "Insert Time Bar" by sample number, while the view shows sample numbers: the user types the
// position of a new time bar relative to the trigger (0 is the trigger sample). The master box
// only shows whether the bar becomes the master (it does when the view has no bar yet); the user
// cannot change it. Numbers are read with "." as the decimal point, whatever the locale.

#include "host/afcq.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

class SEDQ_INSERT_TIME_BAR_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    SEDQ_INSERT_TIME_BAR_DLG(QWidget* parent, int first_sample, int last_sample, bool master);

    // The typed sample number truncated toward zero and kept within first..last sample; 0 for
    // an empty field or text that is no number.
    int get_sample_offset() const;

    int get_first_sample() const { return m_first_sample; }
    int get_last_sample() const { return m_last_sample; }
    QLineEdit* get_time_edit() const { return m_time_edit; }
    QComboBox* get_unit_combo() const { return m_unit_combo; }
    QLineEdit* get_sample_edit() const { return m_sample_edit; }
    QCheckBox* get_master_check_box() const { return m_master_check_box; }
    QDialogButtonBox* get_button_box() const { return m_button_box; }

public Q_SLOTS:
    void accept() override;

private:
    QLabel* m_time_label = nullptr;
    QLineEdit* m_time_edit = nullptr;
    QComboBox* m_unit_combo = nullptr;
    QLabel* m_sample_label = nullptr;
    QLineEdit* m_sample_edit = nullptr;
    QCheckBox* m_master_check_box = nullptr;
    QDialogButtonBox* m_button_box = nullptr;
    int m_first_sample;
    int m_last_sample;
};
