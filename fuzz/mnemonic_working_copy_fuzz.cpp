// Fuzz target of the mnemonic setup's working copy. The first two bytes pick a width of 1 to
// 1024; the rest is a list of operations (insert, edit the pattern, edit the symbol, delete),
// each with a row and a typed text. Whatever arrives, every stored pattern has the table's
// width and the entries stand in pattern order, the count and the tail agree with the list,
// and the copy survives the trip through the repository's contents.
#include "sedq/plugins/sedq_mnemonic_dlg_sets.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace
{
void check(const mySET* set)
{
    int count = 0;
    const myENTRY* last = nullptr;
    for (const myENTRY* entry = set->head; entry != nullptr; entry = entry->next)
    {
        if (entry->pattern.size() != set->width || (last != nullptr && entry->pattern < last->pattern))
            abort();
        last = entry;
        ++count;
    }
    if (count != set->count || last != set->tail)
        abort();
}

QString text_of(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int width = 1 + ((data[0] << 8 | data[1]) % 1024);
    SEDQ_MNEMONIC_SETS sets;
    mySET* set = sets.add_set(QStringLiteral("t"), width);
    size_t at = 2;
    while (at + 3 <= size)
    {
        const int operation = data[at] & 3;
        const int row = data[at + 1] % (set->count + 1);
        const size_t length = data[at + 2] % 16;
        at += 3;
        const QString text = text_of(data + at, std::min(length, size - at));
        at += std::min(length, size - at);
        const QString pattern = sedq_mnemonic_pattern(text, width);
        if (pattern.size() != width)
            abort();
        if (operation == 0)
            SEDQ_MNEMONIC_SETS::add_entry(set, pattern, text, width);
        else if (operation == 1)
            SEDQ_MNEMONIC_SETS::set_entry_pattern(set, row, pattern);
        else if (operation == 2)
            SEDQ_MNEMONIC_SETS::set_entry_symbol(set, row, text);
        else
            SEDQ_MNEMONIC_SETS::delete_entry(set, row);
        check(set);
    }
    SEDQ_MNEMONIC_SETS copy;
    copy.load(sets.to_contents());
    if (copy.to_contents() != sets.to_contents())
        abort();
    return 0;
}
