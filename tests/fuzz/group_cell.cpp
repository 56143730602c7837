// Fuzzes reading group cells through a list, then renumbers and marks the
// column under the sanitizers (what a cell reads as, and what renumbering and
// marking make of a column, is the common suite's Groups table). The input is
// a column of cells separated by '\n'.
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

    RenumberGroups(list);
    MarkAllButFirst(list);
    return 0;
}
