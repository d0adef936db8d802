// qtk: the project fixture says whether its family supports Relayne.
#include "host/qtk.h"

#include "host/standin/qtk_control.h"
#include "host/standin/standin.h"

namespace
{
bool& supported()
{
    static bool value = false;
    return value;
}

void reset_state()
{
    supported() = false;
}

const standin::reset_registrar registrar(&reset_state);
} // namespace

bool QTK_RLY_STATE_MANAGER::is_family_supported_by_relayne(bool flag)
{
    (void)flag;
    return supported();
}

namespace standin::qtk
{
void set_relayne_supported(bool on)
{
    supported() = on;
}
} // namespace standin::qtk
