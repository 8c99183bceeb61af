// The host's wide printf, with the host platform's conventions and never the process locale:
//   %d   an int
//   %f   a double with six decimals ("0.500000" under any locale; "inf", "-inf", "nan")
//   %s   a wide string, %S a narrow (UTF-8) one; a null string prints "(null)"
//   %%   a percent sign
// These are the conversions the plug-in, the host and the command use. Any other directive
// (flags, widths, precisions, length modifiers, other conversions) is a programming error: a line
// on stderr names it and the process aborts. Used by GuString::Format and the console functions.
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
    // Text of NumberText: ASCII, widened.
    void appendAscii(std::string_view text);
    // Narrow text, decoded as UTF-8.
    void appendUtf8(std::string_view bytes);

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
std::wstring widePrintf(const wchar_t* format, va_list args);

}  // namespace host
