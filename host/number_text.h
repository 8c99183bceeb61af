// Number text that never depends on the process locale: every conversion goes through
// std::to_chars, so the decimal point is always "." and no locale is looked up per number.
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <memory>
#include <string_view>

namespace host {

// The text of one number, built in place. Integers and the shortest text of every
// float fit the inline storage; only unusually long text (hundreds of decimals, 1e300 in fixed
// notation) takes a heap block. Each call replaces the text and returns a view of it, valid
// until the next call or the object's end.
//
// Infinity is "inf" or "-inf"; NaN is "nan" whatever its sign bit, since that bit carries no
// meaning a reader of the file could use.
class NumberText {
public:
    NumberText() = default;
    NumberText(const NumberText&) = delete;
    NumberText& operator=(const NumberText&) = delete;

    // Decimal digits, with a "-" for negative values.
    std::string_view integer(long long value);

    // The shortest plain decimal text that reads back as the same float: never an exponent,
    // no trailing zeros ("1", "0.7", "-0", "0.5019608").
    std::string_view shortest(float value);

    // `precision` (>= 0) decimals, rounded from the exact binary value (ties to even), as
    // printf's %f.
    std::string_view fixed(double value, int precision);

    std::string_view view() const { return {data(), m_size}; }

private:
    static constexpr std::size_t kInlineChars = 80;

    const char* data() const { return m_heap ? m_heap.get() : m_inline.data(); }
    template <typename Convert>
    std::string_view write(Convert convert);

    std::array<char, kInlineChars> m_inline;
    std::unique_ptr<char[]> m_heap;
    std::size_t m_heapSize = 0;
    std::size_t m_size = 0;
};

}  // namespace host
