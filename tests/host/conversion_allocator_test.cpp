// GuConversionAllocator (wide text to UTF-8 that lives as long as the allocator) and the UTF-8
// coding underneath it and the narrow GuString input.
#include "heap_counter.h"
#include "hoststr.h"
#include "utf8_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool insideObject(const GuConversionAllocator& allocator, const char* text) {
    const auto* begin = reinterpret_cast<const char*>(&allocator);
    return text >= begin && text < begin + sizeof allocator;
}

TEST(GuConversionAllocator, EncodesUtf8) {
    GuConversionAllocator allocator;
    EXPECT_STREQ(allocator.UnicodeToAnsi(L"plain ASCII"), "plain ASCII");
    EXPECT_STREQ(allocator.UnicodeToAnsi(L"na\u00EFve \u20AC \U0001F600"),
                 "na\xC3\xAFve \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_STREQ(allocator.UnicodeToAnsi(L"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF"),
                 "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    EXPECT_STREQ(allocator.UnicodeToAnsi(L""), "");
    EXPECT_STREQ(allocator.UnicodeToAnsi(nullptr), "");
    // Not Unicode scalar values: U+FFFD, so the output stays valid UTF-8.
    const wchar_t invalid[] = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000), -1, L'b', 0};
    EXPECT_STREQ(allocator.UnicodeToAnsi(invalid), "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "b");
    // Back through the narrow constructor unchanged.
    const wchar_t* mixed = L"x = 0.5 \u00B5m, \u6E29\u5EA6 \U0001F321";
    EXPECT_EQ(std::wstring(GuString(allocator.UnicodeToAnsi(mixed)).GetBuffer()), mixed);
}

TEST(GuConversionAllocator, FirstConversionsUseItsOwnStorage) {
    const long before = testing_support::heapAllocations();
    GuConversionAllocator allocator;
    std::vector<const char*> numbers;
    numbers.reserve(64);
    const long afterReserve = testing_support::heapAllocations();
    for (int i = 0; i < 20; ++i) numbers.push_back(allocator.UnicodeToAnsi(L"-123.4567"));  // 10 bytes each
    EXPECT_EQ(testing_support::heapAllocations(), afterReserve);
    for (const char* number : numbers) {
        EXPECT_TRUE(insideObject(allocator, number));
        EXPECT_STREQ(number, "-123.4567");
    }
    EXPECT_EQ(afterReserve - before, 1);  // only the vector's own block
}

// ASCII text is narrowed straight into the free part of the allocator's own storage; text that
// ends exactly at its end still fits there, one character more goes elsewhere, and text that
// turns out not to be ASCII part of the way is encoded whole.
TEST(GuConversionAllocator, TextAtTheEndOfItsOwnStorage) {
    for (const size_t free : {size_t{1}, size_t{2}, size_t{7}, size_t{64}}) {
        GuConversionAllocator allocator;
        // Fills all but `free` bytes of the storage (each text takes its length and the NUL).
        size_t used = 0;
        const char* filler = nullptr;
        while (true) {
            const size_t left = GuConversionAllocator::kInlineBytes - used;
            if (left == free) break;
            const size_t take = std::min<size_t>(left - free, 50) - 1;
            filler = allocator.UnicodeToAnsi(std::wstring(take, L'f').c_str());
            ASSERT_TRUE(insideObject(allocator, filler));
            used += take + 1;
        }
        const std::wstring fits(free - 1, L'7');
        const char* atEnd = allocator.UnicodeToAnsi(fits.c_str());
        EXPECT_EQ(std::string(atEnd), std::string(free - 1, '7'));
        EXPECT_TRUE(insideObject(allocator, atEnd)) << free << " bytes free";
        const char* beyond = allocator.UnicodeToAnsi(L"12");
        EXPECT_STREQ(beyond, "12");
        EXPECT_FALSE(insideObject(allocator, beyond));
        EXPECT_EQ(std::string(atEnd), std::string(free - 1, '7')) << "overwritten by the next text";
    }
    GuConversionAllocator allocator;
    EXPECT_STREQ(allocator.UnicodeToAnsi(L"12.5 \u00B0C"), "12.5 \xC2\xB0" "C");
    EXPECT_STREQ(allocator.UnicodeToAnsi(L"next"), "next");
}

TEST(GuConversionAllocator, EarlierTextStaysValidAsStorageGrows) {
    GuConversionAllocator allocator;
    std::vector<std::pair<const char*, std::string>> converted;
    for (int i = 0; i < 5000; ++i) {
        std::wstring wide = std::to_wstring(i * 7919) + L".\u00E9";
        if (i % 500 == 0) wide += std::wstring(static_cast<size_t>(i) * 20, L'\u20AC');  // larger than a block
        std::string expected = std::to_string(i * 7919) + ".\xC3\xA9";
        for (size_t k = 0; k < static_cast<size_t>(i % 500 == 0 ? i * 20 : 0); ++k) expected += "\xE2\x82\xAC";
        converted.emplace_back(allocator.UnicodeToAnsi(wide.c_str()), expected);
    }
    bool someOutside = false;
    for (const auto& [pointer, expected] : converted) {
        ASSERT_EQ(std::strlen(pointer), expected.size());
        ASSERT_EQ(std::string(pointer), expected);
        someOutside = someOutside || !insideObject(allocator, pointer);
    }
    EXPECT_TRUE(someOutside);
}

TEST(Utf8Text, EveryScalarValueSurvivesEncodingAndDecoding) {
    std::wstring all;
    for (wchar_t c = 1; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c > 0xDFFF) all += c;
    }
    std::string bytes(host::utf8::encodedSize(all), '\0');
    EXPECT_EQ(bytes.size(), 127u + 2u * (0x800 - 0x80) + 3u * (0x10000 - 0x800 - 0x800) + 4u * (0x110000 - 0x10000));
    ASSERT_EQ(host::utf8::encode(all, bytes), bytes.size());
    std::wstring back(bytes.size(), L'\0');
    back.resize(host::utf8::decode(bytes, back));
    EXPECT_TRUE(back == all);
}

TEST(Utf8Text, PrefixBytesCountsWholeCharacters) {
    EXPECT_EQ(host::utf8::prefixBytes("na\xC3\xAFve", 3), 4u);
    EXPECT_EQ(host::utf8::prefixBytes("\xF0\x9F\x98\x80!", 1), 4u);
    EXPECT_EQ(host::utf8::prefixBytes("ab", 10), 2u);               // stops at the NUL
    EXPECT_EQ(host::utf8::prefixBytes("\xE2\x82", 1), 1u);          // a cut sequence: one Latin-1 byte
    EXPECT_EQ(host::utf8::prefixBytes("\xE2\x82", 5), 2u);
    EXPECT_EQ(host::utf8::prefixBytes("abc", 0), 0u);
}

}  // namespace
