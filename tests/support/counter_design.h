#pragma once
// The small design the acquisition tests of the model and the window tap: a clock, an 8-bit
// counter bus and a pulse, on one simulated cable with one device.

namespace counter_design
{
constexpr const char* CABLE = "SimCable [SIM-0]";
constexpr const char* DEVICE = "@1: SIMDEV-A";

// The project fixture of the design (see host/standin/project_control.h).
inline const char* design_json()
{
    return R"({
  "project": {"top_entity": "top"},
  "netlists": {"pre": {"instances": [
    {"path": "top|clk", "flags": "0x80000004", "stimulus": {"kind": "clock", "period": 2}},
    {"path": "top|cnt", "flags": "0x80000040", "dims": [[7, 0]], "stimulus": {"kind": "counter"}},
    {"path": "top|flag", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 16, "width": 1}}
  ]}},
  "jtag": {"hardware": ["SimCable [SIM-0]"], "devices": ["@1: SIMDEV-A"]}
})";
}
} // namespace counter_design
