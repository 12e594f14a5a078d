// Private profile (INI) files: the Windows calls over the text rules and the file store.
#include <optional>
#include <string>

#include "profile_store.h"
#include "profile_text.h"
#include "profile_utf16.h"
#include "winbase.h"

namespace {

using namespace platform::profile;

// The file's text for a read, in code page 932: empty when it is missing or cannot be read.
std::string ReadForLookup(LPCSTR fileName) {
    std::string bytes;
    if (!fileName || !fileName[0] || LoadFile(fileName, bytes) != LoadResult::Ok) return {};
    return IsUtf16(bytes) ? Utf16File(bytes).Text() : bytes;
}

}  // namespace

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
    return ChangeFile(fileName, [&](const std::string& bytes) -> std::optional<std::string> {
        // A file in UTF-16 is edited as code page 932 text and stays UTF-16; a UTF-8 mark is
        // just bytes, as on Windows.
        std::optional<Utf16File> utf16;
        if (IsUtf16(bytes)) utf16.emplace(bytes);
        const std::string& text = utf16 ? utf16->Text() : bytes;
        std::string updated = WriteString(text, section, key, value);
        // Writing the value that is there, or deleting what is not, leaves the file as it is.
        if (updated == text) return std::nullopt;
        return utf16 ? utf16->Encode(updated) : updated;
    }) ? TRUE : FALSE;
}
