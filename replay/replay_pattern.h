// The pattern that picks the replay files of a folder, for loading and for the
// delete on the return to play mode.
#pragma once

#include <cstddef>

class ProfileSettings;

constexpr std::size_t kReplayPatternSize = 64;

// True when pattern names files directly inside one folder: not empty, no path
// separator or drive colon, and not "." or "..". Without a wildcard it is the
// name of one file; whatever it finds that is a folder is never used.
bool IsReplayFilePattern(const char* pattern);

// Copies the settings' CopySrc into out (kReplayPatternSize bytes) when it is a
// replay file pattern, else the string table's default. The INI file keeps the
// user's text either way.
void GetReplayFilePattern(ProfileSettings& settings, char* out);
