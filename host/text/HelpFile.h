// A plugin's help from Far's help (.hlf) files: the file beside the plugin
// library for the interface language, chosen the way Far chooses it, read
// into topics of ready-to-show lines.
//
// The part of Far's help format read here: the header (".Language=",
// ".PluginContents="; other "." lines are skipped), topics ("@Name" lines),
// the fixed lines at a topic's top ("$" lines, which stay while the rest
// scrolls), bold ("#text#"), links ("~text~@Topic@"), "^" at a line's start
// to centre it, and the doubled "##", "@@" and "~~" for the characters
// themselves. Every text line is shown as a line of its own.
//
// Plain values, no threads; a file without a ".Language=" header is no
// help file and reads as none.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

// A run of text with one look: plain, bold, or a link to a topic.
struct HelpSpan {
    enum class Kind { Plain, Bold, Link };
    Kind Look = Kind::Plain;
    std::u16string Text;
    std::u16string Target; // links only: the topic's name

    bool operator==(const HelpSpan&) const = default;
};

struct HelpLine {
    std::vector<HelpSpan> Spans;
    bool Centred = false;

    // The line's characters without their looks.
    std::u16string Text() const;
};

struct HelpTopic {
    std::u16string Name;
    std::vector<HelpLine> Header; // the "$" lines
    std::vector<HelpLine> Body;
};

struct HelpFile {
    std::u16string Language;     // ".Language=" value before the first ','
    std::u16string ContentsTitle; // ".PluginContents=", empty when missing
    std::vector<HelpTopic> Topics;

    // The topic of that name (ASCII case ignored, as Far does), or null.
    const HelpTopic* Find(std::u16string_view name) const;
};

// Empty when the bytes hold no ".Language=" header before the first topic.
// The bytes are decoded as language files are (UTF-8 with a byte-order mark).
std::optional<HelpFile> ParseHelpFile(std::string_view bytes);

// Reads one line of topic text into its spans.
HelpLine ParseHelpLine(std::u16string_view line);

// The help for `language` among the folder's *.hlf files, as Far chooses
// it and as the .lng files are chosen: the one of that language (case
// ignored), else English, else the last one (by file name); none when the
// folder has no help file.
std::optional<HelpFile> ChooseHelpFile(const std::filesystem::path& folder, std::u16string_view language);

} // namespace Host
