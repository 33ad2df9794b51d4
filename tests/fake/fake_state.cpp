// The fake platform's state, its reset and the file-system helpers of the tests.
#include <algorithm>

#include "rc_tables.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace fake {

namespace detail {

std::string FoldPath(const std::string& path) {
    std::string folded;
    folded.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c) && i + 1 < path.size()) {
            folded += path[i];
            folded += path[++i];
        } else if (c >= 'a' && c <= 'z') {
            folded += static_cast<char>(c - 'a' + 'A');
        } else {
            folded += path[i];
        }
    }
    // Trailing backslashes do not change which folder is named; a drive root keeps one.
    while (!folded.empty() && LastSeparator(folded) == folded.size() - 1 && !(folded.size() == 3 && folded[1] == ':')) {
        folded.pop_back();
    }
    if (folded.size() == 2 && folded[1] == ':') folded += '\\';
    return folded;
}

std::size_t LastSeparator(const std::string& path) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c) && i + 1 < path.size()) {
            ++i;
        } else if (c == '\\') {
            last = i;
        }
    }
    return last;
}

std::string ParentOf(const std::string& path) {
    std::string trimmed = path;
    while (!trimmed.empty() && LastSeparator(trimmed) == trimmed.size() - 1) trimmed.pop_back();
    std::size_t sep = LastSeparator(trimmed);
    if (sep == std::string::npos) return "";
    return trimmed.substr(0, sep);
}

bool IsDriveRoot(const std::string& path) {
    return (path.size() == 2 || (path.size() == 3 && path[2] == '\\')) && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

namespace {

void RefreshFolds(const Entry& entry) {
    if (entry.foldedFrom == entry.path && !entry.folded.empty()) return;
    entry.foldedFrom = entry.path;
    entry.folded = FoldPath(entry.path);
    entry.foldedParent = FoldPath(ParentOf(entry.path));
}

}  // namespace

const std::string& FoldedPathOf(const Entry& entry) {
    RefreshFolds(entry);
    return entry.folded;
}

const std::string& FoldedParentOf(const Entry& entry) {
    RefreshFolds(entry);
    return entry.foldedParent;
}

Entry* FindEntry(const std::string& path) {
    std::string key = FoldPath(path);
    for (Entry& entry : state().entries) {
        if (FoldedPathOf(entry) == key) return &entry;
    }
    // Short names hold a '~'; a volume without them has none to find.
    std::size_t separator = LastSeparator(key);
    if (!state().volumeShortNames || separator == std::string::npos || key.find('~', separator) == std::string::npos) {
        return nullptr;
    }
    std::string folder = FoldPath(key.substr(0, separator));
    for (Entry& entry : state().entries) {
        if (FoldedParentOf(entry) != folder) continue;
        std::string shortName = ShortNameOf(entry.path.substr(LastSeparator(entry.path) + 1));
        if (!shortName.empty() && FoldPath(shortName) == key.substr(separator + 1)) return &entry;
    }
    return nullptr;
}

}  // namespace detail

using detail::FindEntry;
using detail::FoldPath;
using detail::IsDriveRoot;
using detail::ParentOf;

State& state() {
    static State instance;
    return instance;
}

void Reset() {
    state() = State{};
    for (const Cp932String& s : kCp932Strings) state().strings[s.id] = s.bytes;
    detail::ResetFiles();
    detail::ResetRegistry();
}

namespace {

// Adds the missing folders above path, outermost first.
void AddParents(const std::string& path) {
    std::string parent = ParentOf(path);
    if (parent.empty() || IsDriveRoot(parent)) return;
    if (FindEntry(parent) != nullptr) return;
    AddParents(parent);
    Entry folder;
    folder.path = parent;
    folder.isFolder = true;
    state().entries.push_back(folder);
}

}  // namespace

void AddFile(const std::string& path, const std::string& contents, uint64_t creationTime) {
    if (Entry* existing = FindEntry(path)) {
        existing->contents = contents;
        existing->creationTime = creationTime;
        existing->lastWriteTime = creationTime;
        return;
    }
    AddParents(path);
    Entry file;
    file.path = path;
    file.contents = contents;
    file.creationTime = creationTime;
    file.lastWriteTime = creationTime;
    state().entries.push_back(file);
}

void AddFolder(const std::string& path) {
    if (IsDriveRoot(path) || FindEntry(path) != nullptr) return;
    AddParents(path);
    Entry folder;
    folder.path = path;
    while (folder.path.size() > 1 && detail::LastSeparator(folder.path) == folder.path.size() - 1) {
        folder.path.pop_back();
    }
    folder.isFolder = true;
    state().entries.push_back(folder);
}

bool Exists(const std::string& path) { return IsDriveRoot(path) || FindEntry(path) != nullptr; }

std::string Contents(const std::string& path) {
    const Entry* entry = FindEntry(path);
    return entry != nullptr ? entry->contents : std::string();
}

void Remove(const std::string& path) {
    std::string key = FoldPath(path);
    std::string below = key + "\\";
    auto& entries = state().entries;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const Entry& entry) {
                                     const std::string& folded = detail::FoldedPathOf(entry);
                                     return folded == key || folded.compare(0, below.size(), below) == 0;
                                 }),
                  entries.end());
}

uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second) {
    // Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
    int64_t y = year - (month <= 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    int64_t days1970 = era * 146097 + doe - 719468;
    const int64_t kDays1601To1970 = 134774;
    int64_t seconds = (days1970 + kDays1601To1970) * 86400 + hour * 3600 + minute * 60 + second;
    return static_cast<uint64_t>(seconds) * 10000000ull;
}

int CallCount(const std::string& name) {
    return static_cast<int>(std::count(state().calls.begin(), state().calls.end(), name));
}

std::vector<std::string> CallsAmong(const std::vector<std::string>& names) {
    std::vector<std::string> result;
    for (const std::string& call : state().calls) {
        if (std::find(names.begin(), names.end(), call) != names.end()) result.push_back(call);
    }
    return result;
}

}  // namespace fake
