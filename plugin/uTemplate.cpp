#include "plugin/uTemplate.h"

#include "base/Format.h"
#include "base/IntConvert.h"
#include "base/Utf16.h"
#include "framework/FarModule.h"
#include "platform/Platform.h"
#include "plugin/uStrings.h"
#include "plugin/uLetterCase.h"
#include "plugin/uRegex.h"

namespace Zelvane {

namespace {

String Hex(int32_t value, bool upper)
{
    const char16_t* digits = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    auto rest = static_cast<uint32_t>(value);
    String text;
    do {
        text.insert(text.begin(), digits[rest % 16]);
        rest /= 16;
    } while (rest != 0);
    return text;
}

// `text` padded as PadTo pads it, added to `out` without a padded copy of
// its own: a counter is written once per file of a run.
void AppendPadded(String& out, const String& text, size_t width)
{
    if (width > text.size())
        out.append(width - text.size(), u'0');
    out += text;
}

// Where the extension starts: the last of ".", "\" and ":" when it is a dot.
size_t ExtensionDot(Base::StringView fileName)
{
    const size_t last = fileName.find_last_of(u".\\:");
    return last != Base::StringView::npos && fileName[last] == u'.' ? last : Base::StringView::npos;
}

// A surrogate pair starts at `unit` of `text`: one character in two units.
bool PairAt(Base::StringView text, size_t unit)
{
    return unit + 1 < text.size() && Base::IsHighSurrogate(text[unit]) && Base::IsLowSurrogate(text[unit + 1]);
}

// The code unit where character `index` (0-based) of `text` starts; a
// surrogate pair is one character. The text's length past its last one.
size_t UnitOfCharacter(Base::StringView text, int64_t index)
{
    size_t unit = 0;
    while (index > 0 && unit < text.size()) {
        unit += PairAt(text, unit) ? 2 : 1;
        --index;
    }
    return unit;
}

int64_t CharacterCount(Base::StringView text)
{
    int64_t count = 0;
    for (size_t unit = 0; unit < text.size(); ++count)
        unit += PairAt(text, unit) ? 2 : 1;
    return count;
}

// A position of a range: an optional "-", then 1 to 9 digits, not zero.
std::optional<int32_t> RangeEnd(Base::StringView text)
{
    const bool negative = !text.empty() && text[0] == u'-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int32_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    if (value == 0)
        return std::nullopt;
    return negative ? -value : value;
}

String TwoDigits(int value)
{
    return PadTo(Base::IntToStr(value % 100), 2);
}

// `date` written in `format`: yyyy yy MM dd HH mm ss, any other character as it is.
void AppendDate(Base::StringView format, const Platform::LocalTime& date, String& out)
{
    size_t at = 0;
    while (at < format.size()) {
        const Base::StringView rest = format.substr(at);
        if (rest.starts_with(u"yyyy")) {
            out += PadTo(Base::IntToStr(date.Year), 4);
            at += 4;
        } else if (rest.starts_with(u"yy")) {
            out += TwoDigits(date.Year);
            at += 2;
        } else if (rest.starts_with(u"MM")) {
            out += TwoDigits(date.Month);
            at += 2;
        } else if (rest.starts_with(u"dd")) {
            out += TwoDigits(date.Day);
            at += 2;
        } else if (rest.starts_with(u"HH")) {
            out += TwoDigits(date.Hour);
            at += 2;
        } else if (rest.starts_with(u"mm")) {
            out += TwoDigits(date.Minute);
            at += 2;
        } else if (rest.starts_with(u"ss")) {
            out += TwoDigits(date.Second);
            at += 2;
        } else {
            out += format[at++];
        }
    }
}

} // namespace

// A text modifier of a %{...} token.
struct TModifier {
    enum class TKind { Range, Upper, Lower, Title, Replace };
    TKind Kind = TKind::Range;
    std::optional<int32_t> From; // Range: first character, counted from 1 (negative: from the end)
    std::optional<int32_t> To;   // Range: last character
    std::unique_ptr<TRegexReplace> Replace;

    String Apply(Base::StringView text) const
    {
        switch (Kind) {
        case TKind::Range: {
            const int64_t count = CharacterCount(text);
            int64_t first = From ? (*From > 0 ? *From : count + *From + 1) : 1;
            int64_t last = To ? (*To > 0 ? *To : count + *To + 1) : count;
            first = std::max<int64_t>(first, 1);
            last = std::min<int64_t>(last, count);
            if (first > last)
                return String();
            const size_t begin = UnitOfCharacter(text, first - 1);
            const size_t end = begin + UnitOfCharacter(text.substr(begin), last - first + 1);
            return String(text.substr(begin, end - begin));
        }
        case TKind::Upper:
            return UpperCase(text);
        case TKind::Lower:
            return LowerCase(text);
        case TKind::Title:
            return TitleCase(text);
        case TKind::Replace:
            return Replace->Apply(text);
        }
        return String(text);
    }
};

struct TTemplate::TPart {
    enum class TKind {
        Literal,   // Text
        Counter,   // %#
        HexUpper,  // %H
        HexLower,  // %h
        Total,     // %T %t
        Stem,      // %N %n %{name}
        Extension, // %E %e %{ext}
        Whole,     // %F %f %{file}
        Folder,    // %{folder}
        Modified,  // %{modified}: Text is the format
        Created,   // %{created}
        Taken,     // %{taken}
    };
    TKind Kind = TKind::Literal;
    String Text;
    String Written; // a date token as the template writes it, kept when the file has no such date
    std::vector<TModifier> Modifiers;
};

namespace {

using TPart = TTemplate::TPart;
using TKind = TPart::TKind;

std::optional<TKind> SourceOf(Base::StringView name)
{
    static const std::pair<Base::StringView, TKind> Sources[] = {
        {u"name", TKind::Stem},     {u"n", TKind::Stem},          {u"ext", TKind::Extension},
        {u"e", TKind::Extension},   {u"file", TKind::Whole},      {u"f", TKind::Whole},
        {u"folder", TKind::Folder}, {u"modified", TKind::Modified}, {u"created", TKind::Created},
        {u"taken", TKind::Taken}};
    for (const auto& [source, kind] : Sources)
        if (name == source)
            return kind;
    return std::nullopt;
}

bool IsDate(TKind kind)
{
    return kind == TKind::Modified || kind == TKind::Created || kind == TKind::Taken;
}

// A replace modifier as read, before its expression is compiled.
struct TReplaceText {
    String Find;
    String Replace;
    TRegexReplace::TOptions Options;
};

// Reads the text of FIND or REPLACE from `at` up to its closing "/" ("\/"
// is a "/"); leaves `at` after that "/". False when there is none.
bool ReadSlashed(Base::StringView text, size_t& at, String& out)
{
    while (at < text.size()) {
        const char16_t c = text[at];
        if (c == u'/') {
            ++at;
            return true;
        }
        if (c == u'\\' && at + 1 < text.size() && text[at + 1] == u'/') {
            out += u'/';
            at += 2;
        } else {
            out += c;
            ++at;
        }
    }
    return false;
}

// The token whose text starts at `at` (just after "%{"): its part and the
// replace texts of its modifiers, in order; `at` ends after the closing
// "}". Nothing when it is no token.
std::optional<TPart> ReadToken(Base::StringView text, size_t& at, std::vector<TReplaceText>& replaces)
{
    const size_t start = at;
    const size_t nameEnd = text.find_first_of(u":}", at);
    if (nameEnd == Base::StringView::npos)
        return std::nullopt;
    const std::optional<TKind> kind = SourceOf(text.substr(at, nameEnd - at));
    if (!kind)
        return std::nullopt;
    TPart part;
    part.Kind = *kind;
    at = nameEnd;
    if (IsDate(*kind)) {
        part.Text = u"yyyy-MM-dd";
        if (text[at] == u':') {
            const size_t close = text.find(u'}', at);
            if (close == Base::StringView::npos)
                return std::nullopt;
            if (close > at + 1)
                part.Text = String(text.substr(at + 1, close - at - 1));
            at = close;
        }
        ++at;
        part.Written = u"%{" + String(text.substr(start, at - start));
        return part;
    }
    while (text[at] == u':') {
        ++at;
        if (at >= text.size())
            return std::nullopt;
        TModifier modifier;
        if (text[at] == u'/') {
            ++at;
            TReplaceText replace;
            if (!ReadSlashed(text, at, replace.Find) || !ReadSlashed(text, at, replace.Replace))
                return std::nullopt;
            replace.Options.Literal = true;
            for (; at < text.size() && text[at] != u':' && text[at] != u'}'; ++at) {
                switch (text[at]) {
                case u'r':
                    replace.Options.Literal = false;
                    break;
                case u'i':
                    replace.Options.IgnoreCase = true;
                    break;
                case u'g':
                    replace.Options.Global = true;
                    break;
                default:
                    return std::nullopt;
                }
            }
            if (at >= text.size())
                return std::nullopt;
            modifier.Kind = TModifier::TKind::Replace;
            replaces.push_back(std::move(replace));
        } else {
            const size_t end = text.find_first_of(u":}", at);
            if (end == Base::StringView::npos)
                return std::nullopt;
            const Base::StringView word = text.substr(at, end - at);
            at = end;
            if (word == u"upper") {
                modifier.Kind = TModifier::TKind::Upper;
            } else if (word == u"lower") {
                modifier.Kind = TModifier::TKind::Lower;
            } else if (word == u"title") {
                modifier.Kind = TModifier::TKind::Title;
            } else {
                const size_t dots = word.find(u"..");
                if (dots == Base::StringView::npos)
                    return std::nullopt;
                const Base::StringView from = word.substr(0, dots);
                const Base::StringView to = word.substr(dots + 2);
                modifier.Kind = TModifier::TKind::Range;
                if (!from.empty() && !(modifier.From = RangeEnd(from)))
                    return std::nullopt;
                if (!to.empty() && !(modifier.To = RangeEnd(to)))
                    return std::nullopt;
            }
        }
        part.Modifiers.push_back(std::move(modifier));
    }
    ++at; // the closing "}"
    return part;
}

void AddLiteral(std::vector<TPart>& parts, char16_t c)
{
    if (parts.empty() || parts.back().Kind != TKind::Literal)
        parts.push_back(TPart{});
    parts.back().Text += c;
}

std::optional<TKind> ShortToken(char16_t c)
{
    switch (c) {
    case u'#':
        return TKind::Counter;
    case u'H':
        return TKind::HexUpper;
    case u'h':
        return TKind::HexLower;
    case u'T':
    case u't':
        return TKind::Total;
    case u'N':
    case u'n':
        return TKind::Stem;
    case u'E':
    case u'e':
        return TKind::Extension;
    case u'F':
    case u'f':
        return TKind::Whole;
    default:
        return std::nullopt;
    }
}

} // namespace

TTemplate::TTemplate() = default;
TTemplate::TTemplate(TTemplate&&) noexcept = default;
TTemplate& TTemplate::operator=(TTemplate&&) noexcept = default;
TTemplate::~TTemplate() = default;

std::optional<TTemplate> TTemplate::Compile(Base::StringView text, size_t width, TTemplateError& error)
{
    TTemplate result;
    result.Width = width;
    std::vector<TPart>& parts = result.Parts;
    // Read left to right: a "%" at the very end stays as it is.
    size_t at = 0;
    while (at < text.size()) {
        const char16_t c = text[at];
        if (c != u'%' || at + 1 >= text.size()) {
            AddLiteral(parts, c);
            ++at;
            continue;
        }
        const char16_t token = text[at + 1];
        at += 2;
        if (token == u'{') {
            size_t end = at;
            std::vector<TReplaceText> replaces;
            std::optional<TPart> part = ReadToken(text, end, replaces);
            if (!part) {
                AddLiteral(parts, u'{');
                continue;
            }
            // The token is complete; now its expressions must compile.
            size_t next = 0;
            for (TModifier& modifier : part->Modifiers) {
                if (modifier.Kind != TModifier::TKind::Replace)
                    continue;
                const TReplaceText& replace = replaces[next++];
                String message;
                modifier.Replace = TRegexReplace::Compile(replace.Find, replace.Replace, replace.Options, message);
                if (!modifier.Replace) {
                    error = {replace.Find, message};
                    return std::nullopt;
                }
            }
            result.DateTakenUsed = result.DateTakenUsed || part->Kind == TKind::Taken;
            parts.push_back(std::move(*part));
            at = end;
            continue;
        }
        if (const std::optional<TKind> kind = ShortToken(token)) {
            TPart part;
            part.Kind = *kind;
            parts.push_back(std::move(part));
        } else {
            AddLiteral(parts, token);
        }
    }
    return result;
}

TExpansionGap TTemplate::Expand(const TTemplateFile& file, int32_t counter, int32_t total, String& result) const
{
    const size_t dot = ExtensionDot(file.Name);
    const Base::StringView stem = dot == Base::StringView::npos ? file.Name : file.Name.substr(0, dot);
    const Base::StringView extension = dot == Base::StringView::npos ? Base::StringView() : file.Name.substr(dot + 1);
    TExpansionGap gap = TExpansionGap::None;
    result.clear();
    for (const TPart& part : Parts) {
        Base::StringView source;
        switch (part.Kind) {
        case TKind::Literal:
            result += part.Text;
            continue;
        case TKind::Counter:
            AppendPadded(result, Base::IntToStr(counter), Width);
            continue;
        case TKind::HexUpper:
            AppendPadded(result, Hex(counter, true), Width);
            continue;
        case TKind::HexLower:
            AppendPadded(result, Hex(counter, false), Width);
            continue;
        case TKind::Total:
            AppendPadded(result, Base::IntToStr(total), Width);
            continue;
        case TKind::Modified:
        case TKind::Created: {
            Platform::LocalTime date;
            if (Platform::FileTimeToLocalTime(part.Kind == TKind::Modified ? file.Modified : file.Created, &date)) {
                AppendDate(part.Text, date, result);
            } else {
                result += part.Written;
                if (gap == TExpansionGap::None)
                    gap = TExpansionGap::NoDate;
            }
            continue;
        }
        case TKind::Taken:
            if (file.Taken) {
                const TDateTaken& taken = *file.Taken;
                AppendDate(part.Text, {taken.Year, taken.Month, taken.Day, taken.Hour, taken.Minute, taken.Second},
                           result);
            } else {
                result += part.Written;
                gap = TExpansionGap::NoDateTaken;
            }
            continue;
        case TKind::Stem:
            source = stem;
            break;
        case TKind::Extension:
            source = extension;
            break;
        case TKind::Whole:
            source = file.Name;
            break;
        case TKind::Folder:
            source = file.FolderName;
            break;
        }
        if (part.Modifiers.empty()) {
            result += source;
            continue;
        }
        String text(source);
        for (const TModifier& modifier : part.Modifiers)
            text = modifier.Apply(text);
        result += text;
    }
    return gap;
}

ETemplateError::ETemplateError(TTemplateError error)
    : Base::Exception(Base::Format(Zelvane::MessageText(TMessage::BadExpression), {error.Expression, error.Message})),
      Error(std::move(error))
{
}

void ShowTemplateError(const TTemplateError& error)
{
    const std::vector<String> items{MessageText(TMessage::Title),
                                    Base::Format(MessageText(TMessage::BadExpression), {error.Expression, error.Message}),
                                    MessageText(TMessage::Ok)};
    Tessel::TFarModule::ShowMessage(items, 2, Far3::FMSG_WARNING, 1);
}

String FolderNameOf(Base::StringView directory)
{
    if (directory.starts_with(u"\\\\?\\"))
        directory.remove_prefix(4);
    while (!directory.empty() && (directory.back() == u'\\' || directory.back() == u'/'))
        directory.remove_suffix(1);
    const size_t separator = directory.find_last_of(u"\\/");
    const Base::StringView last = separator == Base::StringView::npos ? directory : directory.substr(separator + 1);
    // "C:" is a drive's root.
    if (separator == Base::StringView::npos && last.size() == 2 && last[1] == u':')
        return String();
    return String(last);
}

String PadTo(const String& text, size_t width)
{
    if (width > text.size())
        return String(width - text.size(), u'0') + text;
    return text;
}

} // namespace Zelvane
