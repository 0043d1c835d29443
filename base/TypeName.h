// Readable names of C++ types, for messages that name a class
// ("Failed to build dialog TOptionsDialog", the exception report).
#pragma once

#include "base/String.h"

#include <string>
#include <typeinfo>

namespace Base {

// The full demangled name, namespaces included, e.g. "std::bad_alloc".
std::string QualifiedTypeName(const std::type_info& type);

// The class's own name without namespaces or enclosing classes,
// e.g. "TOptionsDialog" for Zelvane::TOptionsDialog.
String TypeName(const std::type_info& type);

} // namespace Base
