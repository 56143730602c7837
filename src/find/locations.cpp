#include "find/locations.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/path.h"
#include "platform/text.h"

namespace tolvane {

namespace {

// The longest path a line of the locations list file can carry: the longest
// path of the system, without its terminator.
constexpr size_t LongestLinePath = platform::PathTextBufferSize - 1;

bool IsControlByte(char c) { return static_cast<unsigned char>(c) < 32; }

}  // namespace

std::string LocationsButtonCaption(const LocationList& locations)
{
    return std::string(locations.locationsSpecified ? LocationsSpecifiedCaption : LocationsUnspecifiedCaption);
}

bool LocationOrderLess(std::string_view a, std::string_view b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto left = static_cast<unsigned char>(platform::LowerAnsi(a[i]));
        const auto right = static_cast<unsigned char>(platform::LowerAnsi(b[i]));
        if (left != right) return left < right;
    }
    return a.size() < b.size();
}

void LocationBox::Add(std::string path)
{
    const auto place = std::upper_bound(items_.begin(), items_.end(), path,
                                        [](const std::string& a, const std::string& b) { return LocationOrderLess(a, b); });
    items_.insert(place, std::move(path));
}

void LocationBox::Remove(std::vector<int> positions)
{
    // From the last position to the first, so the ones still to go keep their places.
    std::sort(positions.begin(), positions.end(), std::greater<>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (const int position : positions) {
        if (position >= 0 && position < Count()) items_.erase(items_.begin() + position);
    }
}

void LocationBox::Normalize(bool includeSubfolders)
{
    // Each item is compared with the last item kept above it, as deleting
    // item i+1 and comparing item i with its new neighbour does.
    const auto covered = [includeSubfolders](const std::string& kept, const std::string& next) {
        if (next == kept) return true;
        return includeSubfolders && kept.size() < next.size() && next.starts_with(kept) &&
               next[kept.size()] == platform::PathSeparator;
    };
    size_t keptCount = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (keptCount > 0 && covered(items_[keptCount - 1], items_[i])) continue;
        if (keptCount != i) items_[keptCount] = std::move(items_[i]);
        ++keptCount;
    }
    items_.resize(keptCount);
}

LocationsEditor::LocationsEditor(const LocationList& stored) : includeSubfolders_(stored.includeSubfolders)
{
    for (const std::string& path : stored.locationPaths) box_.Add(path);
}

void LocationsEditor::SetIncludeSubfolders(bool includeSubfolders)
{
    includeSubfolders_ = includeSubfolders;
    box_.Normalize(includeSubfolders_);
}

void LocationsEditor::Add(const std::string& folderPath)
{
    box_.Add(folderPath);
    box_.Normalize(includeSubfolders_);
}

bool LocationsEditor::AddDropped(const std::string& path)
{
    if (!platform::IsExistingFolder(path)) return false;
    Add(path);
    return true;
}

void LocationsEditor::Delete(const std::vector<int>& selected, Prompter& prompter)
{
    if (!selected.empty()) {
        if (prompter.Message("Remove selected item(s)?", "Confirm", MbQuestion) == IdYes) box_.Remove(selected);
        return;
    }
    if (box_.Empty()) return;
    if (prompter.Message("No items selected. Do you want to clear the box?", "Removing", MbQuestion) == IdYes) box_.Clear();
}

LocationsFileResult LocationsEditor::Save(Prompter& prompter,
                                          const std::function<std::optional<std::string>()>& chooseFile) const
{
    if (box_.Empty()) {
        prompter.Message("The locations list is blank.", "Nothing to save", MbOk);
        return LocationsFileResult::NothingToSave;
    }
    const std::optional<std::string> path = chooseFile();
    if (!path) return LocationsFileResult::Cancelled;

    std::string text;
    for (const std::string& item : box_.Items()) {
        text += item;
        text += platform::TextLineEnd;
    }
    platform::File file;
    if (!file.CreateForWriting(*path)) {
        prompter.Message("New file creation failed.", "Aborted", MbIconHand);
        return LocationsFileResult::Failed;
    }
    // A full disk must not be reported as a saved list.
    if (!file.Write(text.data(), text.size()) || !file.Close()) {
        prompter.ShowSystemError("Operation failed", platform::LastError());
        return LocationsFileResult::Failed;
    }
    prompter.Message("The locations list successfully saved.", "Done", MbOk);
    return LocationsFileResult::Done;
}

LocationsFileResult LocationsEditor::Load(const std::string& path, Prompter& prompter)
{
    platform::File file;
    if (!file.OpenForReading(path)) {
        prompter.Message("Cannot open the file.", "Aborted", MbIconHand);
        return LocationsFileResult::Failed;
    }

    // A line counts only when its line end is read: the unterminated last line
    // is dropped. A line too long for the line buffer is dropped whole; its
    // tail is not a path of its own.
    // The file is UTF-8, or, from an earlier version, in the legacy ANSI code
    // page: known only once it is read whole.
    std::vector<std::string> lines;
    bool utf8 = true;
    const auto takeLine = [&lines, &utf8](std::string& line) {
        if (!line.empty() && IsControlByte(line.back())) line.pop_back();  // the CR of CR LF
        if (line.empty() || line.size() > LongestLinePath || line.find('\0') != std::string::npos) return;
        utf8 = utf8 && platform::IsValidUtf8(line);
        lines.push_back(std::move(line));
    };
    std::string line;
    bool overLong = false;
    char buffer[65536];
    LocationsFileResult result = LocationsFileResult::Done;
    for (;;) {
        const int64_t count = file.Read(buffer, sizeof buffer);
        if (count < 0) {
            // The folders read so far stay; the message says the rest is missing.
            prompter.ShowSystemError("Aborted", platform::LastError());
            result = LocationsFileResult::Failed;
            break;
        }
        if (count == 0) break;
        for (int64_t i = 0; i < count; ++i) {
            const char c = buffer[i];
            if (c == '\n') {
                if (!overLong) takeLine(line);
                line.clear();
                overLong = false;
            } else if (!overLong) {
                line.push_back(c);
                overLong = line.size() > LongestLinePath + 1;  // room for a CR before the LF
                if (overLong) line.clear();
            }
        }
    }
    for (const std::string& read : lines) {
        const std::string path = utf8 ? read : platform::ProgramTextFromLegacyAnsi(read);
        if (platform::IsExistingFolder(path)) box_.Add(path);
    }
    box_.Normalize(includeSubfolders_);
    return result;
}

std::string LocationsEditor::Accept(LocationList& stored, Prompter& prompter) const
{
    stored.includeSubfolders = includeSubfolders_;
    try {
        stored.locationPaths = box_.Items();
    } catch (const std::bad_alloc&) {
        prompter.Message("Memory allocation failed.", "Aborted", MbIconHand);
        stored.locationPaths.clear();
    }
    if (stored.locationPaths.empty()) stored.locationPaths.shrink_to_fit();
    stored.locationCount = static_cast<int>(stored.locationPaths.size());
    stored.locationsSpecified = stored.locationCount > 0;
    return LocationsButtonCaption(stored);
}

}  // namespace tolvane
