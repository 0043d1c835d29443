// Runs and undos cut off by a real kill: a child process renames a folder
// of 20 000 files (2 000 under Wine and the sanitizers, below) through the stand-in host and the built plugin, and is
// killed (SIGKILL; on Windows TerminateProcess) at a random moment; a fresh
// process then undoes the run, itself killed now and then and finished by
// the next. After every round the folder holds exactly the original names
// with their contents, and the journal never reads as damaged. A process
// holding the journal keeps a second process's run and undo from renaming
// anything. An edit run that permutes the names (cycles of every length,
// each through a temporary name) is killed and undone the same way.
//
// The folder of files is made once and shared by the tests, each of which
// leaves it holding the originals. `--files=DIR` names one made beforehand
// (tests/kill/MakeFiles.cmake, natively, for the Windows build: Wine makes
// files slowly); without it, or when it does not hold FileCount files, the
// test makes its own.
//
// The same executable is the child: `--child rename|edit|undo|hold FOLDER
// PROFILE`; an edit run saves the text in names.txt beside PROFILE.
#include "../host/TempFolder.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "host/app/StandInHost.h"
#include "plugin/uJournal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

namespace fs = std::filesystem;

#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
// Under Wine every look for a name that is not there (each rename's target)
// searches the whole folder, as Wine compares names without regard to case
// on a Linux file system: a run grows with the square of the folder's size.
// Under the sanitizers every call costs several times more. Fewer files keep
// the kills as many and as random.
constexpr int FileCount = 2000;
#else
constexpr int FileCount = 20000;
#endif
constexpr int Rounds = 20;
// An edit run takes the file counts the sanitizers and Wine take on every
// build: its cycles are many short runs of a few renames each.
constexpr int EditFileCount = 2000;
constexpr int EditRounds = 6;
constexpr size_t EditMenuIndex = 2;
// Exit codes of the child.
constexpr int ChildDone = 0;
constexpr int ChildFoundTheJournalHeld = 3;
constexpr int ChildFailed = 1;

std::string ExecutablePath;
// The folder --files names; empty without it.
fs::path MadeFolder;

std::string FileName(int i)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%05d.dat", i);
    return name;
}

std::string ContentOf(int i)
{
    return "content of file " + std::to_string(i) + std::string(static_cast<size_t>(i % 7), '.');
}

fs::path JournalOf(const fs::path& profile)
{
    return profile / "PluginsData" / "6F3B1C2A-8E4D-4A7B-9C15-2D7E0A9B4F61" / "last-run.txt";
}

// ---------------------------------------------------------------- the child

int RunChild(const std::string& mode, const fs::path& folder, const fs::path& profile)
{
    Host::ScriptedFrontEnd user;
    Host::HostOptions options;
    options.Profile = profile;
    Host::StandInHost host(user, options);
    host.Load();
    if (mode == "hold") {
        // Holds the journal as a run does, until it is killed.
        const Zelvane::TJournalHold hold(Zelvane::JournalFileName());
        if (hold.State() != Zelvane::TJournalHold::TState::Held)
            return ChildFailed;
        std::ofstream(profile / "held") << "held";
        std::this_thread::sleep_for(std::chrono::minutes(5));
        return ChildDone;
    }
    host.ActivePanel().ShowFolder(folder);
    std::vector<std::u16string> names;
    const auto select = [&names](int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name = FileName(i);
            names.emplace_back(name.begin(), name.end());
        }
    };
    if (mode == "rename") {
        select(FileCount);
        if (!host.StoreSetting({}, "FileNameTemplate", std::string("r%#-%N.%E")) || !host.SelectByName(names))
            return ChildFailed;
        user.QueueKeys("<Enter>");
        host.Open();
    } else if (mode == "edit") {
        // The test writes the names beside the profile: the folder of files
        // is shared by the tests and may be anywhere.
        std::ifstream in(profile.parent_path() / "names.txt", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        select(static_cast<int>(std::count(text.begin(), text.end(), '\n')));
        if (!in || !host.SelectByName(names))
            return ChildFailed;
        user.QueueEditorText(text);
        user.QueueAnswer(0);
        host.Open(EditMenuIndex);
    } else {
        user.QueueAnswer(0);
        host.Open(1);
    }
    for (const auto& message : user.Messages())
        for (const std::string& line : message.Lines)
            if (line.starts_with("Another window"))
                return ChildFoundTheJournalHeld;
    host.Unload();
    return ChildDone;
}

// ---------------------------------------------------------------- the parent

class Child {
public:
    Child(const std::string& mode, const fs::path& folder, const fs::path& profile)
    {
#if defined(_WIN32)
        std::wstring command = L"\"" + fs::path(ExecutablePath).wstring() + L"\" --child " +
                               fs::path(mode).wstring() + L" \"" + folder.wstring() + L"\" \"" + profile.wstring() +
                               L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process))
            throw std::runtime_error("CreateProcessW failed");
        ::CloseHandle(process.hThread);
        Process = process.hProcess;
#else
        const std::string folderText = folder.string();
        const std::string profileText = profile.string();
        const char* argv[] = {ExecutablePath.c_str(), "--child", mode.c_str(), folderText.c_str(),
                              profileText.c_str(), nullptr};
        if (::posix_spawn(&Pid, ExecutablePath.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            throw std::runtime_error("posix_spawn failed");
#endif
    }

    ~Child()
    {
        if (!Ended) {
            Kill();
        }
#if defined(_WIN32)
        ::CloseHandle(Process);
#endif
    }

    void Kill()
    {
#if defined(_WIN32)
        ::TerminateProcess(Process, 99);
#else
        ::kill(Pid, SIGKILL);
#endif
        Wait();
    }

    int Wait()
    {
#if defined(_WIN32)
        ::WaitForSingleObject(Process, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(Process, &code);
        Ended = true;
        return static_cast<int>(code);
#else
        int status = 0;
        while (::waitpid(Pid, &status, 0) < 0 && errno == EINTR) {
        }
        Ended = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    }

    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

private:
#if defined(_WIN32)
    HANDLE Process = nullptr;
#else
    pid_t Pid = 0;
#endif
    bool Ended = false;
};

// The number of entries in `folder`; 0 when it cannot be read.
size_t EntryCount(const fs::path& folder)
{
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    return error ? 0 : static_cast<size_t>(std::distance(entries, fs::directory_iterator()));
}

class JournalKill : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!MadeFolder.empty() && EntryCount(MadeFolder) == static_cast<size_t>(FileCount)) {
            Files = MadeFolder;
            return;
        }
        FilesTemp = std::make_unique<HostTests::TempFolder>();
        Files = FilesTemp->Path() / "files";
        fs::create_directories(Files);
        for (int i = 0; i < FileCount; ++i)
            std::ofstream(Files / FileName(i), std::ios::binary) << ContentOf(i);
    }

    static void TearDownTestSuite() { FilesTemp.reset(); }

    void SetUp() override
    {
        Folder = Files;
        Profile = Temp.Path() / "profile";
        fs::create_directories(Profile);
    }

    // Runs a child to its end; answers its exit code.
    int Run(const std::string& mode)
    {
        Child child(mode, Folder, Profile);
        return child.Wait();
    }

    // Runs a child and kills it after `delay`.
    void RunKilled(const std::string& mode, std::chrono::microseconds delay)
    {
        Child child(mode, Folder, Profile);
        std::this_thread::sleep_for(delay);
        child.Kill();
    }

    // The journal, if there is one, reads as whole.
    void ExpectJournalWhole()
    {
        if (!fs::exists(JournalOf(Profile)))
            return;
        std::ifstream in(JournalOf(Profile), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(Zelvane::ParseJournal(bytes), std::nullopt) << "damaged journal";
    }

    // The folder holds exactly the original names with their contents.
    void ExpectOriginals()
    {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(Folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            found[entry.path().filename().string()] =
                std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        }
        ASSERT_EQ(found.size(), static_cast<size_t>(FileCount));
        int wrong = 0;
        for (int i = 0; i < FileCount; ++i) {
            const auto it = found.find(FileName(i));
            if (it == found.end() || it->second != ContentOf(i))
                ++wrong;
        }
        EXPECT_EQ(wrong, 0);
    }

    // `rounds` runs of `mode`, each killed at a random moment within `whole`
    // (every other one followed by an undo killed the same way), each then
    // undone to its end: the journal stays whole and the folder holds the
    // originals again.
    void KillRounds(const std::string& mode, int rounds, std::chrono::microseconds whole, std::mt19937& random)
    {
        std::uniform_int_distribution<int64_t> moment(0, whole.count());
        for (int round = 0; round < rounds; ++round) {
            const std::chrono::microseconds delay(moment(random));
            SCOPED_TRACE("round " + std::to_string(round) + ", killed after " + std::to_string(delay.count()) + " us");
            RunKilled(mode, delay);
            ExpectJournalWhole();
            if (round % 2 == 1) {
                RunKilled("undo", std::chrono::microseconds(moment(random)));
                ExpectJournalWhole();
            }
            ASSERT_EQ(Run("undo"), ChildDone);
            ExpectJournalWhole();
            ExpectOriginals();
            if (HasFatalFailure() || HasFailure())
                return;
        }
    }

    // The shared folder of files, and the temporary folder it is in when
    // the test made it.
    static inline fs::path Files;
    static inline std::unique_ptr<HostTests::TempFolder> FilesTemp;

    HostTests::TempFolder Temp;
    fs::path Folder;
    fs::path Profile;
    int Count = FileCount; // the files a run renames, the first of the folder's
};

class EditRunKill : public JournalKill {
protected:
    EditRunKill() { Count = EditFileCount; }
};

TEST_F(JournalKill, ARunOrAnUndoKilledAtAnyMomentIsTakenBackWhole)
{
    // How long a whole run takes here, to spread the kills over it.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Run("rename"), ChildDone);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    ASSERT_EQ(Run("undo"), ChildDone);
    ExpectOriginals();

    std::mt19937 random(std::random_device{}());
    KillRounds("rename", Rounds, whole, random);
}

// An edit run whose names are a random permutation of the old ones, cut
// into cycles of every length from 1 (no rename) up: a kill may leave a file
// under its temporary name, and undo still brings every name back.
TEST_F(EditRunKill, AnEditRunOfCyclesKilledAtAnyMomentIsTakenBackWhole)
{
    std::mt19937 random(std::random_device{}());
    std::vector<int> order(Count);
    for (int i = 0; i < Count; ++i)
        order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), random);
    std::vector<int> target(Count);
    for (size_t start = 0, length = 1; start < order.size(); start += length, length = length % 40 + 1) {
        const size_t end = std::min(order.size(), start + length);
        for (size_t k = start; k < end; ++k)
            target[static_cast<size_t>(order[k])] = order[k + 1 < end ? k + 1 : start];
    }
    std::ofstream names(Temp.Path() / "names.txt", std::ios::binary);
    for (int i = 0; i < Count; ++i)
        names << FileName(target[static_cast<size_t>(i)]) << "\r\n";
    names.close();

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Run("edit"), ChildDone);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    int moved = 0;
    for (int i = 0; i < Count; ++i) {
        std::ifstream in(Folder / FileName(target[static_cast<size_t>(i)]), std::ios::binary);
        moved += std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()) == ContentOf(i);
    }
    ASSERT_EQ(moved, Count) << "the edit run did not rename every file as asked";
    ASSERT_EQ(Run("undo"), ChildDone);
    ExpectOriginals();

    KillRounds("edit", EditRounds, whole, random);
}

TEST_F(JournalKill, AProcessHoldingTheJournalKeepsAnotherFromRenaming)
{
    Child holder("hold", Folder, Profile);
    // A child under the sanitizers on a busy machine takes more than ten
    // seconds to start.
    for (int i = 0; i < 3000 && !fs::exists(Profile / "held"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(Profile / "held"));
    EXPECT_EQ(Run("rename"), ChildFoundTheJournalHeld);
    EXPECT_EQ(Run("undo"), ChildFoundTheJournalHeld);
    ExpectOriginals();
    holder.Kill();
    // The lock goes with the process that held it.
    EXPECT_EQ(Run("rename"), ChildDone);
    EXPECT_EQ(Run("undo"), ChildDone);
    ExpectOriginals();
}

} // namespace

int main(int argc, char** argv)
{
    ExecutablePath = fs::absolute(argv[0]).string();
    if (argc == 5 && std::string(argv[1]) == "--child")
        return RunChild(argv[2], fs::path(argv[3]), fs::path(argv[4]));
    ::testing::InitGoogleTest(&argc, argv);
    const std::string filesOption = "--files=";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).starts_with(filesOption))
            MadeFolder = fs::path(std::string(argv[i]).substr(filesOption.size())).make_preferred();
    return RUN_ALL_TESTS();
}
