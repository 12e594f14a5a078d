// libFuzzer target: a write into any file reads back byte for byte and leaves every other key as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/profile_text.h"
#include "platform/core/profile_utf16.h"

namespace {

using namespace platform::profile;

// Bounds the work per input: every listed key is read before and after the write.
constexpr std::size_t kMaxNames = 48;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "profile_write_fuzz: %s\n", what);
    std::abort();
}

std::string Read(std::string_view text, const char* section, const char* key) {
    std::vector<char> buffer(8192);
    std::uint32_t count = ReadString(text, section, key, "\n", buffer.data(),
                                     static_cast<std::uint32_t>(buffer.size()));
    return std::string(buffer.data(), count);
}

std::vector<std::string> Names(const std::string& list) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list.size() && names.size() < kMaxNames;) {
        std::size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        names.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool HasLineEnd(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A name that a line can hold: no line end, and no lead byte left without its trail byte.
bool WholeCharacters(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(s[i])) && ++i == s.size()) return false;
    }
    return true;
}

// Conditions under which the round trip is promised; other writes only have to be safe.
bool RoundTripApplies(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (HasLineEnd(section) || HasLineEnd(key) || HasLineEnd(value)) return false;
    if (!WholeCharacters(section)) return false;
    // "=" ends the key, and a key line that opens with "[" may read as a header.
    if (key.find('=') != std::string_view::npos || (!key.empty() && key.front() == '['))
        return false;
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Strings are cut at a NUL, as the C strings of the calls would be.
    const std::string section = input.ConsumeRandomLengthString(40).c_str();
    const std::string key = input.ConsumeRandomLengthString(40).c_str();
    const std::string value = input.ConsumeRandomLengthString(200).c_str();
    const std::string file = input.ConsumeRemainingBytesAsString();

    const std::string written = WriteString(file, section.c_str(), key.c_str(), value.c_str());
    // Deleting the key and the section must be as safe as writing.
    WriteString(written, section.c_str(), key.c_str(), nullptr);
    WriteString(written, section.c_str(), nullptr, nullptr);
    // The same bytes as a UTF-16 file: the text unchanged gives back the very bytes, and an
    // edit never trips over odd lengths or lone surrogates.
    const std::string utf16 = "\xFF\xFE" + file;
    const Utf16File unicode(utf16);
    if (unicode.Encode(unicode.Text()) != utf16) Fail("an unedited UTF-16 file changed");
    unicode.Encode(WriteString(unicode.Text(), section.c_str(), key.c_str(), value.c_str()));
    if (!RoundTripApplies(section, key, value)) return 0;

    if (Read(written, section.c_str(), key.c_str()) != value) Fail("value does not read back");

    // Every key that was readable before reads the same, except the one written.
    std::vector<std::string> sections = Names(Read(file, nullptr, nullptr));
    std::size_t lookups = 0;
    for (const std::string& s : sections) {
        for (const std::string& k : Names(Read(file, s.c_str(), nullptr))) {
            if (++lookups > kMaxNames) return 0;
            if (NamesEqual(TrimBlanks(s), TrimBlanks(section)) &&
                NamesEqual(TrimBlanks(k), TrimBlanks(key)))
                continue;
            if (Read(file, s.c_str(), k.c_str()) != Read(written, s.c_str(), k.c_str()))
                Fail("another key changed");
        }
    }
    return 0;
}
