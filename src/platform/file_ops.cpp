#include "platform/file_ops.h"

#include "platform/error.h"
#include "platform/fs.h"

namespace tolvane::platform {

SizedFileResult CreateSizedFile(const std::string& path, uint64_t byteCount)
{
    File file;
    if (!file.CreateForWriting(path)) return SizedFileResult::CreateFailed;
    if (byteCount == 0) return SizedFileResult::Created;
    const char zero = 0;
    if (file.Seek(byteCount - 1) && file.Write(&zero, 1)) return SizedFileResult::Created;
    // Closing the file must not change the error the caller reports.
    const uint32_t error = LastError();
    file.Close();
    SetLastError(error);
    return SizedFileResult::WriteFailed;
}

}  // namespace tolvane::platform
