// The text stream: exact bytes of what it writes, and the encoding it
// works out for files that already have content.
#include "plugin/TextStream.h"

#include "TestFiles.h"
#include "base/Exception.h"
#include "base/Utf.h"
#include "plugin/FileStream.h"
#include "plugin/uStrings.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Zelvane;
using TestSupport::Bytes;
using TestSupport::ReadBytes;
using TestSupport::TestFolder;
using TestSupport::WriteBytes;

namespace {

std::string Repeated(const std::string& piece, size_t times)
{
    std::string bytes;
    for (size_t i = 0; i < times; ++i)
        bytes += piece;
    return bytes;
}

TEST(TextStream, WritesExactBytes)
{
    struct Case {
        const char* Name;
        std::function<void(TTextStream&)> Write;
        std::string Expected;
    };
    const Case cases[] = {
        {"UTF-8 line", [](TTextStream& s) { s.SetEncoding(TEncoding::Utf8); s.WriteLine(u"abc"); },
         Bytes({0xEF, 0xBB, 0xBF, 'a', 'b', 'c', 0x0D, 0x0A})},
        {"default encoding at the first write", [](TTextStream& s) { s.WriteLine(u"abc"); },
         Bytes({0xEF, 0xBB, 0xBF, 'a', 'b', 'c', 0x0D, 0x0A})},
        {"empty string writes nothing", [](TTextStream& s) { s.WriteString(u""); }, ""},
        {"empty line", [](TTextStream& s) { s.WriteLine(u""); }, Bytes({0xEF, 0xBB, 0xBF, 0x0D, 0x0A})},
        {"UTF-16", [](TTextStream& s) { s.SetEncoding(TEncoding::Utf16); s.WriteLine(u"ab"); },
         Bytes({0xFF, 0xFE, 'a', 0, 'b', 0, 0x0D, 0, 0x0A, 0})},
        {"ANSI has no mark", [](TTextStream& s) { s.SetEncoding(TEncoding::Ansi); s.WriteLine(u"\u00E9"); },
         Bytes({0xE9, 0x0D, 0x0A})},
        {"OEM", [](TTextStream& s) { s.SetEncoding(TEncoding::Oem); s.WriteString(u"\u00E9\u00C4\u00F1z"); },
         Bytes({0x82, 0x8E, 0xA4, 'z'})},
        {"mark only at position 0",
         [](TTextStream& s) {
             s.SetEncoding(TEncoding::Ansi);
             s.WriteString(u"x");
             s.SetEncoding(TEncoding::Utf8);
             s.WriteString(u"\u00E9");
         },
         Bytes({'x', 0xC3, 0xA9})},
        {"CJK names whole, 3 bytes each",
         [](TTextStream& s) { s.SetEncoding(TEncoding::Utf8); s.WriteString(u"\u4E2D\u6587"); },
         Bytes({0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87})},
        {"surrogate pair", [](TTextStream& s) { s.SetEncoding(TEncoding::Utf8); s.WriteString(u"\U0001F600"); },
         Bytes({0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80})},
        {"failure list",
         [](TTextStream& s) {
             s.SetEncoding(TEncoding::Utf8);
             s.WriteLine(u"Failed:");
             s.WriteLine(u"\"a\"\"b.txt\" -> \"\u00E9.txt\"");
         },
         Bytes({0xEF, 0xBB, 0xBF}) + "Failed:\r\n\"a\"\"b.txt\" -> \"" + Bytes({0xC3, 0xA9}) + ".txt\"\r\n"},
    };
    TestFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto file = folder.Child("out.txt");
        auto stream = TTextStream::Create(file.u16string(), TFileStream::ModeCreate);
        EXPECT_EQ(stream->GetEncoding(), TEncoding::None);
        c.Write(*stream);
        stream->Close();
        EXPECT_EQ(ReadBytes(file), c.Expected);
    }
}

TEST(TextStream, CreateEmptiesAnExistingFile)
{
    TestFolder folder;
    WriteBytes(folder.Child("old.txt"), "previous content");
    {
        auto stream = TTextStream::Create(folder.Name("old.txt"), TFileStream::ModeCreate);
        EXPECT_EQ(stream->GetEncoding(), TEncoding::None); // nothing left to detect
        stream->WriteLine(u"new");
    }
    EXPECT_EQ(ReadBytes(folder.Child("old.txt")), Bytes({0xEF, 0xBB, 0xBF}) + "new\r\n");
}

TEST(TextStream, InvalidEncodingRaisesAndWritesNothing)
{
    TestFolder folder;
    auto stream = TTextStream::Create(folder.Name("out.txt"), TFileStream::ModeCreate);
    stream->SetEncoding(static_cast<TEncoding>(5));
    stream->WriteString(u""); // empty: no write, no error
    try {
        stream->WriteString(u"a");
        FAIL() << "no error";
    } catch (const Base::EWriteError& e) {
        EXPECT_EQ(e.Message(), u"Invalid encoding");
    }
    stream->Close();
    EXPECT_EQ(ReadBytes(folder.Child("out.txt")), "");
}

TEST(TextStream, CreationFailureNamesTheFile)
{
    TestFolder folder;
    const String missing = (folder.Child("no such folder") / "list").u16string();
    struct Case {
        const char* Name;
        String File;
    };
    const Case cases[] = {
        {"plain name", missing + u".txt"},
        // The path type cannot convert it; the creation error still comes through.
        {"lone surrogate", missing + char16_t(0xD800) + u".txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            TTextStream::Create(c.File, TFileStream::ModeCreate);
            ADD_FAILURE() << "no error";
        } catch (const Base::EFCreateError& e) {
            const String message = e.Message();
            EXPECT_EQ(message.rfind(u"Cannot create file \"" + c.File + u"\". ", 0), 0u) << Base::ToUtf8(message);
            EXPECT_GT(message.size(), c.File.size() + 22); // the system's reason follows
        }
    }
}

TEST(FileStream, NegativeSizeRaisesAndCutsNothing)
{
    TestFolder folder;
    WriteBytes(folder.Child("data.bin"), "0123456789");
    {
        TFileStream stream(folder.Name("data.bin"), TFileStream::ModeOpenReadWrite);
        stream.SetPosition(4);
        EXPECT_THROW(stream.SetSize(-1), Base::EStreamError);
        stream.SetSize(6); // a valid size still works
        EXPECT_EQ(stream.GetPosition(), 6);
    }
    EXPECT_EQ(ReadBytes(folder.Child("data.bin")), "012345");
}

TEST(TextStream, DetectsTheEncodingOfExistingContent)
{
    struct Case {
        const char* Name;
        std::string Content;
        TEncoding Encoding;
        bool BigEndian;
        int64_t Position;
    };
    std::string cutInSequence = Repeated(Bytes({0xC3, 0xA9, ' '}), 6000); // the 16384th byte is a C3
    const Case cases[] = {
        {"1-byte file", "A", TEncoding::Ansi, false, 0},
        {"FF FE", Bytes({0xFF, 0xFE, 0x41, 0x00}), TEncoding::Utf16, false, 2},
        {"FE FF", Bytes({0xFE, 0xFF, 0x00, 0x41}), TEncoding::Utf16, true, 2},
        {"EF BB BF", Bytes({0xEF, 0xBB, 0xBF, 0x41}), TEncoding::Utf8, false, 3},
        {"odd size with FF FE", Bytes({0xFF, 0xFE, 0x41, 0x00, 0x41}), TEncoding::Ansi, false, 0},
        {"7-bit text", "Plain text\r\nline two\r\n", TEncoding::Ansi, false, 0},
        {"31 pairs of 41 00", Repeated(Bytes({0x41, 0x00}), 31), TEncoding::Utf16, false, 0},
        {"30 pairs of 41 00", Repeated(Bytes({0x41, 0x00}), 30), TEncoding::Utf8, false, 0},
        {"31 pairs of 00 41", Repeated(Bytes({0x00, 0x41}), 31), TEncoding::Utf16, true, 0},
        {"sample cut inside a sequence", cutInSequence, TEncoding::Utf8, false, 0},
        {"C3 A9 repeated", Repeated(Bytes({0xC3, 0xA9}), 50), TEncoding::Ansi, false, 0},
        {"E9 20 41", Bytes({0xE9, 0x20, 0x41}), TEncoding::Ansi, false, 0},
        {"UTF-8 without a mark", "caf" + Bytes({0xC3, 0xA9}) + " ok", TEncoding::Utf8, false, 0},
    };
    TestFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto file = folder.Child("in.txt");
        WriteBytes(file, c.Content);
        auto stream = TTextStream::Create(file.u16string(), TFileStream::ModeOpenRead | TFileStream::ShareDenyNone);
        EXPECT_EQ(stream->GetEncoding(), c.Encoding);
        EXPECT_EQ(stream->IsBigEndian(), c.BigEndian);
        EXPECT_EQ(stream->GetPosition(), c.Position);
    }
}

TEST(TextStream, ABigEndianFileGoesOnBigEndian)
{
    TestFolder folder;
    const auto file = folder.Child("be.txt");
    WriteBytes(file, Bytes({0xFE, 0xFF, 0x00, 0x41}));
    {
        auto stream = TTextStream::Create(file.u16string(), TFileStream::ModeOpenReadWrite);
        stream->Seek(0, Base::TSeekOrigin::End);
        stream->WriteString(u"B");
    }
    EXPECT_EQ(ReadBytes(file), Bytes({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x42}));
}

} // namespace
