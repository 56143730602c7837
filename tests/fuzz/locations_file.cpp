// Fuzzes the reading of a locations list file. The first byte holds the
// subfolders flag; in the rest each byte from 0xF8 up stands for one of eight
// real folders, next to, inside or around each other.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "find/locations.h"
#include "fuzz_support.h"
#include "platform/fs.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

using namespace tolvane;
using fuzz::Require;

namespace {

constexpr unsigned char FirstFolderByte = 0xF8;

// The folders the input can name and the file it is written to.
struct Playground {
    Playground()
    {
        const std::string base = scratch.Path().substr(0, scratch.Path().size() - 1);  // without the separator
        for (const char* relative : {"", "/a", "/a/b", "/a/b/c", "/A", "/ab", "/a b", "/b"})
            std::filesystem::create_directories(folders.emplace_back(base + relative));
    }

    test::TempFolder scratch;
    std::vector<std::string> folders;
    std::string listFile = scratch.PathOf("list.txt");
};

bool Inside(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Playground playground;
    if (size == 0) return 0;
    const bool includeSubfolders = (data[0] & 1) != 0;

    std::string text;
    for (size_t i = 1; i < size; ++i) {
        if (data[i] >= FirstFolderByte)
            text += playground.folders[data[i] - FirstFolderByte];
        else
            text += static_cast<char>(data[i]);
    }
    Require(static_cast<bool>(std::ofstream(playground.listFile, std::ios::binary | std::ios::trunc) << text));

    LocationsEditor editor(LocationList{{}, false, 0, includeSubfolders});
    test::ScriptedPrompter prompter;
    Require(editor.Load(playground.listFile, prompter) == LocationsFileResult::Done && prompter.shown.empty());

    // Sorted, existing, and free of what the clean-up removes between neighbours.
    const std::vector<std::string>& items = editor.Box().Items();
    for (size_t i = 0; i < items.size(); ++i) {
        Require(!items[i].empty() && items[i].find('\0') == std::string::npos && platform::IsExistingFolder(items[i]));
        Require(i == 0 || (!LocationOrderLess(items[i], items[i - 1]) && items[i] != items[i - 1] &&
                           (!includeSubfolders || !Inside(items[i], items[i - 1]))));
    }

    // Every whole line naming a folder is listed, or with subfolders a folder holding it.
    const std::string lines = "\n" + text;
    for (const std::string& folder : playground.folders) {
        const bool named = lines.find("\n" + folder + "\n") != std::string::npos ||
                           lines.find("\n" + folder + "\r\n") != std::string::npos;
        Require(!named || std::ranges::any_of(items, [&](const std::string& item) {
            return item == folder || (includeSubfolders && Inside(folder, item));
        }));
    }
    return 0;
}
