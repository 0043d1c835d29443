#include "host/text/HelpFile.h"

#include "base/Ascii.h"
#include "host/text/HostText.h"
#include "host/text/Language.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace Host {

namespace {

// From `from` (just past an opening mark): the text up to the next single
// `mark`, a doubled one standing for the character. Sets `end` past the
// closing mark; none when the line ends first.
std::optional<std::u16string> Delimited(std::u16string_view line, size_t from, char16_t mark, size_t& end)
{
    std::u16string text;
    for (size_t i = from; i < line.size(); ++i) {
        if (line[i] != mark) {
            text += line[i];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == mark) {
            text += mark;
            ++i;
            continue;
        }
        end = i + 1;
        return text;
    }
    return std::nullopt;
}

} // namespace

std::u16string HelpLine::Text() const
{
    std::u16string text;
    for (const HelpSpan& span : Spans)
        text += span.Text;
    return text;
}

const HelpTopic* HelpFile::Find(std::u16string_view name) const
{
    for (const HelpTopic& topic : Topics)
        if (Base::EqualsIgnoringAsciiCase<char16_t>(topic.Name, name))
            return &topic;
    return nullptr;
}

HelpLine ParseHelpLine(std::u16string_view line)
{
    HelpLine result;
    size_t i = 0;
    if (!line.empty() && line.front() == u'^') {
        result.Centred = true;
        i = 1;
    }
    bool bold = false;
    std::u16string text;
    auto flush = [&] {
        if (!text.empty())
            result.Spans.push_back({bold ? HelpSpan::Kind::Bold : HelpSpan::Kind::Plain, std::move(text), {}});
        text.clear();
    };
    while (i < line.size()) {
        const char16_t c = line[i];
        const bool special = c == u'#' || c == u'~' || c == u'@';
        if (special && i + 1 < line.size() && line[i + 1] == c) {
            text += c;
            i += 2;
            continue;
        }
        if (c == u'#') {
            flush();
            bold = !bold;
            ++i;
            continue;
        }
        if (c == u'~') {
            // ~text~@Topic@; anything short of that is the characters themselves.
            size_t afterText = 0, afterTopic = 0;
            std::optional<std::u16string> shown = Delimited(line, i + 1, u'~', afterText);
            if (shown && afterText < line.size() && line[afterText] == u'@') {
                std::optional<std::u16string> target = Delimited(line, afterText + 1, u'@', afterTopic);
                if (target && !target->empty()) {
                    flush();
                    result.Spans.push_back({HelpSpan::Kind::Link, std::move(*shown), std::move(*target)});
                    i = afterTopic;
                    continue;
                }
            }
        }
        text += c;
        ++i;
    }
    flush();
    return result;
}

std::optional<HelpFile> ParseHelpFile(std::string_view bytes)
{
    const std::u16string text = DecodeLanguageText(bytes);
    HelpFile file;
    bool hasLanguage = false;
    HelpTopic* topic = nullptr;
    for (std::u16string_view raw : SplitLines(text)) {
        // Trailing blanks never show.
        std::u16string_view line = raw;
        while (!line.empty() && (line.back() == u' ' || line.back() == u'\t'))
            line.remove_suffix(1);

        if (line.size() > 1 && line[0] == u'@' && line[1] != u'@') {
            if (!hasLanguage)
                return std::nullopt;
            file.Topics.push_back({std::u16string(TrimBlanks(line.substr(1))), {}, {}});
            topic = &file.Topics.back();
            continue;
        }
        if (!topic) {
            if (auto language = HeaderValue(line, u".Language")) {
                file.Language = TrimBlanks(language->substr(0, language->find(u',')));
                hasLanguage = true;
            } else if (auto contents = HeaderValue(line, u".PluginContents")) {
                file.ContentsTitle = *contents;
            }
            continue;
        }
        if (!line.empty() && line.front() == u'$' && topic->Body.empty()) {
            topic->Header.push_back(ParseHelpLine(line.substr(1)));
            continue;
        }
        topic->Body.push_back(ParseHelpLine(line));
    }
    if (!hasLanguage)
        return std::nullopt;
    // The blank lines that part one topic from the next are not its text.
    for (HelpTopic& each : file.Topics)
        while (!each.Body.empty() && each.Body.back().Spans.empty())
            each.Body.pop_back();
    return file;
}

std::optional<HelpFile> ChooseHelpFile(const std::filesystem::path& folder, std::u16string_view language)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && Base::EqualsIgnoringAsciiCase(std::string_view(entry.path().extension().string()), std::string_view(".hlf")))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());

    std::optional<HelpFile> english;
    std::optional<HelpFile> last;
    for (const auto& path : files) {
        const std::optional<std::string> bytes = ReadWholeFile(path);
        std::optional<HelpFile> parsed = bytes ? ParseHelpFile(*bytes) : std::nullopt;
        if (!parsed)
            continue;
        if (Base::EqualsIgnoringAsciiCase<char16_t>(parsed->Language, language))
            return parsed;
        if (!english && Base::EqualsIgnoringAsciiCase<char16_t>(parsed->Language, u"English"))
            english = parsed;
        last = std::move(parsed);
    }
    return english ? english : last;
}

} // namespace Host
