// Writes the bundled demo document (examples/demo.vtl) through the repository's fixture API:
// two analyzer instances with grouped buses, trigger levels and one acquisition each.
//   vantrel_make_demo <output.vtl>
#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/standin/sdr_control.h"

#include <cstdio>
#include <string>
#include <vector>

namespace
{
using standin::sdr::node_spec;

// Bit i of `value` across samples: a repeating counter or a fixed pattern per channel.
std::string counter_bit(int bit, int depth, int step)
{
    std::string bits;
    for (int s = 0; s < depth; ++s)
        bits += (((s / step) >> bit) & 1) ? '1' : '0';
    return bits;
}

std::string pulse(int depth, int period, int width, int phase)
{
    std::string bits;
    for (int s = 0; s < depth; ++s)
        bits += ((s + phase) % period) < width ? '1' : '0';
    return bits;
}

// A bus of `width` member nodes named base[0..width-1], grouped under `base`.
void add_bus(SDR_DATA_TRIGGER* trigger, const std::string& prefix, const std::string& base, int width)
{
    int first = -1;
    for (int i = 0; i < width; ++i)
    {
        const int row =
            standin::sdr::add_node(trigger, node_spec{prefix + base + "[" + std::to_string(i) + "]"});
        first = first < 0 ? row : first;
    }
    standin::sdr::add_group(trigger, first, first + width - 1, base);
}

void set_clock_and_depth(SDR_DATA_SIGNAL_SET* set, const char* clock, int depth)
{
    set->edit_transient().clock_name = clock;
    set->edit_transient().sample_depth = depth;
}

void build_bus_monitor(SDR_DATA_INSTANCE* instance)
{
    instance->set_name("bus_monitor");
    set_clock_and_depth(instance->get_active_signal_set(), "top|clk", 256);
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    add_bus(trigger, "top|bus_if|", "addr", 8);
    standin::sdr::add_node(trigger, node_spec{"top|bus_if|valid"});
    standin::sdr::add_node(trigger, node_spec{"top|bus_if|ready"});
    add_bus(trigger, "top|bus_if|", "data", 8);
    standin::sdr::log_spec log;
    log.name = "log_2024_01_15";
    log.depth = 256;
    for (int bit = 0; bit < 8; ++bit)
        log.channels.push_back(counter_bit(bit, 256, 4));
    log.channels.push_back(pulse(256, 8, 3, 0));
    log.channels.push_back(pulse(256, 8, 2, 1));
    for (int bit = 0; bit < 8; ++bit)
        log.channels.push_back(counter_bit(bit, 256, 1));
    log.trigger_position = 128;
    standin::sdr::make_log(trigger, log);
}

void build_fsm_probe(SDR_DATA_INSTANCE* instance)
{
    instance->set_name("fsm_probe");
    set_clock_and_depth(instance->get_active_signal_set(), "top|core|clk", 128);
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    trigger->edit_transient().levels[1].type = SDR_LTYPE_ADVANCED;
    trigger->edit_transient().state_based = true;
    add_bus(trigger, "top|core|", "state", 4);
    standin::sdr::add_node(trigger, node_spec{"top|core|start"});
    standin::sdr::add_node(trigger, node_spec{"top|core|done"});
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: vantrel_make_demo <output.vtl>\n");
        return 2;
    }
    std::unique_ptr<SDR_DATA_SESSION> session = standin::sdr::make_session(argv[1], 2);
    build_bus_monitor(session->m_instances[0].get());
    build_fsm_probe(session->m_instances[1].get());
    session->clear_modified();
    std::string error;
    if (!sdr_write_session_file(*session, argv[1], &error))
    {
        std::fprintf(stderr, "vantrel_make_demo: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
