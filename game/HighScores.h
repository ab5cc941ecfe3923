#pragma once
// The 16 best scores with a name each, in memory and in data/hi.sav.
#include <cstdint>

struct HIGHSCORE {
    int32_t nScore;
    char szName[32];  // Windows-1252 bytes, NUL-terminated when shorter than the field
};
static_assert(sizeof(HIGHSCORE) == 36);

inline constexpr int kHighScores = 16;
extern HIGHSCORE g_highScores[kHighScores];
