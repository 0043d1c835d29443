// TFarModule: the root of every host-binding class. No instance data; its
// class services move strings in and out of host buffers, fetch message
// texts, convert paths to the host's native form, log and show message boxes.
// All of them reach the host through the registered plugin object.
#pragma once

#include "base/Format.h"
#include "base/String.h"
#include "far3/Plugin3.h"

#include <exception>
#include <initializer_list>
#include <vector>

namespace Tessel {

using Base::String;
using Base::StringView;

class TFarModule {
public:
    static String StringFromBuffer(const char16_t* buffer, size_t length);
    static String StringFromPtr(const char16_t* text);
    // The string's own characters; the empty string gives an empty text, never null.
    static const char16_t* StringPtr(const String& text);
    static char16_t* NewCString(StringView text);
    static void FreeCString(char16_t*& text);

    static String NativePath(const String& path);
    static String GetMsg(intptr_t msgId);

    static void Log(const String& text);
    static void LogFmt(StringView format, std::initializer_list<Base::FormatArg> args);

    // items[0..lastIndex]: title, lines, then `buttons` button labels.
    static intptr_t ShowMessage(const std::vector<String>& items, int lastIndex, Far3::FARMESSAGEFLAGS flags,
                                int buttons);
    static intptr_t ShowMessageItems(const char16_t* const* items, int lastIndex, Far3::FARMESSAGEFLAGS flags,
                                     int buttons);

    // The exception report of the entry guard: silent for the abort type,
    // a host message box otherwise (a Windows one without a plugin object).
    static void ReportException(const std::exception& e, const String& where);
    // For something thrown that is not a std::exception at all.
    static void ReportUnknownException(const String& where);
};

// Base of the host-object wrappers (settings, panels, screen, editor, dialogs).
class TFarCommonModule : public TFarModule {
};

// Splits a message into lines at CR, LF or CR LF; a final empty piece is dropped.
std::vector<String> SplitMessageLines(StringView message);

} // namespace Tessel
