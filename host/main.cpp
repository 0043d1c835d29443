// zelvane-host: Far Manager 3's part for the plugin at a plain terminal.
// Shows a folder as the active panel, lets the user select files and run
// the plugin from its menu or configuration item.

#include "host/HostError.h"
#include "host/HostText.h"
#include "host/StandInHost.h"
#include "host/TerminalFrontEnd.h"

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CommandLine {
    std::filesystem::path Plugin = Host::DefaultPluginPath();
    std::filesystem::path Profile;
    std::filesystem::path Folder = std::filesystem::current_path();
};

std::filesystem::path DefaultProfile()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::filesystem::path(config) / "zelvane-host";
#if defined(_WIN32)
    if (const char* appData = std::getenv("APPDATA"); appData && *appData)
        return std::filesystem::path(appData) / "zelvane-host";
#endif
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config" / "zelvane-host";
    return std::filesystem::current_path() / "zelvane-host-profile";
}

void Usage()
{
    std::cout << "usage: zelvane-host [--plugin PATH] [--profile DIR] [folder]\n";
}

void PrintPanel(Host::StandInHost& host)
{
    const Host::Panel& panel = host.ActivePanel();
    std::cout << "\n" << Host::Utf16ToUtf8(panel.Directory()) << "\n";
    for (size_t i = 0; i < panel.Items().size(); ++i) {
        const Host::PanelItem& item = panel.Items()[i];
        bool folder = item.Attributes & Far3::FILE_ATTRIBUTE_DIRECTORY;
        std::cout << (i == panel.CurrentItem() ? '>' : ' ') << (item.Selected ? '*' : ' ') << " " << i << "\t"
                  << Host::Utf16ToUtf8(item.Name) << (folder ? "/" : "") << "\n";
    }
}

void PrintHelp()
{
    std::cout << "commands: l list | s N.. select | u N.. deselect | a select all | n select none | c N cursor\n"
                 "          r re-read | o [N] open plugin menu item | f [N] configure | e editors\n"
                 "          x ID close editor | q quit\n";
}

std::vector<size_t> Numbers(std::istringstream& words)
{
    std::vector<size_t> numbers;
    long long number = 0;
    while (words >> number)
        if (number >= 0)
            numbers.push_back(static_cast<size_t>(number));
    return numbers;
}

void RunLoop(Host::StandInHost& host, Host::TerminalFrontEnd& terminal)
{
    PrintHelp();
    PrintPanel(host);
    std::string line;
    while (std::cout << "> " << std::flush, std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        Host::Panel& panel = host.ActivePanel();
        try {
            if (command == "q") {
                break;
            } else if (command == "l" || command.empty()) {
                PrintPanel(host);
            } else if (command == "s" || command == "u") {
                for (size_t index : Numbers(words))
                    panel.Select(index, command == "s");
                PrintPanel(host);
            } else if (command == "a" || command == "n") {
                for (size_t i = 0; i < panel.Items().size(); ++i)
                    panel.Select(i, command == "a");
                PrintPanel(host);
            } else if (command == "c") {
                for (size_t index : Numbers(words))
                    panel.SetCurrentItem(index);
                PrintPanel(host);
            } else if (command == "r") {
                panel.Update(true);
                PrintPanel(host);
            } else if (command == "o" || command == "f") {
                std::vector<size_t> index = Numbers(words);
                if (command == "o")
                    host.Open(index.empty() ? 0 : index.front());
                else
                    std::cout << "ConfigureW answered " << host.Configure(sizeof(Far3::ConfigureInfo),
                                                                          index.empty() ? 0 : index.front())
                              << "\n";
                PrintPanel(host);
            } else if (command == "e") {
                for (const Host::EditorWindow& editor : host.Editors().OpenEditors())
                    std::cout << "#" << editor.Id << " " << editor.FileName.string() << "\n";
            } else if (command == "x") {
                for (size_t id : Numbers(words)) {
                    for (const Host::EditorWindow& editor : host.Editors().OpenEditors())
                        if (editor.Id == static_cast<intptr_t>(id))
                            terminal.ShowFile(editor.FileName);
                    if (!host.CloseEditor(static_cast<intptr_t>(id)))
                        std::cout << "No editor #" << id << "\n";
                }
            } else {
                PrintHelp();
            }
        } catch (const Host::HostError& error) {
            std::cout << error.what() << "\n";
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    CommandLine options;
    options.Profile = DefaultProfile();
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--plugin" || args[i] == "--profile") && i + 1 < args.size()) {
            (args[i] == "--plugin" ? options.Plugin : options.Profile) = args[i + 1];
            ++i;
        } else if (args[i] == "--help" || args[i] == "-h" || args[i].starts_with("--")) {
            Usage();
            return args[i].starts_with("--h") || args[i] == "-h" ? 0 : 2;
        } else {
            options.Folder = args[i];
        }
    }

    try {
        Host::TerminalFrontEnd terminal(std::cin, std::cout);
        Host::HostOptions hostOptions;
        hostOptions.Profile = options.Profile;
        Host::StandInHost host(terminal, hostOptions);
        host.ActivePanel().ShowFolder(options.Folder);
        host.PassivePanel().ShowFolder(options.Folder);
        host.Load(options.Plugin);

        const Host::PluginIdentity& identity = host.Identity();
        std::cout << Host::Utf16ToUtf8(identity.Title) << " " << identity.Version.Major << "."
                  << identity.Version.Minor << "." << identity.Version.Revision << "." << identity.Version.Build
                  << " — " << Host::Utf16ToUtf8(identity.Description) << " (" << Host::Utf16ToUtf8(identity.Author)
                  << ")\n";
        std::cout << "Settings: " << options.Profile.string() << "\n";
        for (size_t i = 0; i < host.Menus().PluginMenu.size(); ++i)
            std::cout << "menu " << i << ": " << Host::Utf16ToUtf8(host.Menus().PluginMenu[i].Text) << "\n";
        for (size_t i = 0; i < host.Menus().PluginConfig.size(); ++i)
            std::cout << "configuration " << i << ": " << Host::Utf16ToUtf8(host.Menus().PluginConfig[i].Text)
                      << "\n";

        RunLoop(host, terminal);
        host.Unload();
    } catch (const std::exception& error) {
        std::cerr << "zelvane-host: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
