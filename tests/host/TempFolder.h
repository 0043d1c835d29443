// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace HostTests {

class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        for (;;) {
            Root = std::filesystem::temp_directory_path() / ("zelvane-host-" + std::to_string(random()));
            if (std::filesystem::create_directory(Root))
                break;
        }
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(Root, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(Root, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return Root; }
    std::filesystem::path operator/(const std::string& name) const { return Root / name; }

    std::filesystem::path Write(const std::string& name, std::string_view bytes) const
    {
        std::filesystem::path path = Root / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

private:
    std::filesystem::path Root;
};

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace HostTests
