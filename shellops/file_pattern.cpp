#include "shellops/file_pattern.h"

#include <cstring>

#include "platform/types.h"
#include "shellops/append_path.h"

namespace {

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c; }

// Bytes of the character at text: two for a double-byte character, else one.
std::size_t CharLength(const char* text) {
    return IsLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

bool SameCharacter(const char* name, const char* pattern, std::size_t length) {
    if (length == 2) return name[0] == pattern[0] && name[1] == pattern[1];
    return Upper(static_cast<unsigned char>(name[0])) == Upper(static_cast<unsigned char>(pattern[0]));
}

// A '.' followed by nothing but wildcards: it also matches where a name ends.
bool IsOptionalDot(const char* pattern) {
    if (*pattern != '.') return false;
    for (const char* p = pattern + 1; *p != '\0'; ++p) {
        if (*p != '*' && *p != '?') return false;
    }
    return true;
}

// Marks every pattern position that can be reached from an active one without
// taking a character of the name, given the character that comes next (NUL at
// the end). Such moves only go forward, so one pass in order takes them all.
void TakeEmptyMatches(const char* pattern, std::size_t length, bool* active, char next) {
    for (std::size_t p = 0; p < length; p += CharLength(pattern + p)) {
        if (!active[p]) continue;
        char c = pattern[p];
        bool empty =
            c == '*' || (c == '?' && (next == '.' || next == '\0')) || (next == '\0' && IsOptionalDot(pattern + p));
        if (empty) active[p + 1] = true;
    }
}

}  // namespace

bool MatchesFilePattern(const char* name, const char* pattern) {
    std::size_t length = std::strlen(pattern);
    if (length >= sys::kMaxPath || std::strlen(name) >= sys::kMaxPath) return false;
    // The pattern positions that the name read so far can have reached.
    bool active[sys::kMaxPath + 1];
    bool next[sys::kMaxPath + 1];
    std::memset(active, 0, sizeof active);
    active[0] = true;

    for (const char* n = name; *n != '\0';) {
        std::size_t taken = CharLength(n);
        TakeEmptyMatches(pattern, length, active, *n);
        std::memset(next, 0, sizeof next);
        bool any = false;
        for (std::size_t p = 0; p < length; p += CharLength(pattern + p)) {
            if (!active[p]) continue;
            std::size_t step = CharLength(pattern + p);
            if (pattern[p] == '*') {
                next[p] = true;
            } else if (pattern[p] == '?') {
                if (*n != '.') next[p + 1] = true;
            } else if (step == taken && SameCharacter(n, pattern + p, step)) {
                next[p + step] = true;
            } else {
                continue;
            }
            any = true;
        }
        if (!any) return false;
        std::memcpy(active, next, sizeof active);
        n += taken;
    }
    TakeEmptyMatches(pattern, length, active, '\0');
    return active[length];
}

int CompareFileNames(const char* left, const char* right) {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(left);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(right);
    // While the names agree, their characters start at the same bytes.
    bool trail = false;
    for (std::size_t i = 0;; ++i) {
        unsigned char x = trail ? a[i] : Upper(a[i]);
        unsigned char y = trail ? b[i] : Upper(b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (x == '\0') return std::strcmp(left, right);
        trail = !trail && IsLeadByte(x);
    }
}
