// A byte stream in memory that records the transfers made on it and can be
// told to take no more than a given size (a full medium).
#pragma once

#include "base/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace TestSupport {

class RecordingStream : public Base::TStream {
public:
    explicit RecordingStream(bool* destroyed = nullptr) : Destroyed(destroyed) {}
    ~RecordingStream() override
    {
        if (Destroyed != nullptr)
            *Destroyed = true;
        if (FinalData != nullptr)
            *FinalData = Data;
    }

    void SetSize(int64_t newSize) override
    {
        Data.resize(static_cast<size_t>(newSize));
        Position = newSize;
    }

    int32_t Read(void* buffer, int32_t count) override
    {
        Reads.push_back(count);
        const int64_t available = std::max<int64_t>(0, static_cast<int64_t>(Data.size()) - Position);
        const auto n = static_cast<int32_t>(std::clamp<int64_t>(count, 0, available));
        if (n > 0)
            std::memcpy(buffer, Data.data() + Position, static_cast<size_t>(n));
        Position += n;
        return n;
    }

    int32_t Write(const void* buffer, int32_t count) override
    {
        const auto n = static_cast<int32_t>(std::clamp<int64_t>(count, 0, std::max<int64_t>(0, Capacity - Position)));
        if (n > 0) {
            Writes.push_back(n);
            if (Data.size() < static_cast<size_t>(Position + n))
                Data.resize(static_cast<size_t>(Position + n), '\0');
            std::memcpy(Data.data() + Position, buffer, static_cast<size_t>(n));
        }
        Position += n;
        return n;
    }

    int64_t Seek(int64_t offset, Base::TSeekOrigin origin) override
    {
        switch (origin) {
        case Base::TSeekOrigin::Beginning: Position = offset; break;
        case Base::TSeekOrigin::Current: Position += offset; break;
        case Base::TSeekOrigin::End: Position = static_cast<int64_t>(Data.size()) + offset; break;
        }
        return Position;
    }

    std::string Data;
    int64_t Position = 0;
    // Bytes past this position are not taken.
    int64_t Capacity = std::numeric_limits<int64_t>::max();
    // The sizes of the writes that took something, and of every read asked.
    std::vector<int32_t> Writes;
    std::vector<int32_t> Reads;
    // Receives the content when the stream is destroyed.
    std::string* FinalData = nullptr;

private:
    bool* Destroyed;
};

} // namespace TestSupport
