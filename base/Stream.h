// TStream: the byte-stream abstraction every stream of the system derives
// from. Derived classes give size, read, write and seek; the whole-block
// write and the position are built on them here.
#pragma once

#include <cstdint>

namespace Base {

enum class TSeekOrigin : uint8_t {
    Beginning = 0,
    Current = 1,
    End = 2,
};

class TStream {
public:
    TStream() = default;
    virtual ~TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // By default: seek to the end and back, so the result is what a seek
    // from the end sees.
    virtual int64_t GetSize();
    virtual void SetSize(int64_t newSize) = 0;
    // Up to `count` bytes; the number delivered (0 at the end, or when count <= 0).
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    // Up to `count` bytes; the number taken (0 when the medium takes nothing).
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    // The new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    // Writes all `count` bytes, repeating Write for the remainder; a Write
    // that takes nothing raises EWriteError ("Stream write error").
    void WriteBuffer(const void* buffer, int64_t count);

    int64_t GetPosition() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::Beginning); }
};

} // namespace Base
