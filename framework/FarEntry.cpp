#include "framework/FarEntry.h"

#include "framework/FarPlugin.h"

#include <exception>

namespace Tessel::Entry {

namespace {

// Reports without letting anything escape: an exception leaving an export
// would end the host process.
void ReportSafely(const char16_t* where, const std::exception* e)
{
    try {
        if (e != nullptr)
            TFarModule::ReportException(*e, where);
        else
            TFarModule::ReportUnknownException(where);
    } catch (...) {
    }
}

void LogSafely(const char16_t* logName, const char16_t* suffix)
{
    try {
        TFarModule::Log(String(logName) + suffix);
    } catch (...) {
    }
}

// The entry guard: START line, the body with every exception caught and
// reported, END line; `failure` is returned after a reported exception.
template <class Result, class Body>
Result Guarded(const char16_t* logName, Result failure, Body body)
{
    LogSafely(logName, u" START");
    Result result = failure;
    try {
        result = body();
    } catch (const std::exception& e) {
        ReportSafely(logName, &e);
        result = failure;
    } catch (...) {
        ReportSafely(logName, nullptr);
        result = failure;
    }
    LogSafely(logName, u" END");
    return result;
}

// A record the host hands over is read only when it is there and at least
// as long as ours, as Far's own plugins check it: a shorter one comes from a
// host whose layout this plugin does not know. Such a call does nothing.
template <class Record>
bool IsWhole(const Record* info)
{
    return info != nullptr && info->StructSize >= sizeof(Record);
}

void Refused(const char16_t* logName)
{
    LogSafely(logName, u" START");
    LogSafely(logName, u" END");
}

} // namespace

void SetStartupInfoW(const Far3::PluginStartupInfo* info)
{
    Guarded(u"SetStartupInfo", 0, [&] {
        TFarPlugin::GetPlugin().SetStartupInfo(info);
        return 0;
    });
}

void GetGlobalInfoW(Far3::GlobalInfo* info)
{
    if (!IsWhole(info))
        return Refused(u"GetGlobalInfoW");
    Guarded(u"GetGlobalInfoW", 0, [&] {
        TFarPlugin::GetPlugin().FillGlobalInfo(info);
        return 0;
    });
}

void GetPluginInfoW(Far3::PluginInfo* info)
{
    if (!IsWhole(info))
        return Refused(u"GetPluginInfoW");
    Guarded(u"GetPluginInfoW", 0, [&] {
        TFarPlugin::GetPlugin().FillPluginInfo(info);
        return 0;
    });
}

Far3::HANDLE OpenW(const Far3::OpenInfo* info)
{
    if (!IsWhole(info)) {
        Refused(u"OpenW");
        return nullptr;
    }
    return Guarded<Far3::HANDLE>(u"OpenW", nullptr, [&] {
        return TFarPlugin::GetPlugin().Open(info->OpenFrom, info->Guid, info->Data);
    });
}

intptr_t ConfigureW(const Far3::ConfigureInfo* info)
{
    if (!IsWhole(info)) {
        Refused(u"ConfigureW");
        return 0;
    }
    return Guarded<intptr_t>(u"ConfigureW", 0, [&]() -> intptr_t {
        return TFarPlugin::GetPlugin().Configure(&info->Guid, 0) ? 1 : 0;
    });
}

void ExitFARW(const Far3::ExitInfo* /*info*/)
{
    Guarded(u"ExitFARW", 0, [&] {
        TFarPlugin::GetPlugin().ExitFar();
        return 0;
    });
}

} // namespace Tessel::Entry
