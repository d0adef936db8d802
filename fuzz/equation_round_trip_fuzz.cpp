// Fuzzes a stored equation through the trigger compiler's parser, the diagram it opens as and
// the equation writer: no crash or hang, nesting deeper than the parser allows is refused, and
// an equation that parsed once and is written without a reported problem parses again (a
// problem, such as a node with an empty name, leaves a text the compiler need not take).
//
// Input: the equation text.
#include "host/sci.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <cstdint>
#include <memory>
#include <string>

namespace
{
void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    std::unique_ptr<SCI_ADVANCED_TRIGGER_FACTORY> parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(text.c_str(), &error);
    if (!parsed)
        return 0;
    SEDQ_TRIGGER_OBJECT condition;
    condition.generate_tree(parsed.get());
    std::string written;
    if (!condition.get_equation(&written, nullptr, nullptr, 1, false))
        return 0;
    std::unique_ptr<SCI_ADVANCED_TRIGGER_FACTORY> again = SCI_ADVANCED_TRIGGER_FACTORY::parse(written.c_str(), &error);
    check(again != nullptr);
    return 0;
}
