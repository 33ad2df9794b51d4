#include "voice/character_table.h"

// This file is compiled with -fexec-charset=CP932: the literals below are
// Shift-JIS bytes in the program.
const char* const CharacterTable::kTexts[2 * CharacterTable::kCount] = {
    "アミティ",
    "おしゃれコウベ",
    "クルーク",
    "どんぐりガエル",
    "リデル",
    "おにおん",
    "さかな王子",
    "ラフィーナ",
    "ユウちゃん",
    "タルタル",
    "ほほうどり",
    "アコール先生",
    "こづれフランケン",
    "アルル",
    "ポポイ",
    "カーバンクル",

    "AMI",
    "OSB",
    "KLG",
    "DNG",
    "RID",
    "ONI",
    "PRI",
    "RAF",
    "YU",
    "TAR",
    "HOH",
    "ACO",
    "FRA",
    "ARL",
    "POP",
    "CAR",
};

const char* CharacterTable::Caption(uint32_t character) {
    if (character >= kCount) return nullptr;
    return kTexts[character];
}

const char* CharacterTable::BackupCode(uint32_t character) {
    if (character >= kCount) return nullptr;
    return kTexts[kCount + character];
}
