#include "plugin/uRunBatch.h"

#include "plugin/uEditPlan.h"

namespace Zelvane {

TOpenFolder::TOpenFolder(const String& directory)
    : Handle(directory.empty() ? Platform::InvalidHandleValue : Platform::OpenFolderW(directory.c_str()))
{
}

TOpenFolder::~TOpenFolder()
{
    if (Handle != Platform::InvalidHandleValue)
        Platform::CloseHandle(Handle);
}

bool IsTaken(const String& from, const String& to)
{
    return Platform::GetFileAttributesW(to.c_str()) != Platform::InvalidFileAttributes &&
           FileSystemNameKey(from) != FileSystemNameKey(to);
}

} // namespace Zelvane
