// Fuzzes the state flow checker: it must finish on any text and any names (deep nesting,
// names full of punctuation, unfinished statements), and an error must come with a message
// and a line of the text. A text the checker accepts must still be accepted with a comment
// appended, and with a line feed prefixed its error (if any) must move one line down.
// The editor's side of the same text and names must finish as well: the tokens, the proposals
// at every cursor position, the split into states and the unified text built again, the
// highlighting rules over every line (no range empty or outside its line), the goto scan and
// the reachability walk, and renaming the first flag in the text.
//
// Input: the names, one a line, up to the first NUL byte (first character of a line: 'c' a
// condition, 'n' a counter, 'f' a flag; the rest of the line is the name); then the flow text.
#include "host/sdr/sdr_flow_checker.h"
#include "sedq/advanced_trigger/sedq_state_machine_object.h"
#include "sedq/model/sedq_flow_rename.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_flow_language.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include <algorithm>
#include <set>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

QStringList list_of(const std::set<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list.append(QString::fromLocal8Bit(name.data(), int(name.size())));
    return list;
}

// The editor's reading of the text, of its first 1 KB only; the proposals are asked at every
// position of its first 128 characters (each call reads the text before the cursor and the
// whole text again, so longer texts would only slow the search down) and at its end.
void edit(const std::string& input, const SDR_FLOW_CHECKER::NAMES& checked)
{
    const QString text = QString::fromLocal8Bit(input.data(), int(std::min<size_t>(input.size(), 1024)));
    SEDQ_STATE_MACHINE_OBJECT machine;
    machine.set_unified_state_text(text);
    SEDQ_FLOW_NAMES names;
    names.states = machine.get_state_name_list().mid(0, machine.get_state_count());
    names.conditions = list_of(checked.conditions);
    names.counters = list_of(checked.counters);
    names.flags = list_of(checked.flags);
    check(machine.get_state_count() >= 1);
    machine.clear_unified_state_text();
    QString rebuilt;
    machine.get_unified_state_text(&rebuilt);

    sedq_split_tokens(text);
    const QString head = text.left(128);
    // What the cursor reads does not depend on the display, so it is read once per position.
    for (int at = 0; at <= head.size(); ++at)
    {
        const SEDQ_CURSOR_CONTEXT context = sedq_cursor_context(head.left(at), head);
        for (SEDQ_DISPLAY_TYPE display : {SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE, SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW})
            sedq_get_proposals(context, names, display, SEDQ_TOOLTIPS_TYPE_BOTH);
    }
    sedq_get_proposals(text, text, names, SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW, SEDQ_TOOLTIPS_TYPE_BOTH);

    SEDQ_HIGHLIGHT_LOCK lock;
    lock.locked = text.size() % 2 != 0;
    lock.powerup = text.size() % 3 == 0;
    lock.configurable = text.size() % 16;
    const QVector<SEDQ_HIGHLIGHT_RULE> rules = sedq_highlight_rules(names, lock);
    for (const QString& line : text.split(QLatin1Char('\n')))
        for (const auto& range : sedq_highlight_line(line, rules))
            check(range.length > 0 && range.start >= 0 && range.start + range.length <= line.size());

    const QStringList bodies = machine.get_state_text_list();
    const QVector<QVector<int>> transitions = sedq_state_transitions(names.states, bodies);
    std::vector<SEDQ_STATE> nodes(size_t(transitions.size()));
    for (int s = 0; s < transitions.size(); ++s)
        for (int target : transitions[s])
        {
            check(target >= 0 && target < transitions.size());
            nodes[size_t(s)].next.append(&nodes[size_t(target)]);
        }
    if (!nodes.empty())
        nodes.front().enable();

    if (!names.flags.isEmpty())
        sedq_rename_in_flow(text, names.flags.first(), names.flags.last() + QStringLiteral("_1"));
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

    edit(text, names);

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
