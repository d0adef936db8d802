#pragma once
// Host string and path utilities and the host's mode flags.

#include <string>

// True when the host runs as the netlist hierarchy browser (off in the analyzer's host).
bool gen_is_qhd();
// True when the host runs with its Qt interface.
bool gen_get_is_qt();

// Case-insensitive ASCII comparison with strcmp's sign convention; null sorts first.
int gen_stricmp(const char* a, const char* b);
// atoi semantics without undefined behaviour: leading blanks, optional sign, digits;
// non-numeric or null gives 0, values beyond int saturate.
int gen_atoi(const char* text);
// Reverses the string in place and returns it (null stays null).
char* gen_strrev(char* text);

// The project's database directory and the host's module (plug-in) directory, each with a
// trailing "/".
std::string gen_get_db_dir_path_string();
std::string gen_get_module_path();

// A set of bits held in one integer.
template <class T> class GEN_BITSET
{
public:
    GEN_BITSET(T bits = 0) : m_bits(bits) {}
    void set(T bits) { m_bits |= bits; }
    bool test(T bits) const { return (m_bits & bits) != 0; }
    GEN_BITSET operator|(const GEN_BITSET& other) const { return GEN_BITSET(m_bits | other.m_bits); }
    T value() const { return m_bits; }

private:
    T m_bits;
};

// A set of flags of enum E stored as T.
template <class E, class T> class GEN_ENUM_FLAG
{
public:
    GEN_ENUM_FLAG(T bits = 0) : m_bits(bits) {}
    void set(E flag) { m_bits |= static_cast<T>(flag); }
    bool test(E flag) const { return (m_bits & static_cast<T>(flag)) != 0; }
    GEN_ENUM_FLAG operator|(E flag) const { return GEN_ENUM_FLAG(m_bits | static_cast<T>(flag)); }
    T value() const { return m_bits; }

private:
    T m_bits;
};
