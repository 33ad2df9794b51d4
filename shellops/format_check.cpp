#include "shellops/format_check.h"

#include <cstring>
#include <ctime>

#include "shellops/append_path.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Steps over one integer conversion that starts after its '%': flags, width,
// precision, one size letter, then the type. Returns the position after the
// type, or nullptr when the conversion is anything else.
const char* SkipIntegerConversion(const char* p) {
    while (*p != '\0' && std::strchr("-+ 0#", *p) != nullptr) ++p;
    while (IsDigit(*p)) ++p;
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) ++p;
    }
    if (*p == 'h' || *p == 'l') ++p;
    if (*p == '\0' || std::strchr("diuxX", *p) == nullptr) return nullptr;
    return p + 1;
}

// A part of a path that names nothing of its own: empty, ".", "..", "...".
bool IsDotsOnly(const char* part, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (part[i] != '.') return false;
    }
    return true;
}

}  // namespace

bool IsIntegerFormat(const char* format, int integers) {
    if (format == nullptr) return false;
    int found = 0;
    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            ++p;
            continue;
        }
        if (p[1] == '%') {
            p += 2;
            continue;
        }
        p = SkipIntegerConversion(p + 1);
        if (p == nullptr) return false;
        ++found;
    }
    return found == integers;
}

bool IsSafeTimeFormat(const char* format) {
    if (format == nullptr) return false;
    // The conversions of C89; msvcrt also knows the '#' flag on each of them.
    static const char kConversions[] = "aAbBcdHIjmMpSUwWxXyYZ";
    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            ++p;
            continue;
        }
        ++p;
        if (*p == '%') {
            ++p;
            continue;
        }
        if (*p == '#') ++p;
        if (*p == '\0' || std::strchr(kConversions, *p) == nullptr) return false;
        ++p;
    }
    return true;
}

bool IsSafeArchiveName(const char* name) {
    if (name == nullptr || name[0] == '\\') return false;
    const char* part = name;
    for (const char* p = name;; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\0' || c == '\\') {
            if (IsDotsOnly(part, static_cast<std::size_t>(p - part))) return false;
            if (c == '\0') return true;
            part = p + 1;
            continue;
        }
        if (IsLeadByte(c)) {
            if (p[1] == '\0') return false;  // a character cut in half
            ++p;
            continue;
        }
        if (c < 0x20 || std::strchr(":*?\"<>|/", c) != nullptr) return false;
    }
}

bool IsSafeArchiveFormat(const char* format) {
    if (!IsSafeTimeFormat(format)) return false;
    std::tm sample;
    std::memset(&sample, 0, sizeof sample);
    sample.tm_year = 2007 - 1900;
    sample.tm_mon = 4;
    sample.tm_mday = 12;
    sample.tm_hour = 21;
    sample.tm_min = 30;
    sample.tm_sec = 5;
    sample.tm_wday = 6;
    sample.tm_yday = 131;
    char name[260];
    std::memset(name, 0, sizeof name);
    if (std::strftime(name, sizeof name, format, &sample) == 0) return true;
    return IsSafeArchiveName(name);
}
