// The replay monitor: each tick finds the slot files, and moves every one that
// two consecutive scans have found into the dated archive tree.
#include <cstring>
#include <ctime>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/handles.h"
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
// nothing into a folder that does not exist, whatever the flags say.
bool CreateArchiveFolders(const char* root, const char* target) {
    std::size_t rootLength = std::strlen(root);
    char level[sys::kMaxPath];
    std::memset(level, 0, sizeof level);
    for (std::size_t i = 0; target[i] != '\0'; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(target[i])) && target[i + 1] != '\0') {
            level[i] = target[i];
            level[i + 1] = target[i + 1];
            ++i;
            continue;
        }
        if (IsSeparator(target[i]) && i > rootLength && !IsSeparator(target[i - 1]) && !IsFolder(level)) {
            if (!sys::CreateDirectoryA(level) && !IsFolder(level)) return false;
        }
        level[i] = target[i];
    }
    return true;
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
    if (at + length + rest + 1 > sys::kMaxPath) return false;
    std::memset(out, 0, sys::kMaxPath);
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

// Leaves target naming a file that does not exist yet: as it is, or with " (2)",
// " (3)", ... before the extension of its last part. Some shells replace an
// existing file on a move instead of renaming the one they move.
bool ChooseFreeName(char* target) {
    if (IsFreeName(target)) return true;
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
    char candidate[sys::kMaxPath];
    for (int number = 2; number <= kLastFreeNameNumber; ++number) {
        if (!NumberedName(candidate, target, dot, number)) return false;
        if (IsFreeName(candidate)) {
            std::memcpy(target, candidate, sizeof candidate);
            return true;
        }
    }
    return false;
}

// Moves one slot file into the archive tree. True only when the file has left its
// slot: a shell may report success for a move it did not make.
bool MoveToArchive(TrayApplication& app, const char* sourceFolder, const char* archiveRoot,
                   const sys::FindData& slotFile) {
    char source[sys::kMaxPath];
    if (!CopyPath(source, sizeof source, sourceFolder) || !AppendPath(source, slotFile.cFileName)) return false;

    // The write time: a creation time can be an earlier file's, handed on by the
    // file system to a file made under the same name soon after a move.
    std::tm record;
    if (!FillTimeRecord(slotFile.ftLastWriteTime, &record)) return false;
    char name[sys::kMaxPath];
    std::memset(name, 0, sizeof name);
    if (std::strftime(name, sizeof name, app.slotScan.ArchiveFormat(), &record) == 0) return false;
    if (!IsSafeArchiveName(name)) return false;

    char target[sys::kMaxPath];
    if (!CopyPath(target, sizeof target, archiveRoot) || !AppendPath(target, name)) return false;
    if (!CreateArchiveFolders(archiveRoot, target) || !ChooseFreeName(target)) return false;

    // A full path, its NUL and the NUL that closes the list.
    char from[sys::kMaxPath + 1];
    char to[sys::kMaxPath + 1];
    PathList sources(from, sizeof from);
    PathList targets(to, sizeof to);
    if (!PathList::AppendPair(sources, source, targets, target)) return false;

    // Also false for a request the shell reports as aborted: its files may not have moved.
    if (RunFileRequest(app.window, sys::kFoMove, sources.Text(), targets.Text(), request_flags::kArchiveMove,
                       nullptr) != 0) {
        return false;
    }
    return sys::GetFileAttributesA(source) == sys::kInvalidFileAttributes;
}

void VisitSlot(TrayApplication& app, const char* sourceFolder, const char* archiveRoot, uint32_t slot) {
    if (!app.slotScan.IsSlotFilePresent(slot)) {
        app.presence.MarkAbsent(slot);
        return;
    }
    app.presence.MarkPresent(slot);
    if (app.presence.IsPresentInBoth(slot) == 0) return;
    // The file may have gone since the scan began.
    if (!app.slotScan.ReadSlotFile(slot)) {
        app.presence.MarkAbsent(slot);
        return;
    }
    if (MoveToArchive(app, sourceFolder, archiveRoot, app.slotScan.found)) app.presence.MarkAbsent(slot);
}

}  // namespace

void TrayApplication::MonitorTick() {
    // A tick dispatched by the modal loop of a request (a load's copy, a voice
    // install, a tick's own move) would move files inside that request, and
    // rewrite the presence table under the tick that is waiting.
    if (FileRequestUnderway()) return;
    if (mode == BrowseMode) return;
    if (settings.DataFolder[0] == '\0') return;
    ArchiveStableReplays(settings.DataFolder, settings.DataFolder);
}

void TrayApplication::ArchiveStableReplays(const char* sourceFolder, const char* archiveRoot) {
    uint32_t first = settings.GetMinIndex();
    uint32_t last = settings.GetMaxIndex();
    // A range that runs backwards holds no slot. The loop stops on the last slot
    // rather than past it, so a range that ends at the largest number ends too.
    if (first <= last) {
        slotScan.BeginScan(sourceFolder, first, last);
        for (uint32_t slot = first;; ++slot) {
            VisitSlot(*this, sourceFolder, archiveRoot, slot);
            if (slot == last) break;
        }
    }
    presence.EndScan();
}
