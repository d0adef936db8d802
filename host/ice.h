#pragma once
// Host device data: whether an analyzer instance still matches the compiled design, what the
// compiled design holds, and the estimator of the memory blocks an acquisition buffer takes.

class SDR_DATA_LOG;
class SDR_DATA_TRIGGER;

// True when the instance the log (or trigger) belongs to is compiled as it now stands: its
// compile-relevant content has the CRC the last compile recorded for it.
bool ice_vtl_check_compatibility(SDR_DATA_LOG* log, bool flag);
bool ice_vtl_check_compatibility(SDR_DATA_TRIGGER* trigger, bool flag);

class ICE_INSTANCE_BUILDER
{
public:
    // True when the project's design uses partial reconfiguration.
    static bool design_contains_partial_reconfig();
};

// Memory-block families of the device, smallest first; ICE_RAM_TYPE_AUTO asks the estimator
// to choose one.
enum ICE_RAM_TYPE : int
{
    ICE_RAM_TYPE_SMALL = 0,
    ICE_RAM_TYPE_MEDIUM = 1,
    ICE_RAM_TYPE_LARGE = 2,
    ICE_RAM_TYPE_AUTO = 6
};

// Estimates the memory blocks of the project's device: what the design already uses, what
// the device has, and how many blocks a buffer of width x depth bits takes.
class ICE_RAM_USAGE_GUI
{
public:
    ICE_RAM_USAGE_GUI();
    ~ICE_RAM_USAGE_GUI();
    ICE_RAM_USAGE_GUI(const ICE_RAM_USAGE_GUI&) = delete;
    ICE_RAM_USAGE_GUI& operator=(const ICE_RAM_USAGE_GUI&) = delete;

    // False when the device's memory cannot be described (the estimates then mean little).
    bool init_usage();
    // Blocks of that family the design uses already.
    int get_used_blocks(ICE_RAM_TYPE type);
    // Blocks of that family the device has; 2147483647 when it is not limited.
    int get_total_blocks(ICE_RAM_TYPE type);
    // Blocks that a buffer of `width` bits by `depth` words takes in that family, or -1 when
    // it cannot be placed there. With ICE_RAM_TYPE_AUTO the estimator picks the smallest
    // family that takes the width and writes it back into `type`.
    int num_mem_blocks_used(int width, int depth, ICE_RAM_TYPE& type);
};
