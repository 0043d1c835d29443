// TFailureList: the list of names a run could not handle, shown to the user
// in the host's editor. A UTF-8 text file in the temporary folder, made at
// the first entry: a heading from the language file, then one line per
// entry, `"first" -> "second"`, each name in double quotes with inner
// quotes doubled, lines ending in CR LF. The editor deletes the file when
// it closes. Main thread only; raises what the text stream raises when the
// file cannot be made or written.
#pragma once

#include "base/String.h"
#include "plugin/TextStream.h"
#include "plugin/uMessages.h"

#include <memory>

namespace Zelvane {

using Base::String;

class TFailureList {
public:
    explicit TFailureList(TMessage heading) : Heading(heading) {}

    void Add(const String& first, const String& second);
    // An entry with why it failed, after two blanks in parentheses, as the
    // preview shows a reason.
    void Add(const String& first, const String& second, const String& reason);
    // Closes the list and opens it in the host's editor, when it was written.
    void Show();

private:
    TMessage Heading;
    String FileName;
    std::unique_ptr<TTextStream> Stream;
};

} // namespace Zelvane
