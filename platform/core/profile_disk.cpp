// Private profile files on the disk: where they live, how they are read and replaced atomically.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "config_folder.h"
#include "folder_lock.h"
#include "profile_store.h"

namespace {

using platform::profile::LoadResult;
using platform::files::ConfigFolder;
using platform::files::MakeFolders;

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// A file copied from Windows may be spelled in any case: take the existing one whose name
// matches ignoring case (the first in byte order when several do).
std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
    std::string exact = folder + "/" + name;
    struct stat st;
    if (lstat(exact.c_str(), &st) == 0) return exact;
    std::string best;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::string_view candidate = entry->d_name;
            if (SameNameIgnoringCase(candidate, name) && (best.empty() || candidate < best)) {
                best = candidate;
            }
        }
        closedir(dir);
    }
    return best.empty() ? exact : folder + "/" + best;
}

// The path that fileName names; nullopt when none can be made.
std::optional<std::string> ResolvePath(const char* fileName, bool createFolder) {
    if (!fileName || !fileName[0]) return std::nullopt;
    std::string name = fileName;
    if (name.find('/') != std::string::npos) return name;
    std::string folder = ConfigFolder();
    if (folder.empty()) return std::nullopt;
    if (createFolder && !MakeFolders(folder)) return std::nullopt;
    return FindIgnoringCase(folder, name);
}

LoadResult ReadAll(const std::string& path, std::string& out) {
    out.clear();
    // Non-blocking, so that a FIFO in the file's place cannot hang the open.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? LoadResult::Missing : LoadResult::Failed;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return LoadResult::Failed;
    }
    out.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n > 0) {
            out.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            close(fd);
            out.clear();
            return LoadResult::Failed;
        }
    }
    close(fd);
    return LoadResult::Ok;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Removes the temporaries that writers killed mid-write left beside path: those whose process
// is gone. A live writer's temporary is left alone.
void SweepStaleTemporaries(const std::string& folder, const std::string& base) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = "." + base + ".tmp";
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        char* end = nullptr;
        long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid <= 0 || *end != '-') continue;
        if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
}

// Writes a temporary file beside path, flushes it to the disk and renames it over path, so
// that a crash or a full disk leaves either the old file or the new one, never half of one.
bool ReplaceFile(const std::string& path, std::string_view bytes, const struct stat* old) {
    std::size_t slash = path.rfind('/');  // every path here holds one
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    std::string base = path.substr(slash + 1);

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + base + ".tmp" + std::to_string(getpid()) + "-" +
               std::to_string(counter++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    if (old) fchmod(fd, old->st_mode & 07777);
    bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    if (int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    SweepStaleTemporaries(folder, base);
    return true;
}

// Holds the lock on a file's folder for one read-modify-write, so that two processes writing
// the same file lose neither change. A writer that cannot have it within the wait goes on
// unlocked: the replace stays atomic, and a stuck process cannot stop every write.
class FileChangeLock {
public:
    explicit FileChangeLock(const std::string& path)
        : id_(platform::files::LockFolder(path.substr(0, std::max<std::size_t>(path.rfind('/'), 1)),
                                          10000)) {}
    ~FileChangeLock() {
        if (id_) platform::files::UnlockFolder(*id_);
    }
    FileChangeLock(const FileChangeLock&) = delete;
    FileChangeLock& operator=(const FileChangeLock&) = delete;

private:
    std::optional<platform::files::FolderLockId> id_;
};

}  // namespace

namespace platform::profile {

LoadResult LoadFile(const char* fileName, std::string& bytes) {
    bytes.clear();
    std::optional<std::string> path = ResolvePath(fileName, false);
    return path ? ReadAll(*path, bytes) : LoadResult::Failed;
}

bool ChangeFile(const char* fileName, const FileEdit& edit) {
    std::optional<std::string> resolved = ResolvePath(fileName, true);
    if (!resolved) return false;
    std::string path = *resolved;

    struct stat st;
    bool exists = lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        // Replace the file the link points to, and keep the link.
        if (char* real = realpath(path.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    FileChangeLock lock(path);
    exists = stat(path.c_str(), &st) == 0;
    // A file without any write permission is read-only, even to root, as on Windows.
    if (exists && ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0)) return false;

    // A folder or anything else that is no regular file fails here.
    std::string bytes;
    if (ReadAll(path, bytes) == LoadResult::Failed) return false;
    std::optional<std::string> updated = edit(bytes);
    if (!updated) return true;
    return ReplaceFile(path, *updated, exists ? &st : nullptr);
}

}  // namespace platform::profile
