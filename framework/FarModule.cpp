#include "framework/FarModule.h"

#include "base/Exception.h"
#include "framework/FarErrors.h"
#include "framework/FarPlugin.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cstring>

namespace Tessel {

String TFarModule::StringFromBuffer(const char16_t* buffer, size_t length)
{
    if (buffer == nullptr)
        return String();
    return String(buffer, length);
}

String TFarModule::StringFromPtr(const char16_t* text)
{
    if (text == nullptr)
        return String();
    return String(text);
}

const char16_t* TFarModule::StringPtr(const String& text)
{
    return text.c_str();
}

char16_t* TFarModule::NewCString(StringView text)
{
    auto* copy = new char16_t[text.size() + 1];
    std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
    copy[text.size()] = 0;
    return copy;
}

void TFarModule::FreeCString(char16_t*& text)
{
    if (text != nullptr) {
        delete[] text;
        text = nullptr;
    }
}

String TFarModule::NativePath(const String& path)
{
    String result;
    if (path.empty())
        return result;
    const auto convert = TFarPlugin::StartupInfo()->FSF->ConvertPath;
    const auto needed = static_cast<intptr_t>(convert(Far3::CPM_NATIVE, path.c_str(), nullptr, 0));
    if (needed <= 0)
        return String();
    result.assign(static_cast<size_t>(needed), u'\0');
    const auto written = static_cast<intptr_t>(convert(Far3::CPM_NATIVE, path.c_str(), result.data(),
                                                       static_cast<size_t>(needed)));
    if (written <= 0)
        return String();
    // The host counts the terminator; never read past what was allocated.
    result.resize(static_cast<size_t>(std::min(written, needed) - 1));
    return result;
}

String TFarModule::GetMsg(intptr_t msgId)
{
    const Far3::GUID guid = TFarPlugin::GetPlugin().GetPluginGuid();
    return StringFromPtr(TFarPlugin::StartupInfo()->GetMsg(&guid, msgId));
}

void TFarModule::Log(const String& text)
{
    TFarPlugin::GetPlugin().Log(text);
}

void TFarModule::LogFmt(StringView format, std::initializer_list<Base::FormatArg> args)
{
    String line;
    try {
        line = Base::Format(format, args);
    } catch (...) {
        line = u"Invalid log message: " + String(format);
    }
    Log(line);
}

intptr_t TFarModule::ShowMessage(const std::vector<String>& items, int lastIndex, Far3::FARMESSAGEFLAGS flags,
                                 int buttons)
{
    std::vector<const char16_t*> pointers;
    pointers.reserve(static_cast<size_t>(lastIndex) + 1);
    for (int i = 0; i <= lastIndex; ++i)
        pointers.push_back(StringPtr(items.at(static_cast<size_t>(i))));
    return ShowMessageItems(pointers.data(), lastIndex, flags, buttons);
}

intptr_t TFarModule::ShowMessageItems(const char16_t* const* items, int lastIndex, Far3::FARMESSAGEFLAGS flags,
                                      int buttons)
{
    const std::vector<const char16_t*> copy(items, items + lastIndex + 1);
    const Far3::GUID pluginGuid = TFarPlugin::GetPlugin().GetPluginGuid();
    const Far3::GUID zero{};
    return TFarPlugin::StartupInfo()->Message(&pluginGuid, &zero, flags, nullptr, copy.data(), copy.size(),
                                              buttons);
}

std::vector<String> SplitMessageLines(StringView message)
{
    std::vector<String> lines;
    size_t start = 0;
    for (size_t i = 0; i < message.size(); ++i) {
        if (message[i] == u'\r' || message[i] == u'\n') {
            lines.emplace_back(message.substr(start, i - start));
            if (message[i] == u'\r' && i + 1 < message.size() && message[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < message.size())
        lines.emplace_back(message.substr(start));
    return lines;
}

namespace {

void ReportWithoutPlugin(const String& where, const String& className, const String& message)
{
    const String text = u"Exception occurred in " + where + u"\r\n" + className + u"\r\n" + message;
    Platform::MessageBoxW(nullptr, text.c_str(), u"Plugin error",
                          Platform::MessageBoxStyle::TaskModal | Platform::MessageBoxStyle::IconError);
}

void Report(const String& where, const String& className, const String& message)
{
    // Without a plugin object, or before the host handed over its services
    // (Far asks for the plugin's identity first), only the system can show it.
    const bool hostReady = TFarPlugin::HasHostServices() && TFarPlugin::StartupInfo()->Message != nullptr &&
                           TFarPlugin::StartupInfo()->GetMsg != nullptr;
    if (!hostReady) {
        ReportWithoutPlugin(where, className, message);
        return;
    }
    TFarModule::LogFmt(u"%s: Exception %s: %s", {where, className, message});
    auto& plugin = TFarPlugin::GetPlugin();
    try {
        std::vector<String> items;
        items.push_back(plugin.GetStandardText(0));
        items.push_back(Base::Format(plugin.GetStandardText(1), {where}));
        items.push_back(className);
        for (auto& line : SplitMessageLines(message))
            items.push_back(std::move(line));
        items.push_back(plugin.GetStandardText(2));
        TFarModule::ShowMessage(items, static_cast<int>(items.size()) - 1, Far3::FMSG_WARNING, 1);
    } catch (...) {
        // The short form: the caption may not be formattable, or the long box may not show.
        String caption;
        try {
            caption = Base::Format(plugin.GetStandardText(1), {where});
        } catch (...) {
            caption = u"Exception occurred in function " + where;
        }
        const std::vector<String> items{plugin.GetStandardText(0), caption, className, message,
                                        plugin.GetStandardText(2)};
        TFarModule::ShowMessage(items, 4, Far3::FMSG_WARNING, 1);
    }
}

} // namespace

void TFarModule::ReportException(const std::exception& e, const String& where)
{
    if (dynamic_cast<const Base::EAbort*>(&e) != nullptr)
        return;
    Report(where, Base::ExceptionClassName(e), Base::ExceptionMessage(e));
}

void TFarModule::ReportUnknownException(const String& where)
{
    Report(where, u"Unknown exception", u"An exception of an unknown type was raised.");
}

} // namespace Tessel
