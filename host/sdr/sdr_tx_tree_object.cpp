// SDR_TX_TREE_OBJECT: the process-wide attribute sink behind add_attribute(), and the undo
// state a node keeps by default.

#include "host/sdr/sdr_tx_tree_object.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_verify.h"

namespace
{
SDR_TX_ATTRIBUTE_SINK*& current_sink()
{
    static SDR_TX_ATTRIBUTE_SINK* sink = nullptr;
    return sink;
}

class ATTRIBUTE_COLLECTOR : public SDR_TX_ATTRIBUTE_SINK
{
public:
    void add(const std::string& key, const std::string& value) override { attributes.emplace_back(key, value); }
    SDR_TREE_ATTRIBUTES attributes;
};

class ATTRIBUTE_STATE : public SDR_TREE_UNDO_STATE
{
public:
    SDR_TREE_ATTRIBUTES attributes;
};

SDR_TREE_ATTRIBUTES attributes_of(SDR_TX_TREE_OBJECT* object)
{
    ATTRIBUTE_COLLECTOR collector;
    SDR_TX_ATTRIBUTE_SINK_SCOPE scope(&collector);
    object->get_attributes();
    return collector.attributes;
}
} // namespace

SDR_TREE_UNDO_STATE_PTR SDR_TX_TREE_OBJECT::get_undo_state()
{
    auto state = std::make_shared<ATTRIBUTE_STATE>();
    state->attributes = attributes_of(this);
    return state;
}

// The attributes are written back only when they differ, so a node the step did not touch
// keeps whatever it holds beyond its attributes.
void SDR_TX_TREE_OBJECT::set_undo_state(const SDR_TREE_UNDO_STATE_PTR& state)
{
    const auto* saved = dynamic_cast<const ATTRIBUTE_STATE*>(state.get());
    if (!SDR_VERIFY(saved != NULL) || attributes_of(this) == saved->attributes)
        return;
    for (const auto& attribute : saved->attributes)
        set_attribute(attribute.first.c_str(), attribute.second.c_str());
}

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
