#pragma once
// Host JTAG acquisition engine: acquisition requests and their status callbacks, running,
// stopping and reading acquisitions of the programmed device, and the chain scan.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SDR_DATA_LOG;
class SDR_DATA_INSTANCE;
struct SDR_DATA_INSTANCE_INFO;

// Status callback of one acquisition request. The engine may call it from its own thread; it
// never deletes a callback and never calls one again after its final report (12, 13 or 17).
class CHI_CONTROL_ELA_INT
{
public:
    enum ELA_STATUS : int
    {
        ELA_RUNNING = 0,
        ELA_TRIGGER_WAIT = 1,               // value: trigger progress (see the trigger reports)
        ELA_TRIGGER_PROGRESS = 2,
        ELA_POWERUP_TRIGGER_PROGRESS = 3,
        ELA_PRE_TRIGGER = 4,
        ELA_POWERUP_PRE_TRIGGER = 5,
        ELA_POST_TRIGGER = 6,
        ELA_POWERUP_POST_TRIGGER = 7,
        ELA_OFFLOADING = 8,
        ELA_POWERUP_OFFLOADING = 9,
        ELA_DATA_READY = 10,
        ELA_POWERUP_DATA_READY = 11,
        ELA_NOT_RUNNING = 12,               // final
        ELA_POWERUP_NOT_RUNNING = 13,       // final
        ELA_WAITING_FOR_CLOCK = 14,
        ELA_JTAG_BUSY = 15,
        ELA_RESERVED = 16,                  // never sent
        ELA_ERROR = 17                      // final; value 1..8 names the error
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
        unsigned char repeat = 0;                // 0 single run, 1 autorun
        int64_t reserved3 = 0;
        bool reserved4 = true;
    };

    // Starts one acquisition per request. True when the engine started them; from then on each
    // request's callback receives its reports until one final report. False: nothing started
    // and no callback will be called.
    static bool run(const std::vector<ACQ_PARAMETER>& requests);
    // Asks the engine to stop the acquisitions of that instance; it answers through the
    // callbacks (a final "not running"). Never waits.
    static void stop(SDR_DATA_INSTANCE* instance);
    // Reads the device's acquisition memory of the log's instance into the (new, empty) log.
    // False when nothing can be read (nothing acquired, device not programmed, chain down).
    static bool offload(SDR_DATA_LOG* log);
};

static_assert(sizeof(CHI_CONTROL::ACQ_PARAMETER) == 56, "the engine reads requests of 56 bytes");
static_assert(offsetof(CHI_CONTROL::ACQ_PARAMETER, log) == 0, "log at 0");
static_assert(offsetof(CHI_CONTROL::ACQ_PARAMETER, reserved1) == 8, "reserved word at 8");
static_assert(offsetof(CHI_CONTROL::ACQ_PARAMETER, reserved2) == 16, "reserved flag at 16");
static_assert(offsetof(CHI_CONTROL::ACQ_PARAMETER, callback) == 24, "callback at 24");
static_assert(offsetof(CHI_CONTROL::ACQ_PARAMETER, repeat) == 32, "repeat flag at 32");
static_assert(offsetof(CHI_CONTROL::ACQ_PARAMETER, reserved3) == 40, "reserved word at 40");
static_assert(offsetof(CHI_CONTROL::ACQ_PARAMETER, reserved4) == 48, "reserved flag at 48");

// One scan of the JTAG chain: name the hardware and the device, rescan, then ask. Every
// question answers from the last rescan and costs nothing.
class CHI_CONTROL_NODES_SCAN
{
public:
    CHI_CONTROL_NODES_SCAN() = default;
    void set_hardware_name(const char* name);
    void set_device_name(const char* name);
    void rescan();
    bool is_device_available();
    bool is_jtag_comm_error();
    // The CRC that the programmed device holds for the instance (0 when it holds none);
    // true when the device knows the instance.
    bool get_node_crc_value(const SDR_DATA_INSTANCE_INFO* info, unsigned int* crc);

private:
    std::string m_hardware;
    std::string m_device;
    bool m_scanned = false;
    bool m_available = false;
    bool m_comm_error = false;
};
