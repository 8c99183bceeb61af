#include "number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace host {
namespace {

// A double that holds a float (every coordinate and value of a model) times 10^precision is
// exact in a double for up to 12 decimals: the float's 24 significant bits and the 28 of 5^12
// fit in 53, and the power of two only moves the exponent. Rounding that product to an integer
// (ties to even) then gives exactly the digits to_chars finds from the exact binary value, with
// one integer conversion instead of the general algorithm. Other values return false.
constexpr int kMostExactDecimals = 12;
constexpr double kPowersOfTen[kMostExactDecimals + 1] = {1e0, 1e1, 1e2, 1e3, 1e4,  1e5, 1e6,
                                                         1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

bool fixedFromFloat(double value, int precision, char* first, char* last, std::to_chars_result& result) {
    if (precision < 0 || precision > kMostExactDecimals) return false;
    const double scaled = std::fabs(value) * kPowersOfTen[precision];
    // Also false for infinity and NaN; below 2^53 the value is well inside the float range, where
    // narrowing it is defined.
    if (!(scaled < 0x1p53)) return false;
    if (static_cast<double>(static_cast<float>(value)) != value) return false;
    // Rounded by hand, not with the floating-point environment's rounding mode: floor and the
    // difference are exact below 2^53.
    const double floor = std::floor(scaled);
    const double rest = scaled - floor;
    std::uint64_t whole = static_cast<std::uint64_t>(floor);
    if (rest > 0.5 || (rest == 0.5 && (whole & 1) != 0)) ++whole;

    char digits[24];
    const auto [digitsEnd, error] = std::to_chars(digits, digits + sizeof digits, whole);
    const std::size_t count = static_cast<std::size_t>(digitsEnd - digits);
    const std::size_t decimals = static_cast<std::size_t>(precision);
    const std::size_t integerDigits = count > decimals ? count - decimals : 1;
    const std::size_t length = (std::signbit(value) ? 1 : 0) + integerDigits + (decimals > 0 ? 1 + decimals : 0);
    if (error != std::errc() || static_cast<std::size_t>(last - first) < length) return false;

    char* out = first;
    if (std::signbit(value)) *out++ = '-';
    if (count > decimals) {
        out = std::copy_n(digits, count - decimals, out);
    } else {
        *out++ = '0';
    }
    if (decimals > 0) {
        *out++ = '.';
        const std::size_t leadingZeros = count < decimals ? decimals - count : 0;
        out = std::fill_n(out, leadingZeros, '0');
        out = std::copy(digitsEnd - (decimals - leadingZeros), digitsEnd, out);
    }
    result = {out, std::errc()};
    return true;
}

}  // namespace

// `convert(first, last)` is a std::to_chars call; it is retried in a larger heap block until
// the text fits, which only very long fixed or high-precision text ever needs.
template <typename Convert>
std::string_view NumberText::write(Convert convert) {
    char* first = m_heap ? m_heap.get() : m_inline.data();
    std::size_t room = m_heap ? m_heapSize : m_inline.size();
    for (;;) {
        const std::to_chars_result result = convert(first, first + room);
        if (result.ec == std::errc()) {
            m_size = static_cast<std::size_t>(result.ptr - first);
            return view();
        }
        room *= 2;
        m_heap = std::make_unique_for_overwrite<char[]>(room);
        m_heapSize = room;
        first = m_heap.get();
    }
}

std::string_view NumberText::integer(long long value) {
    return write([&](char* first, char* last) { return std::to_chars(first, last, value); });
}

std::string_view NumberText::shortest(float value) {
    if (std::isnan(value)) value = std::abs(value);  // "nan", not "-nan"
    return write([&](char* first, char* last) {
        return std::to_chars(first, last, value, std::chars_format::fixed);
    });
}

std::string_view NumberText::fixed(double value, int precision) {
    std::to_chars_result result;
    if (fixedFromFloat(value, precision, m_inline.data(), m_inline.data() + m_inline.size(), result)) {
        m_heap.reset();
        m_size = static_cast<std::size_t>(result.ptr - m_inline.data());
        return view();
    }
    if (std::isnan(value)) value = std::abs(value);
    return write([&](char* first, char* last) {
        return std::to_chars(first, last, value, std::chars_format::fixed, precision);
    });
}

}  // namespace host
