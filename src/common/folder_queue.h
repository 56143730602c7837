// The folders a walk lists, breadth-first: the locations first, then the
// subfolders in the order they were found. Every path ends with the separator.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace tolvane {

class FolderQueue {
public:
    // The locations in list order, each given one trailing separator when it
    // has none; false when memory runs out.
    bool Start(const std::vector<std::string>& locations);
    // Queues folderPath + name + separator; false when memory runs out.
    bool Append(std::string_view folderPath, const char* name);

    size_t Count() const { return folders_.size(); }
    const std::string& operator[](size_t index) const { return folders_[index]; }
    void Clear();

private:
    std::vector<std::string> folders_;
};

// "." and "..": the only folder entries a walk skips (".a" and "..." are folders).
bool IsDotEntry(const char* name);
// A folder entry is descended into unless it is a reparse point: a link or a
// junction to a folder can lead back into the tree and loop for ever.
bool IsDescendableFolder(const FindData& entry);

}  // namespace tolvane
