// Reset hook registry and call recorder shared by all stand-ins.
#include "host/standin/standin.h"

namespace standin
{
namespace
{
std::vector<void (*)()>& resets()
{
    static std::vector<void (*)()> list;
    return list;
}

std::vector<std::string>& call_log()
{
    static std::vector<std::string> log;
    return log;
}
} // namespace

void register_reset(void (*reset)())
{
    resets().push_back(reset);
}

void reset_all()
{
    for (auto reset : resets())
        reset();
    call_log().clear();
}

void record_call(const std::string& call)
{
    call_log().push_back(call);
}

const std::vector<std::string>& calls()
{
    return call_log();
}

std::vector<std::string> calls(const std::string& lib)
{
    std::vector<std::string> result;
    const std::string prefix = lib + ":";
    for (const auto& c : call_log())
        if (c.compare(0, prefix.size(), prefix) == 0)
            result.push_back(c);
    return result;
}

void clear_calls()
{
    call_log().clear();
}
} // namespace standin
