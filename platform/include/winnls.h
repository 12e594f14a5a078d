// National language support: the language that the player reads.
#pragma once

#include "winnt.h"

// The player's language, as the resource lookups choose by it: 0x0411 when the player's settings
// ask for Japanese or for no language at all, else 0x0409 (English, also for a language the game lacks).
LANGID WINAPI GetUserDefaultUILanguage();
