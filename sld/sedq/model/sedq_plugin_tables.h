#pragma once
// Reading the records a decoder plug-in hands back for an attach and after its options were
// set: table arrays with their counts, and the message buffers it wrote. Nothing here trusts a
// count without its array, a text pointer, or a buffer to end in a NUL.

#include "sedq/model/sedq_tx_manager.h"

struct PLUGIN_MNEMONIC_TABLE;

// One struct per record of `tables` (none for a null array or a count of 0 or less), in order,
// owned by the caller.
QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> sedq_read_plugin_tables(const QString& plugin_name,
                                                                    const PLUGIN_MNEMONIC_TABLE* tables, int count,
                                                                    bool setup);

// A message buffer of `SEDQ_PLUGIN_TEXT_SIZE` bytes as the decoder left it, cut at its last
// byte or its first NUL, whichever comes first.
void sedq_read_plugin_message(QByteArray* message);
