// The records file: a profile file named without a folder, which Windows keeps in its own folder
// (closed to programs today), lives in the user's application data, %APPDATA%\zum32\.
#include <windows.h>

#include <string>

namespace {

// The system's own function of that name, found once.
template <typename Function>
Function Kernel32(const char* name) {
    static HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

bool HasFolder(LPCSTR file) {
    // A double-byte character's trail byte may be a backslash; it names no folder.
    for (const char* p = file; *p; ++p) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
            ++p;
            continue;
        }
        if (*p == '\\' || *p == '/' || *p == ':') return true;
    }
    return false;
}

// The path the file is kept at; the folder is made when the file is about to be written.
std::string RecordsPath(LPCSTR file, bool writing) {
    if (!file || HasFolder(file)) return file ? file : "";
    char appData[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    if (length == 0 || length >= sizeof appData) return file;
    std::string folder = std::string(appData) + "\\zum32";
    if (writing) CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + file;
}

LPCSTR OrNull(LPCSTR file, const std::string& path) { return file ? path.c_str() : nullptr; }

UINT WINAPI RecordsInt(LPCSTR section, LPCSTR key, INT fallback, LPCSTR file) {
    static auto system = Kernel32<decltype(&GetPrivateProfileIntA)>("GetPrivateProfileIntA");
    const std::string path = RecordsPath(file, false);
    return system(section, key, fallback, OrNull(file, path));
}

DWORD WINAPI RecordsString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size,
                           LPCSTR file) {
    static auto system = Kernel32<decltype(&GetPrivateProfileStringA)>("GetPrivateProfileStringA");
    const std::string path = RecordsPath(file, false);
    return system(section, key, fallback, out, size, OrNull(file, path));
}

BOOL WINAPI RecordsWrite(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    static auto system =
        Kernel32<decltype(&WritePrivateProfileStringA)>("WritePrivateProfileStringA");
    const std::string path = RecordsPath(file, true);
    return system(section, key, value, OrNull(file, path));
}

}  // namespace

// The game's calls go through these import pointers, which the system's import library would
// otherwise define.
extern "C" {
decltype(&GetPrivateProfileIntA) __imp_GetPrivateProfileIntA = RecordsInt;
decltype(&GetPrivateProfileStringA) __imp_GetPrivateProfileStringA = RecordsString;
decltype(&WritePrivateProfileStringA) __imp_WritePrivateProfileStringA = RecordsWrite;
}
