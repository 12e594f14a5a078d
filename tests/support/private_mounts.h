// Runs part of a test in a child process with mounts of its own, which vanish with it: a small
// disk that fills up, a folder that even root cannot write to.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace testing_support {

enum class ChildRun { Passed, Failed, NoMounts };

// The body's failures are printed by the child and make the run Failed. With needMounts the
// child first gets a mount namespace of its own; NoMounts when the system refuses one.
inline ChildRun RunInChild(bool needMounts, const std::function<void()>& body) {
    constexpr int kNoMounts = 77;
    pid_t child = fork();
    if (child < 0) return ChildRun::Failed;
    if (child == 0) {
        if (needMounts && (unshare(CLONE_NEWNS) != 0 ||
                           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0))
            _exit(kNoMounts);
        body();
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return ChildRun::Failed;
    if (WEXITSTATUS(status) == kNoMounts) return ChildRun::NoMounts;
    return WEXITSTATUS(status) == 0 ? ChildRun::Passed : ChildRun::Failed;
}

// A fresh disk of 64 KiB on folder, in the child's own mount namespace.
inline bool MountSmallDisk(const std::string& folder) {
    return mount("zum32-test", folder.c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0;
}

// Takes every byte left on the disk that holds folder.
inline bool FillDisk(const std::string& folder) {
    int fd = open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    static const char block[4096] = {};
    while (write(fd, block, sizeof block) > 0) {
    }
    while (write(fd, block, 1) > 0) {
    }
    close(fd);
    return true;
}

// The small disk on folder becomes read-only, for root as well.
inline bool MakeDiskReadOnly(const std::string& folder) {
    return mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

}  // namespace testing_support
