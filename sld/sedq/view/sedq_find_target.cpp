// SEDQ_FIND_TARGET: a node row of the view searched by the find dialog.
#include "sedq/view/sedq_find_target.h"
#include "sedq/model/sedq_util.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_view.h"

namespace
{
SEDQ_TX_MANAGER* manager_of(SEDQ_FRAME_WND* frame)
{
    return frame != nullptr ? frame->get_tx_manager() : nullptr;
}
} // namespace

SEDQ_FIND_TARGET::~SEDQ_FIND_TARGET() = default;

void SEDQ_FIND_TARGET::init(SEDQ_FRAME_WND* frame, SEDQ_VIEW* view, int node)
{
    m_frame = frame;
    m_view = view;
    m_node = node;
    SDR_DATA_NODE_DISPLAY_TYPE display_type = SDR_NTYPE_STANDALONE;
    if (SEDQ_TX_MANAGER* tx = manager_of(frame))
        tx->get_node(node, &display_type, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    const bool group = sedq_is_group_display(display_type);
    set_type(group ? BUS_NAME : NODE_NAME);
}

const char* SEDQ_FIND_TARGET::get_text()
{
    m_name.clear();
    if (SEDQ_TX_MANAGER* tx = manager_of(m_frame))
        tx->get_node(m_node, nullptr, &m_name, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    return cache_text(m_name);
}

// The match becomes the current, selected row: scrolling alone shows nothing when the row is on
// screen already.
void SEDQ_FIND_TARGET::find_action(unsigned long, unsigned long)
{
    if (m_view != nullptr)
        m_view->ensure_visible(m_node);
}

void SEDQ_FIND_TARGET::replace_action(unsigned long, unsigned long, const char*) {}
