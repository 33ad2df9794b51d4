#include "shellops/bounded_text.h"

#include <cstring>

#include "shellops/append_path.h"

void AppendCut(char* out, std::size_t size, const char* text, std::size_t length) {
    std::size_t used = std::strlen(out);
    for (std::size_t i = 0; i < length;) {
        std::size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
        if (used + width >= size) break;
        std::memcpy(out + used, text + i, width);
        used += width;
        i += width;
    }
    out[used] = '\0';
}

void AppendCut(char* out, std::size_t size, const char* text) { AppendCut(out, size, text, std::strlen(text)); }

void ExpandText(char* out, std::size_t size, const char* text, const char* name, uint32_t number) {
    std::memset(out, 0, size);
    char digits[12];
    std::size_t count = 0;
    do {
        digits[sizeof digits - 1 - count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    // '%' is never the second byte of a double-byte character.
    for (const char* mark; (mark = std::strchr(text, '%')) != nullptr; text = mark + 2) {
        AppendCut(out, size, text, static_cast<std::size_t>(mark - text));
        if (mark[1] == 's') AppendCut(out, size, name);
        if (mark[1] == 'd') AppendCut(out, size, digits + sizeof digits - count, count);
        if (mark[1] == '\0') return;
    }
    AppendCut(out, size, text);
}
