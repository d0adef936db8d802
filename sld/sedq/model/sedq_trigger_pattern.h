#pragma once
// How the model addresses the per-pattern settings of a trigger: pattern numbers 0 and up are
// trigger levels, the SEDQ_PATTERN_SQ_* numbers the storage-qualifier patterns, which the
// repository keeps in its own storage-qualifier table (sedq_sq_index).

#include "sedq/model/sedq_types.h"

class SDR_TX_TRIGGER;
class SEDQ_TRIGGER_OBJECT;
class SEDQ_TX_MANAGER;

struct SEDQ_PATTERN_INDEX
{
    int index;
    bool sq;
};

inline SEDQ_PATTERN_INDEX sedq_pattern_index(int pattern)
{
    return pattern < 0 ? SEDQ_PATTERN_INDEX{sedq_sq_index(pattern), true}
                       : SEDQ_PATTERN_INDEX{pattern, false};
}

// The trigger a getter reads: null for an empty document, where every getter answers its
// neutral value without a report; a missing trigger of a given index is reported.
SDR_TX_TRIGGER* sedq_document_trigger(SEDQ_TX_MANAGER* manager, int trigger);

// The condition object of an advanced trigger level (0 and up) or storage-qualifier pattern
// (-3..-1) of a trigger; other negative numbers are reported. Null without a trigger.
SEDQ_TRIGGER_OBJECT* sedq_advanced_trigger_root(SDR_TX_TRIGGER* trigger, int trigger_level);
