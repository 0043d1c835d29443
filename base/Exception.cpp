#include "base/Exception.h"

#include "base/Utf.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

#if defined(__GNUC__)
#include <cxxabi.h>
#endif

namespace Base {

namespace {

std::string Demangle(const char* name)
{
#if defined(__GNUC__)
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(name, nullptr, nullptr, &status),
                                                 std::free);
    if (status == 0 && plain)
        return plain.get();
#endif
    return name;
}

std::string WithoutNamespaces(const std::string& name)
{
    const auto pos = name.rfind("::");
    return pos == std::string::npos ? name : name.substr(pos + 2);
}

} // namespace

Exception::Exception(String message)
    : MessageText(std::move(message))
    , MessageUtf8(ToUtf8(MessageText))
{
}

String Exception::ClassName() const
{
    return FromUtf8(WithoutNamespaces(Demangle(typeid(*this).name())));
}

EAbort::EAbort()
    : Exception(u"Operation aborted")
{
}

String ExceptionClassName(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->ClassName();
    return FromUtf8(Demangle(typeid(e).name()));
}

String ExceptionMessage(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->Message();
    return FromUtf8(e.what());
}

} // namespace Base
