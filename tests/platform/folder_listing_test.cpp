#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/path.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tolvane {
namespace {

using test::TempFolder;

// Every entry of a folder by name, with full details.
std::map<std::string, FindData> ListAll(const std::string& folder)
{
    std::map<std::string, FindData> entries;
    platform::FolderListing listing;
    EXPECT_TRUE(listing.Open(folder)) << folder;
    FindData entry;
    while (listing.Next(entry)) entries[entry.cFileName] = entry;
    return entries;
}

FileTime Now()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
    return FileTime::FromValue(static_cast<uint64_t>(ticks) + 116444736000000000ull);
}

bool SetHidden(const std::string& path)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
#else
    return path.find("/.") != std::string::npos;  // a leading dot is what hides a file here
#endif
}

// A file of the given size without writing its bytes (sparse where the file
// system allows it); false where that cannot be done cheaply.
bool MakeSparseFile(const std::string& path, uint64_t size)
{
    std::error_code error;
    const auto space = std::filesystem::space(std::filesystem::path(path).parent_path(), error);
    if (error || space.available < size) return false;
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const bool sparse = DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool sized = sparse && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return sized;
#else
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (file < 0) return false;
    const bool sized = ftruncate(file, static_cast<off_t>(size)) == 0;
    close(file);
    return sized;
#endif
}

bool MakeLink(const std::string& link, const std::string& target, bool toFolder)
{
#ifdef _WIN32
    const DWORD flags = (toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2;  // unprivileged create
    // Some systems report success without making the link; look for it.
    return CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) != 0 &&
           GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    (void)toFolder;
    return symlink(target.c_str(), link.c_str()) == 0;
#endif
}

TEST(FolderListing, ReportsNamesAttributesSizesAndTimes)
{
    TempFolder temp;
    temp.WriteFile("empty.txt", "");
    const std::string data = temp.WriteFile("data.bin", std::string(1000, 'x'));
    const std::string hidden = temp.WriteFile(".hidden", "h");
    const std::string readOnly = temp.WriteFile("readonly.txt", "read only");
    const std::string sub = temp.MakeFolder("sub");
    ASSERT_TRUE(SetHidden(hidden));
    ASSERT_TRUE(test::SetReadOnly(readOnly, true));
    const FileTime modified = test::UtcFileTime(2009, 8, 2, 14, 5, 7);
    const FileTime accessed = test::UtcFileTime(2010, 1, 2, 3, 4, 5);
    const FileTime folderModified = test::UtcFileTime(2001, 2, 3, 4, 5, 6);
    ASSERT_TRUE(test::SetFileTimes(data, modified, accessed));
    ASSERT_TRUE(test::SetFileTimes(sub, folderModified, folderModified));

    const auto entries = ListAll(temp.Path());
    std::set<std::string> names;
    for (const auto& [name, entry] : entries) names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", ".hidden", "data.bin", "empty.txt", "readonly.txt", "sub"}));
    ASSERT_EQ(entries.size(), 7u);

    for (const char* folder : {".", "..", "sub"}) {
        const FindData& entry = entries.at(folder);
        EXPECT_TRUE(entry.IsDirectory()) << folder;
        EXPECT_EQ(entry.dwFileAttributes & (AttributeHidden | AttributeReadOnly | AttributeReparsePoint), 0u) << folder;
        EXPECT_EQ(entry.Size(), 0u) << folder;
    }
    EXPECT_EQ(entries.at("sub").ftLastWriteTime.Value(), folderModified.Value());

    const FindData& file = entries.at("data.bin");
    EXPECT_EQ(file.dwFileAttributes & (AttributeDirectory | AttributeHidden | AttributeReadOnly | AttributeReparsePoint),
              0u);
    EXPECT_EQ(file.Size(), 1000u);
    EXPECT_EQ(file.ftLastWriteTime.Value(), modified.Value());
    EXPECT_EQ(file.ftLastAccessTime.Value(), accessed.Value());
    // A created time, where the file system keeps one, is no later than now
    // (some systems give the modified time when it is the older one).
    const uint64_t slack = 120ull * 10000000;
    EXPECT_LE(file.ftCreationTime.Value(), Now().Value() + slack);

    EXPECT_EQ(entries.at("empty.txt").Size(), 0u);
    EXPECT_FALSE(entries.at("empty.txt").IsDirectory());
    EXPECT_NE(entries.at(".hidden").dwFileAttributes & AttributeHidden, 0u);
    EXPECT_EQ(entries.at(".hidden").dwFileAttributes & AttributeReadOnly, 0u);
    EXPECT_NE(entries.at("readonly.txt").dwFileAttributes & AttributeReadOnly, 0u);
    EXPECT_EQ(entries.at("readonly.txt").dwFileAttributes & AttributeHidden, 0u);
    EXPECT_EQ(entries.at("readonly.txt").Size(), 9u);
}

TEST(FolderListing, ReportsSizesAbove4GiB)
{
    TempFolder temp;
    const uint64_t size = (5ull << 30) + 3;
    if (!MakeSparseFile(temp.PathOf("big.bin"), size)) GTEST_SKIP() << "no cheap 5 GiB file here";
    const FindData entry = ListAll(temp.Path()).at("big.bin");
    EXPECT_EQ(entry.nFileSizeHigh, 1u);
    EXPECT_EQ(entry.nFileSizeLow, (1u << 30) + 3);
}

TEST(FolderListing, TheQuickListingAgreesWithTheFullOneAfterFillDetails)
{
    TempFolder temp;
    temp.WriteFile("a.txt", "abc");
    temp.WriteFile(".dot", "");
    temp.MakeFolder("folder");
    test::SetReadOnly(temp.WriteFile("ro.txt", "r"), true);
    MakeLink(temp.PathOf("link"), temp.PathOf("folder"), true);
    const auto full = ListAll(temp.Path());

    platform::FolderListing listing;
    ASSERT_TRUE(listing.Open(temp.Path()));
    FindData entry;
    size_t count = 0;
    while (listing.Next(entry, false)) {
        ++count;
        const FindData& expected = full.at(entry.cFileName);
        const uint32_t certain = AttributeDirectory | AttributeReparsePoint;
        EXPECT_EQ(entry.dwFileAttributes & certain, expected.dwFileAttributes & certain) << entry.cFileName;
        ASSERT_TRUE(listing.FillDetails(entry)) << entry.cFileName;
        EXPECT_EQ(entry.dwFileAttributes, expected.dwFileAttributes) << entry.cFileName;
        EXPECT_EQ(entry.Size(), expected.Size()) << entry.cFileName;
        EXPECT_EQ(entry.ftCreationTime.Value(), expected.ftCreationTime.Value()) << entry.cFileName;
        EXPECT_EQ(entry.ftLastWriteTime.Value(), expected.ftLastWriteTime.Value()) << entry.cFileName;
        EXPECT_EQ(entry.ftLastAccessTime.Value(), expected.ftLastAccessTime.Value()) << entry.cFileName;
    }
    EXPECT_EQ(count, full.size());
}

TEST(FolderListing, ALinkIsReportedAsItselfAndNeverFollowed)
{
    TempFolder temp;
    const std::string real = temp.MakeFolder("real");
    temp.WriteFile("real/inside.txt", std::string(1000, 'i'));
    if (!MakeLink(temp.PathOf("link"), temp.PathOf("real"), true)) GTEST_SKIP() << "links cannot be made here";
    ASSERT_TRUE(MakeLink(temp.PathOf("filelink"), temp.PathOf("real/inside.txt"), false));
    ASSERT_TRUE(MakeLink(temp.PathOf("dangling"), temp.PathOf("nowhere"), false));

    const auto entries = ListAll(temp.Path());
    const FindData& folderLink = entries.at("link");
    EXPECT_TRUE(folderLink.IsReparsePoint());
    EXPECT_TRUE(folderLink.IsDirectory());
    EXPECT_EQ(folderLink.Size(), 0u);

    const FindData& fileLink = entries.at("filelink");
    EXPECT_TRUE(fileLink.IsReparsePoint());
    EXPECT_FALSE(fileLink.IsDirectory());
    EXPECT_EQ(fileLink.Size(), 0u) << "the size is the link's, not its target's";

    ASSERT_EQ(entries.count("dangling"), 1u) << "a link whose target is gone is still listed";
    EXPECT_TRUE(entries.at("dangling").IsReparsePoint());
    EXPECT_FALSE(entries.at("dangling").IsDirectory());

    EXPECT_FALSE(entries.at("real").IsReparsePoint());
    uint32_t attributes = 0;
    ASSERT_TRUE(platform::GetPathAttributes(temp.PathOf("link"), attributes));
    EXPECT_EQ(attributes & (AttributeReparsePoint | AttributeDirectory), AttributeReparsePoint | AttributeDirectory);
}

TEST(FolderListing, AMissingFolderFailsWithTheSystemsText)
{
    TempFolder temp;
    for (const std::string& path : {temp.PathOf("missing"), temp.PathOf("missing/deeper/")}) {
        platform::SetLastError(0);
        platform::FolderListing listing;
        EXPECT_FALSE(listing.Open(path)) << path;
        const uint32_t code = platform::LastError();
        EXPECT_TRUE(code == platform::ErrorPathNotFound || code == platform::ErrorFileNotFound) << code;
        EXPECT_FALSE(platform::SystemErrorText(code).empty());
        FindData entry;
        EXPECT_FALSE(listing.Next(entry));
    }
}

TEST(PathAttributes, TellFilesFoldersAndMissingPathsApart)
{
    TempFolder temp;
    const std::string file = temp.WriteFile("file.txt", "x");
    uint32_t attributes = 0;
    ASSERT_TRUE(platform::GetPathAttributes(file, attributes));
    EXPECT_EQ(attributes & AttributeDirectory, 0u);
    ASSERT_TRUE(platform::GetPathAttributes(temp.Path(), attributes));
    EXPECT_NE(attributes & AttributeDirectory, 0u);

    EXPECT_TRUE(platform::IsExistingFolder(temp.Path()));
    EXPECT_FALSE(platform::IsExistingFolder(file));
    EXPECT_FALSE(platform::IsExistingFolder(temp.PathOf("missing")));
    EXPECT_FALSE(platform::GetPathAttributes(temp.PathOf("missing.txt"), attributes));
    EXPECT_EQ(platform::LastError(), platform::ErrorFileNotFound);
}

TEST(File, ReadsAKnownFileInChunksWithAShortLastRead)
{
    TempFolder temp;
    std::string content(10000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 % 251);
    const std::string path = temp.WriteFile("known.bin", content);

    platform::File file;
    ASSERT_TRUE(file.OpenForReading(path));
    std::string read;
    char buffer[4096];
    std::vector<int64_t> counts;
    for (;;) {
        const int64_t count = file.Read(buffer, sizeof buffer);
        counts.push_back(count);
        if (count <= 0) break;
        read.append(buffer, static_cast<size_t>(count));
    }
    EXPECT_EQ(counts, (std::vector<int64_t>{4096, 4096, 1808, 0}));
    EXPECT_EQ(read, content);

    ASSERT_TRUE(file.Seek(9998));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(std::string(buffer, 2), content.substr(9998));

    platform::File moved(std::move(file));
    EXPECT_TRUE(moved.IsOpen());
    EXPECT_FALSE(file.IsOpen());
}

TEST(File, OpeningFailsWithTheCodesCallersBranchOn)
{
    TempFolder temp;
    platform::File file;
    EXPECT_FALSE(file.OpenForReading(temp.PathOf("missing.txt")));
    EXPECT_EQ(platform::LastError(), platform::ErrorFileNotFound);
    EXPECT_FALSE(platform::SystemErrorText(platform::LastError()).empty());
    EXPECT_FALSE(file.IsOpen());

    EXPECT_FALSE(file.OpenForReading(temp.MakeFolder("folder")));
    EXPECT_EQ(platform::LastError(), platform::ErrorAccessDenied);
    EXPECT_FALSE(file.IsOpen());
}

TEST(File, CreateForWritingReplacesAnExistingFile)
{
    TempFolder temp;
    const std::string path = temp.WriteFile("out.txt", "a much longer old content");
    {
        platform::File file;
        ASSERT_TRUE(file.CreateForWriting(path));
        ASSERT_TRUE(file.Write("new", 3));
    }
    EXPECT_EQ(test::ReadWholeFile(path), "new");
}

}  // namespace
}  // namespace tolvane
