#include "actions/saving.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "common/error_log.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/path.h"

namespace tolvane {

namespace {

// Buffer sizes the log's cells are read with, so the longest object is 259
// and the longest event 499 characters.
constexpr size_t ObjectBufferSize = platform::PathTextBufferSize;
constexpr size_t EventBufferSize = 500;

// Saved files end their lines with CR LF on every system.
constexpr std::string_view LineEnd = "\r\n";

// Collects lines and writes them in large pieces. After a failed write it
// writes nothing more and keeps the system's error code.
class BufferedWriter {
public:
    explicit BufferedWriter(platform::File& file) : file_(file) {}

    bool Append(std::string_view text)
    {
        if (failed_) return false;
        if (used_ + text.size() > sizeof buffer_ && !Flush()) return false;
        if (text.size() > sizeof buffer_) return Write(text.data(), text.size());
        std::memcpy(buffer_ + used_, text.data(), text.size());
        used_ += text.size();
        return true;
    }

    bool Flush()
    {
        const size_t count = std::exchange(used_, 0);
        return count == 0 || Write(buffer_, count);
    }

    uint32_t ErrorCode() const { return errorCode_; }

private:
    bool Write(const char* data, size_t count)
    {
        if (file_.Write(data, count)) return true;
        errorCode_ = platform::LastError();
        failed_ = true;
        return false;
    }

    platform::File& file_;
    char buffer_[65536];
    size_t used_ = 0;
    bool failed_ = false;
    uint32_t errorCode_ = 0;
};

// Creates the file, writes every row's line (formatLine(row, line) fills
// line), and reports the outcome. A failed write leaves the file as far as it
// was written.
template <typename FormatLine>
SaveResult WriteRows(int rowCount, const std::string& path, Prompter& prompter, const char* successText,
                     FormatLine formatLine)
{
    if (rowCount <= 0) return SaveResult::NothingToSave;
    platform::File file;
    if (!file.CreateForWriting(path)) {
        prompter.ShowSystemError("File creation failed", platform::LastError());
        return SaveResult::CreateFailed;
    }
    BufferedWriter writer(file);
    std::string line;
    bool written = true;
    for (int row = 0; row < rowCount && written; ++row) {
        line.clear();
        formatLine(row, line);
        written = writer.Append(line);
    }
    if (!written || !writer.Flush()) {
        prompter.ShowSystemError("Operation failed", writer.ErrorCode());
        return SaveResult::WriteFailed;
    }
    if (!file.Close()) {
        prompter.ShowSystemError("Operation failed", platform::LastError());
        return SaveResult::WriteFailed;
    }
    prompter.Message(successText + path, "Done", MbOk);
    return SaveResult::Saved;
}

}  // namespace

SaveResult SaveList(const ActionTarget& target, const std::string& path, Prompter& prompter)
{
    if (!target.list || !target.records || !target.rowIndex) return SaveResult::NothingToSave;
    const RowIndex& index = *target.rowIndex;
    const FileRecords& records = *target.records;
    // Only rows that have an index entry can be written.
    const int rowCount = std::min(target.list->RowCount(), static_cast<int>(index.size()));
    return WriteRows(rowCount, path, prompter, "The file list successfully saved to\n",
                     [&](int row, std::string& line) {
                         const uint32_t record = index[static_cast<size_t>(row)];
                         if (record >= records.Count()) return;
                         line.append(records.FolderPath(record));
                         line.append(records.FileName(record));
                         line.append(LineEnd);
                     });
}

SaveResult SaveLog(const ResultList& errorLog, const std::string& path, Prompter& prompter)
{
    return WriteRows(errorLog.RowCount(), path, prompter, "The log successfully saved to\n",
                     [&](int row, std::string& line) {
                         line.append(errorLog.CellText(row, ErrorLogObjectColumn, ObjectBufferSize));
                         line += '\t';
                         line.append(errorLog.CellText(row, ErrorLogEventColumn, EventBufferSize));
                         line.append(LineEnd);
                     });
}

}  // namespace tolvane
