#pragma once
// Host regression-test mode.

bool tst_is_regtest_mode();
// A host that runs a GUI test script turns the mode on: modal dialogs are then answered by
// the steps the script announces.
void tst_set_regtest_mode(bool on);
