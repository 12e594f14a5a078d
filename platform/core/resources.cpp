// Resource lookup in the table that the resource compiler embedded, and global memory.
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "internal.h"

namespace platform {

static bool SameName(LPCSTR a, const char* b) { return b && strcasecmp(a, b) == 0; }

const rc::Entry* FindEntry(LPCSTR name, LPCSTR type) {
    if (!name || !type) return nullptr;
    for (int i = 0; i < kModuleResources.count; ++i) {
        const rc::Entry& e = kModuleResources.entries[i];
        bool typeMatches = IS_INTRESOURCE(type)
                               ? e.typeId != 0 && e.typeId == reinterpret_cast<ULONG_PTR>(type)
                               : e.typeId == 0 && SameName(type, e.typeName);
        if (!typeMatches) continue;
        // Our script names every resource by text, so a numeric name finds nothing.
        if (!IS_INTRESOURCE(name) && SameName(name, e.name)) return &e;
    }
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
