#include "FakeSettings.h"

#include "base/Utf.h"

namespace TestSupport {

void PrintTo(const SettingsCall& call, std::ostream* out)
{
    static const char* const names[] = {"CREATE", "FREE", "SET", "GET", "ENUM", "DELETE", "CREATESUBKEY", "OPENSUBKEY"};
    const auto command = static_cast<size_t>(call.Command);
    *out << (command < std::size(names) ? names[command] : "?") << "(root " << call.Root << ", "
         << Base::ToUtf8(call.Name) << ", type " << call.Type << ")";
}

FakeSettings::FakeSettings(FakeHost& host)
    : PluginGuid(host.Plugin().GetPluginGuid())
{
    host.SettingsControl = [this](Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t p1,
                                  void* p2) { return Serve(handle, command, p1, p2); };
}

std::map<String, FakeSettings::Value>& FakeSettings::Key(const String& path)
{
    int id = 0;
    String rest = path;
    while (!rest.empty()) {
        const size_t cut = rest.find(u'\\');
        const String name = rest.substr(0, cut);
        rest.erase(0, cut == String::npos ? String::npos : cut + 1);
        int child = FindChild(id, name);
        if (child < 0) {
            Keys.push_back(KeyNode{id, name, {}});
            child = static_cast<int>(Keys.size() - 1);
        }
        id = child;
    }
    return Keys[static_cast<size_t>(id)].Values;
}

int FakeSettings::FindChild(int parent, const String& name) const
{
    for (size_t i = 1; i < Keys.size(); ++i)
        if (Keys[i].Parent == parent && Keys[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

int FakeSettings::KeyOf(HandleState& state, size_t root) const
{
    return root < state.KeyOfIndex.size() ? state.KeyOfIndex[root] : -1;
}

intptr_t FakeSettings::Fault(const char* what)
{
    Faults.emplace_back(what);
    return 0;
}

intptr_t FakeSettings::Serve(Far3::HANDLE handle, Far3::FAR_SETTINGS_CONTROL_COMMANDS command, intptr_t param1,
                             void* param2)
{
    if (command == Far3::SCTL_CREATE) {
        auto* create = static_cast<Far3::FarSettingsCreate*>(param2);
        Calls.push_back({command, 0, {}, Far3::FST_UNKNOWN});
        if (handle != Far3::InvalidHandleValue || param1 != Far3::PSL_ROAMING || create == nullptr ||
            create->StructSize != sizeof(Far3::FarSettingsCreate) || !(create->Guid == PluginGuid))
            return Fault("malformed SCTL_CREATE");
        if (RefuseCreate)
            return 0;
        create->Handle = reinterpret_cast<Far3::HANDLE>(NextHandle++);
        Handles[create->Handle] = HandleState{};
        return 1;
    }

    const auto found = Handles.find(handle);
    if (found == Handles.end())
        return Fault("settings call with an unknown handle");
    HandleState& state = found->second;
    if (param1 != 0)
        return Fault("settings call with a non-zero Param1");

    switch (command) {
    case Far3::SCTL_FREE:
        Calls.push_back({command, 0, {}, Far3::FST_UNKNOWN});
        Handles.erase(found);
        ++Commits;
        return 1;

    case Far3::SCTL_OPENSUBKEY:
    case Far3::SCTL_CREATESUBKEY: {
        const auto* value = static_cast<const Far3::FarSettingsValue*>(param2);
        if (value == nullptr || value->StructSize != sizeof(Far3::FarSettingsValue) || value->Value == nullptr)
            return Fault("malformed subkey call");
        const String name = value->Value;
        Calls.push_back({command, value->Root, name, Far3::FST_UNKNOWN});
        const int parent = KeyOf(state, value->Root);
        if (parent < 0)
            return Fault("subkey call with an unknown key index");
        if (name.empty() || name.find(u'\\') != String::npos || RefusedSubkeys.count(name) != 0)
            return 0;
        int child = FindChild(parent, name);
        if (child < 0) {
            if (command == Far3::SCTL_OPENSUBKEY)
                return 0;
            Keys.push_back(KeyNode{parent, name, {}});
            child = static_cast<int>(Keys.size() - 1);
        }
        // A new index on every call, as the host does.
        state.KeyOfIndex.push_back(child);
        return static_cast<intptr_t>(state.KeyOfIndex.size() - 1);
    }

    case Far3::SCTL_GET:
    case Far3::SCTL_SET: {
        auto* item = static_cast<Far3::FarSettingsItem*>(param2);
        if (item == nullptr || item->StructSize != sizeof(Far3::FarSettingsItem) || item->Name == nullptr)
            return Fault("malformed value call");
        const String name = item->Name;
        Calls.push_back({command, item->Root, name, item->Type});
        const int key = KeyOf(state, item->Root);
        if (key < 0)
            return Fault("value call with an unknown key index");
        auto& values = Keys[static_cast<size_t>(key)].Values;
        if (command == Far3::SCTL_SET) {
            if (RefuseWrites)
                return 0;
            if (item->Type == Far3::FST_QWORD)
                values[name] = item->Value.Number;
            else if (item->Type == Far3::FST_STRING)
                values[name] = String(item->Value.String != nullptr ? item->Value.String : u"");
            else
                return 0;
            return 1;
        }
        const auto stored = values.find(name);
        if (stored == values.end())
            return 0;
        if (item->Type == Far3::FST_QWORD && std::holds_alternative<uint64_t>(stored->second)) {
            item->Value.Number = std::get<uint64_t>(stored->second);
            return 1;
        }
        if (item->Type == Far3::FST_STRING && std::holds_alternative<String>(stored->second)) {
            state.Texts.push_back(std::make_unique<String>(std::get<String>(stored->second)));
            item->Value.String = state.Texts.back()->c_str();
            return 1;
        }
        return 0;
    }

    default:
        return Fault("settings command the plugin never sends");
    }
}

} // namespace TestSupport
