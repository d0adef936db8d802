// SEDQ_INSERT_TIME_BAR_DLG: the widgets, the range check and the typed sample number.
#include "sedq/view/sedq_insert_time_bar_dlg.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

SEDQ_INSERT_TIME_BAR_DLG::SEDQ_INSERT_TIME_BAR_DLG(QWidget* parent, int first_sample, int last_sample,
                                                   bool master)
    : AFCQ_DIALOG(parent), m_first_sample(first_sample), m_last_sample(last_sample)
{
    setWindowTitle(QStringLiteral("Insert Time Bar"));
    m_widgets.make(this, master);
    m_widgets.time_edit->setEnabled(false);
    m_widgets.unit_combo->setEnabled(false);
    m_widgets.sample_edit->setText(QStringLiteral("0"));
    m_widgets.sample_edit->setValidator(sedq_make_time_validator(first_sample, last_sample, this));
    m_widgets.master_check_box->setEnabled(false);
}

// Fractional text passes the range check as a number, so it is read as one and cut to a sample.
int SEDQ_INSERT_TIME_BAR_DLG::get_sample_offset() const
{
    const double sample = std::trunc(sedq_read_time_number(m_widgets.sample_edit->text()));
    return static_cast<int>(std::min(std::max(sample, double(m_first_sample)), double(m_last_sample)));
}

void SEDQ_INSERT_TIME_BAR_DLG::accept()
{
    const double sample = sedq_read_time_number(m_widgets.sample_edit->text());
    if (sample < m_first_sample || sample > m_last_sample)
    {
        sedq_show_message(
            MSG_SEDQ::O::VALUE_OUT_OF_RANGE(std::to_string(m_first_sample), std::to_string(m_last_sample)));
        return;
    }
    AFCQ_DIALOG::accept();
}
