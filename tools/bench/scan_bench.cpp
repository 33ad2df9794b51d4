// Times one scan of the replay slots 0..999 both ways, side by side: one search
// per slot, and one enumeration of the data folder. Each case has 10,000 files
// in the archive tree below the data folder, as a player's folder gathers them.
// Then the tray menu's list of the newest days of that archive.
//
//   zolm_scan_bench.exe [data folder]     (default: %TEMP%\zolm-scan-bench)
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "replay/recent_days.h"
#include "replay/slot_scanner.h"
#include "tools/bench/bench_clock.h"

namespace {

const char kSlotFormat[] = "REPLAY%03d.RPD";
const char kArchiveFormat[] = "%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD";
const unsigned kFirst = 0;
const unsigned kLast = 999;
const int kArchiveFiles = 10000;

bool MakeFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, "RPD", 3, &written, nullptr);
    CloseHandle(file);
    return true;
}

// 10,000 archived replays in day folders, made once and kept for later runs.
bool MakeArchiveTree(const char* data) {
    char marker[MAX_PATH];
    std::snprintf(marker, sizeof marker, "%s\\archive-ready", data);
    if (GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES) return true;
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\2007", data);
    CreateDirectoryA(path, nullptr);
    for (int month = 1; month <= 12; ++month) {
        std::snprintf(path, sizeof path, "%s\\2007\\%02d", data, month);
        CreateDirectoryA(path, nullptr);
    }
    for (int i = 0; i < kArchiveFiles; ++i) {
        int month = 1 + i % 12;
        int day = 1 + (i / 12) % 28;
        std::snprintf(path, sizeof path, "%s\\2007\\%02d\\%02d", data, month, day);
        CreateDirectoryA(path, nullptr);
        std::snprintf(path, sizeof path, "%s\\2007\\%02d\\%02d\\2007-%02d-%02dT%02d-%02d-%02d.RPD", data, month, day,
                      month, day, i / 3600 % 24, i / 60 % 60, i % 60);
        if (!MakeFile(path)) return false;
    }
    return MakeFile(marker);
}

// Leaves exactly `count` slot files, spread evenly over the range.
bool SetSlotFiles(const char* data, int count) {
    char path[MAX_PATH];
    char name[32];
    for (unsigned slot = kFirst; slot <= kLast; ++slot) {
        std::snprintf(name, sizeof name, kSlotFormat, slot);
        std::snprintf(path, sizeof path, "%s\\%s", data, name);
        bool wanted = count > 0 && slot % (1000 / count) == 0;
        if (wanted) {
            if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && !MakeFile(path)) return false;
        } else {
            DeleteFileA(path);
        }
    }
    return true;
}

struct Timing {
    double msPerScan;
    unsigned found;
    unsigned char present[kLast - kFirst + 1];
};

// One scan as a tick makes it: every slot asked in order. With readFound, the
// found files are also read as a move would read them.
void Time(SlotScanner& scanner, const char* data, bool readFound, Timing* timing) {
    int scans = 0;
    double start = bench::Now();
    double elapsed = 0;
    do {
        timing->found = 0;
        scanner.BeginScan(data, kFirst, kLast);
        for (unsigned slot = kFirst; slot <= kLast; ++slot) {
            bool present = scanner.IsSlotFilePresent(slot);
            if (present && readFound) present = scanner.ReadSlotFile(slot);
            timing->present[slot - kFirst] = present ? 1 : 0;
            timing->found += present ? 1 : 0;
        }
        ++scans;
        elapsed = bench::Now() - start;
    } while (scans < 3 || (elapsed < 1000.0 && scans < 1000));
    timing->msPerScan = elapsed / scans;
}

}  // namespace

int main(int argc, char** argv) {
    char data[MAX_PATH];
    bench::ChooseFolder(argc, argv, "zolm-scan-bench", data);
    if (!MakeArchiveTree(data)) {
        std::printf("cannot make the archive tree\n");
        return 1;
    }

    SlotScanner perSlot(kSlotFormat, kArchiveFormat, kFirst, kLast);
    perSlot.UsePerSlotSearch();
    SlotScanner enumerating(kSlotFormat, kArchiveFormat, kFirst, kLast);
    if (!enumerating.Enumerates()) {
        std::printf("the scanner did not prepare its enumeration\n");
        return 1;
    }

    static Timing literal;
    static Timing fast;
    static Timing fastRead;
    bool agree = true;
    std::printf("slot files  per-slot ms/scan  enumeration ms/scan  ratio  enumeration+reads ms/scan\n");
    static const int kSlotCounts[] = {0, 10, 1000};
    for (int count : kSlotCounts) {
        if (!SetSlotFiles(data, count)) {
            std::printf("cannot make the slot files\n");
            return 1;
        }
        Time(perSlot, data, false, &literal);
        Time(enumerating, data, false, &fast);
        Time(enumerating, data, true, &fastRead);
        bool same = literal.found == static_cast<unsigned>(count) && fast.found == literal.found &&
                    fastRead.found == literal.found &&
                    std::memcmp(literal.present, fast.present, sizeof literal.present) == 0;
        agree = agree && same;
        std::printf("%11d  %16.3f  %19.3f  %5.0fx  %25.3f%s\n", count, literal.msPerScan, fast.msPerScan,
                    literal.msPerScan / fast.msPerScan, fastRead.msPerScan, same ? "" : "  DIFFERENT RESULTS");
    }
    SetSlotFiles(data, 0);

    // What the tray menu does each time it opens: the ten newest days of the archive.
    static RecentDays recent;
    int finds = 0;
    double start = bench::Now();
    do {
        recent.Find(data, "*.RPD");
        ++finds;
    } while (bench::Now() - start < 1000.0);
    std::printf("recent days over %d archived replays: %.3f ms (%u days, the newest %04u/%02u/%02u with %u)\n",
                kArchiveFiles, (bench::Now() - start) / finds, recent.count, recent.years[0], recent.months[0],
                recent.days[0], recent.replays[0]);
    return agree && recent.count == RecentDays::kMost ? 0 : 1;
}
