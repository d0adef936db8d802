// SEDQ_INSERT_TIME_BAR_DLG: the widgets, the range check and the typed sample number.
#include "sedq/view/sedq_insert_time_bar_dlg.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"
#include "sedq/view/sedq_time_units_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

SEDQ_INSERT_TIME_BAR_DLG::SEDQ_INSERT_TIME_BAR_DLG(QWidget* parent, int first_sample, int last_sample,
                                                   bool master)
    : AFCQ_DIALOG(parent), m_first_sample(first_sample), m_last_sample(last_sample)
{
    setWindowTitle(QStringLiteral("Insert Time Bar"));
    m_time_label = new QLabel(QStringLiteral("Time:"), this);
    m_time_edit = new QLineEdit(this);
    m_time_edit->setEnabled(false);
    m_unit_combo = new QComboBox(this);
    m_unit_combo->setEnabled(false);
    m_sample_label = new QLabel(QStringLiteral("Sample number:"), this);
    m_sample_edit = new QLineEdit(QStringLiteral("0"), this);
    m_sample_edit->setValidator(sedq_make_time_validator(first_sample, last_sample, this));
    m_master_check_box = new QCheckBox(QStringLiteral("Make master time bar"), this);
    m_master_check_box->setChecked(master);
    m_master_check_box->setEnabled(false);
    m_button_box = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, Qt::Vertical, this);
    sedq_layout_time_bar_dialog(this, {m_time_label, m_time_edit, m_unit_combo, m_sample_label, m_sample_edit,
                                       m_master_check_box, m_button_box});
    connect(m_button_box, SIGNAL(accepted()), this, SLOT(accept()));
    connect(m_button_box, SIGNAL(rejected()), this, SLOT(reject()));
    connect(m_button_box, SIGNAL(helpRequested()), this, SLOT(help_button_clicked()));
}

// Fractional text passes the range check as a number, so it is read as one and cut to a sample.
int SEDQ_INSERT_TIME_BAR_DLG::get_sample_offset() const
{
    const double sample = std::trunc(sedq_read_time_number(m_sample_edit->text()));
    return static_cast<int>(std::min(std::max(sample, double(m_first_sample)), double(m_last_sample)));
}

void SEDQ_INSERT_TIME_BAR_DLG::accept()
{
    const double sample = sedq_read_time_number(m_sample_edit->text());
    if (sample < m_first_sample || sample > m_last_sample)
    {
        sedq_show_message(
            MSG_SEDQ::O::VALUE_OUT_OF_RANGE(std::to_string(m_first_sample), std::to_string(m_last_sample)));
        return;
    }
    AFCQ_DIALOG::accept();
}
