#pragma once
// Host fast-recompile state.

class QTK_RLY_STATE_MANAGER
{
public:
    // Whether the device family of the open project can be recompiled with Relayne.
    static bool is_family_supported_by_relayne(bool flag);
};
