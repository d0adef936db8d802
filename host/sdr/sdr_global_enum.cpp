// Condition and comparison-operator texts of the repository.
#include "host/sdr/sdr_global_enum.h"

#include <cstring>

namespace
{
// Indexed by condition value; null where a condition has no text of its own.
const char* const CONDITION_TEXTS[] = {
    "Disabled", "Active High", "Active Low", "High", "Low", "Rising Edge", "Falling Edge", "Either Edge",
    "Don't Care", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    ">", ">=", "==", "<=", "<", "TRUE", nullptr};
constexpr int CONDITION_COUNT = int(sizeof(CONDITION_TEXTS) / sizeof(CONDITION_TEXTS[0]));
constexpr int FIRST_OPERATOR = 18;
constexpr int LAST_OPERATOR = 23;
} // namespace

bool SDR_DATA_GLOBAL_ENUM::convert_enum_to_string(SDR_DATA_TRIGGER_CONDITION condition, std::string* text)
{
    const int value = int(condition);
    if (value < 0 || value >= CONDITION_COUNT || !CONDITION_TEXTS[value])
        return false;
    if (text)
        *text = CONDITION_TEXTS[value];
    return true;
}

SDR_DATA_TRIGGER_CONDITION SDR_DATA_GLOBAL_ENUM::convert_string_to_enum(const char* text)
{
    if (text)
    {
        for (int value = FIRST_OPERATOR; value <= LAST_OPERATOR; ++value)
        {
            if (std::strcmp(CONDITION_TEXTS[value], text) == 0)
                return SDR_DATA_TRIGGER_CONDITION(value);
        }
    }
    return SDR_DATA_TRIGGER_CONDITION(0);
}
