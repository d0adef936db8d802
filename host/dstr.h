#pragma once
// Host device name strings: families and parts looked up by their names (without case).

#include "host/dev.h"

// DEV_FAMILY_UNKNOWN for a name the host does not know.
DEV_FAMILY_ENUM dstr_get_dev_family_enum_by_string(const char* name);
// DEV_PART_GENERIC for a name the host does not know.
DEV_PART_ENUM dstr_get_dev_part_enum_by_string(const char* name);
