#pragma once
// Host time values: the units a time or a clock rate is entered in. Only the unit codes are
// used by the analyzer (an export request keeps the unit the user chose its clock period in).

class BIG_TIME
{
public:
    enum TIME_UNIT : int
    {
        PS = 2,
        NS = 3,
        US = 4,
        MS = 5,
        S = 6,
        MHZ = 7
    };
};
