#include "tools/new_folders.h"

#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace tolvane {
namespace {

constexpr int LetterCount = 26;
// The widest item of any series: "100" or "001".
constexpr size_t WidestItem = 3;

std::string NumberItem(int number, int count, bool leadingZeros)
{
    std::string digits = std::to_string(number);
    if (!leadingZeros) return digits;
    const size_t width = count >= 100 ? 3 : 2;
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace

int FolderCount(const NewFoldersSettings& settings)
{
    if (settings.sequenceType != SequenceNumbers) return LetterCount;
    if (settings.countIndex < 0 || settings.countIndex >= CountItems) return 1;
    return 10 * (settings.countIndex + 1);
}

std::vector<std::string> FolderNames(const NewFoldersSettings& settings)
{
    const int count = FolderCount(settings);
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string item;
        if (settings.sequenceType == SequenceNumbers)
            item = NumberItem(i + 1, count, settings.leadingZeros);
        else
            item = static_cast<char>((settings.sequenceType == SequenceLowerCase ? 'a' : 'A') + i);
        names.push_back(settings.prefix + item + settings.suffix);
    }
    return names;
}

std::vector<std::string> FolderPaths(const NewFoldersSettings& settings)
{
    // A drive root already ends with its separator; a second one is not added.
    const std::string parent = platform::WithTrailingSeparator(settings.parentFolder);
    std::vector<std::string> paths = FolderNames(settings);
    for (std::string& path : paths) path.insert(0, parent);
    return paths;
}

std::string PreviewName(const NewFoldersSettings& settings) { return FolderNames(settings).front(); }

bool HasForbiddenCharacter(const std::string& text)
{
    return text.find_first_of(ForbiddenNameCharacters) != std::string::npos;
}

std::string CheckNameText(const std::string& text, const std::string& acceptedText, size_t parentLength,
                          size_t otherTextLength, Prompter& prompter)
{
    std::string checked = text;
    const size_t forbidden = checked.find_first_of(ForbiddenNameCharacters);
    if (forbidden != std::string::npos) {
        checked.erase(forbidden, 1);
        prompter.Message(ForbiddenCharactersMessage, "Info", MbIconInformation);
    }

    const size_t total = parentLength + checked.size() + otherTextLength;
    if (total == NameTextLengthLimit && !checked.empty()) {
        checked.pop_back();
    } else if (total > NameTextLengthLimit) {
        // Only a paste jumps past the limit; typing stops one short of it.
        const size_t longestPath = parentLength + 1 + checked.size() + WidestItem + otherTextLength;
        if (longestPath >= static_cast<size_t>(platform::MaxPath)) {
            prompter.Message("The text is too long: the folder paths would exceed the system's limit of " +
                                 std::to_string(platform::MaxPath - 1) + " characters.",
                             "Info", MbIconInformation);
            return acceptedText;
        }
    }
    return checked;
}

bool CreateFolders(const NewFoldersSettings& settings, Prompter& prompter)
{
    // The last folder of a series has the longest path; when it cannot be made
    // nothing is made, rather than a series cut short.
    const std::vector<std::string> paths = FolderPaths(settings);
    if (!platform::FitsPathLimit(paths.back())) {
        prompter.ShowSystemError("Cannot create directory", platform::ErrorFilenameTooLong);
        return false;
    }
    for (const std::string& path : paths) {
        if (!platform::CreateFolder(path)) {
            prompter.ShowSystemError("Cannot create directory", platform::LastError());
            return false;
        }
    }
    prompter.Message("Folders created!", "Done", MbOk);
    return true;
}

}  // namespace tolvane
