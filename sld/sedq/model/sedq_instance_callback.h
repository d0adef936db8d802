#pragma once
// The status callback of one acquisition request as the model's run reads it: it carries the
// index of the instance the request is for. The instance manager's callback derives from it.

#include "host/chi.h"

class SEDQ_INSTANCE_CALLBACK : public CHI_CONTROL_ELA_INT
{
public:
    explicit SEDQ_INSTANCE_CALLBACK(int instance) : m_instance(instance) {}

    int get_instance() const { return m_instance; }

protected:
    int m_instance;
};
