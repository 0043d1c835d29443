#include "host/views/DemoFolder.h"

#include "host/app/HostError.h"

#include <fstream>
#include <random>

namespace Host {

std::vector<std::string> DemoFileNames()
{
    return {"archive.zip", "budget.csv",     "data.txt",       "file2.txt",  "holiday-01.jpg", "holiday-02.jpg",
            "holiday-03.jpg", "notes.txt",   "readme.md",      "report.pdf", "song.mp3",       "todo.txt"};
}

std::filesystem::path MakeDemoFolder(const std::filesystem::path& parent)
{
    std::random_device random;
    std::error_code error;
    std::filesystem::path folder;
    for (int attempt = 0;; ++attempt) {
        folder = parent / ("zelvane-demo-" + std::to_string(random() % 1000000));
        if (std::filesystem::create_directory(folder, error))
            break;
        if (error || attempt > 100)
            throw HostError("Cannot make the demo folder in " + parent.string() + ": " +
                            (error ? error.message() : "every name is taken"));
    }
    for (const std::string& name : DemoFileNames()) {
        std::ofstream file(folder / name, std::ios::binary);
        file << "This is " << name << ", a file of the Zelvane 3 demo.\n";
        if (!file)
            throw HostError("Cannot write the demo file " + (folder / name).string());
    }
    std::filesystem::create_directory(folder / "photos", error);
    std::ofstream(folder / "photos" / "beach.jpg", std::ios::binary) << "A photo.\n";
    return folder;
}

} // namespace Host
