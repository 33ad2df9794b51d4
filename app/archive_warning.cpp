// The balloon on the tray icon that tells of a replay that cannot be archived.
#include <cstring>

#include "app/tray_application.h"
#include "platform/handles.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"

namespace {

// Appends text to the NUL-terminated out of size bytes, cut before the first
// character that would not fit whole.
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

}  // namespace

void TrayApplication::ShowArchiveWarning(const char* fileName, uint32_t reason) {
    // The icon's own record, with the balloon added; Windows holds it back while
    // a full-screen game runs, and shows it afterwards.
    sys::NotifyIconData balloon = notifyData;
    balloon.uFlags = sys::kNifInfo;
    balloon.dwInfoFlags = sys::kNiifWarning;
    std::memset(balloon.szInfoTitle, 0, sizeof balloon.szInfoTitle);
    AppendCut(balloon.szInfoTitle, sizeof balloon.szInfoTitle, caption);

    // "... %s ...", the slot file's name in place of %s, then the platform's own words.
    std::memset(balloon.szInfo, 0, sizeof balloon.szInfo);
    const char* text = settings.LoadText(IDS_ARCHIVE_FAILED);
    const char* mark = std::strstr(text, "%s");
    AppendCut(balloon.szInfo, sizeof balloon.szInfo, text, mark != nullptr ? mark - text : std::strlen(text));
    if (mark != nullptr) {
        AppendCut(balloon.szInfo, sizeof balloon.szInfo, fileName);
        AppendCut(balloon.szInfo, sizeof balloon.szInfo, mark + 2);
    }
    char words[256];
    if (reason != 0 && sys::FormatMessageA(reason, words, sizeof words) != 0) {
        AppendCut(balloon.szInfo, sizeof balloon.szInfo, "\n");
        AppendCut(balloon.szInfo, sizeof balloon.szInfo, words);
    }
    sys::Shell_NotifyIconA(sys::kNimModify, &balloon);
}
