#pragma once
// Host device data: whether an analyzer instance still matches the compiled design.

class SDR_DATA_LOG;
class SDR_DATA_TRIGGER;

// True when the instance the log (or trigger) belongs to is compiled as it now stands: its
// compile-relevant content has the CRC the last compile recorded for it.
bool ice_vtl_check_compatibility(SDR_DATA_LOG* log, bool flag);
bool ice_vtl_check_compatibility(SDR_DATA_TRIGGER* trigger, bool flag);
