#pragma once
// Readers shared by the project-fixture loaders of the stand-ins: numbers and flag words with
// range checks, and the check that an object holds only keys the format knows. Every failure
// names where it happened, so a fixture author finds the entry at fault.

#include <QJsonObject>
#include <QJsonValue>

#include <initializer_list>
#include <string>

namespace standin::fixture
{
// A flag word: a JSON number or a text in C notation ("0x80000040", "64").
bool read_flags(const QJsonValue& value, unsigned* out);
// An integral JSON number within [minimum, maximum].
bool read_int(const QJsonValue& value, int minimum, int maximum, int* out);
// False, with "<where>: unknown key "<key>"", for a key outside `allowed`.
bool check_keys(const QJsonObject& object, std::initializer_list<const char*> allowed, const std::string& where,
                std::string* error);
// Sets `error` to "<where>: <what>" and returns false.
bool fail(const std::string& where, const std::string& what, std::string* error);
} // namespace standin::fixture
