// libFuzzer target: any bytes as a profile file; every read stays inside its buffer and ends in NUL.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/profile_text.h"
#include "platform/core/profile_utf16.h"
#include "winbase.h"

namespace {

using platform::profile::ReadInteger;
using platform::profile::ReadString;
using platform::profile::IsUtf16;
using platform::profile::Utf16File;

// The game's own section in CP932, so that the seed file's keys are found.
const char kSection[] = "\x82\xb8\x82\xde\x83\x5e\x83\x43" "32";
// Buffer sizes of interest: the NUL alone, one byte, one double-byte character, a record name, plenty.
constexpr std::uint32_t kSizes[] = {1, 2, 3, 17, 4096};
// Bounds the work per input: every read walks the whole file again.
constexpr std::size_t kMaxNames = 12;

std::string g_folder;
std::string g_path;

void RemoveTemporaries() {
    unlink(g_path.c_str());
    rmdir(g_folder.c_str());
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "profile_read_fuzz: %s\n", what);
    std::abort();
}

// One read into a buffer of exactly size bytes (so that the sanitizer sees any write past it).
std::string ReadInto(std::string_view text, const char* section, const char* key,
                     std::uint32_t size) {
    std::vector<char> buffer(size, '\x55');
    std::uint32_t count = ReadString(text, section, key, "default \t", buffer.data(), size);
    if (count >= size) Fail("count does not leave room for the NUL");
    if (buffer[count] != '\0') Fail("result is not NUL-terminated");
    return std::string(buffer.data(), count);
}

// The names of a NUL-separated list, as the list read gives them.
std::vector<std::string> Names(const std::string& list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < list.size() && names.size() < kMaxNames) {
        std::size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        names.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

void CheckValue(std::string_view text, const char* section, const char* key) {
    std::string whole = ReadInto(text, section, key, 4096);
    for (std::uint32_t size : {1u, 2u, 17u}) {
        std::string cut = ReadInto(text, section, key, size);
        // A smaller buffer gets a prefix of the value, never other bytes.
        if (whole.compare(0, cut.size(), cut) != 0) Fail("cut value is no prefix of the whole");
    }
    ReadInteger(text, section, key, -1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/zum32-fuzz-XXXXXX";
    if (!mkdtemp(folder)) Fail("cannot make a temporary folder");
    g_folder = folder;
    g_path = g_folder + "/ZUM32.INI";
    std::atexit(RemoveTemporaries);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    // Section list, each section's key list, each key's value.
    for (std::uint32_t listSize : kSizes) ReadInto(text, nullptr, nullptr, listSize);
    std::vector<std::string> sections = Names(ReadInto(text, nullptr, nullptr, 4096));
    sections.emplace_back(kSection);
    std::size_t lookups = 0;
    for (const std::string& section : sections) {
        for (std::uint32_t listSize : kSizes) ReadInto(text, section.c_str(), nullptr, listSize);
        for (const std::string& key : Names(ReadInto(text, section.c_str(), nullptr, 4096))) {
            if (++lookups > kMaxNames) break;
            CheckValue(text, section.c_str(), key.c_str());
        }
    }
    CheckValue(text, kSection, "LEVEL");
    CheckValue(text, kSection, "NAME1(1)");
    CheckValue(text, kSection, "TIME5(3)");

    // The same bytes through the file calls, as the game reads its records.
    FILE* f = std::fopen(g_path.c_str(), "wb");
    if (!f) Fail("cannot write the temporary file");
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    char name[17];
    std::uint32_t count =
        GetPrivateProfileStringA(kSection, "NAME1(1)", "NOTHING", name, sizeof name, g_path.c_str());
    if (count >= sizeof name || name[count] != '\0') Fail("file read overran the name buffer");
    // A file in UTF-16 reads as its text in code page 932.
    const std::string seen = IsUtf16(text) ? Utf16File(text).Text() : std::string(text);
    char again[17];
    std::uint32_t againCount = ReadString(seen, kSection, "NAME1(1)", "NOTHING", again, sizeof again);
    if (count != againCount || std::memcmp(name, again, count) != 0)
        Fail("the file read differs from the read of its bytes");
    if (GetPrivateProfileIntA(kSection, "TIME1(1)", 7, g_path.c_str()) !=
        ReadInteger(seen, kSection, "TIME1(1)", 7))
        Fail("the file's integer differs from the integer of its bytes");
    return 0;
}
