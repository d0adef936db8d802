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
#include <functional>

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
//
// The analyzer calls a plug-in only through the member functions: a call that throws does not
// cross back into the analyzer. The plug-in is refused from then on (its state is unknown):
// the user is told which plug-in and which call it was, sedq_find_plugin no longer finds it, and
// its groups are passed over like those of a plug-in that is not loaded. The calls that take a
// table handle are never made with a null one: a handle the plug-in did not return.
struct SEDQ_PLUGIN_ENTRY
{
    QLibrary* library = nullptr;
    QString file; // the library's file name, for messages
    QStringList unit_names;
    bool refused = false;
    PLUGIN_CLOSE plugin_close = nullptr;
    PLUGIN_GET_MNEMONIC_TABLES plugin_get_mnemonic_tables = nullptr;
    PLUGIN_OPEN_MNEMONIC_TABLE plugin_open_mnemonic_table = nullptr;
    PLUGIN_CLOSE_MNEMONIC_TABLE plugin_close_mnemonic_table = nullptr;
    PLUGIN_SET_USER_OPTIONS plugin_set_user_options = nullptr;
    PLUGIN_REFRESH_DISPLAY_MNEMONICS plugin_refresh_display_mnemonics = nullptr;
    PLUGIN_GET_DISPLAY_MNEMONIC plugin_get_display_mnemonic = nullptr;
    PLUGIN_GET_TRIGGER_DATA plugin_get_trigger_data = nullptr;
    PLUGIN_GET_ERROR_MSG plugin_get_error_msg = nullptr;

    // Each returns the plug-in's answer (0: success); a call that threw, or one refused before
    // it was made, answers SEDQ_PLUGIN_CALL_FAILED.
    int get_mnemonic_tables(PLUGIN_MNEMONIC_TABLE** setup_tables, int* setup_count, PLUGIN_MNEMONIC_TABLE** data_tables,
                            int* data_count, char** node_names, int node_count);
    int open_mnemonic_table(void** handle, const char* table_name, PLUGIN_INTERNAL_OPTION* options, int option_count);
    int set_user_options(void* handle, const char** values, int count, char** messages, int message_size);
    int refresh_display_mnemonics(void* handle);
    int get_display_mnemonic(void* handle, char* text, int text_size, const char* value);
    int get_trigger_data(void* handle, char* pattern, int pattern_size, const char* symbol);
    // The plug-in's last error text cut to a readable length; empty when it has none.
    QString get_error_text();
};

constexpr int SEDQ_PLUGIN_CALL_FAILED = -1;

// Ordered by plain case-sensitive comparison of the plug-in names.
extern QMap<QString, SEDQ_PLUGIN_ENTRY*> s_sedq_plugin_map;

// The entry of a registered plug-in name, null when none is loaded under it or it was refused.
SEDQ_PLUGIN_ENTRY* sedq_find_plugin(const QString& name);
// A plug-in's text buffer read as UTF-8, cut at its last byte whether or not the plug-in
// terminated it.
QString sedq_plugin_text(char* buffer, int size);
// A text a plug-in hands over to be shown to the user, read as UTF-8 no further than a readable
// length: a longer one is cut (never inside a character) and marked as cut. Empty for null.
QString sedq_plugin_message(const char* text);
// The critical box, titled "Corvane", that shows what a plug-in said or what went wrong with it.
void sedq_show_plugin_box(const QString& text);
// Runs a call a library answers while it is loaded, before it is registered (its version, its
// open): one that throws shows why the library is not used and answers SEDQ_PLUGIN_CALL_FAILED.
int sedq_call_loading_plugin(const QString& file, const char* function, const std::function<int()>& call);
// Calls a plug-in's open with a fresh name buffer: false when it fails; else its name and its
// unit names (none for a count of 0 or less or a null array, "" for a null name).
bool sedq_read_plugin_open(PLUGIN_OPEN open, QString* name, QStringList* unit_names);
