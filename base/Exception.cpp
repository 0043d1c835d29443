#include "base/Exception.h"

#include "base/TypeName.h"
#include "base/Utf.h"

#include <typeinfo>

namespace Base {

Exception::Exception(String message)
    : MessageText(std::move(message))
    , MessageUtf8(ToUtf8(MessageText))
{
}

String Exception::ClassName() const
{
    return TypeName(typeid(*this));
}

EAbort::EAbort()
    : Exception(u"Operation aborted")
{
}

String ExceptionClassName(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->ClassName();
    return FromUtf8(QualifiedTypeName(typeid(e)));
}

String ExceptionMessage(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->Message();
    return FromUtf8(e.what());
}

} // namespace Base
