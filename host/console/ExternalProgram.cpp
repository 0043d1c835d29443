#include "host/console/ExternalProgram.h"

#include <cstdlib>

#if !defined(_WIN32)
#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace Host {

std::string ExternalEditorCommand()
{
    for (const char* name : {"VISUAL", "EDITOR"})
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return {};
}

int RunWithFile(const std::string& command, const std::filesystem::path& file)
{
#if defined(_WIN32)
    (void)command;
    (void)file;
    return -1;
#else
    // Built before the fork: the child only calls what is safe there.
    const std::string script = command + " \"$1\"";
    const std::string name = file.string();
    struct sigaction ignore{};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction oldInterrupt{};
    struct sigaction oldQuit{};
    sigaction(SIGINT, &ignore, &oldInterrupt);
    sigaction(SIGQUIT, &ignore, &oldQuit);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGINT, SIG_DFL);
        signal(SIGQUIT, SIG_DFL);
        execl("/bin/sh", "sh", "-c", script.c_str(), "sh", name.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = -1;
    if (child > 0) {
        while (waitpid(child, &status, 0) < 0) {
            if (errno != EINTR) {
                status = -1;
                break;
            }
        }
    }
    sigaction(SIGINT, &oldInterrupt, nullptr);
    sigaction(SIGQUIT, &oldQuit, nullptr);
    if (child < 0 || status == -1 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
#endif
}

} // namespace Host
