#include "platform/file_ops.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "platform/error.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

// Lowers the largest file this process may write, so that a write fails
// part-way as on a full disk; restored when the test ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST(CopyFileNoReplace, AFailedCopyLeavesNoPartialFileAndKeepsTheSource)
{
    test::TempFolder temp;
    const std::string content(200000, 'z');
    const std::string source = temp.WriteFile("big.bin", content);
    const std::string destination = temp.PathOf("copy.bin");
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.Active());
        EXPECT_FALSE(platform::CopyFileNoReplace(source, destination));
    }
    EXPECT_NE(platform::LastError(), platform::ErrorSuccess);
    EXPECT_FALSE(std::filesystem::exists(destination));
    EXPECT_EQ(test::ReadWholeFile(source), content);
}


// A second file system for moves between volumes: /dev/shm when it is one.
std::string OtherVolumeFolder(const std::string& here)
{
    struct stat hereStatus{}, shmStatus{};
    if (stat(here.c_str(), &hereStatus) != 0 || stat("/dev/shm", &shmStatus) != 0) return {};
    if (hereStatus.st_dev == shmStatus.st_dev || access("/dev/shm", W_OK) != 0) return {};
    char pattern[] = "/dev/shm/tolvane-test-XXXXXX";
    return mkdtemp(pattern) ? std::string(pattern) + "/" : std::string();
}

TEST(MoveFileNoReplace, AMoveToAnotherVolumeCopiesThenDeletesAndNeverReplaces)
{
    test::TempFolder temp;
    const std::string other = OtherVolumeFolder(temp.Path());
    if (other.empty()) GTEST_SKIP() << "no second writable file system";
    const std::string source = temp.WriteFile("x.txt", "travelling");
    const std::string taken = other + "taken.txt";
    std::FILE* file = std::fopen(taken.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("resident", file);
    std::fclose(file);

    EXPECT_FALSE(platform::MoveFileNoReplace(source, taken));
    EXPECT_EQ(platform::LastError(), platform::ErrorAlreadyExists);
    EXPECT_EQ(test::ReadWholeFile(taken), "resident");
    EXPECT_EQ(test::ReadWholeFile(source), "travelling");

    const std::string destination = other + "x.txt";
    EXPECT_TRUE(platform::MoveFileNoReplace(source, destination));
    EXPECT_FALSE(std::filesystem::exists(source));
    EXPECT_EQ(test::ReadWholeFile(destination), "travelling");
    std::filesystem::remove_all(other);
}

}  // namespace
}  // namespace tolvane
