#pragma once
// The node view's receiver of host notifications. Its notify map lists the notification ids
// the view reacts to; the first entry, "NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED", gets its id when
// the library loads. The handler that re-reads the view's settings joins the entry together
// with the view; until then the entry is listed and delivery to it reports "not handled".

#include "host/ntfq.h"

class SEDQ_VIEW_NTFQ_HANDLER : public NTFQ_NOTIFY_TARGET
{
public:
    SEDQ_VIEW_NTFQ_HANDLER() = default;
    ~SEDQ_VIEW_NTFQ_HANDLER() override = default;

    const NTFQ_NOTIFY_MAP* get_notify_map() const override;
    static const NTFQ_NOTIFY_MAP* get_base_notify_map();

    static NTFQ_NOTIFY_MAP_ENTRY m_notify_map_entries[1];

private:
    static const NTFQ_NOTIFY_MAP m_notify_map;
};
