// Objects made the way the program makes them, on the heap, but in memory that
// is never zero: a member that a constructor leaves unset shows.
#pragma once

#include <cstring>
#include <new>
#include <utility>

template <typename T, typename... Arguments>
T* NewOnDirtyHeap(Arguments&&... arguments) {
    void* memory = ::operator new(sizeof(T));
    std::memset(memory, 0xA5, sizeof(T));
    return new (memory) T(std::forward<Arguments>(arguments)...);
}
