// The set of voices each character wears, as the character popup shows it:
// "アミティ（my_pack）" after an install from a folder my_pack, the name alone
// for the game's own voices.
#include <cstring>

#include "app/tray_application.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"
#include "shellops/bounded_text.h"
#include "voice/character_table.h"

static_assert(CharacterTable::kCount == kVoiceSetCount, "a voice set per character");

void TrayApplication::WriteCharacterLabel(uint32_t character, char* label, std::size_t size) {
    std::memset(label, 0, size);
    const char* name = CharacterTable::Caption(character);
    if (name == nullptr) return;
    AppendCut(label, size, name);
    const char* set = settings.VoiceSets[character];
    if (set[0] == '\0') return;
    // "（%s）": a long folder name is cut so that the closing text still fits.
    const char* text = settings.LoadText(IDS_VOICE_SET_LABEL);
    const char* mark = std::strstr(text, "%s");
    if (mark == nullptr) return;
    std::size_t closing = std::strlen(mark + 2);
    AppendCut(label, size, text, static_cast<std::size_t>(mark - text));
    AppendCut(label, size - closing, set);
    AppendCut(label, size, mark + 2);
}

void TrayApplication::WearVoiceSet(uint32_t character, const char* folder) {
    if (character >= kVoiceSetCount) return;
    char* set = settings.VoiceSets[character];
    std::memset(set, 0, sizeof settings.VoiceSets[character]);
    // A drive's root has no last part: the path names it.
    const char* last = folder + FileNameOffset(folder);
    AppendCut(set, sizeof settings.VoiceSets[character], last[0] != '\0' ? last : folder);
    char label[kCharacterLabelSize];
    WriteCharacterLabel(character, label, sizeof label);
    sys::ModifyMenuA(characterPopup, character + 1, sys::kMfByCommand | sys::kMfString, character + 1, label);
}
