// TFileStream: a byte stream over a file of the platform layer. The mode
// word is the standard one: ModeCreate (0xFF00) creates the file or empties
// an existing one and opens it for reading and writing with no sharing;
// otherwise the low bits choose the access and the next ones the sharing
// of an existing file.
#pragma once

#include "base/Exception.h"
#include "base/Stream.h"
#include "base/String.h"
#include "platform/Platform.h"

#include <cstdint>

namespace Zelvane {

using Base::String;

// An existing file that could not be opened.
class EFOpenError : public Base::EStreamError {
public:
    using EStreamError::EStreamError;
};

class TFileStream : public Base::TStream {
public:
    static constexpr uint16_t ModeCreate = 0xFF00;
    static constexpr uint16_t ModeOpenRead = 0x0000;
    static constexpr uint16_t ModeOpenWrite = 0x0001;
    static constexpr uint16_t ModeOpenReadWrite = 0x0002;
    static constexpr uint16_t ShareExclusive = 0x0010;
    static constexpr uint16_t ShareDenyWrite = 0x0020;
    static constexpr uint16_t ShareDenyRead = 0x0030;
    static constexpr uint16_t ShareDenyNone = 0x0040;

    // Raises EFCreateError (ModeCreate) or EFOpenError naming the expanded
    // file name and the system's error text.
    TFileStream(const String& fileName, uint16_t mode);
    ~TFileStream() override;

    const String& FileName() const { return Name; }

    // Leaves the position at the new size; raises EStreamError when refused.
    void SetSize(int64_t newSize) override;
    // 0 when the file delivers or takes nothing (or fails).
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    // -1 when the system refuses the move.
    int64_t Seek(int64_t offset, Base::TSeekOrigin origin) override;

private:
    String Name;
    Platform::HANDLE Handle;
};

// The system's text for its last error, e.g. "Access is denied.".
String LastSystemErrorText();
String SystemErrorText(Platform::DWORD error);

} // namespace Zelvane
