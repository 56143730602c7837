// A small volume of its own whose files take every write and then fail as
// they are closed (EIO), as a network volume does with a late write error.
// Served from this process through the kernel's user-space file system
// interface; Mounted() is false where that cannot be mounted (no /dev/fuse,
// no right to mount, Windows).
#pragma once

#include <string>
#include <thread>

namespace tolvane::test {

class FailingCloseVolume {
public:
    explicit FailingCloseVolume(const std::string& folder);
    ~FailingCloseVolume();
    FailingCloseVolume(const FailingCloseVolume&) = delete;
    FailingCloseVolume& operator=(const FailingCloseVolume&) = delete;

    bool Mounted() const { return mounted_; }

private:
    void Serve();

    std::string folder_;
    int device_ = -1;
    bool mounted_ = false;
    std::thread server_;
};

}  // namespace tolvane::test
