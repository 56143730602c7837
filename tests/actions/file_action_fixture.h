// Real files in a temporary folder listed in a result list, as a page hands
// them to a file action, and recording stand-ins for the action's dialogs.
#pragma once

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "actions/copy_move.h"
#include "common/action_target.h"
#include "common/list_operations.h"
#include "platform/path.h"
#include "support/temp_folder.h"

namespace tolvane::test {

struct ListedFile {
    std::string relativePath;  // "folder/name"
    std::string content;
    int group = 0;  // written into the Group column when not 0
};

// One row per file, in the order given; row r shows record r.
struct ActionList {
    TempFolder temp;
    FileRecords records;
    MemoryResultList list;
    RowIndex index;
    ActionTarget target;

    explicit ActionList(const std::vector<ListedFile>& files, int32_t mode = ActionModeCopy)
    {
        for (const ListedFile& file : files) {
            const std::string path = temp.WriteFile(file.relativePath, file.content);
            const size_t slash = path.find_last_of(platform::PathSeparator);
            FindData entry;
            std::strncpy(entry.cFileName, path.c_str() + slash + 1, sizeof entry.cFileName - 1);
            entry.SetSize(file.content.size());
            records.Add(path.substr(0, slash + 1), entry);
            const int row = list.RowCount();
            list.InsertRow(row);
            if (file.group != 0) list.SetCellText(row, GroupColumn, std::to_string(file.group));
            index.push_back(static_cast<uint32_t>(index.size()));
        }
        list.SetEnabled(true);
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
        target.ActionMode = mode;
        target.RemovesRows = mode != ActionModeCopy;
    }

    void Mark(std::initializer_list<int> rows)
    {
        for (int row : rows) list.SetStateImage(row, StateImageMarked);
    }

    int MarkedRowsCount() const
    {
        int marked = 0;
        for (int row = 0; row < list.RowCount(); ++row) marked += list.IsMarked(row) ? 1 : 0;
        return marked;
    }

    // The file name each row shows, through the row index.
    std::vector<std::string> RowNames() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < list.RowCount(); ++row)
            names.emplace_back(records.FileName(index[static_cast<size_t>(row)]));
        return names;
    }

    std::vector<std::string> Groups() const
    {
        std::vector<std::string> groups;
        for (int row = 0; row < list.RowCount(); ++row) groups.push_back(list.Cell(row, GroupColumn));
        return groups;
    }
};

class RecordingProgress : public CopyMoveProgress {
public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetTo(const std::string& folderPath) override { to = folderPath; }
    void SetCurrentFile(const std::string& text) override
    {
        currentFiles.push_back(text);
        if (onFile) onFile();
    }
    void SetFrom(const std::string& folderPath) override { from.push_back(folderPath); }
    void SetCounter(const std::string& text) override { counters.push_back(text); }
    void SetPosition(int position) override { positions.push_back(position); }
    void Finish() override { ++finished; }

    std::string caption;
    std::string to;
    std::vector<std::string> currentFiles;
    std::vector<std::string> from;
    std::vector<std::string> counters;
    std::vector<int> positions;
    int finished = 0;
    std::function<void()> onFile;  // runs as each file is shown
};

// Picks a fixed folder (none when empty) and answers clashes from a script;
// an unscripted clash breaks the run off.
class ScriptedChoices : public CopyMoveChoices {
public:
    explicit ScriptedChoices(std::string folder) : folder_(std::move(folder)) {}

    void Answer(int button, bool applyToAll = false) { answers_.push_back(button * 2 + (applyToAll ? 1 : 0)); }

    bool PickFolder(const std::string& title, std::string& folder) override
    {
        pickTitle = title;
        if (folder_.empty()) return false;
        folder = folder_;
        return true;
    }

    int ConfirmAction(const std::string& fileName) override
    {
        clashNames.push_back(fileName);
        if (answers_.empty()) return ConfirmBreak * 2;
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::string pickTitle;
    std::vector<std::string> clashNames;

private:
    std::string folder_;
    std::deque<int> answers_;
};

}  // namespace tolvane::test
