#include "basic.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace forms {

RuntimeError::RuntimeError(int number, const std::string &description)
    : std::runtime_error(description), m_number(number)
{
}

void raiseOverflow()
{
    throw RuntimeError(errors::Overflow, "Desbordamiento");
}

double Val(std::string_view text)
{
    // Blanks are skipped wherever they stand ("1 2" reads 12), as the classic
    // Val does; collect the characters that still make a number, then stop.
    std::string number;
    bool digits = false, point = false, exponent = false, exponentDigits = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        const bool isDigit = std::isdigit(static_cast<unsigned char>(c)) != 0;
        if (isDigit) {
            number += c;
            (exponent ? exponentDigits : digits) = true;
        } else if ((c == '+' || c == '-') && (number.empty() || (exponent && number.back() == 'e'))) {
            number += c;
        } else if (c == '.' && !point && !exponent) {
            number += c;
            point = true;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digits && !exponent) {
            number += 'e';
            exponent = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    if (exponent && !exponentDigits) {
        // "12e" or "12e+" means 12: drop the unfinished exponent.
        while (!number.empty() && number.back() != 'e')
            number.pop_back();
        number.pop_back();
    }
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value))
        raiseOverflow();
    return value;
}

std::string numberToText(double value)
{
    if (value == 0.0)
        return "0"; // no "-0"
    char buffer[40];
    if (std::nearbyint(value) == value && std::fabs(value) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    else
        std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

std::int16_t roundToInteger(double value)
{
    if (!std::isfinite(value))
        raiseOverflow();
    const double rounded = std::nearbyint(value); // default mode: ties to even
    if (rounded < INT16_MIN || rounded > INT16_MAX)
        raiseOverflow();
    return static_cast<std::int16_t>(rounded);
}

} // namespace forms
