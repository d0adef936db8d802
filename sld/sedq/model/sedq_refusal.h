#pragma once
// Changes the repository refuses because the analyzer file could not hold them (a text longer
// than a file stores, more logs than a file holds): the editor tells the user why where the
// edit ends, or hands the reason to a caller that reports it itself (a Tcl command returns it
// as its error) while a SEDQ_REFUSAL_TAKER lives.

#include <string>

class SEDQ_REFUSAL_TAKER
{
public:
    SEDQ_REFUSAL_TAKER();
    ~SEDQ_REFUSAL_TAKER();
    SEDQ_REFUSAL_TAKER(const SEDQ_REFUSAL_TAKER&) = delete;
    SEDQ_REFUSAL_TAKER& operator=(const SEDQ_REFUSAL_TAKER&) = delete;

    // Why a change made since it was built was refused; "" when none was. Clears it.
    std::string take();
};

// The last refusal of the repository, shown to the user (MSG_SEDQ::O::PAST_FILE_LIMIT) or kept
// for the taker; true when there was one.
bool sedq_report_refusal();
// The last refusal of the repository, taken without showing it; "" when there was none.
std::string sedq_take_refusal();
