// A records file that the player brings to the page: put whole in place of the stored one when
// the game can read it, refused with the reason when not, the stored records then left as they are.
#include "records_import.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../core/profile_store.h"
#include "../core/profile_text.h"
#include "../core/profile_utf16.h"
#include "page.h"
#include "page_texts.h"
#include "resource.h"

namespace platform::web {
namespace {

constexpr int kLargest = 64 * 1024;

// Why the game cannot take these bytes as its records file (UTF-8), or null when it can.
const char* Refusal(const std::string& bytes, int size) {
    if (size > kLargest) return Text(PageText::kRecordsTooLarge);
    const bool utf16 = profile::IsUtf16(bytes);
    if (!utf16 && bytes.find('\0') != std::string::npos) return Text(PageText::kRecordsNotText);
    // The section names as GetPrivateProfileStringA lists them from the same text rules.
    const std::string text = utf16 ? profile::Utf16File(bytes).Text() : bytes;
    std::vector<char> names(text.size() + 2);
    const std::uint32_t length = profile::ReadString(text, nullptr, nullptr, "", names.data(),
                                                     static_cast<std::uint32_t>(names.size()));
    const std::string section = Utf8ToCp932("ずむタイ32");
    for (std::uint32_t at = 0; at < length;) {
        const std::string name(names.data() + at);
        if (profile::NamesEqual(name, section)) return nullptr;
        at += static_cast<std::uint32_t>(name.size()) + 1;
    }
    return Text(PageText::kRecordsNoSection);
}

void Refuse(HWND owner, const char* reason) {
    const std::string text = std::string(Text(PageText::kRecordsNotRead)) + "\n" + reason;
    MessageBoxA(owner, Utf8ToCp932(text).c_str(), Utf8ToCp932(Text(PageText::kBoxCaption)).c_str(),
                MB_OK | MB_ICONSTOP);
}

}  // namespace

void TakeOfferedRecords(HWND owner) {
    std::string bytes(kLargest + 1, '\0');
    const int size = zum_records_offered(reinterpret_cast<std::uint8_t*>(bytes.data()), kLargest + 1);
    if (size < 0 || !owner) return;
    bytes.resize(std::min(size, kLargest + 1));
    if (const char* reason = Refusal(bytes, size)) {
        Refuse(owner, reason);
        return;
    }
    // Stored byte for byte, as the file lies on the desktop: the game's own writes then keep its
    // encoding.
    if (!profile::ChangeFile("ZUM32.INI", [&](const std::string&) { return bytes; })) {
        Refuse(owner, Text(PageText::kRecordsNotStored));
        return;
    }
    MessageBoxA(owner, Utf8ToCp932(Text(PageText::kRecordsTaken)).c_str(),
                Utf8ToCp932(Text(PageText::kBoxCaption)).c_str(), MB_OK);
    PostMessageA(owner, RegisterWindowMessageA(RECORDS_REPLACED_MESSAGE), 0, 0);
}

void RefuseUnreadableRecords(HWND owner) {
    if (owner) Refuse(owner, Text(PageText::kRecordsUnreadable));
}

}  // namespace platform::web
