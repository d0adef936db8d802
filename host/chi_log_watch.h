#pragma once
// What the acquisition engine must hear from the repository: a log that is going away. Runs
// that report into it stop and never name it again.

class SDR_DATA_LOG;

namespace chi_detail
{
void forget_log(SDR_DATA_LOG* log);
} // namespace chi_detail
