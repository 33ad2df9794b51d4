// The names a load takes from a folder: the first ones in name order, however
// many the folder holds and in whatever order its file system lists them.
#pragma once

#include <cstddef>
#include <cstdint>

class SortedNames {
public:
    SortedNames();
    virtual ~SortedNames();

    SortedNames(const SortedNames&) = delete;
    SortedNames& operator=(const SortedNames&) = delete;

    // Makes room for capacity names of up to 259 bytes. False when the blocks
    // cannot be had; nothing is kept then.
    bool Allocate(uint32_t capacity);

    // Keeps name when it is among the first capacity names offered so far, in
    // the order of CompareFileNames; a longer name than a path buffer holds is
    // never kept.
    void Offer(const char* name);

    // The index-th name kept, in order.
    const char* At(uint32_t index) const;

    char* names;      // capacity path buffers, in the order the names came
    uint32_t* order;  // positions in names, sorted
    uint32_t capacity;
    uint32_t count;
};
