// A volume served from this process through the kernel's user-space file system interface, whose files fail at
// every write (ENOSPC) or as they are closed (EIO, a network volume's late error). Mounted() is false where it cannot be.
#pragma once

#include <string>
#include <thread>

namespace tolvane::test {

enum class VolumeFault { LateClose, Full };

class FaultyVolume {
public:
    FaultyVolume(const std::string& folder, VolumeFault fault);
    ~FaultyVolume();
    FaultyVolume(const FaultyVolume&) = delete;
    FaultyVolume& operator=(const FaultyVolume&) = delete;

    bool Mounted() const { return mounted_; }

private:
    void Serve();

    std::string folder_;
    VolumeFault fault_;
    int device_ = -1;
    bool mounted_ = false;
    std::thread server_;
};

}  // namespace tolvane::test
