#include "support/faulty_volume.h"

#ifdef _WIN32

namespace tolvane::test {

FaultyVolume::FaultyVolume(const std::string& folder, VolumeFault fault) : folder_(folder), fault_(fault) {}
FaultyVolume::~FaultyVolume() = default;
void FaultyVolume::Serve() {}

}  // namespace tolvane::test

#else

#include <fcntl.h>
#include <linux/fuse.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tolvane::test {
namespace {

constexpr uint64_t FileNode = 2;

void Reply(int device, uint64_t unique, int error, const void* body = nullptr, size_t size = 0)
{
    std::vector<char> message(sizeof(fuse_out_header) + size);
    fuse_out_header header{static_cast<uint32_t>(message.size()), -error, unique};
    std::memcpy(message.data(), &header, sizeof header);
    if (size > 0) std::memcpy(message.data() + sizeof header, body, size);
    [[maybe_unused]] const ssize_t written = write(device, message.data(), message.size());
}

}  // namespace

FaultyVolume::FaultyVolume(const std::string& folder, VolumeFault fault) : folder_(folder), fault_(fault)
{
    device_ = open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (device_ < 0) return;
    const std::string options = "fd=" + std::to_string(device_) + ",rootmode=40000,user_id=0,group_id=0";
    mounted_ = mount("tolvane-test", folder.c_str(), "fuse", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    if (mounted_) server_ = std::thread([this] { Serve(); });
}

FaultyVolume::~FaultyVolume()
{
    if (mounted_) {
        umount2(folder_.c_str(), MNT_DETACH);  // the server's next read then fails
        server_.join();
    }
    if (device_ >= 0) close(device_);
}

// The root holds no name, so that every open creates its file; each file is empty as far as the kernel is told.
void FaultyVolume::Serve()
{
    std::vector<char> buffer(FUSE_MIN_READ_BUFFER + (1 << 20));
    for (;;) {
        const ssize_t got = read(device_, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < static_cast<ssize_t>(sizeof(fuse_in_header))) return;  // unmounted
        fuse_in_header in;
        std::memcpy(&in, buffer.data(), sizeof in);
        const auto reply = [&](int error) { Reply(device_, in.unique, error); };
        const auto answer = [&](const auto& out) { Reply(device_, in.unique, 0, &out, sizeof out); };
        switch (in.opcode) {
        case FUSE_INIT: {
            fuse_init_out out{};
            out.major = FUSE_KERNEL_VERSION;
            out.minor = FUSE_KERNEL_MINOR_VERSION;
            answer(out);
            break;
        }
        case FUSE_CREATE: {
            struct {
                fuse_entry_out entry;
                fuse_open_out open;
            } out{};
            out.entry.nodeid = FileNode;
            out.entry.attr.ino = FileNode;
            out.entry.attr.mode = S_IFREG | 0644;
            out.entry.attr.nlink = 1;
            answer(out);
            break;
        }
        case FUSE_WRITE: {
            fuse_write_in write;
            std::memcpy(&write, buffer.data() + sizeof in, sizeof write);
            fuse_write_out out{};
            out.size = write.size;
            if (fault_ == VolumeFault::Full)
                reply(ENOSPC);
            else
                answer(out);
            break;
        }
        case FUSE_LOOKUP: reply(ENOENT); break;
        case FUSE_FLUSH: reply(fault_ == VolumeFault::LateClose ? EIO : 0); break;
        case FUSE_FORGET:
        case FUSE_BATCH_FORGET: break;  // no answer expected
        default: reply(ENOSYS); break;
        }
    }
}

}  // namespace tolvane::test

#endif
