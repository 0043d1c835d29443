#include "host/services/ConsoleInput.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace Host {

namespace {

// The console input the plugin reads now; null when none is.
ConsoleInput* ServingConsole = nullptr;

#ifdef _WIN32
using CreatePseudoConsoleFunc = HRESULT(WINAPI*)(COORD size, HANDLE input, HANDLE output, DWORD flags,
                                                 void** console);

// PROC_THREAD_ATTRIBUTE_PSEUDOCONSOLE, which older headers lack.
constexpr DWORD_PTR PseudoConsoleAttribute = 0x00020016;

// Gives this process a console input of its own when it has none (a test
// runs with its input from a file or a pipe): a hidden pseudo console, to
// which the process attaches through a short-lived child that starts on
// it (a process can attach only to the console of another process). The
// standard output and error stay where they were. Answers the console
// input handle, or null when there is none.
HANDLE ProcessConsoleInput()
{
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (::GetConsoleMode(input, &mode))
        return input;
    const auto create = reinterpret_cast<CreatePseudoConsoleFunc>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CreatePseudoConsole")));
    if (create == nullptr)
        return nullptr;
    // The console lives as long as the process: its pipes and handle are
    // never closed.
    HANDLE inputRead = nullptr, inputWrite = nullptr, outputRead = nullptr, outputWrite = nullptr;
    if (!::CreatePipe(&inputRead, &inputWrite, nullptr, 0) || !::CreatePipe(&outputRead, &outputWrite, nullptr, 0))
        return nullptr;
    void* pseudoConsole = nullptr;
    if (create(COORD{80, 25}, inputRead, outputWrite, 0, &pseudoConsole) != S_OK)
        return nullptr;
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<unsigned char> attributes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    if (!::InitializeProcThreadAttributeList(list, 1, 0, &size) ||
        !::UpdateProcThreadAttribute(list, 0, PseudoConsoleAttribute, pseudoConsole, sizeof(pseudoConsole), nullptr,
                                     nullptr))
        return nullptr;
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.lpAttributeList = list;
    wchar_t system[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring command = L"\"" + std::wstring(system, length) + L"\\cmd.exe\" /d /k";
    PROCESS_INFORMATION child{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                          EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo, &child);
    ::DeleteProcThreadAttributeList(list);
    if (!started)
        return nullptr;
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    ::FreeConsole();
    // The child has the console once it has started up.
    bool attached = false;
    for (int tries = 0; tries < 1000 && !attached; ++tries) {
        attached = ::AttachConsole(child.dwProcessId) != 0;
        if (!attached)
            ::Sleep(5);
    }
    ::TerminateProcess(child.hProcess, 0);
    ::WaitForSingleObject(child.hProcess, 5000);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    ::SetStdHandle(STD_OUTPUT_HANDLE, output);
    ::SetStdHandle(STD_ERROR_HANDLE, error);
    if (!attached)
        return nullptr;
    input = ::GetStdHandle(STD_INPUT_HANDLE);
    return ::GetConsoleMode(input, &mode) ? input : nullptr;
}
#endif

} // namespace

ConsoleInput::ConsoleInput(FrontEnd& user)
    : User(user)
{
    ServingConsole = this;
}

ConsoleInput::~ConsoleInput()
{
    if (ServingConsole == this)
        ServingConsole = nullptr;
}

void ConsoleInput::Collect()
{
    while (const std::optional<KeyPress> key = User.TypedKey())
        Waiting.push_back(KeyRecord(*key));
}

uint32_t ConsoleInput::Peek(Far3::INPUT_RECORD* records, uint32_t length, bool take)
{
    Collect();
    const auto count = static_cast<uint32_t>(std::min<size_t>(length, Waiting.size()));
    std::copy_n(Waiting.begin(), count, records);
    if (take)
        Waiting.erase(Waiting.begin(), Waiting.begin() + count);
    return count;
}

void ConsoleInput::Deliver()
{
#ifdef _WIN32
    Collect();
    if (Waiting.empty())
        return;
    const HANDLE console = ProcessConsoleInput();
    if (console == nullptr) {
        Waiting.clear();
        return;
    }
    static_assert(sizeof(Far3::INPUT_RECORD) == sizeof(::INPUT_RECORD));
    std::vector<::INPUT_RECORD> records(Waiting.size());
    for (size_t i = 0; i < Waiting.size(); ++i)
        std::memcpy(&records[i], &Waiting[i], sizeof(::INPUT_RECORD));
    Waiting.clear();
    DWORD written = 0;
    ::WriteConsoleInputW(console, records.data(), static_cast<DWORD>(records.size()), &written);
#endif
}

} // namespace Host

#ifndef _WIN32
// The console calls the plugin's platform layer finds in the process, of
// the signature of PeekConsoleInputW and ReadConsoleInputW less the handle.
extern "C" __attribute__((visibility("default"))) int32_t
ZelvaneHostPeekConsoleInput(Far3::INPUT_RECORD* records, uint32_t length, uint32_t* read)
{
    if (Host::ServingConsole == nullptr || records == nullptr || read == nullptr)
        return 0;
    *read = Host::ServingConsole->Peek(records, length, false);
    return 1;
}

extern "C" __attribute__((visibility("default"))) int32_t
ZelvaneHostReadConsoleInput(Far3::INPUT_RECORD* records, uint32_t length, uint32_t* read)
{
    if (Host::ServingConsole == nullptr || records == nullptr || read == nullptr)
        return 0;
    *read = Host::ServingConsole->Peek(records, length, true);
    return 1;
}
#endif
