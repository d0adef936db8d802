#pragma once
// The node view's receiver of host notifications. Its notify map has one entry, the id of
// "NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED" (taken when the library loads), whose handler lets the
// view re-read the settings that depend on the project's assignments. Until a view is set
// the handler does nothing.

#include "host/ntfq.h"

class SEDQ_VIEW;

class SEDQ_VIEW_NTFQ_HANDLER : public NTFQ_NOTIFY_TARGET
{
public:
    SEDQ_VIEW_NTFQ_HANDLER() = default;
    ~SEDQ_VIEW_NTFQ_HANDLER() override = default;

    const NTFQ_NOTIFY_MAP* get_notify_map() const override;
    // Tells the view; answers 0 (false) as the host expects of this notification.
    virtual bool on_settings_changed(unsigned long data, bool flag);

    static const NTFQ_NOTIFY_MAP* get_base_notify_map();
    void set_sedq_view(SEDQ_VIEW* view) { m_view = view; }

    static NTFQ_NOTIFY_MAP_ENTRY m_notify_map_entries[1];

private:
    static const NTFQ_NOTIFY_MAP m_notify_map;
    SEDQ_VIEW* m_view = nullptr;
};
