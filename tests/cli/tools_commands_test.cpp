#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "cli/command_run.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

namespace fs = std::filesystem;

int EntryCount(const std::string& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(NewFoldersCommand, CreatesTheSeriesOnceAndFailsTheSecondTime)
{
    TempFolder temp;
    const std::vector<std::string> series = {"new-folders", temp.Path(), "--type",   "numbers",
                                             "--count",     "100",       "--zeros", "--prefix", "img_"};
    CliRun run = RunTolvane(series);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Folders created!\n");
    EXPECT_TRUE(fs::is_directory(temp.PathOf("img_001")));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("img_100")));
    EXPECT_EQ(EntryCount(temp.Path()), 100);

    run = RunTolvane(series);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tolvane: Cannot create directory: ", 0), 0u) << run.err;
    EXPECT_EQ(EntryCount(temp.Path()), 100);
}

TEST(NewFoldersCommand, RefusesBadInputWithoutCreatingAnything)
{
    TempFolder temp;
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"new-folders", temp.Path(), "--count", "15"},
             {"new-folders", temp.Path(), "--type", "roman"},
             {"new-folders"}}) {
        const CliRun run = RunTolvane(arguments);
        EXPECT_EQ(run.status, 2) << arguments.back();
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(EntryCount(temp.Path()), 0);
}

TEST(FakeFileCommand, CreatesTheSizeReplacesOnlyWhenAskedAndReportsFailures)
{
    TempFolder temp;
    const std::string path = temp.PathOf("fake.bin");
    CliRun run = RunTolvane({"fake-file", path, "5", "--unit", "MB"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "The file created succesfully\n");
    EXPECT_EQ(fs::file_size(path), 5242880u);

    run = RunTolvane({"fake-file", path, "1", "--unit", "kB"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--overwrite"), std::string::npos);
    EXPECT_EQ(fs::file_size(path), 5242880u);

    run = RunTolvane({"fake-file", path, "0", "--overwrite"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(fs::file_size(path), 1u);

    EXPECT_EQ(RunTolvane({"fake-file", path, "1", "--unit", "TB", "--overwrite"}).status, 2);

    run = RunTolvane({"fake-file", temp.PathOf("missing/a"), "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tolvane: File creation failed: ", 0), 0u) << run.err;
}

}  // namespace
}  // namespace tolvane::test
