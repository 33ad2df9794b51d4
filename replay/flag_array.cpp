#include "replay/flag_array.h"

#include <cstddef>
#include <cstring>

#include "platform/memory.h"

FlagArray::FlagArray(uint32_t count) : count(0), flags(nullptr) {
    // A count whose size in bytes does not fit size_t (on 32-bit builds) is
    // refused like a failed allocation: the array then holds no flags.
    if (count == 0 || count > SIZE_MAX / sizeof(int32_t)) return;
    flags = static_cast<int32_t*>(sys::AllocateZeroed(static_cast<std::size_t>(count) * sizeof(int32_t)));
    if (flags != nullptr) this->count = count;
}

FlagArray::~FlagArray() {
    sys::Free(flags);
    flags = nullptr;
}

void FlagArray::Set(uint32_t index, int32_t value) {
    if (index < count) flags[index] = value;
}

int32_t FlagArray::Get(uint32_t index) const { return index < count ? flags[index] : 0; }

void FlagArray::OrIn(const FlagArray& other) {
    uint32_t shorter = count < other.count ? count : other.count;
    for (uint32_t i = 0; i < shorter; ++i) flags[i] |= other.flags[i];
}

void FlagArray::Clear() {
    if (count != 0) std::memset(flags, 0, static_cast<std::size_t>(count) * sizeof(int32_t));
}
