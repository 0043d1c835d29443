#include "plugin/BufferedStream.h"

#include "base/Exception.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Zelvane {

namespace {

std::unique_ptr<uint8_t[]> NewWindow(int32_t size)
{
    // Contents left as they come: the counts say what is valid.
    std::unique_ptr<uint8_t[]> window(new (std::nothrow) uint8_t[static_cast<size_t>(std::max(size, 1))]);
    if (!window)
        throw Base::EOutOfMemory(u"Out of memory");
    return window;
}

} // namespace

TBufferedStream::TBufferedStream(TCreateKey, Base::TStream& stream, int32_t bufferSize)
    : Stream(&stream), Buffer(NewWindow(bufferSize)), BufferSize(bufferSize)
{
}

TBufferedStream::TBufferedStream(TCreateKey, std::unique_ptr<Base::TStream> stream, int32_t bufferSize)
    : OwnedStream(std::move(stream)), Stream(OwnedStream.get()), Buffer(NewWindow(bufferSize)),
      BufferSize(bufferSize)
{
}

TBufferedStream::~TBufferedStream()
{
    try {
        if (Stream != nullptr)
            Flush();
    } catch (...) {
        // A destructor cannot report; Close() is the path that does.
    }
}

void TBufferedStream::Close()
{
    if (Stream == nullptr)
        return;
    Flush();
    Stream = nullptr;
    OwnedStream.reset();
}

void TBufferedStream::RequireOpen() const
{
    if (Stream == nullptr)
        throw Base::EStreamError(u"The stream is closed");
}

Base::TStream& TBufferedStream::Wrapped()
{
    RequireOpen();
    return *Stream;
}

void TBufferedStream::ResetWindow()
{
    BufferStart = 0;
    BufferCount = 0;
    Dirty = false;
}

// A move the wrapped stream refuses raises: reading or flushing the window
// anywhere else would deliver or overwrite the wrong bytes. No stream has a
// byte before its start, so a negative place is refused too (a refused seek
// may itself answer -1).
void TBufferedStream::MoveWrappedTo(int64_t position)
{
    Base::TStream& wrapped = Wrapped();
    if (position < 0)
        throw Base::EStreamError(u"Stream seek error");
    if (wrapped.GetPosition() == position)
        return;
    if (wrapped.Seek(position, Base::TSeekOrigin::Beginning) != position)
        throw Base::EStreamError(u"Stream seek error");
}

void TBufferedStream::FillWindow()
{
    MoveWrappedTo(Position);
    BufferStart = Position;
    BufferCount = std::max(Wrapped().Read(Buffer.get(), BufferSize), 0);
    Dirty = false;
}

void TBufferedStream::MarkWritten()
{
    Dirty = true;
    const int64_t end = Position - BufferStart;
    if (end > BufferCount)
        BufferCount = static_cast<int32_t>(end);
}

void TBufferedStream::Flush()
{
    if (!Dirty)
        return;
    MoveWrappedTo(BufferStart);
    Wrapped().WriteBuffer(Buffer.get(), BufferCount);
    Dirty = false;
}

int32_t TBufferedStream::Read(void* buffer, int32_t count)
{
    if (count <= 0)
        return 0;
    RequireOpen();
    auto* destination = static_cast<uint8_t*>(buffer);
    int32_t delivered = 0;
    const int64_t rel = Position - BufferStart;
    if (rel >= 0 && rel < BufferCount) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(BufferCount - rel, count));
        std::memcpy(destination, Buffer.get() + rel, static_cast<size_t>(n));
        Position += n;
        delivered += n;
        count -= n;
        destination += n;
    }
    if (count > 0) {
        Flush();
        ResetWindow();
        if (count > BufferSize) {
            MoveWrappedTo(Position);
            const int32_t got = Wrapped().Read(destination, count);
            Position = Wrapped().GetPosition();
            return delivered + std::max(got, 0);
        }
        FillWindow();
        const int32_t n = std::min(count, BufferCount);
        if (n > 0) {
            std::memcpy(destination, Buffer.get(), static_cast<size_t>(n));
            Position += n;
            delivered += n;
        }
    }
    return delivered;
}

int32_t TBufferedStream::Write(const void* buffer, int32_t count)
{
    if (count <= 0)
        return 0;
    RequireOpen();
    const auto* source = static_cast<const uint8_t*>(buffer);
    int32_t accepted = 0;
    const int64_t rel = Position - BufferStart;
    // Only where the window's valid bytes reach: a write further in would
    // leave a gap of stale window memory that a flush would carry into the
    // file. Such a write goes the refill way below, which reads the gap in.
    if (rel >= 0 && rel <= BufferCount && rel < BufferSize) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(BufferSize - rel, count));
        std::memcpy(Buffer.get() + rel, source, static_cast<size_t>(n));
        Position += n;
        accepted += n;
        count -= n;
        source += n;
        MarkWritten();
    }
    if (count <= 0)
        return accepted;
    Flush();
    ResetWindow();
    if (count > BufferSize) {
        MoveWrappedTo(Position);
        const int32_t taken = Wrapped().Write(source, count);
        Position = Wrapped().GetPosition();
        return accepted + std::max(taken, 0);
    }
    // Read before write: the file's bytes under the new window stay intact
    // around the part this write covers.
    FillWindow();
    std::memcpy(Buffer.get(), source, static_cast<size_t>(count));
    Position += count;
    MarkWritten();
    return accepted + count;
}

int64_t TBufferedStream::Seek(int64_t offset, Base::TSeekOrigin origin)
{
    return DoSeek(offset, origin);
}

int64_t TBufferedStream::DoSeek(int64_t offset, Base::TSeekOrigin origin)
{
    switch (origin) {
    case Base::TSeekOrigin::Beginning: Position = offset; break;
    case Base::TSeekOrigin::Current: Position += offset; break;
    case Base::TSeekOrigin::End: Position = Wrapped().GetSize() + offset; break;
    }
    return Position;
}

void TBufferedStream::SetSize(int64_t newSize)
{
    Flush();
    ResetWindow();
    Wrapped().SetSize(newSize);
    Position = Wrapped().GetPosition();
}

} // namespace Zelvane
