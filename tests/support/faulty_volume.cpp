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

constexpr uint64_t RootNode = FUSE_ROOT_ID;
constexpr uint64_t FileNode = 2;

fuse_attr AttributesOf(uint64_t node, uint64_t size)
{
    const bool root = node == RootNode;
    fuse_attr attr{};
    attr.ino = node;
    attr.size = root ? 0 : size;
    attr.mode = root ? (S_IFDIR | 0755) : (S_IFREG | 0644);
    attr.nlink = root ? 2 : 1;
    attr.blksize = 4096;
    return attr;
}

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
    if (!mounted_) {
        close(device_);
        device_ = -1;
        return;
    }
    server_ = std::thread([this] { Serve(); });
}

FaultyVolume::~FaultyVolume()
{
    if (!mounted_) return;
    umount2(folder_.c_str(), MNT_DETACH);  // the server's next read then fails
    server_.join();
    close(device_);
}

// Every name in the root is the one file, which exists once created.
void FaultyVolume::Serve()
{
    std::vector<char> buffer(FUSE_MIN_READ_BUFFER + (1 << 20));
    uint64_t size = 0;
    bool created = false;
    for (;;) {
        const ssize_t got = read(device_, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < static_cast<ssize_t>(sizeof(fuse_in_header))) return;  // unmounted
        fuse_in_header in;
        std::memcpy(&in, buffer.data(), sizeof in);
        const char* body = buffer.data() + sizeof in;
        const auto reply = [&](int error) { Reply(device_, in.unique, error); };
        const auto answer = [&](const auto& out) { Reply(device_, in.unique, 0, &out, sizeof out); };
        switch (in.opcode) {
        case FUSE_INIT: {
            fuse_init_in init;
            std::memcpy(&init, body, sizeof init);
            fuse_init_out out{};
            out.major = FUSE_KERNEL_VERSION;
            out.minor = FUSE_KERNEL_MINOR_VERSION;
            out.max_readahead = init.max_readahead;
            out.max_write = 1 << 20;
            answer(out);
            break;
        }
        case FUSE_LOOKUP:
        case FUSE_CREATE: {
            if (in.opcode == FUSE_LOOKUP && !created) {
                reply(ENOENT);
                break;
            }
            if (in.opcode == FUSE_CREATE) size = 0;
            created = true;
            struct {
                fuse_entry_out entry;
                fuse_open_out open;
            } out{};
            out.entry.nodeid = FileNode;
            out.entry.attr = AttributesOf(FileNode, size);
            Reply(device_, in.unique, 0, &out, in.opcode == FUSE_CREATE ? sizeof out : sizeof out.entry);
            break;
        }
        case FUSE_SETATTR: size = 0; [[fallthrough]];  // the only change asked for: O_TRUNC
        case FUSE_GETATTR: {
            fuse_attr_out out{};
            out.attr = AttributesOf(in.nodeid, size);
            answer(out);
            break;
        }
        case FUSE_OPEN: answer(fuse_open_out{}); break;
        case FUSE_WRITE: {
            fuse_write_in write;
            std::memcpy(&write, body, sizeof write);
            if (fault_ == VolumeFault::Full) {
                reply(ENOSPC);
                break;
            }
            size = std::max<uint64_t>(size, write.offset + write.size);
            fuse_write_out out{};
            out.size = write.size;
            answer(out);
            break;
        }
        case FUSE_FLUSH: reply(fault_ == VolumeFault::LateClose ? EIO : 0); break;
        case FUSE_RELEASE: reply(0); break;
        case FUSE_FORGET:
        case FUSE_BATCH_FORGET: break;  // no answer expected
        default: reply(ENOSYS); break;
        }
    }
}

}  // namespace tolvane::test

#endif
