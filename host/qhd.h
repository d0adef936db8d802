#pragma once
// Host netlist hierarchy browser: only the manager a client registers with the netlist
// database UI manager.

void* qhd_get_qhd_dbmui_manager();
