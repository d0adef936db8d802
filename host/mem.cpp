// Memory-registration stand-in: keeps the names of the modules whose initializer is alive.
#include "host/mem.h"

#include "host/standin/mem_control.h"

#include <algorithm>
#include <mutex>

namespace
{
// Both the list and its lock are function-local so that a library's static initialisation
// can register before anything else of this library has been constructed.
std::vector<std::string>& modules()
{
    static std::vector<std::string> list;
    return list;
}

std::mutex& modules_lock()
{
    static std::mutex lock;
    return lock;
}
} // namespace

MEM_INITIALIZER::MEM_INITIALIZER(const char* module) : m_module(module ? module : "")
{
    const std::lock_guard<std::mutex> guard(modules_lock());
    modules().emplace_back(m_module);
}

MEM_INITIALIZER::~MEM_INITIALIZER()
{
    const std::lock_guard<std::mutex> guard(modules_lock());
    auto& list = modules();
    const auto it = std::find(list.rbegin(), list.rend(), std::string(m_module));
    if (it != list.rend())
        list.erase(std::next(it).base());
}

namespace standin::mem
{
std::vector<std::string> live_modules()
{
    const std::lock_guard<std::mutex> guard(modules_lock());
    return modules();
}
} // namespace standin::mem
