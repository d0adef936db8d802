#pragma once
// A mnemonic table added to an open document, for the view tests that show or fill tables.

#include "host/sdr.h"
#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>
#include "sedq/model/sedq_repository.h"

// Made inside an edit bracket, as the repository requires; `entries` are (symbol, pattern).
inline void add_mnemonic_table(SEDQ_TX_MANAGER* tx, const char* name, int width,
                               const std::vector<std::pair<const char*, const char*>>& entries)
{
    SDR_DATA_MNEMONICS* tables = SEDQ_REPOSITORY::session(tx)->get_data_session()->get_mnemonics();
    bool filled = false;
    {
        const SEDQ_EDIT_SCOPE edit(tx, SEDQ_SKIP_COMPILATION_CHECK);
        SDR_DATA_MNEMONICS_TABLE* table = tables->create_table(name, width);
        filled = table != nullptr;
        for (const auto& entry : entries)
            filled = filled && table->add_entry(entry.first, entry.second);
    }
    ASSERT_TRUE(filled) << name;
}
