// A decoder plug-in for an 8-bit serial (UART) transmitter: the trigger list taps its data
// byte, the data list its data byte, a valid flag and the busy line (a transmitter without a
// valid flag: the data byte and the busy line, the byte shown while busy). A sampled byte shows as
// its character (or in hexadecimal by the "Format" option); a typed character, "<hh>" or "*"
// becomes trigger bits. An option left empty keeps the decoder's default (115200 baud, no
// symbol file, characters). Loaded only through the decoder plug-in interface.
#include "sedq/plugins/sedq_plugin_entry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int DATA_BITS = 8;

struct TABLE
{
    std::string name;
    int width = DATA_BITS;
    bool hex = false;
    long baud = 115200;
    std::string symbol_file;
    std::string bit_order = "msb first";
};

struct COUNTERS
{
    int refresh = 0;
    int display = 0;
    int trigger = 0;
    int open_table = 0;
    int set_options = 0;
};

std::string s_error;
COUNTERS s_counters;
std::vector<std::unique_ptr<TABLE>> s_tables;

char s_plugin_name[] = "uart";
char s_unit[] = "uart_tx";
char* s_units[] = {s_unit};

char s_setup_name[] = "uart";
char s_data_name[] = "uart_data";
char s_busy_data_name[] = "uart_data_busy";
char s_group[] = "data";
char s_data_group[] = "frame";
char s_alias[] = "";
char s_data_nodes[DATA_BITS][8] = {"data[7]", "data[6]", "data[5]", "data[4]",
                                   "data[3]", "data[2]", "data[1]", "data[0]"};
char s_valid[] = "valid";
char s_busy[] = "busy";
PLUGIN_NODE_ENTRY s_setup_entries[DATA_BITS];
PLUGIN_NODE_ENTRY s_data_entries[DATA_BITS + 2];

char s_baud[] = "Baud rate";
char s_baud_text[] = "Baud rate of the line (empty: 115200)";
char s_number[] = "number";
char s_symbols[] = "Symbol file";
char s_symbols_text[] = "File of symbol names (empty: none)";
char s_file[] = "file";
char s_format[] = "Format";
char s_format_text[] = "Display format, char or hex (empty: char)";
char s_string[] = "string";
PLUGIN_USER_OPTION s_options[] = {{s_baud, s_baud_text, s_number},
                                  {s_symbols, s_symbols_text, s_file},
                                  {s_format, s_format_text, s_string}};
char s_order_name[] = "bit order";
char s_order_value[] = "msb first";
PLUGIN_INTERNAL_OPTION s_internal[] = {{s_order_name, s_order_value}};

PLUGIN_MNEMONIC_TABLE s_setup_table;
PLUGIN_MNEMONIC_TABLE s_data_table;

int fail(const std::string& text)
{
    s_error = text;
    return 1;
}

void put(char* buffer, int size, const std::string& text)
{
    std::snprintf(buffer, size_t(size), "%s", text.c_str());
}

// The byte of the first eight bit characters, most significant first; false on a bit that is
// not 0 or 1.
bool read_byte(const char* value, int* byte)
{
    *byte = 0;
    for (int i = 0; i < DATA_BITS; ++i)
    {
        if (value[i] != '0' && value[i] != '1')
            return false;
        *byte = (*byte << 1) | (value[i] - '0');
    }
    return true;
}

std::string bits_of(int byte)
{
    std::string bits;
    for (int i = DATA_BITS - 1; i >= 0; --i)
        bits += (byte >> i) & 1 ? '1' : '0';
    return bits;
}

std::string text_of(const TABLE& table, int byte)
{
    char text[8];
    if (!table.hex && byte >= 0x20 && byte < 0x7f)
        std::snprintf(text, sizeof text, "%c", byte);
    else
        std::snprintf(text, sizeof text, "<%02X>", byte);
    return text;
}

// A character, or "<hh>" for any byte; -1 for anything else.
int byte_of_symbol(const std::string& symbol)
{
    if (symbol.size() == 1)
        return static_cast<unsigned char>(symbol[0]);
    if (symbol.size() == 4 && symbol.front() == '<' && symbol.back() == '>')
    {
        const std::string digits = symbol.substr(1, 2);
        char* end = nullptr;
        const long byte = std::strtol(digits.c_str(), &end, 16);
        if (end != nullptr && *end == '\0')
            return int(byte);
    }
    return -1;
}

void build_tables()
{
    for (int i = 0; i < DATA_BITS; ++i)
    {
        s_setup_entries[i] = {s_data_nodes[i], s_alias};
        s_data_entries[i] = {s_data_nodes[i], s_alias};
    }
    s_data_entries[DATA_BITS] = {s_valid, s_alias};
    s_data_entries[DATA_BITS + 1] = {s_busy, s_alias};
    s_setup_table = {s_setup_name, s_group, s_alias, s_setup_entries, DATA_BITS, s_options, 3, s_internal, 1};
    s_data_table = {s_data_name, s_data_group, s_alias, s_data_entries, DATA_BITS + 2, s_options, 3, s_internal, 1};
}
} // namespace

extern "C" {

__attribute__((visibility("default"))) int plugin_get_version(int* version)
{
    *version = SEDQ_PLUGIN_VERSION;
    return 0;
}

__attribute__((visibility("default"))) int plugin_open(char* name, int name_size, char*** unit_names, int* unit_count)
{
    put(name, name_size, s_plugin_name);
    *unit_names = s_units;
    *unit_count = 1;
    build_tables();
    return 0;
}

__attribute__((visibility("default"))) int plugin_close()
{
    return 0;
}

__attribute__((visibility("default"))) int plugin_get_mnemonic_tables(PLUGIN_MNEMONIC_TABLE** setup_tables,
                                                                      int* setup_count,
                                                                      PLUGIN_MNEMONIC_TABLE** data_tables,
                                                                      int* data_count, char** node_names,
                                                                      int node_count)
{
    // The valid flag is tapped only where the instance has one.
    bool has_valid = false;
    for (int i = 0; node_names != nullptr && i < node_count; ++i)
        has_valid = has_valid || (node_names[i] != nullptr && std::strcmp(node_names[i], s_valid) == 0);
    s_data_entries[DATA_BITS] = {has_valid ? s_valid : s_busy, s_alias};
    s_data_table.table_name = has_valid ? s_data_name : s_busy_data_name;
    s_data_table.node_count = has_valid ? DATA_BITS + 2 : DATA_BITS + 1;
#ifdef UART_DATA_ONLY // a variant that taps the data list only
    *setup_tables = nullptr;
    *setup_count = 0;
#else
    *setup_tables = &s_setup_table;
    *setup_count = 1;
#endif
    *data_tables = &s_data_table;
    *data_count = 1;
    return 0;
}

__attribute__((visibility("default"))) int plugin_open_mnemonic_table(void** handle, const char* table_name,
                                                                      PLUGIN_INTERNAL_OPTION* options,
                                                                      int option_count)
{
    ++s_counters.open_table;
    const std::string name = table_name != nullptr ? table_name : "";
    if (name != s_setup_name && name != s_data_name && name != s_busy_data_name)
        return fail("uart: no table named \"" + name + "\"");
    auto table = std::make_unique<TABLE>();
    table->name = name;
    table->width = name == s_setup_name ? DATA_BITS : name == s_data_name ? DATA_BITS + 2 : DATA_BITS + 1;
    for (int i = 0; i < option_count; ++i)
        if (std::strcmp(options[i].name, s_order_name) == 0)
            table->bit_order = options[i].value;
    *handle = table.get();
    s_tables.push_back(std::move(table));
    return 0;
}

__attribute__((visibility("default"))) int plugin_close_mnemonic_table()
{
    return 0;
}

// Values in the order of the options: baud rate, symbol file, format. An empty value is the
// default; a value the decoder cannot use leaves a message and keeps the earlier setting.
__attribute__((visibility("default"))) int plugin_set_user_options(void* handle, const char** values, int count,
                                                                   char** messages, int message_size)
{
    ++s_counters.set_options;
    auto* table = static_cast<TABLE*>(handle);
    if (table == nullptr)
        return fail("uart: no table");
    if (count > 0 && values[0][0] == '\0')
        table->baud = TABLE().baud;
    else if (count > 0)
    {
        char* end = nullptr;
        const long baud = std::strtol(values[0], &end, 10);
        if (end == values[0] || *end != '\0' || baud <= 0)
            put(messages[0], message_size, std::string("Baud rate \"") + values[0] + "\" is not a number");
        else
            table->baud = baud;
    }
    if (count > 1)
        table->symbol_file = values[1];
    if (count > 2)
    {
        const std::string format = values[2];
        if (format == "hex" || format == "char" || format.empty())
            table->hex = format == "hex";
        else
            put(messages[2], message_size, "Format \"" + format + "\" is neither char nor hex");
    }
    return 0;
}

__attribute__((visibility("default"))) int plugin_refresh_display_mnemonics(void* handle)
{
    ++s_counters.refresh;
    return handle != nullptr ? 0 : fail("uart: no table");
}

// The data table shows a byte only while its valid bit (without one, the busy line) is set.
__attribute__((visibility("default"))) int plugin_get_display_mnemonic(void* handle, char* text, int text_size,
                                                                       const char* value)
{
    ++s_counters.display;
    const auto* table = static_cast<const TABLE*>(handle);
    int byte = 0;
    if (table == nullptr || value == nullptr || int(std::strlen(value)) < table->width || !read_byte(value, &byte))
        return fail("uart: not a sampled byte");
    if (table->width > DATA_BITS && value[DATA_BITS] != '1')
        put(text, text_size, "");
    else
        put(text, text_size, text_of(*table, byte));
    return 0;
}

__attribute__((visibility("default"))) int plugin_get_trigger_data(void* handle, char* pattern, int pattern_size,
                                                                   const char* symbol)
{
    ++s_counters.trigger;
    const auto* table = static_cast<const TABLE*>(handle);
    if (table == nullptr || symbol == nullptr)
        return fail("uart: no table");
    const std::string typed = symbol;
    std::string bits;
    if (typed == "*")
        bits = std::string(DATA_BITS, 'X');
    else if (byte_of_symbol(typed) >= 0)
        bits = bits_of(byte_of_symbol(typed));
    else
        return fail("uart: unknown symbol \"" + typed + "\"");
    if (table->width > DATA_BITS)
        bits += "1X";
    put(pattern, pattern_size, bits);
    return 0;
}

__attribute__((visibility("default"))) const char* plugin_get_error_msg()
{
    return s_error.empty() ? nullptr : s_error.c_str();
}

// For tests: how often each call was made since the library was loaded.
__attribute__((visibility("default"))) void sld_sed_uart_counters(int* refresh, int* display, int* trigger,
                                                                  int* open_table, int* set_options)
{
    *refresh = s_counters.refresh;
    *display = s_counters.display;
    *trigger = s_counters.trigger;
    *open_table = s_counters.open_table;
    *set_options = s_counters.set_options;
}

} // extern "C"
