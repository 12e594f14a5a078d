// An exclusive lock on a folder that every process of the user sees: it serialises the changes
// that processes make to the files in that folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::files {

constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

// Identifies a held lock for UnlockFolder.
struct FolderLockId {
    std::uint64_t device;
    std::uint64_t inode;
};

// Takes the lock on folder, waiting at most timeoutMs; nullopt when the time ran out or the
// folder cannot be opened. A process that holds the lock already takes it again at once: the
// locks nest, and the folder stays locked until each one is given back.
std::optional<FolderLockId> LockFolder(const std::string& folder, std::uint32_t timeoutMs);
void UnlockFolder(FolderLockId id);

}  // namespace platform::files
