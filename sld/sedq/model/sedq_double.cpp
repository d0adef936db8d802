// SEDQ_DOUBLE: an exact fraction scaled by whole factors.
#include "sedq/model/sedq_double.h"

#include "sedq/model/sedq_verify.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace
{
// The double truncated to int; values outside int saturate and NaN gives 0, where a plain
// conversion would be undefined.
int truncate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

bool fits_int(int64_t value) { return value >= INT_MIN && value <= INT_MAX; }
} // namespace

SEDQ_DOUBLE::SEDQ_DOUBLE(double value) : m_numerator(truncate(value)), m_base(m_numerator) {}

SEDQ_DOUBLE::~SEDQ_DOUBLE() = default;

SEDQ_DOUBLE::operator double() const { return double(m_numerator) / double(m_denominator); }

SEDQ_DOUBLE& SEDQ_DOUBLE::operator=(double value)
{
    m_numerator = truncate(value);
    m_denominator = 1;
    return *this;
}

// Divides the denominator when it is positive and divisible, else multiplies the numerator.
double SEDQ_DOUBLE::operator*=(double factor)
{
    int64_t n = truncate(factor);
    if (n == 0 || m_numerator == 0)
        return *this;
    if (m_denominator > 0 && m_denominator % n == 0)
    {
        if (fits_int(m_denominator / n))
            m_denominator = int(m_denominator / n);
    }
    else if (fits_int(m_numerator * n))
        m_numerator = int(m_numerator * n);
    return *this;
}

// Divides the numerator when it is positive and divisible, else multiplies the denominator.
double SEDQ_DOUBLE::operator/=(double divisor)
{
    int64_t n = truncate(divisor);
    if (n == 0 || m_numerator == 0)
        return *this;
    if (m_numerator > 0 && m_numerator % n == 0)
    {
        if (fits_int(m_numerator / n))
            m_numerator = int(m_numerator / n);
    }
    else if (fits_int(m_denominator * n))
        m_denominator = int(m_denominator * n);
    return *this;
}

void SEDQ_DOUBLE::set_double(int numerator, int denominator)
{
    if (numerator == -1 && denominator == -1)
    {
        m_numerator = m_base;
        m_denominator = 1;
        return;
    }
    if (!SEDQ_VERIFY(denominator != 0))
        return;
    m_numerator = numerator;
    m_denominator = denominator;
}
