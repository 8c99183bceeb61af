// hoststr: the host's string library.
//
// All text the plug-in builds (file names, messages, DEF names, every number written into a
// VRML file) lives in a GuString. Number text never depends on the process locale: the decimal
// point is always ".".
//
// Narrow text crossing this boundary is UTF-8: the narrow constructors decode it, and
// GuConversionAllocator::UnicodeToAnsi encodes to it. Bytes that are not valid UTF-8 are taken
// one by one as Latin-1 characters, so no input is ever rejected.
//
// Failures: the string functions have no failure result. std::bad_alloc and std::length_error
// propagate from any operation that grows a string; a format conversion or radix that no caller
// uses is a programming error, reported on stderr before the process aborts.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

// Copies and moves never share a buffer; a moved-from string is empty and usable.
class GuString {
public:
    GuString();
    GuString(const GuString& other);
    GuString(GuString&& other) noexcept;
    // Narrow text; `length` counts bytes, 0 (or less) means "up to the NUL". A given length
    // still stops at a NUL, so it may exceed the text. A null `text` gives "".
    GuString(const char* text, int length = 0);
    // Wide text; `length` counts characters, as for the narrow constructor.
    GuString(const wchar_t* text, int length = 0);
    // The number as text: with a null `format` the shortest plain decimal text that reads back
    // as the same float (as FromFloat(value, -1)); otherwise Format(format, value).
    GuString(float value, const wchar_t* format);
    ~GuString();

    GuString& operator=(const GuString& other);
    GuString& operator=(GuString&& other) noexcept;
    GuString& operator=(const char* text);

    // Mutators return the string's own NUL-terminated buffer, valid until the next change.
    // `length` 0 means "up to the NUL" (and a given length stops at a NUL too); null text
    // appends nothing. The text may be this string's own.
    const wchar_t* Append(const char* text, size_t length = 0);
    const wchar_t* Append(const wchar_t* text, size_t length = 0);
    // One byte: ASCII, or beyond it the Latin-1 character (a lone byte is never a UTF-8
    // sequence). A NUL is not stored, since it would end the text for every reader.
    const wchar_t* Append(char c);
    // Inserts before the character at `position`; a position below 0 inserts in front, one at or
    // past the end appends.
    const wchar_t* Insert(int position, const wchar_t* text);
    const wchar_t* Insert(int position, wchar_t c);
    // Removes every occurrence of `c`; returns how many were removed.
    int Remove(wchar_t c);
    // Replaces every `from` with `to`; replacing with a NUL ends the text at the first `from`.
    const wchar_t* Replace(wchar_t from, wchar_t to);

    // Decimal text of `value` ("-12"). `radix` must be 10: callers write decimal numbers only,
    // and any other radix is a programming error (a line on stderr, then abort).
    const wchar_t* FromInt(int value, int radix = 10);
    // precision -1 (or any negative): the shortest plain decimal text that reads back as the
    // same float, never an exponent ("1", "0.7", "0.5019608", "-0"); precision >= 0: that many
    // decimals, rounded from the float's exact value (an exact tie to the even digit).
    // Infinity and NaN are "inf", "-inf" and "nan".
    const wchar_t* FromFloat(float value, int precision = -1);
    // printf-style formatting with a wide format, locale-independent; replaces the text (the
    // format and the arguments may be this string's own text). The conversions are those the
    // callers use, with the host platform's wide conventions: %d an int, %f a double with six
    // decimals, %s a wide string, %S a narrow (UTF-8) one, %% a percent sign. Any other
    // directive is a programming error (a line on stderr naming it, then abort): the string
    // functions have no failure result. A null format gives "".
    const wchar_t* Format(const wchar_t* format, ...);

    int GetLength() const { return m_length; }
    unsigned char IsEmpty() const { return m_length == 0; }
    const wchar_t* GetBuffer() const { return m_data; }
    operator const wchar_t*() const { return m_data; }

private:
    // Short text lives in m_inline, so number text needs no heap block: 40 characters hold any
    // int and the shortest text of every float of magnitude 1e-29 or more (only
    // tinier floats, up to 48 characters, and long text take the heap).
    static constexpr int kInlineCapacity = 40;

    void reserve(std::size_t capacity);
    void assign(const wchar_t* text, std::size_t length);
    void assignAscii(std::string_view text);
    void appendNarrow(const char* text, std::size_t length);
    void appendWide(const wchar_t* text, std::size_t length);
    void resetToInline();

    wchar_t* m_data;  // m_inline or m_heap
    int m_length;
    int m_capacity;  // characters available, not counting the NUL
    std::unique_ptr<wchar_t[]> m_heap;
    wchar_t m_inline[kInlineCapacity + 1];
};

// A file name with its path part.
class GuStringFileName {
public:
    explicit GuStringFileName(const GuString& fileName);
    explicit GuStringFileName(const wchar_t* fileName);
    ~GuStringFileName();

    // The directory part: everything before the last '/' ("/" for a file in the root, "." for a
    // name without a directory).
    GuString GetPathName() const;
    // The name after the last '/'.
    GuString GetFileName() const;
    const GuString& GetFullName() const { return m_fullName; }

private:
    GuString m_fullName;
};

// A scope object that owns the narrow text it hands out: every pointer returned by
// UnicodeToAnsi stays valid until the allocator is destroyed. One allocator per writing
// operation; the first conversions use the allocator's own storage, so converting a number
// allocates nothing.
class GuConversionAllocator {
public:
    GuConversionAllocator();
    ~GuConversionAllocator();
    GuConversionAllocator(const GuConversionAllocator&) = delete;
    GuConversionAllocator& operator=(const GuConversionAllocator&) = delete;

    // UTF-8 text of `text` (null gives ""), valid while the allocator lives.
    const char* UnicodeToAnsi(const wchar_t* text);

    // Bytes of converted text (each with its NUL) that the allocator's own storage holds.
    static constexpr size_t kInlineBytes = 256;

private:

    char* allocate(size_t bytes);
    const char* encode(const wchar_t* text);
    void releaseBlocks();

    char m_inline[kInlineBytes];
    size_t m_inlineUsed;
    struct Block;
    std::unique_ptr<Block> m_blocks;  // heap blocks for text that does not fit inline, newest first
};
