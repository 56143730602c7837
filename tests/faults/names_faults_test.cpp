// Paths at and beyond the longest path the system takes, and names that are
// not plain ASCII, through find, compare and copy: each file is handled under
// its own name or reported, never truncated into another path.
#include <algorithm>
#include <set>

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

// Writes a file that the system's calls may not reach by its path (too long,
// or named outside the code page); the name is given in UTF-8.
void WriteFar(const std::string& folder, const std::string& name, const std::string& content)
{
#ifdef _WIN32
    // The extended-length form lifts the length limit of the wide calls.
    const fs::path path = L"\\\\?\\" + fs::u8path(folder).wstring() + fs::u8path(name).wstring();
    fs::create_directories(path.parent_path());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr)) << name;
    CloseHandle(file);
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

// A chain of folders with one file each, from well inside the length limit to
// beyond it; the deepest folder that can be listed also holds a file whose
// full path is exactly one character short of the limit and one that reaches it.
TEST(NameFaults, PathsAtAndBeyondTheLengthLimitAreHandledWholeOrReported)
{
    TempFolder tree;
#ifdef _WIN32
    // The usual clean-up cannot reach past the length limit.
    struct RemoveDeep {
        fs::path root;
        ~RemoveDeep()
        {
            std::error_code error;
            fs::remove_all(root, error);
        }
    } removeDeep{L"\\\\?\\" + fs::u8path(tree.Path()).wstring()};
#endif
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
    const TreeHashes before = HashTree(tree.Path());

    FindRun find(tree.PathOf("from"));
    Paths listed = files;
    listed.push_back(beyond);
    EXPECT_EQ(Sorted(find.Paths(find.files)), Sorted(listed));
    EXPECT_EQ(ErrorRows(find.errors).size(), 1u);
    EXPECT_EQ(find.errors.Cell(0, ErrorLogObjectColumn), firstUnlistable);

    // Each file is read and grouped with the others of its bytes, or logged;
    // only the one beyond the limit may be out of reach (POSIX holds to it,
    // Wine's ANSI calls take one character more).
    const CompareRunResult compare = RunContentCompare(tree.PathOf("from"));
    ASSERT_FALSE(compare.errors.empty());
    EXPECT_EQ(compare.errors[0].first, firstUnlistable);
    Paths unread;
    for (size_t e = 1; e < compare.errors.size(); ++e) unread.push_back(compare.errors[e].first);
#ifndef _WIN32
    EXPECT_EQ(unread, Paths{beyond});
#endif
    EXPECT_TRUE(unread.empty() || unread == Paths{beyond});
    ASSERT_EQ(compare.contentGroups.size(), 1u);
    Paths handled = compare.contentGroups[0];
    handled.insert(handled.end(), unread.begin(), unread.end());
    EXPECT_EQ(Sorted(handled), Sorted(listed));

    // What could not be read cannot be copied: it fails and asks; every
    // other file is copied whole under its own name.
    const std::vector<ShownMessage> shown = TransferAll(find, destination, ActionModeCopy);
    ASSERT_EQ(shown.size(), 2 * unread.size());
    if (!unread.empty()) {
        EXPECT_EQ(shown[0].caption, "Operation failed");
        EXPECT_EQ(shown[1].text, "Do you want to abort?");
    }
    const TreeHashes after = HashTree(tree.Path());
    EXPECT_EQ(Damage(before, after), Paths{});
    Paths copied, expected;
    for (const auto& [path, hash] : after)
        if (path.begin()->string() == "to") copied.push_back(path.filename().string());
    for (const std::string& path : listed)
        if (std::find(unread.begin(), unread.end(), path) == unread.end())
            expected.push_back(path.substr(path.find_last_of(platform::PathSeparator) + 1));
    EXPECT_EQ(copied, Sorted(expected));
}

// Names beyond ASCII: on POSIX raw bytes (UTF-8 and a lone Latin-1 byte); on
// Windows characters inside the ANSI code page, one the code page would
// "best fit" to a.txt, and two it cannot hold at all. Every row must reach
// its own file or none: two rows that reach one file would let an action
// believe it handled the other.
TEST(NameFaults, NamesBeyondAsciiAreHandledUnderTheirOwnNameOrReported)
{
    struct Named {
        const char* name;  // UTF-8 (on POSIX, the bytes of the name)
        const char* content;
    };
    const Named named[] = {
        {"a.txt", "same"},
        {"\xC4\x81.txt", "same"},  // a with macron
#ifdef _WIN32
        {"caf\xC3\xA9.txt", "same"},  // e acute, in the code page
#else
        {"caf\xE9.txt", "same"},  // not UTF-8
#endif
        {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "same"},
        {"cafe.txt", "diff!"},
    };
    TempFolder tree;
    const std::string destination = tree.MakeFolder("to");
    const std::string source = tree.MakeFolder("from");
    for (const Named& file : named) WriteFar(source, file.name, file.content);
    const TreeHashes before = HashTree(tree.Path());

    FindRun find(source);
    const Paths rows = find.Paths(find.files);
    ASSERT_EQ(rows.size(), std::size(named));
    Paths reachable;
    for (const std::string& path : rows) {
        platform::File file;
        if (file.OpenForReading(path)) reachable.push_back(path);
    }
    EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()).size(), rows.size()) << "a path listed twice";
#ifndef _WIN32
    Paths exact;
    for (const Named& file : named) exact.push_back(source + file.name);
    EXPECT_EQ(Sorted(rows), Sorted(exact));
#endif

    // The four files of equal size and bytes: those reachable form one group,
    // the others are in the error log.
    const CompareRunResult compare = RunContentCompare(source);
    Paths grouped = compare.contentGroups.empty() ? Paths{} : compare.contentGroups[0];
    Paths unreachable;
    for (const ErrorRow& row : compare.errors) unreachable.push_back(row.first);
    EXPECT_EQ(compare.contentGroups.size(), 1u);
    EXPECT_EQ(grouped.size() + unreachable.size(), 4u);
    for (const std::string& path : grouped) EXPECT_TRUE(std::count(reachable.begin(), reachable.end(), path) == 1) << path;
    EXPECT_EQ(std::set<std::string>(grouped.begin(), grouped.end()).size(), grouped.size()) << "a file grouped with itself";

    // Each reachable file is copied under its own name; the others fail.
    const std::vector<ShownMessage> shown = TransferAll(find, destination, ActionModeCopy);
    const TreeHashes after = HashTree(tree.Path());
    EXPECT_EQ(Damage(before, after), Paths{});
    EXPECT_EQ(after.size(), before.size() + reachable.size());
    EXPECT_EQ(shown.size(), 2 * (rows.size() - reachable.size()));
#ifndef _WIN32
    for (const Named& file : named) EXPECT_EQ(ReadWholeFile(destination + file.name), file.content) << file.name;
#endif
}

}  // namespace
}  // namespace tolvane::test
