// What the fuzz targets share: the plugin registered with the unit tests'
// fake host (every service refused, so nothing leaves the process), input
// bytes as text, and a private folder for targets that need a file.
#pragma once

#include "../tests/unit/FakeHost.h"
#include "base/String.h"
#include "base/Utf.h"
#include "plugin/uPlugin.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace Fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Input bytes as UTF-16 code units, so every unit (a lone surrogate too) can occur.
inline Base::String Units(std::string_view bytes)
{
    Base::String text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

// Cuts the next piece off `rest` at a 0 byte (all of it when there is none).
inline std::string_view TakePiece(std::string_view& rest)
{
    const size_t end = rest.find('\0');
    const std::string_view piece = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return piece;
}

// The renamer's plugin object with a host that refuses every service.
inline Zelvane::TPlugin& Plugin()
{
    static Zelvane::TPlugin plugin;
    static TestSupport::FakeHost host(&plugin);
    return plugin;
}

// A folder of this process's own, made on first use and removed at exit.
class TPrivateFolder {
public:
    TPrivateFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelvane-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        Path = pattern;
    }
    ~TPrivateFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    TPrivateFolder(const TPrivateFolder&) = delete;
    TPrivateFolder& operator=(const TPrivateFolder&) = delete;

    std::filesystem::path Path;
};

inline const std::filesystem::path& Folder()
{
    static const TPrivateFolder folder;
    return folder.Path;
}

// Stops the run on a broken promise, so libFuzzer keeps the input.
inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace Fuzz
