// Readers shared by the project-fixture loaders.
#include "host/standin/fixture_json.h"

#include <QString>

#include <cmath>

namespace standin::fixture
{
bool read_flags(const QJsonValue& value, unsigned* out)
{
    if (value.isDouble())
    {
        const double number = value.toDouble();
        if (number < 0 || number > 4294967295.0 || std::floor(number) != number)
            return false;
        *out = unsigned(number);
        return true;
    }
    if (!value.isString())
        return false;
    bool ok = false;
    const qulonglong number = value.toString().trimmed().toULongLong(&ok, 0);
    if (!ok || number > 0xffffffffull)
        return false;
    *out = unsigned(number);
    return true;
}

bool read_int(const QJsonValue& value, int minimum, int maximum, int* out)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (std::floor(number) != number || number < minimum || number > maximum)
        return false;
    *out = int(number);
    return true;
}

bool check_keys(const QJsonObject& object, std::initializer_list<const char*> allowed, const std::string& where,
                std::string* error)
{
    for (auto it = object.begin(); it != object.end(); ++it)
    {
        bool known = false;
        for (const char* key : allowed)
            known = known || it.key() == QLatin1String(key);
        if (!known)
            return fail(where, "unknown key \"" + it.key().toStdString() + "\"", error);
    }
    return true;
}

bool fail(const std::string& where, const std::string& what, std::string* error)
{
    if (error != nullptr)
        *error = where + ": " + what;
    return false;
}
} // namespace standin::fixture
