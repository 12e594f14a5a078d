// The settings and records file: the level and three best-five tables, loaded once at start.
#pragma once

#include "windows.h"

extern const char* const kIniFile;     // "ZUM32.INI"
extern const char* const kIniSection;  // "ずむタイ32"
extern const char* const kLevelName[4];

void LoadSettings(HWND window);
// Writes the five empty entries of level index k (level k + 1) to memory and to the file.
void ResetLevelRecords(int k);
// Writes the ten keys of one level's ranks 1..5, each name before its time.
void WriteLevelRecords(int level);
