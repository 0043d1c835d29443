// The plugin's messages from Far's language (.lng) files: the files beside
// the plugin library, the one for the interface language chosen the way Far
// chooses it, parsed with Far's rules (BOM, trimming, escapes, header).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

struct LanguageFile {
    std::u16string Name;        // ".Language=" value before the first ','
    std::u16string Description; // the rest
    std::vector<std::u16string> Messages;
};

// Decodes a file's bytes: UTF-8 or UTF-16 by BOM; without BOM UTF-8 when it
// is valid UTF-8, else the OEM code page (437).
std::u16string DecodeLanguageText(std::string_view bytes);

// Empty when the file has no ".Language=" header before its first message.
std::optional<LanguageFile> ParseLanguageFile(std::string_view bytes);

// The file for `language` among the folder's *.lng files: the one of that
// name (case-insensitive), else English, else the last one (by file name).
std::optional<LanguageFile> ChooseLanguageFile(const std::filesystem::path& folder, std::u16string_view language);

// GetMsg's source: loads on first use and retries while no file is found.
class Language {
public:
    enum class Status { Found, NoFile, OutOfRange };
    struct Lookup {
        Status Result;
        const char16_t* Text; // never null; stays valid while this object lives
    };

    Language(std::filesystem::path folder, std::u16string language);
    Lookup Message(intptr_t id);
    const std::u16string& InterfaceLanguage() const { return Name; }

private:
    std::filesystem::path Folder;
    std::u16string Name;
    std::optional<LanguageFile> File;
};

} // namespace Host
