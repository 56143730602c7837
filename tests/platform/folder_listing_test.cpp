#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "platform/error.h"
#include "platform/fs.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tolvane {
namespace {

using test::TempFolder;
constexpr uint32_t Flags = AttributeDirectory | AttributeHidden | AttributeReadOnly | AttributeReparsePoint;

struct Details {
    uint32_t certain;  // the directory and link flags, as the listing tells them before any details
    uint32_t attributes;
    uint64_t size, created, modified, accessed;
    bool operator==(const Details&) const = default;
};

// Every entry of a folder by name; a quick listing fills in the details of each entry afterwards.
std::map<std::string, Details> ListAll(const std::string& folder, bool quick = false)
{
    std::map<std::string, Details> entries;
    platform::FolderListing listing;
    EXPECT_TRUE(listing.Open(folder)) << folder;
    FindData entry;
    while (listing.Next(entry, !quick)) {
        const uint32_t certain = entry.dwFileAttributes & (AttributeDirectory | AttributeReparsePoint);
        EXPECT_TRUE(!quick || listing.FillDetails(entry)) << entry.cFileName;
        entries[entry.cFileName] = {certain, entry.dwFileAttributes, entry.Size(), entry.ftCreationTime.Value(),
                                    entry.ftLastWriteTime.Value(), entry.ftLastAccessTime.Value()};
    }
    return entries;
}

bool MakeLink(const std::string& link, const std::string& target, bool toFolder)
{
#ifdef _WIN32
    const DWORD flags = (toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2;  // unprivileged create
    return CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) != 0 &&
           GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    (void)toFolder;
    return symlink(target.c_str(), link.c_str()) == 0;
#endif
}

// Links are listed as themselves (reparse points of size 0), never followed,
// even when their target is gone. The quick listing tells the directory and
// link flags for certain, and agrees with the full one after FillDetails.
TEST(FolderListing, ReportsNamesAttributesSizesTimesAndLinksAsThemselves)
{
    TempFolder temp;
    temp.WriteFile("empty.txt", "");
    const std::string data = temp.WriteFile("data.bin", std::string(1000, 'x'));
    const std::string hidden = temp.WriteFile(".hidden", "h");  // a leading dot is what hides a file on POSIX
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
#endif
    ASSERT_TRUE(test::SetReadOnly(temp.WriteFile("readonly.txt", "read only"), true));
    const std::string sub = temp.WriteFile("sub/inside.txt", std::string(1000, 'i'));
    // A modified time between whole seconds, to the 100 ns tick.
    const FileTime modified = FileTime::FromValue(test::UtcFileTime(2009, 8, 2, 14, 5, 7).Value() + 1234567);
    const FileTime accessed = test::UtcFileTime(2010, 1, 2, 3, 4, 5);
    ASSERT_TRUE(test::SetFileTimes(data, modified, accessed));
    ASSERT_TRUE(test::SetFileTimes(temp.PathOf("sub"), accessed, accessed));
    std::map<std::string, std::pair<uint32_t, uint64_t>> expected = {
        {".", {AttributeDirectory, 0}},    {"..", {AttributeDirectory, 0}},         {"sub", {AttributeDirectory, 0}},
        {".hidden", {AttributeHidden, 1}}, {"readonly.txt", {AttributeReadOnly, 9}}, {"data.bin", {0, 1000}},
        {"empty.txt", {0, 0}},
    };
    if (MakeLink(temp.PathOf("link"), temp.PathOf("sub"), true)) {
        ASSERT_TRUE(MakeLink(temp.PathOf("filelink"), sub, false));
        ASSERT_TRUE(MakeLink(temp.PathOf("dangling"), temp.PathOf("nowhere"), false));
        expected.insert({{"link", {AttributeReparsePoint | AttributeDirectory, 0}},
                         {"filelink", {AttributeReparsePoint, 0}},
                         {"dangling", {AttributeReparsePoint, 0}}});
        uint32_t attributes = 0;
        ASSERT_TRUE(platform::GetPathAttributes(temp.PathOf("link"), attributes));
        EXPECT_EQ(attributes & Flags, AttributeReparsePoint | AttributeDirectory);
    }

    const auto entries = ListAll(temp.Path());
    std::map<std::string, std::pair<uint32_t, uint64_t>> listed;
    for (const auto& [name, entry] : entries) listed[name] = {entry.attributes & Flags, entry.size};
    EXPECT_EQ(listed, expected);
    const Details &file = entries.at("data.bin"), &folder = entries.at("sub");
    EXPECT_EQ(std::tuple(folder.modified, file.modified, file.accessed),
              std::tuple(accessed.Value(), modified.Value(), accessed.Value()));
    EXPECT_EQ(ListAll(temp.Path(), true), entries);

    // Sparse where the file system allows it; no bytes are written.
    const uint64_t size = (5ull << 30) + 3;
    std::error_code error;
    if (std::filesystem::space(temp.Path(), error).available < size || error) return;
    std::filesystem::resize_file(temp.WriteFile("big.bin", ""), size, error);
    if (error) return;
    EXPECT_EQ(ListAll(temp.Path()).at("big.bin").size, size);
}

TEST(File, MissingPathsFailWithTheCodesCallersBranchOnAndFilesReadFromAPosition)
{
    TempFolder temp;
    platform::FolderListing listing;
    FindData entry;
    platform::SetLastError(0);
    EXPECT_FALSE(listing.Open(temp.PathOf("missing/deeper/")) || listing.Next(entry));
    const uint32_t code = platform::LastError();
    EXPECT_TRUE(code == platform::ErrorPathNotFound || code == platform::ErrorFileNotFound) << code;
    uint32_t attributes = 0;
    EXPECT_FALSE(platform::GetPathAttributes(temp.PathOf("missing.txt"), attributes));
    EXPECT_EQ(platform::LastError(), platform::ErrorFileNotFound);
    platform::File opened;
    for (const auto& [path, code] : {std::pair{temp.PathOf("missing.txt"), platform::ErrorFileNotFound},
                                     {temp.MakeFolder("folder"), platform::ErrorAccessDenied}}) {
        EXPECT_FALSE(opened.OpenForReading(path) || opened.IsOpen()) << path;
        EXPECT_EQ(platform::LastError(), code) << path;
    }

    // Read from a position; a file another program is writing (an active log) is read as it stands.
    const std::string path = temp.WriteFile("known.bin", "0123456789");
    std::ofstream writer(std::filesystem::path(path), std::ios::binary | std::ios::app);
    writer << "er" << std::flush;
    platform::File file;
    ASSERT_TRUE(file.OpenForReading(path)) << platform::LastError();
    ASSERT_TRUE(file.Seek(9));
    char buffer[4096];
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 3);
    EXPECT_EQ(std::string(buffer, 3), "9er");
}

}  // namespace
}  // namespace tolvane
