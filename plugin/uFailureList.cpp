#include "plugin/uFailureList.h"

#include "framework/FarEditor.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"
#include "plugin/uStrings.h"
#include "plugin/uSystem.h"

namespace Zelvane {

namespace {

// The list opens in a non-modal editor that returns at once, keeps neither
// history nor position, and deletes the file when it closes.
constexpr Far3::EDITOR_FLAGS FailureListEditorFlags = Far3::EF_NONMODAL | Far3::EF_DISABLEHISTORY |
                                                      Far3::EF_IMMEDIATERETURN |
                                                      Far3::EF_DELETEONLYFILEONCLOSE | Far3::EF_DISABLESAVEPOS;

bool FileExists(const String& name)
{
    return Platform::GetFileAttributesW(name.c_str()) != Platform::InvalidFileAttributes;
}

} // namespace

void TFailureList::Add(const String& first, const String& second)
{
    Add(first, second, String());
}

void TFailureList::Add(const String& first, const String& second, const String& reason)
{
    if (!Stream) {
        FileName = UniqueTempNameWithExt(TempDirectory(), u"zelvane", u".txt");
        Stream = TTextStream::Create(FileName, TFileStream::ModeCreate);
        Stream->SetEncoding(TEncoding::Utf8);
        Stream->WriteLine(MessageText(Heading));
    }
    String line = QuotedName(first) + u" -> " + QuotedName(second);
    if (!reason.empty())
        line += u"  (" + reason + u")";
    Stream->WriteLine(line);
}

void TFailureList::Show()
{
    if (!Stream || !FileExists(FileName))
        return;
    Stream->Close();
    Stream.reset();
    Tessel::TFarEditor::OpenFile(FileName, MessageText(TMessage::Title), 0, 0, -1, -1, FailureListEditorFlags, 0, 1,
                                 Far3::CodePage::Utf8);
}

} // namespace Zelvane
