#include "host/files/PathConversion.h"

#include <gtest/gtest.h>

using namespace Host;

namespace {

std::string Printable(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

struct PathCase {
    std::u16string Input;
    std::u16string Full;
    std::u16string Native;
};

// Cases print as their name in test listings.
void PrintTo(const PathCase& c, std::ostream* out)
{
    *out << Printable(c.Input);
}


class PosixPaths : public testing::TestWithParam<PathCase> {};

TEST_P(PosixPaths, Convert)
{
    SCOPED_TRACE(Printable(GetParam().Input));
    EXPECT_EQ(FullPath(GetParam().Input, u"/home/user/work", PathStyle::Posix), GetParam().Full);
    EXPECT_EQ(NativePath(GetParam().Input, u"/home/user/work", PathStyle::Posix), GetParam().Native);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PosixPaths,
    testing::Values(PathCase{u"/tmp/a.txt", u"/tmp/a.txt", u"\\\\?\\/tmp/a.txt"},
                    PathCase{u"a.txt", u"/home/user/work/a.txt", u"\\\\?\\/home/user/work/a.txt"},
                    PathCase{u"./sub/../b", u"/home/user/work/b", u"\\\\?\\/home/user/work/b"},
                    PathCase{u"sub\\file", u"/home/user/work/sub/file", u"\\\\?\\/home/user/work/sub/file"},
                    PathCase{u"//tmp///x//", u"/tmp/x/", u"\\\\?\\/tmp/x/"},
                    PathCase{u"/../..", u"/", u"\\\\?\\/"},
                    PathCase{u"", u"/home/user/work", u"\\\\?\\/home/user/work"},
                    PathCase{u"..", u"/home/user", u"\\\\?\\/home/user"},
                    // A name holding a backslash reaches the host as U+F05C: a
                    // character of the name, never a separator.
                    PathCase{u"a\uF05Cb", u"/home/user/work/a\uF05Cb", u"\\\\?\\/home/user/work/a\uF05Cb"}));

class WindowsPaths : public testing::TestWithParam<PathCase> {};

TEST_P(WindowsPaths, Convert)
{
    SCOPED_TRACE(Printable(GetParam().Input));
    EXPECT_EQ(FullPath(GetParam().Input, u"C:\\Work\\Dir", PathStyle::Windows), GetParam().Full);
    EXPECT_EQ(NativePath(GetParam().Input, u"C:\\Work\\Dir", PathStyle::Windows), GetParam().Native);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsPaths,
    testing::Values(PathCase{u"D:\\x\\y.txt", u"D:\\x\\y.txt", u"\\\\?\\D:\\x\\y.txt"},
                    PathCase{u"D:/x//y/./z/..", u"D:\\x\\y", u"\\\\?\\D:\\x\\y"},
                    PathCase{u"sub\\f", u"C:\\Work\\Dir\\sub\\f", u"\\\\?\\C:\\Work\\Dir\\sub\\f"},
                    PathCase{u"\\root.txt", u"C:\\root.txt", u"\\\\?\\C:\\root.txt"},
                    PathCase{u"c:rel", u"c:\\Work\\Dir\\rel", u"\\\\?\\c:\\Work\\Dir\\rel"},
                    PathCase{u"\\\\server\\share\\d\\..\\f", u"\\\\server\\share\\f", u"\\\\?\\UNC\\server\\share\\f"},
                    PathCase{u"\\\\?\\C:\\as is\\..", u"\\\\?\\C:\\as is\\..", u"\\\\?\\C:\\as is\\.."},
                    PathCase{u"C:\\..\\..", u"C:\\", u"\\\\?\\C:\\"}));

TEST(ConvertPath, ReturnsLengthPlusOneAndCopiesOnlyIntoAGivenBuffer)
{
    const std::u16string expected = u"/base/name";
    EXPECT_EQ(ConvertPath(Far3::CPM_FULL, u"name", nullptr, 0, u"/base", PathStyle::Posix), expected.size() + 1);

    char16_t buffer[32];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(ConvertPath(Far3::CPM_FULL, u"name", buffer, 0, u"/base", PathStyle::Posix), expected.size() + 1);
    EXPECT_EQ(buffer[0], u'#') << "DestSize 0: nothing written";
    EXPECT_EQ(ConvertPath(Far3::CPM_FULL, u"name", buffer, 5, u"/base", PathStyle::Posix), expected.size() + 1);
    EXPECT_EQ(std::u16string_view(buffer), u"/bas") << "truncated, NUL-terminated";
    EXPECT_EQ(buffer[5], u'#');
    EXPECT_EQ(ConvertPath(Far3::CPM_NATIVE, u"name", buffer, 32, u"C:\\base", PathStyle::Windows), 17u);
    EXPECT_EQ(std::u16string_view(buffer), u"\\\\?\\C:\\base\\name");
}

} // namespace
