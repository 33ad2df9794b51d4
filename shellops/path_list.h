// The list that the shell's batch requests take: each entry a path with its NUL,
// the last one followed by a second NUL.
#pragma once

#include <cstddef>
#include <cstdint>

class PathList {
public:
    // Writes into buffer of size bytes, which this clears first; the buffer stays
    // the caller's.
    PathList(char* buffer, std::size_t size);
    virtual ~PathList() = default;

    PathList(const PathList&) = delete;
    PathList& operator=(const PathList&) = delete;

    // Appends one entry. False, and the list unchanged, for an empty path or one
    // that would leave no room for the closing NUL.
    bool Append(const char* path);

    // Appends source to sources and target to targets, or neither, so that the
    // two lists stay paired by position.
    static bool AppendPair(PathList& sources, const char* source, PathList& targets, const char* target);

    // The list as the request's pFrom or pTo.
    const char* Text() const { return buffer; }
    // Bytes left for entries, closing NUL excluded.
    std::size_t Room() const;

    char* buffer;
    std::size_t size;
    std::size_t used;  // bytes taken by the entries and their NULs
    uint32_t count;
};
