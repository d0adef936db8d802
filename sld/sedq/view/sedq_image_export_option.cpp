// SEDQ_IMAGE_EXPORT_OPTION: the two choices of a picture too wide to be made whole.
#include "sedq/view/sedq_image_export_option.h"

#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

SEDQ_IMAGE_EXPORT_OPTION::SEDQ_IMAGE_EXPORT_OPTION(QWidget* parent)
    : AFCQ_DIALOG(parent),
      m_truncate_button(new QRadioButton(QStringLiteral("Maintain Spacing - only data in current view will be exported"), this)),
      m_fitall_button(new QRadioButton(QStringLiteral("Fit all data - sample spacing not maintained"), this))
{
    setWindowTitle(QStringLiteral("Image Size Limit Reached"));
    m_truncate_button->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_truncate_button);
    layout->addWidget(m_fitall_button);
    layout->addWidget(buttons);
    connect(m_truncate_button, &QRadioButton::clicked, this, &SEDQ_IMAGE_EXPORT_OPTION::on_truncate_button);
    connect(m_fitall_button, &QRadioButton::clicked, this, &SEDQ_IMAGE_EXPORT_OPTION::on_fitall_button);
    connect(buttons, &QDialogButtonBox::accepted, this, &SEDQ_IMAGE_EXPORT_OPTION::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &AFCQ_DIALOG::help_button_clicked);
}

void SEDQ_IMAGE_EXPORT_OPTION::on_truncate_button(bool)
{
    m_force_fit = false;
}

void SEDQ_IMAGE_EXPORT_OPTION::on_fitall_button(bool)
{
    m_force_fit = true;
}
