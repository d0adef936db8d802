#pragma once
// The decoder plug-in interface and the registry of loaded plug-in libraries by plug-in name.
// A plug-in is a shared library "libsld_sed_*.so" exporting the eleven C functions below; the
// records it hands across are plain structs whose layout is fixed for the x86-64 System V ABI
// (the static_asserts keep it). The registry is empty until the first document model
// discovers the plug-ins and is emptied when the last one ends.

#include <QMap>
#include <QString>
#include <QStringList>

#include <cstddef>

class QLibrary;

extern "C" {

struct PLUGIN_NODE_ENTRY
{
    char* name;  // relative to the decoded instance
    char* alias;
};

struct PLUGIN_USER_OPTION
{
    char* name;
    char* description; // the label the options dialog shows
    char* type;        // "number", "file", anything else a free string
};

struct PLUGIN_INTERNAL_OPTION
{
    char* name;
    char* value;
};

struct PLUGIN_MNEMONIC_TABLE
{
    char* table_name;
    char* group_name;
    char* group_alias;
    PLUGIN_NODE_ENTRY* nodes;
    int node_count;
    PLUGIN_USER_OPTION* user_options;
    int user_option_count;
    PLUGIN_INTERNAL_OPTION* internal_options;
    int internal_option_count;
};

// Every function but the last returns 0 on success; the last one's text explains a failure.
typedef int (*PLUGIN_GET_VERSION)(int* version);
typedef int (*PLUGIN_OPEN)(char* name, int name_size, char*** unit_names, int* unit_count);
typedef int (*PLUGIN_CLOSE)();
typedef int (*PLUGIN_GET_MNEMONIC_TABLES)(PLUGIN_MNEMONIC_TABLE** setup_tables, int* setup_count,
                                          PLUGIN_MNEMONIC_TABLE** data_tables, int* data_count, char** node_names,
                                          int node_count);
typedef int (*PLUGIN_OPEN_MNEMONIC_TABLE)(void** handle, const char* table_name, PLUGIN_INTERNAL_OPTION* options,
                                          int option_count);
typedef int (*PLUGIN_CLOSE_MNEMONIC_TABLE)();
typedef int (*PLUGIN_SET_USER_OPTIONS)(void* handle, const char** values, int count, char** messages,
                                       int message_size);
typedef int (*PLUGIN_REFRESH_DISPLAY_MNEMONICS)(void* handle);
typedef int (*PLUGIN_GET_DISPLAY_MNEMONIC)(void* handle, char* text, int text_size, const char* value);
typedef int (*PLUGIN_GET_TRIGGER_DATA)(void* handle, char* pattern, int pattern_size, const char* symbol);
typedef const char* (*PLUGIN_GET_ERROR_MSG)();

} // extern "C"

static_assert(sizeof(void*) == 8 && sizeof(int) == 4, "the plug-in records are laid out for x86-64");
static_assert(sizeof(PLUGIN_NODE_ENTRY) == 16 && offsetof(PLUGIN_NODE_ENTRY, alias) == 8, "node entry");
static_assert(sizeof(PLUGIN_USER_OPTION) == 24 && offsetof(PLUGIN_USER_OPTION, type) == 16, "user option");
static_assert(sizeof(PLUGIN_INTERNAL_OPTION) == 16 && offsetof(PLUGIN_INTERNAL_OPTION, value) == 8, "option");
static_assert(sizeof(PLUGIN_MNEMONIC_TABLE) == 72, "mnemonic table record");
static_assert(offsetof(PLUGIN_MNEMONIC_TABLE, nodes) == 24 && offsetof(PLUGIN_MNEMONIC_TABLE, node_count) == 32 &&
                  offsetof(PLUGIN_MNEMONIC_TABLE, user_options) == 40 &&
                  offsetof(PLUGIN_MNEMONIC_TABLE, user_option_count) == 48 &&
                  offsetof(PLUGIN_MNEMONIC_TABLE, internal_options) == 56 &&
                  offsetof(PLUGIN_MNEMONIC_TABLE, internal_option_count) == 64,
              "mnemonic table offsets");

// The only interface version this analyzer speaks.
constexpr int SEDQ_PLUGIN_VERSION = 3;
// Size of every text buffer handed to a plug-in (names, display texts, patterns, messages).
constexpr int SEDQ_PLUGIN_TEXT_SIZE = 1024;

// One loaded library: the library (owned) and its kept entry points. Version and open are
// used while loading only.
struct SEDQ_PLUGIN_ENTRY
{
    QLibrary* library = nullptr;
    QStringList unit_names;
    PLUGIN_CLOSE plugin_close = nullptr;
    PLUGIN_GET_MNEMONIC_TABLES plugin_get_mnemonic_tables = nullptr;
    PLUGIN_OPEN_MNEMONIC_TABLE plugin_open_mnemonic_table = nullptr;
    PLUGIN_CLOSE_MNEMONIC_TABLE plugin_close_mnemonic_table = nullptr;
    PLUGIN_SET_USER_OPTIONS plugin_set_user_options = nullptr;
    PLUGIN_REFRESH_DISPLAY_MNEMONICS plugin_refresh_display_mnemonics = nullptr;
    PLUGIN_GET_DISPLAY_MNEMONIC plugin_get_display_mnemonic = nullptr;
    PLUGIN_GET_TRIGGER_DATA plugin_get_trigger_data = nullptr;
    PLUGIN_GET_ERROR_MSG plugin_get_error_msg = nullptr;
};

// Ordered by plain case-sensitive comparison of the plug-in names.
extern QMap<QString, SEDQ_PLUGIN_ENTRY*> s_sedq_plugin_map;

// The entry of a registered plug-in name, null when none is loaded under it.
SEDQ_PLUGIN_ENTRY* sedq_find_plugin(const QString& name);
// A plug-in's text buffer read as UTF-8, cut at its last byte whether or not the plug-in
// terminated it.
QString sedq_plugin_text(char* buffer, int size);
// Calls a plug-in's open with a fresh name buffer: false when it fails; else its name and its
// unit names (none for a count of 0 or less or a null array, "" for a null name).
bool sedq_read_plugin_open(PLUGIN_OPEN open, QString* name, QStringList* unit_names);
