// Fuzzes the list operations built on reading group cells (what a cell reads
// as is the common suite's table). The input is a column of cells separated
// by '\n'.
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/list_operations.h"
#include "common/result_list.h"
#include "fuzz_support.h"
#include "support/command_run.h"

using namespace tolvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> cells = test::Pieces(input, "\n");

    MemoryResultList list;
    for (const std::string_view cell : cells) {
        const int row = list.RowCount();
        list.InsertRow(row);
        list.SetCellText(row, GroupColumn, cell);
        Require(GroupNumber(list, row) == ParseGroupCell(cell));
    }

    // Renumbering keeps every boundary between runs of equal group numbers
    // and writes only numbers that read back as such.
    std::vector<int> before;
    for (int row = 0; row < list.RowCount(); ++row) before.push_back(GroupNumber(list, row));
    RenumberGroups(list);
    for (int row = 0; row < list.RowCount(); ++row) {
        Require(GroupNumber(list, row) >= 0);
        Require(row == 0 || (before[row] == before[row - 1]) == (GroupNumber(list, row) == GroupNumber(list, row - 1)));
    }

    // After renumbering, every row but the first of its run is marked.
    MarkAllButFirst(list);
    for (int row = 0; row < list.RowCount(); ++row)
        Require(list.IsMarked(row) == (row > 0 && GroupNumber(list, row) == GroupNumber(list, row - 1)));
    return 0;
}
