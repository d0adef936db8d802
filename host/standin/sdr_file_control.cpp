// Fault injection of the analyzer file writer.
#include "host/standin/sdr_file_control.h"

#include "host/standin/standin.h"

namespace
{
standin::sdr_file::save_fault& armed()
{
    static standin::sdr_file::save_fault fault = standin::sdr_file::save_fault::none;
    return fault;
}

const standin::reset_registrar registrar([] { armed() = standin::sdr_file::save_fault::none; });
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
} // namespace standin::sdr_file
