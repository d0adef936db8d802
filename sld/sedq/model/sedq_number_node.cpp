// SEDQ_NUMBER: a node's value as the node list shows it (radix, decoder symbol, mnemonic,
// leading zeros) and a value typed for a bus turned into one trigger condition per member bit.
#include "sedq/model/sedq_number.h"

#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace
{
bool is_symbolic(int radix)
{
    return radix == SDR_GTYPE_MNEMONICS || radix == SDR_GTYPE_PLUGIN;
}

// Whether the text holds any of the capital `letters`, in either case.
bool holds_any(const QString& text, const char* letters)
{
    for (const QChar c : text)
        if (c.unicode() < 0x80 && std::strchr(letters, c.toUpper().toLatin1()) != nullptr)
            return true;
    return false;
}

bool holds_only(const QString& text, const char* letters)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80 || c == QLatin1Char('\0') || std::strchr(letters, c.toUpper().toLatin1()) == nullptr)
            return false;
    return true;
}

const char* const BIT_SYMBOLS = "01XLFRHE";

// The trigger condition a bit symbol stands for (the text holds bit symbols only).
SDR_DATA_TRIGGER_CONDITION condition_of(QChar symbol)
{
    switch (symbol.toUpper().toLatin1())
    {
    case '1':
    case 'H': return SDR_CTYPE_HIGH;
    case '0':
    case 'L': return SDR_CTYPE_LOW;
    case 'R': return SDR_CTYPE_RISING;
    case 'F': return SDR_CTYPE_FALLING;
    case 'E': return SDR_CTYPE_EITHER_EDGE;
    default: return SDR_CTYPE_DONT_CARE;
    }
}

// The number of symbols from the first "1" on: the width the value needs.
int significant_length(const char* bits)
{
    const char* one = std::strchr(bits, '1');
    return one != nullptr ? int(std::strlen(one)) : 0;
}

// Where the text starts when leading zeros are hidden: at its first significant character if
// at least one digit (and the suffix) remain from there, else at its last digit.
const char* past_leading_zeros(const char* text, bool suffix)
{
    const int minimum = suffix ? 2 : 1;
    const int length = int(std::strlen(text));
    if (length <= minimum)
        return text;
    const char* first = std::strpbrk(text, "123456789ABCDEFabcdefXLRHxlrh");
    if (first != nullptr && int(std::strlen(first)) >= minimum)
        return first;
    return text + length - minimum;
}

// Bit symbols of a typed value, read in the group's radix (or as bits the radix gave).
struct TYPED_BITS
{
    QString bits;
    bool parsed = false;
    bool read_as_binary = false; // the radix gave way to bit symbols: pad with don't-cares
    bool plugin_symbol = false;  // the decoder mapped the text: keep it as the level's symbol
};

// The bit symbols of a mnemonic table's symbol typed for a bus; empty when the bus has no
// table with entries or the table has no such symbol.
QString mnemonic_bits(SEDQ_TX_MANAGER* tx, int node, int instance, const QString& typed)
{
    QString name;
    tx->get_node_mnemonics_table_name(node, &name, tx->get_trigger_nodes(instance));
    const SDR_TX_SESSION* session = tx->get_tx_session();
    const SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    const SDR_DATA_MNEMONICS_TABLE* table =
        data != nullptr && !name.isEmpty() ? data->get_mnemonics()->find_table(name.toLocal8Bit().constData()) : nullptr;
    const char* value = table != nullptr && table->get_num_entries() > 0 ? table->get_value(typed.toLocal8Bit().constData())
                                                                         : nullptr;
    return QString::fromLatin1(value != nullptr ? value : "");
}

const char* parse_in_radix(SEDQ_NUMBER& number, int radix, int width)
{
    switch (radix)
    {
    case SDR_GTYPE_TWOS_COMPLEMENT:
    case SDR_GTYPE_CHART_10:
    case SDR_GTYPE_CHART_11: return number.string_to_twos(width);
    case SDR_GTYPE_SIGNED_MAGNITUDE: return number.string_to_int(width);
    case SDR_GTYPE_UNSIGNED:
    case SDR_GTYPE_CHART_8:
    case SDR_GTYPE_CHART_9: return number.string_to_uint();
    case SDR_GTYPE_HEX: return number.string_to_hex();
    case SDR_GTYPE_OCTAL: return number.string_to_octal();
    case SDR_GTYPE_ASCII: return number.string_to_ascii();
    case SDR_GTYPE_FLOAT: return number.string_to_float();
    case SDR_GTYPE_DOUBLE: return number.string_to_double();
    default: return nullptr;
    }
}

// Which bit symbols a radix cannot show, so that a text holding one is read as bit symbols.
const char* foreign_symbols(int radix)
{
    switch (radix)
    {
    case SDR_GTYPE_TWOS_COMPLEMENT:
    case SDR_GTYPE_SIGNED_MAGNITUDE:
    case SDR_GTYPE_UNSIGNED:
    case SDR_GTYPE_CHART_8:
    case SDR_GTYPE_CHART_9:
    case SDR_GTYPE_CHART_10:
    case SDR_GTYPE_CHART_11: return "XLFRHE";
    case SDR_GTYPE_FLOAT:
    case SDR_GTYPE_DOUBLE: return "XLFRH";
    case SDR_GTYPE_OCTAL: return "LFRHE";
    case SDR_GTYPE_HEX: return "LRH";
    default: return "";
    }
}

// The radix decides how the text is read. Symbols go through the bus's mnemonic table or its
// decoder; a text holding bit symbols the radix cannot show is read as bit symbols, and so is
// a hexadecimal text of 0, 1, F and E whose value would not fit the bus ("E" on two bits is an
// either edge, not 1110).
TYPED_BITS typed_bits(SEDQ_NUMBER& number, const QString& typed, SEDQ_TX_MANAGER* tx, int node, int level,
                      int instance, int radix)
{
    TYPED_BITS value;
    const int group_radix = radix;
    const int width = tx->get_child_item_count(node, instance);
    if (radix == SDR_GTYPE_MNEMONICS)
    {
        value.bits = mnemonic_bits(tx, node, instance, typed);
        radix = value.bits.isEmpty() ? SDR_GTYPE_HEX : SDR_GTYPE_BINARY;
    }
    else if (radix == SDR_GTYPE_PLUGIN)
    {
        const bool mapped = tx->get_plugin_trigger(&value.bits, typed.toLocal8Bit().constData(), node, instance) &&
                            !value.bits.isEmpty();
        value.plugin_symbol = mapped;
        if (!mapped)
        {
            value.bits.clear();
            tx->set_plugin_trigger_condition_symbol(QString(), node, level, instance);
        }
        radix = mapped ? SDR_GTYPE_BINARY : SDR_GTYPE_HEX;
    }
    else if (holds_any(typed, foreign_symbols(radix)) ||
             (radix == SDR_GTYPE_HEX && holds_only(typed, "01FE") && significant_length(number.string_to_hex()) > width))
        radix = SDR_GTYPE_BINARY;
    value.read_as_binary = radix == SDR_GTYPE_BINARY && group_radix != SDR_GTYPE_BINARY;
    if (radix == SDR_GTYPE_BINARY)
    {
        if (value.bits.isEmpty())
            value.bits = typed;
        value.parsed = holds_only(value.bits, BIT_SYMBOLS);
        return value;
    }
    const char* bits = parse_in_radix(number, radix, width);
    value.parsed = bits != nullptr;
    value.bits = QString::fromLatin1(bits != nullptr ? bits : "");
    return value;
}

// Gives each leaf member of the bus the condition of its bit, most significant first (least
// significant first in that bit order); a nested bus row takes no bit, members past the bits
// get "Low".
bool apply_bits(SEDQ_TX_MANAGER* sedq_tx_manager, int nItem, int level, int instance, const TYPED_BITS& value)
{
    const SDR_TX_TRIGGER* nodes = sedq_tx_manager->get_trigger_nodes(instance);
    if (nodes == nullptr)
        return false;
    const int members = nodes->get_num_leaf_children(nItem);
    bool lsb_to_msb = false;
    SEDQ_VERIFY(sedq_tx_manager->get_node_lsb_to_msb(nItem, &lsb_to_msb, instance));
    QString bits = value.bits;
    if (lsb_to_msb)
        std::reverse(bits.begin(), bits.end());
    if (bits.size() > members)
        bits = lsb_to_msb ? bits.left(members) : bits.right(members);
    const QString padding(members - bits.size(),
                          value.read_as_binary || holds_any(bits, "XLFRHE") ? QLatin1Char('X') : QLatin1Char('0'));
    bits = lsb_to_msb ? bits + padding : padding + bits;
    bool set = false;
    int next = 0;
    const int last = nodes->get_last_child_index(nItem);
    for (int row = nItem + 1; row <= last; ++row)
    {
        if (nodes->has_children(row))
            continue;
        const SDR_DATA_TRIGGER_CONDITION condition = next < bits.size() ? condition_of(bits.at(next++)) : SDR_CTYPE_LOW;
        set = sedq_tx_manager->set_trigger(row, level, condition, instance) || set;
    }
    return set;
}
} // namespace

// ---- display ---------------------------------------------------------------------------------

char const* SEDQ_NUMBER::get_string(SEDQ_TX_MANAGER* sedq_tx_manager, int nItem)
{
    SEDQ_VERIFY(sedq_tx_manager->get_node_lsb_to_msb(nItem, &this->m_lsb_to_msb));
    return hex_to_string(true);
}

bool SEDQ_NUMBER::find_node_symbol(SEDQ_TX_MANAGER* sedq_tx_manager, int node, int level)
{
    QString symbol;
    if (level != -1)
        sedq_tx_manager->get_plugin_trigger_condition_symbol(&symbol, node, level, SEDQ_CURRENT);
    bool named = !symbol.isEmpty();
    int width = 0;
    if (!named && sedq_tx_manager->get_node_mnemonics_width(node, &width))
    {
        // An entry that names the value with nothing (a decoder's empty answer) shows nothing.
        const QString bits = QString::fromLatin1(bin_to_string(false, width));
        symbol = QString();
        sedq_tx_manager->get_node_mnemonics_symbol(node, bits, &symbol, nullptr);
        named = !symbol.isNull();
    }
    if (!named)
        return false;
    // At most the buffer's symbols, never cutting a character of the local encoding in two.
    const QByteArray text = symbol.toLocal8Bit();
    int length = std::min(int(text.size()), int(MAX_BUS_WIDTH));
    while (length > 0 && length < text.size() && (static_cast<unsigned char>(text.at(length)) & 0xC0) == 0x80)
        --length;
    std::memcpy(s_buffer, text.constData(), size_t(length));
    s_buffer[length] = '\0';
    return true;
}

char const* SEDQ_NUMBER::node_text(int radix, bool suffix)
{
    switch (radix)
    {
    case SDR_GTYPE_MNEMONICS:
    case SDR_GTYPE_PLUGIN: return s_buffer; // the symbol find_node_symbol left there
    case SDR_GTYPE_BINARY: return bin_to_string(suffix, -1);
    case SDR_GTYPE_TWOS_COMPLEMENT:
    case SDR_GTYPE_CHART_10:
    case SDR_GTYPE_CHART_11: return twos_to_string();
    case SDR_GTYPE_SIGNED_MAGNITUDE: return int_to_string();
    case SDR_GTYPE_HEX: return hex_to_string(suffix);
    case SDR_GTYPE_OCTAL: return octal_to_string(suffix);
    case SDR_GTYPE_ASCII: return ascii_to_string(suffix);
    case SDR_GTYPE_FLOAT:
    case SDR_GTYPE_DOUBLE: return float_to_string();
    default: return uint_to_string();
    }
}

bool SEDQ_NUMBER::get_string(SEDQ_TX_MANAGER* sedq_tx_manager, int nItem, char const** text, bool use_radix,
                             bool suffix, QString* valid, int level)
{
    SEDQ_VERIFY(sedq_tx_manager->get_node_lsb_to_msb(nItem, &this->m_lsb_to_msb));
    SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
    SEDQ_VERIFY(sedq_tx_manager->get_node_group_display_type(nItem, &display_type));
    int radix = display_type;
    if (!use_radix && !is_symbolic(radix))
        radix = SDR_GTYPE_BINARY;
    if (valid != nullptr)
    {
        SDR_DATA_GROUP_DISPLAY_TYPE real_display_type = SDR_GTYPE_INVALID;
        SEDQ_VERIFY(sedq_tx_manager->get_node_group_display_type(nItem, &real_display_type));
        *valid = get_valid_characters(real_display_type);
    }
    if (is_symbolic(radix) && !find_node_symbol(sedq_tx_manager, nItem, level))
        radix = use_radix ? SDR_GTYPE_HEX : SDR_GTYPE_BINARY;
    const char* result = node_text(radix, suffix);
    if (text != nullptr)
    {
        const bool digits = radix == SDR_GTYPE_BINARY || radix == SDR_GTYPE_HEX || radix == SDR_GTYPE_OCTAL;
        *text = digits && !SEDQ_TX_MANAGER::m_cfg_show_leading_zeroes ? past_leading_zeros(result, suffix) : result;
    }
    return is_symbolic(radix);
}

// ---- typed values ----------------------------------------------------------------------------

bool SEDQ_NUMBER::set_string(SEDQ_TX_MANAGER* sedq_tx_manager, int nItem, int nLevel, int nInstanceIndex)
{
    SDR_DATA_GROUP_DISPLAY_TYPE display_type = SDR_GTYPE_INVALID;
    SEDQ_VERIFY(sedq_tx_manager->get_node_group_display_type(nItem, &display_type, nInstanceIndex));
    const QString typed = m_text != nullptr ? m_text->left(m_width) : QString();
    if (typed.isEmpty())
    {
        if (display_type == SDR_GTYPE_PLUGIN)
            sedq_tx_manager->set_plugin_trigger_condition_symbol(QString(), nItem, nLevel, nInstanceIndex);
        return false;
    }
    const TYPED_BITS value = typed_bits(*this, typed, sedq_tx_manager, nItem, nLevel, nInstanceIndex, display_type);
    if (!value.parsed)
        return false;
    const bool set = apply_bits(sedq_tx_manager, nItem, nLevel, nInstanceIndex, value);
    if (value.plugin_symbol)
        sedq_tx_manager->set_plugin_trigger_condition_symbol(typed, nItem, nLevel, nInstanceIndex);
    return set;
}
