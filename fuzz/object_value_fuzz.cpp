// Fuzzes the bus value of an advanced trigger object: any text, radix, width, signedness and
// mnemonic table. The result must equal what a plain reference parse (digit by digit in
// 128-bit arithmetic) gives; a value comes back only when it fits the width, and every error
// is one the conversion may raise.
//
// Input: byte 0 the radix (0..5, 5 being no radix at all), byte 1 the width less 8, byte 2
// flags (bit 0: under a signed Comparison, bit 1: a mnemonic table is named, bit 2: the
// document has that table); the rest is the value text, then after a NUL the table entry's
// pattern for the symbol.
#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <string>

namespace
{
using ERROR = SEDQ_OBJECT::SEDQ_ERROR_TYPE;
constexpr unsigned __int128 LIMIT_64 = (unsigned __int128)1 << 64;

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

struct EXPECTED
{
    std::string text;
    ERROR error = SEDQ_OBJECT::ERROR_NONE;
};

// Digits of the base, accumulated without a bound and compared with 2^64 at the end.
bool reference_digits(const std::string& text, int base, unsigned __int128* value)
{
    if (text.empty())
        return false;
    unsigned __int128 v = 0;
    for (char c : text)
    {
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
        if (d >= base)
            return false;
        v = v * base + d;
        if (v >= LIMIT_64)
            return false;
    }
    *value = v;
    return true;
}

EXPECTED reference(const std::string& text, int radix, int width, bool under_signed)
{
    static const int bases[] = {16, 10, 8, 2};
    unsigned __int128 magnitude = 0;
    bool negative = false;
    bool ok = false;
    if (radix == SEDQ_OBJECT::FORMAT_ASCII)
    {
        ok = !text.empty() && text.size() <= 8;
        for (unsigned char c : text)
        {
            ok = ok && c >= 0x20 && c <= 0x7e;
            magnitude = magnitude * 256 + c;
        }
    }
    else if (radix == SEDQ_OBJECT::FORMAT_DECIMAL && under_signed && !text.empty() && text[0] == '-')
    {
        ok = reference_digits(text.substr(1), 10, &magnitude) && magnitude <= ((unsigned __int128)1 << 63);
        negative = magnitude != 0;
    }
    else if (radix >= 0 && radix < 4)
    {
        ok = reference_digits(text, bases[radix], &magnitude);
    }
    if (!ok)
        return {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE};
    // A negative value reaches down to -2^(width-1) (nothing at width 0); any other value stays
    // below 2^width, or below 2^(width-1) under a signed comparison (only 0 at width 0).
    const int bits = negative || under_signed ? width - 1 : width;
    const unsigned __int128 room = bits >= 64 ? LIMIT_64 : bits < 0 ? 0 : (unsigned __int128)1 << bits;
    const bool fits = negative ? magnitude <= room : magnitude < std::max<unsigned __int128>(room, 1);
    if (!fits)
        return {"", SEDQ_OBJECT::ERROR_VALUE_OVER_WIDTH};
    std::string digits;
    do
    {
        digits.insert(digits.begin(), char('0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    return {negative ? "-" + digits : digits, SEDQ_OBJECT::ERROR_NONE};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const int radix = data[0] % 6;
    const int width = int(data[1]) - 8;
    const bool under_signed = data[2] & 1;
    const bool named_table = data[2] & 2;
    const bool has_table = data[2] & 4;
    const std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
    const size_t nul = rest.find('\0');
    const std::string text = rest.substr(0, nul);
    const std::string pattern = nul == std::string::npos ? std::string() : rest.substr(nul + 1);

    SEDQ_TRIGGER_OBJECT condition;
    auto* compare =
        static_cast<SEDQ_OBJECT*>(condition.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    compare->set_type(SEDQ_OBJECT::COMPARISON_OPERATOR);
    compare->set_signed_comparison_type(under_signed ? SEDQ_OBJECT::SIGNED_COMPARISON
                                                     : SEDQ_OBJECT::UNSIGNED_COMPARISON);
    auto* value =
        static_cast<SEDQ_OBJECT*>(compare->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
    value->set_type(SEDQ_OBJECT::BUS_VALUE);
    const QString typed = QString::fromLatin1(text.data(), int(text.size()));
    value->get_property().set(SEDQ_PROPERTY::BUS_VALUE, typed);
    value->get_property().set(SEDQ_PROPERTY::DISPLAY_FORMAT, radix);
    if (named_table)
        value->get_property().set(SEDQ_PROPERTY::MNEMONIC_TABLE, QStringLiteral("t"));
    SDR_DATA_MNEMONICS mnemonics;
    if (has_table && !pattern.empty())
        if (SDR_DATA_MNEMONICS_TABLE* table = mnemonics.create_table("t", int(pattern.size())))
            table->add_entry(typed.toLocal8Bit().constData(), pattern.c_str());

    SEDQ_OBJECT::SEDQ_ERROR_TYPE error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* culprit = nullptr;
    const QString got = value->get_bus_value(width, &mnemonics, &error, &culprit);
    check(error != SEDQ_OBJECT::ERROR_VALUE_OVER_64_BITS);
    check((error == SEDQ_OBJECT::ERROR_NONE) == (culprit == nullptr));
    check(error == SEDQ_OBJECT::ERROR_NONE || got.isEmpty());
    if (text.empty())
    {
        check(got.isEmpty() && error == SEDQ_OBJECT::ERROR_NONE);
        return 0;
    }
    if (width < 0)
    {
        static const char* const marks[] = {"h", "", "o", "b", "", ""};
        const QString shown = named_table  ? typed
                              : radix == 4 ? QLatin1Char('"') + typed + QLatin1Char('"')
                                           : typed + QLatin1String(marks[radix]);
        check(error == SEDQ_OBJECT::ERROR_NONE && got == shown);
        return 0;
    }
    EXPECTED expected;
    if (named_table)
    {
        const bool found = has_table && !pattern.empty() && mnemonics.find_table("t") != nullptr;
        const char* entry =
            found ? mnemonics.find_table("t")->get_value(typed.toLocal8Bit().constData()) : nullptr;
        if (!found)
            expected = {"", SEDQ_OBJECT::ERROR_INVALID_MNEMONIC_TABLE};
        else if (entry == nullptr || *entry == '\0')
            expected = {"", SEDQ_OBJECT::ERROR_INVALID_MNEMONIC_SYMBOL};
        else
            expected = reference(entry, radix, width, under_signed);
    }
    else
    {
        expected = reference(typed.toLatin1().toStdString(), radix, width, under_signed);
    }
    check(got.toStdString() == expected.text);
    check(error == expected.error);
    return 0;
}
