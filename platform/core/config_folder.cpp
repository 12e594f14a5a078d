// Where files named without a folder live: the user's configuration folder of the game.
#include "config_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace platform::files {

std::string ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored like an empty one.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/zum32";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0]) {
        home = h;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        home = pw->pw_dir;
    }
    if (home.empty()) return {};
    return home + "/.config/zum32";
}

bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        struct stat st;
        bool isFolder = stat(part.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        if (!isFolder && mkdir(part.c_str(), 0700) != 0) return false;
        if (slash == std::string::npos) break;
    }
    return true;
}

}  // namespace platform::files
