// Mutexes: a named one is a lock on the configuration folder, so that every copy of the game
// run by the user sees it; an unnamed one belongs to this process alone. While a named one is
// held, the profile writes wait in memory and reach their files when it is let go.
#include <optional>
#include <set>
#include <string>

#include "config_folder.h"
#include "folder_lock.h"
#include "profile_hold.h"
#include "windows.h"

namespace {

using platform::files::FolderLockId;

struct Mutex {
    std::string folder;  // empty: no lock beyond this process
    int owned = 0;       // nested ownerships through this handle
    std::optional<FolderLockId> lock;
};

std::set<Mutex*>& Mutexes() {
    static std::set<Mutex*> mutexes;
    return mutexes;
}

Mutex* Find(HANDLE handle) {
    auto* mutex = static_cast<Mutex*>(handle);
    return Mutexes().count(mutex) ? mutex : nullptr;
}

// Stores the writes held under the lock before another copy can read the file, then lets the
// lock go; false when they could not be stored.
bool LetGo(Mutex& mutex) {
    const bool stored = platform::profile::ReleaseWrites();
    platform::files::UnlockFolder(*mutex.lock);
    mutex.lock.reset();
    return stored;
}

}  // namespace

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
    auto* mutex = new Mutex;
    if (name) {
        std::string folder = platform::files::ConfigFolder();
        // Without a folder to lock there is no file that other processes could share either.
        if (!folder.empty() && platform::files::MakeFolders(folder)) mutex->folder = folder;
    }
    Mutexes().insert(mutex);
    if (initialOwner) WaitForSingleObject(mutex, INFINITE);
    return mutex;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    Mutex* mutex = Find(handle);
    if (!mutex) return WAIT_FAILED;
    if (mutex->owned == 0 && !mutex->folder.empty()) {
        mutex->lock = platform::files::LockFolder(mutex->folder, milliseconds);
        if (!mutex->lock) return WAIT_TIMEOUT;
        platform::profile::HoldWrites();
    }
    ++mutex->owned;
    return WAIT_OBJECT_0;
}

// A release that could not store the writes held under the lock fails; the lock is let go all
// the same.
BOOL ReleaseMutex(HANDLE handle) {
    Mutex* mutex = Find(handle);
    if (!mutex || mutex->owned == 0) return FALSE;
    if (--mutex->owned == 0 && mutex->lock) return LetGo(*mutex) ? TRUE : FALSE;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    Mutex* mutex = Find(handle);
    if (!mutex) return FALSE;
    if (mutex->lock) LetGo(*mutex);
    Mutexes().erase(mutex);
    delete mutex;
    return TRUE;
}
