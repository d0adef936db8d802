#pragma once
// "Insert Time Bar" by sample number, while the view shows sample numbers: the user types the
// position of a new time bar relative to the trigger (0 is the trigger sample). The master box
// only shows whether the bar becomes the master (it does when the view has no bar yet); the user
// cannot change it. Numbers are read with "." as the decimal point, whatever the locale.

#include "host/afcq.h"
#include "sedq/view/sedq_time_units_dlg.h"

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
    const SEDQ_TIME_BAR_WIDGETS& get_widgets() const { return m_widgets; }

public Q_SLOTS:
    void accept() override;

private:
    SEDQ_TIME_BAR_WIDGETS m_widgets;
    int m_first_sample;
    int m_last_sample;
};
