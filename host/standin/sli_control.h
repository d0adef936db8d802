#pragma once
// Test seams of the data exporter. Library code never includes this header.

#include <string>
#include <vector>

namespace standin::sli
{
// Makes the next export_file() fail once `after_bytes` bytes of the file have been written
// (0: before the first), as a disk that fills up would.
void fail_next_export(long long after_bytes = 0);

// The last snapshot an exporter took (create_vector_database) and where it was last written.
struct request
{
    bool created = false;
    int format = -1;
    long long clock_interval_ps = 0;
    std::string log_name;
    int depth = 0;
    std::vector<std::string> names;
    int trigger_position = 0;
    std::string path;                // "" until export_file
};
request last_request();
} // namespace standin::sli
