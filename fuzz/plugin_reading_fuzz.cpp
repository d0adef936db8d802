// A fake decoder plug-in whose open call writes what the input says: the first byte chooses
// how much of the 1024-byte name buffer it fills (all of it without a terminator included),
// the next ones the unit count (negative, zero or up to the units given), whether the unit
// array or single entries are null, and the rest the texts. The reading code must stay inside
// the buffer and the array whatever comes back. A second fake hands back table records of an
// attach (counts of any sign, null arrays and null texts, names of anything) and fills option
// message buffers to the last byte; the structs read from them are checked against the records.
// The input as an error text to be shown must come out cut to a readable length.
#include "sedq/model/sedq_plugin_tables.h"
#include "sedq/plugins/sedq_plugin_entry.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
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

// Texts the fake tables point at, NUL-terminated pieces of the input (or null), kept for one run.
std::deque<std::string> s_texts;

char* next_text()
{
    const uint8_t length = next_byte();
    if (length == 0xff)
        return nullptr;
    s_texts.emplace_back(reinterpret_cast<const char*>(s_data), std::min<size_t>(length % 24, s_size));
    return &s_texts.back()[0];
}

// A count as a plug-in may report it for `real` records: negative, zero, or up to the real ones.
int next_count(int real)
{
    const int8_t count = int8_t(next_byte());
    return count < 0 ? count : std::min<int>(count, real);
}

struct FAKE_TABLE
{
    std::vector<PLUGIN_NODE_ENTRY> nodes;
    std::vector<PLUGIN_USER_OPTION> user_options;
    std::vector<PLUGIN_INTERNAL_OPTION> internal_options;
    PLUGIN_MNEMONIC_TABLE record{};
};

void fill_table(FAKE_TABLE* table)
{
    table->nodes.resize(next_byte() % 6);
    for (PLUGIN_NODE_ENTRY& node : table->nodes)
        node = {next_text(), next_text()};
    table->user_options.resize(next_byte() % 4);
    for (PLUGIN_USER_OPTION& option : table->user_options)
        option = {next_text(), next_text(), next_text()};
    table->internal_options.resize(next_byte() % 3);
    for (PLUGIN_INTERNAL_OPTION& option : table->internal_options)
        option = {next_text(), next_text()};
    const uint8_t nulls = next_byte();
    PLUGIN_MNEMONIC_TABLE& r = table->record;
    r.table_name = next_text();
    r.group_name = next_text();
    r.group_alias = next_text();
    r.nodes = nulls & 1 ? nullptr : table->nodes.data();
    r.node_count = next_count(int(table->nodes.size()));
    r.user_options = nulls & 2 ? nullptr : table->user_options.data();
    r.user_option_count = next_count(int(table->user_options.size()));
    r.internal_options = nulls & 4 ? nullptr : table->internal_options.data();
    r.internal_option_count = next_count(int(table->internal_options.size()));
}

// The structs read for one array must match its records, as many as the count says.
void read_tables(bool setup)
{
    std::vector<FAKE_TABLE> tables(next_byte() % 4);
    std::vector<PLUGIN_MNEMONIC_TABLE> records;
    for (FAKE_TABLE& table : tables)
    {
        fill_table(&table);
        records.push_back(table.record);
    }
    const bool null_array = next_byte() & 1;
    const int count = next_count(int(records.size()));
    const QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> plugins =
        sedq_read_plugin_tables("fake", null_array ? nullptr : records.data(), count, setup);
    if (plugins.size() != (null_array ? 0 : std::max(count, 0)))
        std::abort();
    for (int i = 0; i < plugins.size(); ++i)
    {
        const PLUGIN_MNEMONIC_TABLE& r = records[size_t(i)];
        const int nodes = r.nodes != nullptr ? std::max(r.node_count, 0) : 0;
        if (plugins[i]->setup != setup || plugins[i]->node_names.size() != nodes ||
            plugins[i]->node_aliases.size() != nodes)
            std::abort();
    }
    qDeleteAll(plugins);
}

// An option's message buffer filled by the plug-in, with or without a NUL.
void read_message()
{
    QByteArray message(SEDQ_PLUGIN_TEXT_SIZE, '\0');
    const size_t fill = std::min<size_t>(size_t(next_byte()) * 4 + (s_size & 3), size_t(message.size()));
    for (size_t i = 0; i < fill; ++i)
        message[int(i)] = char(i < s_size ? s_data[i] : 'm');
    sedq_read_plugin_message(&message);
    if (message.size() >= SEDQ_PLUGIN_TEXT_SIZE || message.contains('\0'))
        std::abort();
}
// A text the plug-in hands over to be shown (its error text): whatever its bytes, what a box
// shows stays short and holds only whole characters.
void read_shown_text()
{
    const std::string text(reinterpret_cast<const char*>(s_data), s_size);
    const QString shown = sedq_plugin_message(text.c_str());
    if (shown.size() > 2048 + 8 || shown.count(QLatin1Char('\n')) > 24)
        std::abort();
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
    s_texts.clear();
    read_tables(true);
    read_tables(false);
    read_message();
    read_shown_text();
    return 0;
}
