#include "replay/slot_scanner.h"

#include <cstring>

#include "platform/files.h"
#include "platform/memory.h"
#include "res/resource.h"
#include "settings/profile_settings.h"
#include "shellops/append_path.h"
#include "shellops/file_search.h"
#include "shellops/format_check.h"

namespace {

// Copies text into a zero-filled buffer of size bytes; false when it had to be cut.
bool CopyText(char* buffer, std::size_t size, const char* text) {
    std::memset(buffer, 0, size);
    std::size_t length = std::strlen(text);
    if (length >= size) {
        std::memcpy(buffer, text, size - 1);
        return false;
    }
    std::memcpy(buffer, text, length);
    return true;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameAsciiIgnoringCase(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// Text the file system matches byte for byte, ignoring ASCII case only: no
// wildcard, no separator, no character it refuses, no space (trailing ones are
// dropped from names), no '~' (short names), nothing outside ASCII.
bool IsPlainNameText(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c <= 0x20 || c >= 0x7F) return false;
        if (std::strchr("\\/:*?\"<>|~", c) != nullptr) return false;
    }
    return true;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

}  // namespace

bool FindSlotFile(const char* folder, const char* slotFormat, uint32_t slot, sys::FindData* found) {
    if (!IsIntegerFormat(slotFormat, 1)) return false;
    char name[sys::kMaxPath];
    std::memset(name, 0, sizeof name);
    sys::FormatInt(name, sizeof name, slotFormat, slot);
    char path[sys::kMaxPath];
    if (!CopyText(path, sizeof path, folder) || !AppendPath(path, name)) return false;
    // A folder of the slot's name is no replay; nor is a file found by a short
    // name that happens to read like the slot's.
    return FindOneFile(path, found);
}

SlotScanner::SlotScanner(ProfileSettings& settings) {
    // The INI file keeps the user's text; only the scan falls back to the defaults.
    // A slot name with a folder part, a drive or ".." would load into, archive
    // from and recycle in other folders than the data folder.
    const char* slotText = settings.ReplayFilenameFormat;
    if (!IsIntegerFormat(slotText, 1) || !IsPlainFileName(slotText))
        slotText = settings.LoadText(IDS_REPLAY_FILENAME_FORMAT);
    CopyText(slotFormat, sizeof slotFormat, slotText);
    const char* archiveText = settings.FilenameStoredFormat2;
    if (!IsSafeArchiveFormat(archiveText)) archiveText = settings.LoadText(IDS_STORED_FORMAT);
    CopyText(archiveFormat, sizeof archiveFormat, archiveText);
    Prepare(settings.GetMinIndex(), settings.GetMaxIndex());
}

SlotScanner::SlotScanner(const char* slotFormatText, const char* archiveFormatText, uint32_t first, uint32_t last) {
    CopyText(slotFormat, sizeof slotFormat, slotFormatText);
    CopyText(archiveFormat, sizeof archiveFormat, archiveFormatText);
    Prepare(first, last);
}

SlotScanner::~SlotScanner() {
    sys::Free(seen);
    seen = nullptr;
}

void SlotScanner::Prepare(uint32_t first, uint32_t last) {
    std::memset(&found, 0, sizeof found);
    std::memset(pattern, 0, sizeof pattern);
    std::memset(prefix, 0, sizeof prefix);
    std::memset(suffix, 0, sizeof suffix);
    std::memset(folder, 0, sizeof folder);
    // A text cut to fit the buffer may have lost part of its conversion: check again.
    formatUsable = IsIntegerFormat(slotFormat, 1);
    if (!IsSafeArchiveFormat(archiveFormat)) archiveFormat[0] = '\0';
    rangeFirst = first;
    rangeLast = last;
    enumerable = false;
    if (!formatUsable || first > last || !SplitAroundConversion()) return;
    uint64_t count = static_cast<uint64_t>(last) - first + 1;
    if (count > SIZE_MAX / sizeof(SeenSlot)) return;
    seen = static_cast<SeenSlot*>(sys::AllocateZeroed(static_cast<std::size_t>(count) * sizeof(SeenSlot)));
    enumerable = seen != nullptr;
}

// Splits the slot format into the text before its conversion, the conversion and
// the text after it, and builds the enumeration pattern <prefix>*<suffix>. False
// when names of this format could be found by a search that a name comparison
// would not reproduce.
bool SlotScanner::SplitAroundConversion() {
    char* text = prefix;
    std::size_t length = 0;
    const char* p = slotFormat;
    while (*p != '\0') {
        if (p[0] == '%' && p[1] == '%') {
            text[length++] = '%';
            p += 2;
            continue;
        }
        if (p[0] != '%') {
            text[length++] = *p++;
            continue;
        }
        bool leftAlign = false;
        bool zeroPad = false;
        bool spaceSign = false;
        for (++p; *p != '\0' && std::strchr("-+ 0#", *p) != nullptr; ++p) {
            leftAlign = leftAlign || *p == '-';
            zeroPad = zeroPad || *p == '0';
            spaceSign = spaceSign || *p == ' ';
        }
        bool hasWidth = *p >= '1' && *p <= '9';
        while (*p >= '0' && *p <= '9') ++p;
        bool hasPrecision = *p == '.';
        if (hasPrecision) {
            for (++p; *p >= '0' && *p <= '9'; ++p) {
            }
        }
        // "h" cuts the slot number to 16 bits: two slots would share one name.
        if (*p == 'h') return false;
        if (*p == 'l') ++p;
        conversion = *p++;
        // Padding with spaces gives names the file system matches loosely.
        if (spaceSign || (hasWidth && (leftAlign || !zeroPad || hasPrecision))) return false;
        text = suffix;
        length = 0;
    }
    if (!IsPlainNameText(prefix) || !IsPlainNameText(suffix)) return false;
    std::size_t suffixLength = std::strlen(suffix);
    // A trailing dot is dropped from a name, so the search would ignore it.
    if (suffixLength != 0 && suffix[suffixLength - 1] == '.') return false;
    std::size_t prefixLength = std::strlen(prefix);
    if (prefixLength + 1 + suffixLength + 1 > sizeof pattern) return false;
    std::memcpy(pattern, prefix, prefixLength);
    pattern[prefixLength] = '*';
    std::memcpy(pattern + prefixLength + 1, suffix, suffixLength + 1);
    return true;
}

// The slot whose formatted name equals name without case, within the prepared range.
bool SlotScanner::SlotOfName(const char* name, uint32_t* slot) const {
    std::size_t nameLength = std::strlen(name);
    std::size_t prefixLength = std::strlen(prefix);
    std::size_t suffixLength = std::strlen(suffix);
    if (nameLength <= prefixLength + suffixLength) return false;
    if (!SameAsciiIgnoringCase(name, prefix, prefixLength)) return false;
    if (!SameAsciiIgnoringCase(name + nameLength - suffixLength, suffix, suffixLength)) return false;

    // Read the number between the two texts as the conversion would have written it.
    const char* p = name + prefixLength;
    const char* end = name + nameLength - suffixLength;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    uint32_t base = (conversion == 'x' || conversion == 'X') ? 16 : 10;
    if (base == 16 && end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;
    if (p == end) return false;
    uint64_t value = 0;
    for (; p < end; ++p) {
        int digit = DigitValue(*p);
        if (digit >= static_cast<int>(base)) return false;
        value = value * base + static_cast<uint32_t>(digit);
        if (value > 0xFFFFFFFFull) return false;
    }
    uint32_t candidate = static_cast<uint32_t>(negative ? 0 - value : value);
    if (candidate < rangeFirst || candidate > rangeLast) return false;

    // Only the formatter itself can say whether this is the slot's exact name.
    char formatted[sys::kMaxPath];
    std::memset(formatted, 0, sizeof formatted);
    sys::FormatInt(formatted, sizeof formatted, slotFormat, candidate);
    if (!SameNameIgnoringCase(formatted, name)) return false;
    *slot = candidate;
    return true;
}

bool SlotScanner::FormatSlotName(char* name, std::size_t size, uint32_t slot) const {
    if (!formatUsable || size == 0) return false;
    std::memset(name, 0, size);
    // No name (the formatter failed, or "%.0d" of 0) would make the folder itself the target.
    return sys::FormatInt(name, size, slotFormat, slot) > 0 && name[0] != '\0';
}

void SlotScanner::UsePerSlotSearch() {
    enumerable = false;
    sys::Free(seen);
    seen = nullptr;
}

void SlotScanner::BeginScan(const char* scanFolder, uint32_t first, uint32_t last) {
    foundValid = false;
    enumerated = false;
    folderUsable = CopyText(folder, sizeof folder, scanFolder);
    if (!folderUsable || !formatUsable) return;
    if (!enumerable || first != rangeFirst || last != rangeLast) return;

    char search[sys::kMaxPath];
    if (!CopyText(search, sizeof search, folder) || !AppendPath(search, pattern)) return;
    std::memset(seen, 0,
                static_cast<std::size_t>(static_cast<uint64_t>(rangeLast) - rangeFirst + 1) * sizeof(SeenSlot));
    enumerated = true;
    sys::FindData entry;
    sys::SearchHandle handle = sys::FindFirstFileA(search, &entry);
    if (handle == sys::kInvalidSearch) return;
    do {
        uint32_t slot = 0;
        bool isFolder = (entry.dwFileAttributes & sys::kFileAttributeDirectory) != 0;
        if (isFolder || !SlotOfName(entry.cFileName, &slot)) continue;
        SeenSlot& record = seen[slot - rangeFirst];
        record.seen = true;
        record.stamp = FileStamp{entry.nFileSizeHigh, entry.nFileSizeLow, entry.ftLastWriteTime};
        record.smallLetters = 0;
        record.caseKnown = std::strlen(entry.cFileName) <= 64;
        for (std::size_t i = 0; record.caseKnown && entry.cFileName[i] != '\0'; ++i) {
            if (entry.cFileName[i] >= 'a' && entry.cFileName[i] <= 'z') record.smallLetters |= uint64_t{1} << i;
        }
    } while (sys::FindNextFileA(handle, &entry));
    sys::FindClose(handle);
}

bool SlotScanner::IsSlotFilePresent(uint32_t slot) {
    if (!folderUsable || !formatUsable) return false;
    if (enumerated) {
        if (slot < rangeFirst || slot > rangeLast) return false;
        return seen[slot - rangeFirst].seen;
    }
    foundSlot = slot;
    foundValid = FindSlotFile(folder, slotFormat, slot, &found);
    return foundValid;
}

bool SlotScanner::ReadSlotFile(uint32_t slot) {
    if (!folderUsable || !formatUsable) return false;
    if (foundValid && foundSlot == slot) return true;
    if (enumerated && FillFromEnumeration(slot)) return true;
    foundSlot = slot;
    foundValid = FindSlotFile(folder, slotFormat, slot, &found);
    return foundValid;
}

// The slot's file as the enumeration reported it, without another search. False
// when the enumeration did not see it, or cannot spell its name.
bool SlotScanner::FillFromEnumeration(uint32_t slot) {
    if (slot < rangeFirst || slot > rangeLast) return false;
    const SeenSlot& record = seen[slot - rangeFirst];
    if (!record.seen || !record.caseKnown) return false;
    std::memset(&found, 0, sizeof found);
    if (!FormatSlotName(found.cFileName, sizeof found.cFileName, slot)) return false;
    for (std::size_t i = 0; found.cFileName[i] != '\0' && i < 64; ++i) {
        char& c = found.cFileName[i];
        bool small = (record.smallLetters >> i & 1) != 0;
        if (small && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (!small && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    found.nFileSizeHigh = record.stamp.nFileSizeHigh;
    found.nFileSizeLow = record.stamp.nFileSizeLow;
    found.ftLastWriteTime = record.stamp.ftLastWriteTime;
    foundSlot = slot;
    foundValid = true;
    return true;
}
