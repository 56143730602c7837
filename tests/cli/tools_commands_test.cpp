// The tools' subcommands reach their engines; the tools' own tests own the results.
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

TEST(NewFoldersCommand, CreatesTheSeriesAndRefusesBadInput)
{
    TempFolder temp;
    const std::vector<std::string> series = {"new-folders", temp.Path(), "--type",   "numbers",
                                             "--count",     "100",       "--zeros", "--prefix", "img_"};
    CliRun run = RunTolvane(series);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Folders created!\n");
    EXPECT_TRUE(fs::is_directory(temp.PathOf("img_001")) && fs::is_directory(temp.PathOf("img_100")));
    EXPECT_EQ(EntryCount(temp.Path()), 100);

    run = RunTolvane(series);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tolvane: Cannot create directory: ", 0), 0u) << run.err;

    TempFolder empty;
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"new-folders", empty.Path(), "--count", "15"}, {"new-folders", empty.Path(), "--type", "roman"}, {"new-folders"}}) {
        EXPECT_EQ(RunTolvane(arguments).status, 2) << arguments.back();
    }
    EXPECT_EQ(EntryCount(empty.Path()), 0);
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
    EXPECT_EQ(RunTolvane({"fake-file", path, "0", "--overwrite"}).status, 0);
    EXPECT_EQ(fs::file_size(path), 1u);
    EXPECT_EQ(RunTolvane({"fake-file", path, "1", "--unit", "TB", "--overwrite"}).status, 2);

    run = RunTolvane({"fake-file", temp.PathOf("missing/a"), "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tolvane: File creation failed: ", 0), 0u) << run.err;
}

}  // namespace
}  // namespace tolvane::test
