#pragma once
// An exact fraction of two ints (zoom level, zoom offset): scaling by whole factors keeps it
// exact instead of accumulating rounding. The base value is the integer it was built with,
// which set_double(-1, -1) restores. Every operation keeps both parts inside int: a step
// that would leave that range, or a factor of 0, leaves the fraction as it is.

class SEDQ_DOUBLE
{
public:
    SEDQ_DOUBLE(double value = 0.0);
    virtual ~SEDQ_DOUBLE();

    operator double() const;
    SEDQ_DOUBLE& operator=(double value);
    double operator*=(double factor);
    double operator/=(double divisor);

    int get_numerator() const { return m_numerator; }
    int get_denominator() const { return m_denominator; }
    // A zero denominator is refused; (-1, -1) restores the base value over 1.
    void set_double(int numerator, int denominator);

private:
    int m_numerator = 0;
    int m_denominator = 1;
    int m_base = 0;
};
