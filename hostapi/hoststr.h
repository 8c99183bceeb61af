// hoststr: the host's string library.
//
// All text the plug-in builds (file names, messages, DEF names, every number written into a
// VRML file) lives in a GuString. Number text never depends on the process locale: the decimal
// point is always ".".
//
// Narrow text crossing this boundary is UTF-8: the narrow constructors decode it, and
// GuConversionAllocator::UnicodeToAnsi encodes to it. Bytes that are not valid UTF-8 are taken
// one by one as Latin-1 characters, so no input is ever rejected.
#pragma once

#include <cstddef>

class GuString {
public:
    GuString();
    GuString(const GuString& other);
    GuString(GuString&& other) noexcept;
    // Narrow text; `length` 0 means "up to the NUL".
    GuString(const char* text, int length = 0);
    // Wide text; `length` 0 means "up to the NUL".
    GuString(const wchar_t* text, int length = 0);
    // The number as text: with a null `format` the shortest plain decimal text that reads back
    // as the same float (as FromFloat(value, -1)); otherwise Format(format, value).
    GuString(float value, const wchar_t* format);
    ~GuString();

    GuString& operator=(const GuString& other);
    GuString& operator=(GuString&& other) noexcept;
    GuString& operator=(const char* text);

    // Mutators return the string's own NUL-terminated buffer, valid until the next change.
    // `length` 0 means "up to the NUL".
    const wchar_t* Append(const char* text, size_t length = 0);
    const wchar_t* Append(const wchar_t* text, size_t length = 0);
    const wchar_t* Append(char c);
    // Inserts before the character at `position`; a position below 0 inserts in front, one past
    // the end appends.
    const wchar_t* Insert(int position, const wchar_t* text);
    const wchar_t* Insert(int position, wchar_t c);
    // Removes every occurrence of `c`; returns how many were removed.
    int Remove(wchar_t c);
    const wchar_t* Replace(wchar_t from, wchar_t to);

    // Decimal (or other radix, 2..36) text of `value`.
    const wchar_t* FromInt(int value, int radix = 10);
    // precision -1: the shortest plain decimal text that reads back as the same float, never an
    // exponent ("1", "0.7", "0.5019608"); precision >= 0: that many decimals, rounded.
    const wchar_t* FromFloat(float value, int precision = -1);
    // printf-style formatting with a wide format, locale-independent. Conversions follow the
    // host platform's wide printf: %s and %ls take a wide string, %S and %hs a narrow one;
    // %f prints a double with six decimals.
    const wchar_t* Format(const wchar_t* format, ...);

    int GetLength() const { return m_length; }
    unsigned char IsEmpty() const { return m_length == 0; }
    const wchar_t* GetBuffer() const { return m_data; }
    operator const wchar_t*() const { return m_data; }

private:
    static constexpr int kInlineCapacity = 40;  // holds any number text without a heap block

    void reserve(int capacity);
    void assign(const wchar_t* text, int length);
    void assignNarrow(const char* text, size_t length);
    void appendWide(const wchar_t* text, int length);

    wchar_t* m_data;
    int m_length;
    int m_capacity;  // characters available, not counting the NUL
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

private:
    static constexpr size_t kInlineBytes = 256;

    char* allocate(size_t bytes);

    char m_inline[kInlineBytes];
    size_t m_inlineUsed;
    struct Block;
    Block* m_blocks;  // heap blocks for text that does not fit inline, newest first
};
