// libFuzzer target: any text as a resource script; the compiler either builds it or says why, never crashes.
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "rc_compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // File names and #include resolve against the real resources, so the game's script compiles
    // whole and a mutated one reaches the bitmap, icon and cursor checks.
    static const std::filesystem::path kResources =
        std::filesystem::path(ZUM32_SOURCE_DIR) / "resources";
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        rc::Script script = rc::Compile(text, kResources, "fuzz.rc");
        rc::Emit(script, "fuzz");
        rc::Depfile("fuzz_resources.cpp", script);
    } catch (const rc::CompileError&) {
        // A fault in the script is reported with its line: the outcome wanted for bad input.
    }
    return 0;
}
