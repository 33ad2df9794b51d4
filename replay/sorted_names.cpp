#include "replay/sorted_names.h"

#include <cstring>

#include "platform/memory.h"
#include "platform/types.h"
#include "shellops/file_pattern.h"

SortedNames::SortedNames() : names(nullptr), order(nullptr), capacity(0), count(0) {}

SortedNames::~SortedNames() {
    sys::Free(names);
    sys::Free(order);
}

bool SortedNames::Allocate(uint32_t wanted) {
    names = static_cast<char*>(sys::AllocateZeroed(static_cast<std::size_t>(wanted) * sys::kMaxPath));
    order = static_cast<uint32_t*>(sys::AllocateZeroed(static_cast<std::size_t>(wanted) * sizeof(uint32_t)));
    if (names == nullptr || order == nullptr) {
        sys::Free(names);
        sys::Free(order);
        names = nullptr;
        order = nullptr;
        return false;
    }
    capacity = wanted;
    count = 0;
    return true;
}

const char* SortedNames::At(uint32_t index) const {
    return names + static_cast<std::size_t>(order[index]) * sys::kMaxPath;
}

void SortedNames::Offer(const char* name) {
    std::size_t length = std::strlen(name);
    if (capacity == 0 || length >= sys::kMaxPath) return;

    // The first position whose name sorts after this one.
    uint32_t low = 0;
    uint32_t high = count;
    while (low < high) {
        uint32_t middle = low + (high - low) / 2;
        if (CompareFileNames(At(middle), name) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == capacity) return;

    // When full, the last name gives up its place.
    uint32_t place = count < capacity ? count : order[capacity - 1];
    uint32_t moved = (count < capacity ? count : capacity - 1) - low;
    std::memmove(order + low + 1, order + low, moved * sizeof(uint32_t));
    order[low] = place;
    char* buffer = names + static_cast<std::size_t>(place) * sys::kMaxPath;
    std::memset(buffer, 0, sys::kMaxPath);
    std::memcpy(buffer, name, length);
    if (count < capacity) ++count;
}
