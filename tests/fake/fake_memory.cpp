// The fake heap: counts live blocks and fails on request.
#include <cstdlib>

#include "platform/memory.h"
#include "tests/fake/fake_platform.h"

namespace {

constexpr std::size_t kLargestBlock = std::size_t{1} << 28;

}  // namespace

namespace sys {

void* AllocateZeroed(std::size_t size) {
    fake::state().calls.push_back("AllocateZeroed");
    if (fake::ShouldFail("AllocateZeroed")) return nullptr;
    // A block this large is more than the 32-bit release's heap can give.
    if (size > kLargestBlock) return nullptr;
    if (fake::state().failAllocations > 0) {
        --fake::state().failAllocations;
        return nullptr;
    }
    void* block = std::calloc(1, size == 0 ? 1 : size);
    if (block != nullptr) ++fake::state().blocksLive;
    return block;
}

void Free(void* block) {
    fake::state().calls.push_back("Free");
    if (block == nullptr) return;
    --fake::state().blocksLive;
    std::free(block);
}

}  // namespace sys
