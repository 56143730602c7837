// Paths at and beyond the longest path the system takes, and names that are
// not plain ASCII, through find, compare and copy: each file is handled under
// its own name or reported, never truncated into another path.
#include <algorithm>
#include <fstream>

#include "faults/fault_tree.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tolvane::test {
namespace {

using Paths = std::vector<std::string>;

Paths Sorted(Paths paths)
{
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Writes a file that the system's calls may not reach by its path (too long,
// or named outside the code page); the name is given in UTF-8.
void WriteFar(const std::string& folder, const std::string& name, const std::string& content)
{
#ifdef _WIN32
    // The extended-length form lifts the length limit of the wide calls.
    const fs::path path = L"\\\\?\\" + fs::u8path(folder).wstring() + fs::u8path(name).wstring();
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
#else
    // One step at a time, relative to the folder above, past PATH_MAX.
    int parent = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string path = folder + name;
    for (size_t begin = 1; parent >= 0;) {
        const size_t end = path.find('/', begin);
        const std::string part = path.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        if (end == std::string::npos) {
            const int file = openat(parent, part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            EXPECT_EQ(static_cast<ssize_t>(content.size()), write(file, content.data(), content.size())) << path;
            close(file);
            break;
        }
        mkdirat(parent, part.c_str(), 0755);
        const int child = openat(parent, part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(parent);
        parent = child;
        begin = end + 1;
    }
    close(parent);
#endif
}

TreeHashes HashWholeTree(const std::string& root)
{
#ifdef _WIN32
    return HashTree(L"\\\\?\\" + fs::u8path(root).wstring());
#else
    return HashTree(root);
#endif
}

// A chain of folders with one file each, from well inside the length limit to
// beyond it; the deepest folder that can be listed also holds a file whose
// full path is exactly one character short of the limit and one that reaches it.
TEST(NameFaults, PathsAtAndBeyondTheLengthLimitAreHandledWholeOrReported)
{
    TempFolder tree;
    const std::string destination = tree.MakeFolder("to");
    Paths files;  // every file, all holding the same bytes
    std::string folder = tree.MakeFolder("from");
    std::string deepestListable;
    std::string firstUnlistable;
    for (int level = 0; firstUnlistable.empty(); ++level) {
        const std::string name = "f" + std::to_string(level);
        WriteFar(folder, name, "same");
        if (!platform::FolderListing().Open(folder)) {
            firstUnlistable = folder;
            break;
        }
        files.push_back(folder + name);
        deepestListable = folder;
        folder += std::string(50, static_cast<char>('a' + level % 26)) + platform::PathSeparator;
    }
    const size_t room = platform::MaxPath - deepestListable.size();
    ASSERT_TRUE(room >= 2 && room <= 255) << deepestListable.size();
    const std::string atLimit = deepestListable + std::string(room - 1, 'm');
    const std::string beyond = deepestListable + std::string(room, 'n');
    WriteFar(deepestListable, std::string(room - 1, 'm'), "same");
    WriteFar(deepestListable, std::string(room, 'n'), "same");
    files.push_back(atLimit);
    const TreeHashes before = HashWholeTree(tree.Path());

    FindRun find(tree.PathOf("from"));
    Paths listed = files;
    listed.push_back(beyond);
    EXPECT_EQ(Sorted(find.Paths(find.files)), Sorted(listed));
    EXPECT_EQ(ErrorRows(find.errors).size(), 1u);
    EXPECT_EQ(find.errors.Cell(0, ErrorLogObjectColumn), firstUnlistable);

    const CompareRunResult compare = RunContentCompare(tree.PathOf("from"));
    EXPECT_EQ(compare.contentGroups, std::vector<Paths>{Sorted(files)});
    ASSERT_EQ(compare.errors.size(), 2u);
    EXPECT_EQ(compare.errors[0].first, firstUnlistable);
    EXPECT_EQ(compare.errors[1].first, beyond);

    // The file out of reach fails and asks; every other one is copied whole.
    const std::vector<ShownMessage> shown = TransferAll(find, destination, ActionModeCopy);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Operation failed");
    EXPECT_EQ(shown[1].text, "Do you want to abort?");
    const TreeHashes after = HashWholeTree(tree.Path());
    EXPECT_EQ(Damage(before, after), Paths{});
    Paths copied, expected;
    for (const auto& [path, hash] : after) {
        if (path.begin()->string() == "to") copied.push_back(path.filename().string());
    }
    for (const std::string& path : files) expected.push_back(path.substr(path.find_last_of(platform::PathSeparator) + 1));
    EXPECT_EQ(copied, Sorted(expected));
#ifdef _WIN32
    fs::remove_all(L"\\\\?\\" + fs::u8path(tree.Path()).wstring());
#endif
}

}  // namespace
}  // namespace tolvane::test
