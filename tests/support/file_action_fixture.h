// Files listed in a result list as a page hands them to a file action, and stand-ins for its dialogs.
#pragma once

#include <deque>
#include <functional>
#include <tuple>

#include "actions/copy_move.h"
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
inline const Shown AbortQuestion{"Do you want to abort?", "Error occured", MbQuestion};
inline const Shown ConfirmDelete{"Do you really want to delete the selected items?", "Confirm", MbQuestion};

// Each file shown as one step: "name, 2 / 3, 33%"; with send set, every call goes through it.
class RecordingProgress : public CopyMoveProgress {
public:
    void SetCaption(const std::string& text) override { Do([&] { caption = text; }); }
    void SetTo(const std::string& folderPath) override { Do([&] { to = folderPath; }); }
    void SetCurrentFile(const std::string& text) override { Do([&] { steps.push_back(text); if (onFile) onFile(); }); }
    void SetFrom(const std::string& folderPath) override { Do([&] { from.push_back(folderPath); }); }
    void SetCounter(const std::string& text) override { Do([&] { steps.back() += ", " + text; }); }
    void SetPosition(int position) override { Do([&] { steps.back() += ", " + std::to_string(position) + "%"; }); }
    void Finish() override { Do([&] { ++finished; }); }
    void Do(const std::function<void()>& call) { send ? send(call) : call(); }

    std::string caption, to;
    Names steps, from;
    int finished = 0;
    std::function<void()> onFile;  // runs as each file is shown
    std::function<void(const std::function<void()>&)> send;
};

using Entries = std::vector<std::pair<std::string, FindData>>;  // (folder, entry) of each record
inline Entries Named(const std::vector<std::pair<std::string, std::string>>& names)
{
    Entries entries;
    for (const auto& [folder, name] : names) entries.emplace_back(folder, NamedEntry(name));
    return entries;
}

// Rows over the records; row r shows record order[r] when an order is given, else record r.
struct TargetList {
    FileRecords records;
    MemoryResultList list;
    RowIndex index;
    ActionTarget target;

    explicit TargetList(const Entries& files, std::vector<uint32_t> order = {})
    {
        for (const auto& [folder, entry] : files) records.Add(folder, entry);
        for (uint32_t r = 0; order.empty() && r < files.size(); ++r) index.push_back(r);
        for (const uint32_t record : order) index.push_back(record);
        for (size_t r = 0; r < index.size(); ++r) list.InsertRow(static_cast<int>(r));
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
    }
    // Each row's file name through the index, "/group" and "*" when marked: "a.txt* b.txt/1"; "| index n" if out of step.
    std::string Rows() const
    {
        std::string rows;
        for (int r = 0; r < list.RowCount() && static_cast<size_t>(r) < index.size(); ++r) {
            const std::string group = list.Cell(r, GroupColumn);
            rows += (r ? " " : "") + std::string(target.records->FileName(index[static_cast<size_t>(r)])) +
                    (group.empty() ? "" : "/" + group) + (list.IsMarked(r) ? "*" : "");
        }
        return index.size() == static_cast<size_t>(list.RowCount()) ? rows : rows + " | index " + std::to_string(index.size());
    }
    void Mark(std::initializer_list<int> rows)  // exactly these
    {
        MarkNone(list);
        for (int row : rows) list.SetStateImage(row, StateImageMarked);
    }
};

struct ListedFile {
    std::string relativePath, content;  // "folder/name"
    int group = 0;                      // written into the Group column when not 0
};

// Real files in a temporary folder, one marked row each, with the progress and prompter an action runs with.
struct ActionList : TempFolder, TargetList {
    RecordingProgress progress;
    ScriptedPrompter prompter;
    TempFolder& temp = *this;

    explicit ActionList(const std::vector<ListedFile>& files, int32_t mode = ActionModeCopy) : TargetList(Write(files))
    {
        for (size_t r = 0; r < files.size(); ++r) {
            list.SetStateImage(static_cast<int>(r), StateImageMarked);
            if (files[r].group != 0) list.SetCellText(static_cast<int>(r), GroupColumn, std::to_string(files[r].group));
        }
        list.SetEnabled(true);
        target.ActionMode = mode;
        target.RemovesRows = mode != ActionModeCopy;
    }
    Entries Write(const std::vector<ListedFile>& files) const
    {
        Entries entries;
        for (const ListedFile& file : files) {
            const std::string path = WriteFile(file.relativePath, file.content);
            const size_t slash = path.find_last_of(platform::PathSeparator) + 1;
            FindData& entry = entries.emplace_back(path.substr(0, slash), NamedEntry(path.substr(slash))).second;
            platform::ReadPathDetails(path, entry);
        }
        return entries;
    }
};

// a.txt, b.txt and c.txt holding "a", "b" and "c" in src/.
inline std::vector<ListedFile> ThreeFiles() { return {{"src/a.txt", "a"}, {"src/b.txt", "b"}, {"src/c.txt", "c"}}; }

// Picks a fixed folder (none when empty) and answers clashes from a script; an unscripted clash breaks the run off.
class ScriptedChoices : public CopyMoveChoices {
public:
    explicit ScriptedChoices(std::string folder) : folder_(std::move(folder)) {}
    void Answer(ClashAnswer answer, bool applyToAll = false) { answers_.push_back({answer, applyToAll}); }
    bool PickFolder(const std::string& title, std::string& folder) override
    {
        pickTitle = title;
        return !folder_.empty() && !(folder = folder_).empty();
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
