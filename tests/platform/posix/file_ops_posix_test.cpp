#include "platform/file_ops.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "platform/error.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

// A write past a lowered file size limit fails part-way, as on a full disk.
TEST(CopyFileNoReplace, AFailedCopyLeavesNoPartialFileAndKeepsTheSource)
{
    test::TempFolder temp;
    const std::string content(200000, 'z');
    const std::string source = temp.WriteFile("big.bin", content);
    const std::string destination = temp.PathOf("copy.bin");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved;
    lowered.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    const bool copied = platform::CopyFileNoReplace(source, destination);
    const uint32_t error = platform::LastError();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(copied);
    EXPECT_NE(error, platform::ErrorSuccess);
    EXPECT_FALSE(std::filesystem::exists(destination));
    EXPECT_EQ(test::ReadWholeFile(source), content);
}

// A move between file systems (to /dev/shm when it is another one) copies
// then deletes, and never replaces.
TEST(MoveFileNoReplace, AMoveToAnotherVolumeCopiesThenDeletesAndNeverReplaces)
{
    test::TempFolder temp;
    struct stat here{}, shm{};
    char pattern[] = "/dev/shm/tolvane-test-XXXXXX";
    if (stat(temp.Path().c_str(), &here) != 0 || stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev ||
        access("/dev/shm", W_OK) != 0 || !mkdtemp(pattern))
        GTEST_SKIP() << "no second writable file system";
    const std::string other = std::string(pattern) + "/";
    const std::string source = temp.WriteFile("x.txt", "travelling");
    test::TempFolder resident;
    const std::string taken = other + "taken.txt";
    std::filesystem::copy_file(resident.WriteFile("taken.txt", "resident"), taken);

    EXPECT_FALSE(platform::MoveFileNoReplace(source, taken));
    EXPECT_EQ(platform::LastError(), platform::ErrorAlreadyExists);
    EXPECT_EQ(test::ReadWholeFile(taken), "resident");
    EXPECT_EQ(test::ReadWholeFile(source), "travelling");

    EXPECT_TRUE(platform::MoveFileNoReplace(source, other + "x.txt"));
    EXPECT_FALSE(std::filesystem::exists(source));
    EXPECT_EQ(test::ReadWholeFile(other + "x.txt"), "travelling");
    std::filesystem::remove_all(other);
}

}  // namespace
}  // namespace tolvane
