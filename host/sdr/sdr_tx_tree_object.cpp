// SDR_TX_TREE_OBJECT: the process-wide attribute sink behind add_attribute().

#include "host/sdr/sdr_tx_tree_object.h"

#include "host/sdr/sdr_verify.h"

namespace
{
SDR_TX_ATTRIBUTE_SINK*& current_sink()
{
    static SDR_TX_ATTRIBUTE_SINK* sink = nullptr;
    return sink;
}
} // namespace

void SDR_TX_TREE_OBJECT::add_attribute(char const* key, char const* value)
{
    if (!SDR_VERIFY(current_sink() != NULL) || !SDR_VERIFY(key != NULL))
        return;
    current_sink()->add(key, value != nullptr ? value : "");
}

SDR_TX_ATTRIBUTE_SINK_SCOPE::SDR_TX_ATTRIBUTE_SINK_SCOPE(SDR_TX_ATTRIBUTE_SINK* sink)
    : m_previous(current_sink())
{
    current_sink() = sink;
}

SDR_TX_ATTRIBUTE_SINK_SCOPE::~SDR_TX_ATTRIBUTE_SINK_SCOPE()
{
    current_sink() = m_previous;
}
