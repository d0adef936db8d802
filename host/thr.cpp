// Dynamic-loader stand-in: an in-process registry of support libraries and their functions,
// with load counting and injectable failures.
#include "host/thr.h"

#include "host/standin/standin.h"
#include "host/standin/thr_control.h"

#include <map>
#include <set>
#include <string>

struct THR_DRL_LIBRARY
{
    std::string name;
};

namespace
{
// Library name -> symbol -> function; filled by the stand-ins at load time, kept across resets.
std::map<std::string, std::map<std::string, void*>>& registry()
{
    static std::map<std::string, std::map<std::string, void*>> r;
    return r;
}

struct thr_state
{
    std::map<std::string, std::string> load_failures;
    std::set<std::string> symbol_failures;
    std::set<THR_DRL_LIBRARY*> loaded;
    std::string error;
};

thr_state& state()
{
    static thr_state s;
    return s;
}

void reset()
{
    for (THR_DRL_LIBRARY* library : state().loaded)
        delete library;
    state() = thr_state();
}

const standin::reset_registrar registrar(&reset);
} // namespace

THR_DRL_HANDLE thr_drl_load(const char* library)
{
    const std::string name = library != nullptr ? library : "";
    standin::record_call("thr:thr_drl_load(" + name + ")");
    const auto failure = state().load_failures.find(name);
    if (failure != state().load_failures.end())
    {
        state().error = failure->second;
        return nullptr;
    }
    if (registry().count(name) == 0)
    {
        state().error = "cannot load library \"" + name + "\": no such library";
        return nullptr;
    }
    auto* handle = new THR_DRL_LIBRARY{name};
    state().loaded.insert(handle);
    return handle;
}

void* thr_drl_find_function(THR_DRL_HANDLE handle, const char* symbol)
{
    const std::string name = symbol != nullptr ? symbol : "";
    if (handle == nullptr || state().loaded.count(handle) == 0)
    {
        state().error = "no library is loaded under this handle";
        return nullptr;
    }
    const auto& functions = registry()[handle->name];
    const auto it = functions.find(name);
    if (it == functions.end() || state().symbol_failures.count(name) != 0)
    {
        state().error = "library \"" + handle->name + "\" has no function \"" + name + "\"";
        return nullptr;
    }
    return it->second;
}

void thr_drl_unload(THR_DRL_HANDLE handle)
{
    if (state().loaded.erase(handle) != 0)
        delete handle;
}

const char* thr_drl_get_error()
{
    return state().error.c_str();
}

namespace standin::thr
{
void register_function(const std::string& library, const std::string& symbol, void* function)
{
    registry()[library][symbol] = function;
}

void fail_load(const std::string& library, const std::string& error)
{
    if (error.empty())
        state().load_failures.erase(library);
    else
        state().load_failures[library] = error;
}

void fail_symbol(const std::string& symbol, bool fail)
{
    if (fail)
        state().symbol_failures.insert(symbol);
    else
        state().symbol_failures.erase(symbol);
}

int loaded_count()
{
    return int(state().loaded.size());
}
} // namespace standin::thr
