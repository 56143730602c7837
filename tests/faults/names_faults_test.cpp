// Long and odd names through find, compare, saving and the file actions: each
// file is handled under its own name or reported, never truncated into another path.
#include <algorithm>
#include <set>

#include "common/error_log.h"
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
    std::wstring wide = L"\\\\?\\" + fs::u8path(folder).wstring() + fs::u8path(name).wstring();
    std::replace(wide.begin(), wide.end(), L'/', L'\\');  // no other separator in the extended-length form
    const fs::path path = wide;
    fs::create_directories(path.parent_path());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr)) << name;
    CloseHandle(file);
#else
    // One step at a time, relative to the folder above, past PATH_MAX.
    int parent = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string path = folder + name;
    size_t begin = 1;
    for (size_t end; parent >= 0 && (end = path.find('/', begin)) != std::string::npos; begin = end + 1) {
        const std::string part = path.substr(begin, end - begin);
        mkdirat(parent, part.c_str(), 0755);
        const int child = openat(parent, part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(parent);
        parent = child;
    }
    const int file = openat(parent, path.c_str() + begin, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    EXPECT_EQ(static_cast<ssize_t>(content.size()), write(file, content.data(), content.size())) << path;
    close(file);
    close(parent);
#endif
}

// Folders with a file each, to beyond the length limit; the deepest listable one
// also holds files whose full paths are one short of the limit and reach it.
TEST(NameFaults, PathsAtAndBeyondTheLengthLimitAreHandledWholeOrReported)
{
#ifdef _WIN32
    GTEST_SKIP() << "the limit of 32,767 UTF-16 units lies beyond the paths Wine's host system takes; "
                    "NamesWin32WouldChange covers a path of over 400 characters";
#endif
    TempFolder tree;
    const std::string destination = tree.MakeFolder("to");
    Paths reachable;  // every file but the one beyond the limit, all holding the same bytes
    std::string folder = tree.MakeFolder("from"), deepest;
    for (int level = 0;; ++level) {
        WriteFar(folder, "f" + std::to_string(level), "same");
        if (!platform::FolderListing().Open(folder)) break;
        reachable.push_back(folder + "f" + std::to_string(level));
        deepest = folder;
        folder += std::string(50, static_cast<char>('a' + level % 26)) + platform::PathSeparator;
    }
    const size_t room = platform::MaxPath - deepest.size();
    ASSERT_TRUE(room >= 2 && room <= 255) << deepest.size();
    WriteFar(deepest, std::string(room - 1, 'm'), "same");
    WriteFar(deepest, std::string(room, 'n'), "same");
    reachable.push_back(deepest + std::string(room - 1, 'm'));
    const std::string beyond = deepest + std::string(room, 'n');
    const TreeHashes before = HashTree(tree.Path());

    FindRun find(tree.PathOf("from"));
    Paths listed = reachable;
    listed.push_back(beyond);
    EXPECT_EQ(Sorted(find.Paths(find.files)), Sorted(listed));
    const std::string tooLong = BlankControlBytes(platform::SystemErrorText(platform::ErrorFilenameTooLong));
    EXPECT_EQ(ErrorRows(find.errors), (std::vector<ErrorRow>{{folder, tooLong}}));
    // Each file is read and grouped with the others, or logged: only the one beyond the limit.
    const CompareSession compare(tree.PathOf("from"));
    EXPECT_EQ(compare.Errors(), (std::vector<ErrorRow>{{folder, tooLong}, {beyond, tooLong}}));
    EXPECT_EQ(compare.Groups(CompareTab::Content), std::vector<Paths>{Sorted(reachable)});

    // What could not be read cannot be copied: it fails and asks; every other
    // file is copied whole under its own name.
    Intended copies;
    for (const std::string& path : reachable)
        copies.copied[path.substr(tree.Path().size())] = fs::path("to") / fs::path(path).filename();
    const Messages said = Said(TransferAll(find, destination, ActionModeCopy));
    EXPECT_EQ(said, (Messages{SystemError("Operation failed", platform::ErrorFilenameTooLong), AbortQuestion}));
    EXPECT_EQ(Damage(before, HashTree(tree.Path()), copies), Paths{});
}

// Names beyond ASCII and names Win32 path parsing would change (trailing dot or
// blank, a device name, over 400 characters): each action reaches exactly its files.
TEST(NameFaults, NamesWin32WouldChangeAreReachedExactly)
{
    std::string deep;
    for (int level = 0; level < 8; ++level) deep += std::string(50, static_cast<char>('a' + level)) + "/";
    const struct {
        std::string name;  // UTF-8 (on POSIX, the bytes of the name)
        std::string content;
        bool deleted;
    } named[] = {
        {"a.txt", "same", false},
        {"\xC4\x81.txt", "same", false},                                           // a with macron
        {"\xE5\xA0\xB1\xE5\x91\x8A\xE6\x9B\xB8.txt", "same", true},                // CJK
        {"smile\xF0\x9F\x98\x80.txt", "same", false},                              // emoji
#ifndef _WIN32
        {"caf\xE9.txt", "same", false},  // not UTF-8
#endif
        {"report", "report", false}, {"report.", "report dot", true}, {"solo.", "solo", true},
        {"notes ", "notes", true},   {"aux.c", "aux", true},         {deep + "deep.txt", "same", false},
        {"cafe.txt", "diff!", false},
    };
    TempFolder tree;
    const std::string source = tree.MakeFolder("from"), copies = tree.MakeFolder("copies");
    Paths exact, same;
    std::set<std::string> deleted;
    std::vector<Paths> pairs;  // each file with its copy
    Intended intended, moved;  // by the copy and the deletion, then by the move of what is left
    for (const auto& file : named) {
        WriteFar(source, file.name, file.content);
        const std::string path = tree.PathOf("from/" + file.name);
        exact.push_back(path);
        if (file.content == "same") same.push_back(path);
        const fs::path relative = fs::u8path("from/" + file.name).lexically_normal();
        intended.copied[relative] = fs::path("copies") / relative.filename();
        if (file.deleted) {
            deleted.insert(path);
            intended.deleted.insert(relative);
        } else {
            moved.moved[relative] = fs::path("moved") / relative.filename();
        }
        pairs.push_back(Sorted({copies + file.name.substr(file.name.rfind('/') + 1), path}));
    }
    const TreeHashes before = HashTree(tree.Path());

    FindRun find(source);
    EXPECT_EQ(Sorted(find.Paths(find.files)), Sorted(exact));

    const CompareSession compare(source);
    EXPECT_EQ(compare.Errors(), std::vector<ErrorRow>{});
    EXPECT_EQ(compare.Groups(CompareTab::Content), std::vector<Paths>{Sorted(same)});

    // Copy everything: by name, each file pairs with its own copy only ("report"
    // never with "report."). Then delete the marked ones: "report" stays beside
    // the deleted "report.".
    EXPECT_EQ(TransferAll(find, copies, ActionModeCopy).shown.size(), 0u);
    EXPECT_EQ(Sorted(CompareSession(tree.Path()).Groups(CompareTab::Name)), Sorted(pairs));
    const Paths rows = find.Paths(find.files);
    for (int row = 0; row < find.files.RowCount(); ++row)
        find.files.SetStateImage(row, deleted.count(rows[size_t(row)]) ? StateImageMarked : StateImageUnmarked);
    ActionTarget target;
    find.AimAtFiles(target);  // a deletion has the mode of a move
    EXPECT_EQ(DeleteMarked(target).shown.size(), 1u);  // the question only
    const TreeHashes afterDelete = HashTree(tree.Path());
    EXPECT_EQ(Damage(before, afterDelete, intended), Paths{});

    // Move what is left: each file arrives under its own name, whole, none stays behind and no row is left.
    EXPECT_EQ(TransferAll(find, tree.MakeFolder("moved"), ActionModeMove).shown.size(), 0u);
    EXPECT_EQ(find.files.RowCount(), 0);
    EXPECT_EQ(Damage(afterDelete, HashTree(tree.Path()), moved), Paths{});
}

}  // namespace
}  // namespace tolvane::test
