// The batch copy of the voice commands: the files of one folder into another,
// each under its own name, in one request.
#pragma once

#include <cstdint>

#include "platform/types.h"

// What CopyFolderFiles returns when no file was to be copied, and when the lists
// could not be had.
constexpr int kNothingToCopy = -1;
constexpr int kNoRoomForLists = -2;

// Copies each file that the search for pattern in sourceFolder finds into
// targetFolder under its own name, in one request with flags and progressTitle;
// with onlyMissing, only those targetFolder lacks. Returns the request's result.
int CopyFolderFiles(sys::Window owner, const char* sourceFolder, const char* pattern, const char* targetFolder,
                    bool onlyMissing, uint16_t flags, const char* progressTitle);
