#include "replay/archive_failures.h"

#include <cstring>

ArchiveFailures::ArchiveFailures() {
    std::memset(ticksFailed, 0, sizeof ticksFailed);
    std::memset(told, 0, sizeof told);
}

void ArchiveFailures::Absent(uint32_t index) {
    if (index < kMaxTrackedSlots) ticksFailed[index] = 0;
}

void ArchiveFailures::Archived(uint32_t index) {
    if (index >= kMaxTrackedSlots) return;
    ticksFailed[index] = 0;
    told[index] = false;
}

bool ArchiveFailures::Failed(uint32_t index) {
    if (index >= kMaxTrackedSlots) return false;
    if (ticksFailed[index] < kTicksBeforeTelling) ++ticksFailed[index];
    if (ticksFailed[index] < kTicksBeforeTelling || told[index]) return false;
    told[index] = true;
    return true;
}
