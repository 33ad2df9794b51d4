// Every copy, move and delete of the program is one batch request to the shell.
#pragma once

#include <cstdint>

#include "platform/types.h"

// The flags of each request the program makes.
namespace request_flags {
// Archiving a replay: unseen, no questions, no error dialogs over the game,
// folders made, a taken name renamed.
constexpr uint16_t kArchiveMove = sys::kFofMultiDestFiles | sys::kFofSilent | sys::kFofRenameOnCollision |
                                  sys::kFofNoConfirmation | sys::kFofFilesOnly | sys::kFofNoConfirmMkdir |
                                  sys::kFofNoErrorUi;
// Loading replays and installing voices: paired lists, progress shown, the shell asks.
constexpr uint16_t kPairedCopy =
    sys::kFofMultiDestFiles | sys::kFofAllowUndo | sys::kFofFilesOnly | sys::kFofSimpleProgress;
// Recycling the loaded replays.
constexpr uint16_t kRecycle = sys::kFofAllowUndo | sys::kFofFilesOnly | sys::kFofSimpleProgress;
// Recycling a slot file that is a copy of an archived replay: unseen, like the move.
constexpr uint16_t kSilentRecycle =
    sys::kFofAllowUndo | sys::kFofFilesOnly | sys::kFofSilent | sys::kFofNoConfirmation | sys::kFofNoErrorUi;
// Restoring a character's voices from its backup: progress shown, no "Replace?",
// since replacing is what the player chose; the shell's error dialogs stay.
constexpr uint16_t kRestoreCopy = kPairedCopy | sys::kFofNoConfirmation;
// Backing up the voices a backup folder lacks: paired lists, unseen, no
// questions, folders made.
constexpr uint16_t kSilentPairedCopy =
    sys::kFofMultiDestFiles | sys::kFofSilent | sys::kFofNoConfirmation | sys::kFofFilesOnly | sys::kFofNoConfirmMkdir;
}  // namespace request_flags

// What RunFileRequest returns for a request the user stopped part way, which the
// shell itself may report as a success.
constexpr int kFileRequestAborted = 1223;  // ERROR_CANCELLED

// Hands one request to the shell and returns its result once the shell has
// finished: 0 when it was done, kFileRequestAborted when the shell reports it
// aborted, or when another request is still under way (nothing is sent then).
// from and to are double-NUL lists (to is NULL for a delete); progressTitle is
// NULL for the silent requests.
int RunFileRequest(sys::Window owner, uint32_t function, const char* from, const char* to, uint16_t flags,
                   const char* progressTitle);

// True while a request is with the shell. Its dialogs run modal loops that
// dispatch the timer and the tray icon's messages; nothing started from there
// may send a request of its own, which would run inside this one.
bool FileRequestUnderway();
