// The common exception base of the system and its standard subclasses.
// Every exception carries a UTF-16 message; ClassName() is the name of the
// most-derived class, as the exception report shows it.
#pragma once

#include "base/String.h"

#include <exception>
#include <string>

namespace Base {

class Exception : public std::exception {
public:
    explicit Exception(String message);

    const String& Message() const noexcept { return MessageText; }
    const char* what() const noexcept override { return MessageUtf8.c_str(); }

    // The most-derived class name without namespaces, e.g. "EFarPluginError".
    String ClassName() const;

private:
    String MessageText;
    std::string MessageUtf8;
};

// The silent exception: ends an operation without any message.
class EAbort : public Exception {
public:
    EAbort();
    using Exception::Exception;
};

// A text that is not a number, or a format that does not fit its arguments.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// Stream failures: a write the medium did not take, a file that could not be created.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};

// The class name of any exception object: ours report their own class,
// others the demangled name of their dynamic type (e.g. "std::bad_alloc").
String ExceptionClassName(const std::exception& e);

// The message of any exception: ours their text, others what() read as UTF-8.
String ExceptionMessage(const std::exception& e);

} // namespace Base
