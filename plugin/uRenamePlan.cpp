#include "plugin/uRenamePlan.h"

#include "plugin/uDateTaken.h"

namespace Zelvane {

int32_t NextCounterValue(int32_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value) + 1u);
}

TRenamePlan::TRenamePlan(TTemplate nameTemplate, String directory, int32_t start, int32_t total)
    : Template(std::move(nameTemplate)), Directory(std::move(directory)), FolderName(FolderNameOf(Directory)),
      NextValue(start), Total(total)
{
}

TPlannedFile TRenamePlan::Next(const TPlanFile& file)
{
    TPlannedFile planned;
    planned.Counter = NextValue;
    TTemplateFile facts{file.Name, FolderName, file.Modified, file.Created, std::nullopt};
    if (Template.UsesDateTaken() && !Directory.empty()) {
        Path.assign(Directory).append(file.Name);
        facts.Taken = ReadDateTaken(Path);
    }
    switch (Template.Expand(facts, NextValue, Total, planned.Expanded)) {
    case TExpansionGap::NoDateTaken:
        planned.Reason = TPreviewReason::NoDateTaken;
        return planned;
    case TExpansionGap::NoDate:
        planned.Reason = TPreviewReason::NoDate;
        return planned;
    case TExpansionGap::None:
        break;
    }
    // A name Windows cannot hold is never handed over; one it trims is
    // handed over trimmed, and may then turn out to be the old name.
    planned.Decision = DecideNewName(file.Name, planned.Expanded);
    if (planned.Decision.Action == TNewName::TAction::Refuse) {
        planned.Reason = TPreviewReason::NameRefused;
        return planned;
    }
    NextValue = NextCounterValue(NextValue);
    return planned;
}

void TRenamePlan::GiveBack(const TPlannedFile& file)
{
    NextValue = file.Counter;
}

} // namespace Zelvane
