// The heap: the process heap, blocks zero-filled on allocation.
#include "platform/memory.h"

#include "platform/win32/win32_headers.h"

namespace sys {

void* AllocateZeroed(std::size_t size) { return ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

void Free(void* block) {
    if (block == nullptr) return;
    ::HeapFree(::GetProcessHeap(), 0, block);
}

}  // namespace sys
