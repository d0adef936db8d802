// SEDQ_BASE_MANAGER: the common base of the netlist readers (its destructor anchors the table).
#include "sedq/view/sedq_base_manager.h"

SEDQ_BASE_MANAGER::~SEDQ_BASE_MANAGER() = default;
