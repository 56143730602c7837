#include "tools/fake_file.h"

#include "platform/error.h"
#include "platform/file_ops.h"

namespace tolvane {

std::optional<uint64_t> FakeFileByteCount(std::string_view sizeText, int unitIndex)
{
    if (sizeText.size() > SizeDigits) return std::nullopt;
    uint64_t number = 0;
    for (char c : sizeText) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (unitIndex >= UnitKilobytes && unitIndex <= UnitGigabytes) number <<= 10 * unitIndex;
    return number == 0 ? 1 : number;
}

bool CreateFakeFile(const std::string& path, std::string_view sizeText, int unitIndex, Prompter& prompter)
{
    if (path.empty()) {
        prompter.Message("Select the desired filepath.", "Create what?", MbOk);
        return false;
    }
    // The size is read before the file is created: a size that cannot be read
    // must not cost the user the file already at that path.
    const std::optional<uint64_t> byteCount = FakeFileByteCount(sizeText, unitIndex);
    if (!byteCount) {
        prompter.Message("The size must be a whole number from 0 to 9999.", "Cannot continue", MbIconInformation);
        return false;
    }
    switch (platform::CreateSizedFile(path, *byteCount)) {
    case platform::SizedFileResult::CreateFailed:
        prompter.ShowSystemError("File creation failed", platform::LastError());
        return false;
    case platform::SizedFileResult::WriteFailed:
        prompter.ShowSystemError("Operation failed", platform::LastError());
        return false;
    case platform::SizedFileResult::Created: break;
    }
    prompter.Message("The file created succesfully", "Done", MbOk);
    return true;
}

}  // namespace tolvane
