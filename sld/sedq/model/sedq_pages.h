#pragma once
// The pages of an instance's tabs: Data, Setup, one page per advanced trigger level in level
// order, then the state-based flow page. The document keeps the page shown per instance under
// SEDQ_ACTIVE_TAB_KEY.

class SEDQ_TX_MANAGER;

constexpr const char* SEDQ_ACTIVE_TAB_KEY = "active tab";

enum SEDQ_PAGE : int
{
    SEDQ_DATA_PAGE = 0,
    SEDQ_SETUP_PAGE = 1,
    SEDQ_FIRST_ADVANCED_PAGE = 2
};

// The page of the current instance's advanced trigger level `level`: the first advanced page
// plus one for each advanced level below it. For the level count, the page after the last
// advanced page, where the state-based flow page stands.
int sedq_advanced_page(SEDQ_TX_MANAGER* manager, int level);
