// A wide printf that never depends on the process locale, with the host platform's wide
// conventions: %s and %ls take a wide string, %S and %hs a narrow (UTF-8) one; %c a wide
// character, %C and %hc a narrow one. Used by GuString::Format and the console functions.
//
// Conversions: d i u o x X c C s S p % and f F e E g G, with the flags - + space # 0, a width
// and a precision (either may be *), and the length modifiers hh h l ll L z j t w I I32 I64.
// Numbers go through NumberText (std::to_chars), so "%f" is "0.500000" under any locale.
// Infinity and NaN print as "inf", "-inf" and "nan" ("INF", "NAN" for F E G). A null string
// argument prints "(null)". %p prints the address as upper-case hex digits, two per byte.
// A conversion the formatter does not know (including %n, which would write through an
// argument) is copied to the output as written and consumes no argument.
#pragma once

#include <array>
#include <cstdarg>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace host {

// Growable wide text that starts in place, so a formatted number or a console line of usual
// length never touches the heap.
class WideBuffer {
public:
    WideBuffer() = default;
    WideBuffer(const WideBuffer&) = delete;
    WideBuffer& operator=(const WideBuffer&) = delete;

    const wchar_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::wstring_view view() const { return {m_data, m_size}; }
    void clear() { m_size = 0; }

    void append(std::wstring_view text);
    void append(wchar_t c, std::size_t count = 1);
    // Text of NumberText: ASCII, widened; `upperCase` raises letters (hex digits, "e", "inf").
    void appendAscii(std::string_view text, bool upperCase = false);
    // Narrow text, decoded as UTF-8.
    void appendUtf8(std::string_view bytes);
    // Puts `count` copies of `c` in front of the text from `position` on.
    void insert(std::size_t position, wchar_t c, std::size_t count);

private:
    static constexpr std::size_t kInlineChars = 256;

    // Room for `count` more characters; returns where they go. Inline for the usual case, a
    // piece of a formatted number that fits the storage there is.
    wchar_t* extend(std::size_t count) {
        if (count > m_capacity - m_size) grow(count);
        wchar_t* const where = m_data + m_size;
        m_size += count;
        return where;
    }
    void grow(std::size_t count);

    std::array<wchar_t, kInlineChars> m_inline;
    std::unique_ptr<wchar_t[]> m_heap;
    wchar_t* m_data = m_inline.data();
    std::size_t m_size = 0;
    std::size_t m_capacity = kInlineChars;
};

// Appends the text of `format` with `args` to `out`. A null format appends nothing.
void appendWidePrintf(WideBuffer& out, const wchar_t* format, va_list args);
void appendWidePrintf(std::wstring& out, const wchar_t* format, va_list args);
std::wstring widePrintf(const wchar_t* format, va_list args);

}  // namespace host
