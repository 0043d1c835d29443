#include "base/TypeName.h"

#include "base/Utf.h"

#include <cstdlib>
#include <memory>

#if defined(__GNUC__)
#include <cxxabi.h>
#endif

namespace Base {

std::string QualifiedTypeName(const std::type_info& type)
{
    const char* name = type.name();
#if defined(__GNUC__)
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(name, nullptr, nullptr, &status),
                                                 std::free);
    if (status == 0 && plain)
        return plain.get();
#endif
    return name;
}

String TypeName(const std::type_info& type)
{
    const std::string name = QualifiedTypeName(type);
    // Only the part before any template arguments names the scopes.
    const auto scopeEnd = name.rfind("::", name.find('<'));
    return FromUtf8(scopeEnd == std::string::npos ? name : name.substr(scopeEnd + 2));
}

} // namespace Base
