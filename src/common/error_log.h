// An error log: a result list whose rows are a path ("Object", column 1) and
// the system's text for what went wrong ("Event", column 2); column 0 is
// hidden and stays empty.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "common/prompter.h"
#include "common/result_list.h"

namespace tolvane {

inline constexpr int ErrorLogObjectColumn = 1;
inline constexpr int ErrorLogEventColumn = 2;

// Every byte that reads as a signed 8-bit number of at most 30, and 127,
// becomes a blank: 0x00-0x1E, 0x7F and 0x80-0xFF; 0x1F and 0x20-0x7E stay.
std::string BlankControlBytes(std::string text);

class ErrorLog {
public:
    explicit ErrorLog(ResultList& list) : list_(list) {}

    // Adds a row for path with the blanked system text of errorCode. When the
    // log already holds MaxListEntries rows it shows "Too many errors!" instead,
    // adds nothing and returns false: the caller then requests a stop.
    bool Add(const std::string& path, uint32_t errorCode, Prompter& prompter);

    // Rows added; read by the user-interface thread while a worker adds.
    int Count() const { return count_.load(); }
    void Clear();

private:
    ResultList& list_;
    std::atomic<int> count_{0};
};

}  // namespace tolvane
