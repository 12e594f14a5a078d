// The game's words, from the resource script's string table in the language the platform chose.
#pragma once

#include <string>

#include "windows.h"

// The CP932 text of a string id; empty when the table has none.
std::string LoadText(UINT id);

// The text of a string id taken as a printf format, with the arguments that its conversions name.
std::string FormatText(UINT id, ...);
