// Per slot, the ticks in a row on which its file failed to move into the
// archive: a replay that cannot be archived (a full or read-only drive, a file
// held open, a name the format cannot make) is told to the player, once, rather
// than retried in silence while the game may write the slot again.
#pragma once

#include <cstdint>

#include "settings/profile_settings.h"

class ArchiveFailures {
public:
    // How many failed ticks in a row are worth telling.
    static constexpr uint8_t kTicksBeforeTelling = 10;

    ArchiveFailures();
    virtual ~ArchiveFailures() = default;

    // The slot, by its index in the range, holds no file, or its file has been
    // archived: a later failure starts a new row, which is told again.
    void Absent(uint32_t index);
    // Its file failed to move once more. True when the player is due to be told:
    // from the tenth failure in a row, until a balloon has told of it.
    bool Failed(uint32_t index);
    // A balloon has told of every slot due.
    void ToldOfDue();
    // The slots whose file failed to move on its last try.
    uint32_t Failing() const;

private:
    uint8_t ticksFailed[kMaxTrackedSlots];
    bool told[kMaxTrackedSlots];
};
