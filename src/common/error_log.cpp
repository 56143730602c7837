#include "common/error_log.h"

#include "common/constants.h"
#include "platform/error.h"

namespace tolvane {

std::string BlankControlBytes(std::string text)
{
    for (char& c : text) {
        if (static_cast<signed char>(c) <= 30 || c == 127) c = ' ';
    }
    return text;
}

bool ErrorLog::Add(const std::string& path, uint32_t errorCode, Prompter& prompter)
{
    const int row = count_.load();
    if (row >= MaxListEntries) {
        prompter.Message("Too many errors!", "Aborted", MbIconHand);
        return false;
    }
    list_.InsertRow(row);
    list_.SetCellText(row, ErrorLogObjectColumn, path);
    list_.SetCellText(row, ErrorLogEventColumn, BlankControlBytes(platform::SystemErrorText(errorCode)));
    count_.store(row + 1);
    return true;
}

void ErrorLog::Clear()
{
    list_.DeleteAllRows();
    count_.store(0);
}

}  // namespace tolvane
