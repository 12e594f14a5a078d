// Resource lookup in the table that the resource compiler embedded, and global memory.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "dialog_internal.h"
#include "internal.h"

namespace platform {

static bool SameName(LPCSTR a, const char* b) { return b && strcasecmp(a, b) == 0; }

// Whether the entry has that name and type; a numeric name matches the entry "#n".
static bool Matches(const rc::Entry& e, LPCSTR name, LPCSTR type) {
    bool typeMatches = IS_INTRESOURCE(type)
                           ? e.typeId != 0 && e.typeId == reinterpret_cast<ULONG_PTR>(type)
                           : e.typeId == 0 && SameName(type, e.typeName);
    if (!typeMatches) return false;
    if (IS_INTRESOURCE(name)) {
        char number[8];
        std::snprintf(number, sizeof number, "#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
        return std::strcmp(number, e.name) == 0;
    }
    return SameName(name, e.name);
}

const rc::Entry* FindEntryIn(LPCSTR name, LPCSTR type, LANGID language) {
    if (!name || !type) return nullptr;
    for (int i = 0; i < kModuleResources.count; ++i) {
        const rc::Entry& e = kModuleResources.entries[i];
        if (e.language == language && Matches(e, name, type)) return &e;
    }
    return nullptr;
}

const rc::Entry* FindEntry(LPCSTR name, LPCSTR type) {
    if (!name || !type) return nullptr;
    // Windows' order for a lookup in no particular language: the neutral resource, the UI
    // language, that language with no sublanguage, US English, and then whatever there is.
    const LANGID ui = GetUserDefaultUILanguage();
    const int order[] = {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), ui,
                         MAKELANGID(PRIMARYLANGID(ui), SUBLANG_NEUTRAL),
                         MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)};
    for (int language : order)
        if (const rc::Entry* e = FindEntryIn(name, type, static_cast<LANGID>(language))) return e;
    for (int i = 0; i < kModuleResources.count; ++i)
        if (Matches(kModuleResources.entries[i], name, type)) return &kModuleResources.entries[i];
    return nullptr;
}

}  // namespace platform

static HINSTANCE__ moduleInstance;

HINSTANCE GetModuleHandleA(LPCSTR) { return &moduleInstance; }

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    return reinterpret_cast<HRSRC>(const_cast<rc::Entry*>(platform::FindEntry(name, type)));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) { return resource; }

LPVOID LockResource(HGLOBAL data) {
    if (!data) return nullptr;
    auto* e = static_cast<const rc::Entry*>(data);
    return const_cast<void*>(e->kind == rc::Kind::Bytes ? static_cast<const void*>(e->bytes)
                                                         : e->structured);
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    const rc::Entry* e = platform::FindEntry(MAKEINTRESOURCEA(id / 16 + 1), RT_STRING);
    if (!e) return 0;
    const char16_t* text = static_cast<const rc::StringBlock*>(e->structured)->texts[id % 16];
    if (!text) return 0;
    std::string bytes = platform::Utf16ToCp932(text);
    // Cut to the buffer on a whole character, as the conversion into a short buffer does.
    const std::size_t length = platform::Cp932Prefix(bytes, static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, bytes.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

DWORD SizeofResource(HMODULE, HRSRC resource) {
    return resource ? static_cast<DWORD>(reinterpret_cast<const rc::Entry*>(resource)->size) : 0;
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    return (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1)
                                   : std::malloc(bytes ? bytes : 1);
}

LPVOID GlobalLock(HGLOBAL memory) { return memory; }
BOOL GlobalUnlock(HGLOBAL) { return FALSE; }

HGLOBAL GlobalFree(HGLOBAL memory) {
    std::free(memory);
    return nullptr;
}
