// GuString as text: narrow (UTF-8) and wide input, copies and moves, the editing calls, and
// GuStringFileName.
#include "hoststr.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring text(const GuString& s) { return {s.GetBuffer(), static_cast<size_t>(s.GetLength())}; }

// The buffer lies inside the object: the text is in the inline storage, not on the heap.
bool isInline(const GuString& s) {
    const auto* begin = reinterpret_cast<const char*>(&s);
    const auto* buffer = reinterpret_cast<const char*>(s.GetBuffer());
    return buffer >= begin && buffer < begin + sizeof s;
}

TEST(GuStringText, NarrowTextIsDecodedAsUtf8) {
    EXPECT_EQ(text(GuString("plain")), L"plain");
    EXPECT_EQ(text(GuString("na\xC3\xAFve")), L"na\u00EFve");
    EXPECT_EQ(GuString("na\xC3\xAFve").GetLength(), 5);
    EXPECT_EQ(text(GuString("\xE2\x82\xAC 5")), L"\u20AC 5");
    EXPECT_EQ(text(GuString("\xF0\x9F\x98\x80")), L"\U0001F600");
    // Longer than the eight-byte ASCII blocks, with a sequence across a block boundary.
    EXPECT_EQ(text(GuString("abcdefg\xC3\xA9hijklmnopqrstuvwxyz0123456789\xE2\x82\xAC")),
              L"abcdefg\u00E9hijklmnopqrstuvwxyz0123456789\u20AC");
    EXPECT_EQ(text(GuString(static_cast<const char*>(nullptr))), L"");
    EXPECT_TRUE(GuString("").IsEmpty());
}

TEST(GuStringText, InvalidUtf8BytesAreTakenAsLatin1) {
    EXPECT_EQ(text(GuString("caf\xE9")), L"caf\u00E9");                          // Latin-1 input
    EXPECT_EQ(text(GuString("\x80" "a")), L"\u0080a");                            // stray continuation
    EXPECT_EQ(text(GuString("\xC3(")), L"\u00C3(");                               // bad continuation
    EXPECT_EQ(text(GuString("\xC0\xAF")), L"\u00C0\u00AF");                       // overlong '/'
    EXPECT_EQ(text(GuString("\xE0\x80\xAF")), L"\u00E0\u0080\u00AF");             // overlong, 3 bytes
    EXPECT_EQ(text(GuString("\xED\xA0\x80")), L"\u00ED\u00A0\u0080");             // surrogate
    EXPECT_EQ(text(GuString("\xF4\x90\x80\x80")), L"\u00F4\u0090\u0080\u0080");   // past U+10FFFF
    EXPECT_EQ(text(GuString("ab\xE2\x82")), L"ab\u00E2\u0082");                   // cut short
    EXPECT_EQ(text(GuString("\xFF\xC3\xA9")), L"\u00FF\u00E9");                   // resumes after it
}

TEST(GuStringText, NarrowLengthCountsBytesAndStopsAtTheNul) {
    EXPECT_EQ(text(GuString("na\xC3\xAFve", 4)), L"na\u00EF");
    EXPECT_EQ(text(GuString("na\xC3\xAFve", 3)), L"na\u00C3");  // the cut sequence's first byte
    EXPECT_EQ(text(GuString("ab", 10)), L"ab");
    EXPECT_EQ(text(GuString("abc", 0)), L"abc");
    EXPECT_EQ(text(GuString(L"wide text", 4)), L"wide");
    EXPECT_EQ(text(GuString(L"ab", 10)), L"ab");
    EXPECT_EQ(text(GuString(static_cast<const wchar_t*>(nullptr))), L"");

    GuString s("first");
    s = "\xC3\xA9t\xC3\xA9";
    EXPECT_EQ(text(s), L"\u00E9t\u00E9");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    const wchar_t* returned = s.Append("x\xE2\x82\xACyz", 4);
    EXPECT_EQ(returned, s.GetBuffer());
    EXPECT_EQ(text(s), L"x\u20AC");
    s.Append("\xC3\xA9");
    s.Append(static_cast<const char*>(nullptr));
    EXPECT_EQ(text(s), L"x\u20AC\u00E9");
}

TEST(GuStringCopy, CopiesAndMovesKeepTheirOwnBuffers) {
    GuString original("short");
    GuString copy(original);
    copy.Append(L"!");
    EXPECT_EQ(text(original), L"short");
    EXPECT_EQ(text(copy), L"short!");
    EXPECT_TRUE(isInline(copy));

    GuString moved(std::move(copy));
    EXPECT_EQ(text(moved), L"short!");
    EXPECT_TRUE(isInline(moved));
    EXPECT_TRUE(copy.IsEmpty());  // NOLINT(bugprone-use-after-move): moved-from strings are empty
    copy.Append(L"reused");
    EXPECT_EQ(text(copy), L"reused");
    EXPECT_EQ(text(moved), L"short!");

    const std::wstring longText(100, L'x');
    GuString heap(longText.c_str());
    GuString heapCopy(heap);
    heapCopy.Replace(L'x', L'y');
    EXPECT_EQ(text(heap), longText);
    EXPECT_NE(heapCopy.GetBuffer(), heap.GetBuffer());

    const wchar_t* buffer = heap.GetBuffer();
    GuString heapMoved(std::move(heap));
    EXPECT_EQ(heapMoved.GetBuffer(), buffer);  // long text is handed over, not copied
    EXPECT_TRUE(heap.IsEmpty());               // NOLINT(bugprone-use-after-move)
    EXPECT_TRUE(isInline(heap));
}

TEST(GuStringCopy, AssignmentsKeepTheirOwnBuffers) {
    GuString a("alpha");
    GuString b(std::wstring(60, L'b').c_str());
    b = a;  // short text into a string with a heap block
    EXPECT_EQ(text(b), L"alpha");
    a.Append(L"!");
    EXPECT_EQ(text(b), L"alpha");

    GuString c;
    c = GuString(std::wstring(70, L'c').c_str());
    EXPECT_EQ(text(c), std::wstring(70, L'c'));
    c = GuString("tiny");  // short text moved into a string with a heap block
    EXPECT_EQ(text(c), L"tiny");
    c.Append(std::wstring(100, L'+').c_str());
    EXPECT_EQ(text(c), L"tiny" + std::wstring(100, L'+'));

    GuString& self = c;
    c = self;
    EXPECT_EQ(c.GetLength(), 104);
    c = std::move(self);
    EXPECT_EQ(c.GetLength(), 104);
}

TEST(GuStringCopy, StringsSurviveRelocationInAVector) {
    // The vector moves its elements as it grows: a moved string whose buffer pointer still
    // named the old element's inline storage would read freed memory.
    std::vector<GuString> strings;
    for (int i = 0; i < 100; ++i) {
        GuString s;
        s.FromInt(i);
        if (i % 10 == 0) s.Append(std::wstring(50, L'#').c_str());
        strings.push_back(s);
    }
    for (int i = 0; i < 100; ++i) {
        std::wstring expected = std::to_wstring(i);
        if (i % 10 == 0) expected += std::wstring(50, L'#');
        ASSERT_EQ(text(strings[i]), expected) << i;
        if (i % 10 != 0) {
            EXPECT_TRUE(isInline(strings[i])) << i;
        }
    }
}

TEST(GuStringEdit, AppendGrowsAndReturnsTheBuffer) {
    GuString s;
    std::wstring expected;
    for (int i = 0; i < 1000; ++i) {
        const wchar_t c = static_cast<wchar_t>(L'a' + i % 26);
        const wchar_t piece[] = {c, 0};
        const wchar_t* returned = s.Append(piece);
        ASSERT_EQ(returned, s.GetBuffer());
        expected += c;
    }
    EXPECT_EQ(text(s), expected);
    EXPECT_EQ(s.GetLength(), 1000);
    EXPECT_EQ(s.GetBuffer()[1000], L'\0');

    GuString t(L"0123456789");
    const wchar_t* returned = t.Append(L"abcdef", 3);
    EXPECT_EQ(returned, t.GetBuffer());
    EXPECT_EQ(text(t), L"0123456789abc");
    t.Append(static_cast<const wchar_t*>(nullptr));
    returned = t.Append('\xE9');  // a lone byte: Latin-1
    EXPECT_EQ(returned, t.GetBuffer());
    t.Append('!');
    t.Append('\0');
    EXPECT_EQ(text(t), L"0123456789abc\u00E9!");
}

TEST(GuStringEdit, AppendingItsOwnTextWorksAcrossGrowth) {
    GuString s(std::wstring(30, L'x').c_str());
    s.Append(s.GetBuffer());  // grows out of the inline storage while reading it
    EXPECT_EQ(text(s), std::wstring(60, L'x'));
    s.Append(s.GetBuffer() + 50);
    EXPECT_EQ(text(s), std::wstring(70, L'x'));
    s.Insert(0, s.GetBuffer() + 60);
    EXPECT_EQ(text(s), std::wstring(80, L'x'));
    GuString doubling(L"ab");  // heap block to larger heap block
    std::wstring expected = L"ab";
    for (int i = 0; i < 10; ++i) {
        doubling.Append(doubling.GetBuffer());
        expected += expected;
    }
    EXPECT_EQ(text(doubling), expected);
    GuString t(L"abc");
    t.Insert(1, t.GetBuffer());
    EXPECT_EQ(text(t), L"aabcbc");
}

TEST(GuStringEdit, InsertClampsThePosition) {
    GuString s(L"world");
    const wchar_t* returned = s.Insert(0, L"hello ");
    EXPECT_EQ(returned, s.GetBuffer());
    EXPECT_EQ(text(s), L"hello world");
    s.Insert(-7, L"<");
    s.Insert(s.GetLength(), L">");
    s.Insert(1000, L"!");
    s.Insert(6, L',');
    EXPECT_EQ(text(s), L"<hello, world>!");
    returned = s.Insert(3, static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(returned, s.GetBuffer());
    EXPECT_EQ(text(s), L"<hello, world>!");

    GuString grown(std::wstring(39, L'.').c_str());
    grown.Insert(20, L"[inserted]");
    EXPECT_EQ(text(grown), std::wstring(20, L'.') + L"[inserted]" + std::wstring(19, L'.'));
}

TEST(GuStringEdit, RemoveCountsAndReplaceSubstitutes) {
    GuString s(L"banana");
    EXPECT_EQ(s.Remove(L'a'), 3);
    EXPECT_EQ(text(s), L"bnn");
    EXPECT_EQ(s.Remove(L'z'), 0);
    EXPECT_EQ(s.Remove(L'b'), 1);
    EXPECT_EQ(s.GetLength(), 2);

    GuString path(L"C:\\models\\part 1.wrl");
    const wchar_t* returned = path.Replace(L'\\', L'/');
    EXPECT_EQ(returned, path.GetBuffer());
    EXPECT_EQ(text(path), L"C:/models/part 1.wrl");
    path.Replace(L' ', L'_');
    EXPECT_EQ(text(path), L"C:/models/part_1.wrl");
    // A NUL ends the text where every reader of the buffer would stop.
    path.Replace(L'/', L'\0');
    EXPECT_EQ(text(path), L"C:");
}

TEST(GuStringFileName, SplitsAtTheLastSlash) {
    struct Case {
        const wchar_t* full;
        const wchar_t* path;
        const wchar_t* file;
    };
    const Case cases[] = {
        {L"/home/user/scene.wrl", L"/home/user", L"scene.wrl"},
        {L"out/scene.wrl", L"out", L"scene.wrl"},
        {L"/scene.wrl", L"/", L"scene.wrl"},
        {L"scene.wrl", L".", L"scene.wrl"},
        {L"dir/sub/", L"dir/sub", L""},
        {L"", L".", L""},
    };
    for (const Case& c : cases) {
        const GuStringFileName name(c.full);
        EXPECT_EQ(text(name.GetPathName()), c.path) << c.full;
        EXPECT_EQ(text(name.GetFileName()), c.file) << c.full;
        EXPECT_EQ(text(name.GetFullName()), c.full);
    }
    const GuStringFileName fromString(GuString("/tmp/\xC3\xA9t\xC3\xA9.wrl"));
    EXPECT_EQ(text(fromString.GetFileName()), L"\u00E9t\u00E9.wrl");
    EXPECT_EQ(text(fromString.GetPathName()), L"/tmp");
}

}  // namespace
