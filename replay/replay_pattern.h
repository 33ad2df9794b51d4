// The pattern that picks the replay files of a folder, for loading and for the
// delete on the return to play mode.
#pragma once

#include <cstddef>

class ProfileSettings;

constexpr std::size_t kReplayPatternSize = 64;

// True when pattern can only match files directly inside one folder: not empty,
// no path separator or drive colon, and at least one wildcard, so that it can
// never name a sub-folder (the archive tree) as a whole.
bool IsReplayFilePattern(const char* pattern);

// Copies the settings' CopySrc into out (kReplayPatternSize bytes) when it is a
// replay file pattern, else the string table's default. The INI file keeps the
// user's text either way.
void GetReplayFilePattern(ProfileSettings& settings, char* out);
