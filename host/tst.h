#pragma once
// Host regression-test mode.

bool tst_is_regtest_mode();
