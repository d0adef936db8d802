// The page rule of an instance's tabs.
#include "sedq/model/sedq_pages.h"

#include "sedq/model/sedq_tx_manager.h"

int sedq_advanced_page(SEDQ_TX_MANAGER* manager, int level)
{
    int page = SEDQ_FIRST_ADVANCED_PAGE;
    for (int below = SEDQ_PATTERN_SQ_CONDITIONAL; below < level; ++below)
        page += manager->is_advanced_trigger(below, SEDQ_CURRENT) ? 1 : 0;
    return page;
}
