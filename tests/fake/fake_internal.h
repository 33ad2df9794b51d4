// Helpers shared by the files of the fake platform; not for the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fake/fake_platform.h"

namespace fake {
namespace detail {

// A new handle value, distinct from every other the fake has given out.
inline void* NewHandle() { return reinterpret_cast<void*>(static_cast<uintptr_t>(state().nextHandle++)); }

// In a fake file name, a character that code page 932 cannot spell (Hangul, an
// emoji): a search reports it as '?', and the short name takes '_' for it.
constexpr char kOutsideCodePage = '\xFF';
// U+00A5 (¥), which the ANSI calls would turn into a backslash by best fit:
// a search reports it as '?' too, and so does the folder picker.
constexpr char kBestFitOnly = '\xFE';

// True for a lead byte of a code page 932 double-byte character.
inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The path folded for comparison: ASCII letters upper-cased, the second byte of a
// double-byte character left alone, trailing backslashes removed (except after "X:").
std::string FoldPath(const std::string& path);

// Position of the last real backslash (never the second byte of a double-byte
// character), or npos.
std::size_t LastSeparator(const std::string& path);

// The folder part of path ("" when it has none), without the trailing backslash.
std::string ParentOf(const std::string& path);

// True for a drive root such as "C:" or "C:\", which always exists in the fake.
bool IsDriveRoot(const std::string& path);

// FoldPath of the entry's path and of its parent, cached on the entry.
const std::string& FoldedPathOf(const Entry& entry);
const std::string& FoldedParentOf(const Entry& entry);

// The entry with this path (matched without case, its last part also by the
// short name of an entry), or nullptr.
Entry* FindEntry(const std::string& path);

// Clears what the other fake files keep beside State (search handles, open keys).
void ResetFiles();
void ResetRegistry();

}  // namespace detail
}  // namespace fake

namespace fake {
namespace detail {

// Searches opened by FindFirstFileA and not yet closed.
int OpenSearchCount();

// The file-system wildcard match of one name ('*' and '?', without case).
bool MatchesPattern(const std::string& pattern, const std::string& name);

// The short 8.3 name that Wine gives a long name ("" when the name is a valid
// 8.3 name already): "my_voice_take260_13.WAV" is "MY_V~P10.WAV".
std::string ShortNameOf(const std::string& name);

// What a search of the platform finds: a name matched by its long or its short name.
bool SearchMatches(const std::string& pattern, const std::string& name);

}  // namespace detail
}  // namespace fake

namespace fake {
namespace detail {

// Registry keys opened and not closed; Shell32.dll loads not yet freed.
int OpenKeyCount();
int LoadedLibraryCount();

}  // namespace detail
}  // namespace fake

namespace fake {
namespace detail {

// True when a new file can be made directly in folder.
bool FolderTakesFiles(const std::string& folder);

}  // namespace detail
}  // namespace fake
