// The newest day folders of the archive tree, for the tray menu's recent
// replays: <data folder>\YYYY\MM\DD, newest first, each with the number of
// replays a load would take from it.
#pragma once

#include <cstdint>

#include "platform/types.h"

class RecentDays {
public:
    static constexpr uint32_t kMost = 10;

    RecentDays();
    virtual ~RecentDays() = default;

    // True when archives are named by archiveFormat into year, month and day
    // folders: it begins with "%Y\%m\%d\".
    static bool HasDayFolders(const char* archiveFormat);

    // True for a day of the calendar (leap years as the Gregorian calendar has them).
    static bool IsDate(int year, int month, int day);

    // Finds the kMost newest day folders below dataFolder that hold a file that
    // replayPattern names. Folder names that are no date are passed over.
    void Find(const char* dataFolder, const char* replayPattern);

    uint32_t count;
    char folders[kMost][sys::kMaxPath];
    uint16_t years[kMost];
    uint8_t months[kMost];
    uint8_t days[kMost];
    uint32_t replays[kMost];
};
