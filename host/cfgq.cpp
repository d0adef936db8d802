// User-registry stand-in: an in-memory map per key, optionally persisted in an ini file.
#include "host/cfgq.h"

#include "host/standin/cfgq_control.h"
#include "host/standin/standin.h"

#include <QSettings>

#include <cstdlib>
#include <map>

// Each value is the constant's own name, so a registry file reads like the code.
#define CFGQ_DEFINE_NAME(NAME) const char* const NAME = #NAME;
CFGQ_DEFINE_NAME(CFGQ_SEDQ_SHOW_DUPLICATE_BUTTONS_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_LINK_GROUPS_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_LINK_PROPERTIES_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_LINK_ORDER_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_LINK_MNEMONICS_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_AUTO_RECOMPILE_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_SHOW_HORZ_GRID_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_INTER_LINE_SPACING_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_ALIGN_LEFT_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_SHOW_LEADING_ZEROES_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_SHOW_VERT_GRID_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_SHOW_TIME_BARS_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_FIT_DATA_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_ROWPP_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_COLUMNPP_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_PAGES_WIDE_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_PAGES_TALL_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_NAME_WIDTH_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_SHOW_TYPE_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_SHOW_ALIAS_STR)
CFGQ_DEFINE_NAME(CFGQ_SEDQ_DISPLAY_MODE_STR)
#undef CFGQ_DEFINE_NAME

namespace
{
typedef std::map<std::pair<int, QString>, QVariant> value_map;

struct cfgq_state
{
    value_map values;
    QString file;
    int reads = 0;
    bool loaded = false;
};

// An ini group per key: "key32/CFGQ_SEDQ_FIT_DATA_STR=true".
QString group_of(int key)
{
    return QStringLiteral("key%1").arg(key);
}

bool is_key_group(const QString& group, int* key = nullptr)
{
    if (!group.startsWith(QLatin1String("key")))
        return false;
    bool ok = false;
    const int number = group.mid(3).toInt(&ok);
    if (ok && key)
        *key = number;
    return ok && group == group_of(number);
}

void load_file(cfgq_state& s)
{
    s.values.clear();
    if (s.file.isEmpty())
        return;
    QSettings settings(s.file, QSettings::IniFormat);
    for (const QString& group : settings.childGroups())
    {
        int key = 0;
        if (!is_key_group(group, &key))
            continue;
        settings.beginGroup(group);
        for (const QString& name : settings.childKeys())
            s.values[{key, name}] = settings.value(name);
        settings.endGroup();
    }
}

void save_file(const cfgq_state& s)
{
    if (s.file.isEmpty())
        return;
    QSettings settings(s.file, QSettings::IniFormat);
    // The file is the user's registry: only the key groups are this registry's to rewrite,
    // anything else in it stays as it was.
    for (const QString& group : settings.childGroups())
        if (is_key_group(group))
            settings.remove(group);
    for (const auto& [where, value] : s.values)
        settings.setValue(group_of(where.first) + QLatin1Char('/') + where.second, value);
    settings.sync();
}

QString file_from_environment()
{
    return QString::fromLocal8Bit(std::getenv("CORVANE_STANDIN_REGISTRY"));
}

// The environment is read on first use so that the registry works during static
// initialisation of a library as well as in a test that set the variable.
cfgq_state& state()
{
    static cfgq_state s;
    if (!s.loaded)
    {
        s.loaded = true;
        s.file = file_from_environment();
        load_file(s);
    }
    return s;
}

// Back to what a fresh process would see.
void reset()
{
    auto& s = state();
    s.reads = 0;
    s.file = file_from_environment();
    load_file(s);
}

const standin::reset_registrar registrar(&reset);
} // namespace

CFGQ_REGISTRY_KEY::CFGQ_REGISTRY_KEY(int key) : m_key(key) {}

bool CFGQ_REGISTRY_KEY::get_value(const char* name, QVariant* value) const
{
    auto& s = state();
    ++s.reads;
    const auto it = s.values.find({m_key, QString::fromLatin1(name ? name : "")});
    if (it == s.values.end())
        return false;
    if (value)
        *value = it->second;
    return true;
}

void CFGQ_REGISTRY_KEY::set_value(const char* name, const QVariant& value)
{
    auto& s = state();
    s.values[{m_key, QString::fromLatin1(name ? name : "")}] = value;
    save_file(s);
}

namespace standin::cfgq
{
void set(int key, const QString& name, const QVariant& value)
{
    state().values[{key, name}] = value;
}

void clear(int key, const QString& name)
{
    state().values.erase({key, name});
}

void clear_all()
{
    state().values.clear();
}

int read_count()
{
    return state().reads;
}

void use_file(const QString& path)
{
    auto& s = state();
    s.file = path;
    load_file(s);
}

QString file()
{
    return state().file;
}
} // namespace standin::cfgq
