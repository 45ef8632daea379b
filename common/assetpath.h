// Where the programs find their asset files. A name is tried as given first,
// relative to the folder the program was started from, so a program run
// from its asset folder behaves exactly as it always has; a name not found
// there is looked up in the installed data folder, which lies at a fixed
// place relative to the executable, so a staged or moved install works too.
//
// Only assets go through here. Level-set files the player names (command
// line, load prompt, the editor's save and append) are used as written.
#pragma once
#include <string>

// The installed data folder: <folder of the executable>/SQ_DATA_RELDIR,
// written without "." or ".." parts. Empty when the executable's own path
// cannot be read.
std::string AssetDataFolder(void);

// The path to open for asset name: name itself when it exists (or is
// absolute), else dataFolder/name when that exists. When neither has it,
// prints one line on standard error naming both places and returns name,
// so the caller fails and reports exactly as it would have without the
// data folder.
std::string FindAssetIn(const char *name, const std::string &dataFolder);

// FindAssetIn with AssetDataFolder().
std::string FindAsset(const char *name);
