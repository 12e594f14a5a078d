// Writing a tool's output through a temporary file, so that a failed run never leaves half of it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace tools {

inline bool WriteFileAtomically(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) std::filesystem::remove(temp, ec);
    return !ec;
}

}  // namespace tools
