#pragma once
// A bus value: a non-owning view of up to MAX_BUS_WIDTH bit symbols, one sample of a SEDQ_BUS,
// one sample of a SEDQ_PACKED_BUS or a caller's text, with its conversions to and from display
// text in every radix.
// Every conversion writes the one shared result buffer and returns it; the text stays valid
// until the next conversion of any number, so callers copy it before converting again.

#include "host/sdr.h"

#include <cstdint>

class QString;
class SEDQ_BUS;
class SEDQ_PACKED_BUS;
class SEDQ_TX_MANAGER;

class SEDQ_NUMBER
{
public:
    enum
    {
        MAX_BUS_WIDTH = 4096,
        // The longest result: a MAX_BUS_WIDTH binary text, its suffix letter and the terminator.
        BUFFER_SIZE = MAX_BUS_WIDTH + 2
    };

    SEDQ_NUMBER(SEDQ_BUS const& bus, int sample);
    // The sample must lie in the packed range; a number of no bits otherwise (reported).
    SEDQ_NUMBER(SEDQ_PACKED_BUS const& packed, int sample);
    explicit SEDQ_NUMBER(QString const& text);
    SEDQ_NUMBER(SEDQ_NUMBER const& other) = default;
    SEDQ_NUMBER& operator=(SEDQ_NUMBER const& other);
    virtual ~SEDQ_NUMBER();

    // Two samples of the same bus (both of its rows or both of one packed copy).
    bool operator==(SEDQ_NUMBER const& sedq_number) const;
    bool operator!=(SEDQ_NUMBER const& sedq_number) const { return !(*this == sedq_number); }

    int get_width() const { return m_width; }
    bool is_lsb_to_msb() const { return m_lsb_to_msb; }
    void set_lsb_to_msb(bool lsb_to_msb) { m_lsb_to_msb = lsb_to_msb; }

    // The low 32 bits of the value read with index 0 as the most significant bit, whatever the
    // bit order; only the symbol "1" counts as a one.
    unsigned int get_uint_value() const;
    unsigned int get_value() const { return get_uint_value(); }
    unsigned int get_unsigned_value() const { return get_uint_value(); }
    int get_int_value() const;
    int get_twos_value() const;
    int get_signed_value() const { return get_twos_value(); }

    // Display text in a radix, without suffix or quotes; the int argument is not read.
    char const* get_display_string(SDR_DATA_GROUP_DISPLAY_TYPE radix, int width, bool lsb_to_msb);

    char const* bin_to_string(bool suffix, int width);
    char const* uint_to_string();
    char const* int_to_string();
    char const* twos_to_string();
    char const* hex_to_string(bool suffix);
    char const* octal_to_string(bool suffix);
    char const* ascii_to_string(bool quoted);
    char const* float_to_string();

    // Typed text (text form) to bit symbols, most significant first. Results longer than
    // MAX_BUS_WIDTH keep their MAX_BUS_WIDTH least significant symbols.
    char const* string_to_uint();
    char const* string_to_int(int width);
    char const* string_to_twos(int width);
    char const* string_to_hex();
    char const* string_to_octal();
    char const* string_to_ascii();
    char const* string_to_float();
    char const* string_to_double();

    // Typed text to exactly width bit symbols (width capped at MAX_BUS_WIDTH).
    char const* get_trigger_string(SDR_DATA_GROUP_DISPLAY_TYPE radix, int width, bool lsb_to_msb);
    // The number of bit symbols the typed text needs in the radix (not capped).
    int get_trigger_string_width(SDR_DATA_GROUP_DISPLAY_TYPE radix) const;

    // The characters a typed value of the radix may hold, for the editors' input filters
    // (every printable ASCII character for the symbolic and ASCII radixes; empty for a radix
    // that takes no typed value).
    static QString get_valid_characters(SDR_DATA_GROUP_DISPLAY_TYPE radix);

    // ---- a node's value ------------------------------------------------------------------
    // The value in hexadecimal with its suffix, in the bit order of bus row `node`.
    char const* get_string(SEDQ_TX_MANAGER* sedq_tx_manager, int node);
    // The text the node list shows for bus row `node`: in the node's radix (or binary unless
    // `use_radix`), through its decoder plug-in's symbol at `level` (not -1) or its mnemonic
    // table; `suffix` adds the radix letter or the quotes. `text` (may be null) receives the
    // start of the text, past the leading zeros when the user hides them; `valid` (may be
    // null) the characters a value of the node's own radix may hold. True when the text is a
    // symbol.
    bool get_string(SEDQ_TX_MANAGER* sedq_tx_manager, int node, char const** text, bool use_radix, bool suffix,
                    QString* valid, int level);
    // Applies this number's text, typed for bus row `node` of the instance's trigger, as one
    // trigger condition per member bit at `level`. True when a member's condition was set.
    bool set_string(SEDQ_TX_MANAGER* sedq_tx_manager, int node, int level, int instance);

    // Whether index i holds a one (bus byte non-zero, or the text symbol "1").
    bool is_one(int index) const;

private:
    static char s_buffer[BUFFER_SIZE];

    // The value with bit k of weight 2^k, and beside it the capital "X" symbols in the same
    // order (may be null). Both arrays hold MAX_BUS_WIDTH / 64 + 1 limbs; the limbs of the
    // width and the one above are written, with every bit past m_width 0. A bus sample is
    // gathered straight into weight order; a text is gathered by index, then reordered.
    void gather_bits(uint64_t* ones, uint64_t* capital_x) const;
    void gather_text_bits(uint64_t* ones, uint64_t* capital_x) const;

    // The byte of bus row `index` at the sample (bus form, 0 <= index < m_width).
    unsigned char byte_at(int index) const;
    // Whether the number is a sample (bus rows or packed), which holds only zeros and ones.
    bool is_sample() const { return m_data != nullptr || m_packed != nullptr; }
    void gather_packed_bits(uint64_t* ones) const;
    // The text's UTF-16 units (null in bus form); m_width of them are used.
    unsigned short const* text_units() const;

    char const* decimal_to_string(uint64_t* ones, bool negative);
    char const* groups_to_string(int group_bits, char suffix);
    char const* parse_by_radix(SDR_DATA_GROUP_DISPLAY_TYPE radix, int width);
    char const* string_to_signed(int width, bool twos);
    char const* string_to_digits(int digit_bits);
    char const* float_pattern_to_symbols(uint64_t pattern, int bits);
    char const* copy_binary_text();
    // The node's decoder symbol at `level` or its mnemonic symbol, copied into the result
    // buffer; false when it has none.
    bool find_node_symbol(SEDQ_TX_MANAGER* sedq_tx_manager, int node, int level);
    char const* node_text(int radix, bool suffix);

    int m_width = 0;
    int m_sample = 0;
    bool* const* m_data = nullptr;
    // Packed form: the sample's bytes, in the weight order of m_packed_lsb_to_msb.
    unsigned char const* m_packed = nullptr;
    bool m_packed_lsb_to_msb = false;
    QString const* m_text = nullptr;
    bool m_lsb_to_msb = false;
};

// Decimal digit-string arithmetic on NUL-terminated strings of "0" to "9". All but
// halve_buffer keep the least significant digit first; callers provide room for growth.
void increment_buffer(char* digits, int base);
void double_buffer(char* digits, bool carry);
bool halve_buffer(char* digits, bool carry, bool leading);
void add_buffer(char* sum, char const* addend);
// 2 to the power k (0 <= k < MAX_BUS_WIDTH) as a least-significant-first digit string.
char const* power_buffer(int k);
