#include "faults/fault_tree.h"

#include "actions/delete.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tolvane::test {
namespace {

// FNV-1a 64 of what read(buffer, size) delivers until it gives nothing.
template <typename Read>
uint64_t HashOf(Read read)
{
    uint64_t hash = 1469598103934665603ull;
    char buffer[65536];
    for (int64_t got; (got = read(buffer, sizeof buffer)) > 0;)
        for (int64_t i = 0; i < got; ++i) hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    return hash;
}

#ifdef _WIN32
// By the wide listing calls: the library's directory iterator does not enter
// folders past the old length limit.
void HashFolder(const std::wstring& folder, const fs::path& relative, TreeHashes& hashes)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName, path = folder + L"\\" + name;
        if (name == L"." || name == L".." || (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            HashFolder(path, relative / name, hashes);
            continue;
        }
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        hashes[relative / name] = HashOf([&](char* buffer, DWORD size) {
            DWORD got = 0;
            return file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, size, &got, nullptr) ? int64_t{got} : 0;
        });
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
#else
// Through descriptors relative to their folder, so that trees deeper than the
// longest path the system takes are hashed whole.
void HashFolder(int folder, const fs::path& relative, TreeHashes& hashes)
{
    DIR* listing = fdopendir(folder);
    if (!listing) {
        close(folder);
        return;
    }
    while (const dirent* item = readdir(listing)) {
        const std::string name = item->d_name;
        struct stat status{};
        if (name == "." || name == ".." || fstatat(dirfd(listing), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const int child = openat(dirfd(listing), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0 && S_ISDIR(status.st_mode)) {
            HashFolder(child, relative / name, hashes);
        } else if (child >= 0) {
            const uint64_t hash = HashOf([&](char* buffer, size_t size) { return int64_t{read(child, buffer, size)}; });
            close(child);
            if (S_ISREG(status.st_mode)) hashes[relative / name] = hash;
        }
    }
    closedir(listing);
}
#endif

std::string Text(const fs::path& path)  // UTF-8, which every name converts to
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

TreeHashes HashTree(const fs::path& root)
{
    TreeHashes hashes;
#ifdef _WIN32
    std::wstring folder = L"\\\\?\\" + root.wstring();  // the extended-length form reaches past the length limit
    while (folder.back() == L'\\' || folder.back() == L'/') folder.pop_back();
    HashFolder(folder, fs::path(), hashes);
#else
    HashFolder(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), fs::path(), hashes);
#endif
    return hashes;
}

std::vector<std::string> Damage(const TreeHashes& before, const TreeHashes& after, const Intended& intended)
{
    TreeHashes expected = before;
    for (const auto& [from, to] : intended.copied) expected[to] = before.at(from);
    for (const auto& [from, to] : intended.moved) expected[to] = before.at(from);
    for (const auto& [from, to] : intended.moved) expected.erase(from);
    for (const fs::path& path : intended.deleted) expected.erase(path);
    std::vector<std::string> damage;
    for (const auto& [path, hash] : expected) {
        const auto found = after.find(path);
        if (found == after.end())
            damage.push_back("lost: " + Text(path));
        else if (found->second != hash)
            damage.push_back("changed: " + Text(path));
    }
    for (const auto& [path, hash] : after) {
        if (!expected.count(path)) damage.push_back((before.count(path) ? "left: " : "new: ") + Text(path));
    }
    return damage;
}

std::vector<ErrorRow> ErrorRows(const MemoryResultList& log)
{
    std::vector<ErrorRow> rows;
    for (int row = 0; row < log.RowCount(); ++row)
        rows.emplace_back(log.Cell(row, ErrorLogObjectColumn), log.Cell(row, ErrorLogEventColumn));
    return rows;
}

#ifdef _WIN32
TestMount::TestMount(const std::string&, bool, const std::string&) {}
TestMount::~TestMount() {}
#else
TestMount::TestMount(const std::string& target, bool readOnly, const std::string& bindSource) : target_(target)
{
    mounted_ = bindSource.empty() ? mount("tmpfs", target.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=1m") == 0
                                  : mount(bindSource.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
}
TestMount::~TestMount()
{
    if (mounted_) umount2(target_.c_str(), MNT_DETACH);
}
#endif

void FindRun::AimAtFiles(ActionTarget& target, int32_t mode)
{
    target.list = &files;
    target.records = &state.foundFiles;
    target.rowIndex = &state.fileRows;
    target.ActionMode = mode;
    target.RemovesRows = mode != ActionModeCopy;
}

CompareSession::CompareSession(const std::string& root, const CompareOptions& boxes)
{
    run.Run({.locationsSpecified = true, .locationPaths = {root}, .criteria = {}, .boxes = boxes, .walkLimits = {}});
}

std::vector<Paths> CompareSession::Groups(CompareTab tab) const
{
    const CompareLists& lists = run.Lists();
    const GroupList& list =
        tab == CompareTab::Combined ? lists.combined : tab == CompareTab::Name ? lists.name : lists.content;
    std::vector<Paths> groups;
    for (size_t r = 0; r < list.rows.size(); ++r) {
        if (r == 0 || list.groups[r] != list.groups[r - 1]) groups.emplace_back();
        groups.back().push_back(run.Records().FullPath(list.rows[r]));
    }
    for (Paths& group : groups) std::sort(group.begin(), group.end());
    return groups;
}

ScriptedPrompter CompareSession::DeleteMarked(CompareTab tab)
{
    ActionTarget target;
    target.list = &lists[static_cast<int>(tab)];
    target.records = &run.Records();
    target.rowIndex = tab == CompareTab::Combined ? &run.Lists().combined.rows : &run.Lists().content.rows;
    target.ActionMode = ActionModeMove;
    target.RemovesRows = target.groupedList = true;
    target.equalContentGroups = GroupsOfEqualContent(run, tab);
    return test::DeleteMarked(target);
}

ScriptedPrompter DeleteMarked(ActionTarget& target)
{
    RecordingProgress progress;
    ScriptedPrompter answers;
    answers.Answer(IdYes);
    DeleteWorker(target, progress, answers);
    EXPECT_EQ(1, progress.finished);
    return answers;
}

ScriptedPrompter TransferAll(FindRun& found, const std::string& destination, int32_t mode,
                             const std::function<void()>& onFile)
{
    MarkAll(found.files);
    ActionTarget target;
    found.AimAtFiles(target, mode);
    RecordingProgress progress;
    progress.onFile = onFile;
    ScriptedChoices choices(destination);
    choices.Answer(ClashAnswer::Skip, true);
    ScriptedPrompter prompter;
    CopyMoveWorker(target, progress, choices, prompter);
    EXPECT_EQ(1, progress.finished);
    return prompter;
}

}  // namespace tolvane::test
