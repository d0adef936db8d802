#pragma once
// Analyzer data repository: the data side of analyzer documents, their editing sessions with
// undo, node lists, data logs, mnemonic tables and the analyzer file.

#include "host/sdr/sdr_enums.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_global_enum.h"
#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/sdr/sdr_tx_undo_action_atomic.h"
#include "host/sdr/sdr_undo_history.h"
#include "host/sdr/sdr_tx_instance.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/sdr/sdr_compiled_design.h"
