#include "host/services/EditorService.h"

#include "host/text/HostText.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace Host {

namespace {

constexpr uintptr_t CodePageDefault = static_cast<uintptr_t>(-1);
constexpr uintptr_t CodePageUtf16 = 1200;
constexpr uintptr_t OptionBom = 0x200;

std::string FileStart(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string bytes(4096, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return bytes;
}

} // namespace

intptr_t EditorService::Open(const EditorWindow& request, const std::filesystem::path& currentDirectory)
{
    if (request.FileName.empty())
        return Far3::EEC_OPEN_ERROR;
    EditorWindow editor = request;
    if (editor.FileName.is_relative())
        editor.FileName = currentDirectory / editor.FileName;
    editor.FileName = editor.FileName.lexically_normal();
    std::error_code error;
    if (std::filesystem::is_directory(editor.FileName, error)) {
        Messages.Show({Far3::FMSG_WARNING, "Edit", {"It is impossible to edit the folder", editor.FileName.string()},
                       {"OK"}});
        return Far3::EEC_OPEN_ERROR;
    }
    if (editor.CodePage == CodePageDefault) {
        std::string start = FileStart(editor.FileName);
        editor.CodePage = start.starts_with("\xFF\xFE") ? CodePageUtf16 : Far3::CodePage::Utf8;
    }
    const bool returnsAtOnce = (editor.Flags & Far3::EF_NONMODAL) && (editor.Flags & Far3::EF_IMMEDIATERETURN);
    if (!returnsAtOnce && std::filesystem::exists(editor.FileName, error) &&
        !std::ifstream(editor.FileName, std::ios::binary)) {
        Messages.Show({Far3::FMSG_WARNING, "Editor", {"Cannot open the file", editor.FileName.string()}, {"OK"}});
        return Far3::EEC_OPEN_ERROR;
    }
    editor.Id = NextId++;
    Windows.push_back(editor);
    if (returnsAtOnce) {
        Screen.OpenEditor(editor);
        return Far3::EEC_MODIFIED; // "opened"
    }
    // The call waits while the user works in the window, then closes it.
    const bool saved = Screen.RunEditor(editor);
    Close(editor.Id);
    return saved ? Far3::EEC_MODIFIED : Far3::EEC_NOT_MODIFIED;
}

const EditorWindow* EditorService::Find(intptr_t id) const
{
    if (id == -1)
        return Windows.empty() ? nullptr : &Windows.back();
    for (const EditorWindow& editor : Windows)
        if (editor.Id == id)
            return &editor;
    return nullptr;
}

intptr_t EditorService::Control(intptr_t id, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t param1, void* param2)
{
    const EditorWindow* editor = Find(id);
    if (!editor)
        return 0;
    switch (command) {
    case Far3::ECTL_GETINFO: return Info(*editor, static_cast<Far3::EditorInfo*>(param2));
    case Far3::ECTL_GETFILENAME: {
        std::u16string name = PathToUtf16(editor->FileName);
        auto* buffer = static_cast<char16_t*>(param2);
        if (buffer && param1 > 0) {
            size_t count = std::min(name.size(), static_cast<size_t>(param1) - 1);
            std::memcpy(buffer, name.data(), count * sizeof(char16_t));
            buffer[count] = 0;
        }
        return static_cast<intptr_t>(name.size() + 1);
    }
    case Far3::ECTL_QUIT: return Close(editor->Id) ? 1 : 0;
    default: return 0;
    }
}

intptr_t EditorService::Info(const EditorWindow& editor, Far3::EditorInfo* info) const
{
    // Far reads and writes the record up to CodePage, whatever comes after.
    if (!info || info->StructSize < sizeof(Far3::EditorInfo))
        return 0;
    size_t structSize = info->StructSize;
    std::memset(info, 0, sizeof(Far3::EditorInfo));
    info->StructSize = structSize;
    ScreenSize size = Screen.Screen().value_or(ScreenSize{});
    info->EditorID = editor.Id;
    info->WindowSizeX = size.Width;
    info->WindowSizeY = size.Height - 2;
    info->TotalLines = 1;
    info->TabSize = 8;
    info->CodePage = editor.CodePage;
    if (editor.CodePage == Far3::CodePage::Utf8 && FileStart(editor.FileName).starts_with("\xEF\xBB\xBF"))
        info->Options |= OptionBom;
    return 1;
}

bool EditorService::Close(intptr_t id)
{
    for (auto it = Windows.begin(); it != Windows.end(); ++it) {
        if (it->Id != id)
            continue;
        EditorWindow editor = *it;
        Windows.erase(it);
        Screen.CloseEditor(id);
        DeleteFiles(editor);
        return true;
    }
    return false;
}

void EditorService::CloseAll()
{
    while (!Windows.empty())
        Close(Windows.back().Id);
}

void EditorService::DeleteFiles(const EditorWindow& editor) const
{
    bool deleteFolder = editor.Flags & Far3::EF_DELETEONCLOSE;
    bool deleteFile = deleteFolder || (editor.Flags & Far3::EF_DELETEONLYFILEONCLOSE);
    if (!deleteFile)
        return;
    // Only when no other window still shows the file.
    for (const EditorWindow& other : Windows)
        if (other.FileName == editor.FileName)
            return;
    std::error_code error;
    if (std::filesystem::is_directory(editor.FileName, error))
        return;
    std::filesystem::remove(editor.FileName, error);
    if (deleteFolder && std::filesystem::is_empty(editor.FileName.parent_path(), error) && !error)
        std::filesystem::remove(editor.FileName.parent_path(), error);
}

} // namespace Host
