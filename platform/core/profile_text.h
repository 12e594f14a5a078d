// The text rules of private profile (INI) files, over the file's bytes in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::profile {

// Code page 932: a byte that starts a double-byte character.
bool IsLeadByte(unsigned char byte);

// Without the spaces and tabs at both ends.
std::string_view TrimBlanks(std::string_view text);

// Section and key names compare ignoring the case of ASCII letters; the trail byte of a
// double-byte character always compares exactly.
bool NamesEqual(std::string_view a, std::string_view b);

// An integer as Windows reads a value that is present and not empty: of its first 29
// characters, optional sign, "0x", "0o" or "0b" for hex, octal or binary, digits up to the
// first non-digit, wrapped to 32 bits; 0 without digits.
std::uint32_t ParseInteger(std::string_view value);

// GetPrivateProfileStringA over the file's bytes (buffer not null, size > 0). A null section
// lists the section names, a null key the key names of the section, as NUL-separated lists.
std::uint32_t ReadString(std::string_view text, const char* section, const char* key,
                         const char* defaultValue, char* buffer, std::uint32_t size);

// GetPrivateProfileIntA over the file's bytes.
std::uint32_t ReadInteger(std::string_view text, const char* section, const char* key,
                          int defaultValue);

// The file's bytes after WritePrivateProfileStringA (section not null): a null value deletes
// the key, a null key the section.
std::string WriteString(std::string_view text, const char* section, const char* key,
                        const char* value);

}  // namespace platform::profile
