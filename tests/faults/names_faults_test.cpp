// Paths at and beyond the longest path the system takes, names beyond ASCII
// and names that Win32 path parsing would change, through find, compare,
// saving and the file actions: each file is handled under its own name or
// reported, never truncated into another path.
#include <algorithm>
#include <set>
#include <sstream>

#include "actions/saving.h"
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
#ifdef _WIN32
    GTEST_SKIP() << "the limit of 32,767 UTF-16 units lies beyond the paths Wine's host system takes; "
                    "NamesWin32WouldChange covers a path of over 400 characters";
#endif
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
    const CompareSession compare(tree.PathOf("from"));
    const std::vector<ErrorRow> errors = compare.Errors();
    const std::vector<Paths> groups = compare.Groups(CompareTab::Content);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].first, firstUnlistable);
    Paths unread;
    for (size_t e = 1; e < errors.size(); ++e) unread.push_back(errors[e].first);
#ifndef _WIN32
    EXPECT_EQ(unread, Paths{beyond});
#endif
    EXPECT_TRUE(unread.empty() || unread == Paths{beyond});
    ASSERT_EQ(groups.size(), 1u);
    Paths handled = groups[0];
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

// Names beyond ASCII and names that Win32 path parsing would change (trailing
// dot or blank, a device name, a path of over 400 characters): every row names
// its own file exactly, and each action reaches exactly the marked files.
TEST(NameFaults, NamesWin32WouldChangeAreReachedExactly)
{
    const std::string deep = [] {
        std::string path;
        for (int level = 0; level < 8; ++level) path += std::string(50, static_cast<char>('a' + level)) + "/";
        return path;
    }();
    struct Named {
        std::string name;  // UTF-8 (on POSIX, the bytes of the name)
        const char* content;
        bool deleted;
    };
    const Named named[] = {
        {"a.txt", "same", false},
        {"\xC4\x81.txt", "same", false},                                  // a with macron
        {"\xE5\xA0\xB1\xE5\x91\x8A\xE6\x9B\xB8.txt", "same", true},   // CJK
        {"smile\xF0\x9F\x98\x80.txt", "same", false},                    // emoji
        {"\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.txt", "same", false},  // Greek
#ifndef _WIN32
        {"caf\xE9.txt", "same", false},  // not UTF-8
#endif
        {"report", "report", false},
        {"report.", "report dot", true},
        {"solo.", "solo", true},
        {"notes ", "notes", true},
        {"aux.c", "aux", true},
        {deep + "deep.txt", "same", false},
        {"cafe.txt", "diff!", false},
    };
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
    const std::string source = tree.MakeFolder("from");
    for (const Named& file : named) WriteFar(source, file.name, file.content);
    const auto fullPath = [&](const std::string& name) {
        std::string path = source + name;
        std::replace(path.begin(), path.end(), '/', platform::PathSeparator);
        return path;
    };
    Paths exact, same, deleted;
    for (const Named& file : named) {
        exact.push_back(fullPath(file.name));
        if (std::string(file.content) == "same") same.push_back(fullPath(file.name));
        if (file.deleted) deleted.push_back(fullPath(file.name));
    }
    ASSERT_GT(exact[exact.size() - 2].size(), 400u);
    const TreeHashes before = HashTree(tree.Path());

    FindRun find(source);
    EXPECT_EQ(Sorted(find.Paths(find.files)), Sorted(exact));
    EXPECT_EQ(ErrorRows(find.errors), std::vector<ErrorRow>{});

    // The name, extension and content rules pick by the exact names.
    const auto found = [&](const std::function<void(SearchCriteria&)>& rules) {
        FindRun run(source, SearchTarget::Files, rules);
        return Sorted(run.Paths(run.files));
    };
    EXPECT_EQ(found([](SearchCriteria& c) { c.nameRuleOn = true; c.nameText = "REPORT."; c.nameMode = NameRuleMode::Matches; }),
              Paths{fullPath("report.")});
    EXPECT_EQ(found([](SearchCriteria& c) { c.nameRuleOn = true; c.nameText = "\xCE\xB5\xCE\xBB\xCE\xBB"; }),
              Paths{fullPath(named[4].name)});  // Greek, folded
    EXPECT_EQ(found([](SearchCriteria& c) { c.extensionRuleOn = true; c.extensionList = "c"; }), Paths{fullPath("aux.c")});
    EXPECT_EQ(found([](SearchCriteria& c) { c.contentRuleOn = true; c.contentText = "notes"; }), Paths{fullPath("notes ")});

    // The saved list holds every path byte for byte.
    TempFolder saved;
    ActionTarget listed;
    find.AimAtFiles(listed);
    ScriptedPrompter savePrompter;
    ASSERT_EQ(SaveList(listed, saved.PathOf("list.txt"), savePrompter), SaveResult::Saved);
    Paths lines;
    std::istringstream text(ReadWholeFile(saved.PathOf("list.txt")));
    for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.find_last_not_of('\r') + 1));
    EXPECT_EQ(Sorted(lines), Sorted(exact));

    const CompareSession compare(source);
    EXPECT_EQ(compare.Errors(), std::vector<ErrorRow>{});
    EXPECT_EQ(compare.Groups(CompareTab::Content), std::vector<Paths>{Sorted(same)});

    // Copy everything, then delete the marked ones: "report" stays beside the
    // deleted "report.", and no row goes while its file stays.
    const std::string copies = tree.MakeFolder("copies");
    EXPECT_EQ(TransferAll(find, copies, ActionModeCopy).size(), 0u);
    // By name, each file pairs with its own copy only ("report" never with "report.").
    std::vector<Paths> pairs;
    for (const Named& file : named)
        pairs.push_back(Sorted({copies + file.name.substr(file.name.rfind('/') + 1), fullPath(file.name)}));
    std::sort(pairs.begin(), pairs.end());
    std::vector<Paths> byName = CompareSession(tree.Path()).Groups(CompareTab::Name);
    std::sort(byName.begin(), byName.end());
    EXPECT_EQ(byName, pairs);
    EXPECT_EQ(DeleteMarked(find, [&](const std::string& path) {
                  return std::find(deleted.begin(), deleted.end(), path) != deleted.end();
              }).size(), 1u);  // the question only
    Intended intended;
    for (const Named& file : named) {
        const fs::path relative = fs::u8path("from/" + file.name);
        if (file.deleted) intended.deleted.insert(relative.lexically_normal());
    }
    const TreeHashes afterDelete = HashTree(tree.Path());
    EXPECT_EQ(Damage(before, afterDelete, intended), Paths{});
    EXPECT_EQ(find.files.RowCount(), static_cast<int>(exact.size() - deleted.size()));
    for (const Named& file : named) {
        const fs::path name = fs::u8path(file.name).filename();
        EXPECT_EQ(afterDelete.count(fs::path("copies") / name), 1u) << file.name;
        const auto kept = std::count_if(afterDelete.begin(), afterDelete.end(), [&](const auto& entry) {
            return *entry.first.begin() == "from" && entry.first.filename() == name;
        });
        EXPECT_EQ(kept, file.deleted ? 0 : 1) << file.name;
    }

    // Move what is left: each file arrives under its own name, whole.
    const std::string moved = tree.MakeFolder("moved");
    EXPECT_EQ(TransferAll(find, moved, ActionModeMove).size(), 0u);
    EXPECT_EQ(find.files.RowCount(), 0);
    const TreeHashes afterMove = HashTree(tree.Path());
    for (const Named& file : named) {
        if (file.deleted) continue;
        const fs::path from = fs::u8path("from/" + file.name).lexically_normal();
        intended.moved[from] = fs::path("moved") / from.filename();  // Damage finds it there, whole
    }
    EXPECT_EQ(std::count_if(afterMove.begin(), afterMove.end(), [](const auto& entry) { return *entry.first.begin() == "from"; }), 0);
    EXPECT_EQ(Damage(afterDelete, afterMove, Intended{intended.moved, {}}), Paths{});
}

}  // namespace
}  // namespace tolvane::test
