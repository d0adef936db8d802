#pragma once
// Test seam of the regression-test mode switch.

namespace standin::tst
{
void set_regtest_mode(bool on);
}
