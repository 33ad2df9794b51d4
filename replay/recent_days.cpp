#include "replay/recent_days.h"

#include <cstring>

#include "shellops/append_path.h"
#include "shellops/file_search.h"

namespace {

constexpr int kYears = 10000;

// The value of a folder name of exactly `digits` decimal digits; -1 for any other name.
int NumberOf(const char* name, int digits) {
    int value = 0;
    for (int i = 0; i < digits; ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        value = value * 10 + (name[i] - '0');
    }
    return name[digits] == '\0' ? value : -1;
}

// Marks in `found` (indexed by value, `size` of them) each entry of folder whose
// name is a number of `digits` digits from 1 up. A file of such a name holds no
// replays, and is passed over later for that.
void MarkNumberedNames(const char* folder, int digits, bool* found, int size) {
    char search[sys::kMaxPath];
    if (!CopyPath(search, sizeof search, folder) || !AppendPath(search, "*")) return;
    sys::FindData entry;
    sys::SearchHandle handle = sys::FindFirstFileA(search, &entry);
    if (handle == sys::kInvalidSearch) return;
    do {
        int value = NumberOf(entry.cFileName, digits);
        if (value >= 1 && value < size) found[value] = true;
    } while (sys::FindNextFileA(handle, &entry));
    sys::FindClose(handle);
}

// folder joined with a number written with `digits` digits.
bool JoinNumber(char* path, const char* folder, int value, int digits) {
    char name[8];
    for (int i = digits - 1; i >= 0; --i, value /= 10) name[i] = static_cast<char>('0' + value % 10);
    name[digits] = '\0';
    return CopyPath(path, sys::kMaxPath, folder) && AppendPath(path, name);
}

}  // namespace

RecentDays::RecentDays() : count(0) {
    std::memset(folders, 0, sizeof folders);
    std::memset(years, 0, sizeof years);
    std::memset(months, 0, sizeof months);
    std::memset(days, 0, sizeof days);
    std::memset(replays, 0, sizeof replays);
}

bool RecentDays::IsDate(int year, int month, int day) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool RecentDays::HasDayFolders(const char* archiveFormat) {
    return std::strncmp(archiveFormat, "%Y\\%m\\%d\\", 9) == 0;
}

void RecentDays::Find(const char* dataFolder, const char* replayPattern) {
    count = 0;
    // Only the newest days are read: a year's folder is listed only while fewer
    // than kMost days have been found, and only their replays are counted.
    bool yearFound[kYears] = {};
    MarkNumberedNames(dataFolder, 4, yearFound, kYears);
    for (int year = kYears - 1; year > 0 && count < kMost; --year) {
        char yearFolder[sys::kMaxPath];
        bool monthFound[13] = {};
        if (!yearFound[year] || !JoinNumber(yearFolder, dataFolder, year, 4)) continue;
        MarkNumberedNames(yearFolder, 2, monthFound, 13);
        for (int month = 12; month > 0 && count < kMost; --month) {
            char monthFolder[sys::kMaxPath];
            bool dayFound[32] = {};
            if (!monthFound[month] || !JoinNumber(monthFolder, yearFolder, month, 2)) continue;
            MarkNumberedNames(monthFolder, 2, dayFound, 32);
            for (int day = 31; day > 0 && count < kMost; --day) {
                char* folder = folders[count];
                char search[sys::kMaxPath];
                if (!dayFound[day] || !IsDate(year, month, day) || !JoinNumber(folder, monthFolder, day, 2) ||
                    !CopyPath(search, sizeof search, folder) || !AppendPath(search, replayPattern)) {
                    continue;
                }
                uint32_t found = 0;
                ForEachFile(search, [&](const sys::FindData&) {
                    ++found;
                    return true;
                });
                if (found == 0) continue;
                years[count] = static_cast<uint16_t>(year);
                months[count] = static_cast<uint8_t>(month);
                days[count] = static_cast<uint8_t>(day);
                replays[count] = found;
                ++count;
            }
        }
    }
}
