// The list that an action works on: a page makes one for each action it
// opens, and the action (and its worker thread) reads it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/file_records.h"
#include "common/result_list.h"

namespace tolvane {

// Entry r is the number of the record shown in row r of a list.
using RowIndex = std::vector<uint32_t>;
// The entry of a row that was deleted and not yet squeezed out.
inline constexpr uint32_t RemovedMarker = 0xFFFFFFFF;

inline constexpr int32_t ActionModeCopy = 0;
inline constexpr int32_t ActionModeMove = 1;  // also the mode of a deletion
inline constexpr int32_t ActionModeStop = -1;

// A page makes it shared, with owner set: a worker then holds a share of the
// target, and so of what its pointers point into, until it has ended.
struct ActionTarget : std::enable_shared_from_this<ActionTarget> {
    // What list, records and rowIndex belong to.
    std::shared_ptr<const void> owner;
    ResultList* list = nullptr;
    const FileRecords* records = nullptr;
    RowIndex* rowIndex = nullptr;
    // Written -1 by whoever wants the running action to stop; the worker tests
    // it before each row.
    std::atomic<int32_t> ActionMode{ActionModeCopy};
    bool RemovesRows = false;
    // The records whose files the action moved or deleted; the page takes
    // their rows out of its other lists when the action has ended.
    std::vector<uint32_t> removedRecords;
    // The list is one of the four grouped Compare lists (column 1 is "Group").
    bool groupedList = false;
    // Its groups are of equal content (Same content, or Combined with content):
    // a deletion must leave an unmarked copy of each.
    bool equalContentGroups = false;
};

}  // namespace tolvane
