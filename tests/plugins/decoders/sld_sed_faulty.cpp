// A decoder plug-in built in variants, each breaking the interface in one way (chosen by the
// FAULTY_* definitions of its build): another version, a failing version call, a missing
// export, a failing open, a name shared with another library, failing calls (with or without
// a table that opens), texts that fill their buffer without a terminator, option messages, no
// error text, an error text of 64 MiB, and exceptions thrown out of the open or the display call.
#include "sedq/plugins/sedq_plugin_entry.h"

#include <cstring>
#include <stdexcept>
#include <string>

#ifndef FAULTY_NAME
#define FAULTY_NAME "faulty"
#endif
#ifndef FAULTY_UNIT
#define FAULTY_UNIT "faulty_unit"
#endif
#ifndef FAULTY_VERSION
#define FAULTY_VERSION 3
#endif
#ifndef FAULTY_VERSION_RESULT
#define FAULTY_VERSION_RESULT 0
#endif
#ifndef FAULTY_OPEN_RESULT
#define FAULTY_OPEN_RESULT 0
#endif
#ifndef FAULTY_CALL_RESULT
#define FAULTY_CALL_RESULT 0
#endif

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace
{
char s_unit[] = FAULTY_UNIT;
char* s_units[] = {s_unit};

// Fills the whole buffer: without FAULTY_LONG_TEXT the text is terminated, with it every byte
// is the letter and none is NUL.
void fill(char* buffer, int size, const char* text)
{
#ifdef FAULTY_LONG_TEXT
    (void)text;
    std::memset(buffer, 'L', size_t(size));
#else
    std::strncpy(buffer, text, size_t(size - 1));
    buffer[size - 1] = '\0';
#endif
}
} // namespace

EXPORT int plugin_get_version(int* version)
{
    *version = FAULTY_VERSION;
    return FAULTY_VERSION_RESULT;
}

EXPORT int plugin_open(char* name, int name_size, char*** unit_names, int* unit_count)
{
#ifdef FAULTY_THROW_IN_OPEN
    throw std::runtime_error("the open blew up");
#endif
    fill(name, name_size, FAULTY_NAME);
    *unit_names = s_units;
    *unit_count = 1;
    return FAULTY_OPEN_RESULT;
}

EXPORT int plugin_close()
{
    return 0;
}

EXPORT int plugin_get_mnemonic_tables(PLUGIN_MNEMONIC_TABLE** setup_tables, int* setup_count,
                                      PLUGIN_MNEMONIC_TABLE** data_tables, int* data_count, char**, int)
{
    *setup_tables = nullptr;
    *setup_count = 0;
    *data_tables = nullptr;
    *data_count = 0;
    return FAULTY_CALL_RESULT;
}

EXPORT int plugin_open_mnemonic_table(void** handle, const char*, PLUGIN_INTERNAL_OPTION*, int)
{
    static int table;
    *handle = &table;
#ifdef FAULTY_TABLE_OPENS
    return 0;
#else
    return FAULTY_CALL_RESULT;
#endif
}

#ifndef FAULTY_NO_CLOSE_TABLE
EXPORT int plugin_close_mnemonic_table()
{
    return 0;
}
#endif

// Option messages of the first and the last option, none for those between.
EXPORT int plugin_set_user_options(void*, const char**, int count, char** messages, int message_size)
{
#ifdef FAULTY_OPTION_MESSAGES
    if (count > 0)
        fill(messages[0], message_size, "first option refused");
    if (count > 1)
        fill(messages[count - 1], message_size, "last option refused");
#else
    (void)count;
    (void)messages;
    (void)message_size;
#endif
    return FAULTY_CALL_RESULT;
}

EXPORT int plugin_refresh_display_mnemonics(void*)
{
    return FAULTY_CALL_RESULT;
}

EXPORT int plugin_get_display_mnemonic(void*, char* text, int text_size, const char*)
{
#ifdef FAULTY_THROW_IN_DISPLAY
    throw 42; // not even an exception class
#endif
    fill(text, text_size, "shown");
    return FAULTY_CALL_RESULT;
}

EXPORT int plugin_get_trigger_data(void*, char* pattern, int pattern_size, const char*)
{
    fill(pattern, pattern_size, "0101");
    return FAULTY_CALL_RESULT;
}

EXPORT const char* plugin_get_error_msg()
{
#if defined(FAULTY_NO_ERROR_TEXT)
    return nullptr;
#elif defined(FAULTY_HUGE_ERROR)
    static const std::string text = std::string(FAULTY_NAME " failed: ") + std::string(64u << 20, 'E');
    return text.c_str();
#else
    return FAULTY_NAME " failed";
#endif
}
