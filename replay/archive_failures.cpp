#include "replay/archive_failures.h"

#include <cstring>

ArchiveFailures::ArchiveFailures() {
    std::memset(ticksFailed, 0, sizeof ticksFailed);
    std::memset(told, 0, sizeof told);
}

void ArchiveFailures::Absent(uint32_t index) {
    if (index >= kMaxTrackedSlots) return;
    ticksFailed[index] = 0;
    told[index] = false;
}

bool ArchiveFailures::Failed(uint32_t index) {
    if (index >= kMaxTrackedSlots) return false;
    if (ticksFailed[index] < kTicksBeforeTelling) ++ticksFailed[index];
    return ticksFailed[index] >= kTicksBeforeTelling && !told[index];
}

void ArchiveFailures::ToldOfDue() {
    for (uint32_t index = 0; index < kMaxTrackedSlots; ++index) {
        if (ticksFailed[index] >= kTicksBeforeTelling) told[index] = true;
    }
}

uint32_t ArchiveFailures::Failing() const {
    uint32_t failing = 0;
    for (uint32_t index = 0; index < kMaxTrackedSlots; ++index) failing += ticksFailed[index] != 0 ? 1 : 0;
    return failing;
}
