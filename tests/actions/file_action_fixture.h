// Real files in a temporary folder listed in a result list, as a page hands
// them to a file action, and recording stand-ins for the action's dialogs.
#pragma once

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "actions/copy_move.h"
#include "common/action_target.h"
#include "common/list_operations.h"
#include "platform/error.h"
#include "platform/file_identity.h"
#include "platform/path.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane::test {

using Names = std::vector<std::string>;

// Each message shown as (text, caption, style), to compare in one go.
using Shown = std::tuple<std::string, std::string, unsigned>;
inline std::vector<Shown> Said(const ScriptedPrompter& prompter)
{
    std::vector<Shown> said;
    for (const ShownMessage& m : prompter.shown) said.emplace_back(m.text, m.caption, m.style);
    return said;
}
inline Shown SystemError(const char* caption, uint32_t code) { return {platform::SystemErrorText(code), caption, MbIconHand}; }

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
    Names currentFiles;
    Names from;
    Names counters;
    std::vector<int> positions;
    int finished = 0;
    std::function<void()> onFile;  // runs as each file is shown
};

struct ListedFile {
    std::string relativePath;  // "folder/name"
    std::string content;
    int group = 0;  // written into the Group column when not 0
};

// One row per file, in the order given; row r shows record r. Holds the
// progress and prompter an action is run with.
struct ActionList {
    TempFolder temp;
    FileRecords records;
    MemoryResultList list;
    RowIndex index;
    ActionTarget target;
    RecordingProgress progress;
    ScriptedPrompter prompter;

    explicit ActionList(const std::vector<ListedFile>& files, int32_t mode = ActionModeCopy)
    {
        for (const ListedFile& file : files) {
            const std::string path = temp.WriteFile(file.relativePath, file.content);
            const size_t slash = path.find_last_of(platform::PathSeparator);
            FindData entry;
            platform::ReadPathDetails(path, entry);  // the size and times a listing would show
            std::strncpy(entry.cFileName, path.c_str() + slash + 1, sizeof entry.cFileName - 1);
            records.Add(path.substr(0, slash + 1), entry);
            const int row = list.RowCount();
            list.InsertRow(row);
            list.SetStateImage(row, StateImageMarked);
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

    // Marks exactly these rows.
    void Mark(std::initializer_list<int> rows)
    {
        MarkNone(list);
        for (int row : rows) list.SetStateImage(row, StateImageMarked);
    }

    // The file name each row shows, through the row index.
    Names RowNames() const
    {
        Names names;
        for (int row = 0; row < list.RowCount(); ++row) names.emplace_back(records.FileName(index[static_cast<size_t>(row)]));
        return names;
    }
    Names Groups() const
    {
        Names groups;
        for (int row = 0; row < list.RowCount(); ++row) groups.push_back(list.Cell(row, GroupColumn));
        return groups;
    }
};

// a.txt, b.txt and c.txt holding "a", "b" and "c" in src/, all marked.
inline std::vector<ListedFile> ThreeFiles() { return {{"src/a.txt", "a"}, {"src/b.txt", "b"}, {"src/c.txt", "c"}}; }

// Picks a fixed folder (none when empty) and answers clashes from a script;
// an unscripted clash breaks the run off.
class ScriptedChoices : public CopyMoveChoices {
public:
    explicit ScriptedChoices(std::string folder) : folder_(std::move(folder)) {}

    void Answer(ClashAnswer answer, bool applyToAll = false) { answers_.push_back({answer, applyToAll}); }

    bool PickFolder(const std::string& title, std::string& folder) override
    {
        pickTitle = title;
        if (folder_.empty()) return false;
        folder = folder_;
        return true;
    }

    ClashChoice ConfirmAction(const std::string& fileName) override
    {
        clashNames.push_back(fileName);
        if (answers_.empty()) return {};
        const ClashChoice answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::string pickTitle;
    Names clashNames;

private:
    std::string folder_;
    std::deque<ClashChoice> answers_;
};

}  // namespace tolvane::test
