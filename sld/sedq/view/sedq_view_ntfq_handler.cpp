// The node view's notify map (its entries are filled when the library loads) and handler.
#include "sedq/view/sedq_view_ntfq_handler.h"

#include "sedq/view/sedq_view.h"

const NTFQ_NOTIFY_MAP SEDQ_VIEW_NTFQ_HANDLER::m_notify_map = {
    &SEDQ_VIEW_NTFQ_HANDLER::get_base_notify_map, SEDQ_VIEW_NTFQ_HANDLER::m_notify_map_entries,
    static_cast<int>(sizeof SEDQ_VIEW_NTFQ_HANDLER::m_notify_map_entries / sizeof(NTFQ_NOTIFY_MAP_ENTRY))};

const NTFQ_NOTIFY_MAP* SEDQ_VIEW_NTFQ_HANDLER::get_notify_map() const
{
    return &m_notify_map;
}

const NTFQ_NOTIFY_MAP* SEDQ_VIEW_NTFQ_HANDLER::get_base_notify_map()
{
    return NTFQ_NOTIFY_TARGET::get_base_notify_map();
}

bool SEDQ_VIEW_NTFQ_HANDLER::on_settings_changed(unsigned long, bool)
{
    if (m_view != nullptr)
        m_view->on_settings_changed();
    return false;
}
