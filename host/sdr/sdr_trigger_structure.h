#pragma once
// What a compile builds into the device of a trigger's advanced levels and state-based flow:
// their structure, without the settings a run loads into it (runtime-configurable values,
// comparison operators, detector patterns, counter settings, and the parts of a flow its
// runtime options free). Two texts whose structures are equal run on one programmed device;
// the compile check and the device compare only these.

#include <string>

class SDR_TRIGGER_STRUCTURE
{
public:
    // The structure of an advanced level's equation: the equation language's shape with the
    // object names and every runtime-configurable setting left empty. A text that does not
    // parse is its own structure, so any change of it counts.
    static std::string of_equation(const std::string& equation);

    // The structure of a flow under the trigger's runtime options (SCI_FLOW_CONTROL_RUNTIME_
    // CONFIG_OPTION bits): its tokens, with the goto destinations, comparison values, logical
    // operators and comparison operators left out when their option is on; blanks do not count.
    static std::string of_flow(const std::string& flow, int runtime_options);
};
