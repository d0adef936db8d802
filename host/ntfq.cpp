// Notification stand-in: name-to-id registry, live targets and a synchronous dispatcher.
#include "host/ntfq.h"

#include "host/standin/ntfq_control.h"
#include "host/standin/standin.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace
{
struct ntfq_state
{
    std::mutex lock; // ids may be asked from any library's static initialisation
    std::map<std::string, unsigned int> ids;
    std::vector<NTFQ_NOTIFY_TARGET*> targets;
    std::vector<standin::ntfq::delivery> deliveries;
};

ntfq_state& state()
{
    static ntfq_state s;
    return s;
}

// Ids stay stable across resets: libraries keep the ids they asked for at load.
void reset()
{
    state().deliveries.clear();
}

const standin::reset_registrar registrar(&reset);

const NTFQ_NOTIFY_MAP base_map = {nullptr, nullptr, 0};
} // namespace

unsigned int ntfq_get_message(const char* name)
{
    auto& s = state();
    const std::lock_guard<std::mutex> guard(s.lock);
    const auto it = s.ids.find(name ? name : "");
    if (it != s.ids.end())
        return it->second;
    const unsigned int id = static_cast<unsigned int>(s.ids.size()) + 1;
    s.ids.emplace(name ? name : "", id);
    return id;
}

NTFQ_NOTIFY_TARGET::NTFQ_NOTIFY_TARGET()
{
    state().targets.push_back(this);
}

NTFQ_NOTIFY_TARGET::~NTFQ_NOTIFY_TARGET()
{
    auto& targets = state().targets;
    targets.erase(std::remove(targets.begin(), targets.end(), this), targets.end());
}

bool NTFQ_NOTIFY_TARGET::on_ntfq_notify(unsigned int id, unsigned long data, bool flag)
{
    for (const NTFQ_NOTIFY_MAP* map = get_notify_map(); map != nullptr;
         map = map->get_base_map ? map->get_base_map() : nullptr)
    {
        for (int i = 0; i < map->count; ++i)
        {
            const NTFQ_NOTIFY_MAP_ENTRY& entry = map->entries[i];
            if (entry.id == id && entry.handler != nullptr)
                return entry.handler(this, data, flag);
        }
    }
    return false;
}

const NTFQ_NOTIFY_MAP* NTFQ_NOTIFY_TARGET::get_notify_map() const
{
    return get_base_notify_map();
}

const NTFQ_NOTIFY_MAP* NTFQ_NOTIFY_TARGET::get_base_notify_map()
{
    return &base_map;
}

int ntfq_post(unsigned int id, unsigned long data, bool flag)
{
    // A handler may create or destroy targets: walk a copy and skip the ones that died.
    const std::vector<NTFQ_NOTIFY_TARGET*> snapshot = state().targets;
    int handled = 0;
    for (NTFQ_NOTIFY_TARGET* target : snapshot)
    {
        const auto& live = state().targets;
        if (std::find(live.begin(), live.end(), target) == live.end())
            continue;
        if (target->on_ntfq_notify(id, data, flag))
            ++handled;
    }
    state().deliveries.push_back({id, data, handled});
    return handled;
}

namespace standin::ntfq
{
int post(const std::string& name, unsigned long data, bool flag)
{
    return ntfq_post(ntfq_get_message(name.c_str()), data, flag);
}

const std::vector<delivery>& deliveries()
{
    return state().deliveries;
}

int live_target_count()
{
    return static_cast<int>(state().targets.size());
}
} // namespace standin::ntfq
