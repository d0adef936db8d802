// ice: compatibility of an analyzer instance with the compiled design.
#include "host/ice.h"

#include "host/sdr/sdr_compiled_design.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_tx_session.h"

bool ice_vtl_check_compatibility(SDR_DATA_TRIGGER* trigger, bool flag)
{
    (void)flag;
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    SDR_TX_SESSION::derive_equations(trigger);
    SDR_COMPILED_DESIGN::INSTANCE compiled;
    return instance != nullptr && SDR_COMPILED_DESIGN::find(instance->get_name(), &compiled) &&
           compiled.crc == SDR_TX_SESSION::compute_trigger_crc(trigger);
}

bool ice_vtl_check_compatibility(SDR_DATA_LOG* log, bool flag)
{
    return log != nullptr && ice_vtl_check_compatibility(log->get_trigger(), flag);
}
