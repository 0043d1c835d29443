// zelvane-host: Far Manager 3's part for the plugin at a terminal.
//
// On a terminal it opens the full-screen view (host/frontends, host/views): Far's panels
// over the folder, its keys and menus, the plugin's dialogs drawn as Far
// draws them. With --script, or when standard input or output is not a
// terminal, it reads line commands instead (for scripts and tests).
// --demo makes a demo folder in the temporary folder and opens it.

#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/app/StandInHost.h"
#include "host/frontends/LineFrontEnd.h"
#include "host/views/DemoFolder.h"

#if defined(ZELVANE_HOST_FULL_SCREEN)
#include "host/console/CursesConsole.h"
#include "host/views/FileManager.h"
#include "host/frontends/FullScreenFrontEnd.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Exit statuses, as --help lists them.
enum Status : int {
    Success = 0,
    Failure = 1,
    BadUsage = 2,
    BadFolder = 3,
    BadPlugin = 4,
    BadProfile = 5,
};

// A reason to stop before or while starting, with its exit status.
struct StartError {
    int Status;
    std::string Message;
};

struct CommandLine {
    std::filesystem::path Plugin = Host::DefaultPluginPath();
    std::filesystem::path Profile;
    std::filesystem::path Folder;
    bool Script = false;
    bool Demo = false;
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

void Usage(std::ostream& out)
{
    out << "usage: zelvane-host [--demo] [--script] [--plugin PATH] [--profile DIR] [FOLDER]\n"
           "\n"
           "  FOLDER          the folder the panels show (default: the current folder)\n"
           "  --demo          make a demo folder in the temporary folder and open it\n"
           "  --script        line commands instead of the full-screen view (also\n"
           "                  when standard input or output is not a terminal)\n"
           "  --plugin PATH   the plugin library (default: Zelvane3 beside this program)\n"
           "  --profile DIR   Far's profile folder for the settings (default:\n"
           "                  $XDG_CONFIG_HOME/zelvane-host or ~/.config/zelvane-host)\n"
           "\n"
           "Full-screen keys: arrows, PgUp/PgDn, Home/End move; Insert or Shift+arrows\n"
           "select; + - * select all files, none, invert; Enter opens a folder; F4 edits\n"
           "the file; F11 the plugins menu; Alt+Shift+F9 the plugins' configuration; F10\n"
           "quits. The editor: typing, Del, BS, Enter, Ctrl+Y (delete the line), arrows,\n"
           "Home/End, PgUp/PgDn; F2 saves; Esc or F10 closes, asking to save a change.\n"
           "With VISUAL or EDITOR set, that program edits instead.\n"
           "\n"
           "Line mode: a modal editor reads its own commands at \"editor>\": t replaces\n"
           "the text with the lines that follow, up to a line \".\" (\"..\" starts a line\n"
           "with \".\"); p prints it; w saves; x closes, asking to save a change.\n"
           "\n"
           "Exit status: 0 done, 1 failure, 2 bad command line, 3 folder missing or\n"
           "unreadable, 4 plugin library not loaded, 5 profile folder unusable.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine options;
    options.Profile = DefaultProfile();
    bool haveFolder = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--plugin" || arg == "--profile") {
            if (i + 1 >= args.size())
                throw StartError{BadUsage, arg + " needs a path"};
            (arg == "--plugin" ? options.Plugin : options.Profile) = args[++i];
        } else if (arg == "--script") {
            options.Script = true;
        } else if (arg == "--demo") {
            options.Demo = true;
        } else if (arg.starts_with("-") && arg != "-") {
            throw StartError{BadUsage, "unknown option " + arg};
        } else if (haveFolder) {
            throw StartError{BadUsage, "only one folder can be given"};
        } else {
            options.Folder = arg;
            haveFolder = true;
        }
    }
    if (options.Demo && haveFolder)
        throw StartError{BadUsage, "--demo makes its own folder; give no folder with it"};
    if (!haveFolder)
        options.Folder = std::filesystem::current_path();
    return options;
}

void CheckFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!std::filesystem::exists(folder, error))
        throw StartError{BadFolder, "the folder " + folder.string() + " does not exist"};
    if (!std::filesystem::is_directory(folder, error))
        throw StartError{BadFolder, folder.string() + " is not a folder"};
    std::filesystem::directory_iterator probe(folder, error);
    if (error)
        throw StartError{BadFolder, "cannot read the folder " + folder.string() + ": " + error.message()};
}

// The settings go to <profile>/PluginsData: it must exist and take files.
void CheckProfile(const std::filesystem::path& profile)
{
    const std::filesystem::path data = profile / "PluginsData";
    std::error_code error;
    std::filesystem::create_directories(data, error);
    if (error || !std::filesystem::is_directory(data, error))
        throw StartError{BadProfile, "cannot use the profile folder " + profile.string() + ": " +
                                         (error ? error.message() : "not a folder")};
    const std::filesystem::path probe = data / ".zelvane-host-probe";
    bool writable = static_cast<bool>(std::ofstream(probe, std::ios::binary) << "probe");
    std::filesystem::remove(probe, error);
    if (!writable)
        throw StartError{BadProfile, "cannot write into the profile folder " + data.string()};
}

void LoadPlugin(Host::StandInHost& host, const std::filesystem::path& plugin)
{
    try {
        host.Load(plugin);
    } catch (const Host::HostError& error) {
        throw StartError{BadPlugin, std::string("the plugin did not load: ") + error.what()};
    }
}

// ---------------------------------------------------------------- line mode

void PrintPanel(Host::StandInHost& host)
{
    const Host::Panel& panel = host.ActivePanel();
    std::cout << "\n" << Host::Utf16ToUtf8(panel.Directory()) << "\n";
    for (size_t i = 0; i < panel.Items().size(); ++i) {
        const Host::PanelItem& item = panel.Items()[i];
        bool folder = item.Attributes & Far3::FileAttribute::Directory;
        std::cout << (i == panel.CurrentItem() ? '>' : ' ') << (item.Selected ? '*' : ' ') << " " << i << "\t"
                  << Host::Utf16ToUtf8(item.Name) << (folder ? "/" : "") << "\n";
    }
}

void PrintHelp()
{
    std::cout << "commands: l list | s N.. select | u N.. deselect | a select all | n select none | c N cursor\n"
                 "          r re-read | o [N] open plugin menu item | f [N] configure | e editors\n"
                 "          x ID close editor | q quit\n"
                 "a modal editor: t (text up to a line \".\") | p print | w save | x close\n";
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

void RunLoop(Host::StandInHost& host, Host::LineFrontEnd& terminal)
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

void RunLineMode(const CommandLine& options, const Host::HostOptions& hostOptions)
{
    Host::LineFrontEnd terminal(std::cin, std::cout);
    Host::StandInHost host(terminal, hostOptions);
    host.Panels().RecordCalls = false; // the panel call log is for tests
    host.ActivePanel().ShowFolder(options.Folder);
    host.PassivePanel().ShowFolder(options.Folder);
    LoadPlugin(host, options.Plugin);

    const Host::PluginIdentity& identity = host.Identity();
    std::cout << Host::Utf16ToUtf8(identity.Title) << " " << identity.Version.Major << "." << identity.Version.Minor
              << "." << identity.Version.Revision << "." << identity.Version.Build << " — "
              << Host::Utf16ToUtf8(identity.Description) << " (" << Host::Utf16ToUtf8(identity.Author) << ")\n";
    std::cout << "Settings: " << options.Profile.string() << "\n";
    for (size_t i = 0; i < host.Menus().PluginMenu.size(); ++i)
        std::cout << "menu " << i << ": " << Host::Utf16ToUtf8(host.Menus().PluginMenu[i].Text) << "\n";
    for (size_t i = 0; i < host.Menus().PluginConfig.size(); ++i)
        std::cout << "configuration " << i << ": " << Host::Utf16ToUtf8(host.Menus().PluginConfig[i].Text) << "\n";

    RunLoop(host, terminal);
    host.Unload();
}

// ---------------------------------------------------------------- full screen

#if defined(ZELVANE_HOST_FULL_SCREEN)

bool OnTerminal()
{
    return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

// The terminal speaks UTF-8: the frames and names need it.
void UseUtf8Locale()
{
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

void RunFullScreen(const CommandLine& options, const Host::HostOptions& hostOptions)
{
    UseUtf8Locale();
    Host::CursesConsole console;
    Host::FullScreenFrontEnd screen(console);
    screen.SetExternalEditor(Host::ExternalEditorCommand());
    Host::StandInHost host(screen, hostOptions);
    host.Panels().RecordCalls = false; // the panel call log is for tests
    host.ActivePanel().ShowFolder(options.Folder);
    host.PassivePanel().ShowFolder(options.Folder);
    LoadPlugin(host, options.Plugin);
    {
        Host::FileManager manager(host, screen);
        manager.Run();
    }
    host.Unload();
}

#endif

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        for (const std::string& arg : args)
            if (arg == "--help" || arg == "-h") {
                Usage(std::cout);
                return Success;
            }
        CommandLine options = ParseCommandLine(args);
        if (options.Demo) {
            try {
                options.Folder = Host::MakeDemoFolder(std::filesystem::temp_directory_path());
            } catch (const std::exception& error) {
                throw StartError{BadFolder, error.what()};
            }
        }
        CheckFolder(options.Folder);
        CheckProfile(options.Profile);

        Host::HostOptions hostOptions;
        hostOptions.Profile = options.Profile;
#if defined(ZELVANE_HOST_FULL_SCREEN)
        if (!options.Script && OnTerminal()) {
            RunFullScreen(options, hostOptions);
            if (options.Demo)
                std::cout << "The demo folder stays at " << options.Folder.string() << "\n";
            return Success;
        }
#endif
        RunLineMode(options, hostOptions);
    } catch (const StartError& error) {
        std::cerr << "zelvane-host: " << error.Message << "\n";
        if (error.Status == BadUsage)
            std::cerr << "Try 'zelvane-host --help'.\n";
        return error.Status;
    } catch (const std::exception& error) {
        std::cerr << "zelvane-host: " << error.what() << "\n";
        return Failure;
    }
    return Success;
}
