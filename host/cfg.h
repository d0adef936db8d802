#pragma once
// Host hidden switches: named on/off settings that are not shown in any preference page.

// The stored value of the switch, else `default_value`.
bool cfg_is_on(const char* name, bool default_value);
