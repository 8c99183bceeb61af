#include "hoststr.h"

#include "number_text.h"
#include "utf8_text.h"
#include "wide_printf.h"

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace {

constexpr std::size_t kMaxLength = static_cast<std::size_t>(std::numeric_limits<int>::max() / 2);

std::size_t narrowLength(const char* text, std::size_t length) {
    if (text == nullptr) return 0;
    // A given length still stops at a NUL, so a length larger than the text never reads past it.
    if (length == 0) return std::strlen(text);
    const void* const nul = std::memchr(text, '\0', length);
    return nul == nullptr ? length : static_cast<std::size_t>(static_cast<const char*>(nul) - text);
}

std::size_t wideLength(const wchar_t* text, std::size_t length) {
    if (text == nullptr) return 0;
    std::size_t n = 0;
    while ((length == 0 || n < length) && text[n] != L'\0') ++n;
    return n;
}

std::size_t lengthArgument(int length) { return length > 0 ? static_cast<std::size_t>(length) : 0; }

}  // namespace

// ---- GuString -------------------------------------------------------------------------------

GuString::GuString() : m_data(m_inline), m_length(0), m_capacity(kInlineCapacity) { m_inline[0] = L'\0'; }

GuString::GuString(const GuString& other) : GuString() { assign(other.m_data, other.m_length); }

GuString::GuString(GuString&& other) noexcept : GuString() { *this = std::move(other); }

GuString::GuString(const char* text, int length) : GuString() {
    appendNarrow(text, narrowLength(text, lengthArgument(length)));
}

GuString::GuString(const wchar_t* text, int length) : GuString() {
    appendWide(text, wideLength(text, lengthArgument(length)));
}

GuString::GuString(float value, const wchar_t* format) : GuString() {
    if (format == nullptr) {
        FromFloat(value, -1);
    } else {
        Format(format, static_cast<double>(value));
    }
}

GuString::~GuString() = default;

GuString& GuString::operator=(const GuString& other) {
    if (this != &other) assign(other.m_data, static_cast<std::size_t>(other.m_length));
    return *this;
}

GuString& GuString::operator=(GuString&& other) noexcept {
    if (this == &other) return *this;
    if (other.m_heap) {
        m_heap = std::move(other.m_heap);
        m_data = m_heap.get();
        m_length = other.m_length;
        m_capacity = other.m_capacity;
    } else {
        // Short text is copied; a heap block of ours is kept for later use.
        std::copy_n(other.m_data, other.m_length + 1, m_data);
        m_length = other.m_length;
    }
    other.resetToInline();
    return *this;
}

GuString& GuString::operator=(const char* text) {
    m_length = 0;
    m_data[0] = L'\0';
    appendNarrow(text, narrowLength(text, 0));
    return *this;
}

void GuString::resetToInline() {
    m_heap.reset();
    m_data = m_inline;
    m_capacity = kInlineCapacity;
    m_length = 0;
    m_inline[0] = L'\0';
}

void GuString::reserve(std::size_t capacity) {
    if (capacity <= static_cast<std::size_t>(m_capacity)) return;
    if (capacity > kMaxLength) throw std::length_error("GuString: text too long");
    // Geometric growth keeps repeated appends linear.
    const std::size_t grown = std::min(std::max(capacity, 2 * static_cast<std::size_t>(m_capacity)), kMaxLength);
    auto heap = std::make_unique_for_overwrite<wchar_t[]>(grown + 1);
    std::copy_n(m_data, m_length + 1, heap.get());
    m_heap = std::move(heap);
    m_data = m_heap.get();
    m_capacity = static_cast<int>(grown);
}

void GuString::assign(const wchar_t* text, std::size_t length) {
    // `text` may lie in our own buffer, which is then large enough already: reserve() does not
    // move it and wmemmove copies correctly.
    reserve(length);
    if (length > 0) std::wmemmove(m_data, text, length);
    m_length = static_cast<int>(length);
    m_data[m_length] = L'\0';
}

void GuString::assignAscii(std::string_view text) {
    m_length = 0;
    reserve(text.size());
    std::copy(text.begin(), text.end(), m_data);  // each char widens to itself
    m_length = static_cast<int>(text.size());
    m_data[m_length] = L'\0';
}

void GuString::appendNarrow(const char* text, std::size_t length) {
    if (length == 0) return;
    reserve(m_length + length);
    const std::size_t free = static_cast<std::size_t>(m_capacity - m_length);
    m_length += static_cast<int>(host::utf8::decode({text, length}, {m_data + m_length, free}));
    m_data[m_length] = L'\0';
}

void GuString::appendWide(const wchar_t* text, std::size_t length) {
    if (length == 0) return;
    const std::less<const wchar_t*> before;
    const bool own = !before(text, m_data) && before(text, m_data + m_capacity + 1);
    const std::ptrdiff_t offset = text - m_data;
    reserve(m_length + length);
    if (own) text = m_data + offset;
    std::copy_n(text, length, m_data + m_length);
    m_length += static_cast<int>(length);
    m_data[m_length] = L'\0';
}

const wchar_t* GuString::Append(const char* text, size_t length) {
    appendNarrow(text, narrowLength(text, length));
    return m_data;
}

const wchar_t* GuString::Append(const wchar_t* text, size_t length) {
    appendWide(text, wideLength(text, length));
    return m_data;
}

const wchar_t* GuString::Append(char c) {
    // One byte is never a UTF-8 sequence of its own beyond ASCII: Latin-1, as the decoder takes
    // a stray byte. A NUL would end the text early for every reader of the buffer, so it is
    // not stored.
    if (c != '\0') {
        const wchar_t wide = static_cast<unsigned char>(c);
        appendWide(&wide, 1);
    }
    return m_data;
}

const wchar_t* GuString::Insert(int position, const wchar_t* text) {
    const std::size_t length = wideLength(text, 0);
    if (length == 0) return m_data;
    const std::less<const wchar_t*> before;
    if (!before(text, m_data) && before(text, m_data + m_capacity + 1)) {
        const GuString copy(text);  // our own text: shifting would overwrite it
        return Insert(position, copy.m_data);
    }
    const std::size_t at = static_cast<std::size_t>(std::clamp(position, 0, m_length));
    reserve(m_length + length);
    std::copy_backward(m_data + at, m_data + m_length + 1, m_data + m_length + 1 + length);
    std::copy_n(text, length, m_data + at);
    m_length += static_cast<int>(length);
    return m_data;
}

const wchar_t* GuString::Insert(int position, wchar_t c) {
    const wchar_t text[] = {c, L'\0'};
    return Insert(position, text);
}

int GuString::Remove(wchar_t c) {
    if (c == L'\0') return 0;
    wchar_t* const end = std::remove(m_data, m_data + m_length, c);
    const int removed = static_cast<int>(m_data + m_length - end);
    m_length -= removed;
    m_data[m_length] = L'\0';
    return removed;
}

const wchar_t* GuString::Replace(wchar_t from, wchar_t to) {
    if (from == L'\0' || from == to) return m_data;
    if (to == L'\0') {
        // Every reader of the buffer would stop at the first one: the text ends there.
        m_length = static_cast<int>(std::find(m_data, m_data + m_length, from) - m_data);
        m_data[m_length] = L'\0';
        return m_data;
    }
    std::replace(m_data, m_data + m_length, from, to);
    return m_data;
}

const wchar_t* GuString::FromInt(int value, int radix) {
    // Callers write decimal numbers only; another radix is a programming error, reported as
    // the formatter reports a conversion nobody uses.
    if (radix != 10) {
        std::fprintf(stderr, "host string library: FromInt with radix %d; only 10 is supported\n", radix);
        std::abort();
    }
    // Widened as it is copied in: at most 11 characters, which the inline storage always holds.
    char digits[16];
    const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    wchar_t* out = m_inline;
    for (const char* c = digits; c != end; ++c) *out++ = static_cast<wchar_t>(*c);
    *out = L'\0';
    m_heap.reset();
    m_data = m_inline;
    m_capacity = kInlineCapacity;
    m_length = static_cast<int>(out - m_inline);
    return m_data;
}

const wchar_t* GuString::FromFloat(float value, int precision) {
    host::NumberText text;
    assignAscii(precision < 0 ? text.shortest(value) : text.fixed(static_cast<double>(value), precision));
    return m_data;
}

const wchar_t* GuString::Format(const wchar_t* format, ...) {
    // Formatted into a separate buffer first: the format or a %s argument may be this string's
    // own text.
    host::WideBuffer text;
    va_list args;
    va_start(args, format);
    host::appendWidePrintf(text, format, args);
    va_end(args);
    assign(text.data(), text.size());
    return m_data;
}

// ---- GuStringFileName -----------------------------------------------------------------------

GuStringFileName::GuStringFileName(const GuString& fileName) : m_fullName(fileName) {}

GuStringFileName::GuStringFileName(const wchar_t* fileName) : m_fullName(fileName) {}

GuStringFileName::~GuStringFileName() = default;

GuString GuStringFileName::GetPathName() const {
    const std::wstring_view name(m_fullName.GetBuffer(), static_cast<std::size_t>(m_fullName.GetLength()));
    const std::size_t slash = name.rfind(L'/');
    if (slash == std::wstring_view::npos) return GuString(L".");
    if (slash == 0) return GuString(L"/");
    return GuString(name.data(), static_cast<int>(slash));
}

GuString GuStringFileName::GetFileName() const {
    const std::wstring_view name(m_fullName.GetBuffer(), static_cast<std::size_t>(m_fullName.GetLength()));
    const std::size_t slash = name.rfind(L'/');
    return GuString(slash == std::wstring_view::npos ? name.data() : name.data() + slash + 1);
}

// ---- GuConversionAllocator ------------------------------------------------------------------

struct GuConversionAllocator::Block {
    std::unique_ptr<Block> next;  // older
    std::unique_ptr<char[]> bytes;
    size_t size;
    size_t used;
};

namespace {

// Heap blocks grow geometrically so that a long writing operation makes few of them, up to a
// size past which doubling would only hold memory back.
constexpr size_t kFirstBlockBytes = 4096;
constexpr size_t kLargestGrownBlockBytes = size_t{1} << 20;

}  // namespace

GuConversionAllocator::GuConversionAllocator() : m_inlineUsed(0) {}

// Most allocators (one per number written) never leave their own storage: their destruction
// is one test, with the release of heap blocks kept apart.
GuConversionAllocator::~GuConversionAllocator() {
    if (m_blocks) releaseBlocks();
}

void GuConversionAllocator::releaseBlocks() {
    // Unlinked one by one: a recursive release could exhaust the stack on a long list.
    while (m_blocks) m_blocks = std::move(m_blocks->next);
}

char* GuConversionAllocator::allocate(size_t bytes) {
    if (bytes <= kInlineBytes - m_inlineUsed) {
        char* const where = m_inline + m_inlineUsed;
        m_inlineUsed += bytes;
        return where;
    }
    if (!m_blocks || bytes > m_blocks->size - m_blocks->used) {
        const size_t grown = m_blocks ? std::min(2 * m_blocks->size, kLargestGrownBlockBytes) : kFirstBlockBytes;
        const size_t size = std::max(bytes, grown);
        auto block = std::make_unique<Block>();
        block->bytes = std::make_unique_for_overwrite<char[]>(size);
        block->size = size;
        block->used = 0;
        block->next = std::move(m_blocks);
        m_blocks = std::move(block);
    }
    char* const where = m_blocks->bytes.get() + m_blocks->used;
    m_blocks->used += bytes;
    return where;
}

const char* GuConversionAllocator::UnicodeToAnsi(const wchar_t* text) {
    if (text == nullptr) return "";
    // Number text and most names are ASCII: narrowed in one pass straight into the free inline
    // storage, without measuring or encoding first. Anything else takes the general way below.
    char* const out = m_inline + m_inlineUsed;
    const size_t room = kInlineBytes - m_inlineUsed;
    for (size_t i = 0; i < room; ++i) {
        const wchar_t c = text[i];
        if (c == L'\0') {
            out[i] = '\0';
            m_inlineUsed += i + 1;
            return out;
        }
        if (c < 0 || c >= 0x80) break;
        out[i] = static_cast<char>(c);
    }
    return encode(text);
}

const char* GuConversionAllocator::encode(const wchar_t* text) {
    const std::wstring_view wide(text);
    const size_t bytes = host::utf8::encodedSize(wide);
    char* const out = allocate(bytes + 1);
    host::utf8::encode(wide, {out, bytes});
    out[bytes] = '\0';
    return out;
}
