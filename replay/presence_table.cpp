#include "replay/presence_table.h"

#include <new>

#include "platform/memory.h"

namespace {

// The arrays live on the platform's heap like every other block of the program;
// NULL when either the array or its flags cannot be had.
FlagArray* CreateFlagArray(uint32_t count) {
    void* block = sys::AllocateZeroed(sizeof(FlagArray));
    if (block == nullptr) return nullptr;
    return new (block) FlagArray(count);
}

void DestroyFlagArray(FlagArray* array) {
    if (array == nullptr) return;
    array->~FlagArray();
    sys::Free(array);
}

}  // namespace

PresenceTable::PresenceTable(uint32_t minIndex, uint32_t maxIndex) : previous(nullptr), current(nullptr), lowest(1) {
    uint32_t count = 100;
    if (minIndex != maxIndex) {
        lowest = minIndex;
        // A range that runs backwards tracks no slot at all.
        count = minIndex < maxIndex ? maxIndex - minIndex + 1 : 0;
    }
    previous = CreateFlagArray(count);
    current = CreateFlagArray(count);
}

PresenceTable::~PresenceTable() {
    DestroyFlagArray(previous);
    previous = nullptr;
    DestroyFlagArray(current);
    current = nullptr;
}

void PresenceTable::MarkPresent(uint32_t slot, uint32_t tick) {
    if (current != nullptr) current->Set(slot - lowest, static_cast<int32_t>(tick != 0 ? tick : 1));
}

void PresenceTable::MarkAbsent(uint32_t slot) {
    if (current != nullptr) current->Set(slot - lowest, 0);
}

uint32_t PresenceTable::SeenBefore(uint32_t slot) const {
    return previous != nullptr ? static_cast<uint32_t>(previous->Get(slot - lowest)) : 0;
}

void PresenceTable::ForgetAll() {
    if (previous != nullptr) previous->Clear();
    if (current != nullptr) current->Clear();
}

int32_t PresenceTable::IsPresentInBoth(uint32_t slot) const {
    if (current == nullptr || current->Get(slot - lowest) == 0) return 0;
    return previous != nullptr && previous->Get(slot - lowest) != 0 ? 1 : 0;
}

void PresenceTable::EndScan() {
    if (previous != nullptr) {
        previous->Clear();
        if (current != nullptr) previous->OrIn(*current);
    }
    if (current != nullptr) current->Clear();
}
