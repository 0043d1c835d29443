// Files for tests: a fresh folder per test, removed afterwards, and whole
// files read and written as bytes.
#pragma once

#include "base/String.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace TestSupport {

class TestFolder {
public:
    TestFolder()
    {
        std::random_device random;
        Path = std::filesystem::temp_directory_path() / ("zelvane-test-" + std::to_string(random()));
        std::filesystem::create_directories(Path);
    }
    ~TestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored); // removes links as links
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::filesystem::path Child(const std::string& name) const { return Path / name; }
    // The child's name as the system's text, with the platform's separator.
    Base::String Name(const std::string& name = {}) const
    {
        return name.empty() ? Path.u16string() : Child(name).u16string();
    }

    std::filesystem::path Path;
};

inline std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Bytes from a list of values, for exact layouts: Bytes({0xEF, 0xBB, 0xBF}).
inline std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

} // namespace TestSupport
