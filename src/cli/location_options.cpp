#include "cli/location_options.h"

#include <filesystem>

#include "cli/filter_options.h"
#include "platform/fs.h"

namespace tolvane::cli {
namespace {

// A relative argument is taken from the current folder; the walk and the
// printed paths then hold full paths only.
std::string FullPath(const std::string& location)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(location, error);
    return error ? location : absolute.lexically_normal().string();
}

}  // namespace

LocationList AcceptLocations(const std::vector<std::string>& arguments, const std::optional<std::string>& listFile,
                             bool includeSubfolders, Prompter& prompter)
{
    LocationsEditor editor(LocationList{});
    editor.SetIncludeSubfolders(includeSubfolders);
    for (const std::string& location : arguments) {
        if (!platform::IsExistingFolder(location)) throw BadValue{"'" + location + "' is not an existing folder"};
        editor.Add(FullPath(location));
    }
    if (listFile && editor.Load(*listFile, prompter) != LocationsFileResult::Done)
        throw BadValue{"--locations: cannot read '" + *listFile + "'"};
    LocationList stored;
    editor.Accept(stored, prompter);
    if (!stored.locationsSpecified)
        throw BadValue{"no folder to search: give a LOCATION or a --locations FILE that lists one"};
    return stored;
}

}  // namespace tolvane::cli
