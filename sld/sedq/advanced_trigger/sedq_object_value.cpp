// SEDQ_OBJECT: the value of a Bus Value object, as the user typed it (with its radix mark) or
// converted for the equation: looked up in a mnemonic table, parsed in its radix and checked
// against the width of the port it feeds.
//
// Values are unsigned 64-bit numbers; only a decimal text under a signed Comparison may be
// negative, as a signed 64-bit number. A text that does not fit 64 bits is no bus value at all
// (error 17), so the width check never meets a number wider than 64 bits.
#include "sedq/advanced_trigger/sedq_object.h"

#include "host/sdr/sdr_data_mnemonics.h"

namespace
{
// A parsed value: its magnitude, and whether it is negative (signed decimal only).
struct PARSED_VALUE
{
    unsigned long long magnitude = 0;
    bool negative = false;
};

int digit_value(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Digits of the base only, at least one, and no more than 64 bits.
bool parse_digits(const QString& text, int base, unsigned long long* value)
{
    if (text.isEmpty())
        return false;
    unsigned long long v = 0;
    for (const QChar c : text)
    {
        const int digit = digit_value(c);
        if (digit < 0 || digit >= base)
            return false;
        if (v > (~0ull - digit) / base)
            return false;
        v = v * base + digit;
    }
    *value = v;
    return true;
}

// Letters, digits, underscore, the blank and the printable ASCII punctuation; each character
// one byte, the first the most significant.
bool parse_ascii(const QString& text, unsigned long long* value)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    unsigned long long v = 0;
    for (const QChar c : text)
    {
        const ushort u = c.unicode();
        if (u < 0x20 || u > 0x7e)
            return false;
        v = (v << 8) | u;
    }
    *value = v;
    return true;
}

bool parse_value(const QString& text, int radix, bool signed_context, PARSED_VALUE* parsed)
{
    switch (radix)
    {
    case SEDQ_OBJECT::FORMAT_HEXADECIMAL:
        return parse_digits(text, 16, &parsed->magnitude);
    case SEDQ_OBJECT::FORMAT_OCTAL:
        return parse_digits(text, 8, &parsed->magnitude);
    case SEDQ_OBJECT::FORMAT_BINARY:
        return parse_digits(text, 2, &parsed->magnitude);
    case SEDQ_OBJECT::FORMAT_ASCII:
        return parse_ascii(text, &parsed->magnitude);
    case SEDQ_OBJECT::FORMAT_DECIMAL:
        break;
    default:
        return false;
    }
    if (!signed_context || !text.startsWith(QLatin1Char('-')))
        return parse_digits(text, 10, &parsed->magnitude);
    // A signed 64-bit number reaches down to -2^63.
    if (!parse_digits(text.mid(1), 10, &parsed->magnitude) || parsed->magnitude > (1ull << 63))
        return false;
    parsed->negative = parsed->magnitude != 0;
    return true;
}

// A negative value may reach -2^(width-1); any other value must leave the bits above the width
// clear, and under a signed comparison the sign bit too.
bool fits_width(const PARSED_VALUE& value, int width, bool signed_context)
{
    if (value.negative)
        return width >= 64 || (width >= 1 && value.magnitude <= (1ull << (width - 1)));
    const int bits = signed_context ? width - 1 : width;
    if (bits >= 64)
        return true;
    if (bits <= 0)
        return value.magnitude == 0;
    return (value.magnitude >> bits) == 0;
}

QString radix_marked(const QString& text, int radix)
{
    switch (radix)
    {
    case SEDQ_OBJECT::FORMAT_HEXADECIMAL:
        return text + QLatin1Char('h');
    case SEDQ_OBJECT::FORMAT_OCTAL:
        return text + QLatin1Char('o');
    case SEDQ_OBJECT::FORMAT_BINARY:
        return text + QLatin1Char('b');
    case SEDQ_OBJECT::FORMAT_ASCII:
        return QLatin1Char('"') + text + QLatin1Char('"');
    default:
        return text;
    }
}
} // namespace

QString SEDQ_OBJECT::get_bus_value(int width, const SDR_DATA_MNEMONICS* mnemonics, SEDQ_ERROR_TYPE* error,
                                   SEDQ_OBJECT** error_object) const
{
    QString text;
    m_property.get_setting_text(SEDQ_PROPERTY::BUS_VALUE, &text, SEDQ_PROPERTY::BY_CONTEXT);
    if (text.isEmpty())
        return QString();
    const QString& table_name = m_property[SEDQ_PROPERTY::MNEMONIC_TABLE];
    const int radix = m_property[SEDQ_PROPERTY::DISPLAY_FORMAT];
    if (width < 0)
        return table_name.isEmpty() ? radix_marked(text, radix) : text;
    if (mnemonics != nullptr && !table_name.isEmpty())
    {
        const SDR_DATA_MNEMONICS_TABLE* table = mnemonics->find_table(table_name.toLocal8Bit().constData());
        if (table == nullptr)
        {
            report_error(ERROR_INVALID_MNEMONIC_TABLE, error, error_object);
            return QString();
        }
        const char* value = table->get_value(text.toLocal8Bit().constData());
        if (value == nullptr || *value == '\0')
        {
            report_error(ERROR_INVALID_MNEMONIC_SYMBOL, error, error_object);
            return QString();
        }
        text = QString::fromLatin1(value);
    }
    const bool signed_context = m_parent != nullptr && m_parent->is_signed_comparison();
    PARSED_VALUE parsed;
    if (!parse_value(text, radix, signed_context, &parsed))
    {
        report_error(ERROR_INVALID_BUS_VALUE, error, error_object);
        return QString();
    }
    if (!fits_width(parsed, width, signed_context))
    {
        report_error(ERROR_VALUE_OVER_WIDTH, error, error_object);
        return QString();
    }
    const QString digits = QString::number(parsed.magnitude);
    return parsed.negative ? QLatin1Char('-') + digits : digits;
}
