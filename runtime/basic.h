#pragma once
// Numbers and texts as the forms runtime treats them: Val, plain-digit text,
// 16-bit integers with overflow checks, and the runtime's own errors.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace forms {

// An error that a handler does not trap. The runtime reports it in a message
// box and ends the program, as the classic runtime does.
class RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int number, const std::string &description);
    int number() const noexcept { return m_number; }

private:
    int m_number;
};

namespace errors {
constexpr int Overflow = 6;
} // namespace errors

[[noreturn]] void raiseOverflow();

// Reads the leading decimal number of a text, ignoring blanks; anything it
// cannot make sense of counts as the end of the number, so "  12abc" is 12 and
// empty text is 0. Counter captions rely on this.
double Val(std::string_view text);

// A number as plain text: whole values as digits with no leading blank.
std::string numberToText(double value);

// Rounds to the nearest 16-bit integer, halves to the even neighbour (banker's
// rounding keeps averages unbiased); outside -32768..32767 is an overflow.
std::int16_t roundToInteger(double value);

// A 16-bit signed integer whose arithmetic raises an overflow error instead of
// wrapping round.
class Integer
{
public:
    constexpr Integer() = default;
    constexpr Integer(int value) : m_value(checked(value)) { }

    constexpr std::int16_t value() const { return m_value; }

    friend constexpr Integer operator+(Integer a, Integer b) { return Integer(int(a.m_value) + b.m_value); }
    friend constexpr Integer operator-(Integer a, Integer b) { return Integer(int(a.m_value) - b.m_value); }
    friend constexpr bool operator==(Integer a, Integer b) { return a.m_value == b.m_value; }
    friend constexpr bool operator!=(Integer a, Integer b) { return a.m_value != b.m_value; }
    friend constexpr bool operator<(Integer a, Integer b) { return a.m_value < b.m_value; }
    friend constexpr bool operator<=(Integer a, Integer b) { return a.m_value <= b.m_value; }
    friend constexpr bool operator>(Integer a, Integer b) { return a.m_value > b.m_value; }
    friend constexpr bool operator>=(Integer a, Integer b) { return a.m_value >= b.m_value; }

private:
    static constexpr std::int16_t checked(int value)
    {
        if (value < INT16_MIN || value > INT16_MAX)
            raiseOverflow();
        return static_cast<std::int16_t>(value);
    }

    std::int16_t m_value = 0;
};

} // namespace forms
