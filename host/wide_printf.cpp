#include "wide_printf.h"

#include "number_text.h"
#include "utf8_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace host {

void WideBuffer::grow(std::size_t count) {
    const std::size_t capacity = std::max(m_size + count, m_capacity * 2);
    auto heap = std::make_unique_for_overwrite<wchar_t[]>(capacity);
    std::copy_n(m_data, m_size, heap.get());
    m_heap = std::move(heap);
    m_data = m_heap.get();
    m_capacity = capacity;
}

void WideBuffer::append(std::wstring_view text) {
    std::copy(text.begin(), text.end(), extend(text.size()));
}

void WideBuffer::append(wchar_t c, std::size_t count) { std::fill_n(extend(count), count, c); }

void WideBuffer::appendAscii(std::string_view text) {
    wchar_t* out = extend(text.size());
    for (const char c : text) *out++ = static_cast<wchar_t>(c);
}

void WideBuffer::appendUtf8(std::string_view bytes) {
    wchar_t* const out = extend(bytes.size());
    const std::size_t decoded = utf8::decode(bytes, {out, bytes.size()});
    m_size -= bytes.size() - decoded;
}

namespace {

// A conversion no caller uses is a programming error, not bad input: the string functions have no
// failure result to report it through, and text with a hole in it would be written to a scene.
[[noreturn]] void unsupportedConversion(const wchar_t* directive, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length && directive[i] != L'\0'; ++i)
        text += directive[i] < 0x80 ? static_cast<char>(directive[i]) : '?';
    std::fprintf(stderr, "host string library: unsupported conversion \"%s\" in a format\n", text.c_str());
    std::abort();
}

class Formatter {
public:
    Formatter(WideBuffer& out, va_list args) : m_out(out) { va_copy(m_args, args); }
    ~Formatter() { va_end(m_args); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    void run(const wchar_t* p);

private:
    void appendNumber(std::string_view text) { m_out.appendAscii(text); }
    void appendWide(const wchar_t* text);
    void appendNarrow(const char* text);

    WideBuffer& m_out;
    va_list m_args;
    NumberText m_number;
};

void Formatter::run(const wchar_t* p) {
    for (;;) {
        const wchar_t* const literal = p;
        while (*p != L'\0' && *p != L'%') ++p;
        m_out.append({literal, static_cast<std::size_t>(p - literal)});
        if (*p == L'\0') return;
        const wchar_t* const directive = p++;
        switch (*p++) {
        case L'%': m_out.append(L'%'); break;
        case L'd': appendNumber(m_number.integer(va_arg(m_args, int))); break;
        case L'f': appendNumber(m_number.fixed(va_arg(m_args, double), 6)); break;
        case L's': appendWide(va_arg(m_args, const wchar_t*)); break;
        case L'S': appendNarrow(va_arg(m_args, const char*)); break;
        default: unsupportedConversion(directive, 2);
        }
    }
}

void Formatter::appendWide(const wchar_t* text) {
    if (text == nullptr) text = L"(null)";
    m_out.append(std::wstring_view(text));
}

void Formatter::appendNarrow(const char* text) {
    if (text == nullptr) text = "(null)";
    m_out.appendUtf8(text);
}

}  // namespace

void appendWidePrintf(WideBuffer& out, const wchar_t* format, va_list args) {
    if (format == nullptr) return;
    Formatter(out, args).run(format);
}

std::wstring widePrintf(const wchar_t* format, va_list args) {
    WideBuffer text;
    appendWidePrintf(text, format, args);
    return std::wstring(text.view());
}

}  // namespace host
