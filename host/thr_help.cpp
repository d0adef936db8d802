// The host's help library "sys_hlpq" as the dynamic loader offers it: its entry shows the help
// page of a message, which this stand-in records by the message's help key.
#include "host/standin/standin.h"
#include "host/standin/thr_control.h"

#include <string>
#include <vector>

namespace
{
std::vector<std::string>& requests()
{
    static std::vector<std::string> r;
    return r;
}

void reset()
{
    requests().clear();
}

const standin::reset_registrar registrar(&reset);

// The entry's prototype in the help library.
void hlpq_dyn_show_msg_help_impl(const char* help_key)
{
    requests().push_back(help_key != nullptr ? help_key : "");
}

struct loader_registrar
{
    loader_registrar()
    {
        standin::thr::register_function("sys_hlpq", "hlpq_dyn_show_msg_help_impl",
                                        reinterpret_cast<void*>(&hlpq_dyn_show_msg_help_impl));
    }
} const loader;
} // namespace

namespace standin::thr
{
std::vector<std::string> help_requests()
{
    return requests();
}
} // namespace standin::thr
