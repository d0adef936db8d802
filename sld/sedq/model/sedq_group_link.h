#pragma once
// The link mask that a bus made by the editor gets, shared by grouping and insertion: bit 0x1
// links the group's rows across the trigger and data lists, 0x8 their properties, 0x2 their
// order and 0x4 their mnemonic tables, as the user's link settings say.

class SDR_TX_SIGNAL_NODES;

// 0 when the user does not link groups.
int sedq_group_link_mask();
// Gives the group at `row` that mask; the host's second mask always links the mnemonics.
bool sedq_link_group(SDR_TX_SIGNAL_NODES* nodes, int row, int mask);
