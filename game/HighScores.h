#pragma once
// The 16 best scores with a name each: in memory in g_highScores, on disk in data/hi.sav
// (relative to the current directory).
//
// The file is the 16 records back to back, 576 bytes, no header: per record a signed
// little-endian int32 score at offset 0 and a 32-byte Windows-1252 name at offset 4,
// NUL-terminated when shorter than the field. Files stay byte for byte compatible with
// the game's Windows build, so names stay Windows-1252 (see Cp1252.h).
//
// Entry 0 is the best. Loading fills the table once; after that only InsertHighScore
// changes it, which keeps it in order, so it is never sorted as a whole.
// Threads: all of this runs on the window thread; loading runs from the controller's
// constructor, before the timer exists.
#include <cstddef>
#include <cstdint>
#include <string>

struct HIGHSCORE {
    int32_t nScore;
    char szName[32];  // Windows-1252 bytes, NUL-terminated when shorter than the field
};
static_assert(sizeof(HIGHSCORE) == 36);

inline constexpr int kHighScores = 16;
inline constexpr int kHighScoreNameChars = 15;  // what InsertHighScore keeps of a name
inline constexpr size_t kHighScoreFileSize = kHighScores * sizeof(HIGHSCORE);  // 576
inline constexpr char kHighScoreFile[] = "data/hi.sav";

// Before anything is loaded every entry is all zero bytes.
extern HIGHSCORE g_highScores[kHighScores];

// What CGame::LoadHighScores does with kHighScoreFile, usable without a controller:
// - a readable file is read over the table: its first 576 bytes; entries (or parts of
//   one) past the end of a shorter file keep what they held;
// - a missing file is created with 16 entries of score 0 and the name "Zandi", which the
//   table then holds; if it cannot be created (no data folder, say) only the table does;
// - anything else in its place (unreadable, a folder) is left alone, never replaced,
//   and the table holds those 16 default entries.
// Nothing is reported either way: the game needs only the table in memory.
void LoadHighScoresFrom(const char* path);

// Whether score is strictly greater than some entry's score.
bool IsHighScore(int32_t score);

// Puts score in at the first entry whose score is strictly lower, moving that entry and
// the ones below it down a place and dropping entry 15; with no lower entry, does nothing.
// An equal score thus goes below the existing ones. name: Windows-1252; its first
// kHighScoreNameChars bytes (one per character) are kept, followed by a NUL; the rest of
// the field keeps the bytes it held.
void InsertHighScore(int32_t score, const char* name);

// Writes the table over kHighScoreFile (or path), but only if that file exists and may be
// opened for reading and writing: a missing file stays missing. The file is replaced
// whole (see ScoreFile.h), so it never holds half a table. Returns whether it was written;
// the game ignores that, as a failed save leaves the table in memory as it is.
bool SaveHighScores();
bool SaveHighScoresTo(const char* path);

// The table dialog's line for entry i (0..15), in Windows-1252: the score as "%06d" (all
// its digits when longer), three spaces, the name up to its NUL or the field's end.
std::string FormatHighScoreLine(int i);
