// Text helpers of the renamer: splitting at the first of several separators,
// taking lines off the front of a text, converting UTF-16 text to the bytes
// of a code page, quoting names for lists, and fetching message texts.
#pragma once

#include "base/Exception.h"
#include "base/String.h"
#include "plugin/uMessages.h"

#include <string>
#include <vector>

namespace Zelvane {

using Base::String;

// Cuts `text` at the earliest occurrence of any separator (on equal starts
// the one listed first wins): `part` gets what came before it, `text` keeps
// what follows it. Without a separator `part` takes the whole text and `text`
// becomes empty. False only when `text` was empty. With `trim`, `part` loses
// leading and trailing characters of code 32 or less.
bool SplitFirst(String& text, const std::vector<String>& separators, String& part, bool trim);
bool SplitFirst(String& text, const String& separator, String& part, bool trim);

// SplitFirst at CR LF, CR or LF: called until it returns false, it yields the
// lines of a text in order (a final line break yields no empty last line).
bool ExtractLine(String& text, String& line, bool trim);

// A conversion the system refused; its one message is "Conversion failed.".
class EStringError : public Base::Exception {
public:
    EStringError();
};

// Byte strings are std::string: bytes of some code page, not characters.

// ANSI bytes to OEM bytes of the same length; a length of 0 or less gives
// the empty byte string.
std::string AnsiToOem(const char* ansi, int length);
std::string AnsiToOem(const std::string& ansi);

// UTF-16 to the bytes of `codePage`; characters it cannot hold become its
// default character. A count of 0 or less gives the empty byte string.
std::string WideToMultiByte(uint32_t codePage, const char16_t* wide, int count);
// Always succeeds for text of any characters (unpaired surrogates become U+FFFD).
std::string WideToUtf8(const String& text);

// A file name as the renamer's lists show it: in double quotes, each double
// quote inside it doubled.
String QuotedName(const String& name);
// The same, added to the end of `text`: a long list built in one buffer.
void AppendQuotedName(String& text, Base::StringView name);

// `folder` ending in a path separator, so that a file name joins to it;
// `separators` are the endings that already count as one (a '\\' is
// appended otherwise). The empty text stays empty: no folder is not the
// root of the file system.
String FolderWithSeparator(String folder, Base::StringView separators = u"\\");

// The host's text of a message of this plugin; TMessage::None gives the
// empty string without asking the host.
String MessageText(TMessage id);

} // namespace Zelvane
