#include "base/Stream.h"

#include "base/Exception.h"

#include <algorithm>
#include <limits>

namespace Base {

int64_t TStream::GetSize()
{
    const int64_t position = Seek(0, TSeekOrigin::Current);
    const int64_t size = Seek(0, TSeekOrigin::End);
    Seek(position, TSeekOrigin::Beginning);
    return size;
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
        const auto piece = static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
        const int32_t taken = Write(bytes, piece);
        if (taken <= 0)
            throw EWriteError(u"Stream write error");
        bytes += taken;
        count -= taken;
    }
}

} // namespace Base
