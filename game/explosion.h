// The explosion sequence: four ticks of timer 4 over the 3 x 3 square around the bomb.
#pragma once

#include "windows.h"

// One tick; explosionFrame (1..4) says which. Draws through the tick's drawing context.
void StepExplosion(HDC destDC, HDC memoryDC);

// Releases the save-under of a sequence that Start or Return to title cut short.
void AbandonExplosion();
