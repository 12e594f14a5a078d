// Private profile (INI) files: the Windows calls over the text rules and the file store.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "profile_hold.h"
#include "profile_store.h"
#include "profile_text.h"
#include "profile_utf16.h"
#include "winbase.h"

namespace {

using namespace platform::profile;

// One WritePrivateProfileStringA; an absent key or value is a null argument.
struct Write {
    std::string section;
    std::optional<std::string> key;
    std::optional<std::string> value;
};

const char* OrNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

struct Hold {
    int depth = 0;
    std::map<std::string, std::vector<Write>> files;  // by the name the game gave
};

Hold& Held() {
    static Hold hold;
    return hold;
}

const std::vector<Write>* HeldWrites(LPCSTR fileName) {
    const Hold& hold = Held();
    auto found = hold.files.find(fileName);
    return found == hold.files.end() ? nullptr : &found->second;
}

// The file's code page 932 text after the writes.
std::string Applied(std::string text, const std::vector<Write>& writes) {
    for (const Write& write : writes)
        text = WriteString(text, write.section.c_str(), OrNull(write.key), OrNull(write.value));
    return text;
}

// The file's new bytes after the writes, or nothing when they leave it as it is. A file in
// UTF-16 is edited as code page 932 text and stays UTF-16; a UTF-8 mark is just bytes, as on
// Windows.
std::optional<std::string> Edited(const std::string& bytes, const std::vector<Write>& writes) {
    std::optional<Utf16File> utf16;
    if (IsUtf16(bytes)) utf16.emplace(bytes);
    const std::string& text = utf16 ? utf16->Text() : bytes;
    std::string updated = Applied(text, writes);
    // Writing the value that is there, or deleting what is not, leaves the file as it is.
    if (updated == text) return std::nullopt;
    return utf16 ? utf16->Encode(updated) : updated;
}

// The file's text for a read, in code page 932: empty when it is missing or cannot be read.
std::string ReadForLookup(LPCSTR fileName) {
    std::string bytes;
    if (!fileName || !fileName[0]) return {};
    const std::vector<Write>* held = HeldWrites(fileName);
    const LoadResult result = LoadFile(fileName, bytes);
    if (result == LoadResult::Failed || (result == LoadResult::Missing && !held)) return {};
    std::string text = IsUtf16(bytes) ? Utf16File(bytes).Text() : bytes;
    return held ? Applied(std::move(text), *held) : text;
}

}  // namespace

namespace platform::profile {

void HoldWrites() { ++Held().depth; }

bool ReleaseWrites() {
    Hold& hold = Held();
    if (hold.depth == 0 || --hold.depth > 0) return true;
    bool stored = true;
    for (const auto& file : hold.files) {
        const std::vector<Write>& writes = file.second;
        stored = ChangeFile(file.first.c_str(), [&](const std::string& bytes) {
                     return Edited(bytes, writes);
                 }) && stored;
    }
    hold.files.clear();
    return stored;
}

}  // namespace platform::profile

BOOL IsDBCSLeadByte(BYTE byte) { return IsLeadByte(byte) ? TRUE : FALSE; }

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName) {
    return ReadInteger(ReadForLookup(fileName), section, key, defaultValue);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
    if (!buffer || size == 0) return 0;
    return ReadString(ReadForLookup(fileName), section, key, defaultValue, buffer, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    // All three null asks Windows to flush its cache; we keep none.
    if (!section) return key == nullptr && value == nullptr ? TRUE : FALSE;
    if (!fileName || !fileName[0]) return FALSE;
    Write write{section, key ? std::optional<std::string>(key) : std::nullopt,
                value ? std::optional<std::string>(value) : std::nullopt};
    Hold& hold = Held();
    if (hold.depth > 0) {
        // A file that cannot be read now will not take the writes at the end either; one look
        // at its first write is enough.
        std::string bytes;
        if (!hold.files.count(fileName) && LoadFile(fileName, bytes) == LoadResult::Failed)
            return FALSE;
        hold.files[fileName].push_back(std::move(write));
        return TRUE;
    }
    const std::vector<Write> writes{std::move(write)};
    return ChangeFile(fileName, [&](const std::string& bytes) { return Edited(bytes, writes); })
               ? TRUE
               : FALSE;
}
