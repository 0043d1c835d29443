// The buffered stream: when its window goes to the stream behind it, and
// that the bytes arriving there are exactly the bytes written.
#include "plugin/BufferedStream.h"

#include "RecordingStream.h"
#include "base/Exception.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Zelvane;
using TestSupport::RecordingStream;
using Base::TSeekOrigin;

namespace {

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

TEST(BufferedStream, SmallPiecesBecomeWholeWindows)
{
    RecordingStream file;
    const std::string data = Pattern(100000);
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    for (size_t at = 0; at < data.size(); at += 10)
        ASSERT_EQ(stream->Write(data.data() + at, 10), 10);
    EXPECT_EQ(file.Writes, std::vector<int32_t>(6, 16384));
    stream->Close();
    std::vector<int32_t> expected(6, 16384);
    expected.push_back(1696);
    EXPECT_EQ(file.Writes, expected);
    EXPECT_EQ(file.Data, data);
}

TEST(BufferedStream, WhatTheWindowCannotTakeGoesDirectWhenLargerThanIt)
{
    struct Case {
        const char* Name;
        size_t Pending;    // bytes written before
        size_t Size;       // then one write of this size
        std::vector<int32_t> WritesBeforeClose;
    };
    const Case cases[] = {
        {"exactly the window", 0, 16384, {}},
        {"one byte more into an empty window", 0, 16385, {16384}},
        {"fits behind pending data", 100, 16284, {}},
        {"overflows pending data", 100, 16285, {16384}},
        {"one byte more than a full window takes", 16384, 16385, {16384, 16385}},
        {"remainder above the window size", 100, 16284 + 16385, {16384, 16385}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        RecordingStream file;
        const std::string data = Pattern(c.Pending + c.Size);
        auto stream = TBufferedStream::Create<TBufferedStream>(file);
        stream->WriteBuffer(data.data(), static_cast<int64_t>(c.Pending));
        EXPECT_EQ(stream->Write(data.data() + c.Pending, static_cast<int32_t>(c.Size)), static_cast<int32_t>(c.Size));
        EXPECT_EQ(file.Writes, c.WritesBeforeClose);
        EXPECT_EQ(stream->GetPosition(), static_cast<int64_t>(data.size()));
        stream->Close();
        EXPECT_EQ(file.Data, data);
    }
}

TEST(BufferedStream, EmptyAndNegativeCountsTouchNothing)
{
    RecordingStream file;
    file.Data = "abc";
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    char byte = 0;
    for (const int32_t count : {0, -1, -16384}) {
        EXPECT_EQ(stream->Read(&byte, count), 0);
        EXPECT_EQ(stream->Write(&byte, count), 0);
    }
    EXPECT_EQ(stream->GetPosition(), 0);
    EXPECT_TRUE(file.Reads.empty());
    EXPECT_TRUE(file.Writes.empty());
}

TEST(BufferedStream, ReadsSeeUnflushedWritesAndPartialOverwritesKeepTheRest)
{
    RecordingStream file;
    file.Data = Pattern(40000);
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    stream->SetPosition(20000);
    stream->WriteBuffer("XYZ", 3); // refills the window at 20000 first
    EXPECT_TRUE(file.Writes.empty());

    stream->SetPosition(19999);
    char back[5] = {};
    // 19999 lies before the window: the dirty window goes out, then a refill.
    EXPECT_EQ(stream->Read(back, 5), 5);
    EXPECT_EQ(std::string(back, 5), file.Data.substr(19999, 1) + "XYZ" + file.Data.substr(20003, 1));
    stream->Close();
    std::string expected = Pattern(40000);
    expected.replace(20000, 3, "XYZ");
    EXPECT_EQ(file.Data, expected);
}

TEST(BufferedStream, ReadsAcrossTheWindowAndDirectReads)
{
    RecordingStream file;
    file.Data = Pattern(50000);
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    std::string got(50000, '\0');
    EXPECT_EQ(stream->Read(got.data(), 100), 100);
    EXPECT_EQ(stream->Read(got.data() + 100, 16300), 16300); // 16284 from the window, 16 from a refill
    // 16368 from the window; the remaining 16632 exceed the window: one direct read.
    EXPECT_EQ(stream->Read(got.data() + 16400, 33000), 33000);
    EXPECT_EQ(stream->Read(got.data() + 49400, 16384), 600); // short at the end
    EXPECT_EQ(got, file.Data);
    EXPECT_EQ(file.Reads, (std::vector<int32_t>{16384, 16384, 16632, 16384}));
}

TEST(BufferedStream, WriteBehindTheValidBytesNeverCarriesStaleWindowMemory)
{
    RecordingStream file;
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    const std::string old(600, 'z');
    stream->WriteBuffer(old.data(), 600); // the window memory now holds z's
    stream->SetSize(0);                   // window emptied, its memory keeps them
    stream->WriteBuffer("ab", 2);
    stream->SetPosition(300); // inside the window's capacity, past its 2 valid bytes
    stream->WriteBuffer("cd", 2);
    stream->Close();
    EXPECT_EQ(file.Data, "ab" + std::string(298, '\0') + "cd");
}

TEST(BufferedStream, GapInsideAnExistingFileKeepsTheFileBytes)
{
    RecordingStream file;
    file.Data = std::string(1000, 'f');
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    stream->SetSize(1000); // window emptied, position 1000
    stream->SetPosition(0);
    stream->WriteBuffer("ab", 2);
    stream->SetPosition(500);
    stream->WriteBuffer("cd", 2);
    stream->Close();
    EXPECT_EQ(file.Data, "ab" + std::string(498, 'f') + "cd" + std::string(498, 'f'));
}

TEST(BufferedStream, FullMediumRaisesAndKeepsTheWindowForALaterFlush)
{
    RecordingStream file;
    file.Capacity = 100;
    const std::string data = Pattern(300);
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    stream->WriteBuffer(data.data(), 300);
    EXPECT_THROW(stream->Flush(), Base::EWriteError);
    EXPECT_EQ(file.Data, data.substr(0, 100));

    file.Capacity = 1000; // space freed
    stream->Flush();
    EXPECT_EQ(file.Data, data);
}

TEST(BufferedStream, CloseReportsAFailedFinalFlushDestructionSwallowsIt)
{
    RecordingStream file;
    file.Capacity = 0;
    {
        auto stream = TBufferedStream::Create<TBufferedStream>(file);
        stream->WriteBuffer("abc", 3);
        EXPECT_THROW(stream->Close(), Base::EWriteError);
    } // the retried flush fails again, silently
    EXPECT_EQ(file.Data, "");
}

TEST(BufferedStream, OwnershipDecidesWhetherTheWrappedStreamGoes)
{
    bool destroyed = false;
    RecordingStream kept(&destroyed);
    {
        auto stream = TBufferedStream::Create<TBufferedStream>(kept);
        stream->WriteBuffer("abc", 3);
    }
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(kept.Data, "abc");
    kept.WriteBuffer("d", 1); // still usable
    EXPECT_EQ(kept.Data, "abcd");

    bool ownedDestroyed = false;
    std::string lastData;
    auto owned = std::make_unique<RecordingStream>(&ownedDestroyed);
    owned->FinalData = &lastData;
    auto stream = TBufferedStream::Create<TBufferedStream>(std::unique_ptr<Base::TStream>(std::move(owned)));
    stream->WriteBuffer("xyz", 3);
    stream->Close();
    EXPECT_TRUE(ownedDestroyed);
    EXPECT_EQ(lastData, "xyz"); // the pending bytes went out first
    EXPECT_THROW(stream->Write("q", 1), Base::EStreamError);
}

// A medium that cannot move: it stays where it is and answers -1, as a file
// stream does when the system refuses the seek. Asking the position works.
class UnseekableStream : public RecordingStream {
public:
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        if (origin == TSeekOrigin::Current && offset == 0)
            return Position;
        return -1;
    }
};

TEST(BufferedStream, ARefusedMoveRaisesInsteadOfUsingTheWrongPlace)
{
    struct Case {
        const char* Name;
        std::function<void(TBufferedStream&)> Act;
    };
    const Case cases[] = {
        {"flush of a window the medium has read past",
         [](TBufferedStream& stream) {
             char read[2] = {};
             stream.Read(read, 2); // the window holds all ten bytes; the medium stands at 10
             stream.SetPosition(0);
             stream.WriteBuffer("ab", 2);
             stream.Flush();
         }},
        {"refill elsewhere",
         [](TBufferedStream& stream) {
             stream.SetPosition(5);
             char read[2] = {};
             stream.Read(read, 2);
         }},
        {"direct read elsewhere",
         [](TBufferedStream& stream) {
             stream.SetPosition(5);
             std::string read(20000, '\0');
             stream.Read(read.data(), 20000);
         }},
        {"direct write elsewhere",
         [](TBufferedStream& stream) {
             stream.SetPosition(5);
             const std::string data = Pattern(20000);
             stream.Write(data.data(), 20000);
         }},
        {"read before the start",
         [](TBufferedStream& stream) {
             stream.SetPosition(-1);
             char read[2] = {};
             stream.Read(read, 2);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        UnseekableStream file;
        file.Data = "0123456789";
        auto stream = TBufferedStream::Create<TBufferedStream>(file);
        try {
            c.Act(*stream);
            ADD_FAILURE() << "no error";
        } catch (const Base::EStreamError& e) {
            EXPECT_EQ(e.Message(), u"Stream seek error");
        }
        stream.reset(); // the retried flush is refused again, silently
        EXPECT_EQ(file.Data, "0123456789");
        EXPECT_TRUE(file.Writes.empty());
    }
}

TEST(BufferedStream, SeeksAndSizeQueriesNeverFlush)
{
    RecordingStream file;
    file.Data = "0123456789";
    auto stream = TBufferedStream::Create<TBufferedStream>(file);
    stream->WriteBuffer("ab", 2);
    EXPECT_EQ(stream->GetSize(), 10);
    EXPECT_EQ(stream->Seek(-3, TSeekOrigin::End), 7);
    EXPECT_EQ(stream->Seek(1, TSeekOrigin::Current), 8);
    EXPECT_EQ(stream->Seek(2, TSeekOrigin::Beginning), 2);
    EXPECT_TRUE(file.Writes.empty());
}

} // namespace
