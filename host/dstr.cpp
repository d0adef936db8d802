// Device name strings over the device-data stand-in's tables.
#include "host/dstr.h"

DEV_FAMILY_ENUM dstr_get_dev_family_enum_by_string(const char* name)
{
    return DEV_FAMILY_MANAGER::get_instance()->get_family_enum_by_string(name);
}
