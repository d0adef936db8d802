#pragma once
// What the memory of one acquisition holds, worked out sample by sample from the start of the
// run, to compare with what the simulated device stored: the storage qualifier's choice of
// samples is a plain function of the sample, asked in sample order.

#include <cstdint>
#include <functional>
#include <vector>

namespace qualified_memory
{
// `keeps` answers for samples start, start + 1, ... in that order (it may keep state between
// calls); `triggers` says where the trigger conditions are met. The first `before` samples kept
// arm the trigger, which is the first sample from there on where `triggers` holds; the memory
// holds the last `before` samples kept before the trigger, the trigger sample (kept or not),
// and the samples kept after it, `depth` in all. Empty when the trigger is not met before
// `horizon`.
inline std::vector<int64_t> expected(const std::function<bool(int64_t)>& keeps,
                                     const std::function<bool(int64_t)>& triggers, int before, int depth,
                                     int64_t start = 0, int64_t horizon = 1 << 20)
{
    std::vector<char> kept;
    for (int64_t s = start; s < horizon; ++s)
        kept.push_back(keeps(s) ? 1 : 0);
    const auto kept_at = [&](int64_t s) { return kept[size_t(s - start)] != 0; };
    int64_t armed = start;
    for (int count = 0; count < before && armed < horizon; ++armed)
        count += kept_at(armed) ? 1 : 0;
    int64_t trigger = armed;
    while (trigger < horizon && !triggers(trigger))
        ++trigger;
    std::vector<int64_t> memory;
    if (trigger >= horizon)
        return memory;
    for (int64_t s = trigger - 1; int(memory.size()) < before && s >= start; --s)
        if (kept_at(s))
            memory.insert(memory.begin(), s);
    memory.push_back(trigger);
    for (int64_t s = trigger + 1; int(memory.size()) < depth && s < horizon; ++s)
        if (kept_at(s))
            memory.push_back(s);
    return memory;
}

// Every sample is kept.
inline bool every_sample(int64_t)
{
    return true;
}
} // namespace qualified_memory
