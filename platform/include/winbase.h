// Kernel services: module resources, global memory, private profile files, calendar time.
#pragma once

#include "windef.h"

// Resource types named by number.
#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_ACCELERATOR MAKEINTRESOURCEA(9)

// Resources are embedded in the executable; their bytes stay valid for the life of the process.
// A resource in several languages is found in the one GetUserDefaultUILanguage chooses.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);  // names and types match ignoring case
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
BOOL FreeResource(HGLOBAL data);  // nothing to free: always FALSE
DWORD SizeofResource(HMODULE module, HRSRC resource);

// Global memory.
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);  // null on success

// Code page 932: whether the byte starts a double-byte character.
BOOL IsDBCSLeadByte(BYTE byte);

// Private profile (INI) files. A bare file name lives in $XDG_CONFIG_HOME/zum32/.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName);
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName);  // bytes copied, NUL not counted
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value,
                                LPCSTR fileName);  // atomic replace; FALSE and old file kept on failure

// Mutexes. A named one is shared by every process of the user (one lock on the configuration
// folder serves every name); owners nest, as a thread's waits on a mutex it owns do.
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;  // never here: the lock of an owner that died is free
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner,
                    LPCSTR name);  // null name: a mutex of this process alone
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);  // WAIT_OBJECT_0 once owned, or WAIT_TIMEOUT
BOOL ReleaseMutex(HANDLE mutex);  // gives back one ownership; FALSE when not owned
BOOL CloseHandle(HANDLE handle);  // ownership left on a mutex goes with its handle

// The module handle of the executable, as the entry point receives it.
HINSTANCE GetModuleHandleA(LPCSTR name);

// The C library's calendar time as a signed 32-bit count of seconds since 1970 UTC;
// -1 when it does not fit. Tests set it through platform_test::SetCalendarTime.
using __time32_t = std::int32_t;
__time32_t _time32(__time32_t* result);

// The game's entry point, called by the platform once Qt is up.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
