#pragma once
// What every fuzz target does around one input.

#include "host/standin/msg_control.h"
#include "host/standin/standin.h"

// Lets go, at the end of an input, of what the host stand-ins record for tests: the calls made
// to them and the messages shown and posted. Kept, the records grow with every input (the
// process's memory with them), and an input that ends holding allocations it did not hold
// before makes libFuzzer look for a leak, which scans the whole heap, after every input.
struct SEDQ_FUZZ_RUN
{
    SEDQ_FUZZ_RUN() = default;
    SEDQ_FUZZ_RUN(const SEDQ_FUZZ_RUN&) = delete;
    SEDQ_FUZZ_RUN& operator=(const SEDQ_FUZZ_RUN&) = delete;
    ~SEDQ_FUZZ_RUN()
    {
        standin::clear_calls();
        standin::msg::reset();
    }
};
