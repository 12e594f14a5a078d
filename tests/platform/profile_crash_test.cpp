// Records files survive a writer killed at any moment, a disk that fills up mid-write, and two
// processes writing at once.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "winbase.h"

namespace {

namespace fs = std::filesystem;

const char kSection[] = "\x82\xb8\x82\xde\x83\x5e\x83\x43" "32";  // the game's section, CP932
const char kKey[] = "NAME1(1)";
const char kOldValue[] = "NO DATA";
const char kNewValue[] = "\x82\xb8\x82\xde\x91\xbe\x98\x59" "ABCDEFGH";  // 16 bytes, as a name may be

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ProfileCrash : public testing::Test {
protected:
    void SetUp() override {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("zum32-crash-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = (folder_ / "ZUM32.INI").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // A records file with enough history that a rewrite takes a while: the old version holds
    // kOldValue under kKey, the new one kNewValue, and the real writer makes both.
    void MakeVersions() {
        std::string history = "[History]\r\n";
        char line[64];
        for (int i = 0; i < 800; ++i) {
            std::snprintf(line, sizeof line, "HISTORY%d=%08d level %d\r\n", i, i * 7919, i % 3 + 1);
            history += line;
        }
        std::ofstream(path_, std::ios::binary) << history;
        ASSERT_TRUE(WritePrivateProfileStringA(kSection, "LEVEL", "2", path_.c_str()));
        ASSERT_TRUE(WritePrivateProfileStringA(kSection, kKey, kNewValue, path_.c_str()));
        newVersion_ = Slurp(path_);
        ASSERT_TRUE(WritePrivateProfileStringA(kSection, kKey, kOldValue, path_.c_str()));
        oldVersion_ = Slurp(path_);
        ASSERT_NE(oldVersion_.size(), newVersion_.size());
        ASSERT_GT(oldVersion_.size(), 16000u);
    }

    // The folder's entries other than the records file: temporaries a killed writer left.
    int LeftoverCount() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(folder_)) n += e.path() != fs::path(path_);
        return n;
    }

    fs::path folder_;
    std::string path_;
    std::string oldVersion_;
    std::string newVersion_;
};

TEST_F(ProfileCrash, KilledWriterLeavesTheOldOrTheNewFileWhole) {
    MakeVersions();
    // A fixed seed keeps the run repeatable; the kill moments still vary with the machine.
    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delayNs(0, 3'000'000);
    std::uniform_int_distribution<int> rewritesFirst(0, 1);
    int sawOld = 0, sawNew = 0;
    // 300 kills, or as many as fit in 15 s where fork is slow (under the sanitizers), but never
    // fewer than 100.
    const auto start = std::chrono::steady_clock::now();
    int kill = 0;
    for (; kill < 300; ++kill) {
        if (kill >= 100 && std::chrono::steady_clock::now() - start > std::chrono::seconds(15)) break;
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            // Rewrites the file for ever, alternating the two versions, and reports each result.
            close(progress[0]);
            for (unsigned i = 0;; ++i) {
                char ok = WritePrivateProfileStringA(kSection, kKey, i % 2 ? kOldValue : kNewValue,
                                                     path_.c_str())
                              ? '1'
                              : '0';
                if (write(progress[1], &ok, 1) != 1) _exit(2);
            }
        }
        close(progress[1]);
        // Waiting for a few whole rewrites first spreads the kills over the whole cycle, however
        // long one rewrite takes on this disk.
        bool rewritesOk = true;
        for (int n = rewritesFirst(random); n > 0; --n) {
            char ok = '0';
            rewritesOk = read(progress[0], &ok, 1) == 1 && ok == '1' && rewritesOk;
        }
        timespec pause{0, delayNs(random)};
        nanosleep(&pause, nullptr);
        ::kill(child, SIGKILL);
        close(progress[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        ASSERT_TRUE(rewritesOk) << "a rewrite failed before kill " << kill;

        const std::string now = Slurp(path_);
        if (now == oldVersion_) {
            ++sawOld;
        } else if (now == newVersion_) {
            ++sawNew;
        } else {
            FAIL() << "kill " << kill << " left a file of " << now.size() << " bytes that is "
                   << "neither version (" << oldVersion_.size() << " or " << newVersion_.size()
                   << " bytes)";
        }
    }
    // Both versions turned up, so the kills really fell between and during rewrites.
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
    RecordProperty("kills", kill);
    RecordProperty("kills_leaving_old", sawOld);
    RecordProperty("kills_leaving_new", sawNew);
    // A killed writer may leave its temporary beside the file; it never takes the file's name,
    // and the next write sweeps it away, but not the temporary of a writer still alive.
    RecordProperty("leftover_temporaries", LeftoverCount());
    const fs::path live = folder_ / ('.' + fs::path(path_).filename().string() + ".tmp" +
                                     std::to_string(getpid()) + "-999999");
    std::ofstream(live) << "a write in progress";
    // A value the file holds already would leave the folder alone.
    const char* change = Slurp(path_) == oldVersion_ ? kNewValue : kOldValue;
    ASSERT_TRUE(WritePrivateProfileStringA(kSection, kKey, change, path_.c_str()));
    EXPECT_EQ(LeftoverCount(), 1);
    EXPECT_TRUE(fs::exists(live));
    fs::remove(live);
}

// A child whose file size limit stops the rewrite, either killed by SIGXFSZ as any process that
// does not handle it, or seeing the write fail when it ignores the signal.
TEST_F(ProfileCrash, FullDiskInAChildLeavesTheOldFile) {
    MakeVersions();
    const std::string big(8000, 'x');
    for (bool ignoreSignal : {false, true}) {
        SCOPED_TRACE(ignoreSignal ? "SIGXFSZ ignored" : "SIGXFSZ kills");
        pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            if (ignoreSignal) std::signal(SIGXFSZ, SIG_IGN);
            rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);  // SIGXFSZ would dump core
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            // Room for the old file's size but not for the new one: the write fails half-way.
            limit.rlim_cur = oldVersion_.size() + 100;
            setrlimit(RLIMIT_FSIZE, &limit);
            BOOL ok = WritePrivateProfileStringA(kSection, kKey, big.c_str(), path_.c_str());
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (ignoreSignal) {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 1) << "the write reported success";
        } else {
            ASSERT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
        }
        EXPECT_EQ(Slurp(path_), oldVersion_);
        // The next write, with room again, goes through.
        ASSERT_TRUE(WritePrivateProfileStringA(kSection, kKey, kNewValue, path_.c_str()));
        EXPECT_EQ(Slurp(path_), newVersion_);
        ASSERT_TRUE(WritePrivateProfileStringA(kSection, kKey, kOldValue, path_.c_str()));
    }
}

// Each write reads the file, changes it and replaces it: two processes writing other keys at
// the same time must not replace each other's changes.
TEST_F(ProfileCrash, TwoWritersAtOnceLoseNoKey) {
    constexpr int kKeys = 40;
    auto Key = [](int writer, int i) {
        char key[32];  // room for any two numbers
        std::snprintf(key, sizeof key, "W%dK%d", writer, i);
        return std::string(key);
    };
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_NE(writers[w], -1);
        if (writers[w] == 0) {
            close(go[1]);
            char c;
            if (read(go[0], &c, 1) != 0) _exit(3);  // both start when the pipe closes
            for (int i = 0; i < kKeys; ++i) {
                if (!WritePrivateProfileStringA(kSection, Key(w, i).c_str(), "1", path_.c_str()))
                    _exit(1);
            }
            _exit(0);
        }
    }
    close(go[0]);
    close(go[1]);
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int missing = 0;
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kKeys; ++i)
            missing += GetPrivateProfileIntA(kSection, Key(w, i).c_str(), 0, path_.c_str()) != 1;
    EXPECT_EQ(missing, 0);
}

}  // namespace
