// GEN stand-in: mode flags, small string helpers and the two host directories.
#include "host/gen.h"

#include "host/standin/gen_control.h"
#include "host/standin/standin.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace
{
struct gen_state
{
    bool is_qhd = false;
    bool is_qt = true;
    std::string module_path; // empty: the directory of the running program
    std::string db_dir_path; // empty: "db/" below the working directory
};

// Never destroyed: the mode flags are read from static destructors at process exit.
gen_state& state()
{
    static gen_state* s = new gen_state;
    return *s;
}

void reset()
{
    state() = gen_state();
}

const standin::reset_registrar registrar(&reset);

std::string with_trailing_slash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}
} // namespace

bool gen_is_qhd()
{
    return state().is_qhd;
}

bool gen_get_is_qt()
{
    return state().is_qt;
}

int gen_stricmp(const char* a, const char* b)
{
    if (!a || !b)
        return a == b ? 0 : (a ? 1 : -1);
    for (;; ++a, ++b)
    {
        const int ca = std::tolower(static_cast<unsigned char>(*a));
        const int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

int gen_atoi(const char* text)
{
    if (!text)
        return 0;
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text)
    {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

char* gen_strrev(char* text)
{
    if (text)
        std::reverse(text, text + std::strlen(text));
    return text;
}

std::string gen_get_db_dir_path_string()
{
    const std::string& dir = state().db_dir_path;
    return dir.empty() ? std::string("db/") : with_trailing_slash(dir);
}

std::string gen_get_module_path()
{
    const auto& s = state();
    if (!s.module_path.empty())
        return with_trailing_slash(s.module_path);
    if (QCoreApplication::instance())
        return with_trailing_slash(QCoreApplication::applicationDirPath().toStdString());
    return "./";
}

namespace standin::gen
{
void set_is_qhd(bool on)
{
    state().is_qhd = on;
}

void set_is_qt(bool on)
{
    state().is_qt = on;
}

void set_module_path(const std::string& path)
{
    state().module_path = path;
}

void set_db_dir_path(const std::string& path)
{
    state().db_dir_path = path;
}
} // namespace standin::gen
