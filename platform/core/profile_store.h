// Where private profile files are kept: on the disk, or in the browser's own storage.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace platform::profile {

enum class LoadResult { Ok, Missing, Failed };

// The stored bytes of the file that fileName names; a bare name lives in the game's own folder.
LoadResult LoadFile(const char* fileName, std::string& bytes);

// One read-modify-write of the file, under the lock that every copy of the game takes for its
// records: edit receives the stored bytes (empty when there are none) and gives the new ones, or
// nothing to leave them as they are. False when the file cannot be read or replaced; the stored
// bytes then stay whole.
using FileEdit = std::function<std::optional<std::string>(const std::string& stored)>;
bool ChangeFile(const char* fileName, const FileEdit& edit);

}  // namespace platform::profile
