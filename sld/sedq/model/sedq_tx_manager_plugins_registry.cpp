// SEDQ_TX_MANAGER: discovery, checking and unloading of the decoder plug-in libraries, the
// process-wide registry by plug-in name and the box that shows a plug-in's own error text.
// Everything here runs on the GUI thread: the registry is not synchronised.
#include "sedq/model/sedq_tx_manager.h"

#include "host/fio.h"
#include "host/gen.h"
#include "sedq/plugins/sedq_plugin_entry.h"

#include <QFileInfo>
#include <QLibrary>

#include <memory>

namespace
{
constexpr const char* PLUGIN_FILE_PATTERN = "libsld_sed_*.so";

template <typename FUNCTION>
bool resolve(QLibrary* library, const char* symbol, FUNCTION* function)
{
    *function = reinterpret_cast<FUNCTION>(library->resolve(symbol));
    return *function != nullptr;
}

// All nine kept entry points, in the interface's order; any one missing rejects the library,
// also those the analyzer never calls.
bool resolve_kept_functions(QLibrary* library, SEDQ_PLUGIN_ENTRY* entry)
{
    return resolve(library, "plugin_close", &entry->plugin_close) &&
           resolve(library, "plugin_get_mnemonic_tables", &entry->plugin_get_mnemonic_tables) &&
           resolve(library, "plugin_open_mnemonic_table", &entry->plugin_open_mnemonic_table) &&
           resolve(library, "plugin_close_mnemonic_table", &entry->plugin_close_mnemonic_table) &&
           resolve(library, "plugin_set_user_options", &entry->plugin_set_user_options) &&
           resolve(library, "plugin_refresh_display_mnemonics", &entry->plugin_refresh_display_mnemonics) &&
           resolve(library, "plugin_get_display_mnemonic", &entry->plugin_get_display_mnemonic) &&
           resolve(library, "plugin_get_trigger_data", &entry->plugin_get_trigger_data) &&
           resolve(library, "plugin_get_error_msg", &entry->plugin_get_error_msg);
}

bool has_interface_version(QLibrary* library, const QString& file)
{
    PLUGIN_GET_VERSION get_version = nullptr;
    int version = 0;
    return resolve(library, "plugin_get_version", &get_version) &&
           sedq_call_loading_plugin(file, "plugin_get_version", [&] { return get_version(&version); }) == 0 &&
           version == SEDQ_PLUGIN_VERSION;
}

void discard(QLibrary* library)
{
    library->unload();
    delete library;
}

// Opens the plug-in; a failing open shows the plug-in's own text, one that throws says so.
bool open_plugin_library(QLibrary* library, SEDQ_PLUGIN_ENTRY* entry, QString* plugin_name)
{
    PLUGIN_OPEN open = nullptr;
    if (!resolve(library, "plugin_open", &open) || !resolve_kept_functions(library, entry))
        return false;
    bool opened = false;
    if (sedq_call_loading_plugin(entry->file, "plugin_open", [&] {
            opened = sedq_read_plugin_open(open, plugin_name, &entry->unit_names);
            return 0;
        }) != 0)
        return false;
    if (!opened)
    {
        const QString error = entry->get_error_text();
        if (!error.isEmpty())
            sedq_show_plugin_box(error);
    }
    return opened;
}

// Registers the library at `path` when it is a plug-in of this interface; anything else is
// skipped, and only a failing open is shown (with the plug-in's own text).
void load_plugin_library(const QString& path)
{
    auto* library = new QLibrary(path);
    if (!library->load())
        return delete library;
    auto entry = std::make_unique<SEDQ_PLUGIN_ENTRY>();
    entry->file = QFileInfo(path).fileName();
    QString plugin_name;
    if (!has_interface_version(library, entry->file) || !open_plugin_library(library, entry.get(), &plugin_name) ||
        entry->refused)
        return discard(library);
    entry->library = library;
    // A later library of the same name replaces the earlier one, which is not used again.
    if (SEDQ_PLUGIN_ENTRY* earlier = s_sedq_plugin_map.value(plugin_name))
    {
        discard(earlier->library);
        delete earlier;
    }
    s_sedq_plugin_map.insert(plugin_name, entry.release());
}
} // namespace

SEDQ_PLUGIN_ENTRY* sedq_find_plugin(const QString& name)
{
    SEDQ_PLUGIN_ENTRY* entry = s_sedq_plugin_map.value(name);
    return entry != nullptr && entry->library != nullptr && !entry->refused ? entry : nullptr;
}

void SEDQ_TX_MANAGER::discover_plugins()
{
    const std::string pattern = gen_get_module_path() + PLUGIN_FILE_PATTERN;
    const QString directory = QString::fromStdString(gen_get_module_path());
    _finddata_t found{};
    const intptr_t handle = FIO_FILE_SYSTEM::findfirst(pattern.c_str(), &found);
    for (int more = handle == -1 ? -1 : 0; more != -1; more = FIO_FILE_SYSTEM::findnext(handle, &found))
        load_plugin_library(directory + QString::fromLocal8Bit(found.name));
    FIO_FILE_SYSTEM::findclose(handle);
}

// Entries go with their libraries: an entry kept past its library would hold entry points
// into unmapped code.
void SEDQ_TX_MANAGER::unload_plugins()
{
    for (SEDQ_PLUGIN_ENTRY* entry : qAsConst(s_sedq_plugin_map))
    {
        if (entry->library != nullptr)
            discard(entry->library);
        delete entry;
    }
    s_sedq_plugin_map.clear();
}

// A plug-in refused after it threw is no longer offered.
QStringList SEDQ_TX_MANAGER::get_plugin_names()
{
    QStringList names;
    for (auto it = s_sedq_plugin_map.cbegin(); it != s_sedq_plugin_map.cend(); ++it)
        if (!it.value()->refused)
            names << it.key();
    return names;
}

int SEDQ_TX_MANAGER::get_plugin_count()
{
    return get_plugin_names().size();
}

bool SEDQ_TX_MANAGER::get_plugin_name(int index, QString* name)
{
    const QStringList names = get_plugin_names();
    if (index < 0 || index >= names.size())
        return false;
    *name = names[index];
    return true;
}

bool SEDQ_TX_MANAGER::show_plugin_error_msg(QString const& plugin_name)
{
    SEDQ_PLUGIN_ENTRY* entry = sedq_find_plugin(plugin_name);
    const QString error = entry != nullptr ? entry->get_error_text() : QString();
    if (error.isEmpty())
        return false;
    sedq_show_plugin_box(error);
    return true;
}
