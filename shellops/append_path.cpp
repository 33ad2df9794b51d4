#include "shellops/append_path.h"

#include <cstring>

#include "platform/types.h"

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool EndsWithBackslash(const char* path) {
    // Walk whole characters: a trail byte of 0x5C ends a character such as
    // "ソ" or "表", not a folder name.
    bool lastIsBackslash = false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p != '\0'; ++p) {
        lastIsBackslash = (*p == '\\');
        if (IsLeadByte(*p) && p[1] != '\0') ++p;
    }
    return lastIsBackslash;
}

std::size_t FileNameOffset(const char* path) {
    std::size_t name = 0;
    for (std::size_t i = 0; path[i] != '\0'; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0') {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            name = i + 1;
        }
    }
    return name;
}

bool CopyPath(char* out, std::size_t size, const char* path) {
    std::memset(out, 0, size);
    std::size_t length = std::strlen(path);
    if (length >= sys::kMaxPath || length >= size) return false;
    std::memcpy(out, path, length);
    return true;
}

bool AppendPath(char* path, const char* name) {
    std::size_t pathLength = 0;
    while (pathLength < sys::kMaxPath && path[pathLength] != '\0') ++pathLength;
    if (pathLength == sys::kMaxPath) return false;
    std::size_t separator = EndsWithBackslash(path) ? 0 : 1;
    std::size_t nameLength = std::strlen(name);
    if (pathLength + separator + nameLength + 1 > sys::kMaxPath) return false;
    if (separator != 0) path[pathLength++] = '\\';
    std::memcpy(path + pathLength, name, nameLength + 1);
    return true;
}

bool IsFullyQualifiedPath(const char* path) {
    if (path == nullptr) return false;
    bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    if (letter && path[1] == ':' && path[2] == '\\') return true;
    return path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
}

bool IsPlainFileName(const char* name) {
    if (name == nullptr || name[0] == '\0') return false;
    bool onlyDots = true;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != '\0'; ++p) {
        // The second byte of a double-byte character may be 0x5C without being a separator.
        if (IsLeadByte(*p) && p[1] != '\0') {
            ++p;
            onlyDots = false;
            continue;
        }
        if (*p == '\\' || *p == '/' || *p == ':') return false;
        if (*p != '.') onlyDots = false;
    }
    // ".", ".." and the like name folders: Windows drops the dots that end a name.
    return !onlyDots;
}

bool SameNameIgnoringCase(const char* a, const char* b) {
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    while (*a != '\0' && *b != '\0') {
        if (IsLeadByte(static_cast<unsigned char>(*a)) && a[1] != '\0') {
            if (a[0] != b[0] || a[1] != b[1]) return false;
            a += 2;
            b += 2;
            continue;
        }
        if (fold(*a) != fold(*b)) return false;
        ++a;
        ++b;
    }
    return *a == *b;
}
