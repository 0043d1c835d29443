// The table of live handles of the POSIX build. Handle values are counted
// up (as Windows' are multiples of four) and never dereferenced: a closed,
// foreign or made-up value is simply not found.
#include "platform/posix/PosixSupport.h"

#include <map>
#include <mutex>

namespace Platform::Posix {

namespace {

class THandleTable {
public:
    HANDLE Add(std::unique_ptr<THandleObject> object)
    {
        const std::lock_guard<std::mutex> lock(Guard);
        LastValue += 4;
        Objects.emplace(LastValue, std::move(object));
        return reinterpret_cast<HANDLE>(LastValue);
    }

    THandleObject* Find(HANDLE handle)
    {
        const std::lock_guard<std::mutex> lock(Guard);
        const auto it = Objects.find(reinterpret_cast<uintptr_t>(handle));
        return it == Objects.end() ? nullptr : it->second.get();
    }

    std::unique_ptr<THandleObject> Take(HANDLE handle)
    {
        const std::lock_guard<std::mutex> lock(Guard);
        const auto it = Objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == Objects.end())
            return nullptr;
        std::unique_ptr<THandleObject> object = std::move(it->second);
        Objects.erase(it);
        return object;
    }

private:
    std::mutex Guard;
    uintptr_t LastValue = 0;
    std::map<uintptr_t, std::unique_ptr<THandleObject>> Objects;
};

THandleTable& Table()
{
    // Never destroyed, and not on the heap: other objects' destructors may
    // still open and close handles while the library unloads.
    union TNeverDestroyed {
        TNeverDestroyed() : Table() {}
        ~TNeverDestroyed() {}
        THandleTable Table;
    };
    static TNeverDestroyed holder;
    return holder.Table;
}

} // namespace

HANDLE AddHandle(std::unique_ptr<THandleObject> object)
{
    return Table().Add(std::move(object));
}

THandleObject* FindHandle(HANDLE handle)
{
    return Table().Find(handle);
}

std::unique_ptr<THandleObject> TakeHandle(HANDLE handle)
{
    return Table().Take(handle);
}

} // namespace Platform::Posix

namespace Platform {

BOOL CloseHandle(HANDLE object)
{
    if (Posix::TakeHandle(object) == nullptr)
        return Posix::Fail(Posix::ERROR_INVALID_HANDLE);
    return 1;
}

} // namespace Platform
