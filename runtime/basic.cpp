#include "runtime/basic.h"

#include <cctype>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace forms {

RuntimeError::RuntimeError(int number, const std::string &description)
    : std::runtime_error(description),
      m_number(number)
{ }

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
    // Read in the classic locale: QApplication sets the C locale from the
    // environment, where es_AR or de_DE would stop strtod at the point.
    std::istringstream in(number);
    in.imbue(std::locale::classic());
    double value = 0.0;
    if (!(in >> value) || !std::isfinite(value))
        raiseOverflow(); // the only way a well-formed number can fail
    return value;
}

std::string numberToText(double value)
{
    if (value == 0.0)
        return "0"; // no "-0"
    // "%.0f" and "%.15G", written with a point whatever the environment's locale.
    std::ostringstream out;
    out.imbue(std::locale::classic());
    if (std::nearbyint(value) == value && std::fabs(value) < 1e15)
        out << std::fixed << std::setprecision(0) << value;
    else
        out << std::uppercase << std::setprecision(15) << value;
    return out.str();
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
