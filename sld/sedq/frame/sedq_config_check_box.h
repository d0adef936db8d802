#pragma once
// A check box bound to one run-time configurable part of the state-based trigger flow. It
// reports its state together with the option it stands for, so that several boxes can share
// one slot of the model.

#include "host/sci.h"

#include <QCheckBox>

class SEDQ_CONFIG_CHECK_BOX : public QCheckBox
{
    Q_OBJECT
public:
    SEDQ_CONFIG_CHECK_BOX(QString const& text, SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option);

    SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION get_option() const { return m_option; }

public Q_SLOTS:
    void on_toggled(bool checked);

Q_SIGNALS:
    void toggled(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION type, bool checked);

private:
    SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION m_option;
};
