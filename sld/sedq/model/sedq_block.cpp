// The widget guard: a process-wide flag set by the outermost guard.
#include "sedq/model/sedq_block.h"

bool SEDQ_BLOCK::m_blocked = false;

SEDQ_BLOCK::SEDQ_BLOCK() : m_set_here(!m_blocked)
{
    m_blocked = true;
}

SEDQ_BLOCK::~SEDQ_BLOCK()
{
    if (m_set_here)
        m_blocked = false;
}
