// TBufferedStream: one memory window in front of another byte stream, so
// that many small reads and writes become few large transfers.
//
// The window is written back (flushed) at these points and no others: an
// explicit Flush, a read or write the window cannot serve wholly, SetSize,
// Close and destruction. Seeks and size queries never flush; the size is the
// wrapped stream's, without data still in the window. Transfers larger than
// the window bypass it (after pending data is flushed). A write into a
// window re-read from the wrapped stream keeps the bytes around it.
//
// Streams are made by Create<T>(...), which runs AfterOpen once the object
// is complete, so a derived class's AfterOpen takes part in construction.
//
// Closing: Close() flushes and releases the wrapped stream, raising when the
// final flush fails (the window then keeps its data; Close may be retried).
// Destruction does the same but cannot report: a failed flush there is lost.
// Whoever needs to know that the data reached the file calls Close().
#pragma once

#include "base/Stream.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace Zelvane {

class TBufferedStream : public Base::TStream {
protected:
    // Only Create can make one: it guarantees that AfterOpen runs.
    class TCreateKey {
        friend class TBufferedStream;
        TCreateKey() = default;
    };

public:
    static constexpr int32_t DefaultBufferSize = 16384;

    template <class T, class... Args>
    static std::unique_ptr<T> Create(Args&&... args)
    {
        auto stream = std::make_unique<T>(TCreateKey{}, std::forward<Args>(args)...);
        static_cast<TBufferedStream&>(*stream).AfterOpen();
        return stream;
    }

    // Over a stream someone else owns; it stays open after this one goes.
    TBufferedStream(TCreateKey, Base::TStream& stream, int32_t bufferSize = DefaultBufferSize);
    // Over a stream this one owns and releases (for a file: closes) at the end.
    TBufferedStream(TCreateKey, std::unique_ptr<Base::TStream> stream, int32_t bufferSize = DefaultBufferSize);
    ~TBufferedStream() override;

    void SetSize(int64_t newSize) override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, Base::TSeekOrigin origin) override;

    // Writes a dirty window back with the whole-block write; on failure the
    // window stays dirty with its contents, and a later Flush tries again.
    virtual void Flush();
    // Flushes, then lets go of the wrapped stream. Any later use raises EStreamError.
    void Close();

protected:
    // The last step of construction; nothing here.
    virtual void AfterOpen() {}
    virtual int64_t DoSeek(int64_t offset, Base::TSeekOrigin origin);

private:
    void RequireOpen() const;
    Base::TStream& Wrapped();
    void ResetWindow();
    void FillWindow();
    void MarkWritten();
    void MoveWrappedTo(int64_t position);

    std::unique_ptr<Base::TStream> OwnedStream;
    Base::TStream* Stream;
    std::unique_ptr<uint8_t[]> Buffer;
    int32_t BufferSize;
    int64_t BufferStart = 0;
    int32_t BufferCount = 0;
    bool Dirty = false;
    int64_t Position = 0;
};

} // namespace Zelvane
