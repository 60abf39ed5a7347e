// Numbers and texts as the runtime treats them, and its colours: the same on
// every backend, and in a locale that writes a decimal comma.

#include "runtime/basic.h"
#include "runtime/layout.h"

#include <doctest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace forms;

TEST_CASE("Val reads the leading number of a text")
{
    struct Row
    {
        const char *text;
        double value;
    };
    const Row rows[] = {
        {"", 0.0},      {"   ", 0.0},  {"42", 42.0},   {"  12abc", 12.0}, {"\t\n7", 7.0}, {"1 2 3", 123.0},
        {"-3.5", -3.5}, {"+8", 8.0},   {".25", 0.25},  {"3.2.1", 3.2},    {"1,5", 1.0},   {"1e3", 1000.0},
        {"25E-1", 2.5}, {"12e", 12.0}, {"abc12", 0.0}, {"--5", 0.0},      {"-", 0.0},
    };
    for (const Row &row : rows) {
        CAPTURE(row.text);
        CHECK(Val(row.text) == row.value);
    }
    // Beyond a double: an overflow, as any other.
    try {
        Val("1e400");
        FAIL("no overflow");
    } catch (const RuntimeError &error) {
        CHECK(error.number() == errors::Overflow);
    }
}

TEST_CASE("rounding to a 16-bit integer takes halves to the even neighbour")
{
    struct Row
    {
        double value;
        int rounded;
        bool overflows;
    };
    const Row rows[] = {
        {0.5, 0, false},
        {1.5, 2, false},
        {2.5, 2, false},
        {12.5, 12, false},
        {37.5, 38, false},
        {-1.5, -2, false},
        {-2.5, -2, false},
        {100.0 / 3, 33, false},
        {200.0 / 3, 67, false},
        {32767.0, 32767, false},
        {32767.4, 32767, false},
        {32767.5, 0, true},
        {32768.0, 0, true},
        {-32768.0, -32768, false},
        {-32768.5, -32768, false},
        {-32768.6, 0, true},
        {std::numeric_limits<double>::quiet_NaN(), 0, true},
        {std::numeric_limits<double>::infinity(), 0, true},
    };
    for (const Row &row : rows) {
        CAPTURE(row.value);
        try {
            const int result = roundToInteger(row.value);
            CHECK_FALSE(row.overflows);
            CHECK(result == row.rounded);
        } catch (const RuntimeError &error) {
            CHECK(row.overflows);
            CHECK(error.number() == errors::Overflow);
        }
    }
}

TEST_CASE("numbers become plain digits")
{
    CHECK(numberToText(0.0) == "0");
    CHECK(numberToText(-0.0) == "0");
    CHECK(numberToText(1.0) == "1");
    CHECK(numberToText(100.0) == "100");
    CHECK(numberToText(-12.0) == "-12");
    CHECK(numberToText(123456789.0) == "123456789");
    CHECK(numberToText(1.5) == "1.5");
}

TEST_CASE("16-bit arithmetic overflows instead of wrapping")
{
    const Integer top = 32767;
    const Integer bottom = -32768;
    CHECK((top - 1).value() == 32766);
    CHECK((bottom + 1).value() == -32767);
    CHECK_THROWS_AS(top + 1, RuntimeError);
    CHECK_THROWS_AS(bottom - 1, RuntimeError);
    CHECK_THROWS_AS(Integer(40000), RuntimeError);
    CHECK(Integer(-1) < Integer(0));
    CHECK(Integer(8) == 8);
}

TEST_CASE("colours resolve to the classic scheme")
{
    CHECK(Color::rgb(0x00C00000).toRgb() == 0x0000C0u); // dark blue
    CHECK(Color::rgb(0x000000FF).toRgb() == 0xFF0000u); // red
    CHECK(colors::MenuText.toRgb() == 0x000000u);
    CHECK(colors::WindowBackground.toRgb() == 0xFFFFFFu);
    CHECK(colors::TitleBarText.toRgb() == 0xFFFFFFu);
    CHECK(colors::HighlightText.toRgb() == 0xFFFFFFu);
    CHECK(colors::ButtonText.toRgb() == 0x000000u);
}
