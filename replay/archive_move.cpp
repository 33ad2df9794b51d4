// The archive move: one slot file into the dated archive tree, under a name of
// its own, never over another replay.
#include <cstring>
#include <ctime>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "replay/file_stamp.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"
#include "shellops/file_search.h"
#include "shellops/format_check.h"
#include "shellops/path_list.h"

namespace {

// How far "name (2)", "name (3)", ... is tried before the slot waits for the next scan.
constexpr int kLastFreeNameNumber = 999;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int DayOfYear(int year, int month, int day) {
    static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDaysBefore[month - 1] + (leap && month > 2 ? 1 : 0) + day - 1;
}

// The calendar record of a file's local time. False when the platform cannot
// convert the time: a runtime may refuse a record out of range outright.
bool FillTimeRecord(const sys::FileTime& utc, std::tm* record) {
    sys::FileTime local{};
    sys::SystemTime time{};
    if (!sys::FileTimeToLocalFileTime(&utc, &local) || !sys::FileTimeToSystemTime(&local, &time)) return false;
    if (time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1 || time.wDay > 31 || time.wHour > 23 ||
        time.wMinute > 59 || time.wSecond > 59 || time.wDayOfWeek > 6) {
        return false;
    }
    std::memset(record, 0, sizeof *record);
    record->tm_year = time.wYear - 1900;
    record->tm_mon = time.wMonth - 1;
    record->tm_mday = time.wDay;
    record->tm_hour = time.wHour;
    record->tm_min = time.wMinute;
    record->tm_sec = time.wSecond;
    record->tm_wday = time.wDayOfWeek;
    // Filled so that %j, %U and %W give the true values; local time is taken as standard time.
    record->tm_yday = DayOfYear(time.wYear, time.wMonth, time.wDay);
    record->tm_isdst = 0;
    return true;
}

// Creates every folder of target below root that is missing. Some shells move
// nothing into a folder that does not exist, whatever the flags say. Returns 0,
// or the platform's error for the folder that could not be made.
uint32_t CreateArchiveFolders(const char* root, const char* target) {
    std::size_t rootLength = std::strlen(root);
    char level[sys::kMaxPath];
    std::memset(level, 0, sizeof level);
    // A folder ends at a separator that follows a character: never at the second
    // byte of a double-byte one, which can be a backslash's, nor at a doubled one.
    bool afterCharacter = false;
    for (std::size_t i = 0; target[i] != '\0'; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(target[i])) && target[i + 1] != '\0') {
            level[i] = target[i];
            level[i + 1] = target[i + 1];
            ++i;
            afterCharacter = true;
            continue;
        }
        bool separator = IsSeparator(target[i]);
        if (separator && i > rootLength && afterCharacter && !IsFolder(level) && !sys::CreateDirectoryA(level)) {
            // Taken before the next call overwrites it; made meanwhile by another is as good.
            uint32_t error = sys::GetLastError();
            if (!IsFolder(level)) return error != 0 ? error : sys::kErrorPathNotFound;
        }
        level[i] = target[i];
        afterCharacter = !separator;
    }
    return 0;
}

// Writes target with " (number)" inserted at position at into the path buffer
// out. False when the result does not fit.
bool NumberedName(char* out, const char* target, std::size_t at, int number) {
    char suffix[16];
    int digits = 0;
    char reversed[12];
    do {
        reversed[digits++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    std::size_t length = 0;
    suffix[length++] = ' ';
    suffix[length++] = '(';
    while (digits > 0) suffix[length++] = reversed[--digits];
    suffix[length++] = ')';
    std::size_t rest = std::strlen(target + at);
    std::memset(out, 0, sys::kMaxPath);
    if (at + length + rest + 1 > sys::kMaxPath) return false;
    std::memcpy(out, target, at);
    std::memcpy(out + at, suffix, length);
    std::memcpy(out + at + length, target + at, rest);
    return true;
}

// True only when nothing has the name: a query that fails for another reason
// proves nothing, and a move onto a taken name may replace the file there.
bool IsFreeName(const char* path) {
    if (sys::GetFileAttributesA(path) != sys::kInvalidFileAttributes) return false;
    uint32_t error = sys::GetLastError();
    return error == sys::kErrorFileNotFound || error == sys::kErrorPathNotFound;
}

// What the search for a numbered name found.
enum class NameChoice { kFree, kCopyOfArchived, kNone };

// True when the file at path, of the given size, holds the same bytes as the
// slot file at source: the replay is archived already. The slot file itself
// never counts.
bool IsArchivedCopy(const char* path, uint32_t sizeHigh, uint32_t sizeLow, const char* source,
                    const FileStamp& sourceStamp) {
    return !SameNameIgnoringCase(path, source) && sizeHigh == sourceStamp.nFileSizeHigh &&
           sizeLow == sourceStamp.nFileSizeLow && SameContents(path, source);
}

// Leaves target naming a file that does not exist yet: as it is, or with " (2)",
// " (3)", ... before the extension of its last part. Some shells replace an
// existing file on a move instead of renaming the one they move. A name of that
// chain that holds the slot file's bytes already shows the replay archived (a
// load's copy left in a slot, or a second instance's): kCopyOfArchived. Every
// numbered name there is compared before a free one is chosen, so that a copy
// of " (3)" is known while " (2)" is free; any of them holding the same bytes
// keeps the replay in the archive.
NameChoice ChooseArchiveName(char* target, const char* source, const FileStamp& sourceStamp) {
    bool free = IsFreeName(target);
    FileStamp stamp;
    if (!free && ReadFileStamp(target, &stamp) &&
        IsArchivedCopy(target, stamp.nFileSizeHigh, stamp.nFileSizeLow, source, sourceStamp)) {
        return NameChoice::kCopyOfArchived;
    }
    std::size_t length = std::strlen(target);
    std::size_t nameStart = 0;
    std::size_t dot = length;
    for (std::size_t i = 0; i < length; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(target[i])) && i + 1 < length) {
            ++i;
        } else if (IsSeparator(target[i])) {
            nameStart = i + 1;
            dot = length;
        } else if (target[i] == '.' && i > nameStart) {
            dot = i;
        }
    }

    // One search finds the numbered names: "<name> (*)<extension>".
    char pattern[sys::kMaxPath];
    if (!NumberedName(pattern, target, dot, 0)) return free ? NameChoice::kFree : NameChoice::kNone;
    pattern[dot + 2] = '*';
    char folder[sys::kMaxPath];
    CopyPath(folder, sizeof folder, target);
    folder[nameStart] = '\0';
    bool copy = false;
    ForEachFile(pattern, [&](const sys::FindData& found) {
        char path[sys::kMaxPath];
        copy = CopyPath(path, sizeof path, folder) && AppendPath(path, found.cFileName) &&
               IsArchivedCopy(path, found.nFileSizeHigh, found.nFileSizeLow, source, sourceStamp);
        return !copy;
    });
    if (copy) return NameChoice::kCopyOfArchived;
    if (free) return NameChoice::kFree;

    char candidate[sys::kMaxPath];
    for (int number = 2; number <= kLastFreeNameNumber; ++number) {
        if (!NumberedName(candidate, target, dot, number)) return NameChoice::kNone;
        if (IsFreeName(candidate)) {
            std::memcpy(target, candidate, sizeof candidate);
            return NameChoice::kFree;
        }
    }
    return NameChoice::kNone;
}

// The reason to tell for a request's result: the platform's own error codes
// (below the shell's private DE_ codes, and the cancel), else none.
uint32_t ReasonOf(int result) {
    if ((result > 0 && result < 0x71) || result == kFileRequestAborted) return static_cast<uint32_t>(result);
    return 0;
}

ArchiveResult Failure(uint32_t reason) { return ArchiveResult{false, reason, false}; }

// Sends path alone to the recycle bin, unseen and without questions.
bool Recycle(sys::Window owner, const char* path) {
    char list[sys::kMaxPath + 1];
    PathList files(list, sizeof list);
    return files.Append(path) &&
           RunFileRequest(owner, sys::kFoDelete, files.Text(), nullptr, request_flags::kSilentRecycle, nullptr) == 0 &&
           sys::GetFileAttributesA(path) == sys::kInvalidFileAttributes;
}

}  // namespace

ArchiveResult TrayApplication::ArchiveReplay(const char* sourceFolder, const char* archiveRoot,
                                             const sys::FindData& slotFile, bool recycleCopy) {
    char source[sys::kMaxPath];
    if (!CopyPath(source, sizeof source, sourceFolder) || !AppendPath(source, slotFile.cFileName)) {
        return Failure(sys::kErrorFilenameExcedRange);
    }

    // The write time: a creation time can be an earlier file's, handed on by the
    // file system to a file made under the same name soon after a move.
    std::tm record;
    if (!FillTimeRecord(slotFile.ftLastWriteTime, &record)) return Failure(0);
    char name[sys::kMaxPath];
    std::memset(name, 0, sizeof name);
    if (std::strftime(name, sizeof name, slotScan.ArchiveFormat(), &record) == 0) return Failure(0);
    if (!IsSafeArchiveName(name)) return Failure(0);

    char target[sys::kMaxPath];
    if (!CopyPath(target, sizeof target, archiveRoot) || !AppendPath(target, name)) {
        return Failure(sys::kErrorFilenameExcedRange);
    }
    uint32_t folderError = CreateArchiveFolders(archiveRoot, target);
    if (folderError != 0) return Failure(folderError);
    FileStamp stamp{slotFile.nFileSizeHigh, slotFile.nFileSizeLow, slotFile.ftLastWriteTime};
    switch (ChooseArchiveName(target, source, stamp)) {
        case NameChoice::kFree: break;
        case NameChoice::kCopyOfArchived:
            if (!recycleCopy) return ArchiveResult{false, 0, true};
            return ArchiveResult{Recycle(window, source), 0, false};
        case NameChoice::kNone: return Failure(0);
    }

    // A full path, its NUL and the NUL that closes the list.
    char from[sys::kMaxPath + 1];
    char to[sys::kMaxPath + 1];
    PathList sources(from, sizeof from);
    PathList targets(to, sizeof to);
    if (!PathList::AppendPair(sources, source, targets, target)) return Failure(sys::kErrorFilenameExcedRange);

    // Also a failure for a request the shell reports as aborted: its files may not have moved.
    int result =
        RunFileRequest(window, sys::kFoMove, sources.Text(), targets.Text(), request_flags::kArchiveMove, nullptr);
    if (result != 0) return Failure(ReasonOf(result));
    // A shell may report success for a move it did not make.
    return ArchiveResult{sys::GetFileAttributesA(source) == sys::kInvalidFileAttributes, 0, false};
}
