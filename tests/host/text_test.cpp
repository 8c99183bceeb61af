// The host's text: GuString from narrow (UTF-8) and wide text, its editing calls, number text
// that must read back exactly and round right whatever the locale, the printf conversions the
// plug-in uses, and the conversion allocator's UTF-8.
#include "hoststr.h"
#include "test_support.h"
#include "utf8_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <random>

namespace {

std::wstring text(const GuString& s) { return {s.GetBuffer(), static_cast<size_t>(s.GetLength())}; }
std::string ascii(const GuString& s) { return {s.GetBuffer(), s.GetBuffer() + s.GetLength()}; }

std::wstring fromFloat(float value, int precision = -1) {
    GuString s;
    s.FromFloat(value, precision);
    return text(s);
}
template <typename... Args>
std::wstring format(const wchar_t* directive, Args... args) {
    GuString s;
    s.Format(directive, args...);
    return text(s);
}

TEST(Text, NarrowInputIsUtf8OrElseLatin1) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"na\xC3\xAFve", L"na\u00EFve"},
        {"\xE2\x82\xAC 5 \xF0\x9F\x98\x80", L"\u20AC 5 \U0001F600"},
        {"abcdefg\xC3\xA9hijklmnopqrstuvwxyz0123456789\xE2\x82\xAC", L"abcdefg\u00E9hijklmnopqrstuvwxyz0123456789\u20AC"},
        {"caf\xE9", L"caf\u00E9"},
        {"\x80" "a", L"\u0080a"},
        {"\xC0\xAF", L"\u00C0\u00AF"},                          // overlong '/'
        {"\xED\xA0\x80", L"\u00ED\u00A0\u0080"},                // surrogate
        {"\xF4\x90\x80\x80", L"\u00F4\u0090\u0080\u0080"},      // past U+10FFFF
        {"ab\xE2\x82", L"ab\u00E2\u0082"},                      // cut short
        {"\xFF\xC3\xA9", L"\u00FF\u00E9"},
    };
    for (const auto& [narrow, wide] : cases) EXPECT_EQ(text(GuString(narrow)), wide) << narrow;
    EXPECT_EQ(text(GuString("na\xC3\xAFve", 3)), L"na\u00C3") << "a length cuts bytes";
    EXPECT_EQ(text(GuString(static_cast<const char*>(nullptr))), L"");
}

TEST(Text, EditingCalls) {
    GuString t(L"world");
    t.Insert(0, L"hello ");
    t.Insert(-7, L"<");
    t.Insert(1000, L">");
    t.Insert(6, L',');
    t.Append("\xC3\xA9", 2);
    t.Append('!');
    EXPECT_EQ(text(t), L"<hello, world>\u00E9!");
    EXPECT_EQ(t.Remove(L'l'), 3);
    const wchar_t* replaced = t.Replace(L'o', L'0');
    EXPECT_EQ(replaced, t.GetBuffer());
    EXPECT_EQ(text(t), L"<he0, w0rd>\u00E9!");

    for (const auto& [full, path] : {std::pair{L"/home/user/scene.wrl", L"/home/user"}, {L"/scene.wrl", L"/"}, {L"scene.wrl", L"."}})
        EXPECT_EQ(text(GuStringFileName(full).GetPathName()), path);
}

TEST(Text, Conversions) {
    EXPECT_EQ(format(L"%d|%d|%d", 0, -2147483647 - 1, 2147483647), L"0|-2147483648|2147483647");
    EXPECT_EQ(format(L"%f %f %f %%", 0.5, -1234.5678, 1e-7), L"0.500000 -1234.567800 0.000000 %");
    EXPECT_EQ(format(L"%s|%S|%S", L"wide \u20AC", "na\xC3\xAFve", "caf\xE9"), L"wide \u20AC|na\u00EFve|caf\u00E9");
    EXPECT_EQ(format(L"%s %S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)), L"(null) (null)");
    const std::wstring block(300, L'a');
    EXPECT_EQ(format(L"%s-%s", block.c_str(), block.c_str()), block + L"-" + block);
    GuString self(L"scene");
    self.Format(L"%s.wrl", self.GetBuffer());
    EXPECT_EQ(text(self), L"scene.wrl");

    const std::pair<int, const wchar_t*> ints[] = {{0, L"0"}, {42, L"42"}, {-1, L"-1"}, {2147483647, L"2147483647"}, {-2147483647 - 1, L"-2147483648"}};
    for (const auto& [value, expected] : ints) EXPECT_EQ(std::wstring(GuString(L"earlier, longer text").FromInt(value)), expected);
}

TEST(Text, FloatText) {
    const std::tuple<float, int, const wchar_t*> cases[] = {
        {1.0f, -1, L"1"}, {0.7f, -1, L"0.7"}, {128 / 255.0f, -1, L"0.5019608"}, {-2.5f, -1, L"-2.5"},
        {100.0f, -1, L"100"}, {1e-10f, -1, L"0.0000000001"}, {1e10f, -1, L"10000000000"}, {-0.0f, -1, L"-0"},
        {std::numeric_limits<float>::infinity(), -1, L"inf"}, {std::numeric_limits<float>::quiet_NaN(), -1, L"nan"},
        {-std::numeric_limits<float>::max(), -1, L"-340282346638528859811704183484516925440"},
        {0.5f, -5, L"0.5"}, {2.5f, 0, L"2"}, {3.5f, 0, L"4"}, {-1e-10f, 3, L"-0.000"},  // more in the loop below
        {-std::numeric_limits<float>::infinity(), 2, L"-inf"}};
    for (const auto& [value, precision, expected] : cases) EXPECT_EQ(fromFloat(value, precision), expected) << value << " " << precision;
    EXPECT_EQ(fromFloat(std::numeric_limits<float>::denorm_min()), L"0." + std::wstring(44, L'0') + L"1") << "past the inline storage";
    EXPECT_EQ(text(GuString(128 / 255.0f, nullptr)), L"0.5019608");

    // Any float: the shortest text reads back as the same float; fixed text (FromFloat with a
    // precision, %f) equals the general conversion's, ties (m / 2^(p+1), m odd) to the even digit.
    std::mt19937 random(20261205);
    GuString s;
    for (int i = 0; i < 100000; ++i) {
        const int precision = static_cast<int>(random() % 15);
        float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (i % 3 == 0) value = std::ldexp(static_cast<float>(2 * (random() % (1u << 23)) + 1), -(precision + 1));
        if (!std::isfinite(value)) continue;
        s.FromFloat(value);
        ASSERT_EQ(std::bit_cast<std::uint32_t>(std::strtof(ascii(s).c_str(), nullptr)), std::bit_cast<std::uint32_t>(value)) << ascii(s);
        ASSERT_EQ(ascii(s).find_first_of("eE"), std::string::npos) << ascii(s);
        char reference[512];
        const auto end = std::to_chars(reference, reference + sizeof reference, static_cast<double>(value), std::chars_format::fixed, precision).ptr;
        s.FromFloat(value, precision);
        ASSERT_EQ(ascii(s), std::string(reference, end)) << value << " to " << precision << " decimals";
        const auto sixEnd = std::to_chars(reference, reference + sizeof reference, static_cast<double>(value), std::chars_format::fixed, 6).ptr;
        s.Format(L"%f", static_cast<double>(value));
        ASSERT_EQ(ascii(s), std::string(reference, sixEnd)) << "%f of " << value;
    }
}

TEST(Text, NumberTextIgnoresLocales) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8"})  // a decimal comma, where installed
        if (std::setlocale(LC_ALL, name) != nullptr) break;
    struct CommaPunct : std::numpunct<wchar_t> {
        wchar_t do_decimal_point() const override { return L','; }
        wchar_t do_thousands_sep() const override { return L'.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    const std::wstring formatted = format(L"%f|%d", 1234.5, 1234567), shortest = fromFloat(1234.5f), fixed = fromFloat(1234.5f, 2);
    std::locale::global(previous);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(formatted, L"1234.500000|1234567");
    EXPECT_EQ(shortest, L"1234.5");
    EXPECT_EQ(fixed, L"1234.50");
}

TEST(Text, ConversionAllocator) {
    GuConversionAllocator allocator;
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"na\u00EFve \u20AC \U0001F600", "na\xC3\xAFve \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {L"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
        {L"", ""}, {nullptr, ""}};
    for (const auto& [wide, utf8] : cases) EXPECT_STREQ(allocator.UnicodeToAnsi(wide), utf8);
    const wchar_t invalid[] = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000), L'b', 0};
    EXPECT_STREQ(allocator.UnicodeToAnsi(invalid), "a\xEF\xBF\xBD\xEF\xBF\xBD" "b") << "U+FFFD keeps it valid UTF-8";

}

}  // namespace
