#include "actions/source_check.h"

#include "common/list_operations.h"
#include "platform/error.h"
#include "platform/file_identity.h"

namespace tolvane {

SourceCheck CheckListedFile(const FileRecords& records, uint32_t record)
{
    FindData now;
    if (!platform::ReadPathDetails(records.FullPath(record), now))
        return platform::IsVanishedError(platform::LastError()) ? SourceCheck::Gone : SourceCheck::Unreadable;
    const FileRecord listed = records[record];
    const bool same = !now.IsDirectory() && now.Size() == listed.size &&
                      now.ftLastWriteTime.Value() == listed.modifiedTime.Value();
    return same ? SourceCheck::AsListed : SourceCheck::Changed;
}

namespace {

// True when the group of row has no unmarked member, or one that is still as listed.
bool GroupKeepsACopy(const ActionTarget& target, int row)
{
    const ResultList& list = *target.list;
    const int group = GroupNumber(list, row);
    int first = row;
    while (first > 0 && GroupNumber(list, first - 1) == group) --first;
    bool anyUnmarked = false;
    for (int member = first; member < list.RowCount() && GroupNumber(list, member) == group; ++member) {
        if (member == row || list.IsMarked(member)) continue;
        anyUnmarked = true;
        const uint32_t record = (*target.rowIndex)[static_cast<size_t>(member)];
        if (CheckListedFile(*target.records, record) == SourceCheck::AsListed) return true;
    }
    return !anyUnmarked;
}

}  // namespace

SourceCheck CheckBeforeDelete(const ActionTarget& target, int row)
{
    const uint32_t record = (*target.rowIndex)[static_cast<size_t>(row)];
    const SourceCheck own = CheckListedFile(*target.records, record);
    if (own != SourceCheck::AsListed || !target.equalContentGroups) return own;
    return GroupKeepsACopy(target, row) ? SourceCheck::AsListed : SourceCheck::NoCopyLeft;
}

std::string SourceCheckText(SourceCheck check, const std::string& path)
{
    if (check == SourceCheck::NoCopyLeft)
        return "No unmarked copy of this file is left as it was listed, so it was not deleted:\n" + path;
    return "This file has changed since it was listed, so it was left as it is:\n" + path;
}

}  // namespace tolvane
