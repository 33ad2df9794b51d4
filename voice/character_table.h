// The game's 16 characters by character number (0..15): the name that the
// character popup shows and the code that names the character's backup folder.
// A constant of the program; the settings never change it.
#pragma once

#include <cstdint>

class CharacterTable {
public:
    static constexpr uint32_t kCount = 16;

    // Captions first, then codes: entry c is the caption of character c (code
    // page 932), entry kCount + c its backup code (upper-case ASCII).
    static const char* const kTexts[2 * kCount];

    // NULL for a number outside 0..15.
    static const char* Caption(uint32_t character);
    static const char* BackupCode(uint32_t character);

    CharacterTable() = delete;
};
