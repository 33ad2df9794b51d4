// The fake heap: counts live blocks and fails on request. Freed blocks are kept
// for the next request of the same size, poisoned for AddressSanitizer while they
// wait: whole runs of the program, thousands a second, would otherwise spend
// their time mapping and faulting in the pages of the load's large lists.
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/memory.h"
#include "tests/fake/fake_platform.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZOLM_FAKE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZOLM_FAKE_ASAN 1
#endif
#ifdef ZOLM_FAKE_ASAN
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#define LSAN_IGNORE_OBJECT(block) __lsan_ignore_object(block)
#else
#define LSAN_IGNORE_OBJECT(block) ((void)(block))
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace {

// A block this large is more than the 32-bit release's heap can give.
constexpr std::size_t kLargestBlock = std::size_t{1} << 28;
constexpr std::size_t kKeptPerSize = 4;

std::map<void*, std::size_t>& LiveBlocks() {
    static std::map<void*, std::size_t> blocks;
    return blocks;
}

std::map<std::size_t, std::vector<void*>>& KeptBlocks() {
    static std::map<std::size_t, std::vector<void*>> blocks;
    return blocks;
}

}  // namespace

namespace sys {

void* AllocateZeroed(std::size_t size) {
    fake::state().calls.push_back("AllocateZeroed");
    if (fake::ShouldFail("AllocateZeroed")) return nullptr;
    if (size > kLargestBlock) return nullptr;
    if (fake::state().failAllocations > 0) {
        --fake::state().failAllocations;
        return nullptr;
    }
    if (size == 0) size = 1;
    void* block = nullptr;
    std::vector<void*>& kept = KeptBlocks()[size];
    if (!kept.empty()) {
        block = kept.back();
        kept.pop_back();
        ASAN_UNPOISON_MEMORY_REGION(block, size);
        std::memset(block, 0, size);
    } else {
        block = std::calloc(1, size);
    }
    if (block == nullptr) return nullptr;
    LiveBlocks()[block] = size;
    ++fake::state().blocksLive;
    return block;
}

void Free(void* block) {
    fake::state().calls.push_back("Free");
    if (block == nullptr) return;
    --fake::state().blocksLive;
    auto live = LiveBlocks().find(block);
    if (live == LiveBlocks().end()) {
        std::free(block);  // not from this heap: let the sanitizer say so
        return;
    }
    std::size_t size = live->second;
    LiveBlocks().erase(live);
    std::vector<void*>& kept = KeptBlocks()[size];
    if (kept.size() >= kKeptPerSize) {
        std::free(block);
        return;
    }
    ASAN_POISON_MEMORY_REGION(block, size);
    // Kept, not lost: the leak checker need not report it.
    LSAN_IGNORE_OBJECT(block);
    kept.push_back(block);
}

}  // namespace sys
