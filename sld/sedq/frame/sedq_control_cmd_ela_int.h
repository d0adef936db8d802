#pragma once
// Status callback of one acquisition request that the instance manager hands to the model's
// run: it carries the index of the instance the request is for, and turns each engine status
// into an update of the instance manager. The engine may call it from its own thread.

#include "host/chi.h"

#include <QObject>

#include <atomic>

class SEDQ_CONTROL_CMD_ELA_INT : public CHI_CONTROL_ELA_INT
{
public:
    SEDQ_CONTROL_CMD_ELA_INT(QObject* receiver, int instance) : m_widget(receiver), m_instance(instance) {}

    int get_instance() const { return m_instance; }
    // The value of the latest report; written on the engine's thread.
    int get_value() const { return m_value.load(); }

protected:
    QObject* m_widget;
    std::atomic<int> m_value{0};
    int m_instance;
};
