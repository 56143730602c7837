// Operations on whole result lists: the marking commands, and the clean-up
// that the file actions run after they have taken rows out of a list.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/action_target.h"
#include "common/result_list.h"

namespace tolvane {

// Column 1 of the four grouped Compare lists holds the row's group number.
inline constexpr int GroupColumn = 1;
// The group cell is read into a buffer of this many characters, so at most 9
// characters of it count.
inline constexpr size_t GroupCellBufferSize = 10;
// What a group cell that is not a plain digit string reads as. The program only
// ever writes digits there; any other text is kept apart from every real
// number, so it can never join a neighbouring group by accident.
inline constexpr int NotAGroupNumber = -1;

// The group number of a cell's text (at most its first 9 characters are
// considered): the decimal value of a string of 1 to 9 digits, otherwise
// NotAGroupNumber.
int ParseGroupCell(std::string_view text);
int GroupNumber(const ResultList& list, int row);

void MarkAll(ResultList& list);
void MarkNone(ResultList& list);
// A row whose check box reads not marked becomes marked; every other row,
// including one without a check box state, becomes not marked.
void InvertMarks(ResultList& list);
// The first row of each run of equal group numbers is not marked, every later
// row of the run is marked.
void MarkAllButFirst(ResultList& list);

// Squeezes the removed markers out of the target's row index, keeping the
// order, so that row k again shows record RowIndex[k]. The index is cut to the
// list's row count.
void CompactRowIndex(ActionTarget& target);
// Deletes, in one pass, every row whose index entry is the removed marker,
// then compacts the row index.
void DeleteRemovedRows(ActionTarget& target);
// Deletes every row that shows one of the removed records (record numbers of
// target.records) in one pass and, for a grouped list, then removes the
// groups left with one row. A list that shows none of them is left as it is.
void DeleteRecordRows(ActionTarget& target, const std::vector<uint32_t>& removedRecords);
// Deletes every row that is alone in its group (a group of one is no longer a
// set of duplicates), then compacts the row index and renumbers the groups.
void PruneLoneGroups(ActionTarget& target);
// Rewrites the group column so that the runs of equal numbers read 1, 2, 3 ...
// from the top.
void RenumberGroups(ResultList& list);

}  // namespace tolvane
