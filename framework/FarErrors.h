// The framework's exception classes.
#pragma once

#include "base/Exception.h"

namespace Tessel {

class EFarError : public Base::Exception {
public:
    using Base::Exception::Exception;
};

// Lifecycle errors: no plugin object registered, or a second one.
class EFarPluginError : public EFarError {
public:
    using EFarError::EFarError;
};

class EFarDialogError : public Base::Exception {
public:
    using Base::Exception::Exception;
};

} // namespace Tessel
