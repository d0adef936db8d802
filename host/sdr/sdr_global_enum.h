#pragma once
// Names of the repository's trigger conditions: the condition texts of the editor's menus
// and the operator texts of comparisons, in both directions.

#include "host/sdr/sdr_enums.h"

#include <string>

class SDR_DATA_GLOBAL_ENUM
{
public:
    // The condition's text ("Rising Edge", ">=", "TRUE", ...); true when the condition has one
    // (the group patterns 9 to 17 and the advanced marker have none: `text` is left alone).
    static bool convert_enum_to_string(SDR_DATA_TRIGGER_CONDITION condition, std::string* text);
    // The comparison operator of an operator text (">", ">=", "==", "<=", "<", "TRUE");
    // any other text, null included, gives 0 so that an editor rejects it as no operand.
    static SDR_DATA_TRIGGER_CONDITION convert_string_to_enum(const char* text);
};
