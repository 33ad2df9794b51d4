// The shell: batch file operations, the folder picker, opening a folder, and COM.
#pragma once

#include "platform/types.h"

namespace sys {

// Runs one batch request; returns only when the shell has finished it. 0 means the
// shell reported success (which, on some shells, does not prove every file moved).
int SHFileOperationA(FileOpRequest* request);

// Gets the shell's allocator; 0 (S_OK) on success, and then it must be released
// with MallocRelease.
int32_t SHGetMalloc(Malloc* out);
void MallocFree(Malloc allocator, void* block);
void MallocRelease(Malloc allocator);

// Shows the modal folder picker. NULL when cancelled; an item list otherwise,
// freed by the caller with MallocFree.
IdList SHBrowseForFolderA(BrowseInfo* info);
// Writes the list's file-system path into path (260 bytes), '?' in place of
// each character the ANSI code page cannot spell exactly. False when it has none.
bool SHGetPathFromIDListA(IdList list, char* path);

// Opens file (a folder: in Explorer) with verb. Above 32 on success; the
// platform's small error code otherwise.
intptr_t ShellExecuteA(Window owner, const char* verb, const char* file, int show);

// Apartment-threaded COM for the calling thread; 0 or 1 (already) on success.
int32_t CoInitializeApartment();
void CoUninitialize();

}  // namespace sys
