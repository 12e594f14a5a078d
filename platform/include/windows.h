// The Windows services that the game calls, provided by our platform layer.
#pragma once

#include "windef.h"
#include "winbase.h"
#include "winnls.h"
#include "wingdi.h"
#include "winuser.h"
#include "mmsystem.h"
