#include "shellops/path_list.h"

#include <cstring>

PathList::PathList(char* buffer, std::size_t size) : buffer(buffer), size(size), used(0), count(0) {
    if (buffer != nullptr) std::memset(buffer, 0, size);
}

std::size_t PathList::Room() const {
    // The closing NUL is supplied by the zero fill and must never be overwritten.
    return size > used ? size - used - 1 : 0;
}

bool PathList::Append(const char* path) {
    // An empty entry would end the list early.
    if (buffer == nullptr || path == nullptr || path[0] == '\0') return false;
    std::size_t length = std::strlen(path);
    if (length + 1 > Room()) return false;
    std::memcpy(buffer + used, path, length + 1);
    used += length + 1;
    ++count;
    return true;
}

bool PathList::AppendPair(PathList& sources, const char* source, PathList& targets, const char* target) {
    if (source == nullptr || target == nullptr || source[0] == '\0' || target[0] == '\0') return false;
    if (std::strlen(source) + 1 > sources.Room() || std::strlen(target) + 1 > targets.Room()) return false;
    return sources.Append(source) && targets.Append(target);
}
