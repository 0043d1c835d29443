// The plugin's side of the renamer comparison: the whole path a user takes
// through the stand-in host, without a terminal. The host loads the built
// plugin (Zelvane3.so beside this program), shows the folder in its active
// panel, selects every file (gray "+"), opens the plugin from the plugins
// menu and types the template into the rename dialog, then Enter: the plugin
// reads the panel, expands the template for every file, renames, writes the
// selection back and saves its options in the profile's settings database.
//
// Usage: PluginRename FOLDER TEMPLATE PROFILE [--phases]
// PROFILE is Far's profile folder for the settings (made when missing).
// --phases prints the time of each step to standard error, with the
// largest resident set so far.
// Exit status 0 when every file was renamed, 1 otherwise.
#include "host/app/HostError.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/app/StandInHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The process's largest resident set so far (VmHWM), 0 where the system
// does not say.
double PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

class PhaseClock {
public:
    explicit PhaseClock(bool report) : Report(report) {}

    void Done(const char* phase)
    {
        const auto now = std::chrono::steady_clock::now();
        if (Report)
            std::fprintf(stderr, "%-12s %9.1f ms   peak so far %6.1f MB\n", phase,
                         std::chrono::duration<double, std::milli>(now - Last).count(), PeakMegabytes());
        Last = now;
    }

private:
    bool Report;
    std::chrono::steady_clock::time_point Last = std::chrono::steady_clock::now();
};

int Run(const std::filesystem::path& folder, const std::string& nameTemplate, const std::filesystem::path& profile,
        bool phases)
{
    PhaseClock clock(phases);
    Host::ScriptedFrontEnd user;
    Host::HostOptions options;
    options.Profile = profile;
    Host::StandInHost host(user, options);
    // The panel log is for tests; nobody reads it here.
    host.Panels().RecordCalls = false;
    host.Load();
    clock.Done("load");

    Host::Panel& panel = host.ActivePanel();
    panel.ShowFolder(folder);
    clock.Done("read folder");

    // Gray "+": every file, no folder.
    for (size_t i = 0; i < panel.Items().size(); ++i)
        if ((panel.Items()[i].Attributes & Far3::FileAttribute::Directory) == 0)
            panel.Select(i, true);
    const size_t selected = panel.SelectedCount();
    clock.Done("select");

    user.QueueKeys(nameTemplate + "<Enter>");
    host.Open();
    clock.Done("open");
    host.Unload();
    clock.Done("unload");

    const size_t left = panel.SelectedCount();
    // A long run shows its progress in boxes without buttons; any other box
    // is a question or a warning, which a clean run never shows.
    const auto questions = std::count_if(user.Messages().begin(), user.Messages().end(),
                                         [](const Host::MessageBox& box) { return !box.Buttons.empty(); });
    if (user.Dialogs().size() != 1 || questions != 0 || !user.Editors().empty() || left != 0) {
        std::fprintf(stderr, "%zu of %zu files not renamed (%zu dialogs, %zu messages, %zu editors)\n", left,
                     selected, user.Dialogs().size(), static_cast<size_t>(questions), user.Editors().size());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 5 || (argc == 5 && std::string(argv[4]) != "--phases")) {
        std::fprintf(stderr, "usage: %s FOLDER TEMPLATE PROFILE [--phases]\n", argv[0]);
        return 2;
    }
    try {
        return Run(argv[1], argv[2], argv[3], argc == 5);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
