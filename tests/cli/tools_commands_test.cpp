#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Tolvane(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "tolvane");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream out, err;
    const int status = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

int EntryCount(const std::string& folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(NewFoldersCommand, CreatesTheSeriesOnceAndFailsTheSecondTime)
{
    test::TempFolder temp;
    Outcome run = Tolvane({"new-folders", temp.Path(), "--type", "numbers", "--count", "100", "--zeros", "--prefix", "img_"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Folders created!\n");
    EXPECT_TRUE(fs::is_directory(temp.PathOf("img_001")));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("img_100")));
    EXPECT_EQ(EntryCount(temp.Path()), 100);

    run = Tolvane({"new-folders", temp.Path(), "--type", "numbers", "--count", "100", "--zeros", "--prefix", "img_"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tolvane: Cannot create directory: ", 0), 0u) << run.err;
    EXPECT_EQ(EntryCount(temp.Path()), 100);
}

TEST(NewFoldersCommand, RefusesBadInputWithoutCreatingAnything)
{
    test::TempFolder temp;
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"new-folders", temp.Path(), "--count", "15"},
             {"new-folders", temp.Path(), "--type", "roman"},
             {"new-folders", temp.Path(), "--prefix", "a:b"},
             {"new-folders", ""},
             {"new-folders"}}) {
        const Outcome run = Tolvane(arguments);
        EXPECT_EQ(run.status, 2) << arguments.back();
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(EntryCount(temp.Path()), 0);
}

TEST(FakeFileCommand, CreatesTheSizeReplacesOnlyWhenAskedAndReportsFailures)
{
    test::TempFolder temp;
    const std::string path = temp.PathOf("fake.bin");
    Outcome run = Tolvane({"fake-file", path, "5", "--unit", "MB"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "The file created succesfully\n");
    EXPECT_EQ(fs::file_size(path), 5242880u);

    run = Tolvane({"fake-file", path, "1", "--unit", "kB"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--overwrite"), std::string::npos);
    EXPECT_EQ(fs::file_size(path), 5242880u);

    run = Tolvane({"fake-file", path, "0", "--overwrite"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(fs::file_size(path), 1u);

    EXPECT_EQ(Tolvane({"fake-file", path, "10000", "--overwrite"}).status, 2);
    EXPECT_EQ(Tolvane({"fake-file", path, "1", "--unit", "TB", "--overwrite"}).status, 2);
    EXPECT_EQ(fs::file_size(path), 1u);

    run = Tolvane({"fake-file", temp.PathOf("missing/a"), "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tolvane: File creation failed: ", 0), 0u) << run.err;
}

}  // namespace
}  // namespace tolvane
