// The pattern that picks the replay files of a folder to load.
#pragma once

#include <cstddef>

class ProfileSettings;

constexpr std::size_t kReplayPatternSize = 64;

// Copies the settings' CopySrc into out (kReplayPatternSize bytes) when it names
// files directly inside one folder (IsPlainFileName; without a wildcard it is the
// name of one file), else the string table's default. The INI file keeps the
// user's text either way.
void GetReplayFilePattern(ProfileSettings& settings, char* out);
