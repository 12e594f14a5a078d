// Shared main of the test binaries: a headless Qt, a silent audio device, a private config folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    // gtest_discover_tests runs the binaries at build time without the ctest environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LANGUAGE", "ja", 1);  // the Japanese game whatever the machine's locale
    // Never touch the player's own records: every run gets a fresh configuration folder.
    // A fresh name even where every process has the same id, as under Node.
    std::string dir = (std::filesystem::temp_directory_path() / "zum32-test-XXXXXX").string();
    if (!mkdtemp(dir.data())) return 1;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return rc;
}
