// A result list with its records and row index, as a page hands it to an
// action through ActionTarget.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/action_target.h"

namespace tolvane::test {

struct TargetList {
    FileRecords records;
    MemoryResultList list;
    RowIndex index;
    ActionTarget target;

    // One row per (folder, name) pair, in this order; row r shows record
    // order[r] when an order is given, else record r.
    explicit TargetList(const std::vector<std::pair<std::string, std::string>>& files, std::vector<uint32_t> order = {})
    {
        for (const auto& [folder, name] : files) {
            FindData entry;
            std::strncpy(entry.cFileName, name.c_str(), sizeof entry.cFileName - 1);
            records.Add(folder, entry);
        }
        if (order.empty())
            for (uint32_t r = 0; r < files.size(); ++r) order.push_back(r);
        for (const uint32_t record : order) {
            list.InsertRow(list.RowCount());
            index.push_back(record);
        }
        target.list = &list;
        target.records = &records;
        target.rowIndex = &index;
    }

    std::vector<int> MarkedRows() const
    {
        std::vector<int> rows;
        for (int r = 0; r < list.RowCount(); ++r)
            if (list.IsMarked(r)) rows.push_back(r);
        return rows;
    }
};

}  // namespace tolvane::test
