#include "number_text.h"

#include <cmath>
#include <system_error>

namespace host {
namespace {

int checkedRadix(int radix) { return radix >= 2 && radix <= 36 ? radix : 10; }

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

std::string_view NumberText::integer(long long value, int radix) {
    radix = checkedRadix(radix);
    return write([&](char* first, char* last) { return std::to_chars(first, last, value, radix); });
}

std::string_view NumberText::unsignedInteger(unsigned long long value, int radix) {
    radix = checkedRadix(radix);
    return write([&](char* first, char* last) { return std::to_chars(first, last, value, radix); });
}

std::string_view NumberText::shortest(float value) {
    if (std::isnan(value)) value = std::abs(value);  // "nan", not "-nan"
    return write([&](char* first, char* last) {
        return std::to_chars(first, last, value, std::chars_format::fixed);
    });
}

template <typename Float>
std::string_view NumberText::floating(Float value, std::chars_format format, int precision) {
    if (std::isnan(value)) value = std::abs(value);
    return write([&](char* first, char* last) {
        return std::to_chars(first, last, value, format, precision);
    });
}

std::string_view NumberText::fixed(double value, int precision) {
    return floating(value, std::chars_format::fixed, precision);
}
std::string_view NumberText::fixed(long double value, int precision) {
    return floating(value, std::chars_format::fixed, precision);
}
std::string_view NumberText::scientific(double value, int precision) {
    return floating(value, std::chars_format::scientific, precision);
}
std::string_view NumberText::scientific(long double value, int precision) {
    return floating(value, std::chars_format::scientific, precision);
}
std::string_view NumberText::general(double value, int precision) {
    return floating(value, std::chars_format::general, precision);
}
std::string_view NumberText::general(long double value, int precision) {
    return floating(value, std::chars_format::general, precision);
}

}  // namespace host
