// Fault injection of the analyzer file layer.
#include "host/standin/sdr_file_control.h"

#include "host/standin/standin.h"

#include <csignal>
#include <map>
#include <unistd.h>

namespace
{
standin::sdr_file::save_fault& armed()
{
    static standin::sdr_file::save_fault fault = standin::sdr_file::save_fault::none;
    return fault;
}

standin::sdr_file::save_stage& crash_stage()
{
    static standin::sdr_file::save_stage stage = standin::sdr_file::save_stage::none;
    return stage;
}

// Elements still to count before the allocation fault fires; negative when none is armed.
long long& allocations_left()
{
    static long long left = -1;
    return left;
}

std::map<int, long long>& lowered()
{
    static std::map<int, long long> limits;
    return limits;
}

const standin::reset_registrar registrar([] {
    lowered().clear();
    armed() = standin::sdr_file::save_fault::none;
    crash_stage() = standin::sdr_file::save_stage::none;
    allocations_left() = -1;
});
} // namespace

namespace standin::sdr_file
{
void fail_next_save(save_fault fault)
{
    armed() = fault;
}

save_fault pending_save_fault()
{
    return armed();
}

bool take_save_fault(save_fault stage)
{
    if (armed() != stage || stage == save_fault::none)
        return false;
    armed() = save_fault::none;
    return true;
}

void crash_at(save_stage stage)
{
    crash_stage() = stage;
}

void reach(save_stage stage)
{
    if (stage != save_stage::none && crash_stage() == stage)
        ::kill(::getpid(), SIGKILL);
}

void lower_limit(int element, long long most)
{
    lowered()[element] = most;
}

long long limit_in_force(int element, long long real)
{
    const auto found = lowered().find(element);
    return found != lowered().end() ? found->second : real;
}

void fail_allocation_after(long long elements)
{
    allocations_left() = elements < 0 ? -1 : elements;
}

bool take_allocation_fault()
{
    long long& left = allocations_left();
    if (left < 0)
        return false;
    if (left-- > 0)
        return false;
    return true; // left is now -1: the fault fires once
}
} // namespace standin::sdr_file
