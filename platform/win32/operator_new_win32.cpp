// The C++ allocation functions, over the process heap like every other block of
// the program. The library's own versions report failure by throwing, and with
// them would come the unwinder, the terminate handler and its demangler: most of
// the size of a program that uses no exceptions.
#include <cstdlib>
#include <new>

#include "platform/win32/win32_headers.h"

namespace {

void* HeapBlock(std::size_t size) {
    // A zero-byte request must still give a distinct block.
    return ::HeapAlloc(::GetProcessHeap(), 0, size != 0 ? size : 1);
}

void FreeHeapBlock(void* block) {
    if (block != nullptr) ::HeapFree(::GetProcessHeap(), 0, block);
}

}  // namespace

// The plain forms may not return NULL, and without exceptions there is no one to
// tell: end the process. The program itself allocates only with std::nothrow.
void* operator new(std::size_t size) {
    void* block = HeapBlock(size);
    if (block == nullptr) std::abort();
    return block;
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return HeapBlock(size); }

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return HeapBlock(size); }

void operator delete(void* block) noexcept { FreeHeapBlock(block); }

void operator delete[](void* block) noexcept { FreeHeapBlock(block); }

void operator delete(void* block, std::size_t) noexcept { FreeHeapBlock(block); }

void operator delete[](void* block, std::size_t) noexcept { FreeHeapBlock(block); }

void operator delete(void* block, const std::nothrow_t&) noexcept { FreeHeapBlock(block); }

void operator delete[](void* block, const std::nothrow_t&) noexcept { FreeHeapBlock(block); }
