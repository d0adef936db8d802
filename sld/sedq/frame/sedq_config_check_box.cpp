// SEDQ_CONFIG_CHECK_BOX: a check box that names its run-time configurable option.
#include "sedq/frame/sedq_config_check_box.h"

SEDQ_CONFIG_CHECK_BOX::SEDQ_CONFIG_CHECK_BOX(QString const& text,
                                             SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option)
    : QCheckBox(text), m_option(option)
{
    // The base class's toggled(bool); the signal of this class carries the option as well.
    connect(this, &QCheckBox::toggled, this, &SEDQ_CONFIG_CHECK_BOX::on_toggled);
}

void SEDQ_CONFIG_CHECK_BOX::on_toggled(bool checked)
{
    Q_EMIT toggled(m_option, checked);
}
