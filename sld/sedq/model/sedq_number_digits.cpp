// Decimal digit-string arithmetic: small helpers on NUL-terminated strings of digits.
#include "sedq/model/sedq_number.h"

#include "sedq/model/sedq_verify.h"

#include <cstring>

namespace
{
// Row k holds 2^k least significant digit first; 2^4095 has 1,233 digits.
constexpr int POWER_ROW_SIZE = 1235;
char s_table[SEDQ_NUMBER::MAX_BUS_WIDTH][POWER_ROW_SIZE];
int s_max = -1;
} // namespace

void increment_buffer(char* digits, int base)
{
    for (; *digits; ++digits)
    {
        int next = *digits - '0' + 1;
        if (next < base)
        {
            *digits = char('0' + next);
            return;
        }
        *digits = '0';
    }
    digits[0] = '1';
    digits[1] = '\0';
}

void double_buffer(char* digits, bool carry)
{
    int incoming = carry ? 1 : 0;
    for (; *digits; ++digits)
    {
        int twice = 2 * (*digits - '0') + incoming;
        *digits = char('0' + twice % 10);
        incoming = twice / 10;
    }
    if (incoming)
    {
        digits[0] = '1';
        digits[1] = '\0';
    }
}

bool halve_buffer(char* digits, bool carry, bool leading)
{
    int remainder = carry ? 1 : 0;
    char* out = digits;
    for (char const* in = digits; *in; ++in)
    {
        int digit = *in - '0';
        int half = digit / 2 + 5 * remainder;
        remainder = digit % 2;
        if (leading && half == 0)
            continue;
        leading = false;
        *out++ = char('0' + half);
    }
    *out = '\0';
    return remainder != 0;
}

void add_buffer(char* sum, char const* addend)
{
    int carry = 0;
    for (; *addend || carry; ++sum)
    {
        int total = carry + (*addend ? *addend++ - '0' : 0);
        if (*sum)
            total += *sum - '0';
        else
            sum[1] = '\0';
        *sum = char('0' + total % 10);
        carry = total / 10;
    }
}

char const* power_buffer(int k)
{
    if (!SEDQ_VERIFY(k >= 0 && k < SEDQ_NUMBER::MAX_BUS_WIDTH))
        return "";
    if (s_max < 0)
    {
        std::strcpy(s_table[0], "1");
        s_max = 0;
    }
    for (; s_max < k; ++s_max)
    {
        std::memcpy(s_table[s_max + 1], s_table[s_max], POWER_ROW_SIZE);
        double_buffer(s_table[s_max + 1], false);
    }
    return s_table[k];
}
