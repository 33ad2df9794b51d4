// Finds the replay slot files of the data folder, one scan per archive pass.
//
// A slot's file is there when a search for the slot's own path finds it. Asking
// that once per slot costs a file-system lookup for each of the (by default)
// 1000 slots; instead, one enumeration of DataFolder\<prefix>*<suffix> is mapped
// back to slot numbers, and what it reports of each file (its name, size and
// write time) serves the move too. Formats whose names the file system could
// match in other ways (wildcards, non-ASCII text, padding spaces) keep the
// search per slot.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types.h"
#include "replay/file_stamp.h"

class ProfileSettings;

// The search for one slot: folder joined with the slot's name formatted by
// slotFormat, one FindFirstFileA, closed at once. False when nothing is found
// or the path does not fit; *found holds the match otherwise.
bool FindSlotFile(const char* folder, const char* slotFormat, uint32_t slot, sys::FindData* found);

class SlotScanner {
public:
    // Takes the slot file format (the settings' one when it is a valid one-integer
    // format, else the string table's default), the archive name format (likewise
    // checked) and the slot range, and prepares everything a scan needs.
    explicit SlotScanner(ProfileSettings& settings);
    SlotScanner(const char* slotFormat, const char* archiveFormat, uint32_t first, uint32_t last);
    virtual ~SlotScanner();

    SlotScanner(const SlotScanner&) = delete;
    SlotScanner& operator=(const SlotScanner&) = delete;

    // The formats in effect: every user of slot file names and archive names goes
    // through these, never the raw settings.
    const char* SlotFormat() const { return slotFormat; }
    const char* ArchiveFormat() const { return archiveFormat; }
    // The slot's file name; false when no usable slot format exists.
    bool FormatSlotName(char* name, std::size_t size, uint32_t slot) const;

    // Gives up the enumeration: every slot is searched on its own.
    void UsePerSlotSearch();
    // True when scans of the prepared range enumerate the folder once.
    bool Enumerates() const { return enumerable; }

    // Starts a scan of folder over first..last. Allocates nothing.
    void BeginScan(const char* folder, uint32_t first, uint32_t last);
    // Whether a search for the slot's own path would find its file now.
    bool IsSlotFilePresent(uint32_t slot);
    // Fills found with the slot's file as the scan reported it (its name, size
    // and write time); false when it is not there.
    bool ReadSlotFile(uint32_t slot);

    sys::FindData found{};

private:
    void Prepare(uint32_t first, uint32_t last);
    bool SplitAroundConversion();
    bool SlotOfName(const char* name, uint32_t* slot) const;

    char slotFormat[64];
    char archiveFormat[64];
    bool formatUsable = false;

    // One slot of the prepared range as the enumeration found it.
    struct SeenSlot {
        bool seen;
        // Its name spelled with the small letters that bit i marks at position i:
        // it equals the formatted name but for ASCII case. Longer names are
        // searched again.
        bool caseKnown;
        uint64_t smallLetters;
        FileStamp stamp;
    };
    bool FillFromEnumeration(uint32_t slot);

    // The enumeration: the pattern's name part, the text around the conversion
    // and its type, and what it found of each slot of the prepared range.
    bool enumerable = false;
    char pattern[80];
    char prefix[64];
    char suffix[64];
    char conversion = 0;
    uint32_t rangeFirst = 0;
    uint32_t rangeLast = 0;
    SeenSlot* seen = nullptr;

    // The scan under way.
    char folder[sys::kMaxPath];
    bool folderUsable = false;
    bool enumerated = false;
    bool foundValid = false;
    uint32_t foundSlot = 0;
};
