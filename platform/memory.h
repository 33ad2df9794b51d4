// The heap. Every block the program allocates after start-up comes from here, so
// that tests can make an allocation fail.
#pragma once

#include <cstddef>

namespace sys {

// A zero-filled block of size bytes, or NULL when it cannot be had.
void* AllocateZeroed(std::size_t size);
// Frees a block from AllocateZeroed; NULL is ignored.
void Free(void* block);

}  // namespace sys
