// Fuzzes the state flow checker: it must finish on any text and any names (deep nesting,
// names full of punctuation, unfinished statements), and an error must come with a message
// and a line of the text. A text the checker accepts must still be accepted with a comment
// appended, and with a line feed prefixed its error (if any) must move one line down.
//
// Input: the names, one a line, up to the first NUL byte (first character of a line: 'c' a
// condition, 'n' a counter, 'f' a flag; the rest of the line is the name); then the flow text.
#include "host/sdr/sdr_flow_checker.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

SDR_FLOW_CHECKER::NAMES names_of(const std::string& part)
{
    SDR_FLOW_CHECKER::NAMES names;
    size_t start = 0;
    while (start < part.size())
    {
        size_t end = part.find('\n', start);
        if (end == std::string::npos)
            end = part.size();
        const std::string line = part.substr(start, end - start);
        if (line.size() > 1)
        {
            const std::string name = line.substr(1);
            if (line[0] == 'c')
                names.conditions.insert(name);
            else if (line[0] == 'n')
                names.counters.insert(name);
            else if (line[0] == 'f')
                names.flags.insert(name);
        }
        start = end + 1;
    }
    return names;
}

int line_count(const std::string& text)
{
    return 1 + int(std::count(text.begin(), text.end(), '\n'));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The editor checks what a user types; far longer texts only slow the search down.
    if (size > 64 * 1024)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const SDR_FLOW_CHECKER::NAMES names = names_of(input.substr(0, split));
    const std::string text = split == std::string::npos ? input : input.substr(split + 1);

    std::string message;
    int line = 0;
    const bool error = SDR_FLOW_CHECKER::has_error(text, names, &message, &line);
    if (!error)
    {
        check(!SDR_FLOW_CHECKER::has_error(text + "\n// checked\n", names, &message, &line));
        return 0;
    }
    check(!message.empty());
    check(line >= 1 && line <= line_count(text));
    std::string moved_message;
    int moved_line = 0;
    check(SDR_FLOW_CHECKER::has_error("\n" + text, names, &moved_message, &moved_line));
    check(moved_message == message && moved_line == line + 1);
    return 0;
}
