// Where files named without a folder live: the user's configuration folder of the game.
#pragma once

#include <string>

namespace platform::files {

// $XDG_CONFIG_HOME/zum32, or ~/.config/zum32; empty when there is no home to be found.
std::string ConfigFolder();

// Creates the folder and any missing parents, private to the user as XDG asks.
bool MakeFolders(const std::string& folder);

}  // namespace platform::files
