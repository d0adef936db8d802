// Regression-test mode switch.
#include "host/tst.h"

#include "host/standin/standin.h"
#include "host/standin/tst_control.h"

namespace
{
bool& regtest_mode()
{
    static bool on = false;
    return on;
}

const standin::reset_registrar registrar([] { regtest_mode() = false; });
} // namespace

bool tst_is_regtest_mode()
{
    return regtest_mode();
}

namespace standin::tst
{
void set_regtest_mode(bool on)
{
    regtest_mode() = on;
}
} // namespace standin::tst

void tst_set_regtest_mode(bool on)
{
    regtest_mode() = on;
}
