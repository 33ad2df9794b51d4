// Whether each replay slot was found by the scan under way and by the last
// completed one. A slot's flag holds the tick count at which a scan saw its
// file (never 0), so that two sightings can be told a period apart.
#pragma once

#include <cstdint>

#include "replay/flag_array.h"

class PresenceTable {
public:
    PresenceTable(uint32_t minIndex, uint32_t maxIndex);
    virtual ~PresenceTable();

    PresenceTable(const PresenceTable&) = delete;
    PresenceTable& operator=(const PresenceTable&) = delete;

    // Marks the slot found at the given tick count.
    void MarkPresent(uint32_t slot, uint32_t tick = 1);
    void MarkAbsent(uint32_t slot);
    int32_t IsPresentInBoth(uint32_t slot) const;
    // When the last completed scan found the slot; 0 when it did not.
    uint32_t SeenBefore(uint32_t slot) const;
    // Both scans' sightings of every slot are forgotten.
    void ForgetAll();
    void EndScan();

    FlagArray* previous;
    FlagArray* current;
    uint32_t lowest;
};
