#include "actions/marking.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "common/list_operations.h"

namespace tolvane {

namespace {

// The folder of row's record; empty when the row has no valid entry, so a
// list and index out of step never read outside the records.
std::string_view RowFolder(const ActionTarget& target, int row)
{
    const RowIndex& index = *target.rowIndex;
    if (static_cast<size_t>(row) >= index.size()) return {};
    const uint32_t record = index[static_cast<size_t>(row)];
    if (record >= target.records->Count()) return {};
    return target.records->FolderPath(record);
}

bool HasTarget(const ActionTarget& target) { return target.list && target.records && target.rowIndex; }

}  // namespace

std::vector<std::string> FoldersToOffer(const ActionTarget& target)
{
    std::vector<std::string> folders;
    if (!HasTarget(target)) return folders;
    const int rowCount = target.list->RowCount();
    for (int row = 0; row < rowCount; ++row) {
        const std::string_view folder = RowFolder(target, row);
        if (folder.empty()) continue;
        if (folders.empty() || folders.back() != folder) folders.emplace_back(folder);
    }
    return folders;
}

void MarkByPath(ActionTarget& target, const std::vector<std::string>& chosenFolders)
{
    if (!target.list) return;
    if (!HasTarget(target) || chosenFolders.empty()) {
        MarkNone(*target.list);
        return;
    }
    const std::unordered_set<std::string_view> chosen(chosenFolders.begin(), chosenFolders.end());
    const int rowCount = target.list->RowCount();
    std::vector<uint8_t> images(static_cast<size_t>(rowCount), StateImageUnmarked);
    for (int row = 0; row < rowCount; ++row) {
        const std::string_view folder = RowFolder(target, row);
        if (!folder.empty() && chosen.count(folder)) images[static_cast<size_t>(row)] = StateImageMarked;
    }
    target.list->SetStateImages(images);
}

}  // namespace tolvane
