// SEDQ_MNEMONIC_NEW_TABLE_DLG: the name and width of a new mnemonic table, checked on OK.
#include "sedq/plugins/sedq_mnemonic_new_table_dlg.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

SEDQ_MNEMONIC_NEW_TABLE_DLG::SEDQ_MNEMONIC_NEW_TABLE_DLG(QWidget* parent) : AFCQ_DIALOG(parent)
{
    setWindowTitle(tr("Add Table"));
    m_name_edit = new QLineEdit(this);
    m_width_edit = new QLineEdit(QStringLiteral("1"), this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Name:"), this), 0, 0, 1, 1);
    grid->addWidget(m_name_edit, 0, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Width:"), this), 1, 0, 1, 1);
    grid->addWidget(m_width_edit, 1, 1, 1, 3);
    grid->addWidget(m_buttons, 2, 1, 1, 3);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &SEDQ_MNEMONIC_NEW_TABLE_DLG::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &SEDQ_MNEMONIC_NEW_TABLE_DLG::reject);
    connect(m_buttons, &QDialogButtonBox::helpRequested, this, &SEDQ_MNEMONIC_NEW_TABLE_DLG::help_button_clicked);
}

QString SEDQ_MNEMONIC_NEW_TABLE_DLG::get_name() const
{
    return m_name_edit->text();
}

int SEDQ_MNEMONIC_NEW_TABLE_DLG::get_width() const
{
    bool ok = false;
    const int width = m_width_edit->text().trimmed().toInt(&ok, 10);
    return ok ? width : 0;
}

QString SEDQ_MNEMONIC_NEW_TABLE_DLG::get_full_name() const
{
    return QStringLiteral("%1 : width = %2").arg(get_name()).arg(get_width());
}

void SEDQ_MNEMONIC_NEW_TABLE_DLG::accept()
{
    if (get_name().isEmpty())
    {
        sedq_show_message(MSG_SEDQ::O::NO_NAME());
        return;
    }
    const int width = get_width();
    if (width < MINIMUM_WIDTH || width > MAXIMUM_WIDTH)
    {
        sedq_show_message(MSG_SEDQ::O::VALUE_OUT_OF_RANGE(std::to_string(MINIMUM_WIDTH), std::to_string(MAXIMUM_WIDTH)));
        return;
    }
    AFCQ_DIALOG::accept();
}
