// An exclusive lock on a folder that every process of the user sees, made with flock(2) on the
// folder itself, so that no lock file appears beside the records.
#include "folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <thread>
#include <utility>

namespace platform::files {

namespace {

struct Held {
    int fd;
    int count;
};

// flock locks belong to an open file, so a second open of the same folder in this process
// would wait for the first one for ever: the process keeps one open file per locked folder.
std::map<std::pair<std::uint64_t, std::uint64_t>, Held>& HeldLocks() {
    static std::map<std::pair<std::uint64_t, std::uint64_t>, Held> held;
    return held;
}

bool TakeLock(int fd, std::uint32_t timeoutMs) {
    if (timeoutMs == kWaitForever) {
        while (flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) return false;
        }
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace

std::optional<FolderLockId> LockFolder(const std::string& folder, std::uint32_t timeoutMs) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return std::nullopt;
    }
    FolderLockId id{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    auto& held = HeldLocks();
    if (auto it = held.find({id.device, id.inode}); it != held.end()) {
        close(fd);
        ++it->second.count;
        return id;
    }
    if (!TakeLock(fd, timeoutMs)) {
        close(fd);
        return std::nullopt;
    }
    held[{id.device, id.inode}] = Held{fd, 1};
    return id;
}

void UnlockFolder(FolderLockId id) {
    auto& held = HeldLocks();
    auto it = held.find({id.device, id.inode});
    if (it == held.end() || --it->second.count > 0) return;
    close(it->second.fd);  // gives the lock back
    held.erase(it);
}

}  // namespace platform::files
