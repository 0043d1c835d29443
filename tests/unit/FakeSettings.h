// An in-memory settings service for unit tests, hooked into a FakeHost. It
// answers like the host's store (fresh key indices per subkey call, strings
// valid until the handle is released) and records every call, so tests can
// assert the exact requests.
#pragma once

#include "FakeHost.h"

#include <deque>
#include <map>
#include <ostream>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace TestSupport {

struct SettingsCall {
    Far3::FAR_SETTINGS_CONTROL_COMMANDS Command;
    size_t Root = 0;    // key index of subkey, get and set calls
    String Name;        // subkey or value name
    Far3::FARSETTINGSTYPES Type = Far3::FST_UNKNOWN; // get and set calls

    bool operator==(const SettingsCall&) const = default;
};

// Readable test failure output: "GET(root 1, Name, type 3)".
void PrintTo(const SettingsCall& call, std::ostream* out);

class FakeSettings {
public:
    using Value = std::variant<uint64_t, String>;

    explicit FakeSettings(FakeHost& host);

    // Values stored in the key at `path` (names joined by backslashes; empty = root),
    // created when missing.
    std::map<String, Value>& Key(const String& path);

    // Failure switches.
    bool RefuseCreate = false;
    bool RefuseWrites = false;
    std::set<String> RefusedSubkeys;

    std::vector<SettingsCall> Calls;
    // Requests no host would accept (bad record sizes, unknown handles...).
    std::vector<std::string> Faults;
    int OpenHandles() const { return static_cast<int>(Handles.size()); }
    int Commits = 0; // handles released

private:
    struct HandleState {
        std::vector<int> KeyOfIndex{0}; // handle-local key index -> key id; index 0 is the root
        std::vector<std::unique_ptr<String>> Texts; // returned strings, released with the handle
    };

    intptr_t Serve(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t param1, void* param2);
    int FindChild(int parent, const String& name) const; // -1 when absent
    int KeyOf(HandleState& state, size_t root) const; // -1 when unknown
    intptr_t Fault(const char* what);

    struct KeyNode {
        int Parent = -1;
        String Name;
        std::map<String, Value> Values;
    };
    std::deque<KeyNode> Keys{KeyNode{}}; // a deque: references from Key() survive new keys
    std::map<Far3::HANDLE, HandleState> Handles;
    uintptr_t NextHandle = 0x1000;
    Far3::GUID PluginGuid;
};

} // namespace TestSupport
