#include "wide_printf.h"

#include "number_text.h"
#include "utf8_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
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

void WideBuffer::appendAscii(std::string_view text, bool upperCase) {
    wchar_t* out = extend(text.size());
    if (!upperCase) {
        for (const char c : text) *out++ = static_cast<wchar_t>(c);
        return;
    }
    for (const char c : text)
        *out++ = c >= 'a' && c <= 'z' ? static_cast<wchar_t>(c - 'a' + 'A') : static_cast<wchar_t>(c);
}

void WideBuffer::appendUtf8(std::string_view bytes) {
    wchar_t* const out = extend(bytes.size());
    const std::size_t decoded = utf8::decode(bytes, {out, bytes.size()});
    m_size -= bytes.size() - decoded;
}

void WideBuffer::insert(std::size_t position, wchar_t c, std::size_t count) {
    const std::size_t tail = m_size - position;
    extend(count);
    wchar_t* const at = m_data + position;
    std::copy_backward(at, at + tail, at + tail + count);
    std::fill_n(at, count, c);
}

namespace {

static_assert(sizeof(std::intmax_t) <= sizeof(long long));

enum class Length { None, Char, Short, Long, LongLong, LongDouble, Size, Max, PtrDiff, Wide, Int32 };

struct Directive {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    bool widthFromArgument = false;
    bool precisionFromArgument = false;
    std::size_t width = 0;
    int precision = -1;  // none
    Length length = Length::None;
    wchar_t conversion = 0;
};

int parseCount(const wchar_t*& p) {
    long long count = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) count = std::min<long long>(count * 10 + (*p - L'0'), INT_MAX);
    return static_cast<int>(count);
}

// Everything between '%' and the conversion character; `p` is left on the conversion.
void parseDirective(const wchar_t*& p, Directive& directive) {
    for (;; ++p) {
        if (*p == L'-') directive.left = true;
        else if (*p == L'+') directive.plus = true;
        else if (*p == L' ') directive.space = true;
        else if (*p == L'#') directive.alternate = true;
        else if (*p == L'0') directive.zero = true;
        else break;
    }
    if (*p == L'*') {
        directive.widthFromArgument = true;
        ++p;
    } else {
        directive.width = static_cast<std::size_t>(parseCount(p));
    }
    if (*p == L'.') {
        ++p;
        if (*p == L'*') {
            directive.precisionFromArgument = true;
            ++p;
        } else {
            directive.precision = parseCount(p);
        }
    }
    switch (*p) {
    case L'h':
        directive.length = p[1] == L'h' ? Length::Char : Length::Short;
        p += p[1] == L'h' ? 2 : 1;
        break;
    case L'l':
        directive.length = p[1] == L'l' ? Length::LongLong : Length::Long;
        p += p[1] == L'l' ? 2 : 1;
        break;
    case L'L': directive.length = Length::LongDouble; ++p; break;
    case L'z': directive.length = Length::Size; ++p; break;
    case L'j': directive.length = Length::Max; ++p; break;
    case L't': directive.length = Length::PtrDiff; ++p; break;
    case L'w': directive.length = Length::Wide; ++p; break;
    case L'I':
        if (p[1] == L'6' && p[2] == L'4') {
            directive.length = Length::LongLong;
            p += 3;
        } else if (p[1] == L'3' && p[2] == L'2') {
            directive.length = Length::Int32;
            p += 3;
        } else {
            directive.length = Length::Size;
            ++p;
        }
        break;
    default: break;
    }
}

// %s and %c: the host platform's wide printf takes the argument as wide unless the conversion
// is upper-case or 'h' says narrow; 'l' and 'w' always mean wide.
bool narrowArgument(const Directive& directive) {
    if (directive.length == Length::Short) return true;
    if (directive.length == Length::Long || directive.length == Length::Wide) return false;
    return directive.conversion == L'S' || directive.conversion == L'C';
}

std::string_view signOf(const Directive& directive, bool negative) {
    if (negative) return "-";
    if (directive.plus) return "+";
    if (directive.space) return " ";
    return {};
}

class Formatter {
public:
    Formatter(WideBuffer& out, va_list args) : m_out(out) { va_copy(m_args, args); }
    ~Formatter() { va_end(m_args); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    void run(const wchar_t* p);

private:
    bool convert(Directive& directive);
    void readStars(Directive& directive);
    long long readSigned(Length length);
    unsigned long long readUnsigned(Length length);

    void formatInteger(const Directive& directive, unsigned long long magnitude, bool negative);
    void formatPointer(const Directive& directive, const void* pointer);
    template <typename Float>
    void formatFloat(const Directive& directive, Float value);
    template <typename Float>
    std::string alternateForm(const Directive& directive, Float magnitude, int precision);
    void formatChar(const Directive& directive);
    void formatString(const Directive& directive);

    // prefix (sign, "0x"), zeros, digits, padded with spaces to the width; the '0' flag turns
    // that padding into zeros after the prefix where `zeroPadding` allows.
    void emitNumber(const Directive& directive, std::string_view prefix, std::string_view digits,
                    std::size_t minDigits, bool zeroPadding, bool upperCase);
    // Pads the text written since `start` to the width.
    void padFrom(const Directive& directive, std::size_t start);

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
        const wchar_t* const start = p++;
        if (*p == L'%') {
            m_out.append(L'%');
            ++p;
            continue;
        }
        Directive directive;
        parseDirective(p, directive);
        if (*p == L'\0') {
            m_out.append({start, static_cast<std::size_t>(p - start)});
            return;
        }
        directive.conversion = *p++;
        if (!convert(directive)) m_out.append({start, static_cast<std::size_t>(p - start)});
    }
}

void Formatter::readStars(Directive& directive) {
    if (directive.widthFromArgument) {
        const int width = va_arg(m_args, int);
        if (width < 0) directive.left = true;
        directive.width = width < 0 ? 0u - static_cast<unsigned>(width) : static_cast<unsigned>(width);
    }
    if (directive.precisionFromArgument) {
        const int precision = va_arg(m_args, int);
        directive.precision = precision < 0 ? -1 : precision;
    }
}

bool Formatter::convert(Directive& directive) {
    switch (directive.conversion) {
    case L'd':
    case L'i': {
        readStars(directive);
        const long long value = readSigned(directive.length);
        const unsigned long long magnitude =
            value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
        formatInteger(directive, magnitude, value < 0);
        return true;
    }
    case L'u':
    case L'o':
    case L'x':
    case L'X':
        readStars(directive);
        formatInteger(directive, readUnsigned(directive.length), false);
        return true;
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G':
        readStars(directive);
        if (directive.length == Length::LongDouble) {
            formatFloat(directive, va_arg(m_args, long double));
        } else {
            formatFloat(directive, va_arg(m_args, double));
        }
        return true;
    case L'c':
    case L'C':
        readStars(directive);
        formatChar(directive);
        return true;
    case L's':
    case L'S':
        readStars(directive);
        formatString(directive);
        return true;
    case L'p':
        readStars(directive);
        formatPointer(directive, va_arg(m_args, const void*));
        return true;
    default:
        return false;
    }
}

long long Formatter::readSigned(Length length) {
    switch (length) {
    case Length::Char: return static_cast<signed char>(va_arg(m_args, int));
    case Length::Short: return static_cast<short>(va_arg(m_args, int));
    case Length::Long: return va_arg(m_args, long);
    case Length::LongLong:
    case Length::LongDouble: return va_arg(m_args, long long);
    case Length::Size:
    case Length::PtrDiff: return va_arg(m_args, std::ptrdiff_t);
    case Length::Max: return va_arg(m_args, std::intmax_t);
    default: return va_arg(m_args, int);
    }
}

unsigned long long Formatter::readUnsigned(Length length) {
    switch (length) {
    case Length::Char: return static_cast<unsigned char>(va_arg(m_args, unsigned));
    case Length::Short: return static_cast<unsigned short>(va_arg(m_args, unsigned));
    case Length::Long: return va_arg(m_args, unsigned long);
    case Length::LongLong:
    case Length::LongDouble: return va_arg(m_args, unsigned long long);
    case Length::Size:
    case Length::PtrDiff: return va_arg(m_args, std::size_t);
    case Length::Max: return va_arg(m_args, std::uintmax_t);
    default: return va_arg(m_args, unsigned);
    }
}

void Formatter::emitNumber(const Directive& directive, std::string_view prefix, std::string_view digits,
                           std::size_t minDigits, bool zeroPadding, bool upperCase) {
    std::size_t zeros = minDigits > digits.size() ? minDigits - digits.size() : 0;
    std::size_t length = prefix.size() + zeros + digits.size();
    if (directive.zero && !directive.left && zeroPadding && directive.width > length) {
        zeros += directive.width - length;
        length = directive.width;
    }
    const std::size_t padding = directive.width > length ? directive.width - length : 0;
    // Most numbers have no padding, sign or leading zeros: only the digits cost anything.
    if (padding > 0 && !directive.left) m_out.append(L' ', padding);
    if (!prefix.empty()) m_out.appendAscii(prefix);
    if (zeros > 0) m_out.append(L'0', zeros);
    m_out.appendAscii(digits, upperCase);
    if (padding > 0 && directive.left) m_out.append(L' ', padding);
}

void Formatter::padFrom(const Directive& directive, std::size_t start) {
    const std::size_t written = m_out.size() - start;
    if (directive.width <= written) return;
    if (directive.left) {
        m_out.append(L' ', directive.width - written);
    } else {
        m_out.insert(start, L' ', directive.width - written);
    }
}

void Formatter::formatInteger(const Directive& directive, unsigned long long magnitude, bool negative) {
    const wchar_t conversion = directive.conversion;
    const int radix = conversion == L'o' ? 8 : conversion == L'x' || conversion == L'X' ? 16 : 10;
    const bool upperCase = conversion == L'X';
    std::string_view prefix = conversion == L'd' || conversion == L'i' ? signOf(directive, negative) : "";
    // An explicit precision of 0 prints no digit for 0.
    const std::string_view digits =
        magnitude == 0 && directive.precision == 0 ? std::string_view() : m_number.unsignedInteger(magnitude, radix);
    std::size_t minDigits = directive.precision > 0 ? static_cast<std::size_t>(directive.precision) : 0;
    if (directive.alternate) {
        if (radix == 16 && magnitude != 0) prefix = upperCase ? "0X" : "0x";
        if (radix == 8 && (digits.empty() || digits[0] != '0') && minDigits <= digits.size()) {
            minDigits = digits.size() + 1;
        }
    }
    emitNumber(directive, prefix, digits, minDigits, directive.precision < 0, upperCase);
}

void Formatter::formatPointer(const Directive& directive, const void* pointer) {
    const std::string_view digits = m_number.unsignedInteger(reinterpret_cast<std::uintptr_t>(pointer), 16);
    const std::size_t minDigits = std::max<std::size_t>(
        2 * sizeof pointer, directive.precision > 0 ? static_cast<std::size_t>(directive.precision) : 0);
    emitNumber(directive, directive.alternate ? "0X" : "", digits, minDigits, false, true);
}

template <typename Float>
void Formatter::formatFloat(const Directive& directive, Float value) {
    const wchar_t conversion = directive.conversion;
    const bool upperCase = conversion == L'F' || conversion == L'E' || conversion == L'G';
    const bool negative = !std::isnan(value) && std::signbit(value);
    const std::string_view sign = signOf(directive, negative);
    if (!std::isfinite(value)) {
        emitNumber(directive, sign, std::isnan(value) ? "nan" : "inf", 0, false, upperCase);
        return;
    }
    const Float magnitude = std::abs(value);
    const int precision = directive.precision < 0 ? 6 : directive.precision;
    if (directive.alternate) {
        const std::string text = alternateForm(directive, magnitude, precision);
        emitNumber(directive, sign, text, 0, true, upperCase);
        return;
    }
    std::string_view text;
    switch (conversion) {
    case L'f':
    case L'F': text = m_number.fixed(magnitude, precision); break;
    case L'e':
    case L'E': text = m_number.scientific(magnitude, precision); break;
    default: text = m_number.general(magnitude, std::max(precision, 1)); break;
    }
    emitNumber(directive, sign, text, 0, true, upperCase);
}

// '#': a decimal point even without decimals, and for %g the trailing zeros kept. Rare, so
// it may build a std::string.
template <typename Float>
std::string Formatter::alternateForm(const Directive& directive, Float magnitude, int precision) {
    const auto withPoint = [](std::string_view text) {
        std::string result(text);
        const std::size_t end = result.find('e');
        if (result.find('.') == std::string::npos) {
            result.insert(end == std::string::npos ? result.size() : end, 1, '.');
        }
        return result;
    };
    switch (directive.conversion) {
    case L'f':
    case L'F': return withPoint(m_number.fixed(magnitude, precision));
    case L'e':
    case L'E': return withPoint(m_number.scientific(magnitude, precision));
    default: break;
    }
    // %g picks its notation from the exponent the value has once rounded to `significant`
    // digits, which the scientific text shows.
    const int significant = std::max(precision, 1);
    const std::string_view scientific = m_number.scientific(magnitude, significant - 1);
    const std::size_t e = scientific.find('e');
    int exponent = 0;
    for (std::size_t i = e + 2; i < scientific.size(); ++i) exponent = exponent * 10 + (scientific[i] - '0');
    if (scientific[e + 1] == '-') exponent = -exponent;
    if (exponent < -4 || exponent >= significant) return withPoint(scientific);
    return withPoint(m_number.fixed(magnitude, significant - 1 - exponent));
}

void Formatter::formatChar(const Directive& directive) {
    const int value = va_arg(m_args, int);
    // A narrow character is one byte, which alone is never a UTF-8 sequence: Latin-1, as the
    // narrow string constructors take such a byte.
    const wchar_t c = narrowArgument(directive) ? static_cast<wchar_t>(static_cast<unsigned char>(value))
                                           : static_cast<wchar_t>(value);
    const std::size_t start = m_out.size();
    m_out.append(c);
    padFrom(directive, start);
}

void Formatter::formatString(const Directive& directive) {
    const std::size_t start = m_out.size();
    // The precision counts characters for both kinds of argument, and no character past it is
    // read, so an unterminated array of that many characters is fine.
    if (narrowArgument(directive)) {
        const char* text = va_arg(m_args, const char*);
        if (text == nullptr) text = "(null)";
        const std::size_t bytes = directive.precision < 0
                                      ? std::strlen(text)
                                      : utf8::prefixBytes(text, static_cast<std::size_t>(directive.precision));
        m_out.appendUtf8({text, bytes});
    } else {
        const wchar_t* text = va_arg(m_args, const wchar_t*);
        if (text == nullptr) text = L"(null)";
        std::size_t length = 0;
        const std::size_t limit = directive.precision < 0 ? SIZE_MAX : static_cast<std::size_t>(directive.precision);
        while (length < limit && text[length] != L'\0') ++length;
        m_out.append({text, length});
    }
    padFrom(directive, start);
}

}  // namespace

void appendWidePrintf(WideBuffer& out, const wchar_t* format, va_list args) {
    if (format == nullptr) return;
    Formatter(out, args).run(format);
}

void appendWidePrintf(std::wstring& out, const wchar_t* format, va_list args) {
    WideBuffer text;
    appendWidePrintf(text, format, args);
    out.append(text.view());
}

std::wstring widePrintf(const wchar_t* format, va_list args) {
    std::wstring text;
    appendWidePrintf(text, format, args);
    return text;
}

}  // namespace host
