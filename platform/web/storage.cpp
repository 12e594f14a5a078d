// The records in the browser's own storage: each file's bytes in IndexedDB, read afresh at every
// look-up and stored before a write returns, and one Web Lock for what the folder lock guards on
// the desktop, so that two tabs keep each other's records as two copies of the game do.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../core/config_folder.h"
#include "../core/folder_lock.h"
#include "../core/profile_store.h"
#include "page.h"
#include "storage.h"

namespace platform {
namespace {

// One file's bytes as the game last loaded or stored them (see ForgetLoadedFiles): the game reads
// its tables key by key, and each key would otherwise be a round trip to IndexedDB.
struct LoadedFile {
    std::string key;
    profile::LoadResult result;
    std::string bytes;
};

std::optional<LoadedFile>& Loaded() {
    static std::optional<LoadedFile> loaded;
    return loaded;
}

struct HeldLock {
    std::string name;
    int count = 0;
};

std::vector<HeldLock>& Locks() {
    static std::vector<HeldLock> locks;
    return locks;
}

// Files are found by name ignoring case, as on Windows; the store keeps the lower-case name.
std::string StoreKey(const char* fileName) {
    std::string key = fileName;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

}  // namespace

namespace files {

std::string ConfigFolder() { return "zum32"; }
bool MakeFolders(const std::string&) { return true; }

std::optional<FolderLockId> LockFolder(const std::string& folder, std::uint32_t timeoutMs) {
    std::vector<HeldLock>& locks = Locks();
    std::size_t i = 0;
    while (i < locks.size() && locks[i].name != folder) ++i;
    if (i == locks.size()) locks.push_back(HeldLock{folder, 0});
    // The lock is the tab's: a second wait in the same tab nests, as in one process.
    if (locks[i].count == 0) {
        const int timeout = timeoutMs == kWaitForever ? -1 : static_cast<int>(std::min<std::uint32_t>(timeoutMs, 0x7FFFFFFF));
        if (!zum_lock(("zum32 " + folder).c_str(), timeout)) return std::nullopt;
    }
    ++locks[i].count;
    return FolderLockId{0, i};
}

void UnlockFolder(FolderLockId id) {
    std::vector<HeldLock>& locks = Locks();
    if (id.inode >= locks.size() || locks[id.inode].count == 0) return;
    if (--locks[id.inode].count == 0) zum_unlock(("zum32 " + locks[id.inode].name).c_str());
}

}  // namespace files

namespace profile {

namespace {

LoadResult LoadStored(const std::string& key, std::string& bytes) {
    bytes.clear();
    std::uint8_t* stored = nullptr;
    int size = 0;
    const int result = zum_store_load(key.c_str(), &stored, &size);
    if (result != 0) return result == 1 ? LoadResult::Missing : LoadResult::Failed;
    bytes.assign(reinterpret_cast<const char*>(stored), static_cast<std::size_t>(size));
    std::free(stored);
    return LoadResult::Ok;
}

}  // namespace

LoadResult LoadFile(const char* fileName, std::string& bytes) {
    bytes.clear();
    if (!fileName || !fileName[0]) return LoadResult::Failed;
    const std::string key = StoreKey(fileName);
    std::optional<LoadedFile>& loaded = Loaded();
    if (!loaded || loaded->key != key) {
        std::string stored;
        const LoadResult result = LoadStored(key, stored);
        loaded = LoadedFile{key, result, std::move(stored)};
    }
    bytes = loaded->bytes;
    return loaded->result;
}

bool ChangeFile(const char* fileName, const FileEdit& edit) {
    if (!fileName || !fileName[0]) return false;
    // A writer that cannot have the lock within the wait goes on unlocked, as on the desktop: a
    // stuck tab cannot stop every write.
    const std::optional<files::FolderLockId> lock = files::LockFolder(files::ConfigFolder(), 10000);
    // Under the lock the stored bytes are read afresh, whatever was loaded before.
    const std::string key = StoreKey(fileName);
    std::string bytes;
    const LoadResult result = LoadStored(key, bytes);
    Loaded() = LoadedFile{key, result, bytes};
    bool ok = result != LoadResult::Failed;
    if (ok) {
        if (std::optional<std::string> updated = edit(bytes)) {
            ok = zum_store_save(key.c_str(), reinterpret_cast<const std::uint8_t*>(updated->data()),
                                static_cast<int>(updated->size()));
            if (ok)
                Loaded() = LoadedFile{key, LoadResult::Ok, std::move(*updated)};
            else
                Loaded().reset();
        }
    }
    if (lock) files::UnlockFolder(*lock);
    return ok;
}

}  // namespace profile

void web::ForgetLoadedFiles() { Loaded().reset(); }

}  // namespace platform
