// UTF-8 <-> wide text at the host's narrow boundary (narrow GuString input, %S arguments,
// GuConversionAllocator output).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace host::utf8 {

// The host library runs where wchar_t holds a whole code point, so decoding never has to split
// a character into surrogates.
static_assert(sizeof(wchar_t) == 4, "wchar_t is expected to hold UTF-32");

// Decodes `bytes` into `out`, which must have room for bytes.size() characters (UTF-8 never
// decodes to more characters than it has bytes). Returns the characters written. A byte that
// does not start a well-formed sequence (stray continuation byte, overlong form, surrogate,
// beyond U+10FFFF, cut short) is taken alone as the Latin-1 character of that value, so no
// input is rejected and text in a legacy 8-bit encoding still shows its ASCII part intact.
std::size_t decode(std::string_view bytes, std::span<wchar_t> out);

// The number of bytes that hold the first `characters` characters of the NUL-terminated
// `text`, as decode() counts characters. Reads no byte past the NUL nor past those characters,
// so it is safe on an unterminated array that holds at least that many characters.
std::size_t prefixBytes(const char* text, std::size_t characters);

// The number of bytes encode() writes for `text`.
std::size_t encodedSize(std::wstring_view text);

// Encodes `text` into `out`, which must have room for encodedSize(text) bytes; returns the
// bytes written. Values that are not Unicode scalar values (surrogates, beyond U+10FFFF,
// negative) become U+FFFD, so the output is always valid UTF-8.
std::size_t encode(std::wstring_view text, std::span<char> out);

}  // namespace host::utf8
