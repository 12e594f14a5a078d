// Named mutexes are seen by every process of the user; a process's own waits nest.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "winbase.h"

namespace {

TEST(MutexTest, AnotherProcessWaitsForTheOwner) {
    int owned[2], release[2];
    ASSERT_EQ(pipe(owned), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        HANDLE mutex = CreateMutexA(nullptr, FALSE, "MUTEX_TEST");
        char c = WaitForSingleObject(mutex, INFINITE) == WAIT_OBJECT_0 ? '1' : '0';
        if (write(owned[1], &c, 1) != 1 || read(release[0], &c, 1) != 1) _exit(2);
        _exit(ReleaseMutex(mutex) && CloseHandle(mutex) ? 0 : 1);
    }
    char c = 0;
    ASSERT_EQ(read(owned[0], &c, 1), 1);
    ASSERT_EQ(c, '1');

    HANDLE mutex = CreateMutexA(nullptr, FALSE, "MUTEX_TEST");
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 50), WAIT_TIMEOUT);
    EXPECT_FALSE(ReleaseMutex(mutex));
    // An unnamed mutex belongs to this process alone.
    HANDLE own = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(own, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(own));
    EXPECT_TRUE(CloseHandle(own));

    ASSERT_EQ(write(release[1], "x", 1), 1);
    EXPECT_EQ(WaitForSingleObject(mutex, 10000), WAIT_OBJECT_0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // A second handle of the same name in the owning process takes it at once, and the
    // profile writes, which lock the same folder, do too.
    HANDLE again = CreateMutexA(nullptr, FALSE, "MUTEX_TEST");
    EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "1", "mutex_test.ini"));
    EXPECT_TRUE(ReleaseMutex(again));
    EXPECT_FALSE(ReleaseMutex(again));
    EXPECT_TRUE(CloseHandle(again));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(CloseHandle(mutex));
    EXPECT_FALSE(CloseHandle(mutex));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    for (int fd : {owned[0], owned[1], release[0], release[1]}) close(fd);
}

}  // namespace
