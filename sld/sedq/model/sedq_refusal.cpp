// Refusals of changes past a limit of the analyzer file: shown, or taken by the caller.
#include "sedq/model/sedq_refusal.h"

#include "host/sdr/sdr_data_manager.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"

namespace
{
// Takers alive, and the refusal kept for them.
int& takers()
{
    static int count = 0;
    return count;
}

std::string& kept()
{
    static std::string refusal;
    return refusal;
}
} // namespace

SEDQ_REFUSAL_TAKER::SEDQ_REFUSAL_TAKER()
{
    if (takers()++ == 0)
    {
        kept().clear();
        sedq_take_refusal();
    }
}

SEDQ_REFUSAL_TAKER::~SEDQ_REFUSAL_TAKER()
{
    --takers();
}

std::string SEDQ_REFUSAL_TAKER::take()
{
    std::string refusal = sedq_take_refusal();
    if (refusal.empty())
        refusal.swap(kept());
    kept().clear();
    return refusal;
}

std::string sedq_take_refusal()
{
    return SDR_DATA_MANAGER::get_data_repository_manager()->take_refusal();
}

bool sedq_report_refusal()
{
    const std::string refusal = sedq_take_refusal();
    if (refusal.empty())
        return false;
    if (takers() > 0)
        kept() = refusal;
    else
        sedq_show_message(MSG_SEDQ::O::PAST_FILE_LIMIT(refusal));
    return true;
}
