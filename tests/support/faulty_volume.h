// A small volume of its own whose files fail in one way: as they are closed
// (EIO, after taking every write), as a network volume does with a late write
// error, or at every write, as a full disk does (ENOSPC).
// Served from this process through the kernel's user-space file system
// interface; Mounted() is false where that cannot be mounted (no /dev/fuse,
// no right to mount, Windows).
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
