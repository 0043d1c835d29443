// The one exception type of the stand-in host: a plugin that cannot be
// loaded or used, with a message meant for a person.
#pragma once

#include <stdexcept>
#include <string>

namespace Host {

class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace Host
