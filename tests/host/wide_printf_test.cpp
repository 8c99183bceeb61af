// The host's wide printf, through GuString::Format and the va_list functions of
// wide_printf.h: the host platform's string conventions, the numeric conversions checked
// against the C library (in the "C" locale), and long output.
#include "hoststr.h"
#include "test_support.h"
#include "wide_printf.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

template <typename... Args>
std::wstring format(const wchar_t* directive, Args... args) {
    GuString s;
    s.Format(directive, args...);
    return {s.GetBuffer(), static_cast<size_t>(s.GetLength())};
}

std::wstring viaVaList(const wchar_t* directive, ...) {
    va_list args;
    va_start(args, directive);
    std::wstring text = host::widePrintf(directive, args);
    va_end(args);
    return text;
}

void appendViaVaList(std::wstring& out, const wchar_t* directive, ...) {
    va_list args;
    va_start(args, directive);
    host::appendWidePrintf(out, directive, args);
    va_end(args);
}

using testing_support::widen;

TEST(WidePrintf, StringsFollowTheHostWideConventions) {
    EXPECT_EQ(format(L"%s|%ls|%ws", L"wide", L"long", L"w"), L"wide|long|w");
    EXPECT_EQ(format(L"%S|%hs|%hS", "na\xC3\xAFve", "h", "hS"), L"na\u00EFve|h|hS");
    EXPECT_EQ(format(L"%lS|%wS", L"wide", L"too"), L"wide|too");
    EXPECT_EQ(format(L"%S", "caf\xE9"), L"caf\u00E9");  // not UTF-8: Latin-1, as GuString(char*)
    EXPECT_EQ(format(L"[%6s][%-6s][%.2s][%6.2s]", L"abc", L"abc", L"abc", L"abc"), L"[   abc][abc   ][ab][    ab]");
    // Precision and width count characters, also for narrow UTF-8 text.
    EXPECT_EQ(format(L"[%.3S][%5S][%-5hs]", "na\xC3\xAFve", "\xC3\xA9t\xC3\xA9", "\xE2\x82\xAC"),
              L"[na\u00EF][  \u00E9t\u00E9][\u20AC    ]");
    const char unterminated[2] = {'o', 'k'};
    const wchar_t wideUnterminated[2] = {L'o', L'k'};
    EXPECT_EQ(format(L"%.2S %.2s", unterminated, wideUnterminated), L"ok ok");
    EXPECT_EQ(format(L"%s %S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
              L"(null) (null)");
    EXPECT_EQ(format(L"%s", L"\U0001F600"), L"\U0001F600");
}

TEST(WidePrintf, CharactersFollowTheHostWideConventions) {
    EXPECT_EQ(format(L"%c%lc%wc", L'\u00E9', L'\u20AC', L'w'), L"\u00E9\u20ACw");
    EXPECT_EQ(format(L"%C%hc%C", 'n', 'h', '\xE9'), L"nh\u00E9");  // a narrow byte: Latin-1
    EXPECT_EQ(format(L"[%3c][%-3c]", L'x', L'y'), L"[  x][y  ]");
}

TEST(WidePrintf, IntegersWithFlagsWidthPrecisionAndLengths) {
    EXPECT_EQ(format(L"%d %i %u", -42, 42, 42u), L"-42 42 42");
    EXPECT_EQ(format(L"[%5d][%-5d][%05d][%+d][% d][%+d]", 42, 42, -42, 42, 42, -42),
              L"[   42][42   ][-0042][+42][ 42][-42]");
    EXPECT_EQ(format(L"[%.3d][%8.3d][%08.3d][%.0d][%5.0d]", 7, -7, 7, 0, 0), L"[007][    -007][     007][][     ]");
    EXPECT_EQ(format(L"%x %X %#x %#X %#x %o %#o %#o %#.3o", 255u, 255u, 255u, 255u, 0u, 8u, 8u, 0u, 8u),
              L"ff FF 0xff 0XFF 0 10 010 0 010");
    EXPECT_EQ(format(L"[%#08x][%-#8x]", 255u, 255u), L"[0x0000ff][0xff    ]");
    EXPECT_EQ(format(L"%hhd %hhu %hd %hu", 300, 300, 70000, 70000), L"44 44 4464 4464");
    EXPECT_EQ(format(L"%ld %lld %llu", -5L, std::numeric_limits<long long>::min(),
                     std::numeric_limits<unsigned long long>::max()),
              L"-5 -9223372036854775808 18446744073709551615");
    EXPECT_EQ(format(L"%zu %zd %jd %td", size_t{7}, std::ptrdiff_t{-7}, std::intmax_t{-8}, std::ptrdiff_t{9}),
              L"7 -7 -8 9");
    EXPECT_EQ(format(L"%I64d %I64X %I32d %Iu", -10LL, 0xABCDEF0123ULL, -11, size_t{12}), L"-10 ABCDEF0123 -11 12");
    EXPECT_EQ(format(L"%d", std::numeric_limits<int>::min()), L"-2147483648");
}

TEST(WidePrintf, StarTakesWidthAndPrecisionFromTheArguments) {
    EXPECT_EQ(format(L"[%*d][%-*d][%*d]", 5, 1, 4, 2, -4, 3), L"[    1][2   ][3   ]");
    EXPECT_EQ(format(L"[%.*f][%.*f][%*.*f]", 2, 3.14159, -1, 1.5, 8, 3, 2.0), L"[3.14][1.500000][   2.000]");
    EXPECT_EQ(format(L"[%.*s][%*S]", 3, L"abcdef", 4, "x"), L"[abc][   x]");
}

TEST(WidePrintf, FloatingConversions) {
    EXPECT_EQ(format(L"%f", 1.0), L"1.000000");
    EXPECT_EQ(format(L"%f %f %f ", 0.5, -12.25, 1e-7), L"0.500000 -12.250000 0.000000 ");
    EXPECT_EQ(format(L"%f %f %f ", 0.7f, 128 / 255.0f, 1e6f), L"0.700000 0.501961 1000000.000000 ");
    EXPECT_EQ(format(L"%.2f %.0f %.0f %.0f %#.0f", 2.675, 0.5, 1.5, 2.5, 2.0), L"2.67 0 2 2 2.");
    EXPECT_EQ(format(L"%e %E %.0e %#.0e %.3e", 12345.678, 0.00012, 5e-300, 3.0, 0.0),
              L"1.234568e+04 1.200000E-04 5e-300 3.e+00 0.000e+00");
    EXPECT_EQ(format(L"%g %g %g %g %G %g", 100000.0, 1000000.0, 1e-4, 1e-5, 1e-5, 0.1 + 0.2),
              L"100000 1e+06 0.0001 1e-05 1E-05 0.3");
    EXPECT_EQ(format(L"%#g %#g %#.3g %.0g %#.0g", 1.5, 1e-5, 100.0, 123.0, 123.0),
              L"1.50000 1.00000e-05 100. 1e+02 1.e+02");
    // '#' keeps every significant digit, also when rounding carries into a new power of ten.
    EXPECT_EQ(format(L"%#.2g %#.2g %#.3g %#.1g %#.3G", 99.4, 99.6, 999.5, 9.5, 0.00009996),
              L"99. 1.0e+02 1.00e+03 1.e+01 0.000100");
    EXPECT_EQ(format(L"[%10.3f][%-10.2e][%010.2f][%+.1f][% .1f][%+010.1f]", 3.14159, -2.5, -2.5, 1.0, 1.0, -0.0),
              L"[     3.142][-2.50e+00 ][-000002.50][+1.0][ 1.0][-0000000.0]");
    EXPECT_EQ(format(L"%Lf %.3Le %Lg", 1.25L, 1234.5L, 1e-20L), L"1.250000 1.234e+03 1e-20");
    EXPECT_EQ(format(L"%.1f", 1e300).size(), 303u);  // every digit of a huge value, in fixed form
}

TEST(WidePrintf, InfinityAndNan) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(format(L"%f %f %e %g", inf, -inf, nan, -nan), L"inf -inf nan nan");
    EXPECT_EQ(format(L"%F %E %G", inf, -inf, nan), L"INF -INF NAN");
    // No zero padding: "000inf" would read as a number.
    EXPECT_EQ(format(L"[%6f][%-6f][%06f][%+f][% f]", inf, inf, -inf, inf, nan),
              L"[   inf][inf   ][  -inf][+inf][ nan]");
}

TEST(WidePrintf, PercentPointerAndUnknownConversions) {
    EXPECT_EQ(format(L"100%% %d%%", 5), L"100% 5%");
    EXPECT_EQ(format(L"%p", static_cast<void*>(nullptr)), std::wstring(2 * sizeof(void*), L'0'));
    const auto address = reinterpret_cast<void*>(std::uintptr_t{0xABC123});
    EXPECT_EQ(format(L"[%p]", address), L"[" + std::wstring(2 * sizeof(void*) - 6, L'0') + L"ABC123]");
    // Unknown conversions are copied as written and take no argument; %n writes nothing.
    EXPECT_EQ(format(L"%n%d %q %5k", 5), L"%n5 %q %5k");
    EXPECT_EQ(format(L"end %"), L"end %");
    EXPECT_EQ(format(L"end %-5"), L"end %-5");
    EXPECT_EQ(format(L"no conversions"), L"no conversions");
    GuString s(L"old text");
    s.Format(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(WidePrintf, LongOutputAndTheVaListFunctions) {
    const std::wstring block(300, L'a');
    EXPECT_EQ(format(L"%s-%s", block.c_str(), block.c_str()), block + L"-" + block);
    EXPECT_EQ(format(L"%1000d|", 1), std::wstring(999, L' ') + L"1|");
    EXPECT_EQ(format(L"%-600s|%S", L"x", "y"), L"x" + std::wstring(599, L' ') + L"|y");

    EXPECT_EQ(viaVaList(L"%d-%s-%.1f", 1, L"two", 3.0), L"1-two-3.0");
    std::wstring line = L"kept: ";
    appendViaVaList(line, L"%S %x", "n", 255u);
    EXPECT_EQ(line, L"kept: n ff");
    appendViaVaList(line, nullptr);
    EXPECT_EQ(line, L"kept: n ff");
}

TEST(WidePrintf, FormatMayReadTheStringItReplaces) {
    GuString s(L"scene");
    s.Format(L"%s.wrl", s.GetBuffer());
    EXPECT_EQ(std::wstring(s.GetBuffer()), L"scene.wrl");
    GuString big(std::wstring(300, L'b').c_str());
    big.Format(L"%s|%s", big.GetBuffer(), big.GetBuffer());
    EXPECT_EQ(std::wstring(big.GetBuffer()), std::wstring(300, L'b') + L"|" + std::wstring(300, L'b'));
    GuString pattern(L"<%d>");
    pattern.Format(pattern.GetBuffer(), 7);
    EXPECT_EQ(std::wstring(pattern.GetBuffer()), L"<7>");
}

// Random flags, widths and precisions: our wide text must equal the C library's narrow text in
// the "C" locale, character for character.
class CLibraryOracle : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = std::setlocale(LC_ALL, nullptr);
        std::setlocale(LC_ALL, "C");
    }
    void TearDown() override { std::setlocale(LC_ALL, m_saved.c_str()); }

    std::string randomDirective(const char* lengths[], size_t lengthCount, const char* conversions) {
        std::string directive = "%";
        for (const char flag : {'-', '+', ' ', '#', '0'}) {
            if (m_random() % 4 == 0) directive += flag;
        }
        if (m_random() % 2 == 0) directive += std::to_string(m_random() % 25);
        if (m_random() % 2 == 0) directive += "." + std::to_string(m_random() % 25);
        directive += lengths[m_random() % lengthCount];
        directive += conversions[m_random() % std::char_traits<char>::length(conversions)];
        return directive;
    }

    std::mt19937_64 m_random{12345};
    std::string m_saved;
};

template <typename T>
std::string cFormat(const std::string& directive, T value) {
    const int length = std::snprintf(nullptr, 0, directive.c_str(), value);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), directive.c_str(), value);
    text.pop_back();
    return text;
}

TEST_F(CLibraryOracle, IntegersMatchTheCLibrary) {
    const char* lengths[] = {"", "hh", "h", "l", "ll", "z", "j"};
    for (int i = 0; i < 20000; ++i) {
        const std::string directive = randomDirective(lengths, std::size(lengths), "diuxXo");
        const std::wstring wideDirective = widen(directive);
        const int bits = static_cast<int>(m_random() % 64);
        const std::uint64_t raw = m_random() >> bits;
        const bool isSigned = directive.back() == 'd' || directive.back() == 'i';
        std::string expected;
        std::wstring actual;
        if (directive.find("ll") != std::string::npos || directive.find('j') != std::string::npos ||
            directive.find('z') != std::string::npos || directive.find('l') != std::string::npos) {
            // On this platform long, long long, size_t and intmax_t share one 64-bit layout.
            if (isSigned) {
                const auto value = static_cast<long long>(raw);
                expected = cFormat(directive, value);
                actual = format(wideDirective.c_str(), value);
            } else {
                expected = cFormat(directive, static_cast<unsigned long long>(raw));
                actual = format(wideDirective.c_str(), static_cast<unsigned long long>(raw));
            }
        } else if (isSigned) {
            const auto value = static_cast<int>(static_cast<std::uint32_t>(raw));
            expected = cFormat(directive, value);
            actual = format(wideDirective.c_str(), value);
        } else {
            const auto value = static_cast<unsigned>(raw);
            expected = cFormat(directive, value);
            actual = format(wideDirective.c_str(), value);
        }
        ASSERT_EQ(actual, widen(expected)) << directive << " of " << raw;
    }
}

TEST_F(CLibraryOracle, FloatingMatchesTheCLibrary) {
    const char* lengths[] = {""};
    const double fixedValues[] = {0.0, -0.0, 0.5, 1.0, 9.5, 99.5, 0.05, 9.9999995, 1e-5, 123456789.0, 1e15, 1e22,
                                  5e-324, std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()};
    std::uniform_real_distribution<double> coordinate(-1e4, 1e4);
    for (int i = 0; i < 30000; ++i) {
        double value;
        switch (i % 3) {
        case 0: value = fixedValues[m_random() % std::size(fixedValues)]; break;
        case 1: value = coordinate(m_random); break;
        default: value = std::bit_cast<double>(m_random()); break;
        }
        if (std::isnan(value)) continue;  // the C library spells a negative NaN "-nan"
        const std::string directive = randomDirective(lengths, 1, "fFeEgG");
        // The C library drops a kept zero when %#g rounds up to a new power of ten ("1.e+02" for
        // %#.2g of 99.6, where the standard asks for "1.0e+02"): those cases are checked above.
        if (directive.find('#') != std::string::npos && (directive.back() == 'g' || directive.back() == 'G')) continue;
        const std::string expected = cFormat(directive, value);
        ASSERT_EQ(format(widen(directive).c_str(), value), widen(expected)) << directive << " of " << value;
    }
    for (const long double value : {1.25L, -1e-30L, 3.141592653589793238L, 1e4000L}) {
        for (const char* directive : {"%Lf", "%.25Le", "%.18Lg", "%#Lg"}) {
            EXPECT_EQ(format(widen(directive).c_str(), value), widen(cFormat(directive, value))) << directive;
        }
    }
}

}  // namespace
