// Whether each replay slot was found by the scan under way and by the last
// completed one.
#pragma once

#include <cstdint>

#include "replay/flag_array.h"

class PresenceTable {
public:
    PresenceTable(uint32_t minIndex, uint32_t maxIndex);
    virtual ~PresenceTable();

    PresenceTable(const PresenceTable&) = delete;
    PresenceTable& operator=(const PresenceTable&) = delete;

    void MarkPresent(uint32_t slot);
    void MarkAbsent(uint32_t slot);
    int32_t IsPresentInBoth(uint32_t slot) const;
    void EndScan();

    FlagArray* previous;
    FlagArray* current;
    uint32_t lowest;
};
