// Number text in GuString: FromInt, FromFloat and the float constructor. The text must read
// back exactly, never depend on the process locale, and cost no heap allocation.
#include "heap_counter.h"
#include "hoststr.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <string>

namespace {

std::wstring text(const GuString& s) { return {s.GetBuffer(), static_cast<size_t>(s.GetLength())}; }

std::string ascii(const GuString& s) {
    std::string out;
    for (int i = 0; i < s.GetLength(); ++i) out += static_cast<char>(s.GetBuffer()[i]);
    return out;
}

std::wstring fromFloat(float value, int precision = -1) {
    GuString s;
    s.FromFloat(value, precision);
    return text(s);
}

std::wstring fromInt(int value, int radix = 10) {
    GuString s;
    s.FromInt(value, radix);
    return text(s);
}

TEST(GuStringNumber, FromIntInEveryRadix) {
    EXPECT_EQ(fromInt(0), L"0");
    EXPECT_EQ(fromInt(42), L"42");
    EXPECT_EQ(fromInt(-1), L"-1");
    EXPECT_EQ(fromInt(std::numeric_limits<int>::max()), L"2147483647");
    EXPECT_EQ(fromInt(std::numeric_limits<int>::min()), L"-2147483648");
    EXPECT_EQ(fromInt(255, 16), L"ff");
    EXPECT_EQ(fromInt(-255, 16), L"-ff");
    EXPECT_EQ(fromInt(5, 2), L"101");
    EXPECT_EQ(fromInt(std::numeric_limits<int>::min(), 2), L"-1" + std::wstring(31, L'0'));
    EXPECT_EQ(fromInt(35, 36), L"z");
    EXPECT_EQ(fromInt(64, 8), L"100");
    EXPECT_EQ(fromInt(123, 1), L"123");   // no such radix: decimal
    EXPECT_EQ(fromInt(123, 37), L"123");

    GuString s(L"some earlier, longer text");
    const wchar_t* returned = s.FromInt(7);
    EXPECT_EQ(returned, s.GetBuffer());
    EXPECT_EQ(text(s), L"7");
}

TEST(GuStringNumber, FromFloatGivesTheShortestPlainDecimal) {
    EXPECT_EQ(fromFloat(1.0f), L"1");
    EXPECT_EQ(fromFloat(0.7f), L"0.7");
    EXPECT_EQ(fromFloat(128 / 255.0f), L"0.5019608");
    EXPECT_EQ(fromFloat(0.1f), L"0.1");
    EXPECT_EQ(fromFloat(-2.5f), L"-2.5");
    EXPECT_EQ(fromFloat(100.0f), L"100");
    EXPECT_EQ(fromFloat(1e-10f), L"0.0000000001");
    EXPECT_EQ(fromFloat(1e10f), L"10000000000");
    EXPECT_EQ(fromFloat(16777216.0f), L"16777216");
    EXPECT_EQ(fromFloat(0.0f), L"0");
    EXPECT_EQ(fromFloat(-0.0f), L"-0");
    EXPECT_EQ(fromFloat(std::numeric_limits<float>::infinity()), L"inf");
    EXPECT_EQ(fromFloat(-std::numeric_limits<float>::infinity()), L"-inf");
    EXPECT_EQ(fromFloat(std::numeric_limits<float>::quiet_NaN()), L"nan");
    EXPECT_EQ(fromFloat(-std::numeric_limits<float>::quiet_NaN()), L"nan");
    // All digits of the largest float: every 39-digit text is equally short, so the closest.
    EXPECT_EQ(fromFloat(-std::numeric_limits<float>::max()), L"-340282346638528859811704183484516925440");
    // The smallest float: longer than the inline storage.
    EXPECT_EQ(fromFloat(std::numeric_limits<float>::denorm_min()), L"0." + std::wstring(44, L'0') + L"1");

    EXPECT_EQ(text(GuString(0.7f, nullptr)), L"0.7");
    EXPECT_EQ(text(GuString(128 / 255.0f, nullptr)), L"0.5019608");
    EXPECT_EQ(text(GuString(0.7f, L"%.3f")), L"0.700");
    EXPECT_EQ(text(GuString(0.25f, L"<%g>")), L"<0.25>");
}

TEST(GuStringNumber, FromFloatWithPrecisionRoundsTheExactValue) {
    EXPECT_EQ(fromFloat(127 / 255.0f, 1), L"0.5");
    EXPECT_EQ(fromFloat(1.0f, 3), L"1.000");
    EXPECT_EQ(fromFloat(0.7f, 0), L"1");
    EXPECT_EQ(fromFloat(0.7f, 9), L"0.699999988");  // the float's own value, not 0.7
    EXPECT_EQ(fromFloat(2.5f, 0), L"2");            // an exact tie goes to the even digit
    EXPECT_EQ(fromFloat(3.5f, 0), L"4");
    EXPECT_EQ(fromFloat(0.125f, 2), L"0.12");
    EXPECT_EQ(fromFloat(-0.25f, 1), L"-0.2");
    EXPECT_EQ(fromFloat(-1e-10f, 3), L"-0.000");
    EXPECT_EQ(fromFloat(1e-10f, 12), L"0.000000000100");
    EXPECT_EQ(fromFloat(std::numeric_limits<float>::max(), 2), L"340282346638528859811704183484516925440.00");
    EXPECT_EQ(fromFloat(-std::numeric_limits<float>::infinity(), 2), L"-inf");
    const std::wstring many = fromFloat(0.1f, 60);
    EXPECT_EQ(many.size(), 62u);
    EXPECT_EQ(many.substr(0, 30), L"0.1000000014901161193847656250");
    EXPECT_EQ(many.substr(30), std::wstring(32, L'0'));
    EXPECT_EQ(fromFloat(0.5f, -5), L"0.5");  // any negative precision: the shortest text
}

TEST(GuStringNumber, ShortestTextReadsBackAsTheSameFloat) {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<std::uint32_t> anyBits;
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    GuString s;
    for (int i = 0; i < 200000; ++i) {
        float value = i % 2 == 0 ? std::bit_cast<float>(anyBits(random)) : coordinate(random);
        if (!std::isfinite(value)) continue;
        s.FromFloat(value);
        const std::string number = ascii(s);
        ASSERT_EQ(number.find_first_of("eE,"), std::string::npos) << number;
        if (number.find('.') != std::string::npos) {
            ASSERT_NE(number.back(), '0') << number;
        }
        char* end = nullptr;
        const float back = std::strtof(number.c_str(), &end);
        ASSERT_EQ(*end, '\0') << number;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(value)) << number;
    }
}

// Fixed text of a float's value (FromFloat with a precision, "%f" of a float widened to double)
// is found by integer arithmetic where the scaled value is exact in a double; the general
// conversion of the same double is the reference, across every exponent a float has, every
// precision the short way takes and the ones past it, and exact ties, which must go to the
// even digit.
TEST(GuStringNumber, FixedTextOfFloatsMatchesTheGeneralConversion) {
    std::mt19937 random(20261205);
    std::uniform_int_distribution<std::uint32_t> anyBits;
    std::uniform_int_distribution<int> anyPrecision(0, 14);
    std::uniform_int_distribution<std::uint32_t> oddMantissa(0, (1u << 23) - 1);
    GuString fromFloatText;
    GuString formatted;
    for (int i = 0; i < 300000; ++i) {
        const int precision = anyPrecision(random);
        float value;
        if (i % 3 == 0) {
            // m / 2^(p+1) with m odd: m 5^p / 2 is a half, an exact tie at p decimals.
            value = std::ldexp(static_cast<float>(2 * oddMantissa(random) + 1), -(precision + 1));
            if (i % 2 == 0) value = -value;
        } else {
            value = std::bit_cast<float>(anyBits(random));
        }
        if (!std::isfinite(value)) continue;
        char reference[512];
        const auto end = std::to_chars(reference, reference + sizeof reference, static_cast<double>(value),
                                       std::chars_format::fixed, precision).ptr;
        const std::string expected(reference, end);

        fromFloatText.FromFloat(value, precision);
        ASSERT_EQ(ascii(fromFloatText), expected) << "FromFloat(" << value << ", " << precision << ")";
        formatted.Format(L"%.*f", precision, static_cast<double>(value));
        ASSERT_EQ(ascii(formatted), expected) << "%." << precision << "f of " << value;
    }
}

// Puts the C library into a locale whose decimal point is a comma for the object's life: an
// installed one, or else one built into a temporary directory from the system's locale
// sources.
class CommaDecimalLocale {
public:
    CommaDecimalLocale() : m_saved(std::setlocale(LC_ALL, nullptr)) {
        if (const char* path = std::getenv("LOCPATH")) m_savedLocPath = path;
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR",
                                 "nl_NL.UTF-8", "it_IT.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8"}) {
            if (use(name)) return;
        }
        const std::string build = "localedef -i de_DE -f UTF-8 '" + (m_built.path() / "de_DE.UTF-8").string() +
                                  "' >/dev/null 2>&1";
        if (std::system(build.c_str()) == -1) return;
        setenv("LOCPATH", m_built.path().c_str(), 1);
        if (!use("de_DE.UTF-8")) restoreLocPath();
    }
    ~CommaDecimalLocale() {
        std::setlocale(LC_ALL, m_saved.c_str());
        restoreLocPath();
    }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    const std::string& name() const { return m_name; }

private:
    bool use(const char* name) {
        if (std::setlocale(LC_ALL, name) == nullptr) return false;
        if (std::string(std::localeconv()->decimal_point) == ",") {
            m_name = name;
            return true;
        }
        std::setlocale(LC_ALL, m_saved.c_str());
        return false;
    }
    void restoreLocPath() {
        if (m_savedLocPath) {
            setenv("LOCPATH", m_savedLocPath->c_str(), 1);
        } else {
            unsetenv("LOCPATH");
        }
    }

    std::string m_saved;
    std::optional<std::string> m_savedLocPath;
    testing_support::TempDir m_built;
    std::string m_name;  // empty: no comma locale could be had
};

TEST(GuStringNumber, TextIgnoresADecimalCommaProcessLocale) {
    const CommaDecimalLocale locale;
    if (locale.name().empty()) GTEST_SKIP() << "no locale with a decimal comma is installed or can be built";
    char check[16];
    std::snprintf(check, sizeof check, "%.1f", 0.5);
    ASSERT_STREQ(check, "0,5") << "the C library does not use " << locale.name();

    EXPECT_EQ(fromFloat(0.7f), L"0.7");
    EXPECT_EQ(fromFloat(127 / 255.0f, 1), L"0.5");
    EXPECT_EQ(text(GuString(1.5f, nullptr)), L"1.5");
    GuString s;
    s.Format(L"%f %.2e %g %G %#.0f", 0.5, 12345.0, 0.25, 1e-10, 3.0);
    EXPECT_EQ(text(s), L"0.500000 1.23e+04 0.25 1E-10 3.");
    s.Format(L"%d %u", 1234567, 7654321u);  // no thousands grouping either
    EXPECT_EQ(text(s), L"1234567 7654321");
}

// A C++ locale with a decimal comma that leaves the C library alone: catches text built with
// the global C++ locale (streams).
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};
struct WideCommaPunct : std::numpunct<wchar_t> {
    wchar_t do_decimal_point() const override { return L','; }
    wchar_t do_thousands_sep() const override { return L'.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(GuStringNumber, TextIgnoresTheGlobalCppLocale) {
    const std::locale comma(std::locale(std::locale::classic(), new CommaPunct), new WideCommaPunct);
    const std::locale previous = std::locale::global(comma);
    GuString s;
    s.Format(L"%f|%d", 1234.5, 1234567);
    const std::wstring formatted = text(s);
    const std::wstring shortest = fromFloat(1234.5f);
    const std::wstring fixed = fromFloat(1234.5f, 2);
    std::locale::global(previous);
    EXPECT_EQ(formatted, L"1234.500000|1234567");
    EXPECT_EQ(shortest, L"1234.5");
    EXPECT_EQ(fixed, L"1234.50");
}

TEST(GuStringNumber, TypicalNumberTextNeedsNoHeap) {
    GuString reused;
    GuString formatted;
    const long before = testing_support::heapAllocations();
    for (int i = 0; i < 1000; ++i) {
        reused.FromFloat(static_cast<float>(i) * 0.37f - 100.0f);
        reused.FromFloat(static_cast<float>(i) / 255.0f, 3);
        reused.FromFloat(-3.4e38f);
        reused.FromInt(-i * 1234567);
        formatted.Format(L"%f %f %f ", i * 0.5, -i * 1e3, 1e-7);
        const GuString number(static_cast<float>(i) * 1e-20f, nullptr);
    }
    const long after = testing_support::heapAllocations();
    EXPECT_EQ(after - before, 0);

    // Text longer than the inline storage still comes out whole.
    reused.FromFloat(1e-40f);
    EXPECT_EQ(ascii(reused), "0." + std::string(39, '0') + "1");
    EXPECT_EQ(std::strtof(ascii(reused).c_str(), nullptr), 1e-40f);
}

}  // namespace
