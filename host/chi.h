#pragma once
// Host JTAG acquisition engine: the data types of an acquisition request and its status
// callback, and the chain scan.

#include <cstdint>

class SDR_DATA_LOG;
class SDR_DATA_INSTANCE;
struct SDR_DATA_INSTANCE_INFO;

// Status callback of one acquisition request; the engine may call it from its own thread.
class CHI_CONTROL_ELA_INT
{
public:
    enum ELA_STATUS : int
    {
    };

    virtual ~CHI_CONTROL_ELA_INT() = default;
    virtual void node_interrupt_handler() {}
    virtual void update_acquisition_status(ELA_STATUS status, int value, SDR_DATA_LOG* log) = 0;
};

class CHI_CONTROL
{
public:
    // One acquisition request, laid out as the engine reads it.
    struct ACQ_PARAMETER
    {
        SDR_DATA_LOG* log = nullptr;             // receives the data; set by the analyzer's run
        int64_t reserved1 = 0;
        bool reserved2 = false;
        CHI_CONTROL_ELA_INT* callback = nullptr; // also carries the instance index
        bool repeat = false;                     // autorun
        int64_t reserved3 = 0;
        bool reserved4 = true;
    };
};

// One scan of the JTAG chain.
class CHI_CONTROL_NODES_SCAN;
