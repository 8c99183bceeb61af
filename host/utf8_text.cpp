#include "utf8_text.h"

#include <cassert>
#include <cstdint>
#include <cstring>

namespace host::utf8 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Sequence {
    char32_t value;
    std::size_t length;  // 0: the bytes do not start a well-formed sequence
};

// One well-formed sequence at `p`, with at most `available` bytes readable. The bytes are read
// in order and reading stops at the first one that does not fit, so a NUL (never a valid
// continuation byte) ends the look-ahead: callers on NUL-terminated text may pass 4.
Sequence decodeSequence(const unsigned char* p, std::size_t available) {
    const unsigned lead = p[0];
    std::size_t length = 0;
    char32_t value = 0;
    // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF
    // (the table of well-formed byte sequences in the Unicode standard).
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {0, 0};
    }
    if (available < length) return {0, 0};
    if (p[1] < low || p[1] > high) return {0, 0};
    value = (value << 6) | (p[1] & 0x3F);
    for (std::size_t i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return {0, 0};
        value = (value << 6) | (p[i] & 0x3F);
    }
    return {value, length};
}

bool isScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

std::size_t encodedLength(char32_t c) {
    if (c < 0x80) return 1;
    if (c < 0x800) return 2;
    if (c < 0x10000 || !isScalarValue(c)) return 3;  // U+FFFD takes 3
    return 4;
}

}  // namespace

std::size_t decode(std::string_view bytes, std::span<wchar_t> out) {
    assert(out.size() >= bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    wchar_t* o = out.data();
    while (p < end) {
        // Most text is ASCII: take it eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t block;
            std::memcpy(&block, p, sizeof block);
            if (block & 0x8080808080808080u) break;
            for (int i = 0; i < 8; ++i) o[i] = static_cast<wchar_t>(p[i]);
            p += 8;
            o += 8;
        }
        if (p == end) break;
        if (*p < 0x80) {
            *o++ = static_cast<wchar_t>(*p++);
            continue;
        }
        const Sequence sequence = decodeSequence(p, static_cast<std::size_t>(end - p));
        if (sequence.length == 0) {
            *o++ = static_cast<wchar_t>(*p++);  // Latin-1
        } else {
            *o++ = static_cast<wchar_t>(sequence.value);
            p += sequence.length;
        }
    }
    return static_cast<std::size_t>(o - out.data());
}

std::size_t prefixBytes(const char* text, std::size_t characters) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t bytes = 0;
    for (; characters > 0 && p[bytes] != 0; --characters) {
        const std::size_t length = p[bytes] < 0x80 ? 1 : decodeSequence(p + bytes, 4).length;
        bytes += length == 0 ? 1 : length;
    }
    return bytes;
}

std::size_t encodedSize(std::wstring_view text) {
    std::size_t size = 0;
    for (const wchar_t c : text) size += encodedLength(static_cast<char32_t>(c));
    return size;
}

std::size_t encode(std::wstring_view text, std::span<char> out) {
    char* o = out.data();
    auto put = [&o](unsigned byte) { *o++ = static_cast<char>(byte); };
    for (const wchar_t wide : text) {
        char32_t c = static_cast<char32_t>(wide);
        if (c < 0x80) {
            put(c);
            continue;
        }
        if (!isScalarValue(c)) c = kReplacement;
        if (c < 0x800) {
            put(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            put(0xE0 | (c >> 12));
            put(0x80 | ((c >> 6) & 0x3F));
        } else {
            put(0xF0 | (c >> 18));
            put(0x80 | ((c >> 12) & 0x3F));
            put(0x80 | ((c >> 6) & 0x3F));
        }
        put(0x80 | (c & 0x3F));
    }
    assert(static_cast<std::size_t>(o - out.data()) <= out.size());
    return static_cast<std::size_t>(o - out.data());
}

}  // namespace host::utf8
