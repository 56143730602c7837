#include "support/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "platform/path.h"
#include "platform/time.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace tolvane::test {
namespace fs = std::filesystem;

TempFolder::TempFolder() : TempFolder(fs::temp_directory_path().string()) {}

TempFolder::TempFolder(const std::string& base)
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (std::error_code error; path_.empty();) {
        const fs::path candidate = fs::path(base) / ("tolvane-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        if (fs::create_directory(candidate, error)) path_ = platform::WithTrailingSeparator(candidate.string());
    }
}

// Never throws: a tree the iterator cannot walk (paths past the length limit on POSIX) is removed as far as it can be.
TempFolder::~TempFolder()
{
    std::error_code error;
    fs::recursive_directory_iterator item(path_, fs::directory_options::skip_permission_denied, error);
    for (const fs::recursive_directory_iterator end; !error && item != end; item.increment(error)) {
        std::error_code ignored;
        fs::permissions(item->path(), fs::perms::owner_all, fs::perm_options::add, ignored);  // and read-only off
    }
#ifdef _WIN32
    fs::remove_all(L"\\\\?\\" + fs::path(path_).wstring(), error);  // the extended-length form reaches past the limit
#else
    fs::remove_all(path_, error);
#endif
}

std::string TempFolder::PathOf(std::string_view relative) const
{
    std::string path = path_;
    for (char c : relative) path += c == '/' ? platform::PathSeparator : c;
    return path;
}

std::string TempFolder::WriteFile(std::string_view relative, std::string_view content) const
{
    const std::string path = PathOf(relative);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(content.data(), static_cast<std::streamsize>(content.size()));
    return path;
}

std::string TempFolder::MakeFolder(std::string_view relative) const
{
    fs::create_directories(PathOf(relative));
    return platform::WithTrailingSeparator(PathOf(relative));
}

std::string ReadWholeFile(const std::string& path)
{
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

std::string FolderText(const std::string& folder)
{
    std::set<std::string> entries;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder, error)) {
        const std::string path = entry.path().lexically_relative(folder).generic_string();
        entries.insert(entry.is_directory() ? path + "/" : path + "=" + ReadWholeFile(entry.path().string()));
    }
    std::string text;
    for (const std::string& entry : entries) text += (text.empty() ? "" : " ") + entry;
    return text;
}

FindData NamedEntry(std::string_view name, uint64_t size, uint32_t attributes)
{
    FindData entry;
    name = name.substr(0, std::min({name.find('\0'), name.size(), sizeof entry.cFileName - 1}));
    name.copy(entry.cFileName, name.size());
    entry.SetSize(size);
    entry.dwFileAttributes = attributes;
    return entry;
}

FileTime UtcFileTime(int year, int month, int day, int hour, int minute, int second)
{
    const auto field = [](int value) { return static_cast<uint16_t>(value); };
    FileTime time;
    platform::CalendarToFileTime(SystemTime{field(year), field(month), 0, field(day), field(hour), field(minute), field(second), 0}, time);
    return time;
}

// On Windows the library maps the write permissions to the read-only attribute.
bool SetReadOnly(const std::string& path, bool readOnly)
{
    constexpr fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    std::error_code error;
    fs::permissions(path, readOnly ? write : fs::perms::owner_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add, error);
    return !error;
}

#ifdef _WIN32

bool SetFileTimes(const std::string& path, FileTime modified, FileTime accessed)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const FILETIME write{modified.dwLowDateTime, modified.dwHighDateTime}, access{accessed.dwLowDateTime, accessed.dwHighDateTime};
    const bool done = SetFileTime(file, nullptr, &access, &write) != 0;
    CloseHandle(file);
    return done;
}

bool MakeUnreadable(const std::string&) { return false; }
void MakeReadable(const std::string&) {}

#else

bool SetFileTimes(const std::string& path, FileTime modified, FileTime accessed)
{
    const auto spec = [](FileTime time) {  // 100 ns ticks since 1601, for times after 1970
        const uint64_t ticks = time.Value() - 116444736000000000ULL;
        return timespec{static_cast<time_t>(ticks / 10000000), static_cast<long>(ticks % 10000000 * 100)};
    };
    const timespec times[2] = {spec(accessed), spec(modified)};
    return utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// Root passes permission checks through two capabilities; taking them out of this thread's effective set
// (which threads it starts inherit) lets the tests meet unreadable folders as a user would.
bool MakeUnreadable(const std::string& path)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (geteuid() == 0) {
        if (syscall(SYS_capget, &header, data) != 0) return false;
        data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        if (syscall(SYS_capset, &header, data) != 0) return false;
    }
    return chmod(path.c_str(), 0) == 0;
}

void MakeReadable(const std::string& path) { chmod(path.c_str(), 0755); }

#endif

}  // namespace tolvane::test
