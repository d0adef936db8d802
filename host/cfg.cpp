// Hidden-switch stand-in: a map of switches set by tests, everything else at its default.
#include "host/cfg.h"

#include "host/standin/cfg_control.h"
#include "host/standin/standin.h"

#include <map>

namespace
{
struct cfg_state
{
    std::map<std::string, bool> switches;
    std::map<std::string, int> reads;
};

cfg_state& state()
{
    static cfg_state s;
    return s;
}

void reset()
{
    state() = cfg_state();
}

const standin::reset_registrar registrar(&reset);
} // namespace

bool cfg_is_on(const char* name, bool default_value)
{
    auto& s = state();
    const std::string key = name ? name : "";
    ++s.reads[key];
    const auto it = s.switches.find(key);
    return it == s.switches.end() ? default_value : it->second;
}

namespace standin::cfg
{
void set(const std::string& name, bool on)
{
    state().switches[name] = on;
}

void clear(const std::string& name)
{
    state().switches.erase(name);
}

int read_count(const std::string& name)
{
    const auto& reads = state().reads;
    const auto it = reads.find(name);
    return it == reads.end() ? 0 : it->second;
}
} // namespace standin::cfg
