#include "shellops/format_check.h"

#include <cstring>

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
