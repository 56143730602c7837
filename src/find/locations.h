// The folders a search or comparison walks, and the rules of the dialog that
// edits them: a sorted working list, the clean-up of duplicate and covered
// entries, deleting with its questions, the locations list file, and Accept.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompter.h"

namespace tolvane {

// The locations a page stores; changed only by an Accept.
struct LocationList {
    std::vector<std::string> locationPaths;
    bool locationsSpecified = false;  // the last Accept stored at least one path
    int locationCount = 0;            // always locationPaths.size()
    bool includeSubfolders = false;   // the walk also descends into subfolders
};

inline constexpr std::string_view LocationsSpecifiedCaption = "Specified locations";
inline constexpr std::string_view LocationsUnspecifiedCaption = "*Specify locations";
// The caption of a page's locations button for what the page has stored.
std::string LocationsButtonCaption(const LocationList& locations);

// The order of a sorted list box: byte by byte after ANSI lower-casing, bytes
// compared unsigned, a prefix before the longer text. Both builds use it, so
// the same paths end up next to each other on every system.
bool LocationOrderLess(std::string_view a, std::string_view b);

// The dialog's working list, always kept in LocationOrderLess order.
class LocationBox {
public:
    const std::vector<std::string>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    // Inserts at the sorted place, after the items that compare equal to it.
    void Add(std::string path);
    // Removes the items at these positions; positions out of range are ignored.
    void Remove(std::vector<int> positions);
    void Clear() { items_.clear(); }

    // Deletes every item that duplicates (same bytes) or, with
    // includeSubfolders, lies inside the item kept just above it. Only
    // neighbours are compared: the sorted order decides what is found.
    void Normalize(bool includeSubfolders);

private:
    std::vector<std::string> items_;
};

// What a save or load of the locations list file came to.
enum class LocationsFileResult { Done, NothingToSave, Cancelled, Failed };

// The "Specify locations" dialog without its window: opened from the page's
// stored list, edited, and then either accepted into the page's list or simply
// dropped (Discard), which leaves the page's list as it was.
class LocationsEditor {
public:
    explicit LocationsEditor(const LocationList& stored);

    const LocationBox& Box() const { return box_; }
    bool IncludeSubfolders() const { return includeSubfolders_; }

    // A click on "subfolders": entries inside others go at once when it is
    // checked; unchecking brings nothing back.
    void SetIncludeSubfolders(bool includeSubfolders);
    // A folder chosen with the folder picker.
    void Add(const std::string& folderPath);
    // A dropped item: added only when it is an existing folder.
    bool AddDropped(const std::string& path);
    // "del": removes the selected items after a question, or, with nothing
    // selected, offers to clear the whole list.
    void Delete(const std::vector<int>& selected, Prompter& prompter);

    // "save list": refuses a blank list before chooseFile is asked for a path
    // (nullopt when the user cancels), then writes one path per line.
    LocationsFileResult Save(Prompter& prompter, const std::function<std::optional<std::string>()>& chooseFile) const;
    // "load list": adds every line of the file that names an existing folder
    // and keeps the current entries.
    LocationsFileResult Load(const std::string& path, Prompter& prompter);

    // "Accept": stores the working list into the page's list and returns the
    // caption for the page's locations button.
    std::string Accept(LocationList& stored, Prompter& prompter) const;

private:
    LocationBox box_;
    bool includeSubfolders_;
};

}  // namespace tolvane
