// The tools' subcommands reach their engines; the tools' own tests own the results.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/command_run.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

namespace fs = std::filesystem;

TEST(ToolsCommands, CreateWhatTheyAreToldAndRefuseBadInput)
{
    TempFolder temp;
    const std::vector<std::string> series = {"new-folders", temp.PathOf("s"), "--type", "numbers", "--count", "100", "--zeros", "--prefix", "img_"};
    fs::create_directory(temp.PathOf("s"));
    EXPECT_EQ(RunTolvane(series).status, 0);
    EXPECT_TRUE(fs::is_directory(temp.PathOf("s/img_001")) && fs::is_directory(temp.PathOf("s/img_100")));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.PathOf("s")), {}), 100);
    EXPECT_EQ(RunTolvane(series).status, 1);

    const std::string path = temp.PathOf("fake.bin");
    EXPECT_EQ(RunTolvane({"fake-file", path, "5", "--unit", "MB"}).status, 0);
    EXPECT_EQ(fs::file_size(path), 5242880u);
    const CliRun kept = RunTolvane({"fake-file", path, "1", "--unit", "kB"});
    EXPECT_EQ(kept.status, 1);
    EXPECT_NE(kept.err.find("--overwrite"), std::string::npos);
    EXPECT_EQ(RunTolvane({"fake-file", path, "1", "--overwrite"}).status, 0);

    // Refused before anything is made: status 2 and the folder stays empty.
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"new-folders", temp.PathOf("e"), "--count", "15"}, {"new-folders", temp.PathOf("e"), "--type", "roman"},
             {"new-folders"}, {"fake-file", temp.PathOf("e/big"), "1", "--unit", "TB"}}) {
        fs::create_directory(temp.PathOf("e"));
        EXPECT_EQ(RunTolvane(arguments).status, 2) << arguments.back();
        EXPECT_TRUE(fs::is_empty(temp.PathOf("e"))) << arguments.back();
    }
}

}  // namespace
}  // namespace tolvane::test
