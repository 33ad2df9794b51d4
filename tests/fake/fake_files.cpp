// The fake file search, file times, folders and integer formatting.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace {

using fake::state;
using fake::detail::FindEntry;
using fake::detail::FoldPath;
using fake::detail::IsDriveRoot;
using fake::detail::IsLeadByte;
using fake::detail::LastSeparator;
using fake::detail::ParentOf;

struct Search {
    std::vector<std::string> paths;  // the matches, as FindFirstFileA found them
    std::vector<std::size_t> at;     // where each was in the entries then
    std::size_t next = 0;
};

std::map<sys::SearchHandle, Search>& Searches() {
    static std::map<sys::SearchHandle, Search> searches;
    return searches;
}

std::string NameOf(const std::string& path) {
    std::size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

sys::FileTime ToFileTime(uint64_t ticks) {
    return sys::FileTime{static_cast<uint32_t>(ticks & 0xFFFFFFFFu), static_cast<uint32_t>(ticks >> 32)};
}

uint64_t Ticks(const sys::FileTime& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void Fill(const fake::Entry& entry, sys::FindData* data) {
    std::memset(data, 0, sizeof(*data));
    data->dwFileAttributes = entry.isFolder ? sys::kFileAttributeDirectory : 0x20u;  // FILE_ATTRIBUTE_ARCHIVE
    data->ftCreationTime = ToFileTime(entry.creationTime);
    data->ftLastWriteTime = ToFileTime(entry.lastWriteTime);
    data->nFileSizeLow = static_cast<uint32_t>(entry.contents.size());
    std::string name = NameOf(entry.path);
    std::strncpy(data->cFileName, name.c_str(), sizeof(data->cFileName) - 1);
    // What the ANSI call makes of a character code page 932 cannot spell.
    std::replace(data->cFileName, data->cFileName + sizeof data->cFileName, fake::detail::kOutsideCodePage, '?');
    std::replace(data->cFileName, data->cFileName + sizeof data->cFileName, fake::detail::kBestFitOnly, '?');
    if (state().volumeShortNames) {
        std::string shortName = fake::detail::ShortNameOf(name);
        std::strncpy(data->cAlternateFileName, shortName.c_str(), sizeof(data->cAlternateFileName) - 1);
    }
}

// Fills data with the search's next match that still exists; false when none is left.
bool NextMatch(Search& search, sys::FindData* data) {
    while (search.next < search.paths.size()) {
        std::size_t at = search.at[search.next];
        const std::string& path = search.paths[search.next++];
        // Where it was, unless files came or went meanwhile.
        const std::vector<fake::Entry>& entries = state().entries;
        const fake::Entry* entry = at < entries.size() && entries[at].path == path ? &entries[at] : FindEntry(path);
        if (entry != nullptr) {
            Fill(*entry, data);
            return true;
        }
    }
    return false;
}

}  // namespace

namespace fake {
namespace detail {

void ResetFiles() { Searches().clear(); }

int OpenSearchCount() { return static_cast<int>(Searches().size()); }

bool MatchesPattern(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") return true;
    // Glob with backtracking to the last '*', a character at a time: one byte, or
    // two for a double-byte character; ASCII letters without case.
    auto width = [](const std::string& text, std::size_t at) {
        return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2u : 1u;
    };
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    auto same = [&](std::size_t pi, std::size_t ni) {
        std::size_t pw = width(pattern, pi), nw = width(name, ni);
        if (pw != nw) return false;
        if (pw == 2) return pattern[pi] == name[ni] && pattern[pi + 1] == name[ni + 1];
        return fold(pattern[pi]) == fold(name[ni]);
    };
    std::size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
    while (ni < name.size()) {
        if (pi < pattern.size() && pattern[pi] == '?') {
            pi += 1;
            ni += width(name, ni);
        } else if (pi < pattern.size() && pattern[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (pi < pattern.size() && same(pi, ni)) {
            pi += width(pattern, pi);
            ni += width(name, ni);
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            starN += width(name, starN);
            ni = starN;
        } else {
            return false;
        }
    }
    while (pi < pattern.size() && pattern[pi] == '*') ++pi;
    return pi == pattern.size();
}

namespace {

bool IsInvalidDosChar(char c) {
    return c == kOutsideCodePage || c == kBestFitOnly || std::strchr("*?<>|\"+=,;[] ~.", c) != nullptr;
}

bool IsValidShortName(const std::string& name) {
    std::size_t dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (dot != std::string::npos && ext.empty()) return false;
    for (char c : base + ext) {
        if (IsInvalidDosChar(c)) return false;
    }
    return true;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
unsigned Lower(char c) { return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c); }

}  // namespace

std::string ShortNameOf(const std::string& name) {
    if (name.empty() || IsValidShortName(name)) return "";
    // Wine's hash of the name without case, over bytes here.
    uint16_t hash = 0xBEEF;
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
        hash = static_cast<uint16_t>((hash << 3) ^ (hash >> 5) ^ Lower(name[i]) ^ (Lower(name[i + 1]) << 8));
    }
    hash = static_cast<uint16_t>((hash << 3) ^ (hash >> 5) ^ Lower(name.back()));
    std::size_t ext = std::string::npos;
    for (std::size_t i = 1; i + 1 < name.size(); ++i) {
        if (name[i] == '.') ext = i;
    }
    std::string out;
    for (std::size_t i = 0; i < 4 && i < name.size() && i != ext; ++i) {
        out += IsInvalidDosChar(name[i]) ? '_' : Upper(name[i]);
    }
    out.append(5 - out.size(), '~');
    static const char kHashChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    out += kHashChars[(hash >> 10) & 0x1F];
    out += kHashChars[(hash >> 5) & 0x1F];
    out += kHashChars[hash & 0x1F];
    if (ext != std::string::npos) {
        out += '.';
        for (std::size_t i = ext + 1; i < name.size() && i <= ext + 3; ++i) {
            out += IsInvalidDosChar(name[i]) ? '_' : Upper(name[i]);
        }
    }
    return out;
}

bool SearchMatches(const std::string& pattern, const std::string& name) {
    if (MatchesPattern(pattern, name)) return true;
    // Without a wildcard a pattern can only be a short name itself, and those hold a '~'.
    if (pattern.find_first_of("*?~") == std::string::npos) return false;
    std::string shortName = ShortNameOf(name);
    return !shortName.empty() && MatchesPattern(pattern, shortName);
}

}  // namespace detail
}  // namespace fake

namespace sys {

SearchHandle FindFirstFileA(const char* pattern, FindData* data) {
    state().calls.push_back("FindFirstFileA");
    if (fake::ShouldFail("FindFirstFileA")) return kInvalidSearch;
    std::string full = pattern != nullptr ? pattern : "";
    std::size_t sep = LastSeparator(full);
    if (sep == std::string::npos) return kInvalidSearch;
    std::string folder = full.substr(0, sep);
    std::string namePattern = full.substr(sep + 1);
    if (namePattern.empty()) return kInvalidSearch;
    if (!IsDriveRoot(folder)) {
        const fake::Entry* folderEntry = FindEntry(folder);
        if (folderEntry == nullptr || !folderEntry->isFolder) return kInvalidSearch;
    }
    std::string folderKey = FoldPath(folder);
    Search search;
    // A plain name is looked up at once: tests search thousands of files by name.
    bool plain = namePattern.find_first_of("*?~") == std::string::npos;
    if (plain && FindEntry(full) != nullptr) {
        search.paths.push_back(FindEntry(full)->path);
        search.at.push_back(static_cast<std::size_t>(FindEntry(full) - state().entries.data()));
    }
    for (std::size_t i = 0; i < state().entries.size() && !plain; ++i) {
        const fake::Entry& entry = state().entries[i];
        if (fake::detail::FoldedParentOf(entry) != folderKey) continue;
        if (!fake::detail::SearchMatches(namePattern, NameOf(entry.path))) continue;
        search.paths.push_back(entry.path);
        search.at.push_back(i);
    }
    if (!NextMatch(search, data)) return kInvalidSearch;
    SearchHandle handle = fake::detail::NewHandle();
    Searches()[handle] = search;
    return handle;
}

bool FindNextFileA(SearchHandle search, FindData* data) {
    state().calls.push_back("FindNextFileA");
    if (fake::ShouldFail("FindNextFileA")) return false;
    auto found = Searches().find(search);
    if (found == Searches().end()) return false;
    return NextMatch(found->second, data);
}

bool FindClose(SearchHandle search) {
    state().calls.push_back("FindClose");
    // A failed close still ends the search: the handle is no use afterwards.
    bool closed = Searches().erase(search) == 1;
    if (fake::ShouldFail("FindClose")) return false;
    return closed;
}

bool FileTimeToLocalFileTime(const FileTime* utc, FileTime* local) {
    state().calls.push_back("FileTimeToLocalFileTime");
    if (fake::ShouldFail("FileTimeToLocalFileTime")) return false;
    *local = *utc;  // the fake's local time is UTC
    return true;
}

bool FileTimeToSystemTime(const FileTime* time, SystemTime* out) {
    state().calls.push_back("FileTimeToSystemTime");
    if (fake::ShouldFail("FileTimeToSystemTime")) return false;
    uint64_t ticks = Ticks(*time);
    if (ticks > 0x7FFFFFFFFFFFFFFFull) return false;
    uint64_t totalSeconds = ticks / 10000000ull;
    int64_t days = static_cast<int64_t>(totalSeconds / 86400);
    uint64_t secondOfDay = totalSeconds % 86400;
    // 1601-01-01 was a Monday (day of week 1).
    uint16_t dayOfWeek = static_cast<uint16_t>((days + 1) % 7);
    // civil_from_days (H. Hinnant), from days since 1970-01-01.
    int64_t z = days - 134774 + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    out->wYear = static_cast<uint16_t>(year);
    out->wMonth = static_cast<uint16_t>(month);
    out->wDayOfWeek = dayOfWeek;
    out->wDay = static_cast<uint16_t>(day);
    out->wHour = static_cast<uint16_t>(secondOfDay / 3600);
    out->wMinute = static_cast<uint16_t>(secondOfDay / 60 % 60);
    out->wSecond = static_cast<uint16_t>(secondOfDay % 60);
    out->wMilliseconds = static_cast<uint16_t>(ticks / 10000ull % 1000);
    return true;
}

uint32_t GetFileAttributesA(const char* path) {
    state().calls.push_back("GetFileAttributesA");
    if (fake::ShouldFail("GetFileAttributesA")) {
        state().lastError = kErrorAccessDenied;
        return kInvalidFileAttributes;
    }
    std::string p = path != nullptr ? path : "";
    if (IsDriveRoot(p)) return kFileAttributeDirectory;
    const fake::Entry* entry = FindEntry(p);
    if (entry == nullptr) {
        bool folderThere = IsDriveRoot(ParentOf(p)) || FindEntry(ParentOf(p)) != nullptr;
        state().lastError = folderThere ? kErrorFileNotFound : kErrorPathNotFound;
        return kInvalidFileAttributes;
    }
    return entry->isFolder ? kFileAttributeDirectory : 0x20u;
}

bool CreateDirectoryA(const char* path) {
    state().calls.push_back("CreateDirectoryA");
    // Each failure leaves its reason, as the system's does.
    state().lastError = kErrorAccessDenied;
    if (fake::ShouldFail("CreateDirectoryA")) return false;
    if (state().failCreateDirectory > 0) {
        --state().failCreateDirectory;
        return false;
    }
    std::string p = path != nullptr ? path : "";
    state().lastError = kErrorAlreadyExists;
    if (p.empty() || IsDriveRoot(p) || FindEntry(p) != nullptr) return false;
    std::string parent = ParentOf(p);
    state().lastError = kErrorPathNotFound;
    if (parent.empty()) return false;
    if (!IsDriveRoot(parent)) {
        const fake::Entry* parentEntry = FindEntry(parent);
        if (parentEntry == nullptr || !parentEntry->isFolder) return false;
    }
    state().lastError = 0;
    fake::AddFolder(p);
    return true;
}

namespace {

// The format as snprintf takes it: wsprintfA's 'l' size prefix means 32 bits, as
// the arguments already are, so it goes; and wsprintfA never writes more than 1024
// bytes, so no width or precision needs to be larger (snprintf would count out
// every byte of a width of a billion).
std::string AsSnprintfFormat(const char* format) {
    const unsigned long kWsprintfLimit = 1024;
    std::string out;
    bool inConversion = false;
    for (const char* p = format; *p != '\0'; ++p) {
        if (!inConversion) {
            out += *p;
            if (*p == '%') inConversion = true;
            continue;
        }
        if (*p == 'l') continue;
        if (*p >= '1' && *p <= '9') {
            unsigned long number = 0;
            for (; *p >= '0' && *p <= '9'; ++p) number = number < kWsprintfLimit ? number * 10 + (*p - '0') : number;
            out += std::to_string(number < kWsprintfLimit ? number : kWsprintfLimit);
            --p;
            continue;
        }
        out += *p;
        if (*p == '%' || (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')) inConversion = false;
    }
    return out;
}

int Bounded(int written, std::size_t size) {
    if (size == 0 || written < 0) return 0;
    return written < static_cast<int>(size) ? written : static_cast<int>(size) - 1;
}

}  // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
int FormatInt(char* out, std::size_t size, const char* format, uint32_t a) {
    state().calls.push_back("FormatInt");
    if (size == 0) return 0;
    // wsprintfA's failure: less than the expected output, here nothing.
    if (fake::ShouldFail("FormatInt")) return out[0] = '\0', 0;
    std::string f = AsSnprintfFormat(format);
    return Bounded(std::snprintf(out, size, f.c_str(), static_cast<int>(a)), size);
}

int FormatInt2(char* out, std::size_t size, const char* format, uint32_t a, uint32_t b) {
    state().calls.push_back("FormatInt2");
    if (size == 0) return 0;
    if (fake::ShouldFail("FormatInt2")) return out[0] = '\0', 0;
    std::string f = AsSnprintfFormat(format);
    return Bounded(std::snprintf(out, size, f.c_str(), static_cast<int>(a), static_cast<int>(b)), size);
}
#pragma GCC diagnostic pop

}  // namespace sys
