// A fake decoder plug-in whose open call writes what the input says: the first byte chooses
// how much of the 1024-byte name buffer it fills (all of it without a terminator included),
// the next ones the unit count (negative, zero or up to the units given), whether the unit
// array or single entries are null, and the rest the texts. The reading code must stay inside
// the buffer and the array whatever comes back.
#include "sedq/plugins/sedq_plugin_entry.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const uint8_t* s_data = nullptr;
size_t s_size = 0;
std::vector<std::string> s_units;
std::vector<char*> s_unit_pointers;

uint8_t next_byte()
{
    if (s_size == 0)
        return 0;
    --s_size;
    return *s_data++;
}

int fake_open(char* name, int name_size, char*** unit_names, int* unit_count)
{
    const uint8_t fill = next_byte();
    const size_t length = fill == 0xff ? size_t(name_size) : std::min<size_t>(fill, s_size);
    std::memset(name, 'n', length);
    std::memcpy(name, s_data, std::min(length, s_size));
    const int units = next_byte() % 8;
    const int8_t count = int8_t(next_byte());
    const uint8_t nulls = next_byte();
    s_units.assign(size_t(units), std::string());
    s_unit_pointers.clear();
    for (int i = 0; i < units; ++i)
    {
        s_units[size_t(i)].assign(reinterpret_cast<const char*>(s_data), std::min<size_t>(s_size, size_t(i) * 3));
        s_unit_pointers.push_back((nulls >> i) & 1 ? nullptr : &s_units[size_t(i)][0]);
    }
    *unit_names = nulls & 0x80 || units == 0 ? nullptr : s_unit_pointers.data();
    *unit_count = count < 0 ? count : std::min<int>(count, units);
    return nulls == 0x55 ? 1 : 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    s_data = data;
    s_size = size;
    QString name;
    QStringList units;
    sedq_read_plugin_open(&fake_open, &name, &units);
    std::vector<char> text(SEDQ_PLUGIN_TEXT_SIZE, 't');
    std::memcpy(text.data(), data, std::min(size, text.size()));
    sedq_plugin_text(text.data(), int(text.size()));
    return 0;
}
