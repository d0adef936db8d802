// pgmio: the analyzer instances of a programming file, read with the engine's reader.
#include "host/pgmio.h"

#include "host/chi_private.h"
#include "host/standin/standin.h"

#include <cstdio>

bool pgmio_export_sld_data(const FIO_PATH& sof, int* count, std::string* text)
{
    standin::record_call("pgmio:export_sld_data(\"" + sof.fullpath() + "\")");
    std::vector<chi_detail::sof_instance> instances;
    std::string error;
    if (sof.is_empty() || !chi_detail::read_sof(sof.fullpath(), &instances, &error))
        return false;
    std::string pairs;
    for (const chi_detail::sof_instance& instance : instances)
    {
        char pair[32];
        std::snprintf(pair, sizeof pair, "%s%08X,%08X", pairs.empty() ? "" : ";", instance.node_info, instance.crc);
        pairs += pair;
    }
    if (count != nullptr)
        *count = int(instances.size());
    if (text != nullptr)
        *text = pairs;
    return true;
}
