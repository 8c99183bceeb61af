// The numbers of the legend's labels: when they are shown in scientific notation, and their text.
//
// Labels round exact ties away from zero (1.2345e6 reads 1.235e+06), as they always have; the C
// library rounds such ties to even, so the digits are rounded here from the value's exact
// decimal expansion.
#include "ZVRMLWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Every float, widened to double, has an exact decimal expansion of at most 112 significant
// digits (the smallest subnormal has 105), so this many digits are the value itself.
constexpr int kExactDigits = 120;

struct Decimal {
    bool negative = false;
    std::string digits;  // significant digits, the first non-zero unless the value is zero
    int exponent = 0;    // of the first digit
};

Decimal exactDecimal(double value) {
    char text[kExactDigits + 32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                                      kExactDigits - 1);
    const std::string_view all(text, static_cast<size_t>(result.ptr - text));
    Decimal decimal;
    size_t at = 0;
    if (all[at] == '-') {
        decimal.negative = true;
        ++at;
    }
    const size_t e = all.find('e');
    for (; at < e; ++at)
        if (all[at] != '.') decimal.digits.push_back(all[at]);
    std::from_chars(all.data() + e + 1 + (all[e + 1] == '+'), all.data() + all.size(), decimal.exponent);
    return decimal;
}

// Keeps `count` significant digits (at least 1), a dropped part of one half or more rounding
// the kept digits up, away from zero.
Decimal roundedToDigits(Decimal decimal, int count) {
    const bool up = decimal.digits[count] >= '5';
    decimal.digits.resize(count);
    if (up) {
        int i = count - 1;
        for (; i >= 0 && decimal.digits[i] == '9'; --i) decimal.digits[i] = '0';
        if (i >= 0) {
            ++decimal.digits[i];
        } else {  // 9.99 became 10.0
            decimal.digits.insert(decimal.digits.begin(), '1');
            decimal.digits.pop_back();
            ++decimal.exponent;
        }
    }
    return decimal;
}

bool isZero(const Decimal& decimal) { return decimal.digits.find_first_not_of('0') == std::string::npos; }

void appendExponent(std::string& text, int exponent) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    text += digits;
}

// As printf's "%.*e": one digit, the point, `decimals` digits, an exponent of two digits or more.
std::string scientificText(double value, int decimals) {
    Decimal decimal = roundedToDigits(exactDecimal(value), decimals + 1);
    if (isZero(decimal)) decimal.exponent = 0;
    std::string text = decimal.negative ? "-" : "";
    text += decimal.digits[0];
    if (decimals > 0) text += '.' + decimal.digits.substr(1);
    appendExponent(text, decimal.exponent);
    return text;
}

// As printf's "%.*g": `precision` significant digits, fixed or scientific by the exponent,
// trailing zeros and a trailing point removed.
std::string generalText(double value, int precision) {
    Decimal decimal = roundedToDigits(exactDecimal(value), precision);
    if (isZero(decimal)) decimal.exponent = 0;
    decimal.digits.erase(decimal.digits.find_last_not_of('0') + 1);
    if (decimal.digits.empty()) decimal.digits.push_back('0');

    std::string text = decimal.negative ? "-" : "";
    const int x = decimal.exponent;
    if (x < -4 || x >= precision) {
        text += decimal.digits[0];
        if (decimal.digits.size() > 1) text += '.' + decimal.digits.substr(1);
        appendExponent(text, x);
    } else if (x < 0) {
        text += "0." + std::string(static_cast<size_t>(-x - 1), '0') + decimal.digits;
    } else {
        const size_t integerDigits = static_cast<size_t>(x) + 1;
        if (decimal.digits.size() <= integerDigits) {
            text += decimal.digits + std::string(integerDigits - decimal.digits.size(), '0');
        } else {
            text += decimal.digits.substr(0, integerDigits) + '.' + decimal.digits.substr(integerDigits);
        }
    }
    return text;
}

std::string specialText(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    return value < 0 ? "-inf" : "inf";
}

}  // namespace

bool ZVRMLWriter::needsScientific(float minValue, float maxValue) {
    if (minValue == maxValue)
        return std::fabs(minValue) > 1e6f || static_cast<double>(std::fabs(maxValue)) < 0.0001;
    // Plain three-decimal labels would either run long or all read the same.
    if (std::fabs(minValue - maxValue) > 100000.0) return true;
    return std::fabs(maxValue - minValue) < 0.009f;
}

void ZVRMLWriter::formatLegendNumber(float value, bool scientific, GuString& out) {
    if (!std::isfinite(value)) {
        out = specialText(value).c_str();
    } else if (scientific) {
        out = scientificText(value, 3).c_str();
    } else {
        // Three decimals, halves away from zero, in the precision steps the labels always had:
        // the product and the quotient are each stored as a float.
        const float scaled = static_cast<float>(value * 1000.0);
        const double rounded = scaled < 0 ? std::ceil(scaled - 0.5) : std::floor(scaled + 0.5);
        const float shown = static_cast<float>(static_cast<float>(rounded) / 1000.0);
        out = generalText(shown, 6).c_str();
    }
}
