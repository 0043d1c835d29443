// LocalProfileVariable: FARLOCALPROFILE for the host's process, as Far sets
// it at start-up, so a plugin finds the machine-local profile where it keeps
// data that names this machine's folders; the folder is made when missing,
// as Far's profile always exists. Given no folder, it makes a
// private temporary one that goes when the object does, as a host that
// keeps its settings in memory keeps nothing on disk either. The previous
// value of the variable comes back on destruction. One at a time (the
// environment belongs to the process); main thread only. Throws HostError
// when the temporary folder cannot be made.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace Host {

class LocalProfileVariable {
public:
    explicit LocalProfileVariable(const std::filesystem::path& folder);
    ~LocalProfileVariable();
    LocalProfileVariable(const LocalProfileVariable&) = delete;
    LocalProfileVariable& operator=(const LocalProfileVariable&) = delete;

    const std::filesystem::path& Folder() const { return Path; }

private:
    std::filesystem::path Path;
    bool Temporary = false;
    std::optional<std::filesystem::path::string_type> Previous;
};

} // namespace Host
